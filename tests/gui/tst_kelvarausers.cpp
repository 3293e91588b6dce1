#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/paths.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include <QDate> // simfixture.h dates the reader logs

#include "e2e/simfixture.h"
#include "support/testsupport.h"
#include "views/editors/kelvaraedituser.h"
#include "views/lists/kelvarausers.h"
#include "viewtestfixture.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using kxsim::SimTag;

namespace {

UserRow user(const QString &family, const QString &first, const QString &group,
             const QString &hf = QString(), const QString &uhf = QString(),
             const QString &comment = QString())
{
    UserRow u;
    u.familyName = family;
    u.firstName = first;
    u.groupName = group;
    u.iddIso14443 = hf;
    u.iddClass1Gen2 = uhf;
    u.commentUser = comment;
    return u;
}

bool run(const QString &db, const QString &statement)
{
    ProjectDatabase d(db);
    return d.open() && d.query().exec(statement);
}

SimTag tag(int type, const char *hex)
{
    SimTag t;
    t.type = type;
    const QByteArray bytes = QByteArray::fromHex(hex);
    t.uid.assign(bytes.begin(), bytes.end());
    return t;
}

QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

bool writeBytes(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestKelvaraUsers : public ViewTestFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addThroughDialog();
    void saveRefusals_data();
    void saveRefusals();
    void editIdentifierMarksItsEntries();
    void removeSelectedWithMarks();
    void search_data();
    void search();
    void sortAndHiddenColumns();
    void hiddenColumnsKeepTheirWidths();
    void narrowStoredWidthsShowTheHeads();
    void selectionIsNotThePendingRed();
    void editIddNormalisation_data();
    void editIddNormalisation();
    void readIddWithDeskReader_data();
    void readIddWithDeskReader();
    void readIddFailures_data();
    void readIddFailures();
    void importWithAssignment();
    void importOfNonCsvFile();
    void importOffersOnlyUsedTechnologies();
    void mainWindowExportAndImport();

private:
    std::unique_ptr<KelvaraUsers> makeView();

    QStringList m_textAnswers;
    QString m_fileAnswer;
};

void TestKelvaraUsers::initTestCase()
{
    kxInitResources();
    setUrlOpener([](const QUrl &) { return true; });
    answerMessageBoxes();
    KxDialogs::setAnswerer(
        [this](KxDialogs::Kind kind, const QString &, const QString &, const QString &) {
            if (kind == KxDialogs::Text)
                return m_textAnswers.isEmpty() ? QString() : m_textAnswers.takeFirst();
            return m_fileAnswer;
        });
}

void TestKelvaraUsers::init()
{
    m_textAnswers.clear();
    QVERIFY(newProject());
    m_params.haveHfReader = true;
    m_params.haveUhfReader = true;
}

void TestKelvaraUsers::cleanup()
{
    m_project.reset();
}

std::unique_ptr<KelvaraUsers> TestKelvaraUsers::makeView()
{
    return shown(std::make_unique<KelvaraUsers>(m_settings, m_params), QSize(1400, 600));
}

void TestKelvaraUsers::addThroughDialog()
{
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Zeta"), QStringLiteral("Zoe"), QStringLiteral("Staff")))
                 .isValid());
    auto view = makeView();
    onNextDialog<KelvaraEditUser>([this](KelvaraEditUser *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Add User"));
        // No empty area below the fields.
        QCOMPARE(d->height(), d->sizeHint().height());
        // The existing groups are on offer.
        auto *groupButton = d->findChild<QPushButton *>(QStringLiteral("groupButton"));
        QVERIFY(groupButton->isVisibleTo(d));
        d->selectGroup(groupButton->menu()->actions().value(0));
        d->findChild<QLineEdit *>(QStringLiteral("familyName"))->setText(QStringLiteral(" Alder "));
        d->findChild<QLineEdit *>(QStringLiteral("firstName"))->setText(QStringLiteral("Ann"));
        d->findChild<QLineEdit *>(QStringLiteral("commentUser"))
            ->setText(QStringLiteral("O'Neil; \"x\""));
        m_textAnswers << QStringLiteral("A1B2C3D4");
        d->editIddIso14443();
        // The desk reader is not set up yet: the button is there but disabled.
        QVERIFY(!d->findChild<QPushButton *>(QStringLiteral("configureProgrammer"))->isEnabled());
        screenshot(d, QStringLiteral("users-dialog"));
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("save")), Qt::LeftButton);
        QVERIFY(!d->isVisible());
    });
    QSignalSpy changed(view.get(), &KelvaraUsers::usersChanged);
    QTest::keyClick(view->table(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_boxes.isEmpty());
    QTableWidget *t = view->table();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(view->findChild<QSpinBox *>(QStringLiteral("userCount"))->value(), 2);
    // The new user is selected whole, names trimmed.
    QCOMPARE(t->currentRow(), 0);
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Alder"));
    QCOMPARE(t->item(0, 2)->text(), QStringLiteral("Staff"));
    QCOMPARE(t->item(0, 3)->text(), QStringLiteral("O'Neil; \"x\""));
    QCOMPARE(t->item(0, 4)->text(), QStringLiteral("000000A1B2C3D4"));
    QCOMPARE(t->item(0, 4)->data(KelvaraUsers::StoredIddRole).toString(),
             QStringLiteral("000000a1b2c3d4-04"));
    QCOMPARE(t->selectionModel()->selectedRows().size(), 1);
    screenshot(view.get(), QStringLiteral("users-view"));
}

void TestKelvaraUsers::saveRefusals_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("hf");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("says");
    QTest::newRow("no family name") << "  "
                                    << "Al"
                                    << "G"
                                    << ""
                                    << "Missing information"
                                    << "No family name given";
    QTest::newRow("no first name") << "Bo"
                                   << ""
                                   << "G"
                                   << ""
                                   << "Missing information"
                                   << "No first name given";
    QTest::newRow("no group") << "Bo"
                              << "Al"
                              << ""
                              << ""
                              << "Missing information"
                              << "No group name given";
    QTest::newRow("name taken") << "Taken"
                                << "Tom"
                                << "G"
                                << ""
                                << "DB add user"
                                << "A user named 'Taken, Tom' already exists.";
    QTest::newRow("card taken") << "New"
                                << "Nia"
                                << "G"
                                << "11223344556677"
                                << "DB add user"
                                << "already belongs to 'Taken, Tom'";
}

void TestKelvaraUsers::saveRefusals()
{
    QFETCH(QString, family);
    QFETCH(QString, first);
    QFETCH(QString, group);
    QFETCH(QString, hf);
    QFETCH(QString, title);
    QFETCH(QString, says);
    QVERIFY(
        !UserRecords::addUser(db(), user(QStringLiteral("Taken"), QStringLiteral("Tom"),
                                         QStringLiteral("G"), QStringLiteral("11223344556677-04")))
             .isValid());
    KelvaraEditUser d(-1, m_settings, m_params);
    d.findChild<QLineEdit *>(QStringLiteral("familyName"))->setText(family);
    d.findChild<QLineEdit *>(QStringLiteral("firstName"))->setText(first);
    d.findChild<QLineEdit *>(QStringLiteral("groupName"))->setText(group);
    if (!hf.isEmpty()) {
        m_textAnswers << hf;
        d.editIddIso14443();
    }
    d.show();
    d.accept();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, title);
    QVERIFY2(m_boxes[0].text.contains(says), qPrintable(m_boxes[0].text));
    // The dialog stays open and nothing was stored.
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), 0);
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from users")), 1);
}

void TestKelvaraUsers::editIdentifierMarksItsEntries()
{
    const QString oldCard = QStringLiteral("0102030405060a-04");
    QVERIFY(!UserRecords::addUser(db(), user(QStringLiteral("Ames"), QStringLiteral("Al"),
                                             QStringLiteral("G"), oldCard))
                 .isValid());
    QVERIFY(
        !UserRecords::addUser(db(), user(QStringLiteral("Bell"), QStringLiteral("Bo"),
                                         QStringLiteral("G"), QStringLiteral("0102030405060b-04")))
             .isValid());
    // Time model 1 is the project's own "Always".
    // 1 and 2: short-range entries where Ames may pass; 3: long range; 4: only Bell.
    for (const char *door :
         {"(1,'D1','A',100,0)", "(2,'D2','A',100,0)", "(3,'D3','A',101,0)", "(4,'D4','A',100,0)"})
        QVERIFY(run(db(), QStringLiteral("insert into doors (PKdoors,doorName,areaName,"
                                         "readerType,needsUpdate) values ") +
                              QLatin1String(door)));
    for (const char *right : {"(1,1,1)", "(1,2,1)", "(1,3,1)", "(2,4,1)", "(2,1,1)"})
        QVERIFY(run(db(), QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values ") +
                              QLatin1String(right)));

    auto view = makeView();
    QTableWidget *t = view->table();
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Ames"));
    t->setCurrentCell(0, 0);
    onNextDialog<KelvaraEditUser>([this](KelvaraEditUser *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit User"));
        QCOMPARE(d->findChild<QLineEdit *>(QStringLiteral("hfIdd"))->text(),
                 QStringLiteral("IDD: 0102030405060A"));
        m_textAnswers << QStringLiteral("0102030405060C");
        d->editIddIso14443();
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("save")), Qt::LeftButton);
        QVERIFY(!d->isVisible());
    });
    QTest::keyClick(t, Qt::Key_Return);
    QCOMPARE(t->item(0, 4)->text(), QStringLiteral("0102030405060C"));
    ProjectDatabase d(db());
    QVERIFY(d.open());
    QSqlQuery q = d.query();
    QVERIFY(
        q.exec(QStringLiteral("select PKdoors from doors where needsUpdate=1 order by PKdoors")));
    QList<int> marked;
    while (q.next())
        marked << q.value(0).toInt();
    QCOMPARE(marked, (QList<int>{1, 2}));
}

void TestKelvaraUsers::removeSelectedWithMarks()
{
    for (const char *name : {"Ames", "Bell", "Cole"})
        QVERIFY(!UserRecords::addUser(
                     db(), user(QLatin1String(name), QStringLiteral("X"), QStringLiteral("G")))
                     .isValid());
    QVERIFY(run(db(), QStringLiteral("insert into doors (PKdoors,doorName,areaName,readerType,"
                                     "needsUpdate) values (1,'D1','A',100,0),(2,'D2','A',100,0)")));
    QVERIFY(run(db(), QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values "
                                     "(1,1,1),(3,1,1),(2,2,1)")));
    auto view = makeView();
    QTableWidget *t = view->table();

    // Nothing selected: nothing asked.
    t->clearSelection();
    QTest::keyClick(t, Qt::Key_Delete);
    QVERIFY(m_boxes.isEmpty());

    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->selectRow(0);
    t->selectionModel()->select(t->model()->index(2, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_answer = QMessageBox::No;
    QTest::keyClick(t, Qt::Key_Delete);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, QStringLiteral("Remove User"));
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from users")), 3);

    m_answer = QMessageBox::Yes;
    QSignalSpy changed(view.get(), &KelvaraUsers::usersChanged);
    QTest::keyClick(t, Qt::Key_Delete);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(t->rowCount(), 1);
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Bell"));
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from access")), 1);
    QCOMPARE(scalar(db(), QStringLiteral("select needsUpdate from doors where PKdoors=1")), 1);
    QCOMPARE(scalar(db(), QStringLiteral("select needsUpdate from doors where PKdoors=2")), 0);
}

void TestKelvaraUsers::search_data()
{
    QTest::addColumn<QStringList>("steps"); // pattern, then "down" / "up"
    QTest::addColumn<QStringList>("hits");  // "row,column" or "none" after each step
    // Rows by name: Ames (Red, "lobby"), Bell (Blue), Cole (Red, HF 0A0B...), Dunn (Red, UHF).
    QTest::newRow("first hit from the top") << sl({"Red"}) << sl({"0,2"});
    QTest::newRow("down, then wrap to the top")
        << sl({"Red", "down", "down", "down"}) << sl({"0,2", "2,2", "3,2", "0,2"});
    QTest::newRow("up wraps to the end") << sl({"Red", "up", "up"}) << sl({"0,2", "3,2", "2,2"});
    QTest::newRow("case matters") << sl({"red"}) << sl({"none"});
    QTest::newRow("hidden long-range column searched") << sl({"E2001122"}) << sl({"3,6"});
    QTest::newRow("comment column") << sl({"lobby"}) << sl({"0,3"});
    QTest::newRow("only hit stays on down")
        << sl({"Bell", "down", "up"}) << sl({"1,0", "1,0", "1,0"});
}

void TestKelvaraUsers::search()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, hits);
    QVERIFY(!UserRecords::addUser(db(), user(QStringLiteral("Ames"), QStringLiteral("A"),
                                             QStringLiteral("Red"), QString(), QString(),
                                             QStringLiteral("lobby")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Bell"), QStringLiteral("B"), QStringLiteral("Blue")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(db(),
                                  user(QStringLiteral("Cole"), QStringLiteral("C"),
                                       QStringLiteral("Red"), QStringLiteral("0a0b0c0d0e0f10-04")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(
                 db(),
                 user(QStringLiteral("Dunn"), QStringLiteral("D"), QStringLiteral("Red"), QString(),
                      TransponderIdd::fromHex(QStringLiteral("E20011223344556677889900"),
                                              TransponderIdd::EpcClass1Gen2)
                          .toStored()))
                 .isValid());
    m_params.haveUhfReader = false;
    auto view = makeView();
    QTableWidget *t = view->table();
    QVERIFY(t->isColumnHidden(6));
    auto *field = view->findChild<QLineEdit *>(QStringLiteral("searchField"));
    auto *up = view->findChild<QToolButton *>(QStringLiteral("searchUp"));
    auto *down = view->findChild<QToolButton *>(QStringLiteral("searchDown"));
    for (int i = 0; i < steps.size(); ++i) {
        if (steps[i] == QLatin1String("down"))
            QTest::mouseClick(down, Qt::LeftButton);
        else if (steps[i] == QLatin1String("up"))
            QTest::mouseClick(up, Qt::LeftButton);
        else
            field->setText(steps[i]);
        // Hidden cells are selected too, though no view lists them.
        const QModelIndexList selected = t->selectionModel()->selectedIndexes();
        if (hits[i] == QLatin1String("none")) {
            QVERIFY(selected.isEmpty());
            QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
            continue;
        }
        QCOMPARE(selected.size(), 1);
        QCOMPARE(QStringLiteral("%1,%2").arg(selected[0].row()).arg(selected[0].column()), hits[i]);
        QCOMPARE(t->currentIndex(), selected[0]);
    }
    // An empty pattern selects the current row whole again.
    field->clear();
    QCOMPARE(t->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(t->selectionModel()->selectedRows().size(), 1);
}

void TestKelvaraUsers::sortAndHiddenColumns()
{
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Ames"), QStringLiteral("A"), QStringLiteral("Zulu")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Bell"), QStringLiteral("B"), QStringLiteral("Alpha")))
                 .isValid());
    m_params.haveHfReader = false;
    auto view = makeView();
    QTableWidget *t = view->table();
    QVERIFY(t->isColumnHidden(4) && t->isColumnHidden(5));
    QVERIFY(!t->isColumnHidden(6) && !t->isColumnHidden(7));
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Ames"));
    view->findChild<QComboBox *>(QStringLiteral("sortKey"))->setCurrentIndex(1);
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Bell"));
    auto *direction = view->findChild<QToolButton *>(QStringLiteral("sortDirection"));
    QTest::mouseClick(direction, Qt::LeftButton);
    QCOMPARE(direction->arrowType(), Qt::UpArrow);
    QCOMPARE(t->item(0, 0)->text(), QStringLiteral("Ames"));
    // Column widths reach the settings as they change.
    t->setColumnWidth(1, 123);
    QCOMPARE(m_settings.usersTableColWidth.value(1), 123);
}

void TestKelvaraUsers::hiddenColumnsKeepTheirWidths()
{
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Ames"), QStringLiteral("A"), QStringLiteral("Zulu")))
                 .isValid());
    m_settings.usersTableColWidth = {300, 310, 320, 330, 460, 440, 350, 360, 370};
    m_params.haveHfReader = false;
    {
        auto view = makeView();
        QVERIFY(view->table()->isColumnHidden(4));
        view->table()->setColumnWidth(1, 323);
    }
    // Hiding the short-range columns did not store them as empty.
    QCOMPARE(m_settings.usersTableColWidth,
             (QList<int>{300, 323, 320, 330, 460, 440, 350, 360, 370}));
    m_params.haveHfReader = true;
    auto view = makeView();
    QCOMPARE(view->table()->columnWidth(4), 460);
    QCOMPARE(view->table()->columnWidth(5), 440);
}

// Widths stored while the program ran in a language of shorter heads.
void TestKelvaraUsers::narrowStoredWidthsShowTheHeads()
{
    m_settings.usersTableColWidth = QVector<int>(8, 20).toList();
    auto view = makeView();
    QTableWidget *t = view->table();
    const QFontMetrics metrics = t->horizontalHeader()->fontMetrics();
    for (int c = 0; c < t->columnCount(); ++c)
        QVERIFY2(t->columnWidth(c) > metrics.horizontalAdvance(t->horizontalHeaderItem(c)->text()),
                 qPrintable(t->horizontalHeaderItem(c)->text()));
}

void TestKelvaraUsers::selectionIsNotThePendingRed()
{
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Ames"), QStringLiteral("A"), QStringLiteral("Zulu")))
                 .isValid());
    auto view = makeView();
    QTableWidget *t = view->table();
    t->selectRow(0);
    const QRect cell = t->visualItemRect(t->item(0, 0));
    const QColor shown =
        t->viewport()->grab().toImage().pixelColor(cell.center().x(), cell.top() + 3);
    QVERIFY2(shown != QColor(255, 128, 128), qPrintable(shown.name()));
}

void TestKelvaraUsers::editIddNormalisation_data()
{
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("sent"); // empty: the reader gets what is shown
    QTest::newRow("8 digits padded") << false << 8 << "1A2B3C4D"
                                     << "000000001A2B3C4D"
                                     << "";
    QTest::newRow("20 digits cut") << false << 8 << "0123456789ABCDEF0123"
                                   << "0123456789ABCDEF"
                                   << "";
    QTest::newRow("5 digits kept") << false << 8 << "12345"
                                   << "012345"
                                   << "0000000000012345";
    QTest::newRow("lower case") << false << 7 << "a1b2c3d4"
                                << "000000A1B2C3D4"
                                << "";
    QTest::newRow("pasted with a line end") << false << 7 << " A1B2C3D4\n"
                                            << "000000A1B2C3D4"
                                            << "";
    QTest::newRow("G changes nothing") << false << 8 << "12G45678"
                                       << "E004010012345678"
                                       << "";
    // A tag read at a desk reader, longer than the project length.
    QTest::newRow("cancel changes nothing, first bytes sent")
        << false << 7 << QString() << "E004010012345678"
        << "E0040100123456";
    QTest::newRow("empty removes the card") << false << 8 << ""
                                            << ""
                                            << "";
    QTest::newRow("long range padded") << true << 12 << "E2001234"
                                       << "0000000000000000E2001234"
                                       << "";
    QTest::newRow("long range short") << true << 12 << "E2001"
                                      << "0E2001"
                                      << "0000000000000000000E2001";
}

void TestKelvaraUsers::editIddNormalisation()
{
    QFETCH(bool, longRange);
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, sent);
    (longRange ? m_params.uhfIddLength : m_params.hfIddLength) = length;
    UserRow u =
        user(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("G"),
             QStringLiteral("e004010012345678-03"),
             TransponderIdd::fromHex(QStringLiteral("CAFE0001"), TransponderIdd::EpcClass1Gen2)
                 .toStored());
    u.pkUsers = 1;
    KelvaraEditUser d(1, m_settings, m_params);
    d.setUser(u);
    m_textAnswers << typed;
    longRange ? d.editIddClass1Gen2() : d.editIddIso14443();
    const TransponderIdd idd = longRange ? d.iddClass1Gen2() : d.iddIso14443();
    QCOMPARE(idd.toHex(), shown);
    const QString prefix = longRange ? QStringLiteral("uhf") : QStringLiteral("hf");
    QCOMPARE(d.findChild<QLineEdit *>(prefix + QStringLiteral("Idd"))->text(),
             QStringLiteral("IDD: ") + shown);
    auto *sentLabel = d.findChild<QLabel *>(prefix + QStringLiteral("Sent"));
    QCOMPARE(sentLabel->text(),
             sent.isEmpty() ? QString() : QStringLiteral("Readers receive: ") + sent);
    if (QLatin1String(QTest::currentDataTag()) == QLatin1String("5 digits kept")) {
        d.show();
        screenshot(&d, QStringLiteral("users-dialog-short-idd"));
    }
    if (typed.contains(QLatin1Char('G'))) {
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].title, QStringLiteral("Edit IDD"));
    } else {
        QVERIFY(m_boxes.isEmpty());
    }
    if (typed.isEmpty() && !typed.isNull())
        QVERIFY(idd.isEmpty()); // stored as null, not as "-04"
}

void TestKelvaraUsers::readIddWithDeskReader_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<QString>("display");
    QTest::newRow("short range desk reader, padded short card") << 82 << false << "a1b2c3d4"
                                                                << "000000A1B2C3D4";
    QTest::newRow("short range, full length") << 86 << false << "04a1b2c3d4e5f6"
                                              << "04A1B2C3D4E5F6";
    QTest::newRow("long range desk reader") << 54 << true << "3000e2003412b802011a2b3c4d5e"
                                            << "E2003412B802011A2B3C4D5E";
}

void TestKelvaraUsers::readIddWithDeskReader()
{
    QFETCH(int, type);
    QFETCH(bool, longRange);
    QFETCH(QString, uid);
    QFETCH(QString, display);
    ReaderTestEnvironment env;
    SimFixture reader(SimFixture::setupOf(type), true);
    QVERIFY(reader.isValid());
    reader.device->placeTag(tag(longRange ? 0x84 : 4, uid.toLatin1().constData()));
    const QString reference =
        QStringLiteral("%1;00C0FFEE;127.0.0.1:%2").arg(type).arg(reader.sim->tcp().port());
    (longRange ? m_settings.uhfProgrammerReader : m_settings.hfProgrammerReader) = reference;

    // The owner of the card is found through the search field.
    const TransponderIdd owned = TransponderIdd::fromHex(
        display, longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A);
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Ames"), QStringLiteral("A"), QStringLiteral("G")))
                 .isValid());
    QVERIFY(!UserRecords::addUser(db(), user(QStringLiteral("Owner"), QStringLiteral("O"),
                                             QStringLiteral("G"),
                                             longRange ? QString() : owned.toStored(),
                                             longRange ? owned.toStored() : QString()))
                 .isValid());
    auto view = makeView();
    auto *button = view->findChild<QPushButton *>(QStringLiteral("readIdd"));
    view->readIdd(button->menu()->actions().at(longRange ? 1 : 0));
    QVERIFY(readersDone());
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).text));
    QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("searchField"))->text(), display);
    QCOMPARE(view->table()->currentRow(), 1);
    QCOMPARE(view->table()->currentColumn(), longRange ? 6 : 4);

    // And into the dialog.
    KelvaraEditUser d(-1, m_settings, m_params);
    d.show();
    longRange ? d.readIddClass1Gen2() : d.readIddIso14443();
    // Cancelled while the reader reads: the dialog waits for the card.
    d.reject();
    QVERIFY(d.isVisible());
    QVERIFY(readersDone());
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE((longRange ? d.iddClass1Gen2() : d.iddIso14443()).toHex(), display);
    QCOMPARE(
        d.findChild<QLineEdit *>(longRange ? QStringLiteral("uhfIdd") : QStringLiteral("hfIdd"))
            ->text(),
        QStringLiteral("IDD: ") + display);
}

void TestKelvaraUsers::readIddFailures_data()
{
    QTest::addColumn<QString>("reference"); // %1: the reader's port
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("placeTag");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("says");
    QTest::newRow("not configured") << "" << true << true << "Read Tag"
                                    << "No reader configured for reading tags.";
    QTest::newRow("access reader type for display only")
        << "102;00C0FFEE;127.0.0.1:%1" << true << true << "Read Tag"
        << "Unsupported reader type";
    QTest::newRow("no card on the reader")
        << "82;00C0FFEE;127.0.0.1:%1" << true << false << "Read tag 'ID PQ20' '00C0FFEE'"
        << "No tag error";
    QTest::newRow("reader unreachable")
        << "82;0000BEEF;127.0.0.1:%1" << false << true << "Read tag 'ID PQ20' '0000BEEF'"
        << "Error context";
}

void TestKelvaraUsers::readIddFailures()
{
    QFETCH(QString, reference);
    QFETCH(bool, reachable);
    QFETCH(bool, placeTag);
    QFETCH(QString, title);
    QFETCH(QString, says);
    ReaderTestEnvironment env;
    SimFixture reader(SimFixture::setupOf(82), true);
    QVERIFY(reader.isValid());
    if (placeTag)
        reader.device->placeTag(tag(4, "a1b2c3d4"));
    const int port = reachable ? reader.sim->tcp().port() : TestSupport::unusedLoopbackPort();
    m_settings.hfProgrammerReader =
        reference.contains(QLatin1String("%1")) ? reference.arg(port) : reference;
    KelvaraEditUser d(-1, m_settings, m_params);
    m_textAnswers << QStringLiteral("CAFE0001");
    d.editIddIso14443();
    d.readIddIso14443();
    QVERIFY(readersDone());
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(m_boxes[0].title, title);
    QVERIFY2(m_boxes[0].text.contains(says), qPrintable(m_boxes[0].text));
    // A failed read changes nothing.
    QCOMPARE(d.iddIso14443().toHex(), QStringLiteral("000000CAFE0001"));
}

void TestKelvaraUsers::importWithAssignment()
{
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Ames"), QStringLiteral("A"), QStringLiteral("G")))
                 .isValid());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("staff list.csv"));
    QVERIFY(writeBytes(path, "Name;Vorname;Karte;Notiz;UserGroup\r\n"
                             "Berg;Ben;A1B2C3D4;secret;Night\r\n"
                             "Cruz;Cara;XYZ;;Night\r\n"
                             "Ames;A;;;G\r\n"
                             "short;line\r\n"));
    auto view = makeView();
    view->openImport(path);
    QVERIFY(view->importFrame()->isVisible());
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("importLabel"))->text(),
             QStringLiteral("Import file: '%1'").arg(QDir::toNativeSeparators(path)));
    auto combo = [&](int c) {
        return qobject_cast<QComboBox *>(view->importTable()->cellWidget(0, c));
    };
    QCOMPARE(combo(0)->currentText(), QStringLiteral("Auto"));
    QCOMPARE(combo(2)->currentText(), QStringLiteral("UserGroup")); // standard name found
    QCOMPARE(combo(3)->currentText(), QStringLiteral("Do not import"));
    QCOMPARE(combo(3)->count(), 6);
    combo(0)->setCurrentText(QStringLiteral("Name"));
    combo(1)->setCurrentText(QStringLiteral("Vorname"));
    combo(4)->setCurrentText(QStringLiteral("Karte"));
    screenshot(view.get(), QStringLiteral("users-import-mode"));

    QSignalSpy changed(view.get(), &KelvaraUsers::usersChanged);
    QTest::mouseClick(view->findChild<QPushButton *>(QStringLiteral("performImport")),
                      Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, QStringLiteral("Import User List from File"));
    const QString text = m_boxes[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("2 user entries imported from file")),
             qPrintable(text));
    // The duplicate and the short line are named, and so is the unreadable card.
    QVERIFY2(text.contains(QStringLiteral("2 lines not imported")) &&
                 text.contains(QStringLiteral("line 4, 5")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Line 3 (Cruz, Cara): 'XYZ'")), qPrintable(text));
    // The import mode stays open; the list shows the new users.
    QVERIFY(view->importFrame()->isVisible());
    QTableWidget *t = view->table();
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(1, 0)->text(), QStringLiteral("Berg"));
    QCOMPARE(t->item(1, 2)->text(), QStringLiteral("Night"));
    QCOMPARE(t->item(1, 3)->text(), QString()); // "Notiz" was not imported
    QCOMPARE(t->item(1, 4)->text(), QStringLiteral("000000A1B2C3D4"));
    QCOMPARE(t->item(2, 4)->data(KelvaraUsers::StoredIddRole).toString(), QString());

    // Everything on "Do not import" / "Auto": nothing to identify a user.
    for (int c = 0; c < 8; ++c)
        combo(c)->setCurrentIndex(0);
    m_boxes.clear();
    view->performImport();
    QVERIFY(m_boxes[0].text.startsWith(
        QStringLiteral("Nothing imported\nPlease check the column assignments.")));

    QTest::mouseClick(view->findChild<QToolButton *>(QStringLiteral("closeImport")),
                      Qt::LeftButton);
    QVERIFY(!view->importFrame()->isVisible());
    QVERIFY(view->importFileName().isEmpty());
}

void TestKelvaraUsers::importOffersOnlyUsedTechnologies()
{
    m_params.haveUhfReader = false;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.csv"));
    QVERIFY(writeBytes(path,
                       "LastName;FirstName;IDDProximityTransponder;IDDLongRangeTransponder\r\n"
                       "Berg;Ben;A1B2C3D4;E2001234\r\n"));
    auto view = makeView();
    view->openImport(path);
    for (int c = 4; c < 8; ++c)
        QCOMPARE(view->importTable()->isColumnHidden(c), c >= 6);
    view->performImport();
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(db(), 0, true, rows).isValid());
    QCOMPARE(rows.size(), 1);
    QVERIFY(!rows.first().iddIso14443.isEmpty());
    QVERIFY(rows.first().iddClass1Gen2.isEmpty());
}

void TestKelvaraUsers::importOfNonCsvFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.csv"));
    QByteArray binary("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 4096; ++i)
        binary.append(char(i * 37));
    QVERIFY(writeBytes(path, binary));
    auto view = makeView();
    view->openImport(path);
    auto *note = view->findChild<QLabel *>(QStringLiteral("importNote"));
    QVERIFY(note->isVisible());
    view->performImport();
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(m_boxes[0].text.startsWith(QStringLiteral("Nothing imported")));
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from users")), 0);

    // A file that went away meanwhile.
    QVERIFY(QFile::remove(path));
    m_boxes.clear();
    view->performImport();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].text, QStringLiteral("Cannot open import file"));
}

void TestKelvaraUsers::mainWindowExportAndImport()
{
    // Source project with hostile texts, opened in the main window.
    const QString hostile = QStringLiteral("=cmd|' /C calc'!A0; \"quoted\"\nsecond line");
    QVERIFY(
        !UserRecords::addUser(db(), user(QStringLiteral("-Minus"), QStringLiteral("@At"),
                                         QStringLiteral("+Plus"),
                                         QStringLiteral("04a1b2c3d4e5f6-04"), QString(), hostile))
             .isValid());
    QVERIFY(!UserRecords::addUser(
                 db(), user(QStringLiteral("Plain"), QStringLiteral("P"), QStringLiteral("G")))
                 .isValid());
    QVERIFY(saveMainWindowSettings());
    KelvaraMan w;
    w.resize(1400, 800);
    w.show();

    QAction *exportAction = nullptr;
    QAction *importAction = nullptr;
    for (QAction *a : w.menuBar()->actions().at(0)->menu()->actions()) {
        if (a->text() == QLatin1String("E&xport User List"))
            exportAction = a;
        if (a->text() == QLatin1String("I&mport User List"))
            importAction = a;
    }
    QVERIFY(exportAction && exportAction->isEnabled());
    QVERIFY(importAction && importAction->isEnabled());

    QTemporaryDir dir;
    m_fileAnswer = dir.filePath(QStringLiteral("users"));
    exportAction->trigger();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, QStringLiteral("Export User List to File"));
    QCOMPARE(m_boxes[0].text, QStringLiteral("2 user entries exported to file"));
    const QString file = m_fileAnswer + QStringLiteral(".csv");
    QVERIFY(QFile::exists(file));

    // Into a second project through the menu: the user view opens in import mode.
    TestSupport::TempProject second(QStringLiteral("Second"));
    {
        // A short-range site: the import offers the short-range columns.
        ProjectDatabase database(second.databasePath());
        QVERIFY(database.open());
        QSqlQuery q = database.query();
        QVERIFY(ProjectTags::setHaveHfReader(q, true));
    }
    w.openProjectFolder(second.folder());
    m_fileAnswer = file;
    m_boxes.clear();
    importAction->trigger();
    KelvaraUsers *view = w.usersView();
    QVERIFY(view->isVisible());
    QVERIFY(!w.board()->isVisible());
    QVERIFY(view->importFrame()->isVisible());
    view->performImport();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].text, QStringLiteral("2 user entries imported from file"));
    QList<UserRow> rows;
    QVERIFY(!UserRecords::listUsers(second.databasePath(), UserRecords::SortByName, true, rows)
                 .isValid());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].familyName, QStringLiteral("-Minus"));
    QCOMPARE(rows[0].firstName, QStringLiteral("@At"));
    QCOMPARE(rows[0].groupName, QStringLiteral("+Plus"));
    QCOMPARE(rows[0].commentUser, hostile);
    QCOMPARE(rows[0].iddIso14443, QStringLiteral("04a1b2c3d4e5f6-04"));

    // Back on the board, the imported users are there.
    w.enterTabKelvara();
    QVERIFY(w.board()->isVisible());
    QVERIFY(!view->isVisible());
    QCOMPARE(w.boardData().rowCount(), 1 + 2 + 2); // corner row, two groups, two users
    w.settings().currentProjectPath.clear();       // keep the settings file out of it
}

KX_TEST_GUI_MAIN(TestKelvaraUsers)
#include "tst_kelvarausers.moc"
