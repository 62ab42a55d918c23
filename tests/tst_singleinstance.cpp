// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/singleinstance.h"
#include "testfiles.h"

#include <QDateTime>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using tarnwel::InstanceRequest;
using tarnwel::SingleInstance;

namespace {

constexpr int kGraceMs = 10000;

// The id of a process that has ended.
QByteArray deadOwner() {
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForStarted(10000);
    const qint64 pid = process.processId();
    process.waitForFinished(10000);
    return QByteArray::number(pid) + "\ntarnwel\n\n";
}

} // namespace

// Who holds the lock after a start finds what an earlier instance left, and whether a
// later start's request reaches the one that holds it.
class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acquire_data();
    void acquire();
    void request_data();
    void request();
};

void TestSingleInstance::acquire_data() {
    QTest::addColumn<QByteArray>("content"); // of the lock file left behind
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("heldOpen"); // by a live owner still writing its id
    QTest::addColumn<bool>("taken");

    QTest::newRow("a dead owner's id") << deadOwner() << 0 << false << true;
    // However old its lock, an owner that is alive keeps it: the ticker runs for days.
    QTest::newRow("a live owner's id, days old")
        << QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
               QCoreApplication::applicationName().toUtf8() + "\n\n"
        << 3 * 86400 << false << false;
    QTest::newRow("no id, past the grace") << QByteArray("") << 60 << false << true;
    QTest::newRow("no id, within the grace") << QByteArray("") << 0 << false << false;
    QTest::newRow("no id, dated ahead") << QByteArray("") << -60 << false << true;
    QTest::newRow("no id, past the grace, still open") << QByteArray("") << 60 << true << false;
}

void TestSingleInstance::acquire() {
    QFETCH(QByteArray, content);
    QFETCH(int, ageSeconds);
    QFETCH(bool, heldOpen);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarnwel.lock"));
    QVERIFY(writeAll(path, content));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
    file.close();
    const int fd = heldOpen ? ::open(QFile::encodeName(path).constData(), O_RDWR) : -1;
    if (heldOpen)
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);

    SingleInstance instance(path, kGraceMs);
    const bool taken = instance.acquire();
    if (fd >= 0)
        ::close(fd);
    QTEST(taken, "taken");
    if (taken)
        QVERIFY(readAll(path).startsWith(QByteArray::number(QCoreApplication::applicationPid())));
}

void TestSingleInstance::request_data() {
    QTest::addColumn<bool>("owner");
    QTest::addColumn<bool>("leftover"); // a socket file left where the owner listens
    // (tst_process asks a live owner through the program itself.)
    QTest::newRow("owner listening where a dead one left its socket") << true << true;
    QTest::newRow("no owner, a dead one's socket left") << false << true;
}

void TestSingleInstance::request() {
    QFETCH(bool, owner);
    QFETCH(bool, leftover);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarnwel.lock"));
    if (leftover)
        QVERIFY(writeAll(SingleInstance::serverName(path), QByteArray()));
    SingleInstance instance(path);
    QSignalSpy requested(&instance, &SingleInstance::requested);
    if (owner)
        QVERIFY(instance.acquire());

    InstanceRequest request(path);
    QSignalSpy finished(&request, &InstanceRequest::finished);
    request.send(QStringLiteral("toggle"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
    QCOMPARE(finished.first().at(0).toBool(), owner);
    QCOMPARE(requested.size(), owner ? 1 : 0);
    if (owner)
        QCOMPARE(requested.first().at(0).toString(), QStringLiteral("toggle"));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
