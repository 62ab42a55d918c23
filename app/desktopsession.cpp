// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktopsession.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#ifndef TARNWEL_DATA_DIR_FROM_PROGRAM
#define TARNWEL_DATA_DIR_FROM_PROGRAM "../share/tarnwel"
#endif

namespace tarnwel::desktopsession {

namespace {

const QString kHelpPage = QStringLiteral("how.htm");

QString variable(const char* name) {
    return qEnvironmentVariable(name);
}

} // namespace

Session Session::fromProcess() {
    return {variable("QT_QPA_PLATFORM"), variable("WAYLAND_DISPLAY"), variable("XDG_SESSION_TYPE"),
            variable("DISPLAY")};
}

bool waylandSession(const Session& session) {
    return !session.waylandDisplay.isEmpty() ||
           session.sessionType.compare(u"wayland", Qt::CaseInsensitive) == 0;
}

std::optional<QByteArray> qtPlatform(const Session& session) {
    if (!session.qpaPlatform.trimmed().isEmpty())
        return std::nullopt;
    if (waylandSession(session) && !session.display.isEmpty())
        return QByteArrayLiteral("xcb");
    return std::nullopt;
}

void choosePlatform() {
    if (const std::optional<QByteArray> platform = qtPlatform(Session::fromProcess()))
        qputenv("QT_QPA_PLATFORM", *platform);
}

QString helpPagePath(const QString& programDir, const QString& dataDirFromProgram) {
    const QDir program(programDir);
    const QString beside = QDir::cleanPath(program.filePath(kHelpPage));
    if (QFileInfo(beside).isFile())
        return beside;
    if (!dataDirFromProgram.isEmpty()) {
        const QString installed =
            QDir::cleanPath(program.filePath(dataDirFromProgram + u'/' + kHelpPage));
        if (QFileInfo(installed).isFile())
            return installed;
    }
    return beside;
}

QString helpPagePath(const QString& programDir) {
    return helpPagePath(programDir, QStringLiteral(TARNWEL_DATA_DIR_FROM_PROGRAM));
}

} // namespace tarnwel::desktopsession
