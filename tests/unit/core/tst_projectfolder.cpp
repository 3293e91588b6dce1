#include "core/projectfolder.h"
#include "db/projectschema.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using Rename = ProjectFolder::RenameResult;
using Adopt = ProjectFolder::AdoptResult;
Q_DECLARE_METATYPE(ProjectFolder::AdoptResult)

class TestProjectFolder : public QObject
{
    Q_OBJECT

private slots:
    void createFolders_data();
    void createFolders();
    void renameOntoEmptyFolderIsRefused();
    void adoptDatabase_data();
    void adoptDatabase();
    void databaseFilesAreFilesOnly();

private:
    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
};

void TestProjectFolder::createFolders_data()
{
    QTest::addColumn<QString>("blocker"); // a file where a folder must go
    QTest::addColumn<bool>("created");
    QTest::newRow("fresh") << QString() << true;
    QTest::newRow("log is a file") << QStringLiteral("Site/log") << false;
    QTest::newRow("data is a file") << QStringLiteral("Site/data") << false;
}

void TestProjectFolder::createFolders()
{
    QFETCH(QString, blocker);
    QFETCH(bool, created);
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("Site"));
    if (!blocker.isEmpty()) {
        QVERIFY(QDir().mkpath(folder));
        touch(tmp.filePath(blocker));
    }
    QCOMPARE(ProjectFolder::createFolders(folder), created);
    if (created) {
        QVERIFY(QFileInfo(folder + QStringLiteral("/log")).isDir());
        QVERIFY(QFileInfo(folder + QStringLiteral("/data")).isDir());
    }
}

void TestProjectFolder::adoptDatabase_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("blockTarget");
    QTest::addColumn<Adopt>("result");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("other name") << QStringList{QStringLiteral("Plant.sqlite3")} << false
                                << Adopt::Adopted
                                << QStringList{QStringLiteral("Restored.sqlite3")};
    QTest::newRow("right name") << QStringList{QStringLiteral("Restored.sqlite3")} << false
                                << Adopt::Adopted
                                << QStringList{QStringLiteral("Restored.sqlite3")};
    QTest::newRow("none") << QStringList{QStringLiteral("notes.txt")} << false
                          << Adopt::NotOneDatabase << QStringList();
    QTest::newRow("two") << QStringList{QStringLiteral("A.sqlite3"), QStringLiteral("B.sqlite3")}
                         << false << Adopt::NotOneDatabase
                         << QStringList{QStringLiteral("A.sqlite3"), QStringLiteral("B.sqlite3")};
    QTest::newRow("name blocked") << QStringList{QStringLiteral("Plant.sqlite3")} << true
                                  << Adopt::DatabaseNotRenamed
                                  << QStringList{QStringLiteral("Plant.sqlite3")};
}

void TestProjectFolder::adoptDatabase()
{
    QFETCH(QStringList, files);
    QFETCH(bool, blockTarget);
    QFETCH(Adopt, result);
    QFETCH(QStringList, after);
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("Restored"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString &file : qAsConst(files))
        touch(folder + QLatin1Char('/') + file);
    if (blockTarget)
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Restored.sqlite3")));
    QCOMPARE(ProjectFolder::adoptDatabase(folder + QLatin1Char('/')), result);
    QCOMPARE(ProjectFolder::databaseFiles(folder), after);
}

// rename(2) would silently replace an empty folder of the new name.
void TestProjectFolder::renameOntoEmptyFolderIsRefused()
{
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    const QString other = QFileInfo(project.folder()).absolutePath() + QStringLiteral("/Other");
    QVERIFY(QDir().mkpath(other));
    QCOMPARE(ProjectFolder::rename(project.folder(), QStringLiteral("Other")), Rename::NameExists);
    QVERIFY(QFileInfo(other).isDir());
    QVERIFY(ProjectSchema::isProjectDatabase(project.folder()));
    // The invalid names never reach the file system.
    QCOMPARE(ProjectFolder::rename(project.folder(), QStringLiteral("../Other")),
             Rename::InvalidName);
    QCOMPARE(ProjectFolder::rename(project.folder(), QStringLiteral("..")), Rename::InvalidName);
}

void TestProjectFolder::databaseFilesAreFilesOnly()
{
    QTemporaryDir tmp;
    touch(tmp.filePath(QStringLiteral("A.sqlite3")));
    touch(tmp.filePath(QStringLiteral("A.sqlite3-journal")));
    touch(tmp.filePath(QStringLiteral(".hidden.sqlite3")));
    QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("B.sqlite3"))));
    QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("data"))));
    touch(tmp.filePath(QStringLiteral("data/C.sqlite3")));
    QCOMPARE(ProjectFolder::databaseFiles(tmp.path()), QStringList{QStringLiteral("A.sqlite3")});
}

KX_TEST_MAIN(TestProjectFolder)
#include "tst_projectfolder.moc"
