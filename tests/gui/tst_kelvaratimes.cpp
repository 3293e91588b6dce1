// The time model view, its editor with the period fields, the holiday editor
// and the date dialog, driven offscreen; and one round trip from an edited
// model through an update to a virtual reader's decisions at the door.
#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/holidayrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvaraupdatethread.h"
#include "support/testsupport.h"
#include "views/board/kelvarawhydialog.h"
#include "views/editors/kelvaraeditdate.h"
#include "views/editors/kelvaraeditholidays.h"
#include "views/editors/kelvaraedittimemodel.h"
#include "views/editors/kelvarapublicholidays.h"
#include "views/editors/kelvaratimeperiod.h"
#include "views/lists/kelvaratimes.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxsizing.h"
#include "widgets/kxtablewidget.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

struct Box
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A project with two access readers, one programmer reader, a user with a
// short-range card and the model "OF" (weekdays 07:00-19:00) at "Door".
struct Site
{
    TestSupport::TempProject project{QStringLiteral("Site")};
    int office = 0;
    int door = 0;
    int gate = 0;
    int desk = 0;
    int user = 0;

    explicit Site(int doorPort = 0)
    {
        TimeModelRecords::addTimeModel(db(),
                                       {0, QStringLiteral("OF"), QStringLiteral("Office"),
                                        QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00")},
                                       &office);
        UserRow u;
        u.familyName = QStringLiteral("Abel");
        u.firstName = QStringLiteral("Ann");
        u.groupName = QStringLiteral("Staff");
        u.iddIso14443 =
            TransponderIdd::fromHex(QStringLiteral("04a1b2c3d4e5f6"), TransponderIdd::Iso14443A)
                .toStored();
        UserRecords::addUser(db(), u, &user);
        door = addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"), doorPort);
        gate = addEntry(QStringLiteral("Gate"), 101, QStringLiteral("2002"), 0);
        desk = addEntry(QStringLiteral("Desk"), 82, QStringLiteral("3003"), 0);
        AccessRights::changeBoardCell(db(), {user}, {door}, office);
        clearMarks();
    }
    QString db() const { return project.databasePath(); }

    int addEntry(const QString &name, int type, const QString &serNo, int port)
    {
        EntryRow e;
        e.doorName = name;
        e.areaName = QStringLiteral("Hall");
        e.readerType = type;
        e.readerSerNo = serNo;
        if (port > 0) {
            e.ipAddr = QStringLiteral("127.0.0.1");
            e.port = port;
        }
        int key = 0;
        EntryRecords::addEntry(db(), e, &key);
        return key;
    }
    void clearMarks() const
    {
        ProjectDatabase database(db());
        database.open();
        QSqlQuery q = database.query();
        q.exec(QStringLiteral("update doors set needsUpdate=0"));
    }
    QSet<int> marked() const
    {
        QSet<int> keys;
        ProjectDatabase database(db());
        database.open();
        QSqlQuery q = database.query();
        q.exec(QStringLiteral("select PKdoors from doors where needsUpdate=1"));
        while (q.next())
            keys.insert(q.value(0).toInt());
        return keys;
    }
    QList<TimeModelRow> models() const
    {
        QList<TimeModelRow> rows;
        TimeModelRecords::listTimeModels(db(), TimeModelRecords::SortByTag, rows);
        return rows;
    }
    TimeModelRow model(const QString &tag) const
    {
        for (const TimeModelRow &row : models()) {
            if (row.modelTag == tag)
                return row;
        }
        return TimeModelRow();
    }
    QStringList holidays() const
    {
        QList<HolidayRow> rows;
        HolidayRecords::listHolidays(db(), rows);
        QStringList texts;
        for (const HolidayRow &row : qAsConst(rows))
            texts << row.date + QLatin1Char(' ') + row.comment;
        return texts;
    }
};

// Runs the work on the modal dialog of type D once it is shown. A different
// dialog is rejected, so a wrong turn fails the test instead of hanging it.
template<typename D> void onModal(std::function<void(D *)> work)
{
    QTimer::singleShot(0, [work] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<D *>(modal)) {
            work(dialog);
            return;
        }
        if (auto *other = qobject_cast<QDialog *>(modal))
            other->reject();
        QFAIL("the expected dialog did not open");
    });
}

// Fills a period field through its widgets: day bits, "From" and "To".
void fill(KelvaraTimePeriod *field, int days, const QString &from, const QString &to)
{
    for (int bit = 0; bit < TimePeriod::DayCount; ++bit)
        field->dayBox(bit)->setChecked(days & (1 << bit));
    field->fromEdit()->selectAll();
    QTest::keyClicks(field->fromEdit(), QString(from).remove(QLatin1Char(':')));
    field->toEdit()->selectAll();
    QTest::keyClicks(field->toEdit(), QString(to).remove(QLatin1Char(':')));
}

std::vector<uint8_t> bytesOf(const QString &hex)
{
    const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

kxsim::SimDateTime at(const QDate &date, int hour, int minute = 0)
{
    return kxsim::SimDateTime{date.year(), date.month(), date.day(), hour, minute, 0};
}

} // namespace

class TestKelvaraTimes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void newProjectShowsAlways();
    void tagWithoutHash_data();
    void tagWithoutHash();
    void saveChecks_data();
    void saveChecks();
    void fieldLimits();
    void tenStoredPeriods();
    void tabFollowsTheForm();
    void datesInTheLanguage_data();
    void datesInTheLanguage();
    void liveDisplayAndFlags_data();
    void liveDisplayAndFlags();
    void editMarks_data();
    void editMarks();
    void addSelectsTheNewModel();
    void removeModel();
    void holidayDates_data();
    void holidayDates();
    void holidayEditor();
    void publicHolidays();
    void refusedMarksStoreNothing_data();
    void refusedMarksStoreNothing();
    void databaseThatDoesNotOpen();
    void mainWindowReachesTheView();
    void roundTripToReader();
    void screenshots();

private:
    QList<Box> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::No;
    ApplicationSettings m_settings;
};

void TestKelvaraTimes::initTestCase()
{
    kxInitResources();
    // Dates show in the language's form; these tests read German ones.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_boxes.append({icon, title, text});
            return icon == QMessageBox::Question ? m_answer : QMessageBox::Ok;
        });
}

void TestKelvaraTimes::init()
{
    m_boxes.clear();
    m_answer = QMessageBox::No;
    m_settings = ApplicationSettings();
    m_settings.areToolTipsOn = false;
}

void TestKelvaraTimes::newProjectShowsAlways()
{
    TestSupport::TempProject project;
    KelvaraTimes view(m_settings);
    view.setDatabasePath(project.databasePath());
    view.show();
    view.buildList(); // a second build adds no second built-in model
    QTableWidget *table = view.table();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, KelvaraTimes::TagColumn)->text(), QStringLiteral("***"));
    QCOMPARE(table->item(0, KelvaraTimes::NameColumn)->text(), QStringLiteral("Always"));
    QCOMPARE(table->item(0, KelvaraTimes::DefinitionColumn)->text(), QStringLiteral("Always"));
    QCOMPARE(table->item(0, KelvaraTimes::DefinitionColumn)->data(Qt::UserRole).toString(),
             QStringLiteral("*-*-*"));
    QCOMPARE(table->item(0, KelvaraTimes::DefinitionColumn)->background().color(),
             QColor(240, 245, 255));
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));

    // The built-in model can be neither edited nor removed: no dialog, no question.
    table->setCurrentCell(0, 0);
    QVERIFY(!view.editButton()->isEnabled());
    QVERIFY(!view.removeButton()->isEnabled());
    QVERIFY(view.addButton()->isEnabled());
    m_answer = QMessageBox::Yes;
    view.editModel();
    view.cellDoubleClicked(0, 2);
    view.removeModel();
    QVERIFY(m_boxes.isEmpty());
    view.buildList();
    QCOMPARE(table->rowCount(), 1);

    // Without a project nothing can be added.
    KelvaraTimes empty(m_settings);
    empty.show();
    QCOMPARE(empty.table()->rowCount(), 0);
    QVERIFY(!empty.addButton()->isEnabled());
    QVERIFY(!empty.holidaysButton()->isEnabled());
}

void TestKelvaraTimes::tagWithoutHash_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("typed between two letters") << "A#B" << false << "AB";
    QTest::newRow("typed alone") << "#" << false << "";
    QTest::newRow("pasted") << "#X#" << true << "X";
    QTest::newRow("longer than three") << "ABCD" << false << "ABC";
}

void TestKelvaraTimes::tagWithoutHash()
{
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    KelvaraEditTimeModel editor{QString()};
    if (pasted) {
        QApplication::clipboard()->setText(typed);
        editor.tagEdit()->paste();
    } else {
        QTest::keyClicks(editor.tagEdit(), typed);
    }
    QCOMPARE(editor.tagEdit()->text(), shown);
}

void TestKelvaraTimes::saveChecks_data()
{
    constexpr int mon = TimePeriod::Monday;
    constexpr int tue = TimePeriod::Tuesday;
    constexpr int weekdays = 0x3E;
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    // Per field: day bits, from, to.
    QTest::addColumn<QVariantList>("fields");
    QTest::addColumn<QString>("boxTitle"); // empty: saved
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("stored");

    const auto field = [](int days, const char *from, const char *to) {
        return QVariant(QVariantList{days, QLatin1String(from), QLatin1String(to)});
    };
    const QVariantList oneValid{field(weekdays, "06:00", "20:00")};
    QTest::newRow("no tag") << ""
                            << "Day" << oneValid << "Missing information"
                            << "No model tag given"
                            << "";
    QTest::newRow("blank tag") << "  "
                               << "Day" << oneValid << "Missing information"
                               << "No model tag given"
                               << "";
    QTest::newRow("reserved tag") << "***"
                                  << "Day" << oneValid << "Missing information"
                                  << "Illegal model tag"
                                  << "";
    QTest::newRow("no name") << "D"
                             << "" << oneValid << "Missing information"
                             << "No model name given"
                             << "";
    QTest::newRow("all fields never")
        << "D"
        << "Day" << QVariantList{field(0, "06:00", "20:00"), field(0, "00:00", "24:00")}
        << "Missing information"
        << "No model definition given"
        << "";
    QTest::newRow("valid, never, valid")
        << "D"
        << "Day"
        << QVariantList{field(mon, "06:00", "20:00"), field(0, "00:00", "24:00"),
                        field(tue, "07:30", "12:00")}
        << ""
        << ""
        << "mon-06:00-20:00||tue-07:30-12:00";
    QTest::newRow("never, valid") << "D"
                                  << "Day"
                                  << QVariantList{field(0, "06:00", "20:00"),
                                                  field(tue, "07:30", "12:00")}
                                  << ""
                                  << ""
                                  << "tue-07:30-12:00";
    QTest::newRow("whole days with holidays")
        << "D"
        << "Day" << QVariantList{field(0xFF, "00:00", "24:00")} << ""
        << ""
        << "sun,mon,tue,wed,thu,fri,sat,hol-00:00-24:00";
    QTest::newRow("quotes in the name") << "Q'"
                                        << "O'Brien's \"late\" shift" << oneValid << ""
                                        << ""
                                        << "mon,tue,wed,thu,fri-06:00-20:00";
    QTest::newRow("from later than to")
        << "D"
        << "Day" << QVariantList{field(mon, "22:00", "06:00")} << "Invalid period"
        << "Period 1: 'From' must be earlier than 'To'; a period cannot cross midnight (use two "
           "periods)."
        << "";
    QTest::newRow("from equals to")
        << "D"
        << "Day" << QVariantList{oneValid.first(), field(mon, "08:00", "08:00")} << "Invalid period"
        << "Period 2: 'From' must be earlier than 'To'; a period cannot cross midnight (use two "
           "periods)."
        << "";
    QTest::newRow("past 24:00") << "D"
                                << "Day" << QVariantList{field(mon, "08:00", "24:30")}
                                << "Invalid period"
                                << "Period 1: 'To' 24:30 is no time of day (00:00 to 24:00)."
                                << "";
    QTest::newRow("minutes past 59")
        << "D"
        << "Day" << QVariantList{field(mon, "07:75", "12:00")} << "Invalid period"
        << "Period 1: 'From' 07:75 is no time of day (00:00 to "
           "24:00)."
        << "";
    QTest::newRow("hours past 24")
        << "D"
        << "Day" << QVariantList{field(mon, "07:00", "31:00")} << "Invalid period"
        << "Period 1: 'To' 31:00 is no time of day (00:00 to 24:00)."
        << "";
    QTest::newRow("incomplete time")
        << "D"
        << "Day" << QVariantList{field(mon, "7", "12:00")} << "Invalid period"
        << "Period 1: Enter 'From' as HH:MM."
        << "";
    QTest::newRow("a bad never field is no problem")
        << "D"
        << "Day" << QVariantList{field(0, "22:00", "06:00"), field(mon, "08:00", "09:00")} << ""
        << ""
        << "mon-08:00-09:00";
    QTest::newRow("tag in use") << "OF"
                                << "Other" << oneValid << "DB add time model"
                                << ""
                                << "";
    QTest::newRow("name in use") << "NEW"
                                 << "Office" << oneValid << "DB add time model"
                                 << ""
                                 << "";
}

void TestKelvaraTimes::saveChecks()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QVariantList, fields);
    QFETCH(QString, boxTitle);
    QFETCH(QString, boxText);
    QFETCH(QString, stored);
    Site site;
    const int modelsBefore = site.models().size();
    KelvaraEditTimeModel editor(site.db());
    QCOMPARE(editor.windowTitle(), QStringLiteral("Add Time Model"));
    QTest::keyClicks(editor.tagEdit(), tag);
    QTest::keyClicks(editor.nameEdit(), name);
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            editor.addPeriod();
        const QVariantList f = fields.at(i).toList();
        fill(editor.periodFields().at(i), f.at(0).toInt(), f.at(1).toString(), f.at(2).toString());
    }
    editor.show();
    QTest::mouseClick(editor.saveButton(), Qt::LeftButton);

    if (boxTitle.isEmpty()) {
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).text));
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        const TimeModelRow row = site.model(tag.trimmed());
        QCOMPARE(row.modelName, name);
        QCOMPARE(row.modelDefinition, stored);
        QCOMPARE(editor.savedModel().pkTimes, row.pkTimes);
        return;
    }
    // Refused: the dialog stays open and nothing is stored.
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.first().title, boxTitle);
    if (!boxText.isEmpty())
        QCOMPARE(m_boxes.first().text, boxText);
    QVERIFY(editor.isVisible());
    QCOMPARE(site.models().size(), modelsBefore);
}

void TestKelvaraTimes::fieldLimits()
{
    KelvaraEditTimeModel editor{QString()};
    QCOMPARE(editor.periodFields().size(), 1);
    QVERIFY(!editor.removeButton()->isEnabled());
    editor.removePeriod(); // the last field stays
    QCOMPARE(editor.periodFields().size(), 1);
    for (int i = 0; i < 10; ++i)
        editor.addPeriod();
    QCOMPARE(editor.periodFields().size(), 8);
    QVERIFY(!editor.addButton()->isEnabled());
    QCOMPARE(editor.periodFields().last()->number(), 8);
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(editor.removeButton(), Qt::LeftButton);
    QCOMPARE(editor.periodFields().size(), 1);
    QVERIFY(editor.addButton()->isEnabled());
}

void TestKelvaraTimes::tenStoredPeriods()
{
    QStringList periods;
    for (int i = 0; i < 10; ++i)
        periods << QStringLiteral("mon-%1:00-%2:30").arg(i + 10).arg(i + 10);
    const QString stored = periods.join(QLatin1Char('|'));
    KelvaraEditTimeModel editor{QString()};
    editor.setModel({7, QStringLiteral("TEN"), QStringLiteral("Ten"), stored});
    QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Time Model"));
    QCOMPARE(editor.periodFields().size(), 10);
    QCOMPARE(editor.definition(), stored);
    QVERIFY(!editor.addButton()->isEnabled());
    editor.addPeriod();
    QCOMPARE(editor.periodFields().size(), 10);
    editor.removePeriod();
    QCOMPARE(editor.periodFields().size(), 9);
    QVERIFY(!editor.addButton()->isEnabled());
}

void TestKelvaraTimes::tabFollowsTheForm()
{
    KelvaraEditTimeModel editor{QString()};
    editor.setModel({7, QStringLiteral("TWO"), QStringLiteral("Two"),
                     QStringLiteral("mon-08:00-12:00|tue-08:00-12:00")});
    editor.addPeriod(); // a field made after the buttons
    editor.show();
    QApplication::setActiveWindow(&editor);
    editor.tagEdit()->setFocus();
    // Where each stop belongs: tag, name, period 1, 2, 3, then the buttons.
    const QList<KelvaraTimePeriod *> fields = editor.periodFields();
    const auto rank = [&](QWidget *w) {
        if (w == editor.tagEdit())
            return 0;
        if (w == editor.nameEdit())
            return 1;
        for (int i = 0; i < fields.size(); ++i) {
            if (fields.at(i)->isAncestorOf(w))
                return 2 + i;
        }
        const QList<QWidget *> buttons{editor.addButton(), editor.removeButton(),
                                       editor.saveButton()};
        return buttons.contains(w) ? 10 + int(buttons.indexOf(w)) : 20;
    };
    QList<int> ranks;
    for (int i = 0; i < 60 && (ranks.isEmpty() || QApplication::focusWidget() != editor.tagEdit());
         ++i) {
        ranks << rank(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(ranks.mid(0, 3), (QList<int>{0, 1, 2}));
    QList<int> sorted = ranks;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(ranks, sorted);
    // Every period and the Save button are reached; only Cancel comes after Save.
    for (int r : {2, 3, 4, 10, 11, 12})
        QVERIFY2(ranks.contains(r), qPrintable(QString::number(r)));
    QCOMPARE(ranks.count(20), 1);
}

void TestKelvaraTimes::datesInTheLanguage_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("listed");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "25.12.2030";
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates) << "12/25/2030";
}

// The holiday list, the holiday dialog and Why...? write a date alike.
void TestKelvaraTimes::datesInTheLanguage()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, listed);
    const QLocale before;
    QLocale::setDefault(locale);
    Site site;
    QVERIFY(!HolidayRecords::addHoliday(
                 site.db(), {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas")})
                 .isValid());
    KelvaraEditHolidays editor(m_settings, site.db());
    const QString shown = editor.table()->item(0, KelvaraEditHolidays::DateColumn)->text();
    KelvaraEditDate dialog(site.db());
    const QString lastDay = dialog.findChild<QDateEdit *>()->displayFormat();
    ProjectParameters params;
    params.databasePath = site.db();
    params.projectPath = site.project.folder();
    KelvaraWhyDialog why(params, 0, 0);
    const QString moment = why.findChild<QDateTimeEdit *>()->displayFormat();
    QLocale::setDefault(before);
    QCOMPARE(shown, listed);
    QCOMPARE(QDate(2030, 12, 25).toString(lastDay), listed);
    QVERIFY2(moment.startsWith(lastDay), qPrintable(moment));
}

void TestKelvaraTimes::liveDisplayAndFlags_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("fieldDisplay"); // of the first field
    QTest::addColumn<bool>("flagged");
    QTest::addColumn<QString>("modelDisplay");
    QTest::addColumn<QString>("definition");
    QTest::newRow("weekdays") << "mon,tue,wed,thu,fri-07:00-19:00"
                              << "= Monday,Tuesday,Wednesday,Thursday,Friday: 07:00-19:00" << false
                              << "Monday,Tuesday,Wednesday,Thursday,Friday: 07:00-19:00"
                              << "mon,tue,wed,thu,fri-07:00-19:00";
    QTest::newRow("always stays always") << "*-*-*"
                                         << "= Always" << false << "Always"
                                         << "*-*-*";
    QTest::newRow("two periods") << "sat-08:00-12:00|hol-09:00-10:00"
                                 << "= Saturday: 08:00-12:00" << false
                                 << "Saturday: 08:00-12:00 | Holiday: 09:00-10:00"
                                 << "sat-08:00-12:00|hol-09:00-10:00";
    QTest::newRow("over midnight is flagged")
        << "mon-22:00-06:00"
        << "'From' must be earlier than 'To'; a period cannot cross midnight (use two periods)."
        << true << "Correct the marked times first: Period 1"
        << "";
    QTest::newRow("unreadable times are flagged, not a whole day")
        << "mon-0600-2000"
        << "Enter 'From' as HH:MM." << true << "Correct the marked times first: Period 1"
        << "";
    QTest::newRow("no day") << ""
                            << "= Never" << false
                            << "No access at any time: check at least one day."
                            << "";
}

void TestKelvaraTimes::liveDisplayAndFlags()
{
    QFETCH(QString, stored);
    QFETCH(QString, fieldDisplay);
    QFETCH(bool, flagged);
    QFETCH(QString, modelDisplay);
    QFETCH(QString, definition);
    KelvaraEditTimeModel editor{QString()};
    editor.setModel({3, QStringLiteral("M"), QStringLiteral("Model"), stored});
    KelvaraTimePeriod *first = editor.periodFields().first();
    QCOMPARE(first->displayLabel()->text(), fieldDisplay);
    QCOMPARE(first->hasProblem(), flagged);
    QCOMPARE(first->fromEdit()->styleSheet().contains(QLatin1String("background")), flagged);
    QCOMPARE(editor.modelDisplayLabel()->text(), modelDisplay);
    QCOMPARE(editor.definitionLabel()->text(), definition);

    // Any change shows at once: Sunday added to the first field.
    fill(first, TimePeriod::Sunday, QStringLiteral("10:00"), QStringLiteral("11:00"));
    QCOMPARE(first->displayLabel()->text(), QStringLiteral("= Sunday: 10:00-11:00"));
    QVERIFY(!first->hasProblem());
    QVERIFY(editor.definitionLabel()->text().startsWith(QLatin1String("sun-10:00-11:00")));
}

void TestKelvaraTimes::editMarks_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("to"); // of the first period
    QTest::addColumn<bool>("marks");
    QTest::newRow("name only") << "OF"
                               << "Office hours"
                               << "19:00" << false;
    QTest::newRow("tag only") << "OFF"
                              << "Office"
                              << "19:00" << false;
    QTest::newRow("period") << "OF"
                            << "Office"
                            << "18:00" << true;
}

void TestKelvaraTimes::editMarks()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, to);
    QFETCH(bool, marks);
    Site site;
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.show();
    QSignalSpy changed(&view, &KelvaraTimes::changed);
    const int row = view.rowOfTag(QStringLiteral("OF"));
    QVERIFY(row >= 0);
    onModal<KelvaraEditTimeModel>([&](KelvaraEditTimeModel *editor) {
        QCOMPARE(editor->tagEdit()->text(), QStringLiteral("OF"));
        QCOMPARE(editor->periodFields().size(), 1);
        editor->tagEdit()->setText(tag);
        editor->nameEdit()->setText(name);
        editor->periodFields().first()->toEdit()->setText(to);
        editor->accept();
        if (editor->isVisible())
            editor->reject();
    });
    view.cellDoubleClicked(row, KelvaraTimes::NameColumn);
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).text));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(site.marked(), marks ? QSet<int>{site.door} : QSet<int>());
    QCOMPARE(site.model(tag).modelName, name);
    // The saved model is the current row again.
    QCOMPARE(view.table()->currentRow(), view.rowOfTag(tag));
}

void TestKelvaraTimes::addSelectsTheNewModel()
{
    Site site;
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.show();
    onModal<KelvaraEditTimeModel>([](KelvaraEditTimeModel *editor) {
        QTest::keyClicks(editor->tagEdit(), QStringLiteral("A"));
        QTest::keyClicks(editor->nameEdit(), QStringLiteral("Early"));
        fill(editor->periodFields().first(), 0x3E, QStringLiteral("05:00"),
             QStringLiteral("07:00"));
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    });
    QTest::mouseClick(view.addButton(), Qt::LeftButton);
    const int row = view.rowOfTag(QStringLiteral("A"));
    QCOMPARE(row, 1); // by tag: "***", "A", "OF"
    QCOMPARE(view.table()->currentRow(), row);
    QCOMPARE(view.table()->item(row, KelvaraTimes::DefinitionColumn)->text(),
             QStringLiteral("Monday,Tuesday,Wednesday,Thursday,Friday: 05:00-07:00"));
    // A new model marks nothing: nobody has it yet.
    QVERIFY(site.marked().isEmpty());
}

void TestKelvaraTimes::removeModel()
{
    Site site;
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.show();
    QSignalSpy changed(&view, &KelvaraTimes::changed);
    view.table()->setCurrentCell(view.rowOfTag(QStringLiteral("OF")), 0);
    QVERIFY(view.removeButton()->isEnabled());

    m_answer = QMessageBox::No;
    view.removeModel();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().title, QStringLiteral("Remove Time Model"));
    QCOMPARE(m_boxes.first().text,
             QStringLiteral("Do you really want to remove the selected time model?"));
    QVERIFY(view.rowOfTag(QStringLiteral("OF")) >= 0);
    QVERIFY(site.marked().isEmpty());

    m_answer = QMessageBox::Yes;
    QTest::mouseClick(view.removeButton(), Qt::LeftButton);
    QCOMPARE(view.rowOfTag(QStringLiteral("OF")), -1);
    QCOMPARE(site.marked(), QSet<int>{site.door});
    QList<AccessRow> rights;
    QVERIFY(!AccessRights::listAccess(site.db(), rights).isValid());
    QVERIFY(rights.isEmpty());
    QCOMPARE(changed.count(), 1);
}

void TestKelvaraTimes::holidayDates_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last"); // invalid: one date
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("boxTitle");
    QTest::addColumn<QStringList>("stored");
    const QStringList before{QStringLiteral("2030.12.25 Christmas")};
    QTest::newRow("one date, quotes in the comment")
        << QDate(2030, 5, 1) << QDate() << 0 << ""
        << QStringList{QStringLiteral("2030.05.01 O'Neil's \"day\""), before.first()};
    QTest::newRow("a date already a holiday")
        << QDate(2030, 12, 25) << QDate() << 0 << "DB add holiday" << before;
    QTest::newRow("a closure") << QDate(2030, 12, 27) << QDate(2030, 12, 29) << 0 << ""
                               << QStringList{before.first(),
                                              QStringLiteral("2030.12.27 O'Neil's \"day\""),
                                              QStringLiteral("2030.12.28 O'Neil's \"day\""),
                                              QStringLiteral("2030.12.29 O'Neil's \"day\"")};
    QTest::newRow("a closure over a holiday, others added")
        << QDate(2030, 12, 24) << QDate(2030, 12, 26) << int(QMessageBox::Yes) << "DB add holiday"
        << QStringList{QStringLiteral("2030.12.24 O'Neil's \"day\""), before.first(),
                       QStringLiteral("2030.12.26 O'Neil's \"day\"")};
    QTest::newRow("a closure over a holiday, declined")
        << QDate(2030, 12, 24) << QDate(2030, 12, 26) << int(QMessageBox::No) << "DB add holiday"
        << before;
    QTest::newRow("last day before the first")
        << QDate(2030, 12, 24) << QDate(2030, 12, 20) << 0 << "Missing information" << before;
    QTest::newRow("more than a year")
        << QDate(2030, 1, 1) << QDate(2031, 6, 1) << 0 << "Missing information" << before;
}

void TestKelvaraTimes::holidayDates()
{
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, answer);
    QFETCH(QString, boxTitle);
    QFETCH(QStringList, stored);
    Site site;
    QVERIFY(!HolidayRecords::addHoliday(
                 site.db(), {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas")})
                 .isValid());
    site.clearMarks();
    m_answer = QMessageBox::StandardButton(answer);

    KelvaraEditDate dialog(site.db());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Holiday Date"));
    QCOMPARE(dialog.calendar()->selectedDate(), QDate::currentDate());
    dialog.calendar()->setSelectedDate(first);
    if (last.isValid()) {
        dialog.rangeBox()->setChecked(true);
        dialog.lastDayEdit()->setDate(last);
    }
    dialog.commentEdit()->setText(QStringLiteral("O'Neil's \"day\""));
    dialog.show();
    dialog.accept();

    QCOMPARE(site.holidays(), stored);
    const bool saved = stored.size() > 1;
    QCOMPARE(dialog.result(), saved ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.isVisible(), !saved);
    QCOMPARE(m_boxes.isEmpty(), boxTitle.isEmpty());
    if (!boxTitle.isEmpty())
        QCOMPARE(m_boxes.first().title, boxTitle);
    // Every stored change marks the access readers, never the desk reader.
    QCOMPARE(site.marked(), (saved ? QSet<int>{site.door, site.gate} : QSet<int>()));
}

void TestKelvaraTimes::holidayEditor()
{
    Site site;
    QVERIFY(!HolidayRecords::addHoliday(
                 site.db(), {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas")})
                 .isValid());
    QVERIFY(!HolidayRecords::addHoliday(site.db(), {0, QStringLiteral("2020.01.01"), QString()})
                 .isValid());
    site.clearMarks();
    KelvaraEditHolidays editor(m_settings, site.db());
    QCOMPARE(editor.windowTitle(), QStringLiteral("Holiday Editor"));
    QTableWidget *table = editor.table();
    // The size it was first stored with shows every column without scrolling.
    kxPlaceDialog(&editor, QSize(400, 300));
    editor.show();
    QVERIFY(!table->horizontalScrollBar()->isVisible());
    editor.hide();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, KelvaraEditHolidays::DateColumn)->text(), QStringLiteral("01.01.2020"));
    QCOMPARE(table->item(1, KelvaraEditHolidays::DateColumn)->text(), QStringLiteral("25.12.2030"));
    QCOMPARE(table->item(1, KelvaraEditHolidays::WeekdayColumn)->text(),
             QStringLiteral("Wednesday"));
    QCOMPARE(table->item(1, KelvaraEditHolidays::CommentColumn)->text(),
             QStringLiteral("Christmas"));
    // Past holidays are greyed: readers no longer receive them.
    QCOMPARE(table->item(0, 0)->foreground().color(), QColor(150, 150, 150));
    QVERIFY(!editor.editButton()->isEnabled());

    // A double click edits: the dialog shows the date and comment, the date moves.
    onModal<KelvaraEditDate>([](KelvaraEditDate *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Holiday Date"));
        QCOMPARE(dialog->calendar()->selectedDate(), QDate(2030, 12, 25));
        QCOMPARE(dialog->commentEdit()->text(), QStringLiteral("Christmas"));
        QVERIFY(!dialog->rangeBox()->isVisible());
        dialog->calendar()->setSelectedDate(QDate(2030, 12, 26));
        dialog->accept();
    });
    editor.itemDoubleClicked(table->item(1, KelvaraEditHolidays::CommentColumn));
    QCOMPARE(site.holidays(),
             (QStringList{QStringLiteral("2020.01.01 "), QStringLiteral("2030.12.26 Christmas")}));
    QCOMPARE(table->item(1, KelvaraEditHolidays::WeekdayColumn)->text(),
             QStringLiteral("Thursday"));
    QCOMPARE(table->currentRow(), 1);
    QCOMPARE(site.marked(), (QSet<int>{site.door, site.gate}));

    // Moving it onto another holiday is refused with the dialog open.
    site.clearMarks();
    onModal<KelvaraEditDate>([this](KelvaraEditDate *dialog) {
        dialog->calendar()->setSelectedDate(QDate(2020, 1, 1));
        dialog->accept();
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().title, QStringLiteral("DB edit holiday"));
        dialog->reject();
    });
    QTest::mouseClick(editor.editButton(), Qt::LeftButton);
    QVERIFY(site.marked().isEmpty());

    // Removing asks first.
    m_boxes.clear();
    m_answer = QMessageBox::Yes;
    QTest::mouseClick(editor.removeButton(), Qt::LeftButton);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().title, QStringLiteral("Remove Holiday"));
    QCOMPARE(site.holidays(), QStringList{QStringLiteral("2020.01.01 ")});
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(site.marked(), (QSet<int>{site.door, site.gate}));
    QVERIFY(editor.hasChanged());
}

void TestKelvaraTimes::refusedMarksStoreNothing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("boxTitle");
    QTest::newRow("definition changed") << "edit"
                                        << "DB edit time model";
    QTest::newRow("model removed") << "remove"
                                   << "DB remove times";
    QTest::newRow("holiday added") << "holiday"
                                   << "DB add holiday";
}

void TestKelvaraTimes::refusedMarksStoreNothing()
{
    QFETCH(QString, change);
    QFETCH(QString, boxTitle);
    Site site;
    {
        // The marks cannot be written: the change must not be stored without them.
        ProjectDatabase db(site.db());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(QStringLiteral("create trigger nomarks before update on doors begin "
                                      "select raise(abort, 'marks refused'); end")));
    }
    m_answer = QMessageBox::Yes;
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.show();
    view.table()->setCurrentCell(view.rowOfTag(QStringLiteral("OF")), 0);
    if (change == QLatin1String("edit")) {
        onModal<KelvaraEditTimeModel>([](KelvaraEditTimeModel *editor) {
            editor->periodFields().first()->toEdit()->setText(QStringLiteral("18:00"));
            editor->accept();
            QVERIFY(editor->isVisible());
            editor->reject();
        });
        view.editModel();
    } else if (change == QLatin1String("remove")) {
        view.removeModel();
    } else {
        KelvaraEditDate dialog(site.db());
        dialog.calendar()->setSelectedDate(QDate(2030, 5, 1));
        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible());
    }
    QCOMPARE(m_boxes.last().title, boxTitle);
    QCOMPARE(site.model(QStringLiteral("OF")).modelDefinition,
             QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00"));
    QList<AccessRow> rights;
    QVERIFY(!AccessRights::listAccess(site.db(), rights).isValid());
    QCOMPARE(rights.size(), 1);
    QVERIFY(site.holidays().isEmpty());
}

void TestKelvaraTimes::databaseThatDoesNotOpen()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/gone/Site.sqlite3");
    KelvaraEditTimeModel editor(path);
    QTest::keyClicks(editor.tagEdit(), QStringLiteral("A"));
    QTest::keyClicks(editor.nameEdit(), QStringLiteral("Day"));
    fill(editor.periodFields().first(), TimePeriod::Monday, QStringLiteral("08:00"),
         QStringLiteral("09:00"));
    editor.show();
    editor.accept();
    KelvaraEditDate date(path);
    date.show();
    date.accept();
    QCOMPARE(m_boxes.size(), 2);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("DB open"));
    QCOMPARE(m_boxes.at(1).title, QStringLiteral("DB open"));
    QVERIFY(editor.isVisible());
    QVERIFY(date.isVisible());
}

void TestKelvaraTimes::mainWindowReachesTheView()
{
    Site site;
    QFile::remove(settingsFilePath());
    ApplicationSettings s;
    s.currentProjectPath = site.project.folder();
    s.isMaximized = false;
    s.timesTableColWidth = {90, 0, 300};
    QVERIFY(s.saveSettings());
    KelvaraMan window;
    window.resize(1200, 700);
    window.show();
    KelvaraTimes *view = window.timesView();
    QVERIFY(view);
    QVERIFY(!view->isVisible());
    window.enterTimes();
    QVERIFY(view->isVisible());
    QVERIFY(!window.board()->isVisible());
    QCOMPARE(view->table()->columnWidth(0), 90);
    QCOMPARE(view->table()->columnWidth(1), 200); // a stored 0 gives 200
    QVERIFY(view->rowOfTag(QStringLiteral("OF")) >= 0);
    QApplication::processEvents();
    QVERIFY(window.grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/times-window.png")));

    // Removing the model rebuilds the board behind the view: the cell is empty.
    const AccessBoard &board = window.boardData();
    const int userRow = board.rowOfUser(site.user);
    const int doorColumn = board.columnOfEntry(site.door);
    QCOMPARE(board.textAt(userRow, doorColumn), QStringLiteral("OF"));
    m_answer = QMessageBox::Yes;
    view->table()->setCurrentCell(view->rowOfTag(QStringLiteral("OF")), 0);
    view->removeModel();
    QList<AccessRow> rights;
    QVERIFY(!AccessRights::listAccess(site.db(), rights).isValid());
    QVERIFY(rights.isEmpty());
    QCOMPARE(board.textAt(board.rowOfUser(site.user), board.columnOfEntry(site.door)), QString());
    window.enterTabKelvara();
    QVERIFY(!view->isVisible());
    QVERIFY(window.board()->isVisible());
    // Column widths go back into the settings record.
    view->table()->setColumnWidth(0, 90);
    QCOMPARE(window.settings().timesTableColWidth.value(0), 90);
}

void TestKelvaraTimes::roundTripToReader()
{
    auto device = std::make_shared<kxsim::VirtualReader>([] {
        kxsim::VirtualReaderSetup setup;
        setup.type = 100;
        setup.deviceId = 0x1001;
        return setup;
    }());
    kxsim::SimReader sim(device);
    QVERIFY(sim.listenTcp("127.0.0.1", 0));
    Site site(sim.tcp().port());
    ProjectParameters params;
    params.projectPath = site.project.folder();
    params.databasePath = site.db();
    params.loadProjectParameters();
    const auto update = [&] {
        QList<EntryTarget> pending;
        EntrySelection::allEntries(true).list(site.db(), pending);
        QList<HolidayRow> holidays;
        HolidayRecords::listUpcomingHolidays(site.db(), holidays);
        KelvaraUpdateThread thread(params);
        thread.setEntries(pending);
        thread.setHolidays(holidays);
        QSignalSpy states(&thread, &KelvaraFunctionThread::state);
        thread.start();
        thread.wait();
        QStringList results;
        for (const QList<QVariant> &s : qAsConst(states))
            results << s.at(0).toString() + QLatin1Char('=') + s.at(1).toString();
        return results;
    };
    const std::vector<uint8_t> card = bytesOf(QStringLiteral("04a1b2c3d4e5f6"));
    // A Monday well ahead, so that it counts as an upcoming holiday later.
    QDate monday = QDate::currentDate().addDays(7);
    while (monday.dayOfWeek() != Qt::Monday)
        monday = monday.addDays(1);

    // The model as stored reaches the reader: 07:00 to 19:00 on weekdays.
    AccessRights::setNeedsUpdateOfEntry(site.db(), site.door, true);
    QCOMPARE(update().filter(QStringLiteral("=0")).size(), 1);
    QVERIFY(device->presentAt(card, at(monday, 7, 30)).granted);

    // Edited in the window to 09:00 to 12:00.
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.show();
    onModal<KelvaraEditTimeModel>([](KelvaraEditTimeModel *editor) {
        KelvaraTimePeriod *field = editor->periodFields().first();
        fill(field, 0x3E, QStringLiteral("09:00"), QStringLiteral("12:00"));
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    });
    view.table()->setCurrentCell(view.rowOfTag(QStringLiteral("OF")), 0);
    QTest::mouseClick(view.editButton(), Qt::LeftButton);
    QCOMPARE(site.marked(), QSet<int>{site.door});
    QCOMPARE(update(), QStringList{QString::number(site.door) + QStringLiteral("=0")});
    QVERIFY(site.marked().isEmpty());
    QVERIFY(!device->presentAt(card, at(monday, 7, 30)).granted);
    QVERIFY(device->presentAt(card, at(monday, 9, 0)).granted);
    QVERIFY(device->presentAt(card, at(monday, 11, 59)).granted);
    QVERIFY(!device->presentAt(card, at(monday, 12, 0)).granted);
    QVERIFY(!device->presentAt(card, at(monday.addDays(5), 10, 0)).granted); // Saturday

    // That Monday made a holiday in the holiday editor: pending again, and
    // after "Update" the door stays shut on it, not on the Monday after.
    onModal<KelvaraEditHolidays>([&](KelvaraEditHolidays *editor) {
        onModal<KelvaraEditDate>([&](KelvaraEditDate *dialog) {
            dialog->calendar()->setSelectedDate(monday);
            dialog->commentEdit()->setText(QStringLiteral("Closed"));
            dialog->accept();
        });
        QTest::mouseClick(editor->addButton(), Qt::LeftButton);
        QTest::mouseClick(editor->endButton(), Qt::LeftButton);
    });
    QSignalSpy changed(&view, &KelvaraTimes::changed);
    QTest::mouseClick(view.holidaysButton(), Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QVERIFY(site.marked().contains(site.door));
    QVERIFY(update().contains(QString::number(site.door) + QStringLiteral("=0")));
    QVERIFY(!device->presentAt(card, at(monday, 10, 0)).granted);
    QVERIFY(device->presentAt(card, at(monday.addDays(7), 10, 0)).granted);
}

void TestKelvaraTimes::publicHolidays()
{
    Site site;
    QVERIFY(!HolidayRecords::addHoliday(site.db(),
                                        {0, QStringLiteral("2027.01.01"), QStringLiteral("mine")})
                 .isValid());
    KelvaraEditHolidays editor(m_settings, site.db());
    QStringList shown; // date, note, checked and enabled of each row
    KelvaraPublicHolidays::setAnswerer([&](KelvaraPublicHolidays *dialog) -> int {
        dialog->regionBox()->setCurrentIndex(
            dialog->regionBox()->findData(QStringLiteral("DE-SN")));
        dialog->lastYearBox()->setValue(2027);
        dialog->firstYearBox()->setValue(2027);
        QTableWidget *table = dialog->table();
        for (int r = 0; r < table->rowCount(); ++r) {
            const QTableWidgetItem *date = table->item(r, KelvaraPublicHolidays::DateColumn);
            shown << QStringLiteral("%1 %2 %3 %4")
                         .arg(date->text(),
                              table->item(r, KelvaraPublicHolidays::NameColumn)->text())
                         .arg(date->checkState() == Qt::Checked)
                         .arg(bool(date->flags() & Qt::ItemIsEnabled));
        }
        table->item(10, KelvaraPublicHolidays::DateColumn)->setCheckState(Qt::Unchecked);
        dialog->addButton()->click();
        return int(QDialog::Rejected);
    });
    editor.publicHolidaysButton()->click();
    KelvaraPublicHolidays::setAnswerer({});
    QCOMPARE(shown.size(), 11);
    // New Year is a holiday already: shown, but not to be added again.
    QCOMPARE(shown.first(), QStringLiteral("01.01.2027 New Year's Day 0 0"));
    QCOMPARE(shown.at(9), QStringLiteral("25.12.2027 Christmas Day 1 1"));
    QVERIFY(editor.hasChanged());
    QCOMPARE(editor.table()->rowCount(), 10);
    QCOMPARE(editor.table()->item(0, KelvaraEditHolidays::CommentColumn)->text(),
             QStringLiteral("mine"));
    QCOMPARE(site.marked(), (QSet<int>{site.door, site.gate}));
    // The region is offered again the next time.
    KelvaraPublicHolidays again(site.db());
    QCOMPARE(again.regionBox()->currentData().toString(), QStringLiteral("DE-SN"));
}

void TestKelvaraTimes::screenshots()
{
    Site site;
    TimeModelRecords::addTimeModel(
        site.db(),
        {0, QStringLiteral("SH"), QStringLiteral("Shifts"),
         QStringLiteral("mon,tue,wed,thu,fri-05:30-14:00|sat-06:00-12:00|hol-08:00-10:00")});
    HolidayRecords::addHolidays(
        site.db(), {{0, QStringLiteral("2030.12.24"), QStringLiteral("Christmas Eve")},
                    {0, QStringLiteral("2030.12.25"), QStringLiteral("Christmas Day")},
                    {0, QStringLiteral("2030.12.31"), QStringLiteral("Company closure")},
                    {0, QStringLiteral("2020.05.01"), QStringLiteral("Labour Day")}});
    const QString dir = QStringLiteral(KX_SCREENSHOT_DIR);
    KelvaraTimes view(m_settings);
    view.setDatabasePath(site.db());
    view.resize(1000, 500);
    view.show();
    view.table()->setCurrentCell(view.rowOfTag(QStringLiteral("SH")), 0);
    QVERIFY(view.grab().save(dir + QStringLiteral("/times-view.png")));

    KelvaraEditTimeModel editor(site.db());
    editor.setModel(site.model(QStringLiteral("SH")));
    editor.addPeriod();
    fill(editor.periodFields().last(), TimePeriod::Sunday, QStringLiteral("22:00"),
         QStringLiteral("06:00"));
    editor.resize(900, 600);
    editor.show();
    QApplication::processEvents();
    QVERIFY(editor.grab().save(dir + QStringLiteral("/times-editor.png")));

    KelvaraEditHolidays holidays(m_settings, site.db());
    holidays.resize(520, 380);
    holidays.show();
    QVERIFY(holidays.grab().save(dir + QStringLiteral("/times-holidays.png")));

    KelvaraPublicHolidays publicHolidays(site.db());
    publicHolidays.regionBox()->setCurrentIndex(
        publicHolidays.regionBox()->findData(QStringLiteral("DE-BY")));
    publicHolidays.firstYearBox()->setValue(2030);
    publicHolidays.lastYearBox()->setValue(2030);
    publicHolidays.show();
    QVERIFY(publicHolidays.grab().save(dir + QStringLiteral("/times-public-holidays.png")));

    KelvaraEditDate date(site.db());
    date.calendar()->setSelectedDate(QDate(2030, 12, 27));
    date.rangeBox()->setChecked(true);
    date.lastDayEdit()->setDate(QDate(2030, 12, 30));
    date.commentEdit()->setText(QStringLiteral("Company closure"));
    date.resize(420, 380);
    date.show();
    QVERIFY(date.grab().save(dir + QStringLiteral("/times-date.png")));
}

KX_TEST_GUI_MAIN(TestKelvaraTimes)
#include "tst_kelvaratimes.moc"
