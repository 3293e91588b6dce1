#include "access/timemodel.h"
#include "access/timeperiod.h"
#include "support/testsupport.h"

class TestTimePeriod : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void display_data();
    void display();
    void timeTexts_data();
    void timeTexts();
    void periodKey();
    void splitDefinition_data();
    void splitDefinition();
    void writeDefinition_data();
    void writeDefinition();
    void normalisedWriteBack_data();
    void normalisedWriteBack();
    void modelReader();
    void unreadableUntilSet();
};

void TestTimePeriod::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("never");
    QTest::addColumn<QString>("written");

    QTest::newRow("weekdays") << "mon,tue,wed,thu,fri-06:00-20:00" << true << 0x3E << "06:00"
                              << "20:00" << false << "mon,tue,wed,thu,fri-06:00-20:00";
    QTest::newRow("always") << "*-*-*" << true << -1 << "00:00"
                            << "24:00" << false << "*-*-*";
    QTest::newRow("always with blank is not always") << "*-*-* " << false << 0 << "00:00"
                                                     << "24:00" << true << "";
    QTest::newRow("all eight tokens are not always")
        << "sun,mon,tue,wed,thu,fri,sat,hol-00:00-24:00" << true << 0xFF << "00:00"
        << "24:00" << false << "sun,mon,tue,wed,thu,fri,sat,hol-00:00-24:00";
    QTest::newRow("crossing midnight is never") << "mon-22:00-06:00" << true << 0x02 << "22:00"
                                                << "06:00" << true << "";
    QTest::newRow("zero length is never") << "mon-06:00-06:00" << true << 0x02 << "06:00"
                                          << "06:00" << true << "";
    QTest::newRow("one minute") << "mon-06:00-06:01" << true << 0x02 << "06:00"
                                << "06:01" << false << "mon-06:00-06:01";
    QTest::newRow("short digits padded") << "mon-6:0-20:0" << true << 0x02 << "06:00"
                                         << "20:00" << false << "mon-06:00-20:00";
    QTest::newRow("empty parts dropped") << "mon--06:00-20:00" << true << 0x02 << "06:00"
                                         << "20:00" << false << "mon-06:00-20:00";
    QTest::newRow("empty time parts dropped") << "mon-06::00-:20:00" << true << 0x02 << "06:00"
                                              << "20:00" << false << "mon-06:00-20:00";
    QTest::newRow("two parts") << "mon-06:00" << false << 0 << "00:00"
                               << "24:00" << true << "";
    QTest::newRow("four parts") << "mon-06:00-20:00-x" << false << 0 << "00:00"
                                << "24:00" << true << "";
    QTest::newRow("tokens are case-sensitive") << "Mon-06:00-20:00" << true << 0 << "06:00"
                                               << "20:00" << true << "";
    QTest::newRow("start without colon keeps days") << "mon-0600-2000" << false << 0x02 << "00:00"
                                                    << "24:00" << true << "";
    // The stored fields stay as read, but a period with unreadable times never grants access.
    QTest::newRow("end without colon") << "mon-06:00-2000" << false << 0x02 << "06:00"
                                       << "24:00" << true << "";
    QTest::newRow("hours not a number") << "mon-xx:30-20:00" << false << 0x02 << "00:00"
                                        << "24:00" << true << "";
    QTest::newRow("minutes not a number keep old minutes")
        << "mon-06:00-20:yy" << false << 0x02 << "06:00"
        << "20:00" << true << "";
    QTest::newRow("substring day part") << "monday,saturday-08:00-12:00" << true << 0x42 << "08:00"
                                        << "12:00" << false << "mon,sat-08:00-12:00";
    QTest::newRow("order and separators free") << "holsatsun-08:00-12:00" << true << 0xC1 << "08:00"
                                               << "12:00" << false << "sun,sat,hol-08:00-12:00";
    QTest::newRow("holiday only") << "hol-09:20-17:10" << true << 0x80 << "09:20"
                                  << "17:10" << false << "hol-09:20-17:10";
    QTest::newRow("no known token") << "xyz-08:00-12:00" << true << 0 << "08:00"
                                    << "12:00" << true << "";
    QTest::newRow("empty") << "" << false << 0 << "00:00"
                           << "24:00" << true << "";
    // Times off the clock are unreadable: the fields keep what was read, the period is never.
    QTest::newRow("hour past 24") << "mon-06:00-25:00" << false << 0x02 << "06:00"
                                  << "25:00" << true << "";
    QTest::newRow("minutes past 59") << "mon-07:99-20:00" << false << 0x02 << "07:99"
                                     << "24:00" << true << "";
    QTest::newRow("minutes as hours") << "mon-0:600-30:00" << false << 0x02 << "00:600"
                                      << "24:00" << true << "";
    QTest::newRow("24 with minutes") << "mon-06:00-24:01" << false << 0x02 << "06:00"
                                     << "24:01" << true << "";
    QTest::newRow("hour overflowing minutes")
        << "mon-357913956:00-24:00" << false << 0x02 << "357913956:00"
        << "24:00" << true << "";
    QTest::newRow("largest hour") << "mon-00:00-2147483647:59" << false << 0x02 << "00:00"
                                  << "2147483647:59" << true << "";
    QTest::newRow("end of day") << "mon-23:59-24:00" << true << 0x02 << "23:59"
                                << "24:00" << false << "mon-23:59-24:00";
}

void TestTimePeriod::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, days);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, never);
    QFETCH(QString, written);

    TimePeriod period = TimePeriod::always(); // parse must not inherit earlier state
    QCOMPARE(period.parse(text), ok);
    QCOMPARE(period.days(), days);
    QCOMPARE(period.startText(), start);
    QCOMPARE(period.endText(), end);
    QCOMPARE(period.isNever(), never);
    QCOMPARE(period.toDefinition(), written);

    // What is written reads back to the same period.
    if (!written.isEmpty()) {
        bool again = false;
        QCOMPARE(TimePeriod::fromDefinition(written, &again).toDefinition(), written);
        QVERIFY(again);
    }
}

void TestTimePeriod::display_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("tokens");

    QTest::newRow("always") << "*-*-*"
                            << "Always"
                            << "Sunday,Monday,Tuesday,Wednesday,Thursday,Friday,Saturday,Holiday"
                            << "sun,mon,tue,wed,thu,fri,sat,hol";
    QTest::newRow("never") << "mon-22:00-06:00"
                           << "Never"
                           << "Monday"
                           << "mon";
    QTest::newRow("two days") << "tue,mon-06:00-20:00"
                              << "Monday,Tuesday: 06:00-20:00"
                              << "Monday,Tuesday"
                              << "mon,tue";
    QTest::newRow("all eight")
        << "sun,mon,tue,wed,thu,fri,sat,hol-00:00-24:00"
        << "Sunday,Monday,Tuesday,Wednesday,Thursday,Friday,Saturday,Holiday: 00:00-24:00"
        << "Sunday,Monday,Tuesday,Wednesday,Thursday,Friday,Saturday,Holiday"
        << "sun,mon,tue,wed,thu,fri,sat,hol";
    QTest::newRow("holiday") << "hol-09:20-17:10"
                             << "Holiday: 09:20-17:10"
                             << "Holiday"
                             << "hol";
}

void TestTimePeriod::display()
{
    QFETCH(QString, text);
    QFETCH(QString, display);
    QFETCH(QString, names);
    QFETCH(QString, tokens);

    const TimePeriod period = TimePeriod::fromDefinition(text);
    QCOMPARE(period.toDisplay(), display);
    QCOMPARE(period.dayNames(), names);
    QCOMPARE(period.dayTokens(), tokens);
}

void TestTimePeriod::timeTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("stored");

    QTest::newRow("plain") << "07:15" << true << "07:15";
    QTest::newRow("short") << "7:5" << true << "07:05";
    QTest::newRow("no colon") << "0715" << false << "00:00";
    QTest::newRow("hours bad") << "ab:15" << false << "00:00";
    QTest::newRow("minutes bad") << "07:cd" << false << "07:00";
    QTest::newRow("three parts") << "07:15:00" << false << "00:00";
    QTest::newRow("minutes past 59") << "07:60" << false << "07:60";
    QTest::newRow("hours past 24") << "25:00" << false << "25:00";
}

void TestTimePeriod::timeTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, stored);

    TimePeriod period;
    QCOMPARE(period.setStartText(text), ok);
    QCOMPARE(period.startText(), stored);
    // The end is left alone by a start change.
    QCOMPARE(period.endText(), QStringLiteral("24:00"));
    TimePeriod other;
    QCOMPARE(other.setEndText(text), ok);
    if (ok)
        QCOMPARE(other.endText(), stored);
}

void TestTimePeriod::periodKey()
{
    const TimePeriod period = TimePeriod::fromDefinition(QStringLiteral("fri,mon-06:00-20:00"));
    const QString key = TimePeriod::periodKey(QStringLiteral("S1"), period);
    QCOMPARE(key, QStringLiteral("S1#mon,fri-06:00-20:00"));
    QCOMPARE(TimePeriod::definitionOfKey(key), QStringLiteral("mon,fri-06:00-20:00"));
    QCOMPARE(TimePeriod::periodKey(QStringLiteral("***"), TimePeriod::always()),
             QStringLiteral("***#*-*-*"));
    QCOMPARE(TimePeriod::definitionOfKey(QStringLiteral("***#*-*-*")), QStringLiteral("*-*-*"));
    QCOMPARE(TimePeriod::definitionOfKey(QStringLiteral("no hash")), QString());
}

void TestTimePeriod::splitDefinition_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("display");

    QTest::newRow("empty") << "" << QStringList{QString()} << "Never";
    QTest::newRow("one") << "mon-06:00-20:00" << QStringList{QStringLiteral("mon-06:00-20:00")}
                         << "Monday: 06:00-20:00";
    QTest::newRow("trailing bar") << "mon-06:00-20:00|"
                                  << QStringList{QStringLiteral("mon-06:00-20:00"), QString()}
                                  << "Monday: 06:00-20:00 | Never";
    QTest::newRow("empty middle") << "mon-06:00-20:00||sat-05:00-14:00"
                                  << QStringList{QStringLiteral("mon-06:00-20:00"), QString(),
                                                 QStringLiteral("sat-05:00-14:00")}
                                  << "Monday: 06:00-20:00 | Never | Saturday: 05:00-14:00";
    QTest::newRow("always") << "*-*-*" << QStringList{QStringLiteral("*-*-*")} << "Always";
}

void TestTimePeriod::splitDefinition()
{
    QFETCH(QString, definition);
    QFETCH(QStringList, parts);
    QFETCH(QString, display);

    const TimeModel model(definition);
    QCOMPARE(model.periodStrings(), parts);
    QCOMPARE(model.periodCount(), parts.size());
    QCOMPARE(model.toDisplay(), display);
    QCOMPARE(model.periods().size(), parts.size());
    if (parts.last().isEmpty())
        QVERIFY(model.periods().last().isNever());
}

void TestTimePeriod::writeDefinition_data()
{
    QTest::addColumn<QStringList>("periods");
    QTest::addColumn<QString>("definition");

    const QString mon = QStringLiteral("mon-06:00-20:00");
    const QString sat = QStringLiteral("sat-05:00-14:00");
    const QString never = QStringLiteral("mon-22:00-06:00");
    QTest::newRow("valid then never") << QStringList{mon, never} << "mon-06:00-20:00|";
    QTest::newRow("never first leaves nothing") << QStringList{never, mon} << "mon-06:00-20:00";
    QTest::newRow("valid never valid")
        << QStringList{mon, never, sat} << "mon-06:00-20:00||sat-05:00-14:00";
    QTest::newRow("all never") << QStringList{never, never} << "";
    QTest::newRow("always") << QStringList{QStringLiteral("*-*-*")} << "*-*-*";
}

void TestTimePeriod::writeDefinition()
{
    QFETCH(QStringList, periods);
    QFETCH(QString, definition);

    QList<TimePeriod> list;
    for (const QString &text : periods)
        list << TimePeriod::fromDefinition(text);
    QCOMPARE(TimeModel::definitionFromPeriods(list), definition);
}

void TestTimePeriod::normalisedWriteBack_data()
{
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("normalised");

    QTest::newRow("token order") << "mon,tue,wed,thu,fri,sat,sun,hol-05:00-21:00|sat-05:00-14:00"
                                 << "sun,mon,tue,wed,thu,fri,sat,hol-05:00-21:00|sat-05:00-14:00";
    QTest::newRow("eight periods")
        << "mon-01:00-23:00|tue-02:30-21:30|wed-04:00-20:00|thu-05:15-19:17|fri-06:00-18:30|"
           "sat-07:18-18:00|sun-08:00-17:40|hol-09:20-17:10"
        << "mon-01:00-23:00|tue-02:30-21:30|wed-04:00-20:00|thu-05:15-19:17|fri-06:00-18:30|"
           "sat-07:18-18:00|sun-08:00-17:40|hol-09:20-17:10";
    QTest::newRow("padding") << "fri,mon-6:0-9:5"
                             << "mon,fri-06:00-09:05";
    QTest::newRow("never between keeps its field") << "mon-06:00-20:00|mon-09:00-08:00|"
                                                      "sat-05:00-14:00"
                                                   << "mon-06:00-20:00||sat-05:00-14:00";
    QTest::newRow("leading never disappears") << "|mon-06:00-20:00"
                                              << "mon-06:00-20:00";
    QTest::newRow("more than eight periods kept")
        << "mon-01:00-02:00|mon-02:00-03:00|mon-03:00-04:00|mon-04:00-05:00|mon-05:00-06:00|"
           "mon-06:00-07:00|mon-07:00-08:00|mon-08:00-09:00|mon-09:00-10:00"
        << "mon-01:00-02:00|mon-02:00-03:00|mon-03:00-04:00|mon-04:00-05:00|mon-05:00-06:00|"
           "mon-06:00-07:00|mon-07:00-08:00|mon-08:00-09:00|mon-09:00-10:00";
}

void TestTimePeriod::normalisedWriteBack()
{
    QFETCH(QString, definition);
    QFETCH(QString, normalised);

    const QString written = TimeModel::definitionFromPeriods(TimeModel(definition).periods());
    QCOMPARE(written, normalised);
    // Normalising is idempotent.
    QCOMPARE(TimeModel::definitionFromPeriods(TimeModel(written).periods()), normalised);
}

void TestTimePeriod::modelReader()
{
    TimeModel model(QStringLiteral("mon-06:00-20:00|*-*-*|"));
    TimePeriod period;
    QVERIFY(model.first(period));
    QCOMPARE(period.toDefinition(), QStringLiteral("mon-06:00-20:00"));
    QVERIFY(model.next(period));
    QVERIFY(period.isAlways());
    QVERIFY(model.next(period));
    QVERIFY(period.isNever());
    QVERIFY(!model.next(period));
    // first() starts over.
    QVERIFY(model.first(period));
    QCOMPARE(period.toDefinition(), QStringLiteral("mon-06:00-20:00"));

    TimeModel empty;
    QVERIFY(empty.first(period));
    QVERIFY(period.isNever());
    QVERIFY(!empty.next(period));
}

void TestTimePeriod::unreadableUntilSet()
{
    TimePeriod period = TimePeriod::fromDefinition(QStringLiteral("mon,tue-0600-20:00"));
    QCOMPARE(period.days(), 0x06);
    QVERIFY(period.isNever());
    QCOMPARE(period.toDisplay(), QStringLiteral("Never"));
    // Setting the time explicitly makes it a period like any other.
    QVERIFY(period.setStartText(QStringLiteral("06:00")));
    QVERIFY(period.setEndText(QStringLiteral("20:00")));
    QVERIFY(period.isActive());
    QCOMPARE(period.toDefinition(), QStringLiteral("mon,tue-06:00-20:00"));
    QVERIFY(period == TimePeriod::fromDefinition(QStringLiteral("mon,tue-06:00-20:00")));
}

KX_TEST_MAIN(TestTimePeriod)
#include "tst_timeperiod.moc"
