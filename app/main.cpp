#include "app/environment.h"
#include "app/startup.h"
#include "ticker/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwel"));
    // The ticker is a tool window and may be hidden in stealth mode; the program ends
    // only through its menu (or the ticker's own close).
    QApplication::setQuitOnLastWindowClosed(false);

    const std::unique_ptr<tarnwel::Form1> ticker = tarnwel::Main(tarnwel::Environment::forProgram());
    if (!ticker)
        return 0;
    return QApplication::exec();
}
