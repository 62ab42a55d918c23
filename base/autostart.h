// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

namespace tarnwel {

// The start-at-logon entry "zizudar". Failures are not reported: the caller stores the
// check box state all the same.
class Autostart {
public:
    virtual ~Autostart() = default;
    virtual void set(const QString& executablePath) = 0;
    // Removing an entry that does not exist is harmless.
    virtual void remove() = 0;

    // The Run value under HKEY_LOCAL_MACHINE on Windows; the per-user XDG autostart
    // entry elsewhere.
    static std::unique_ptr<Autostart> platformDefault();
};

// The data of a Run entry: the path quoted when it holds a blank, so that Windows
// cannot take a prefix of it for the program to start.
QString runEntryCommand(const QString& executablePath);

// The Exec value of a desktop entry that starts the program at `executablePath`,
// quoted and escaped as the desktop entry format requires.
QString desktopExecValue(const QString& executablePath);

// $XDG_CONFIG_HOME/autostart/zizudar.desktop, or the same name in `directory`.
class XdgAutostart final : public Autostart {
public:
    XdgAutostart();
    explicit XdgAutostart(QString directory);
    void set(const QString& executablePath) override;
    void remove() override;
    QString entryPath() const;

private:
    QString m_directory;
};

} // namespace tarnwel
