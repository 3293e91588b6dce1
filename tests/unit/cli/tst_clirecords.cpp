// kelvara-cli's record commands in this process, on a small site made
// through the engine: what each prints, its exit status and what it leaves
// in the database.
#include "cli/kelvaracli.h"
#include "support/testsupport.h"

#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/eventrecords.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myimportusers.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>

#include <initializer_list>

namespace {

QStringList A(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// The entries waiting for an update.
QString marks()
{
    return TestSupport::onServer()
               ? QStringLiteral("select string_agg(doorName,',' order by doorName) from doors "
                                "where needsUpdate=1")
               : QStringLiteral("select group_concat(doorName) from (select doorName from doors "
                                "where needsUpdate=1 order by doorName)");
}

struct Output
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Follows "users.0.lastName" through a json document.
QJsonValue jsonAt(const QJsonDocument &document, const QString &path)
{
    QJsonValue value = document.object();
    for (const QString &step : path.split(QLatin1Char('.'))) {
        bool index = false;
        const int n = step.toInt(&index);
        value = index ? value.toArray().at(n) : value.toObject().value(step);
    }
    return value;
}

QString jsonText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toDouble());
    return value.toString();
}

} // namespace

class TestCliRecords : public QObject
{
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void namesPrintedExactly_data();
    void namesPrintedExactly();
    void syncBringsUsersInLine_data();
    void syncBringsUsersInLine();

private:
    // The site: Staff (Abel, Brandt) with OF at Hall/Door and Hall/Lab,
    // Brandt with *** at Yard/Gate, Cole a visitor without rights; one
    // holiday; no entry marked.
    void buildSite(TestSupport::TempProject &project);
    Output cli(const TestSupport::TempProject &project, QStringList arguments);
    // Every row of the tables a command may change.
    static QString dump(const QString &database);
    static QString query(const QString &database, const QString &statement);
};

void TestCliRecords::buildSite(TestSupport::TempProject &project)
{
    const QString db = project.databasePath();
    ProjectParameters params;
    params.databasePath = db;
    params.haveUhfReader = true;
    params.siteTimeZone = QStringLiteral("Europe/Berlin");
    QVERIFY(params.saveProjectParameters());
    int office = 0;
    QVERIFY(!TimeModelRecords::addTimeModel(db,
                                            {0, QStringLiteral("OF"), QStringLiteral("Office"),
                                             QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00")},
                                            &office)
                 .isValid());
    const auto user = [&](const char *last, const char *first, const char *group, const char *hf,
                          const char *uhf) {
        UserRow u;
        u.familyName = QString::fromUtf8(last);
        u.firstName = QString::fromUtf8(first);
        u.groupName = QString::fromUtf8(group);
        if (*hf)
            u.iddIso14443 =
                TransponderIdd::fromHex(QLatin1String(hf), TransponderIdd::Iso14443A).toStored();
        if (*uhf)
            u.iddClass1Gen2 =
                TransponderIdd::fromHex(QLatin1String(uhf), TransponderIdd::EpcClass1Gen2)
                    .toStored();
        int key = 0;
        UserRecords::addUser(db, u, &key);
        return key;
    };
    const int abel = user("Abel", "Ann", "Staff", "04A1B2C3D4E5F6", "");
    const int brandt = user("Brandt", "Ben", "Staff", "04A1B2C3D4E5F7", "E2003412B802011A2B3C4D5E");
    user("Cole", "Cid", "Visitors", "", "");
    const auto entry = [&](const char *area, const char *name, int type, const char *serNo,
                           const char *ip, int port) {
        EntryRow e;
        e.areaName = QString::fromUtf8(area);
        e.doorName = QString::fromUtf8(name);
        e.readerType = type;
        e.readerSerNo = QString::fromUtf8(serNo);
        e.ipAddr = QString::fromUtf8(ip);
        e.port = port;
        int key = 0;
        EntryRecords::addEntry(db, e, &key);
        return key;
    };
    const int door = entry("Hall", "Door", 100, "1001", "127.0.0.1", 4001);
    const int lab = entry("Hall", "Lab", 100, "1002", "", 0);
    const int gate = entry("Yard", "Gate", 101, "2002", "", EntryRecords::FlashDrivePortBit);
    QVERIFY(!AccessRights::changeBoardCell(db, {abel, brandt}, {door, lab}, office).isValid());
    QVERIFY(!AccessRights::changeBoardCell(db, {brandt}, {gate}, 1).isValid());
    QVERIFY(!HolidayRecords::addHoliday(
                 db, {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas")})
                 .isValid());
    QVERIFY(!AccessRights::setNeedsUpdate(db, {door, lab, gate}, false).isValid());

    // Three events at the door: Abel let in, an unknown card, Brandt on Christmas.
    const auto at = [](int day, int hour) {
        return QDateTime(QDate(2030, 12, day), QTime(hour, 0));
    };
    ProjectDatabase database(db);
    QVERIFY(database.open());
    QSqlQuery q = database.query();
    QList<int> fresh;
    QVERIFY(!EventRecords::store(q, door, 0x1001,
                                 {{QStringLiteral("04A1B2C3D4E5F6"), 0, at(24, 8), true, 0, 0},
                                  {QStringLiteral("0499"), 0, at(24, 9), false, 1, 0},
                                  {QStringLiteral("04A1B2C3D4E5F7"), 0, at(25, 8), false, 2, 0}},
                                 at(26, 0), fresh)
                 .isValid());
}

Output TestCliRecords::cli(const TestSupport::TempProject &project, QStringList arguments)
{
    if (!arguments.contains(QStringLiteral("--project")))
        arguments << QStringLiteral("--project") << project.folder();
    Output output;
    QTextStream out(&output.out);
    QTextStream err(&output.err);
    KelvaraCli cli(out, err);
    output.exitCode = cli.run(arguments);
    return output;
}

QString TestCliRecords::query(const QString &database, const QString &statement)
{
    ProjectDatabase db(database);
    if (!db.open())
        return QStringLiteral("<no database>");
    QSqlQuery q = db.query();
    if (!q.exec(statement))
        return QStringLiteral("<failed: %1>").arg(q.lastError().text());
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << q.value(i).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

QString TestCliRecords::dump(const QString &database)
{
    QString text;
    for (const char *table : {"users", "doors", "times", "holidays", "access", "project"})
        text += query(database,
                      QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table))) +
                QLatin1Char('\n');
    return text;
}

void TestCliRecords::commands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");   // in the output, or the json fields "a.0.b=value;..."
    QTest::addColumn<QString>("statement"); // empty: the database is left exactly as it was
    QTest::addColumn<QString>("result");

    // Lists and shows.
    QTest::newRow("users as json")
        << A({"users", "list", "--format", "json"}) << 0
        << "json:users.0.lastName=Abel;users.1.uhfIdentifier=E2003412B802011A2B3C4D5E;"
           "users.2.group=Visitors;users.0.hfIdentifier=04A1B2C3D4E5F6"
        << ""
        << "";
    QTest::newRow("users as csv, the export's columns")
        << A({"users", "list", "--format", "csv", "--group", "Visitors"}) << 0
        << "LastName;FirstName;UserGroup;UserComment;IDDProximityTransponder;"
           "CommentProximityTransponder;IDDLongRangeTransponder;CommentLongRangeTransponder\r\n"
           "Cole;Cid;Visitors;;;;;\r\n"
        << ""
        << "";
    QTest::newRow("empty list") << A({"users", "list", "--group", "Nobody"}) << 1 << "Last name"
                                << ""
                                << "";
    QTest::newRow("user shown") << A({"users", "show", "Brandt, Ben", "--format", "json"}) << 0
                                << "json:user.firstName=Ben;user.hfIdentifier=04A1B2C3D4E5F7"
                                << ""
                                << "";
    QTest::newRow("entries as always")
        << A({"entries"}) << 0
        << "Area\tEntry\tConnection\tReader type\tDevice ID\tNeeds update\n"
           "Hall\tDoor\t127.0.0.1:4001\tID TZ60\t1001\t\n"
        << ""
        << "";
    QTest::newRow("entries as json")
        << A({"entries", "list", "--format", "json"}) << 0
        << "json:entries.0.name=Door;entries.0.connection=tcp;entries.0.port=4001;"
           "entries.0.readerType=100;entries.1.connection=usb;entries.2.connection=flash-drive;"
           "entries.2.area=Yard;entries.2.needsUpdate=false"
        << ""
        << "";
    QTest::newRow("entry by area and name")
        << A({"entries", "show", "Yard/Gate", "--format", "json"}) << 0
        << "json:entry.deviceId=2002;entry.readerType=101"
        << ""
        << "";
    QTest::newRow("areas") << A({"areas", "list", "--format", "json"}) << 0
                           << "json:areas.0.name=Hall;areas.0.entries=2;areas.1.name=Yard"
                           << ""
                           << "";
    QTest::newRow("groups") << A({"groups", "show", "Staff", "--format", "json"}) << 0
                            << "json:group.users=2"
                            << ""
                            << "";
    QTest::newRow("models")
        << A({"models", "show", "OF", "--format", "json"}) << 0
        << "json:model.definition=mon,tue,wed,thu,fri-07:00-19:00;model.name=Office"
        << ""
        << "";
    QTest::newRow("holidays") << A({"holidays", "list", "--format", "json"}) << 0
                              << "json:holidays.0.date=2030-12-25;holidays.0.comment=Christmas"
                              << ""
                              << "";
    QTest::newRow("rights of a user")
        << A({"rights", "list", "--user", "Brandt, Ben", "--format", "json"}) << 0
        << "json:rights.0.entry=Door;rights.1.entry=Lab;rights.2.entry=Gate;rights.2.model=***"
        << ""
        << "";
    QTest::newRow("project")
        << A({"project", "show", "--format", "json"}) << 0
        << "json:project.shortRange=true;project.longRange=true;project.hfIdentifierLength=7;"
           "project.timeZone=Europe/Berlin;project.relayHoldTime=1"
        << ""
        << "";
    QTest::newRow("one setting") << A({"project", "show", "hf-length"}) << 0 << "7\n"
                                 << ""
                                 << "";

    // Changes, with their pending marks.
    QTest::newRow("user added")
        << A({"users", "add", "--last", " Dorn ", "--first", "Dee", "--group", "Staff", "--hf",
              "a1b2c3d4", "--uhf-comment", "spare"})
        << 0 << "User 'Dorn, Dee' added."
        << "select familyName,groupName,iddIso14443,commentClass1Gen2 from users where "
           "firstName='Dee'"
        << "Dorn|Staff|000000a1b2c3d4-04|spare";
    QTest::newRow("identifier changed: the user's entries marked")
        << A({"users", "change", "Abel, Ann", "--hf", "04A1B2C3D4E5F8"}) << 0
        << "2 entries need an update." << marks() << "Door,Lab";
    QTest::newRow("group changed: nothing marked")
        << A({"users", "change", "abel, ann", "--group", "Team"}) << 0 << "changed"
        << "select groupName from users where familyName='Abel'"
        << "Team";
    QTest::newRow("user removed with the rights")
        << A({"users", "remove", "Brandt, Ben"}) << 0 << "3 entries need an update."
        << "select count(*) from access"
        << "2";
    QTest::newRow("entry added: its reader needs the tables")
        << A({"entries", "add", "--area", "Yard", "--name", "Barrier", "--connection",
              "tcp:[::1]:4100", "--type", "TZU300", "--device-id", "3003a", "--mac",
              "02-4b-58-00-00-01", "--settings", "AntiPassBack=1;Led.Idle.Color=2"})
        << 0 << "added"
        << "select areaName,ipAddr,port,readerType,readerSerNo,readerMacAddr,readerConfig,"
           "needsUpdate from doors where doorName='Barrier'"
        << "Yard|::1|4100|863|3003A|02:4B:58:00:00:01|AntiPassBack=1;Led.Idle.Color=2|1";
    QTest::newRow("reader settings changed: marked")
        << A({"entries", "change", "Door", "--settings", "Out1.HoldTime=2.5"}) << 0 << "changed"
        << marks() << "Door";
    QTest::newRow("entry moved to USB, comment only: not marked")
        << A({"entries", "change", "Door", "--connection", "usb", "--comment", "side door"}) << 0
        << "changed"
        << "select coalesce(ipAddr,'-'),coalesce(port,0),commentDoor,needsUpdate "
           "from doors where doorName='Door'"
        << "-|0|side door|0";
    QTest::newRow("entry removed with its rights")
        << A({"entries", "remove", "Hall/Lab"}) << 0 << "removed"
        << "select count(*) from access"
        << "3";
    QTest::newRow("area renamed") << A({"areas", "rename", "Yard", "Outside"}) << 0 << "(1 entries)"
                                  << "select areaName from doors where doorName='Gate'"
                                  << "Outside";
    QTest::newRow("groups joined")
        << A({"groups", "rename", "Visitors", "Staff", "--merge"}) << 0 << "renamed"
        << "select count(*) from users where groupName='Staff'"
        << "3";
    QTest::newRow("model added in the dialog's form")
        << A({"models", "add", "--tag", "NI", "--name", "Night", "--definition",
              "sat,sun,hol-20:00-24:00|mon-0:00-06:00"})
        << 0 << "added"
        << "select modelDefinition from times where modelTag='NI'"
        << "sun,sat,hol-20:00-24:00|mon-00:00-06:00";
    QTest::newRow("definition changed: the model's entries marked")
        << A({"models", "change", "OF", "--definition", "mon-08:00-12:00"}) << 0
        << "2 entries need an update." << marks() << "Door,Lab";
    QTest::newRow("model renamed: nothing marked")
        << A({"models", "change", "OF", "--name", "Bureau"}) << 0 << "changed" << marks() << "";
    QTest::newRow("model removed with its rights")
        << A({"models", "remove", "OF"}) << 0 << "removed"
        << "select count(*) from access"
        << "1";
    QTest::newRow("closure added: the access readers marked")
        << A({"holidays", "add", "2030-12-27..2030-12-29", "--comment", "Closed"}) << 0
        << "3 holidays added."
        << "select count(*) from holidays where comment='Closed'"
        << "3";
    QTest::newRow("holidays of a range removed")
        << A({"holidays", "remove", "2030-12-20..2030-12-31"}) << 0 << "1 holidays removed."
        << "select count(*) from holidays"
        << "0";
    QTest::newRow("holiday moved")
        << A({"holidays", "change", "2030-12-25", "--date", "2030-12-24"}) << 0 << "changed"
        << "select date,comment from holidays"
        << "2030.12.24|Christmas";
    QTest::newRow("right set as on the board")
        << A({"rights", "set", "--user", "Cole, Cid", "--area", "Hall", "--model", "OF"}) << 0
        << "2 rights set" << marks() << "Door,Lab";
    QTest::newRow("rights of a group removed")
        << A({"rights", "remove", "--group", "Staff", "--entry", "Door"}) << 0
        << "2 rights removed." << marks() << "Door";
    QTest::newRow("ISO 15693: identifiers widened, short range marked")
        << A({"project", "change", "--iso15693", "on"}) << 0 << "widened to 8 bytes"
        << QStringLiteral("select iddIso14443 from users where familyName='Abel' union all ") +
               marks()
        << "0004a1b2c3d4e5f6-04\nDoor,Lab";
    QTest::newRow("this computer's time zone again")
        << A({"project", "change", "--time-zone", "computer", "--uhf-mask1", "2d15"}) << 0
        << "changed"
        << "select value from project where tag in ('SiteTimeZone','UhfSelectionMask1') "
           "order by tag"
        << "\n2d15";

    // Refused input: one line naming the field, nothing written.
    QTest::newRow("no project") << A({"users", "list", "--project", "/nonexistent/kx"}) << 2
                                << "is not a project folder"
                                << ""
                                << "";
    QTest::newRow("unknown user") << A({"users", "change", "Nobody, X", "--group", "G"}) << 2
                                  << "There is no user 'Nobody, X'."
                                  << ""
                                  << "";
    QTest::newRow("duplicate name")
        << A({"users", "add", "--last", "Abel", "--first", "Ann", "--group", "G"}) << 2
        << "A user named 'Abel, Ann' already exists."
        << ""
        << "";
    QTest::newRow("identifier of another user")
        << A({"users", "change", "Cole, Cid", "--hf", "04a1b2c3d4e5f6"}) << 2
        << "already belongs to 'Abel, Ann'"
        << ""
        << "";
    QTest::newRow("identifier not hex")
        << A({"users", "add", "--last", "X", "--first", "Y", "--group", "G", "--uhf", "E2-00"}) << 2
        << "--uhf: 'E2-00' is no identifier"
        << ""
        << "";
    QTest::newRow("group missing")
        << A({"users", "add", "--last", "X", "--first", "Y"}) << 2 << "No group name given"
        << ""
        << "";
    QTest::newRow("control character in a name")
        << A({"users", "change", "Cole, Cid", "--first", "C\tid"}) << 2 << "control character"
        << ""
        << "";
    QTest::newRow("unknown entry")
        << A({"entries", "remove", "Roof"}) << 2 << "There is no entry named 'Roof'."
        << ""
        << "";
    QTest::newRow("device ID taken")
        << A({"entries", "add", "--area", "Hall", "--name", "Back", "--device-id", "1001"}) << 2
        << "The reader with device ID 1001 already controls the entry 'Hall / Door'."
        << ""
        << "";
    QTest::newRow("name for no folder") << A({"entries", "change", "Door", "--name", "../Door"})
                                        << 2 << "cannot name the entry's log and data folders"
                                        << ""
                                        << "";
    QTest::newRow("MAC address") << A({"entries", "change", "Door", "--mac", "02:4b"}) << 2
                                 << "The reader MAC address '02:4b' is not of the form"
                                 << ""
                                 << "";
    QTest::newRow("flash drive without device ID")
        << A({"entries", "add", "--area", "Hall", "--name", "Back", "--connection", "flash-drive"})
        << 2 << "No reader device ID given"
        << ""
        << "";
    QTest::newRow("connection") << A({"entries", "change", "Door", "--connection", "tcp:door"}) << 2
                                << "--connection takes"
                                << ""
                                << "";
    QTest::newRow("reader setting unknown")
        << A({"entries", "change", "Door", "--settings", "Out2.HoldTime=1"}) << 2
        << "--settings: ID TZ60 readers know no setting 'Out2.HoldTime'"
        << ""
        << "";
    QTest::newRow("reader setting out of range")
        << A({"entries", "change", "Gate", "--settings", "Antenna1.RfPower=30"}) << 2
        << "--settings: the reader takes no Antenna1.RfPower=30."
        << ""
        << "";
    QTest::newRow("group name with a line break")
        << A({"groups", "rename", "Staff", "St\naff"}) << 2 << "control character"
        << ""
        << "";
    QTest::newRow("area joined by accident")
        << A({"areas", "rename", "Yard", "Hall"}) << 2 << "--merge"
        << ""
        << "";
    QTest::newRow("definition that does not read")
        << A({"models", "add", "--tag", "X", "--name", "X", "--definition", "mon-7-19"}) << 2
        << "--definition: Period 1 'mon-7-19' is not of the form"
        << ""
        << "";
    QTest::newRow("definition backwards")
        << A({"models", "add", "--tag", "X", "--name", "X", "--definition",
              "mon-08:00-12:00|tue-12:00-08:00"})
        << 2 << "Period 2 'tue-12:00-08:00' ends before it begins."
        << ""
        << "";
    QTest::newRow("tag taken") << A({"models", "add", "--tag", "OF", "--name", "X", "--definition",
                                     "mon-08:00-12:00"})
                               << 2 << "--tag: a time model with the tag 'OF' exists already."
                               << ""
                               << "";
    QTest::newRow("tag the readers cannot take")
        << A({"models", "change", "OF", "--tag", "O#"}) << 2 << "--tag: Illegal model tag"
        << ""
        << "";
    QTest::newRow("always model") << A({"models", "remove", "***"}) << 2
                                  << "cannot be changed or removed"
                                  << ""
                                  << "";
    QTest::newRow("unknown model")
        << A({"rights", "set", "--group", "Staff", "--area", "Yard", "--model", "ZZ"}) << 2
        << "There is no time model with the tag 'ZZ'."
        << ""
        << "";
    QTest::newRow("unknown group") << A({"rights", "remove", "--group", "Staff2", "--area", "Yard"})
                                   << 2 << "There is no group 'Staff2'."
                                   << ""
                                   << "";
    QTest::newRow("holiday twice") << A({"holidays", "add", "2030-12-24..2030-12-26"}) << 2
                                   << "2030-12-25 is a holiday already."
                                   << ""
                                   << "";
    QTest::newRow("holiday no reader holds")
        << A({"holidays", "add", "2100-01-01"}) << 2 << "readers hold holidays from 2000 to 2099"
        << ""
        << "";
    QTest::newRow("no date") << A({"holidays", "remove", "25.12.2030"}) << 2
                             << "'25.12.2030' is no date"
                             << ""
                             << "";
    QTest::newRow("identifier length shrunk")
        << A({"project", "change", "--hf-length", "6"}) << 2 << "cannot shrink below 7 bytes"
        << ""
        << "";
    QTest::newRow("technology in use switched off")
        << A({"project", "change", "--long-range", "off"}) << 2
        << "a technology it uses cannot be switched off"
        << ""
        << "";
    QTest::newRow("relay hold time") << A({"project", "change", "--relay-hold-time", "30"}) << 2
                                     << "relay hold time is 0 to 25.5 seconds"
                                     << ""
                                     << "";
    QTest::newRow("setting value")
        << A({"project", "change", "--iso15693", "yes"}) << 2 << "--iso15693: 'yes' does not read"
        << ""
        << "";
    QTest::newRow("events newest first, results in words")
        << A({"events", "--format", "json"}) << 0
        << "json:events.0.result=holiday;events.0.user=Brandt, Ben;events.1.user=;"
           "events.1.result=unknown-identifier;events.2.time=2030-12-24T08:00:00;"
           "events.2.area=Hall;events.2.entry=Door;events.2.group=Staff"
        << ""
        << "";
    QTest::newRow("events of a user")
        << A({"events", "--user", "Abel, Ann", "--format", "json"}) << 0
        << "json:events.0.identifier=04A1B2C3D4E5F6;events.0.result=granted"
        << ""
        << "";
    QTest::newRow("unknown identifiers")
        << A({"events", "--unknown", "--format", "csv"}) << 0 << ";0499;unknown-identifier;1;0\r\n"
        << ""
        << "";
    QTest::newRow("a day given as --to counts whole")
        << A({"events", "--from", "2030-12-24", "--to", "2030-12-24", "--denied"}) << 0 << "0499"
        << ""
        << "";
    QTest::newRow("no event matches") << A({"events", "--from", "2031-01-01"}) << 1 << "Result"
                                      << ""
                                      << "";
    QTest::newRow("two results") << A({"events", "--granted", "--denied"}) << 2 << "Give one of"
                                 << ""
                                 << "";
    QTest::newRow("seen in an area")
        << A({"seen", "--area", "Hall", "--since", "2030-12-24", "--format", "json"}) << 0
        << "json:seen.0.user=Abel, Ann;seen.0.entry=Door;seen.0.time=2030-12-24T08:00:00"
        << ""
        << "";
    QTest::newRow("keep events for 30 days")
        << A({"project", "change", "--keep-events", "30"}) << 0 << "changed"
        << "select value from project where tag='KeepEventsDays'"
        << "30";
    QTest::newRow("format") << A({"users", "list", "--format", "xml"}) << 2
                            << "--format takes text, csv or json"
                            << ""
                            << "";
}

void TestCliRecords::commands()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(QString, statement);
    QFETCH(QString, result);
    TestSupport::TempProject project(QStringLiteral("Site"));
    buildSite(project);
    const QString before = dump(project.databasePath());

    const Output output = cli(project, arguments);
    const QString told = output.out + output.err;
    QVERIFY2(output.exitCode == exitCode, qPrintable(told));
    if (printed.startsWith(QLatin1String("json:"))) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(output.out.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(output.out));
        for (const QString &check : printed.mid(5).split(QLatin1Char(';'))) {
            const int equals = check.indexOf(QLatin1Char('='));
            QCOMPARE(jsonText(jsonAt(document, check.left(equals))), check.mid(equals + 1));
        }
    } else {
        QVERIFY2(told.contains(printed), qPrintable(told));
    }
    // Refused input is one line on standard error.
    if (exitCode == KelvaraCli::UsageError && !output.err.contains(QStringLiteral("Usage:")))
        QCOMPARE(output.err.count(QLatin1Char('\n')), 1);
    if (statement.isEmpty())
        QCOMPARE(dump(project.databasePath()), before);
    else
        QCOMPARE(query(project.databasePath(), statement), result);
}

void TestCliRecords::namesPrintedExactly_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quotes and backslashes") << QStringLiteral("O'Brien \"Bob\" \\ /");
    QTest::newRow("markup") << QStringLiteral("</script><b>&amp;");
    QTest::newRow("beyond the BMP") << QStringLiteral("Zoë 😀 \u00a0");
    QTest::newRow("a formula") << QStringLiteral("=HYPERLINK(\"x\");1");
    QTest::newRow("blanks at the ends") << QStringLiteral(" Lee ");
}

void TestCliRecords::namesPrintedExactly()
{
    QFETCH(QString, name);
    TestSupport::TempProject project(QStringLiteral("Site"));
    UserRow user;
    user.familyName = name;
    user.firstName = QStringLiteral("X");
    user.groupName = name;
    user.commentUser = name + QStringLiteral("\tline\nbreak");
    QVERIFY(!UserRecords::addUser(project.databasePath(), user).isValid());

    Output output = cli(project, A({"users", "list", "--format", "json"}));
    QCOMPARE(output.exitCode, 0);
    const QJsonObject listed = QJsonDocument::fromJson(output.out.toUtf8())
                                   .object()
                                   .value(QStringLiteral("users"))
                                   .toArray()
                                   .at(0)
                                   .toObject();
    QCOMPARE(listed.value(QStringLiteral("lastName")).toString(), name);
    QCOMPARE(listed.value(QStringLiteral("comment")).toString(), user.commentUser);

    // In text a record stays one line, whatever its comment holds.
    output = cli(project, A({"users", "list"}));
    QCOMPARE(output.out.count(QLatin1Char('\n')), 2);
    QCOMPARE(output.out.section(QLatin1Char('\n'), 1).count(QLatin1Char('\t')), 7);

    // csv reads back through the import's own splitting.
    const QString csvName = name + QStringLiteral(", X");
    output = cli(project, QStringList{QStringLiteral("users"), QStringLiteral("show"), csvName,
                                      QStringLiteral("--format"), QStringLiteral("csv")});
    QCOMPARE(output.exitCode, 0);
    const QStringList lines = output.out.split(QStringLiteral("\r\n"));
    MyImportUsers reader(QString{});
    const QStringList fields = reader.splitLine(lines.value(1));
    QCOMPARE(fields.value(0), name);
    QCOMPARE(fields.value(2), name);
}

void TestCliRecords::syncBringsUsersInLine_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QString>("users"); // afterwards: name, group, identifiers; "" unchanged
    QTest::addColumn<QString>("marked");

    const QByteArray header = "LastName;FirstName;UserGroup;IDDProximityTransponder\r\n";
    const QByteArray same = header + "Abel;Ann;Staff;04A1B2C3D4E5F6\r\n"
                                     "Brandt;Ben;Staff;04A1B2C3D4E5F7\r\n";
    QTest::newRow("in line already")
        << same << QStringList() << 0 << "0 added, 0 changed, 0 removed."
        << ""
        << "";
    // A leaver's card goes to the newcomer the same evening.
    const QByteArray leaver = header + "Abel;Ann;Staff;04A1B2C3D4E5F6\r\n"
                                       "Brandt;Ben;Staff;\r\n"
                                       "Dorn;Dee;Staff;04A1B2C3D4E5F7\r\n";
    QTest::newRow("card handed on, others kept")
        << leaver << QStringList() << 0
        << "changed\tBrandt, Ben\tshort range identifier\nadded\tDorn, Dee\n"
        << "Abel|Staff|04a1b2c3d4e5f6-04\nBrandt|Staff|\nCole|Visitors|\n"
           "Dorn|Staff|04a1b2c3d4e5f7-04"
        << "Door,Lab";
    QTest::newRow("cards swapped")
        << header + "Abel;Ann;Staff;04A1B2C3D4E5F7\r\nBrandt;Ben;Staff;04A1B2C3D4E5F6\r\n"
        << QStringList() << 0 << "2 changed"
        << "Abel|Staff|04a1b2c3d4e5f7-04\nBrandt|Staff|04a1b2c3d4e5f6-04\nCole|Visitors|"
        << "Door,Lab";
    QTest::newRow("missing removed on request")
        << same << A({"--remove-missing"}) << 0 << "removed\tCole, Cid"
        << "Abel|Staff|04a1b2c3d4e5f6-04\nBrandt|Staff|04a1b2c3d4e5f7-04"
        << "";
    QTest::newRow("a plan only") << leaver << A({"--dry-run", "--remove-missing"}) << 0
                                 << "would change\tBrandt, Ben\tshort range identifier\n"
                                    "would add\tDorn, Dee\nwould remove\tCole, Cid\n"
                                 << ""
                                 << "";
    QTest::newRow("group column only")
        << QByteArray("FirstName;LastName;UserGroup\r\nAnn;Abel;Office\r\n") << QStringList() << 0
        << "changed\tAbel, Ann\tgroup\n"
        << "Abel|Office|04a1b2c3d4e5f6-04\nBrandt|Staff|04a1b2c3d4e5f7-04\nCole|Visitors|"
        << "";
    QTest::newRow("a line that does not read refuses the list")
        << header + "Dorn;Dee;Staff;04A1Z\r\n"
        << QStringList() << 2 << "Line 2 (Dorn, Dee): '04A1Z' is no identifier"
        << ""
        << "";
    QTest::newRow("twice in the list")
        << same + "Abel;Ann;Other;\r\n"
        << QStringList() << 2 << "Line 4: Abel, Ann is listed on line 2 already."
        << ""
        << "";
    QTest::newRow("identifier of a user kept")
        << header + "Dorn;Dee;Staff;04A1B2C3D4E5F6\r\n"
        << QStringList() << 2 << "Line 2 (Dorn, Dee): The short range transponder"
        << ""
        << "";
    QTest::newRow("no names") << QByteArray("UserGroup\r\nStaff\r\n") << QStringList() << 2
                              << "needs the columns LastName and FirstName"
                              << ""
                              << "";
}

void TestCliRecords::syncBringsUsersInLine()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(QString, users);
    QFETCH(QString, marked);
    TestSupport::TempProject project(QStringLiteral("Site"));
    buildSite(project);
    const QString before = dump(project.databasePath());
    const QString file = project.folder() + QStringLiteral("/staff.csv");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(list) == list.size());
    out.close();

    const Output output =
        cli(project, QStringList{QStringLiteral("users"), QStringLiteral("sync"), file} + options);
    const QString told = output.out + output.err;
    QVERIFY2(output.exitCode == exitCode, qPrintable(told));
    QVERIFY2(told.contains(printed), qPrintable(told));
    if (users.isEmpty()) {
        QCOMPARE(dump(project.databasePath()), before);
        return;
    }
    QCOMPARE(query(project.databasePath(),
                   QStringLiteral("select familyName,groupName,coalesce(iddIso14443,'') from "
                                  "users order by familyName")),
             users);
    QCOMPARE(query(project.databasePath(), marks()), marked);
}

KX_TEST_MAIN(TestCliRecords)
#include "tst_clirecords.moc"
