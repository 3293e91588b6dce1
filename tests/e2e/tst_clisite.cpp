// A whole small site made only with kelvara-cli, its readers updated and
// cards presented, against the same site made through the engine.
#include "cli/kelvaracli.h"
#include "simfixture.h"
#include "support/officesite.h"

#include "db/holidayrecords.h"
#include "db/projectdatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const char *const Office = "mon,tue,wed,thu,fri-07:00-19:00";
const char *const AbelHf = "04A1B2C3D4E5F6";
const char *const AbelUhf = "E2003412B802011A2B3C4D5E";
const char *const BrandtHf = "04A1B2C3D4E5F7";

std::vector<uint8_t> bytesOf(const char *hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

// What both ways must agree on: the records, without the readers' ports.
QString records(const QString &database)
{
    ProjectDatabase db(database);
    if (!db.open())
        return QStringLiteral("<no database>");
    QSqlQuery q = db.query();
    QString text;
    for (const char *statement :
         {"select * from users order by 1", "select * from times order by 1",
          "select * from holidays order by 1",
          "select FKusers,FKdoors,FKtimes from access order by 1,2",
          "select PKdoors,areaName,doorName,readerType,readerSerNo,readerConfig,needsUpdate "
          "from doors order by 1"}) {
        if (!q.exec(QLatin1String(statement)))
            return q.lastError().text();
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i)
                text += q.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
    }
    return text;
}

} // namespace

class TestCliSite : public QObject
{
    Q_OBJECT

private slots:
    void siteMadeOnTheCommandLineLikeTheEngine();

private:
    // Runs the command; its output, or a failure with what it said.
    bool cli(const QStringList &arguments);
};

bool TestCliSite::cli(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    KelvaraCli cli(outStream, errStream);
    const int code = cli.run(arguments);
    if (code != KelvaraCli::Success)
        qWarning().noquote() << arguments.join(QLatin1Char(' ')) << "->" << code << out << err;
    return code == KelvaraCli::Success;
}

void TestCliSite::siteMadeOnTheCommandLineLikeTheEngine()
{
    ReaderTestEnvironment environment;
    // Each site gets readers of its own: a reader left alone would still
    // hold the other site's tables.
    SimFixture engineDoor(SimFixture::setupOf(100, 0x1001));
    SimFixture engineGate(SimFixture::setupOf(101, 0x2002));
    SimFixture cliDoor(SimFixture::setupOf(100, 0x1001));
    SimFixture cliGate(SimFixture::setupOf(101, 0x2002));
    QVERIFY(engineDoor.isValid() && engineGate.isValid() && cliDoor.isValid() && cliGate.isValid());
    const auto address = [](const SimFixture &reader) {
        return QStringLiteral("tcp:127.0.0.1:%1").arg(reader.sim->tcp().port());
    };

    TestSupport::OfficeSite engine;
    engine.addUser(QStringLiteral("Abel"), QLatin1String(AbelHf), QLatin1String(AbelUhf));
    engine.addUser(QStringLiteral("Brandt"), QLatin1String(BrandtHf));
    engine.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                    QStringLiteral("127.0.0.1"), engineDoor.sim->tcp().port());
    engine.addEntry(QStringLiteral("Gate"), 101, QStringLiteral("2002"),
                    QStringLiteral("127.0.0.1"), engineGate.sim->tcp().port());
    QVERIFY(!HolidayRecords::addHoliday(engine.db(),
                                        {0, QStringLiteral("2035.01.09"), QStringLiteral("Closed")})
                 .isValid());
    QVERIFY(cli({QStringLiteral("run"), QStringLiteral("update"), QStringLiteral("--project"),
                 engine.project.folder()}));

    QTemporaryDir folder;
    const QString site = folder.filePath(QStringLiteral("Site"));
    const QStringList in = {QStringLiteral("--project"), site};
    const auto command = [&](std::initializer_list<QString> words) {
        return cli(QStringList(words) + in);
    };
    QVERIFY(cli({QStringLiteral("create-project"), site}));
    QVERIFY(command({QStringLiteral("project"), QStringLiteral("change"),
                     QStringLiteral("--long-range"), QStringLiteral("on")}));
    QVERIFY(command({QStringLiteral("models"), QStringLiteral("add"), QStringLiteral("--tag"),
                     QStringLiteral("OF"), QStringLiteral("--name"), QStringLiteral("Office"),
                     QStringLiteral("--definition"), QLatin1String(Office)}));
    QVERIFY(command({QStringLiteral("users"), QStringLiteral("add"), QStringLiteral("--last"),
                     QStringLiteral("Abel"), QStringLiteral("--first"), QStringLiteral("X"),
                     QStringLiteral("--group"), QStringLiteral("Staff"), QStringLiteral("--hf"),
                     QLatin1String(AbelHf), QStringLiteral("--uhf"), QLatin1String(AbelUhf)}));
    QVERIFY(command({QStringLiteral("users"), QStringLiteral("add"), QStringLiteral("--last"),
                     QStringLiteral("Brandt"), QStringLiteral("--first"), QStringLiteral("X"),
                     QStringLiteral("--group"), QStringLiteral("Staff"), QStringLiteral("--hf"),
                     QLatin1String(BrandtHf)}));
    QVERIFY(
        command({QStringLiteral("entries"), QStringLiteral("add"), QStringLiteral("--area"),
                 QStringLiteral("Hall"), QStringLiteral("--name"), QStringLiteral("Door"),
                 QStringLiteral("--type"), QStringLiteral("TZ60"), QStringLiteral("--device-id"),
                 QStringLiteral("1001"), QStringLiteral("--connection"), address(cliDoor)}));
    QVERIFY(
        command({QStringLiteral("entries"), QStringLiteral("add"), QStringLiteral("--area"),
                 QStringLiteral("Hall"), QStringLiteral("--name"), QStringLiteral("Gate"),
                 QStringLiteral("--type"), QStringLiteral("TZU700"), QStringLiteral("--device-id"),
                 QStringLiteral("2002"), QStringLiteral("--connection"), address(cliGate)}));
    QVERIFY(command({QStringLiteral("rights"), QStringLiteral("set"), QStringLiteral("--group"),
                     QStringLiteral("Staff"), QStringLiteral("--area"), QStringLiteral("Hall"),
                     QStringLiteral("--model"), QStringLiteral("OF")}));
    QVERIFY(
        command({QStringLiteral("holidays"), QStringLiteral("add"), QStringLiteral("2035-01-09"),
                 QStringLiteral("--comment"), QStringLiteral("Closed")}));
    // The nightly job's own command line.
    QVERIFY(command({QStringLiteral("run"), QStringLiteral("update"),
                     QStringLiteral("--only-pending"), QStringLiteral("--allow-empty")}));

    QCOMPARE(records(ProjectDatabase::databasePathForProject(site)), records(engine.db()));
    QCOMPARE(cliDoor.device->dumpTables(), engineDoor.device->dumpTables());
    QCOMPARE(cliGate.device->dumpTables(), engineGate.device->dumpTables());
    QCOMPARE(cliDoor.device->tables().recordCount(4), 2);

    // Monday 09:00 in, Sunday and the closure out; Brandt has no long-range card.
    const kxsim::SimDateTime monday{2035, 1, 8, 9, 0, 0};
    const kxsim::SimDateTime sunday{2035, 1, 7, 9, 0, 0};
    const kxsim::SimDateTime closed{2035, 1, 9, 9, 0, 0};
    QVERIFY(cliDoor.device->presentAt(bytesOf(AbelHf), monday).granted);
    QVERIFY(cliDoor.device->presentAt(bytesOf(BrandtHf), monday).granted);
    QVERIFY(!cliDoor.device->presentAt(bytesOf(AbelHf), sunday).granted);
    QVERIFY(!cliDoor.device->presentAt(bytesOf(AbelHf), closed).granted);
    QVERIFY(cliGate.device->presentAt(bytesOf(AbelUhf), monday).granted);
    QVERIFY(!cliGate.device->presentAt(bytesOf("0000000000000004A1B2C3D4E5F7"), monday).granted);
}

KX_TEST_MAIN(TestCliSite)
#include "tst_clisite.moc"
