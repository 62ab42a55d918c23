// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfiles.h"
#include "watchlist/watchliststore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

namespace {

const QString kSinopec = QStringLiteral("中国石化(sh600028)");
const QString kUnicom = QStringLiteral("中国联通(sh600050)");
const QString kVanke = QStringLiteral("万科Ａ(sz000002)");

// An installation in a temporary directory: the program's directory and the per-user
// data directory, which does not exist until something is saved there.
struct Install {
    QTemporaryDir root;
    QString besideProgram = root.filePath(QStringLiteral("bin/setup.ini"));
    QString perUser = root.filePath(QStringLiteral("data/tarnwel/setup.ini"));
    QStringList probed; // the directories a store asked about

    Install() { QDir(root.path()).mkpath(QStringLiteral("bin")); }
    // A store for which the program's directory cannot be written, as under a system-wide
    // install; as root no permission bit would stop the test's own writes.
    WatchListStore readOnlyStore() {
        WatchListStore store(besideProgram, perUser);
        store.setWritableProbe([this](const QString& dir) {
            probed.append(dir);
            return false;
        });
        return store;
    }
};

} // namespace

class TestWatchListStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyInstallMovesTheListOnce();
    void writableInstallStaysBesideProgram();
    void perUserCopyIsReadFirst();
    void defaultGoesWhereItCanBeWritten_data();
    void defaultGoesWhereItCanBeWritten();
    void probeIsNotTheLastWord_data();
    void probeIsNotTheLastWord();
    void unfaithfulListIsNeverRewritten_data();
    void unfaithfulListIsNeverRewritten();
    void noConverterCreatesNothing();
    void canCreateFilesIn_data();
    void canCreateFilesIn();
};

void TestWatchListStore::readOnlyInstallMovesTheListOnce() {
    Install install;
    const QByteArray original = gbk(kSinopec + u"\r\n" + kUnicom + u"\r\n");
    QVERIFY(writeAll(install.besideProgram, original));

    {
        const WatchListStore store = install.readOnlyStore();
        const WatchListStore::Contents shown = store.read();
        QCOMPARE(shown.status, WatchListStore::Status::Ok);
        QCOMPARE(shown.entries, (QStringList{kSinopec, kUnicom}));
        QCOMPARE(shown.path, install.besideProgram);
        QVERIFY(shown.editable());

        const WatchListStore::Saved saved = store.write({kSinopec, kUnicom, kVanke});
        QVERIFY(saved.ok);
        QCOMPARE(saved.path, install.perUser);
        QVERIFY2(saved.notice.contains(QDir::toNativeSeparators(install.perUser)),
                 qPrintable(saved.notice));
        QVERIFY(saved.reason.isEmpty());
        QCOMPARE(install.probed, QStringList{QFileInfo(install.besideProgram).absolutePath()});
    }
    // The list beside the program is left as it was.
    QCOMPARE(readAll(install.besideProgram), original);
    QCOMPARE(readAll(install.perUser),
             gbk(kSinopec + u"\r\n" + kUnicom + u"\r\n" + kVanke + u"\r\n\r\n"));

    // The next start reads the moved list, and saving there again tells nothing new.
    const WatchListStore next = install.readOnlyStore();
    const WatchListStore::Contents again = next.read();
    QCOMPARE(again.status, WatchListStore::Status::Ok);
    QCOMPARE(again.entries, (QStringList{kSinopec, kUnicom, kVanke}));
    QCOMPARE(again.path, install.perUser);
    const WatchListStore::Saved second = next.write({kVanke});
    QVERIFY(second.ok);
    QCOMPARE(second.path, install.perUser);
    QVERIFY(second.notice.isEmpty());
    QCOMPARE(next.read().entries, QStringList{kVanke});
}

void TestWatchListStore::writableInstallStaysBesideProgram() {
    Install install;
    QVERIFY(writeAll(install.besideProgram, gbk(kSinopec)));
    const WatchListStore store(install.besideProgram, install.perUser);
    const WatchListStore::Saved saved = store.write({kSinopec, kVanke});
    QVERIFY(saved.ok);
    QCOMPARE(saved.path, install.besideProgram);
    QVERIFY(saved.notice.isEmpty());
    QCOMPARE(store.read().entries, (QStringList{kSinopec, kVanke}));
    QVERIFY(!QFileInfo::exists(QFileInfo(install.perUser).absolutePath()));
    // The probe cleans up after itself.
    QCOMPARE(QDir(install.root.filePath(QStringLiteral("bin")))
                 .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{QStringLiteral("setup.ini")});
}

void TestWatchListStore::perUserCopyIsReadFirst() {
    // Once moved, the list stays in the per-user directory even when the program's
    // directory becomes writable again: the copy beside the program is the older one.
    Install install;
    QVERIFY(writeAll(install.besideProgram, gbk(kSinopec)));
    QVERIFY(writeAll(install.perUser, gbk(kVanke)));
    const WatchListStore store(install.besideProgram, install.perUser);
    QCOMPARE(store.read().entries, QStringList{kVanke});
    const WatchListStore::Saved saved = store.write({kVanke, kUnicom});
    QCOMPARE(saved.path, install.perUser);
    QVERIFY(saved.notice.isEmpty());
    QCOMPARE(readAll(install.besideProgram), gbk(kSinopec));
}

void TestWatchListStore::defaultGoesWhereItCanBeWritten_data() {
    QTest::addColumn<bool>("programDirWritable");
    QTest::newRow("program directory writable") << true;
    QTest::newRow("program directory not writable") << false;
}

void TestWatchListStore::defaultGoesWhereItCanBeWritten() {
    QFETCH(bool, programDirWritable);
    QTemporaryDir root;
    // A directory under a regular file cannot be written even by root, so the store's own
    // probe is what decides here.
    QString programDir = root.filePath(QStringLiteral("bin"));
    if (programDirWritable) {
        QVERIFY(QDir().mkpath(programDir));
    } else {
        QVERIFY(writeAll(root.filePath(QStringLiteral("file")), "x"));
        programDir = root.filePath(QStringLiteral("file/bin"));
    }
    const QString besideProgram = programDir + QStringLiteral("/setup.ini");
    const QString perUser = root.filePath(QStringLiteral("data/setup.ini"));
    const WatchListStore store(besideProgram, perUser);
    QCOMPARE(store.read().status, WatchListStore::Status::Missing);

    const WatchListStore::Saved saved = store.createDefault();
    QVERIFY(saved.ok);
    // Nothing was moved: a fresh list needs no notice.
    QVERIFY(saved.notice.isEmpty());
    const QString expected = programDirWritable ? besideProgram : perUser;
    QCOMPARE(saved.path, expected);
    QCOMPARE(readAll(expected), watchlist::defaultContent());
    QCOMPARE(QFileInfo::exists(perUser), !programDirWritable);

    // Only a missing list is replaced by the default.
    QVERIFY(store.write({kVanke}).ok);
    QVERIFY(store.createDefault().ok);
    QCOMPARE(store.read().entries, QStringList{kVanke});
}

void TestWatchListStore::probeIsNotTheLastWord_data() {
    QTest::addColumn<bool>("probeSays");     // whether the program's directory looks writable
    QTest::addColumn<bool>("canWrite");      // whether it is
    QTest::addColumn<bool>("perUser");       // whether there is a per-user place
    QTest::addColumn<bool>("besideProgram"); // where the list ends up
    // The directory looks writable, the file still refuses: the per-user copy.
    QTest::newRow("probe passes, the write fails") << true << false << true << false;
    // Nowhere else to go: the program's directory is tried all the same.
    QTest::newRow("no per-user place") << false << true << false << true;
}

void TestWatchListStore::probeIsNotTheLastWord() {
    QFETCH(bool, probeSays);
    QFETCH(bool, canWrite);
    QFETCH(bool, perUser);
    QFETCH(bool, besideProgram);
    Install install;
    // A directory under a regular file cannot be written even by root.
    QVERIFY(writeAll(install.root.filePath(QStringLiteral("file")), "x"));
    const QString beside =
        canWrite ? install.besideProgram : install.root.filePath(QStringLiteral("file/setup.ini"));
    WatchListStore store(beside, perUser ? install.perUser : QString());
    store.setWritableProbe([probeSays](const QString&) { return probeSays; });

    const WatchListStore::Saved saved = store.write({kVanke});
    QVERIFY(saved.ok);
    QCOMPARE(saved.path, besideProgram ? beside : install.perUser);
    QCOMPARE(store.read().entries, QStringList{kVanke});
}

void TestWatchListStore::unfaithfulListIsNeverRewritten_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("line not valid GBK")
        << QByteArray(gbk(kSinopec) + "\r\n\xd6\x30(sh600000)\r\n") << QByteArrayLiteral("GBK")
        << int(WatchListStore::Status::Undecodable)
        << QStringList{kSinopec, QStringLiteral("\uFFFD0(sh600000)")};
    QTest::newRow("no GBK converter")
        << gbk(QStringLiteral("万科(sz000002)")) << QByteArray("no-such-encoding")
        << int(WatchListStore::Status::NoEncoding)
        << QStringList{QString(4, QChar::ReplacementCharacter) + QStringLiteral("(sz000002)")};
    // Reading /proc/self/mem fails, for root too.
    QTest::newRow("unreadable") << QByteArray() << QByteArrayLiteral("GBK")
                                << int(WatchListStore::Status::Unreadable) << QStringList{};
}

void TestWatchListStore::unfaithfulListIsNeverRewritten() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(int, status);
    QFETCH(QStringList, entries);

    Install install;
    if (status == int(WatchListStore::Status::Unreadable))
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), install.besideProgram));
    else
        QVERIFY(writeAll(install.besideProgram, bytes));
    WatchListStore store = install.readOnlyStore();
    store.setEncoding(encoding);

    const WatchListStore::Contents contents = store.read();
    QCOMPARE(int(contents.status), status);
    QCOMPARE(contents.entries, entries);
    QVERIFY(!contents.editable());
    QVERIFY(!contents.reason().isEmpty());

    const WatchListStore::Saved saved = store.write({kVanke});
    QVERIFY(!saved.ok);
    QCOMPARE(saved.reason, contents.reason());
    QVERIFY(store.createDefault().reason == contents.reason());
    QCOMPARE(QFileInfo(install.besideProgram).isSymLink(),
             status == int(WatchListStore::Status::Unreadable));
    if (!bytes.isEmpty())
        QCOMPARE(readAll(install.besideProgram), bytes);
    QVERIFY(!QFileInfo::exists(install.perUser));
    QVERIFY(install.probed.isEmpty());
}

void TestWatchListStore::noConverterCreatesNothing() {
    Install install;
    WatchListStore store(install.besideProgram, install.perUser);
    store.setEncoding("no-such-encoding");
    const WatchListStore::Contents contents = store.read();
    QCOMPARE(contents.status, WatchListStore::Status::NoEncoding);
    QVERIFY(contents.reason().contains(QStringLiteral("GBK")));
    QVERIFY(!store.createDefault().ok);
    QVERIFY(!store.write({kVanke}).ok);
    QVERIFY(!QFileInfo::exists(install.besideProgram));
    QVERIFY(!QFileInfo::exists(install.perUser));
}

void TestWatchListStore::canCreateFilesIn_data() {
    QTest::addColumn<QString>("dir");
    QTest::addColumn<bool>("writable");
    QTest::newRow("ordinary directory") << QStringLiteral("bin") << true;
    QTest::newRow("missing directory") << QStringLiteral("nothing") << false;
    QTest::newRow("under a regular file") << QStringLiteral("file/bin") << false;
    QTest::newRow("read-only directory") << QStringLiteral("locked") << false;
}

void TestWatchListStore::canCreateFilesIn() {
    QFETCH(QString, dir);
    QFETCH(bool, writable);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(writeAll(root.filePath(QStringLiteral("file")), "x"));
    if (dir == u"locked") {
        if (!permissionBitsBind())
            QSKIP("Permission bits do not stop this process.");
        QVERIFY(QDir(root.path()).mkpath(dir));
        QVERIFY(QFile::setPermissions(root.filePath(dir), QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString path = root.filePath(dir);
    const QStringList before =
        QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);

    QCOMPARE(WatchListStore::canCreateFilesIn(path), writable);
    QCOMPARE(QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestWatchListStore)
#include "tst_watchliststore.moc"
