// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <optional>

namespace tarnwel {

// Reads one HTTP/1.x response from the bytes a connection delivers, in whatever pieces they
// come: the head (at most kMaxHeadBytes, interim 1xx answers skipped), then a body framed by
// its length, by chunks or by the end of the connection. A body larger than the cap is
// refused as soon as that is known; nothing beyond it is kept.
class HttpResponseReader {
public:
    static constexpr qsizetype kMaxHeadBytes = 16 * 1024;
    enum class State { Reading, Done, Malformed };

    explicit HttpResponseReader(qint64 maxBody);

    State feed(QByteArrayView bytes);
    // The connection has ended: a body that runs to its end is whole now.
    State closed();

    State state() const { return m_state; }
    bool started() const { return m_started; }
    int status() const { return m_status; }
    // Lower-case name; the first value given.
    QByteArray header(const QByteArray& name) const { return m_headers.value(name); }
    // Nothing when the body was larger than the cap.
    std::optional<QByteArray> body() const;
    // Whether the connection may carry the next request once this response is done.
    bool keepsConnection() const;

private:
    enum class Phase { Head, Length, ChunkSize, ChunkData, ChunkEnd, Trailer, UntilClose };

    bool step();
    bool readHead();
    bool takeHeadLine(QByteArray& line);
    bool startBody();
    bool readLength();
    bool readChunkSize();
    bool readChunkData();
    bool takeOwed();
    bool expect(qint64 count, Phase phase);
    void refuse();
    bool readLine(QByteArray& line);
    bool grow(QByteArrayView bytes);
    void finish() { m_state = State::Done; }
    bool malformed();

    qint64 m_maxBody;
    State m_state = State::Reading;
    Phase m_phase = Phase::Head;
    bool m_started = false;
    bool m_extra = false; // bytes came after the whole answer
    QByteArray m_buffer;  // received, not yet taken
    QByteArray m_body;
    bool m_tooLarge = false;
    int m_status = 0;
    int m_minorVersion = 0;
    bool m_sawStatusLine = false;
    qsizetype m_headBytes = 0;
    QHash<QByteArray, QByteArray> m_headers;
    qint64 m_left = 0; // of the body or of the chunk
};

} // namespace tarnwel
