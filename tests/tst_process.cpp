// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user starts it: a copy of the executable in a directory of its own,
// with its per-user directories pointing into a temporary tree.
#include "testfiles.h"
#include "watchlist/watchlistfile.h"

#include <QDateTime>
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

    // `arguments` on the command line; `log`: the boss key's log lines on its standard
    // error, read by the test rather than passed on.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}, bool log = false) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), path("cache"));
        env.insert(QStringLiteral("HOME"), path("home"));
        if (log)
            env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tarnwel.bosskey=true"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(log ? QProcess::SeparateChannels
                                           : QProcess::ForwardedErrorChannel);
        process->start(program(), arguments);
        return process;
    }

private:
    QTemporaryDir m_root;
};

void stop(QProcess& process) {
    process.kill();
    process.waitForFinished(10000);
}

// The lock holds the process's id: it runs as the one instance.
bool holdsLock(const Installation& install, const QProcess& process) {
    const QByteArray id = QByteArray::number(process.processId()) + '\n';
    return readAll(install.lockFile()).startsWith(id);
}

} // namespace

class TestProcess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartCreatesState_data();
    void firstStartCreatesState();
    void secondInstanceEndsAtOnce();
    void crashedInstanceDoesNotBlock_data();
    void crashedInstanceDoesNotBlock();
    void toggle();
    void toggleWithoutInstanceStarts();
    void unknownArguments_data();
    void unknownArguments();
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

// Deterministic: the instance is killed only once its id is written, and the one that died
// before writing it is played by an empty lock file a minute old. (tst_singleinstance
// has the lock's other cases.)
void TestProcess::crashedInstanceDoesNotBlock_data() {
    QTest::addColumn<bool>("killed");
    QTest::newRow("killed after writing its id") << true;
    QTest::newRow("died before writing its id") << false;
}

void TestProcess::crashedInstanceDoesNotBlock() {
    QFETCH(bool, killed);
    Installation install;
    if (killed) {
        const auto crashed = install.start();
        QVERIFY(crashed->waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(holdsLock(install, *crashed), 20000);
        stop(*crashed); // killed: its lock stays behind
    } else {
        QVERIFY(writeAll(install.lockFile(), QByteArray()));
        QFile lock(install.lockFile());
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    }
    QVERIFY(QFile::exists(install.lockFile()));

    const auto next = install.start();
    QVERIFY(next->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(holdsLock(install, *next), 20000);
    QCOMPARE(next->state(), QProcess::Running);
    stop(*next);
}

// A later start with --toggle has the running instance hide its windows, then show them,
// and ends; the running one goes on.
void TestProcess::toggle() {
    Installation install;
    const auto first = install.start({}, true);
    QVERIFY(first->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(holdsLock(install, *first), 20000);
    QByteArray log;
    for (const char* expected : {"hid 1 windows", "showed 1 windows"}) {
        const auto toggle = install.start({QStringLiteral("--toggle")});
        QVERIFY(toggle->waitForFinished(20000));
        QCOMPARE(toggle->exitStatus(), QProcess::NormalExit);
        QCOMPARE(toggle->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT((log += first->readAllStandardError()).contains(expected), 5000);
    }
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(holdsLock(install, *first));
    stop(*first);
}

void TestProcess::toggleWithoutInstanceStarts() {
    Installation install;
    const auto process = install.start({QStringLiteral("--toggle")});
    QVERIFY(process->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(holdsLock(install, *process), 20000);
    QCOMPARE(process->state(), QProcess::Running);
    stop(*process);
}

void TestProcess::unknownArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--hide")};
    QTest::newRow("toggle and more")
        << QStringList{QStringLiteral("--toggle"), QStringLiteral("--toggle")};
}

void TestProcess::unknownArguments() {
    QFETCH(QStringList, arguments);
    Installation install;
    const auto process = install.start(arguments, true);
    QVERIFY(process->waitForFinished(20000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 2);
    QCOMPARE(process->readAllStandardError(), QByteArray("usage: tarnwel [--toggle]\n"));
    QVERIFY(!QFile::exists(install.lockFile()));
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
