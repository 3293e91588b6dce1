// The event view offscreen: rows come a page at a time as the table
// scrolls, the filters drive the list and the counts, the exports are
// formula-safe and complete, and an unknown identifier becomes a user.
#include "viewtestfixture.h"

#include "db/eventrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "views/lists/kelvaraevents.h"
#include "widgets/kxdialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>

class TestKelvaraEvents : public ViewTestFixture
{
    Q_OBJECT

private slots:
    void init();
    void pagesAndFilters();
    void exports_data();
    void exports();
    void unknownIdentifierBecomesAUser();

private:
    // 500 events today at one door: every fifth of an unknown card, denied.
    void fill();
    std::unique_ptr<KelvaraEvents> m_view;
    int m_door = 0;
};

void TestKelvaraEvents::init()
{
    QVERIFY(newProject());
    answerMessageBoxes();
    fill();
    m_view = std::make_unique<KelvaraEvents>(m_settings, m_params);
    m_view->resize(1000, 600);
    m_view->show();
    m_view->buildList();
}

void TestKelvaraEvents::fill()
{
    UserRow user;
    user.familyName = QStringLiteral("=SUM(A1)");
    user.firstName = QStringLiteral("Eve");
    user.groupName = QStringLiteral("Staff");
    user.iddIso14443 =
        TransponderIdd::fromHex(QStringLiteral("04A1B2C3D4E5F6"), TransponderIdd::Iso14443A)
            .toStored();
    QVERIFY(!UserRecords::addUser(db(), user).isValid());
    ProjectDatabase database(db());
    QVERIFY(database.open());
    QSqlQuery query = database.query();
    QVERIFY(query.exec(QStringLiteral("insert into doors (doorName,areaName) values "
                                      "('Door','Hall')")));
    m_door = query.lastInsertId().toInt();
    QList<ReaderEventData> events;
    const QDate today = m_params.siteToday();
    for (int i = 0; i < 500; ++i) {
        const bool unknown = i % 5 == 0;
        events.append(
            {unknown ? QStringLiteral("04A1B2C3D4E5FF") : QStringLiteral("04A1B2C3D4E5F6"), 0,
             QDateTime(today, QTime(0, 0).addSecs(i * 60)), !unknown, unknown ? 1 : 0, 0});
    }
    QList<int> fresh;
    QVERIFY(!EventRecords::store(query, m_door, 1, events, QDateTime::currentDateTimeUtc(), fresh)
                 .isValid());
}

void TestKelvaraEvents::pagesAndFilters()
{
    EventLogModel *model = m_view->model();
    screenshot(m_view.get(), QStringLiteral("events"));
    QCOMPARE(model->counts().total, qint64(500));
    QCOMPARE(model->rowCount(), int(EventLogModel::PageSize));
    QCOMPARE(model->cellText(model->event(0), EventLogModel::Time).right(8),
             QStringLiteral("08:19:00"));
    // Scrolling to the end reads the next pages, not the list before.
    QTableView *table = m_view->table();
    for (int i = 0; i < 5 && model->canFetchMore(); ++i) {
        table->scrollToBottom();
        QCoreApplication::processEvents();
    }
    QCOMPARE(model->rowCount(), 500);

    m_view->resultBox()->setCurrentIndex(EventFilter::Unknown);
    m_view->resultBox()->activated(EventFilter::Unknown);
    QCOMPARE(model->counts().total, qint64(100));
    QVERIFY(m_view->countLabel()->text().startsWith(QStringLiteral("100")));
    QCOMPARE(model->cellText(model->event(0), EventLogModel::User),
             QStringLiteral("unknown identifier"));

    m_view->resultBox()->setCurrentIndex(EventFilter::AnyResult);
    QTest::keyClicks(m_view->textField(), QStringLiteral("sum"));
    QTRY_COMPARE(model->counts().total, qint64(400));

    m_view->periodBox()->setCurrentIndex(KelvaraEvents::Yesterday);
    QCOMPARE(model->counts().total, qint64(0));
}

void TestKelvaraEvents::exports_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QByteArray>("contains");
    QTest::newRow("csv, formula-safe") << false << QByteArray(";'=SUM(A1), Eve;Staff;");
    QTest::newRow("pdf report") << true << QByteArray("%PDF");
}

void TestKelvaraEvents::exports()
{
    QFETCH(bool, pdf);
    QFETCH(QByteArray, contains);
    const QString file =
        m_project->folder() + (pdf ? QStringLiteral("/r.pdf") : QStringLiteral("/e.csv"));
    KxDialogs::setAnswerer([file](KxDialogs::Kind, const QString &, const QString &,
                                  const QString &) { return file; });
    if (pdf)
        m_view->printReportAsked();
    else
        m_view->exportCsvAsked();
    KxDialogs::setAnswerer({});
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    QVERIFY2(text.contains(contains), text.left(300));
    // Every row of the filter, not only the page read so far.
    if (!pdf)
        QCOMPARE(text.count("\r\n"), 501);
    QVERIFY(m_boxes.isEmpty());
}

void TestKelvaraEvents::unknownIdentifierBecomesAUser()
{
    m_view->resultBox()->setCurrentIndex(EventFilter::Unknown);
    m_view->resultBox()->activated(EventFilter::Unknown);
    m_view->table()->selectRow(0);
    QSignalSpy opened(m_view.get(), &KelvaraEvents::openUser);
    m_view->addUserAsked();
    QCOMPARE(opened.size(), 1);
    QList<UserRow> users;
    QVERIFY(!UserRecords::listUsers(db(), 0, true, users).isValid());
    QCOMPARE(users.size(), 2);
    bool found = false;
    for (const UserRow &user : users)
        found = found || (user.pkUsers == opened.first().at(0).toInt() &&
                          TransponderIdd::fromStored(user.iddIso14443).toHex() ==
                              QStringLiteral("04A1B2C3D4E5FF"));
    QVERIFY(found);
}

KX_TEST_GUI_MAIN(TestKelvaraEvents)
#include "tst_kelvaraevents.moc"
