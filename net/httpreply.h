// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

#include <optional>

namespace tarnwel {

// What one download brought back, whichever way it was fetched.
struct HttpReply {
    QUrl url;
    int httpStatus = 0;             // as answered; 0 when no answer came
    std::optional<QByteArray> body; // nothing when it grew past the cap
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorString;
    bool timedOut = false;

    // A whole body, answered 2xx (or without a status, as a file is).
    bool delivered() const {
        const bool statusOk = httpStatus == 0 || (httpStatus >= 200 && httpStatus < 300);
        return error == QNetworkReply::NoError && !timedOut && statusOk && body.has_value();
    }
};

} // namespace tarnwel
