// SPDX-License-Identifier: GPL-3.0-or-later
// The offline demo market: serves made-up quotes and charts for every security of the
// built-in directory on 127.0.0.1, so that a ticker built with the `demo` preset runs
// without the internet.
#include "demo/market.h"
#include "demo/server.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QHostAddress>
#include <QHttpServer>
#include <QTextStream>

#ifndef TARNWEL_DEMO_PORT
#define TARNWEL_DEMO_PORT 28765
#endif

int main(int argc, char* argv[]) {
    // Charts are painted into images; the simulator shows no window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("tarnwel-demo-market"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Offline market for the Tarnwel demo."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port on 127.0.0.1 (0: any free port)."),
                                        QStringLiteral("port"), QString::number(TARNWEL_DEMO_PORT));
    const QCommandLineOption stepOption(QStringLiteral("step-ms"),
                                        QStringLiteral("Milliseconds per step of the walk."),
                                        QStringLiteral("ms"), QStringLiteral("3000"));
    parser.addOption(portOption);
    parser.addOption(stepOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    bool stepOk = false;
    const int stepMs = parser.value(stepOption).toInt(&stepOk);
    QTextStream err(stderr);
    if (!portOk || port > 65535 || !stepOk || stepMs < 1) {
        err << "invalid --port or --step-ms\n";
        return 2;
    }

    tarnwel::demo::Market market({}, stepMs);
    QHttpServer server;
    tarnwel::demo::addRoutes(server, market);
    const quint16 bound = server.listen(QHostAddress::LocalHost, static_cast<quint16>(port));
    if (bound == 0) {
        err << "cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    QTextStream(stdout) << "listening on http://127.0.0.1:" << bound << "/" << Qt::endl;
    return QGuiApplication::exec();
}
