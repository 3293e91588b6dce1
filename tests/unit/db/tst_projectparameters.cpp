#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/projectschema.h"
#include "support/testsupport.h"

class TestProjectParameters : public QObject
{
    Q_OBJECT
private slots:
    void maskStoredForm_data();
    void maskStoredForm();
    void holdTimeText_data();
    void holdTimeText();
    void missingRowsAndGarbage();
    void saveInsertsThenUpdates();
    void unopenableDatabaseKeepsDefaults();
    void changeHfIddLength();
};

void TestProjectParameters::maskStoredForm_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("readBits");
    QTest::newRow("empty") << "" << 0 << "" << 0;
    QTest::newRow("12 bits") << "abc0" << 12 << "abc" << 12;
    QTest::newRow("5 bits two digits") << "f8" << 5 << "f8" << 8;
    QTest::newRow("full 192 bits")
        << QString(48, QLatin1Char('e')) << 192 << QString(48, QLatin1Char('e')) << 192;
}

void TestProjectParameters::maskStoredForm()
{
    QFETCH(QString, hex);
    QFETCH(int, bits);
    QFETCH(QString, stored);
    QFETCH(int, readBits);
    SelectionMask mask;
    mask.setBytes(QByteArray::fromHex(hex.toLatin1()));
    mask.setBitLength(bits);
    QCOMPARE(mask.toStored(), stored);
    const SelectionMask back = SelectionMask::fromStored(stored);
    QCOMPARE(back.bitLength(), readBits);
    QCOMPARE(back.toStored().left(stored.size()), stored);
}

void TestProjectParameters::holdTimeText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5") << 2.5 << "2.5";
    QTest::newRow("3") << 3.0 << "3.0";
    QTest::newRow("0.25 rounds") << 0.26 << "0.3";
}

void TestProjectParameters::holdTimeText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(ProjectTags::holdTimeText(value), text);
}

void TestProjectParameters::missingRowsAndGarbage()
{
    TestSupport::TempProject project;
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("HfIddLength"),
                                               QStringLiteral("seven")));
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("UhfSelectionMask1"),
                                               QStringLiteral("zz!")));
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("UhfSelectionMask2"),
                                               QString(60, QLatin1Char('a'))));
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("UhfSelectionMask3"),
                                               QStringLiteral("abc")));
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("DefaultRelaisHoldTime"),
                                               QStringLiteral("long")));
        QVERIFY(ProjectSchema::writeProjectTag(q, QStringLiteral("HaveUhfReader"),
                                               QStringLiteral("True")));
    }
    ProjectParameters p;
    p.databasePath = project.databasePath();
    QVERIFY(p.loadProjectParameters());
    QCOMPARE(p.haveHfReader, false); // never saved: the missing-row value, not the record default
    QCOMPARE(p.hfIddLength, 7);
    QCOMPARE(p.uhfIddLength, 12);
    QCOMPARE(p.haveUhfReader, false); // only exactly "true" is true
    QVERIFY(p.uhfSelectionMask1.isEmpty());
    QCOMPARE(p.uhfSelectionMask2.bitLength(), 192);
    QCOMPARE(p.uhfSelectionMask3.bitLength(), 12);
    QCOMPARE(p.uhfSelectionMask3.bytes().left(2), QByteArray::fromHex("abc0"));
    QCOMPARE(p.defaultRelaisHoldTime, 1.0);
}

void TestProjectParameters::saveInsertsThenUpdates()
{
    TestSupport::TempProject project;
    ProjectParameters p;
    p.databasePath = project.databasePath();
    p.haveUhfReader = true;
    p.hfIddLength = 8;
    p.defaultRelaisHoldTime = 2.5;
    p.uhfSelectionMask2.setBytes(QByteArray::fromHex("a5f0"));
    p.uhfSelectionMask2.setBitLength(12);
    QVERIFY(p.saveProjectParameters());
    p.defaultRelaisHoldTime = 3;
    QVERIFY(p.saveProjectParameters());

    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(QStringLiteral("select count(*), count(distinct tag) from project")));
    QVERIFY(q.next());
    // Every tag of the parameters, this computer's time zone (an empty name) too.
    QCOMPARE(q.value(0).toInt(), 16);
    QCOMPARE(q.value(1).toInt(), 16);
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("DefaultRelaisHoldTime")),
             QStringLiteral("3.0"));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("UhfSelectionMask2")),
             QStringLiteral("a5f"));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("UhfSelectionMask1")),
             QString(QLatin1String("")));
    QCOMPARE(ProjectSchema::readProjectTag(q, QStringLiteral("HaveHfReader")),
             QStringLiteral("true"));

    ProjectParameters r;
    r.databasePath = project.databasePath();
    QVERIFY(r.loadProjectParameters());
    QCOMPARE(r.haveUhfReader, true);
    QCOMPARE(r.hfIddLength, 8);
    QCOMPARE(r.defaultRelaisHoldTime, 3.0);
    QCOMPARE(r.uhfSelectionMask2, p.uhfSelectionMask2);
}

void TestProjectParameters::unopenableDatabaseKeepsDefaults()
{
    ProjectParameters p;
    p.databasePath = QStringLiteral("/nonexistent/folder/x.sqlite3");
    p.hfIddLength = 9;
    QVERIFY(!p.loadProjectParameters());
    QCOMPARE(p.hfIddLength, 9);
    QVERIFY(!p.saveProjectParameters());
}

void TestProjectParameters::changeHfIddLength()
{
    TestSupport::TempProject project;
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q,
            QStringLiteral("insert into users (familyName,firstName,groupName,iddIso14443) "
                           "values (?,?,?,?)"),
            {QStringLiteral("O'Brien"), QStringLiteral("Ann"), QStringLiteral("G"),
             QStringLiteral("a1b2c3d4-04")}));
        QVERIFY(q.exec(QStringLiteral(
            "insert into doors (doorName,areaName,readerType) values ('Gate','Yard',100)")));
    }
    ProjectParameters p;
    p.databasePath = project.databasePath();
    QVERIFY(!p.changeHfIddLength(8).isValid());
    QCOMPARE(p.hfIddLength, 8);
    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(QStringLiteral("select iddIso14443 from users")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("00000000a1b2c3d4-04"));
    QVERIFY(q.exec(QStringLiteral("select needsUpdate from doors")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);

    ProjectParameters missing;
    missing.databasePath = QStringLiteral("/nonexistent/x.sqlite3");
    QVERIFY(missing.changeHfIddLength(8).isValid());
    QCOMPARE(missing.hfIddLength, 7);
}

KX_TEST_MAIN(TestProjectParameters)
#include "tst_projectparameters.moc"
