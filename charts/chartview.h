// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QBuffer;
class QMovie;

namespace tarnwel {

// Shows a chart picture the way the chart window needs it: drawn at the top left on a
// white page, animated when it is an animated GIF, and replaced by a short notice when
// the load fails. It paints what it is given; the chart window fetches it.
class ChartView : public QWidget {
    Q_OBJECT
public:
    // Where the picture sits: the page's usual margin inside the view's own border.
    static constexpr int kBorder = 2;
    static constexpr int kPageMargin = 8;

    enum class State { Blank, Loading, Shown, Failed };

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    // A load of `address` has begun; the previous picture stays up until it ends.
    void showLoading(const QString& address);
    // The loaded bytes: shown, or the failure notice when they are no picture.
    void showPicture(const QByteArray& bytes);
    // The load failed: the notice replaces any picture.
    void showFailure();

    QString lastAddress() const { return m_lastAddress; }
    State state() const { return m_state; }
    // While the previous picture stays up during a load, state() says Loading.
    bool showsNotice() const { return m_failed; }
    // The picture on show now (the current frame of an animation); null if none.
    QPixmap currentPicture() const;

    static QString noticeText();

Q_SIGNALS:
    void loadFinished(bool ok);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool decodePicture(const QByteArray& bytes);
    void clearPicture();

    QString m_lastAddress;
    State m_state = State::Blank;
    bool m_failed = false;
    QPixmap m_still;
    QBuffer* m_movieData = nullptr;
    QMovie* m_movie = nullptr;
};

} // namespace tarnwel
