// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user starts it: a copy of the executable in a directory of its own,
// with its per-user directories pointing into a temporary tree.
#include "testfiles.h"
#include "watchlist/watchlistfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class Installation {
public:
    Installation() {
        for (const char* sub : {"bin", "config", "runtime", "data", "cache", "home"})
            QDir(m_root.path()).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(path("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        QFile::copy(QStringLiteral(TARNWEL_PROGRAM), program());
    }

    QString path(const char* sub) const { return m_root.filePath(QString::fromLatin1(sub)); }
    QString program() const { return path("bin") + QStringLiteral("/tarnwel"); }
    QString watchList() const { return path("bin") + QStringLiteral("/setup.ini"); }
    QString settings() const {
        return path("config") + QStringLiteral("/vevivudaz/vevivudaz.conf");
    }
    QString lockFile() const { return path("runtime") + QStringLiteral("/tarnwel.lock"); }

    std::unique_ptr<QProcess> start() const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), path("cache"));
        env.insert(QStringLiteral("HOME"), path("home"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program(), {});
        return process;
    }

private:
    QTemporaryDir m_root;
};

void stop(QProcess& process) {
    process.kill();
    process.waitForFinished(10000);
}

} // namespace

class TestProcess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesState_data();
    void firstStartCreatesState();
    void secondInstanceEndsAtOnce();
    void crashedInstanceDoesNotBlock();
};

void TestProcess::firstStartCreatesState_data() {
    QTest::addColumn<QByteArray>("storedSettings");
    QTest::addColumn<QByteArray>("expectedOp");
    QTest::newRow("nothing stored") << QByteArray() << QByteArray("op=60%");
    QTest::newRow("empty op") << QByteArray("[vevivudaz]\nop=\n") << QByteArray("op=60%");
    QTest::newRow("user's choice kept")
        << QByteArray("[vevivudaz]\nop=90%\n") << QByteArray("op=90%");
}

void TestProcess::firstStartCreatesState() {
    QFETCH(QByteArray, storedSettings);
    QFETCH(QByteArray, expectedOp);
    Installation install;
    if (!storedSettings.isEmpty()) {
        QDir().mkpath(install.path("config") + QStringLiteral("/vevivudaz"));
        QFile file(install.settings());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(storedSettings);
    }

    const auto process = install.start();
    QVERIFY(process->waitForStarted(10000));
    // The lock is taken as the ticker loads, after the files were made.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.lockFile()), 20000);
    QCOMPARE(process->state(), QProcess::Running);

    QCOMPARE(readAll(install.watchList()), tarnwel::watchlist::defaultContent());
    const QByteArray settings = readAll(install.settings());
    QVERIFY2(settings.contains("[vevivudaz]"), settings.constData());
    QVERIFY2(settings.contains(expectedOp), settings.constData());
    stop(*process);
}

void TestProcess::secondInstanceEndsAtOnce() {
    Installation install;
    const auto first = install.start();
    QVERIFY(first->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.lockFile()), 20000);

    const auto second = install.start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    stop(*first);
}

void TestProcess::crashedInstanceDoesNotBlock() {
    Installation install;
    const auto crashed = install.start();
    QVERIFY(crashed->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.lockFile()), 20000);
    stop(*crashed); // killed: its lock stays behind
    QVERIFY(QFile::exists(install.lockFile()));

    const auto next = install.start();
    QVERIFY(next->waitForStarted(10000));
    const QByteArray pid = QByteArray::number(next->processId()) + QByteArray("\n");
    QTRY_VERIFY_WITH_TIMEOUT(readAll(install.lockFile()).startsWith(pid), 20000);
    QCOMPARE(next->state(), QProcess::Running);
    stop(*next);
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
