// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/watchliststore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace tarnwel {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

QString WatchListStore::Contents::reason() const {
    switch (status) {
    case Status::Ok:
    case Status::Missing:
        return {};
    case Status::Unreadable:
        return QStringLiteral("无法读取自选股文件 %1，列表暂时不能修改。").arg(shown(path));
    case Status::Undecodable:
        return QStringLiteral("自选股文件 %1 中有不是 GBK 编码的文字，为免损坏原文件，"
                              "列表只能查看，不能修改。")
            .arg(shown(path));
    case Status::NoEncoding:
        return QStringLiteral("本程序缺少 GBK 文字编码支持，自选股列表只能查看，不能修改。");
    }
    return {};
}

WatchListStore::WatchListStore(QString besideProgram, QString perUser)
    : m_besideProgram(std::move(besideProgram))
    , m_perUser(std::move(perUser))
    , m_canWriteIn(&WatchListStore::canCreateFilesIn) {}

void WatchListStore::setWritableProbe(std::function<bool(const QString& dir)> probe) {
    m_canWriteIn = probe ? std::move(probe) : &WatchListStore::canCreateFilesIn;
}

void WatchListStore::setEncoding(QByteArray encoding) {
    m_codec = TextCodec(std::move(encoding));
}

WatchListStore::Contents WatchListStore::read() const {
    // A list that was moved out of the program's directory is the newer one.
    const QString path =
        !m_perUser.isEmpty() && QFileInfo(m_perUser).isFile() ? m_perUser : m_besideProgram;
    WatchListFile::Contents file = WatchListFile(path, m_codec).read();
    Contents contents{Status::Ok, std::move(file.entries), path};
    if (!m_codec.isAvailable())
        contents.status = Status::NoEncoding;
    else if (file.status == WatchListFile::Status::Missing)
        contents.status = Status::Missing;
    else if (file.status == WatchListFile::Status::Unreadable)
        contents.status = Status::Unreadable;
    else if (!file.exact)
        contents.status = Status::Undecodable;
    return contents;
}

WatchListStore::Saved WatchListStore::write(const QStringList& entries) const {
    return save(Content::List, entries);
}

WatchListStore::Saved WatchListStore::createDefault() const {
    return save(Content::Default, {});
}

QString WatchListStore::writePath(const Contents& now) const {
    if (m_perUser.isEmpty() || now.path == m_perUser)
        return now.path;
    return m_canWriteIn(QFileInfo(m_besideProgram).absolutePath()) ? m_besideProgram : m_perUser;
}

WatchListStore::Saved WatchListStore::save(Content content, const QStringList& entries) const {
    const Contents now = read();
    if (!now.editable())
        return {false, now.path, {}, now.reason()};
    if (content == Content::Default && now.status != Status::Missing)
        return {true, now.path, {}, {}};

    const auto writeTo = [&](const QString& path) {
        if (path == m_perUser)
            QDir().mkpath(QFileInfo(path).absolutePath());
        const WatchListFile file(path, m_codec);
        return content == Content::Default ? file.writeDefault() : file.write(entries);
    };
    QString path = writePath(now);
    bool ok = writeTo(path);
    // The directory test can pass while the file itself still refuses to be replaced
    // (a read-only file on Windows); the per-user copy is the way out there too.
    if (!ok && path == m_besideProgram && !m_perUser.isEmpty()) {
        path = m_perUser;
        ok = writeTo(path);
    }
    if (!ok)
        return {false, now.path, {}, QStringLiteral("无法保存自选股文件 %1。").arg(shown(path))};

    Saved saved{true, path, {}, {}};
    if (path == m_perUser && now.status == Status::Ok && now.path == m_besideProgram)
        saved.notice = QStringLiteral("程序所在的文件夹不能写入，自选股列表已改存到 %1，"
                                      "以后从这里读取。")
                           .arg(shown(path));
    return saved;
}

bool WatchListStore::canCreateFilesIn(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.tarnwel-XXXXXX"));
    if (!probe.open())
        return false;
    probe.remove();
    return true;
}

QString WatchListStore::perUserPath() {
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return dataDir.isEmpty() ? QString() : dataDir + QStringLiteral("/setup.ini");
}

} // namespace tarnwel
