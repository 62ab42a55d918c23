#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

class QBuffer;
class QMovie;
class QNetworkAccessManager;
class QNetworkReply;

namespace tarnwel {

class CappedReader;

// Shows the picture at one web address, the way the chart window needs it: fetched
// over HTTP (through a disk cache when one is given), drawn at the top left on a white
// page, animated when it is an animated GIF, and replaced by a short notice when the
// load fails. A new navigation replaces one still in flight.
class ChartView : public QWidget {
    Q_OBJECT
public:
    // A chart larger than this is treated as a failed load.
    static constexpr qint64 kMaxBodyBytes = 4 * 1024 * 1024;
    // Where the picture sits: the page's usual margin inside the view's own border.
    static constexpr int kBorder = 2;
    static constexpr int kPageMargin = 8;

    enum class State { Blank, Loading, Shown, Failed };

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    // Chart images are cached in `directory`; empty: no disk cache. Takes effect for
    // the next navigation.
    void setCacheDirectory(const QString& directory);
    // A load that has moved no data for this long fails; 0: no limit.
    void setTransferTimeout(int milliseconds);

    // Starts loading `address`. Returns at once; loadFinished follows. An empty or
    // invalid address makes no request and shows the failure notice at once.
    void Navigate(const QString& address);

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
    void abortLoad();
    void onFinished();
    void fail();
    bool showPicture(const QByteArray& bytes);
    void clearPicture();

    QNetworkAccessManager* m_network = nullptr;
    QString m_cacheDirectory;
    bool m_cacheInstalled = false;
    int m_transferTimeout = 0;
    QPointer<QNetworkReply> m_reply;
    CappedReader* m_reader = nullptr; // of m_reply
    QElapsedTimer m_clock;
    QString m_lastAddress;
    State m_state = State::Blank;
    bool m_failed = false;
    QPixmap m_still;
    QBuffer* m_movieData = nullptr;
    QMovie* m_movie = nullptr;
};

} // namespace tarnwel
