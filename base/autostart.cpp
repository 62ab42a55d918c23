// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/autostart.h"

#include "base/textfiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace tarnwel {

namespace {

const QString kEntryName = QStringLiteral("zizudar");

#ifdef Q_OS_WIN
// The machine-wide Run value. Writing there needs administrator rights; without them
// the write fails quietly and the check box state is stored all the same.
class RunKeyAutostart final : public Autostart {
public:
    void set(const QString& executablePath) override {
        QSettings run(runKey(), QSettings::NativeFormat);
        run.setValue(kEntryName, runEntryCommand(QDir::toNativeSeparators(executablePath)));
        run.sync();
    }
    void remove() override {
        QSettings run(runKey(), QSettings::NativeFormat);
        run.remove(kEntryName);
        run.sync();
    }

private:
    static QString runKey() {
        return QStringLiteral(
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    }
};
#endif

} // namespace

QString runEntryCommand(const QString& executablePath) {
    // Unquoted, "C:\Program Files\x.exe" would first be tried as "C:\Program.exe".
    if (executablePath.contains(u' '))
        return u'"' + executablePath + u'"';
    return executablePath;
}

QString desktopExecValue(const QString& executablePath) {
    // First the quoting of an Exec argument: inside double quotes, " ` $ and \ take a
    // backslash; a literal % is written %%.
    QString quoted;
    quoted.reserve(executablePath.size() + 8);
    quoted += u'"';
    for (const QChar c : executablePath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';

    // Then the escapes of any string value, which a reader undoes before the quoting.
    QString value;
    value.reserve(quoted.size() + 8);
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case u'\\':
            value += u"\\\\";
            break;
        case u'\n':
            value += u"\\n";
            break;
        case u'\t':
            value += u"\\t";
            break;
        case u'\r':
            value += u"\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

XdgAutostart::XdgAutostart() {
    // Without a home there is no autostart directory, and the entry stays unwritten.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        m_directory = config + QStringLiteral("/autostart");
}

XdgAutostart::XdgAutostart(QString directory)
    : m_directory(std::move(directory)) {}

void XdgAutostart::set(const QString& executablePath) {
    if (m_directory.isEmpty() || !QDir().mkpath(m_directory))
        return;
    const QString entry = u"[Desktop Entry]\n"
                          u"Type=Application\n"
                          u"Name=Tarnwel\n"
                          u"Exec=" +
                          desktopExecValue(executablePath) +
                          u"\n"
                          u"X-GNOME-Autostart-enabled=true\n";
    // Atomic, so that a short write never leaves a torn entry.
    writeFileAtomically(entryPath(), entry.toUtf8());
}

void XdgAutostart::remove() {
    if (!m_directory.isEmpty())
        QFile::remove(entryPath());
}

QString XdgAutostart::entryPath() const {
    return m_directory + u'/' + kEntryName + QStringLiteral(".desktop");
}

std::unique_ptr<Autostart> Autostart::platformDefault() {
#ifdef Q_OS_WIN
    return std::make_unique<RunKeyAutostart>();
#else
    return std::make_unique<XdgAutostart>();
#endif
}

} // namespace tarnwel
