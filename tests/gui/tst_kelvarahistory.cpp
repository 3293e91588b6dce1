// The history of changes offscreen: its filters narrow the list, a subject
// (a user, an entry, a right) narrows it as the menus open it, the selected
// record shows whole, and the exports write what the filter keeps.
#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/audittrailmodel.h"
#include "db/entryrecords.h"
#include "db/holidayrecords.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "views/lists/kelvarahistory.h"
#include "viewtestfixture.h"
#include "widgets/kxdialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <functional>

namespace {

UserRow staff(const char *last, const char *first)
{
    UserRow user;
    user.familyName = QLatin1String(last);
    user.firstName = QLatin1String(first);
    user.groupName = QStringLiteral("Staff");
    return user;
}

} // namespace

using Setup = std::function<void(KelvaraHistory &history)>;
Q_DECLARE_METATYPE(Setup)

class TestKelvaraHistory : public ViewTestFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filtersNarrowTheList_data();
    void filtersNarrowTheList();
    void selectedRecordShowsWhole();
    void exportsWriteWhatTheFilterKeeps_data();
    void exportsWriteWhatTheFilterKeeps();
};

void TestKelvaraHistory::init()
{
    QVERIFY(newProject());
    answerMessageBoxes();
    // A holiday of 40 days ago, then Ames and Bell, Hall/Gate, DAY and
    // Ames's right at the gate today: 7 records with the settings.
    QVERIFY(m_params.saveProjectParameters());
    const QDateTime past = QDateTime::currentDateTimeUtc().addDays(-40);
    AuditTrail::setClockForTest([past] { return past; });
    QVERIFY(
        !HolidayRecords::addHoliday(db(), {0, QStringLiteral("2031.01.01"), QString()}).isValid());
    AuditTrail::setClockForTest({});
    int ames = 0, gate = 0, day = 0;
    QVERIFY(!UserRecords::addUser(db(), staff("Ames", "Al"), &ames).isValid());
    QVERIFY(!UserRecords::addUser(db(), staff("Bell", "Bo")).isValid());
    EntryRow entry;
    entry.areaName = QStringLiteral("Hall");
    entry.doorName = QStringLiteral("Gate");
    QVERIFY(!EntryRecords::addEntry(db(), entry, &gate).isValid());
    QVERIFY(!TimeModelRecords::addTimeModel(db(),
                                            {0, QStringLiteral("DAY"), QStringLiteral("Day"),
                                             QStringLiteral("mon-06:00-18:00")},
                                            &day)
                 .isValid());
    QVERIFY(!AccessRights::changeBoardCell(db(), {ames}, {gate}, day).isValid());
}

void TestKelvaraHistory::cleanup()
{
    KxMessageBox::setAnswerer({});
    KxDialogs::setAnswerer({});
}

void TestKelvaraHistory::filtersNarrowTheList_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("objects"); // the Object column, top down
    QTest::newRow("everything, newest first")
        << Setup([](KelvaraHistory &) {})
        << "DAY: Ames, Al at Hall/Gate|DAY|Hall/Gate|Bell, Bo|Ames, Al|2031.01.01|Plant";
    QTest::newRow("the last 30 days") << Setup([](KelvaraHistory &h) {
        h.periodBox()->setCurrentIndex(KelvaraHistory::LastMonth);
    }) << "DAY: Ames, Al at Hall/Gate|DAY|Hall/Gate|Bell, Bo|Ames, Al|Plant";
    QTest::newRow("between two days") << Setup([](KelvaraHistory &h) {
        h.periodBox()->setCurrentIndex(KelvaraHistory::Between);
        h.fromEdit()->setDate(QDate::currentDate().addDays(-41));
        h.toEdit()->setDate(QDate::currentDate().addDays(-39));
    }) << "2031.01.01";
    QTest::newRow("a kind") << Setup([](KelvaraHistory &h) {
        h.kindBox()->setCurrentIndex(h.kindBox()->findData(AuditTrail::Kind::User));
    }) << "Bell, Bo|Ames, Al";
    QTest::newRow("an operator nobody is") << Setup([](KelvaraHistory &h) {
        h.operatorBox()->setEditText(QStringLiteral("nobody"));
        h.applyFilter();
    }) << "";
    QTest::newRow("part of an object's name")
        << Setup([](KelvaraHistory &h) { QTest::keyClicks(h.objectEdit(), QStringLiteral("ell")); })
        << "Bell, Bo";
    QTest::newRow("text anywhere")
        << Setup([](KelvaraHistory &h) { QTest::keyClicks(h.textEdit(), QStringLiteral("06:00")); })
        << "DAY";
    QTest::newRow("a user's records")
        << Setup([](KelvaraHistory &h) { h.setSubject(QStringLiteral("Ames, Al"), QString()); })
        << "DAY: Ames, Al at Hall/Gate|Ames, Al";
    QTest::newRow("one right") << Setup([](KelvaraHistory &h) {
        h.setSubject(QStringLiteral("Bell, Bo"), QStringLiteral("Hall/Gate"));
    }) << "";
    QTest::newRow("all records again") << Setup([](KelvaraHistory &h) {
        h.setSubject(QStringLiteral("Bell, Bo"), QString());
        QTest::mouseClick(h.allRecordsButton(), Qt::LeftButton);
    }) << "DAY: Ames, Al at Hall/Gate|DAY|Hall/Gate|Bell, Bo|Ames, Al|2031.01.01|Plant";
}

void TestKelvaraHistory::filtersNarrowTheList()
{
    QFETCH(Setup, setup);
    QFETCH(QString, objects);
    KelvaraHistory history(db());
    history.show();
    setup(history);
    // Typing is read after a pause.
    QStringList shown;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            shown.clear();
            for (int row = 0; row < history.model()->rowCount(); ++row)
                shown
                    << history.model()->index(row, AuditTrailModel::ObjectColumn).data().toString();
            return shown.join(QLatin1Char('|')) == objects;
        }(),
        5000);
}

void TestKelvaraHistory::selectedRecordShowsWhole()
{
    KelvaraHistory *history =
        KelvaraHistory::open(db(), QStringLiteral("Ames, Al"), QStringLiteral("Gate"), nullptr);
    QVERIFY(history->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(history->subjectLabel()->text().contains(QStringLiteral("Ames, Al")));
    QCOMPARE(history->model()->rowCount(), 1);
    history->table()->selectRow(0);
    const QString detail = history->detailView()->toPlainText();
    QVERIFY2(detail.contains(QStringLiteral("The right of Ames, Al at Gate: none before, DAY "
                                            "after.")),
             qPrintable(detail));
    QVERIFY(detail.contains(AuditTrail::folderOperator()));
    QVERIFY(detail.contains(QStringLiteral("\"cells\": [")));
    history->setSubject(QString(), QString());
    history->table()->selectRow(1);
    screenshot(history, QStringLiteral("history"));
    history->close();
}

void TestKelvaraHistory::exportsWriteWhatTheFilterKeeps_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<bool>("writable");
    QTest::newRow("csv") << false << true;
    QTest::newRow("pdf") << true << true;
    QTest::newRow("csv into a folder that is not there") << false << false;
    QTest::newRow("pdf into a folder that is not there") << true << false;
}

void TestKelvaraHistory::exportsWriteWhatTheFilterKeeps()
{
    QFETCH(bool, pdf);
    QFETCH(bool, writable);
    const QString file = m_project->folder() + (writable ? QString() : QStringLiteral("/gone")) +
                         (pdf ? QStringLiteral("/history.pdf") : QStringLiteral("/history.csv"));
    KxDialogs::setAnswerer(
        [&](KxDialogs::Kind, const QString &, const QString &, const QString &) { return file; });
    KelvaraHistory history(db());
    history.kindBox()->setCurrentIndex(history.kindBox()->findData(AuditTrail::Kind::User));
    QTest::mouseClick(pdf ? history.pdfButton() : history.csvButton(), Qt::LeftButton);

    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().icon, writable ? QMessageBox::Information : QMessageBox::Critical);
    QCOMPARE(QFile::exists(file), writable);
    if (!writable)
        return;
    QVERIFY(m_boxes.first().text.startsWith(QStringLiteral("2 records written")));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray content = written.readAll();
    if (pdf) {
        QVERIFY(content.startsWith("%PDF"));
        return;
    }
    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(lines.size(), 4); // header, two records, the end
    QVERIFY(lines.at(0).startsWith("sequence;time;utc;operator;"));
    QVERIFY(lines.at(1).contains(";add;user;Bell, Bo;"));
    QVERIFY(lines.at(2).contains(";add;user;Ames, Al;"));
}

KX_TEST_GUI_MAIN(TestKelvaraHistory)
#include "tst_kelvarahistory.moc"
