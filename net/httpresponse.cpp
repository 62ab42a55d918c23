// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/httpresponse.h"

#include <QList>

#include <limits>

namespace tarnwel {

namespace {

// A non-negative decimal or hexadecimal number, or nothing: no sign, no blanks, no overflow.
std::optional<qint64> parseCount(QByteArrayView text, int base) {
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

bool hasToken(const QByteArray& list, QByteArrayView token) {
    const QList<QByteArray> items = list.split(',');
    for (const QByteArray& item : items) {
        if (item.trimmed().toLower() == token)
            return true;
    }
    return false;
}

} // namespace

HttpResponseReader::HttpResponseReader(qint64 maxBody)
    : m_maxBody(maxBody) {}

HttpResponseReader::State HttpResponseReader::feed(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return m_state;
    if (m_state != State::Reading) {
        m_extra = true;
        return m_state;
    }
    m_started = true;
    m_buffer.append(bytes);
    while (m_state == State::Reading && step()) {
    }
    // A line that never ends is not HTTP.
    const bool lines =
        m_phase != Phase::Length && m_phase != Phase::ChunkData && m_phase != Phase::UntilClose;
    if (m_state == State::Reading && lines && m_buffer.size() > kMaxHeadBytes)
        malformed();
    return m_state;
}

HttpResponseReader::State HttpResponseReader::closed() {
    if (m_state == State::Reading) {
        if (m_phase == Phase::UntilClose)
            finish();
        else
            m_state = State::Malformed;
    }
    return m_state;
}

std::optional<QByteArray> HttpResponseReader::body() const {
    if (m_tooLarge)
        return std::nullopt;
    return m_body;
}

bool HttpResponseReader::keepsConnection() const {
    if (m_state != State::Done || m_tooLarge || m_phase == Phase::UntilClose ||
        !m_buffer.isEmpty() || m_extra)
        return false;
    const QByteArray connection = header("connection");
    if (m_minorVersion >= 1)
        return !hasToken(connection, "close");
    return hasToken(connection, "keep-alive");
}

// One step of progress; false when more bytes are needed.
bool HttpResponseReader::step() {
    switch (m_phase) {
    case Phase::Head:
        return readHead();
    case Phase::Length:
        return readLength();
    case Phase::ChunkSize:
        return readChunkSize();
    case Phase::ChunkData:
        return readChunkData();
    case Phase::ChunkEnd: {
        QByteArray line;
        if (!readLine(line))
            return false;
        if (!line.isEmpty())
            return malformed();
        m_phase = Phase::ChunkSize;
        return true;
    }
    case Phase::Trailer: {
        QByteArray line;
        if (!readLine(line))
            return false;
        if (line.isEmpty())
            finish();
        return true;
    }
    case Phase::UntilClose:
        grow(m_buffer);
        m_buffer.clear();
        return false;
    }
    return false;
}

bool HttpResponseReader::readHead() {
    QByteArray line;
    if (!takeHeadLine(line))
        return false;
    if (!m_sawStatusLine) {
        // A line end left over from the previous answer comes before some status lines.
        if (line.isEmpty())
            return true;
        // "HTTP/1.1 200 OK"
        if (!line.startsWith("HTTP/1.") || line.size() < 12 || line[8] != ' ' ||
            (line.size() > 12 && line[12] != ' '))
            return malformed();
        const std::optional<qint64> status = parseCount(QByteArrayView(line).sliced(9, 3), 10);
        const char minor = line[7];
        if (!status || *status < 100 || *status > 599 || minor < '0' || minor > '9')
            return malformed();
        m_status = int(*status);
        m_minorVersion = minor - '0';
        m_sawStatusLine = true;
        return true;
    }
    if (!line.isEmpty()) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return malformed();
        const QByteArray name = line.left(colon).trimmed().toLower();
        if (!m_headers.contains(name))
            m_headers.insert(name, line.mid(colon + 1).trimmed());
        else if (name == "content-length" && m_headers.value(name) != line.mid(colon + 1).trimmed())
            return malformed(); // two lengths: no way to tell where the body ends
        return true;
    }
    // The end of the head. An interim answer is followed by the real one.
    if (m_status < 200) {
        if (m_status == 101)
            return malformed();
        m_sawStatusLine = false;
        m_headers.clear();
        return true;
    }
    return startBody();
}

// A line of the head, counted against its limit.
bool HttpResponseReader::takeHeadLine(QByteArray& line) {
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0) {
        if (m_headBytes + m_buffer.size() > kMaxHeadBytes)
            return malformed();
        return false;
    }
    m_headBytes += end + 1;
    if (m_headBytes > kMaxHeadBytes)
        return malformed();
    return readLine(line);
}

bool HttpResponseReader::startBody() {
    if (m_status == 204 || m_status == 304) {
        finish();
        return true;
    }
    const QByteArray coding = header("transfer-encoding");
    if (!coding.isEmpty()) {
        m_phase = coding.split(',').constLast().trimmed().toLower() == "chunked"
                      ? Phase::ChunkSize
                      : Phase::UntilClose;
        return true;
    }
    if (m_headers.contains("content-length")) {
        const std::optional<qint64> length = parseCount(header("content-length"), 10);
        if (!length)
            return malformed();
        return expect(*length, Phase::Length);
    }
    m_phase = Phase::UntilClose;
    return true;
}

// Moves what the buffer holds of the bytes still owed into the body; true when all came.
bool HttpResponseReader::takeOwed() {
    const qsizetype take = qsizetype(qMin<qint64>(m_left, m_buffer.size()));
    m_body.append(m_buffer.first(take));
    m_buffer.remove(0, take);
    m_left -= take;
    return m_left == 0;
}

bool HttpResponseReader::readLength() {
    if (takeOwed())
        finish();
    return false;
}

bool HttpResponseReader::readChunkSize() {
    QByteArray line;
    if (!readLine(line))
        return false;
    const qsizetype extension = line.indexOf(';');
    const std::optional<qint64> size = parseCount(
        QByteArrayView(line).first(extension < 0 ? line.size() : extension).trimmed(), 16);
    if (!size)
        return malformed();
    if (*size == 0) {
        m_phase = Phase::Trailer;
        return true;
    }
    return expect(*size, Phase::ChunkData);
}

// The next `count` bytes are the body's, read in `phase`; beyond the cap, it is refused.
bool HttpResponseReader::expect(qint64 count, Phase phase) {
    if (count > m_maxBody - m_body.size()) {
        refuse();
        return true;
    }
    m_left = count;
    m_phase = phase;
    return true;
}

void HttpResponseReader::refuse() {
    m_tooLarge = true;
    m_body.clear();
    finish();
}

bool HttpResponseReader::readChunkData() {
    if (!takeOwed())
        return false;
    m_phase = Phase::ChunkEnd;
    return true;
}

// A line without its CR LF (or bare LF); false until one is whole.
bool HttpResponseReader::readLine(QByteArray& line) {
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0)
        return false;
    // As long a line refused in pieces is refused whole.
    if (end > kMaxHeadBytes)
        return malformed();
    line = m_buffer.first(end);
    m_buffer.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

bool HttpResponseReader::grow(QByteArrayView bytes) {
    if (m_body.size() + bytes.size() > m_maxBody) {
        refuse();
        return false;
    }
    m_body.append(bytes);
    return true;
}

bool HttpResponseReader::malformed() {
    m_state = State::Malformed;
    return false;
}

} // namespace tarnwel
