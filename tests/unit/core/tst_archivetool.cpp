#include "core/archivetool.h"
#include "support/testsupport.h"
#include "support/zipwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using TestSupport::ZipEntry;

class TestArchiveTool : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void roundTripKeepsNamesAndContents_data();
    void roundTripKeepsNamesAndContents();
    void writeArchiveReplacesTheOldOneWhole();
    void failedBackupLeavesOldArchive_data();
    void failedBackupLeavesOldArchive();
    void toolsBesideTheProgramComeFirst();
    void unzipKeepsExistingFiles();
    void listingMarksLinks();
    void unsafeEntries_data();
    void unsafeEntries();
    void entryThroughLinkInTargetIsUnsafe();
    void topLevelFiles_data();
    void topLevelFiles();

private:
    static void write(const QString &path, const QByteArray &data)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(data), qint64(data.size()));
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QStringList names(const QList<ArchiveTool::Entry> &entries)
    {
        QStringList list;
        for (const ArchiveTool::Entry &e : entries)
            list << e.name;
        list.sort();
        return list;
    }
    // A "zip" of our own in a tools folder: writes a broken archive and fails
    // (or hangs, with `hang`).
    static void writeFailingZip(const QString &toolsFolder, int exitCode, bool hang = false)
    {
        const QString script = toolsFolder + QStringLiteral("/zip");
        write(script, QStringLiteral("#!/bin/sh\nprintf 'half an archive' > \"$3\"\n%1exit %2\n")
                          .arg(hang ? QStringLiteral("exec sleep 60\n") : QString())
                          .arg(exitCode)
                          .toUtf8());
        QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    }
};

void TestArchiveTool::cleanup()
{
    ArchiveTool::setToolsFolder(QString());
    ArchiveTool::setTimeLimitMs(0);
}

void TestArchiveTool::roundTripKeepsNamesAndContents_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Plant");
    QTest::newRow("blanks") << QStringLiteral("My Plant 2");
    QTest::newRow("quotes") << QStringLiteral("O'Neil \"North\" Site");
    QTest::newRow("non-Latin") << QStringLiteral("Zürich Завод 工場");
    QTest::newRow("leading dash") << QStringLiteral("-r Plant");
}

void TestArchiveTool::roundTripKeepsNamesAndContents()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString source = tmp.filePath(name);
    write(source + QLatin1Char('/') + name + QStringLiteral(".sqlite3"), "db");
    write(source + QStringLiteral("/log/log-") + name + QStringLiteral("/log-2026-12-01.log"),
          "line\r\n");
    write(source + QStringLiteral("/.hidden"), "kept too");

    const QString archive = tmp.filePath(name + QStringLiteral(" backup.zip"));
    QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);

    QList<ArchiveTool::Entry> entries;
    QCOMPARE(ArchiveTool::listEntries(archive, &entries), 0);
    const QStringList expected{
        QStringLiteral(".hidden"), name + QStringLiteral(".sqlite3"), QStringLiteral("log/"),
        QStringLiteral("log/log-") + name + QLatin1Char('/'),
        QStringLiteral("log/log-") + name + QStringLiteral("/log-2026-12-01.log")};
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    QCOMPARE(names(entries), sortedExpected);
    for (const ArchiveTool::Entry &e : qAsConst(entries))
        QVERIFY2(!e.isSymLink, qPrintable(e.name));
    QCOMPARE(ArchiveTool::unsafeEntry(entries, QString()), QString());

    const QString target = tmp.filePath(name + QStringLiteral(" restored"));
    QVERIFY(QDir().mkpath(target));
    QCOMPARE(ArchiveTool::unzip(archive, target), 0);
    QCOMPARE(read(target + QLatin1Char('/') + name + QStringLiteral(".sqlite3")), QByteArray("db"));
    QCOMPARE(
        read(target + QStringLiteral("/log/log-") + name + QStringLiteral("/log-2026-12-01.log")),
        QByteArray("line\r\n"));
    QCOMPARE(read(target + QStringLiteral("/.hidden")), QByteArray("kept too"));
    // Only the archive itself is left beside the folders: no temporary file.
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{name + QStringLiteral(" backup.zip")});
}

void TestArchiveTool::writeArchiveReplacesTheOldOneWhole()
{
    QTemporaryDir tmp;
    const QString source = tmp.filePath(QStringLiteral("Plant"));
    write(source + QStringLiteral("/Plant.sqlite3"), "db");
    const QString stale = tmp.filePath(QStringLiteral("stale"));
    write(stale + QStringLiteral("/stale.txt"), "old");
    const QString archive = tmp.filePath(QStringLiteral("Plant.zip"));
    QCOMPARE(ArchiveTool::zipFolder(archive, stale), 0);

    // A backup replaces the archive, it does not add to it.
    QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);
    QList<ArchiveTool::Entry> entries;
    QCOMPARE(ArchiveTool::listEntries(archive, &entries), 0);
    QCOMPARE(names(entries), QStringList{QStringLiteral("Plant.sqlite3")});

    // Neither does a file of that name that is no archive at all stop it.
    write(archive, "not a zip");
    QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);
    QCOMPARE(ArchiveTool::listEntries(archive, &entries), 0);
    QCOMPARE(names(entries), QStringList{QStringLiteral("Plant.sqlite3")});

    // The support package adds to what is there.
    QCOMPARE(ArchiveTool::zipFolder(archive, stale), 0);
    QCOMPARE(ArchiveTool::listEntries(archive, &entries), 0);
    QCOMPARE(names(entries),
             (QStringList{QStringLiteral("Plant.sqlite3"), QStringLiteral("stale.txt")}));
}

void TestArchiveTool::failedBackupLeavesOldArchive_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<int>("code");
    QTest::newRow("zip fails") << true << false << 15;
    QTest::newRow("zip hangs") << true << true << int(ArchiveTool::TimedOut);
    QTest::newRow("no folder to pack") << false << false << int(ArchiveTool::NoWorkingFolder);
}

void TestArchiveTool::failedBackupLeavesOldArchive()
{
    QFETCH(bool, folderExists);
    QFETCH(bool, hang);
    QFETCH(int, code);
    QTemporaryDir tmp;
    const QString tools = tmp.filePath(QStringLiteral("tools"));
    writeFailingZip(tools, 15, hang);
    ArchiveTool::setTimeLimitMs(500);
    ArchiveTool::setToolsFolder(tools);
    QCOMPARE(ArchiveTool::zipProgram(),
             QFileInfo(tools + QStringLiteral("/zip")).absoluteFilePath());

    const QString source = tmp.filePath(QStringLiteral("Plant"));
    if (folderExists)
        write(source + QStringLiteral("/Plant.sqlite3"), "db");
    const QString out = tmp.filePath(QStringLiteral("out"));
    const QString archive = out + QStringLiteral("/Plant.zip");
    write(archive, "the good old backup");

    QCOMPARE(ArchiveTool::writeArchive(archive, source), code);
    QCOMPARE(read(archive), QByteArray("the good old backup"));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Plant.zip")});
}

void TestArchiveTool::toolsBesideTheProgramComeFirst()
{
    QTemporaryDir tmp;
    const QString tools = tmp.filePath(QStringLiteral("tools"));
    // Not executable: not taken.
    write(tools + QStringLiteral("/unzip"), "#!/bin/sh\nexit 3\n");
    ArchiveTool::setToolsFolder(tools);
    QVERIFY(ArchiveTool::unzipProgram() !=
            QFileInfo(tools + QStringLiteral("/unzip")).absoluteFilePath());
    QVERIFY(QFile::setPermissions(tools + QStringLiteral("/unzip"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(ArchiveTool::unzipProgram(),
             QFileInfo(tools + QStringLiteral("/unzip")).absoluteFilePath());
    QCOMPARE(ArchiveTool::unzip(tmp.filePath(QStringLiteral("any.zip")), tmp.path()), 3);

    QCOMPARE(ArchiveTool::run(tmp.filePath(QStringLiteral("no-such-program")), {}, QString()),
             int(ArchiveTool::NotStarted));
}

void TestArchiveTool::unzipKeepsExistingFiles()
{
    QTemporaryDir tmp;
    const QString source = tmp.filePath(QStringLiteral("src"));
    write(source + QStringLiteral("/notes.txt"), "theirs");
    write(source + QStringLiteral("/new.txt"), "new");
    const QString archive = tmp.filePath(QStringLiteral("a.zip"));
    QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);

    const QString target = tmp.filePath(QStringLiteral("target"));
    write(target + QStringLiteral("/notes.txt"), "mine");
    // Never waits for an overwrite answer, never overwrites.
    QCOMPARE(ArchiveTool::unzip(archive, target), 0);
    QCOMPARE(read(target + QStringLiteral("/notes.txt")), QByteArray("mine"));
    QCOMPARE(read(target + QStringLiteral("/new.txt")), QByteArray("new"));
}

void TestArchiveTool::listingMarksLinks()
{
    QTemporaryDir tmp;
    const QString archive = tmp.filePath(QStringLiteral("crafted.zip"));
    QVERIFY(TestSupport::writeStoredZip(
        archive, {ZipEntry{"Plant.sqlite3", "db", 0100644}, ZipEntry{"log", "/etc", 0120777},
                  ZipEntry{"data/Zürich 1.csv", "a;b\r\n", 0100644}}));
    QList<ArchiveTool::Entry> entries;
    QCOMPARE(ArchiveTool::listEntries(archive, &entries), 0);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(0).name, QStringLiteral("Plant.sqlite3"));
    QVERIFY(!entries.at(0).isSymLink);
    QCOMPARE(entries.at(1).name, QStringLiteral("log"));
    QVERIFY(entries.at(1).isSymLink);
    QCOMPARE(entries.at(2).name, QStringLiteral("data/Zürich 1.csv"));
    QVERIFY(!entries.at(2).isSymLink);
    QCOMPARE(ArchiveTool::unsafeEntry(entries, QString()), QStringLiteral("log"));
}

void TestArchiveTool::unsafeEntries_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("unsafe");
    const QString db = QStringLiteral("Plant.sqlite3");
    QTest::newRow("backup") << QStringList{db, QStringLiteral("log/"), QStringLiteral("log/a.log")}
                            << QString();
    QTest::newRow("dots inside names")
        << QStringList{QStringLiteral("..a"), QStringLiteral("b..")} << QString();
    QTest::newRow("current folder") << QStringList{QStringLiteral("./") + db} << QString();
    QTest::newRow("parent") << QStringList{db, QStringLiteral("../evil")}
                            << QStringLiteral("../evil");
    QTest::newRow("deep parent") << QStringList{QStringLiteral("log/../../evil")}
                                 << QStringLiteral("log/../../evil");
    QTest::newRow("bare parent") << QStringList{QStringLiteral("..")} << QStringLiteral("..");
    QTest::newRow("absolute") << QStringList{QStringLiteral("/etc/cron.d/x")}
                              << QStringLiteral("/etc/cron.d/x");
    QTest::newRow("backslashes") << QStringList{QStringLiteral("..\\evil")}
                                 << QStringLiteral("..\\evil");
    QTest::newRow("drive") << QStringList{QStringLiteral("C:/evil")} << QStringLiteral("C:/evil");
    QTest::newRow("first offender")
        << QStringList{db, QStringLiteral("/a"), QStringLiteral("../b")} << QStringLiteral("/a");
}

void TestArchiveTool::unsafeEntries()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, unsafe);
    QList<ArchiveTool::Entry> list;
    for (const QString &name : qAsConst(entries))
        list.append({name, false});
    QCOMPARE(ArchiveTool::unsafeEntry(list, QString()), unsafe);
}

void TestArchiveTool::entryThroughLinkInTargetIsUnsafe()
{
    QTemporaryDir tmp;
    const QString target = tmp.filePath(QStringLiteral("target"));
    const QString outside = tmp.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(target + QStringLiteral("/data")));
    QVERIFY(QDir().mkpath(outside));
    QVERIFY(QFile::link(outside, target + QStringLiteral("/log")));

    const QList<ArchiveTool::Entry> entries{{QStringLiteral("data/a.csv"), false},
                                            {QStringLiteral("log/log-A/x.log"), false}};
    QCOMPARE(ArchiveTool::unsafeEntry(entries, target), QStringLiteral("log/log-A/x.log"));
    QCOMPARE(ArchiveTool::unsafeEntry(entries.mid(0, 1), target), QString());
    // Without a target only the names count.
    QCOMPARE(ArchiveTool::unsafeEntry(entries, QString()), QString());
}

void TestArchiveTool::topLevelFiles_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("one") << QStringList{QStringLiteral("A.sqlite3"), QStringLiteral("log/")}
                         << QStringList{QStringLiteral("A.sqlite3")};
    QTest::newRow("two") << QStringList{QStringLiteral("A.sqlite3"), QStringLiteral("./B.sqlite3")}
                         << QStringList{QStringLiteral("A.sqlite3"), QStringLiteral("B.sqlite3")};
    QTest::newRow("only deeper") << QStringList{QStringLiteral("data/A.sqlite3")} << QStringList();
    QTest::newRow("folder named so") << QStringList{QStringLiteral("A.sqlite3/")} << QStringList();
    QTest::newRow("hidden") << QStringList{QStringLiteral(".sqlite3"), QStringLiteral(".A.sqlite3")}
                            << QStringList();
    QTest::newRow("other suffix") << QStringList{QStringLiteral("A.sqlite3-journal"),
                                                 QStringLiteral("A.SQLITE3")}
                                  << QStringList();
}

void TestArchiveTool::topLevelFiles()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, files);
    QList<ArchiveTool::Entry> list;
    for (const QString &name : qAsConst(entries))
        list.append({name, false});
    QCOMPARE(ArchiveTool::topLevelFiles(list, QStringLiteral(".sqlite3")), files);
}

KX_TEST_MAIN(TestArchiveTool)
#include "tst_archivetool.moc"
