// The event log: each reader event stored once whatever the number of reads,
// files and database in step when a read fails, paging and filters as a
// plain look through all events, and retention.
#include "support/officesite.h"
#include "support/testsupport.h"

#include "access/readereventlog.h"
#include "db/accessrights.h"
#include "db/eventlogmodel.h"
#include "db/projectdatabase.h"
#include "db/userrecords.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {

ReaderEvent readerEvent(const QString &idd, const QDateTime &at, bool granted = true, int error = 0)
{
    ReaderEvent e;
    e.idd = idd;
    e.dateTime = at;
    e.granted = granted;
    e.errorNumber = quint16(error);
    return e;
}

} // namespace

Q_DECLARE_METATYPE(ReaderEvent)

namespace {

const QDateTime Monday(QDate(2031, 3, 3), QTime(8, 0));

} // namespace

class TestEventRecords : public QObject
{
    Q_OBJECT

private slots:
    void eachEventStoredOnce_data();
    void eachEventStoredOnce();
    void fingerprintsStayAsStored_data();
    void fingerprintsStayAsStored();
    void failedFileWriteStoresNothing();
    void filtersAndPagesMatchAPlainLook_data();
    void filtersAndPagesMatchAPlainLook();
    void retentionRemovesOldEvents();

private:
    struct Kept
    {
        int stored = 0;
        QByteArray files;
        bool ok = false;
    };
    static Kept keep(TestSupport::OfficeSite &site, int door, const QList<ReaderEvent> &events);
};

TestEventRecords::Kept TestEventRecords::keep(TestSupport::OfficeSite &site, int door,
                                              const QList<ReaderEvent> &events)
{
    const QString folder = site.project.folder() + QStringLiteral("/data/door");
    const QString db = site.db();
    const ReaderEventLog::Result result =
        ReaderEventLog::keep(db, folder, QStringLiteral("Door"), door, 0x1001, events, Monday);
    Kept kept;
    kept.ok = result.ok();
    ProjectDatabase database(db);
    database.open();
    QSqlQuery query = database.query();
    query.exec(QStringLiteral("select count(*) from events"));
    kept.stored = query.next() ? query.value(0).toInt() : -1;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(folder + QLatin1Char('/') + name);
        file.open(QIODevice::ReadOnly);
        kept.files += name.toLatin1() + '\n' + file.readAll();
    }
    return kept;
}

void TestEventRecords::eachEventStoredOnce_data()
{
    QTest::addColumn<QList<ReaderEvent>>("first");
    QTest::addColumn<QList<ReaderEvent>>("second"); // the reader's whole list at the next read
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("lines"); // event lines in the files, headers not counted

    const ReaderEvent abel = readerEvent(QStringLiteral("04A1B2C3D4E5F6"), Monday);
    const ReaderEvent later = readerEvent(QStringLiteral("04A1B2C3D4E5F6"), Monday.addSecs(60));
    const ReaderEvent denied = readerEvent(QStringLiteral("0499"), Monday, false, 1);
    const ReaderEvent noDate = readerEvent(QStringLiteral("0499"), QDateTime(), false, 1);
    const ReaderEvent farFuture =
        readerEvent(QStringLiteral("0499"), QDateTime(QDate(2150, 1, 1), QTime(1, 0)));
    QTest::newRow("the same list read twice")
        << QList<ReaderEvent>{abel, denied} << QList<ReaderEvent>{abel, denied} << 2 << 2;
    QTest::newRow("the list grew between reads")
        << QList<ReaderEvent>{abel} << QList<ReaderEvent>{abel, later, denied} << 3 << 3;
    QTest::newRow("two equal events in one second stay two")
        << QList<ReaderEvent>{abel, abel} << QList<ReaderEvent>{abel, abel, abel} << 3 << 3;
    QTest::newRow("invalid and out-of-range dates are kept and flagged")
        << QList<ReaderEvent>{noDate, farFuture} << QList<ReaderEvent>{noDate, farFuture} << 2 << 2;
}

void TestEventRecords::eachEventStoredOnce()
{
    QFETCH(QList<ReaderEvent>, first);
    QFETCH(QList<ReaderEvent>, second);
    QFETCH(int, stored);
    QFETCH(int, lines);
    TestSupport::OfficeSite site;
    site.addUser(QStringLiteral("Abel"), QStringLiteral("04a1b2c3d4e5f6"));
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), 1);
    QVERIFY(keep(site, door, first).ok);
    const Kept kept = keep(site, door, second);
    QVERIFY(kept.ok);
    QCOMPARE(kept.stored, stored);
    QCOMPARE(kept.files.count("\r\n") - kept.files.count("TagIDD"), lines);
    QVERIFY2(!kept.files.contains("2150"), kept.files);

    // The user's copy keeps the log readable after the user is gone.
    QVERIFY(!UserRecords::removeUser(site.db(), site.users.first()).isValid());
    ProjectDatabase db(site.db());
    QVERIFY(db.open());
    QSqlQuery query = db.query();
    EventFilter unknownOnes;
    unknownOnes.result = EventFilter::Unknown;
    EventCounts counts;
    QVERIFY(!EventRecords::count(query, EventFilter(), counts).isValid());
    const qint64 named = counts.total - counts.unknown;
    QList<EventRow> rows;
    EventFilter abel;
    abel.familyName = QStringLiteral("Abel");
    abel.firstName = QStringLiteral("X");
    QVERIFY(!EventRecords::list(query, abel, EventCursor(), 100, rows).isValid());
    QCOMPARE(qint64(rows.size()), named);
}

void TestEventRecords::fingerprintsStayAsStored_data()
{
    QTest::addColumn<QList<ReaderEvent>>("events");
    QTest::addColumn<QList<qint64>>("fingerprints"); // as projects already hold them

    const ReaderEvent abel = readerEvent(QStringLiteral("04A1B2C3D4E5F6"), Monday);
    ReaderEvent inputs = readerEvent(QStringLiteral("04a1ff"), Monday, false, 65535);
    inputs.antenna = 3;
    inputs.inputState = 0x83;
    QTest::newRow("equal events in one second count on")
        << QList<ReaderEvent>{abel, abel, readerEvent(abel.idd, Monday.addSecs(1))}
        << QList<qint64>{501405508, 742558022, 501405508};
    QTest::newRow("lower-case identifier, antenna, inputs")
        << QList<ReaderEvent>{inputs} << QList<qint64>{609894641};
    QTest::newRow("invalid date") << QList<ReaderEvent>{readerEvent(QStringLiteral("0499"),
                                                                    QDateTime(), false, 1)}
                                  << QList<qint64>{842553412};
}

void TestEventRecords::fingerprintsStayAsStored()
{
    QFETCH(QList<ReaderEvent>, events);
    QFETCH(QList<qint64>, fingerprints);
    TestSupport::OfficeSite site;
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), 1);
    QVERIFY(keep(site, door, events).ok);
    ProjectDatabase db(site.db());
    QVERIFY(db.open());
    QSqlQuery query = db.query();
    QVERIFY(query.exec(QStringLiteral("select fingerprint from events order by PKevents")));
    QList<qint64> stored;
    while (query.next())
        stored << query.value(0).toLongLong();
    QCOMPARE(stored, fingerprints);
    QCOMPARE(EventRecords::fingerprint(0x1001, ReaderEventLog::dataOf(events.first()), 0),
             fingerprints.first());
}

void TestEventRecords::failedFileWriteStoresNothing()
{
    TestSupport::OfficeSite site;
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), 1);
    const ReaderEvent monday = readerEvent(QStringLiteral("0401"), Monday);
    QVERIFY(keep(site, door, {monday}).ok);
    const QByteArray before = keep(site, door, {}).files;
    // The next day's file cannot be made: a folder stands in its place.
    const QString tuesday =
        site.project.folder() + QStringLiteral("/data/door/") +
        AccessCsvFiles::eventFileName(QStringLiteral("Door"), Monday.date().addDays(1));
    QVERIFY(QDir().mkpath(tuesday));
    const Kept kept = keep(site, door,
                           {monday, readerEvent(QStringLiteral("0402"), Monday.addSecs(5)),
                            readerEvent(QStringLiteral("0403"), Monday.addDays(1))});
    QVERIFY(!kept.ok);
    QCOMPARE(kept.stored, 1);
    QCOMPARE(kept.files, before);

    // An entry removed while its read ran: refused, nothing written.
    const Kept removed = keep(site, door + 1, {readerEvent(QStringLiteral("0404"), Monday)});
    QVERIFY(!removed.ok);
    QCOMPARE(removed.stored, 1);
    QCOMPARE(removed.files, before);
}

void TestEventRecords::filtersAndPagesMatchAPlainLook_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("everything") << QString() << QString();
    QTest::newRow("one day") << QStringLiteral("day") << QStringLiteral("3");
    QTest::newRow("an entry") << QStringLiteral("entry") << QStringLiteral("1");
    QTest::newRow("an area") << QStringLiteral("area") << QStringLiteral("Yard");
    QTest::newRow("a user") << QStringLiteral("user") << QStringLiteral("U2");
    QTest::newRow("a group") << QStringLiteral("group") << QStringLiteral("G1");
    QTest::newRow("granted") << QStringLiteral("result") << QStringLiteral("1");
    QTest::newRow("denied") << QStringLiteral("result") << QStringLiteral("2");
    QTest::newRow("unknown identifiers") << QStringLiteral("result") << QStringLiteral("3");
    QTest::newRow("free text") << QStringLiteral("text") << QStringLiteral("b7");
    QTest::newRow("text with a wildcard") << QStringLiteral("text") << QStringLiteral("%");
}

void TestEventRecords::filtersAndPagesMatchAPlainLook()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    TestSupport::OfficeSite site;
    QList<int> doors;
    for (int i = 0; i < 4; ++i) {
        doors << site.addEntry(QStringLiteral("D%1").arg(i), 100, QStringLiteral("%1").arg(i + 1),
                               QStringLiteral("127.0.0.%1").arg(i + 1), 1,
                               i < 2 ? QStringLiteral("Hall") : QStringLiteral("Yard"));
    }
    for (int i = 0; i < 6; ++i) {
        UserRow user;
        user.familyName = QStringLiteral("U%1").arg(i);
        user.firstName = QStringLiteral("X");
        user.groupName = QStringLiteral("G%1").arg(i % 2);
        user.iddIso14443 =
            TransponderIdd::fromHex(QStringLiteral("04b%1").arg(i), TransponderIdd::Iso14443A)
                .toStored();
        QVERIFY(!UserRecords::addUser(site.db(), user).isValid());
    }
    // Random events over a week; several share a second, so paging must
    // step by key as well as time.
    QRandomGenerator random(32);
    {
        ProjectDatabase db(site.db());
        QVERIFY(db.open() && db.transaction());
        QSqlQuery query = db.query();
        for (int door : qAsConst(doors)) {
            QList<ReaderEventData> events;
            for (int i = 0; i < 60; ++i) {
                ReaderEventData e;
                e.idd = QStringLiteral("04B%1").arg(random.bounded(8));
                e.readerTime = Monday.addSecs(random.bounded(7) * 86400 + random.bounded(20));
                e.errorNumber = random.bounded(3);
                e.granted = e.errorNumber == 0;
                events << e;
            }
            QList<int> fresh;
            QVERIFY(!EventRecords::store(query, door, 1, events, Monday, fresh).isValid());
        }
        query.finish();
        QVERIFY(db.commit());
    }

    EventFilter filter;
    if (field == QLatin1String("day")) {
        filter.from = EventRecords::toSeconds(Monday.addDays(value.toInt()));
        filter.to = filter.from + 86400;
    } else if (field == QLatin1String("entry")) {
        filter.pkDoors = doors.at(value.toInt());
    } else if (field == QLatin1String("area")) {
        filter.area = value;
    } else if (field == QLatin1String("user")) {
        filter.familyName = value;
        filter.firstName = QStringLiteral("X");
    } else if (field == QLatin1String("group")) {
        filter.groupName = value;
    } else if (field == QLatin1String("result")) {
        filter.result = EventFilter::Result(value.toInt());
    } else if (field == QLatin1String("text")) {
        filter.text = value;
    }

    // Every event, looked through one by one.
    QList<EventRow> all;
    {
        ProjectDatabase db(site.db());
        QVERIFY(db.open());
        QSqlQuery query = db.query();
        QVERIFY(!EventRecords::list(query, EventFilter(), EventCursor(), 100000, all).isValid());
    }
    QCOMPARE(all.size(), 240);
    QList<qint64> expected;
    for (const EventRow &row : qAsConst(all)) {
        const QString haystack = QStringList{row.idd,       row.familyName, row.firstName,
                                             row.groupName, row.doorName,   row.areaName}
                                     .join(QLatin1Char('\n'));
        const bool taken =
            (!filter.from || row.readerTime >= filter.from) &&
            (!filter.to || row.readerTime < filter.to) &&
            (!filter.pkDoors || row.pkDoors == filter.pkDoors) &&
            (filter.area.isEmpty() || row.areaName == filter.area) &&
            (filter.familyName.isEmpty() || row.familyName == filter.familyName) &&
            (filter.groupName.isEmpty() || row.groupName == filter.groupName) &&
            (filter.result != EventFilter::Granted || row.granted) &&
            (filter.result != EventFilter::Denied || !row.granted) &&
            (filter.result != EventFilter::Unknown || row.userKey == 0) &&
            (filter.text.isEmpty() || haystack.contains(filter.text, Qt::CaseInsensitive));
        if (taken)
            expected << row.key;
    }
    for (int i = 1; i < all.size(); ++i)
        QVERIFY(all.at(i - 1).readerTime >= all.at(i).readerTime);

    EventLogModel model;
    QAbstractItemModelTester tester(&model);
    model.setDatabasePath(site.db());
    QVERIFY(model.setFilter(filter));
    QCOMPARE(model.counts().total, qint64(expected.size()));
    QVERIFY(model.fetchAll());
    QList<qint64> shown;
    for (const EventRow &row : model.rows())
        shown << row.key;
    QCOMPARE(shown, expected);
}

void TestEventRecords::retentionRemovesOldEvents()
{
    TestSupport::OfficeSite site;
    const int door = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                   QStringLiteral("127.0.0.1"), 1);
    ProjectParameters next = site.params;
    next.haveHfReader = true;
    next.keepEventsDays = 30;
    const QSqlError saved = site.params.saveSettings(next);
    QVERIFY2(!saved.isValid(), qPrintable(saved.text()));
    const Kept kept = keep(site, door,
                           {readerEvent(QStringLiteral("01"), Monday.addDays(-31)),
                            readerEvent(QStringLiteral("02"), Monday.addDays(-29)),
                            readerEvent(QStringLiteral("03"), QDateTime())});
    QVERIFY(kept.ok);
    QCOMPARE(kept.stored, 2);
    ProjectDatabase db(site.db());
    QVERIFY(db.open());
    QSqlQuery query = db.query();
    QList<EventRow> rows;
    QVERIFY(!EventRecords::list(query, EventFilter(), EventCursor(), 10, rows).isValid());
    QCOMPARE(rows.value(0).idd + rows.value(1).idd, QStringLiteral("0203"));
}

KX_TEST_MAIN(TestEventRecords)
#include "tst_eventrecords.moc"
