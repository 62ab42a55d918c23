#include "app/autostart.h"

namespace tarnwel {

QString runEntryCommand(const QString& executablePath)
{
    return executablePath;
}

QString desktopExecValue(const QString& executablePath)
{
    return executablePath;
}

XdgAutostart::XdgAutostart() = default;

XdgAutostart::XdgAutostart(QString directory)
    : m_directory(std::move(directory))
{
}

void XdgAutostart::set(const QString&) {}

void XdgAutostart::remove() {}

QString XdgAutostart::entryPath() const
{
    return m_directory + QStringLiteral("/zizudar.desktop");
}

std::unique_ptr<Autostart> Autostart::platformDefault()
{
    return std::make_unique<XdgAutostart>();
}

} // namespace tarnwel
