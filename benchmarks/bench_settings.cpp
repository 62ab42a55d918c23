// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertrule.h"
#include "base/plainini.h"
#include "base/settingsstore.h"
#include "base/textfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace tarnwel;

// The settings file on the GUI thread with 10,000 alerts stored for stocks no longer
// listed. Each run opens the file afresh and writes its result beside it, so the stored
// file stays as it was for the next run. The program reads the file once and then only
// when it changed on disk, so a change is timed on a store that has read it already;
// the reading itself is timed apart.
class BenchSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    // The watch list saved: every unlisted alert goes, in one write.
    void removeUnlistedAlerts();
    // The alert dialog's OK beside them: the whole file written again.
    void setOneAlert();
    // The first look at the file.
    void read();

private:
    SettingsStore store() const {
        return SettingsStore(m_path, [](const QString& path, const QByteArray& bytes) {
            return writeFileAtomically(path + QStringLiteral(".out"), bytes);
        });
    }
    // The median of a few runs of `change` on a store that has read the file; the slowest
    // goes to the log.
    void timeChange(const std::function<void(SettingsStore&)>& change) const;

    QTemporaryDir m_dir;
    QString m_path;
};

void BenchSettings::initTestCase() {
    m_path = m_dir.filePath(QStringLiteral("vevivudaz.conf"));
    // As the program writes it.
    IniValues values{{QStringLiteral("vevivudaz/op"), QStringLiteral("60%")},
                     {QStringLiteral("alerts/sh600028"), QStringLiteral("above:5.50")}};
    for (int i = 0; i < 10000; ++i)
        values.insert(u"alerts/sz" + QString::number(300000 + i),
                      QStringLiteral("above:12.5;below:9.10;move:3"));
    QVERIFY(writePlainIniFile(m_path, values));
}

void BenchSettings::timeChange(const std::function<void(SettingsStore&)>& change) const {
    QList<qint64> times;
    for (int run = 0; run < 21; ++run) {
        SettingsStore settings = store();
        QCOMPARE(settings.alertCodes().size(), 10001);
        QElapsedTimer clock;
        clock.start();
        change(settings);
        times.append(clock.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    qInfo() << "slowest:" << double(times.last()) / 1e6 << "ms";
    QTest::setBenchmarkResult(double(times[10]) / 1e6, QTest::WalltimeMilliseconds);
}

void BenchSettings::removeUnlistedAlerts() {
    timeChange([](SettingsStore& settings) {
        tarnwel::removeUnlistedAlerts(settings, {QStringLiteral("sh600028")});
    });
}

void BenchSettings::setOneAlert() {
    timeChange([](SettingsStore& settings) {
        settings.setAlerts(QStringLiteral("sh600028"), QStringLiteral("above:5.60"));
    });
}

void BenchSettings::read() {
    QBENCHMARK {
        QCOMPARE(store().transparency(), QStringLiteral("60%"));
    }
}

QTEST_GUILESS_MAIN(BenchSettings)
#include "bench_settings.moc"
