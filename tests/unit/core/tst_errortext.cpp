#include "core/errortext.h"
#include "db/projectdatabase.h"
#include "support/testsupport.h"

class TestErrorText : public QObject
{
    Q_OBJECT
private slots:
    void errorText_data();
    void errorText();
    void databaseErrors();
    void connectionText_data();
    void connectionText();
};

void TestErrorText::errorText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("success") << 0 << "Function successfully performed";
    QTest::newRow("reader status 10") << 10 << "Open port\n\nError context: Reader\nError code: 0a";
    QTest::newRow("reader status 5") << 5 << "Open port\n\nError context: Reader\nError code: 05";
    QTest::newRow("reader status 0x83")
        << 0x83 << "Open port\n\nError context: Reader\nError code: 83";
    QTest::newRow("reader status 255")
        << 255 << "Open port\n\nError context: Reader\nError code: ff";
    QTest::newRow("application 300")
        << 300 << "Open port\n\nError context: Application\nError code: 300";
    QTest::newRow("application 256")
        << 256 << "Open port\n\nError context: Application\nError code: 256";
    QTest::newRow("library -4") << -4 << "Open port\n\nError context: Library\nError code: -4";
    QTest::newRow("table -1006") << -1006
                                 << "Open port\n\nError context: Library\nError code: -1006";
}

void TestErrorText::errorText()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(::errorText(ErrorInfo(code, QStringLiteral("Open port"))), text);
}

void TestErrorText::databaseErrors()
{
    QCOMPARE(databaseErrorText(QSqlError()),
             QStringLiteral("Database function successfully performed"));

    TestSupport::TempProject project;
    ProjectDatabase db(project.databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    const QString insert =
        QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)");
    QVERIFY(ProjectDatabase::exec(
        q, insert, {QStringLiteral("O'Brien"), QStringLiteral("Ann"), QStringLiteral("G")}));
    QVERIFY(!ProjectDatabase::exec(
        q, insert, {QStringLiteral("O'Brien"), QStringLiteral("Ann"), QStringLiteral("H")}));
    QCOMPARE(databaseErrorText(q.lastError()),
             QStringLiteral(
                 "Data set entry already exists\n(Identical name combination, device ID, "
                 "IP-address, MAC-address, etc.)\n\nError context: Database\nError code: 19"));
    // A box shows the sentence; the code goes behind "Show Details".
    QCOMPARE(databaseErrorSentence(q.lastError()),
             QStringLiteral("Data set entry already exists\n(Identical name combination, device "
                            "ID, IP-address, MAC-address, etc.)"));
    QCOMPARE(databaseErrorDetails(q.lastError()),
             QStringLiteral("Error context: Database\nError code: 19"));
    QVERIFY(databaseErrorDetails(QSqlError()).isEmpty());

    QVERIFY(!q.exec(QStringLiteral("select nothing from nowhere")));
    const QString other = databaseErrorText(q.lastError());
    QVERIFY(other.startsWith(q.lastError().text()));
    QCOMPARE(databaseErrorSentence(q.lastError()), q.lastError().text());
    QVERIFY(other.endsWith(QStringLiteral("Error context: Database\nError code: ") +
                           q.lastError().nativeErrorCode()));
}

void TestErrorText::connectionText_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("no reader") << ""
                               << "10.0.0.1" << 10001 << "";
    QTest::newRow("tcp") << "1234ABCD"
                         << "10.0.0.1" << 10001 << "10.0.0.1:10001";
    QTest::newRow("flash drive wins") << "1234ABCD"
                                      << "10.0.0.1" << (0x10000 | 10001) << "USB flash drive";
    QTest::newRow("usb cable") << "1234ABCD"
                               << "" << 0 << "USB cable";
}

void TestErrorText::connectionText()
{
    QFETCH(QString, serial);
    QFETCH(QString, ip);
    QFETCH(int, port);
    QFETCH(QString, text);
    QCOMPARE(::connectionText(serial, ip, port), text);
}

KX_TEST_MAIN(TestErrorText)
#include "tst_errortext.moc"
