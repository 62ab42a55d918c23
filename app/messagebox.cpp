#include "app/messagebox.h"

#include "app/environment.h"

#include <QMessageBox>

namespace tarnwel {

void showNotice(const Environment& env, QWidget* parent, const QString& text) {
    if (env.showMessage) {
        env.showMessage(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tarnwel
