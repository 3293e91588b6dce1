// "Why...?" on the access board: the dialog decides for the cell's user and
// entry at the chosen moment and shows the reasons.
#include "support/testsupport.h"

#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/holidayrecords.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "views/board/kelvarawhydialog.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTranslator>

class TestKelvaraWhyDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decidesAtTheChosenMoment_data();
    void decidesAtTheChosenMoment();
    void fromTheBoardCellMenu();
    void alwaysModelInTheWindowsLanguage();

private:
    QStringList reasons(const KelvaraWhyDialog &dialog) const;

    TestSupport::TempProject m_project{QStringLiteral("Why")};
    ProjectParameters m_params;
    int m_user = 0;
    int m_door = 0;
};

void TestKelvaraWhyDialog::initTestCase()
{
    kxInitResources();
    KxMessageBox::setAnswerer([](QMessageBox::Icon icon, const QString &, const QString &) {
        return icon == QMessageBox::Question ? QMessageBox::No : QMessageBox::Ok;
    });
    QVERIFY(m_project.isValid());
    m_params.projectPath = m_project.folder();
    m_params.databasePath = m_project.databasePath();
    QVERIFY(m_params.loadProjectParameters());
    const QString db = m_params.databasePath;
    TimeModelRow model;
    model.modelTag = QStringLiteral("WK");
    model.modelName = QStringLiteral("Weekdays");
    model.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri-07:00-19:00");
    int pkTimes = 0;
    QVERIFY(!TimeModelRecords::addTimeModel(db, model, &pkTimes).isValid());
    UserRow user;
    user.familyName = QStringLiteral("Abel");
    user.firstName = QStringLiteral("Anna");
    user.groupName = QStringLiteral("Staff");
    user.iddIso14443 =
        TransponderIdd::fromHex(QStringLiteral("04a1b2c3d4e5f6"), TransponderIdd::Iso14443A)
            .toStored();
    QVERIFY(!UserRecords::addUser(db, user, &m_user).isValid());
    EntryRow door;
    door.doorName = QStringLiteral("Lab");
    door.areaName = QStringLiteral("Research");
    door.readerType = 100;
    door.readerSerNo = QStringLiteral("1001");
    door.ipAddr = QStringLiteral("127.0.0.1");
    door.port = TestSupport::unusedLoopbackPort();
    QVERIFY(!EntryRecords::addEntry(db, door, &m_door).isValid());
    HolidayRow holiday;
    holiday.date = QStringLiteral("2030.12.25");
    holiday.comment = QStringLiteral("Christmas");
    QVERIFY(!HolidayRecords::addHoliday(db, holiday).isValid());
    QVERIFY(!AccessRights::changeBoardCell(db, {m_user}, {m_door}, pkTimes).isValid());
}

QStringList TestKelvaraWhyDialog::reasons(const KelvaraWhyDialog &dialog) const
{
    QStringList out;
    for (int i = 0; i < dialog.reasonList()->count(); ++i)
        out << dialog.reasonList()->item(i)->text();
    return out;
}

void TestKelvaraWhyDialog::decidesAtTheChosenMoment_data()
{
    QTest::addColumn<QDateTime>("at");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("reason");
    QTest::newRow("weekday") << QDateTime(QDate(2030, 12, 18), QTime(10, 0)) << "Permitted"
                             << "The period Monday,Tuesday,Wednesday,Thursday,Friday: 07:00-19:00 "
                                "covers Wednesday 2030-12-18 10:00.";
    QTest::newRow("holiday") << QDateTime(QDate(2030, 12, 25), QTime(10, 0)) << "Denied"
                             << "2030-12-25 is a holiday (Christmas): only holiday periods apply.";
}

void TestKelvaraWhyDialog::decidesAtTheChosenMoment()
{
    QFETCH(QDateTime, at);
    QFETCH(QString, verdict);
    QFETCH(QString, reason);
    KelvaraWhyDialog dialog(m_params, m_user, m_door);
    dialog.setMoment(at);
    QCOMPARE(dialog.verdictLabel()->text(), verdict);
    QVERIFY2(reasons(dialog).contains(reason), qPrintable(reasons(dialog).join(QLatin1Char('\n'))));
    // Still pending: the reader has not received the right yet.
    QVERIFY(reasons(dialog).last().startsWith(QStringLiteral("Lab is waiting for an update")));
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/why-%1.png")
                           .arg(QString::fromLatin1(QTest::currentDataTag())));
}

void TestKelvaraWhyDialog::fromTheBoardCellMenu()
{
    ApplicationSettings s;
    s.currentProjectPath = m_project.folder();
    s.isMaximized = false;
    s.mainWindowGeometry = QRect(0, 0, 1200, 800);
    s.saveSettings();
    KelvaraMan w;
    w.show();
    int row = -1;
    int column = -1;
    for (int r = 1; r < w.boardData().rowCount(); ++r) {
        if (!w.boardData().row(r).isHead && w.boardData().row(r).key == m_user)
            row = r;
    }
    for (int c = 1; c < w.boardData().columnCount(); ++c) {
        if (!w.boardData().column(c).isHead && w.boardData().column(c).key == m_door)
            column = c;
    }
    QVERIFY(row > 0 && column > 0);
    int asked = 0;
    const auto previous = KelvaraWhyDialog::setAnswerer([&](KelvaraWhyDialog *dialog) {
        ++asked;
        dialog->setMoment(QDateTime(QDate(2030, 12, 21), QTime(10, 0)));
        const QStringList lines = reasons(*dialog);
        [&] {
            QCOMPARE(dialog->verdictLabel()->text(), QStringLiteral("Denied"));
            QVERIFY(lines.value(0).startsWith(QStringLiteral("User: Abel, Anna")));
        }();
        return int(QDialog::Rejected);
    });
    w.clickedOnTableCell(row, column, 2, false);
    QAction *why = nullptr;
    for (QAction *a : w.cellMenu()->actions()) {
        if (a->text() == QStringLiteral("Why…?"))
            why = a;
    }
    QVERIFY(why);
    w.cellMenu()->close();
    why->trigger();
    KelvaraWhyDialog::setAnswerer(previous);
    QCOMPARE(asked, 1);

    // Heads have no "Why...?".
    w.clickedOnTableCell(w.boardData().row(row).head, column, 2, false);
    for (QAction *a : w.cellMenu()->actions())
        QVERIFY(a->text() != QStringLiteral("Why…?"));
    w.cellMenu()->close();
}

// A project made in English keeps "Always" as the stored name of its
// "always" model; a German window says "Immer", as the board does.
void TestKelvaraWhyDialog::alwaysModelInTheWindowsLanguage()
{
    const QString db = m_params.databasePath;
    QList<TimeModelRow> models;
    QVERIFY(!TimeModelRecords::listTags(db, models).isValid());
    int always = 0;
    int before = 0;
    for (const TimeModelRow &m : qAsConst(models)) {
        if (m.modelTag == TimeModelRecords::AlwaysTag)
            always = m.pkTimes;
        else
            before = m.pkTimes;
    }
    QVERIFY(always > 0 && before > 0);
    QVERIFY(!AccessRights::changeBoardCell(db, {m_user}, {m_door}, always).isValid());
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/kelvara-de.qm")));
    QApplication::installTranslator(&german);
    const QStringList shown = [this] {
        KelvaraWhyDialog dialog(m_params, m_user, m_door);
        return reasons(dialog);
    }();
    QApplication::removeTranslator(&german);
    QVERIFY(!AccessRights::changeBoardCell(db, {m_user}, {m_door}, before).isValid());
    QVERIFY2(shown.filter(QStringLiteral("*** (Immer)")).size() == 1,
             qPrintable(shown.join(QLatin1Char('\n'))));
}

KX_TEST_GUI_MAIN(TestKelvaraWhyDialog)
#include "tst_kelvarawhydialog.moc"
