#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarnwel {

// The watch list on disk, setup.ini: GBK text without a byte-order mark, one entry a
// line. Lines end with CR LF; a reader also ends a line at a lone CR, but a lone LF
// stays part of the line. Empty lines carry nothing; nothing is trimmed.
namespace watchlist {

QStringList parse(const QByteArray& bytes);
// The form the watch-list window writes: each entry + CR LF, then one more CR LF.
QByteArray encode(const QStringList& entries);
// What a fresh install holds: 中国联通 first, 中国石化 second, ending in one line end.
QByteArray defaultContent();

} // namespace watchlist

class WatchListFile {
public:
    enum class Status { Ok, Missing, Unreadable };
    struct Contents {
        Status status = Status::Missing;
        QStringList entries;
    };

    explicit WatchListFile(QString path);

    const QString& path() const { return m_path; }
    bool exists() const;
    Contents read() const;
    // Both writes replace the file atomically: a failed write leaves the old file whole.
    bool writeDefault() const;
    bool write(const QStringList& entries) const;

    // setup.ini beside the executable, or in the per-user data directory when the
    // program's own directory cannot be written (a system-wide install).
    static QString defaultPath();

private:
    bool writeBytes(const QByteArray& bytes) const;
    QString m_path;
};

} // namespace tarnwel
