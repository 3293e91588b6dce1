#include "app/projectfolder.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

using Rename = ProjectFolder::RenameResult;
using Adopt = ProjectFolder::AdoptResult;
Q_DECLARE_METATYPE(ProjectFolder::RenameResult)
Q_DECLARE_METATYPE(ProjectFolder::AdoptResult)

class TestProjectFolder : public QObject
{
    Q_OBJECT

private slots:
    void renameTakesTheDatabaseAlong_data();
    void renameTakesTheDatabaseAlong();
    void refusedRenameLeavesProjectAsItWas_data();
    void refusedRenameLeavesProjectAsItWas();
    void adoptDatabase_data();
    void adoptDatabase();
    void databaseFilesAreFilesOnly();

private:
    static void touch(const QString &path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    static void addUser(const QString &databasePath, const QString &familyName)
    {
        ProjectDatabase db(databasePath);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"),
            {familyName, QStringLiteral("Ann"), QStringLiteral("Staff")}));
    }
    static QString firstFamilyName(const QString &databasePath)
    {
        ProjectDatabase db(databasePath);
        if (!db.open())
            return QString();
        QSqlQuery q = db.query();
        if (!ProjectDatabase::exec(q, QStringLiteral("select familyName from users")) || !q.next())
            return QString();
        return q.value(0).toString();
    }
};

void TestProjectFolder::renameTakesTheDatabaseAlong_data()
{
    QTest::addColumn<QString>("newName");
    QTest::newRow("plain") << QStringLiteral("Factory");
    QTest::newRow("blanks") << QStringLiteral("North Gate 2");
    QTest::newRow("quotes") << QStringLiteral("O'Neil \"Yard\"");
    QTest::newRow("non-Latin") << QStringLiteral("Zürich Завод");
    QTest::newRow("case only") << QStringLiteral("plant");
}

void TestProjectFolder::renameTakesTheDatabaseAlong()
{
    QFETCH(QString, newName);
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    addUser(project.databasePath(), QStringLiteral("O'Brien"));

    QString renamed;
    QCOMPARE(ProjectFolder::rename(project.folder(), newName, &renamed), Rename::Renamed);
    QCOMPARE(renamed, QFileInfo(project.folder()).absolutePath() + QLatin1Char('/') + newName);
    QVERIFY(!QFileInfo::exists(project.folder()));
    QCOMPARE(ProjectFolder::databaseFiles(renamed),
             QStringList{newName + QStringLiteral(".sqlite3")});
    QVERIFY(ProjectSchema::isProjectDatabase(renamed));
    QCOMPARE(firstFamilyName(ProjectDatabase::databasePathForProject(renamed)),
             QStringLiteral("O'Brien"));
}

void TestProjectFolder::refusedRenameLeavesProjectAsItWas_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("prepare");
    QTest::addColumn<Rename>("result");
    QTest::newRow("folder exists")
        << QStringLiteral("Other") << QStringLiteral("sibling") << Rename::NameExists;
    QTest::newRow("empty folder exists")
        << QStringLiteral("Other") << QStringLiteral("empty sibling") << Rename::NameExists;
    QTest::newRow("file exists") << QStringLiteral("Other") << QStringLiteral("sibling file")
                                 << Rename::NameExists;
    QTest::newRow("same name") << QStringLiteral("Plant") << QString() << Rename::NameExists;
    QTest::newRow("slash moves elsewhere")
        << QStringLiteral("../Moved") << QString() << Rename::InvalidName;
    QTest::newRow("sub folder") << QStringLiteral("a/b") << QString() << Rename::InvalidName;
    QTest::newRow("dot dot") << QStringLiteral("..") << QString() << Rename::InvalidName;
    QTest::newRow("empty") << QString() << QString() << Rename::InvalidName;
    QTest::newRow("second database")
        << QStringLiteral("Other") << QStringLiteral("second db") << Rename::NotOneDatabase;
    QTest::newRow("database name taken")
        << QStringLiteral("Other") << QStringLiteral("folder in the way")
        << Rename::DatabaseNotRenamed;
}

void TestProjectFolder::refusedRenameLeavesProjectAsItWas()
{
    QFETCH(QString, newName);
    QFETCH(QString, prepare);
    QFETCH(Rename, result);
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    addUser(project.databasePath(), QStringLiteral("Keller"));
    const QString parent = QFileInfo(project.folder()).absolutePath();
    const QString other = parent + QStringLiteral("/Other");
    if (prepare == QLatin1String("sibling")) {
        QVERIFY(QDir().mkpath(other));
        touch(other + QStringLiteral("/keep.txt"));
    } else if (prepare == QLatin1String("empty sibling")) {
        QVERIFY(QDir().mkpath(other));
    } else if (prepare == QLatin1String("sibling file")) {
        touch(other);
    } else if (prepare == QLatin1String("second db")) {
        touch(project.folder() + QStringLiteral("/Copy.sqlite3"));
    } else if (prepare == QLatin1String("folder in the way")) {
        QVERIFY(QDir().mkpath(project.folder() + QStringLiteral("/Other.sqlite3")));
    }
    const QStringList before = QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QString renamed = QStringLiteral("untouched");
    QCOMPARE(ProjectFolder::rename(project.folder(), newName, &renamed), result);
    QCOMPARE(renamed, QStringLiteral("untouched"));
    QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(ProjectSchema::isProjectDatabase(project.folder()));
    QCOMPARE(firstFamilyName(project.databasePath()), QStringLiteral("Keller"));
    if (prepare == QLatin1String("empty sibling"))
        QVERIFY(QFileInfo(other).isDir());
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
