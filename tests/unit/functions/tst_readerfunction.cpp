#include "support/testsupport.h"

#include "db/projectparameters.h"
#include "functions/kelvarafunctionthread.h"
#include "functions/readerfunction.h"

#include <QDir>

class TestReaderFunction : public QObject
{
    Q_OBJECT

private slots:
    void functions_data();
    void functions();
    void unknownCodes_data();
    void unknownCodes();
    void unreadableHolidaysStopTheUpdate();
};

void TestReaderFunction::functions_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("logFolder");

    // The codes and command names are what projects, scripts and menus rely on.
    QTest::newRow("update") << 0 << "update"
                            << "update-access-cfg";
    QTest::newRow("read access") << 1 << "read-access"
                                 << "read-access-cfg";
    QTest::newRow("import") << 2 << "import-transponders"
                            << "import-reader";
    QTest::newRow("read events") << 3 << "read-events"
                                 << "read-events";
    QTest::newRow("set clock") << 4 << "set-clock"
                               << "set-date-time";
    QTest::newRow("write config") << 5 << "write-config"
                                  << "write-reader-cfg";
    QTest::newRow("verify: no run command") << 6 << ""
                                            << "verify-reader";
}

void TestReaderFunction::functions()
{
    QFETCH(int, code);
    QFETCH(QString, command);
    QFETCH(QString, logFolder);

    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    ProjectParameters params;
    params.projectPath = project.folder();
    params.databasePath = project.databasePath();

    QVERIFY(ReaderFunction::isFunction(code));
    QCOMPARE(ReaderFunction::commandName(code), command);
    if (!command.isEmpty())
        QCOMPARE(ReaderFunction::byCommandName(command), code);
    QCOMPARE(ReaderFunction::commandNames().contains(command), !command.isEmpty());
    QVERIFY(ReaderFunction::title(code) != QLatin1String("???"));

    QSqlError error;
    const auto thread = ReaderFunction::createThread(code, params, &error);
    QVERIFY2(thread, qPrintable(error.text()));
    QCOMPARE(QDir::fromNativeSeparators(thread->logFolder()),
             QStringLiteral("%1/log/%2").arg(params.projectPath, logFolder));
}

void TestReaderFunction::unknownCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("command");

    QTest::newRow("below") << -1 << "verify";
    QTest::newRow("above") << 7 << "Update";
}

void TestReaderFunction::unknownCodes()
{
    QFETCH(int, code);
    QFETCH(QString, command);

    QVERIFY(!ReaderFunction::isFunction(code));
    QCOMPARE(ReaderFunction::title(code), QStringLiteral("???"));
    QCOMPARE(ReaderFunction::byCommandName(command), -1);
    QSqlError error;
    QVERIFY(!ReaderFunction::createThread(code, ProjectParameters(), &error));
    QVERIFY(!error.isValid());
}

void TestReaderFunction::unreadableHolidaysStopTheUpdate()
{
    QTemporaryDir dir;
    ProjectParameters params;
    params.projectPath = dir.path();
    params.databasePath = dir.filePath(QStringLiteral("missing/none.db"));
    QSqlError error;
    QVERIFY(!ReaderFunction::createThread(ReaderFunction::UpdateAccess, params, &error));
    QVERIFY(error.isValid());
}

KX_TEST_MAIN(TestReaderFunction)
#include "tst_readerfunction.moc"
