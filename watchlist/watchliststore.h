// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "watchlist/watchlistfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace tarnwel {

// Where the watch list lives and whether it may be changed. The list's home is setup.ini
// beside the program; when the program's directory cannot be written, saving moves it to
// the per-user data directory, and from then on that copy is the one read. Both
// decisions are taken afresh at every read and save, so a store is a cheap value.
class WatchListStore {
public:
    enum class Status {
        Ok,          // read and may be changed
        Missing,     // no list anywhere yet; a save creates one
        Unreadable,  // exists but cannot be read: nothing shown, nothing written
        Undecodable, // a line is not valid GBK: shown as read, never written
        NoEncoding,  // no GBK converter: shown as well as it can be, never written
    };

    struct Contents {
        Status status = Status::Missing;
        QStringList entries;
        QString path; // the file read; when Missing, setup.ini beside the program
        bool editable() const { return status == Status::Ok || status == Status::Missing; }
        // Why the list cannot be changed, for the user; empty when it can.
        QString reason() const;
    };

    struct Saved {
        bool ok = false;
        QString path;   // where the list now lives
        QString notice; // once, when this save moved the list: tell the user where it is
        QString reason; // why it was not saved; empty when it was
    };

    // `besideProgram`: setup.ini in the program's directory. `perUser`: where the list goes
    // when that directory cannot be written; empty: nowhere else.
    explicit WatchListStore(QString besideProgram, QString perUser = {});

    // Decides whether files can be made in a directory. The default makes and removes one.
    void setWritableProbe(std::function<bool(const QString& dir)> probe);
    // The text encoding; an unknown name stands for a Qt without that converter.
    void setEncoding(QByteArray encoding);

    Contents read() const;
    // Refuses while the list on disk is not editable(): a list that could not be read
    // faithfully is never replaced.
    Saved write(const QStringList& entries) const;
    // The default list, written only where none exists at all.
    Saved createDefault() const;

    // Whether a file can be created in `dir` right now, found by creating and removing
    // one: permission bits and attributes do not tell (root, ACLs, Program Files).
    static bool canCreateFilesIn(const QString& dir);
    // setup.ini in the per-user data directory.
    static QString perUserPath();

private:
    enum class Content { List, Default };
    Saved save(Content content, const QStringList& entries) const;
    QString writePath(const Contents& now) const;

    QString m_besideProgram;
    QString m_perUser;
    TextCodec m_codec = TextCodec::gbk();
    std::function<bool(const QString& dir)> m_canWriteIn;
};

} // namespace tarnwel
