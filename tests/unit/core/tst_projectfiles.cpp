#include "core/logfile.h"
#include "core/paths.h"
#include "core/projectfiles.h"
#include "support/testsupport.h"

#include <QFile>

class TestProjectFiles : public QObject
{
    Q_OBJECT
private slots:
    void pruneKeepsNewest_data();
    void pruneKeepsNewest();
    void cleanUpProject();
    void logLines();

private:
    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    static QStringList files(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
};

void TestProjectFiles::pruneKeepsNewest_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("firstKept");
    QTest::newRow("seven days keep five") << 7 << 5 << 3;
    QTest::newRow("fewer than kept") << 3 << 5 << 1;
    QTest::newRow("exactly kept") << 5 << 5 << 1;
    QTest::newRow("keep none") << 4 << 0 << 5;
}

void TestProjectFiles::pruneKeepsNewest()
{
    QFETCH(int, count);
    QFETCH(int, keep);
    QFETCH(int, firstKept);
    QTemporaryDir dir;
    for (int day = 1; day <= count; ++day)
        touch(dir.filePath(QStringLiteral("log-2026-03-%1.log").arg(day, 2, 10, QLatin1Char('0'))));
    touch(dir.filePath(QStringLiteral("notes.txt")));
    ProjectFiles::pruneFiles(dir.path(), QStringLiteral("log-*.log"), keep);
    QStringList expected;
    for (int day = firstKept; day <= count; ++day)
        expected << QStringLiteral("log-2026-03-%1.log").arg(day, 2, 10, QLatin1Char('0'));
    expected << QStringLiteral("notes.txt");
    QCOMPARE(files(dir.path()), expected);
}

void TestProjectFiles::cleanUpProject()
{
    QTemporaryDir dir;
    const QString project = dir.path();
    const QString log = entryLogPath(project, QStringLiteral("Main Entrance"));
    const QString data = entryDataPath(project, QStringLiteral("Main Entrance"));
    QVERIFY(QDir().mkpath(log));
    QVERIFY(QDir().mkpath(data));
    for (int day = 1; day <= 7; ++day)
        touch(QStringLiteral("%1/log-2026-01-%2.log").arg(log).arg(day, 2, 10, QLatin1Char('0')));
    for (int i = 0; i < 64; ++i)
        touch(QStringLiteral("%1/event-2026-%2-x.csv").arg(data).arg(i, 3, 10, QLatin1Char('0')));
    touch(QStringLiteral("%1/idd-1.csv").arg(data));
    // Files directly in the log folder are not touched.
    for (int day = 1; day <= 7; ++day)
        touch(QStringLiteral("%1/log-2026-01-%2.log").arg(projectLogPath(project)).arg(day));

    ProjectFiles::cleanUpProjectFiles(project);
    QCOMPARE(files(log).size(), 5);
    QCOMPARE(files(log).first(), QStringLiteral("log-2026-01-03.log"));
    QCOMPARE(files(data).size(), 63); // 62 events + idd
    QVERIFY(!files(data).contains(QStringLiteral("event-2026-001-x.csv")));
    QCOMPARE(files(projectLogPath(project)).size(), 7);
}

void TestProjectFiles::logLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.log"));
    QVERIFY(LogFile::appendLine(path, QStringLiteral("first")));
    QVERIFY(LogFile::appendLine(path, QStringLiteral("Müller")));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QStringLiteral("first\r\nMüller\r\n").toLocal8Bit());
    QVERIFY(!LogFile::appendLine(dir.filePath(QStringLiteral("missing/folder/log.log")),
                                 QStringLiteral("lost")));
}

KX_TEST_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
