// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/textcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwel {

// The watch list on disk, setup.ini: GBK text without a byte-order mark, one entry a
// line. Lines end with CR LF; a reader also ends a line at a lone CR, but a lone LF
// stays part of the line. Empty lines carry nothing; nothing is trimmed.
namespace watchlist {

struct Decoded {
    QStringList entries;
    // False when some line is not valid in the encoding, or would not be written back
    // byte for byte: such a list may be shown, but rewriting it would corrupt it.
    bool exact = true;
};

// Without a converter, bytes outside ASCII show as U+FFFD (the stock codes are ASCII, so
// the ticker still finds them) and the result is never exact.
Decoded decode(const QByteArray& bytes, const TextCodec& codec = TextCodec::gbk());
// The form the watch-list window writes: each entry + CR LF, then one more CR LF.
// Nothing when an entry cannot be written in the codec's encoding.
std::optional<QByteArray> encode(const QStringList& entries,
                                 const TextCodec& codec = TextCodec::gbk());
// What a fresh install holds: 中国联通 first, 中国石化 second, ending in one line end.
QByteArray defaultContent();

} // namespace watchlist

// One setup.ini at one path. WatchListStore decides which path that is.
class WatchListFile {
public:
    enum class Status { Ok, Missing, Unreadable };
    struct Contents {
        Status status = Status::Missing;
        QStringList entries;
        bool exact = true; // see watchlist::Decoded
    };

    explicit WatchListFile(QString path, TextCodec codec = TextCodec::gbk());

    const QString& path() const { return m_path; }
    bool exists() const;
    Contents read() const;
    // Both writes replace the file atomically: a failed write leaves the old file whole.
    // They refuse, leaving the file alone, when the text cannot be encoded or the file
    // on disk cannot be read exactly.
    bool writeDefault() const;
    bool write(const QStringList& entries) const;

private:
    bool writeBytes(const std::optional<QByteArray>& bytes) const;
    QString m_path;
    TextCodec m_codec;
};

} // namespace tarnwel
