// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "net/download.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace tarnwel {

// Fetches the chart picture at one web address for the chart window: through a disk
// cache when one is given, refusing a picture larger than any chart, and failing a load
// that stalls. A new navigation replaces one still in flight.
class ChartLoader : public QObject {
    Q_OBJECT
public:
    // A chart larger than this is treated as a failed load.
    static constexpr qint64 kMaxBodyBytes = 4 * 1024 * 1024;

    explicit ChartLoader(QObject* parent = nullptr);

    // Chart images are cached in `directory`; empty: no disk cache. Takes effect for
    // the next navigation.
    void setCacheDirectory(const QString& directory);
    // A load that has moved no data for this long fails; 0: no limit.
    void setTransferTimeout(int milliseconds);

    // Starts loading `address`: started() at once, then loaded() or failed(). An empty or
    // invalid address makes no request and fails at once.
    void Navigate(const QString& address);

Q_SIGNALS:
    void started(const QString& address);
    void loaded(const QByteArray& picture);
    void failed();

private:
    void finished(const Download::Reply& reply);

    Download::Options m_options;
    Download* m_download = nullptr; // made again when the options change
};

} // namespace tarnwel
