#include "core/applicationsettings.h"
#include "db/demoproject.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/transponderidd.h"
#include "support/testsupport.h"
#include "views/settings/kelvaraprojectsettingsdialog.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>

#include <memory>

using Dialog = KelvaraProjectSettingsDialog;

namespace {

struct Box
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

QStringList column(const QString &databasePath, const QString &statement)
{
    ProjectDatabase db(databasePath);
    QStringList values;
    if (!db.open())
        return {QStringLiteral("<no database>")};
    QSqlQuery q = db.query();
    if (!q.exec(statement))
        return {QStringLiteral("<query failed>")};
    while (q.next())
        values << q.value(0).toString();
    return values;
}

bool exec(const QString &databasePath, const QString &statement)
{
    ProjectDatabase db(databasePath);
    return db.open() && db.query().exec(statement);
}

} // namespace

class TestKelvaraProjectSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void maskText_data();
    void maskText();
    void oneTechnologyStaysSelected();
    void filterVisibility();
    void newProjectStartsFromDefaults();
    void technologiesInUseLocked();
    void iso15693WidensIdentifiers_data();
    void iso15693WidensIdentifiers();
    void failedWideningChangesNothing();
    void masksSaved();
    void screenshot();

private:
    // A demo project (users, short- and long-range entries), 7-byte identifiers.
    std::unique_ptr<TestSupport::TempProject> demo(ProjectParameters &params)
    {
        auto project = std::make_unique<TestSupport::TempProject>();
        if (!project->isValid() || DemoProject::fill(project->databasePath()).isValid())
            return nullptr;
        params.projectPath = project->folder();
        params.databasePath = project->databasePath();
        params.loadProjectParameters();
        return project;
    }

    QList<Box> m_boxes;
    QList<QMessageBox::StandardButton> m_buttons;
};

void TestKelvaraProjectSettingsDialog::initTestCase()
{
    kxInitResources(); // the technology pictures
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_boxes.append({icon, title, text});
            if (icon == QMessageBox::Question)
                return m_buttons.isEmpty() ? QMessageBox::No : m_buttons.takeFirst();
            return QMessageBox::Ok;
        });
}

void TestKelvaraProjectSettingsDialog::init()
{
    m_boxes.clear();
    m_buttons.clear();
}

void TestKelvaraProjectSettingsDialog::maskText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QString() << true << 0 << QString();
    QTest::newRow("odd digits completed") << "ABC" << true << 12 << "ABC0";
    QTest::newRow("lower case") << "2d1505d8500003" << true << 56 << "2D1505D8500003";
    QTest::newRow("192 bits") << QString(48, QLatin1Char('F')) << true << 192
                              << QString(48, QLatin1Char('F'));
    QTest::newRow("196 bits") << QString(49, QLatin1Char('F')) << false << 0 << QString();
    QTest::newRow("non-hex") << "12G4" << false << 0 << QString();
    QTest::newRow("non-Latin digit") << QStringLiteral("1٣") << false << 0 << QString();
}

void TestKelvaraProjectSettingsDialog::maskText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, bits);
    QFETCH(QString, shown);
    SelectionMask mask;
    QCOMPARE(Dialog::maskFromText(text, &mask), valid);
    if (!valid)
        return;
    QCOMPARE(mask.bitLength(), bits);
    QCOMPARE(Dialog::maskToText(mask), shown);
    // What is stored reads back as the same mask.
    QCOMPARE(SelectionMask::fromStored(mask.toStored()), mask);
}

void TestKelvaraProjectSettingsDialog::oneTechnologyStaysSelected()
{
    TestSupport::TempProject project;
    ProjectParameters params;
    params.databasePath = project.databasePath();
    Dialog dialog(params, false);
    dialog.isoBox()->setChecked(true);
    dialog.hfBox()->setChecked(false);
    QVERIFY(dialog.uhfBox()->isChecked());
    QVERIFY(!dialog.isoBox()->isChecked());
    QVERIFY(dialog.isoBox()->isHidden());
    dialog.uhfBox()->setChecked(false);
    QVERIFY(dialog.hfBox()->isChecked());
    QVERIFY(!dialog.isoBox()->isHidden());
}

void TestKelvaraProjectSettingsDialog::filterVisibility()
{
    TestSupport::TempProject project;
    ProjectParameters params;
    params.databasePath = project.databasePath();
    Dialog dialog(params, false);
    QVERIFY(dialog.filterBox(1)->isHidden());
    dialog.uhfBox()->setChecked(true);
    QVERIFY(!dialog.filterBox(1)->isHidden());
    QVERIFY(dialog.maskEdit(1)->isHidden());
    dialog.filterBox(1)->setChecked(true);
    QVERIFY(!dialog.maskEdit(1)->isHidden());
    QVERIFY(!dialog.filterBox(2)->isHidden());
    QVERIFY(dialog.filterBox(3)->isHidden());
    dialog.korvexBox()->setChecked(true);
    QCOMPARE(dialog.maskEdit(1)->text(), QStringLiteral("2D1505D8500003"));
    QVERIFY(!dialog.maskEdit(1)->isEnabled());
    dialog.korvexBox()->setChecked(false);
    QCOMPARE(dialog.maskEdit(1)->text(), QString());
    dialog.filterBox(2)->setChecked(true);
    dialog.filterBox(3)->setChecked(true);
    QVERIFY(!dialog.maskEdit(3)->isHidden());
    // Switching long range off hides the whole chain.
    dialog.uhfBox()->setChecked(false);
    for (int i = 1; i <= 3; ++i)
        QVERIFY(dialog.maskEdit(i)->isHidden());
}

void TestKelvaraProjectSettingsDialog::newProjectStartsFromDefaults()
{
    ProjectParameters params;
    auto project = demo(params);
    QVERIFY(project);
    QVERIFY(params.haveUhfReader);
    Dialog dialog(params, true);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Project Settings"));
    QVERIFY(dialog.cancelButton()->isHidden());
    QVERIFY(!dialog.uhfBox()->isChecked());
    QVERIFY(dialog.hfBox()->isChecked());
    // No technology is locked while the project is being made.
    QVERIFY(dialog.hfBox()->isEnabled());
    QCOMPARE(params.databasePath, project->databasePath());
}

void TestKelvaraProjectSettingsDialog::technologiesInUseLocked()
{
    ProjectParameters params;
    auto project = demo(params);
    QVERIFY(project);
    Dialog dialog(params, false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Project Settings"));
    QVERIFY(!dialog.cancelButton()->isHidden());
    QVERIFY(!dialog.hfBox()->isEnabled());
    QVERIFY(!dialog.uhfBox()->isEnabled());
    QVERIFY(dialog.isoBox()->isEnabled());
}

void TestKelvaraProjectSettingsDialog::iso15693WidensIdentifiers_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

void TestKelvaraProjectSettingsDialog::iso15693WidensIdentifiers()
{
    QFETCH(int, answer);
    const bool yes = answer == QMessageBox::Yes;
    ProjectParameters params;
    auto project = demo(params);
    QVERIFY(project);
    const QString db = project->databasePath();
    QVERIFY(exec(db, QStringLiteral("update doors set needsUpdate=0")));
    const QStringList before =
        column(db, QStringLiteral("select iddIso14443 from users order by PKusers"));
    QVERIFY(before.size() > 3);

    Dialog dialog(params, false);
    QSignalSpy changed(&dialog, &Dialog::settingsChanged);
    m_buttons = {QMessageBox::StandardButton(answer)};
    dialog.isoBox()->setChecked(true);
    dialog.okButton()->click();

    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Support ISO15693"));
    QVERIFY(m_boxes.at(0).text.startsWith(
        QStringLiteral("For ISO15693 support your project database must be updated")));
    QCOMPARE(dialog.result(), yes ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(changed.count(), yes ? 1 : 0);
    QCOMPARE(dialog.hfIddsWidened(), yes);
    QCOMPARE(dialog.iso15693Changed(), true);

    ProjectParameters stored;
    stored.databasePath = db;
    QVERIFY(stored.loadProjectParameters());
    QCOMPARE(stored.supportIso15693, yes);
    QCOMPARE(stored.hfIddLength, yes ? 8 : 7);
    QCOMPARE(params.hfIddLength, yes ? 8 : 7);
    const QStringList after =
        column(db, QStringLiteral("select iddIso14443 from users order by PKusers"));
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        if (!yes) {
            QCOMPARE(after.at(i), before.at(i));
            continue;
        }
        QCOMPARE(TransponderIdd::fromStored(after.at(i)).bytes().size(), 8);
        QVERIFY(after.at(i) != before.at(i));
    }
    // Exactly the short-range entries need their new data.
    QCOMPARE(column(db, QStringLiteral("select count(*) from doors where needsUpdate=1 and "
                                       "readerType<>100")),
             QStringList{QStringLiteral("0")});
    QCOMPARE(column(db, QStringLiteral("select count(*) from doors where needsUpdate=0 and "
                                       "readerType=100"))
                     .value(0) == QStringLiteral("0"),
             yes);
}

void TestKelvaraProjectSettingsDialog::failedWideningChangesNothing()
{
    ProjectParameters params;
    auto project = demo(params);
    QVERIFY(project);
    const QString db = project->databasePath();
    // Marking the entries fails after the identifiers were rewritten.
    QVERIFY(exec(db, QStringLiteral("create trigger refuse before update on doors begin "
                                    "select raise(abort, 'entries locked'); end")));
    const QStringList before =
        column(db, QStringLiteral("select iddIso14443 from users order by PKusers"));

    Dialog dialog(params, false);
    m_buttons = {QMessageBox::Yes};
    dialog.isoBox()->setChecked(true);
    dialog.okButton()->click();

    QCOMPARE(m_boxes.size(), 2);
    QCOMPARE(m_boxes.at(1).icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.at(1).title, QStringLiteral("Support ISO15693"));
    QCOMPARE(dialog.result(), QDialog::Rejected); // still open
    QCOMPARE(column(db, QStringLiteral("select iddIso14443 from users order by PKusers")), before);
    ProjectParameters stored;
    stored.databasePath = db;
    QVERIFY(stored.loadProjectParameters());
    QCOMPARE(stored.hfIddLength, 7);
    QVERIFY(!stored.supportIso15693);
    QCOMPARE(params.hfIddLength, 7);
}

void TestKelvaraProjectSettingsDialog::masksSaved()
{
    TestSupport::TempProject project;
    ProjectParameters params;
    params.databasePath = project.databasePath();
    QVERIFY(params.loadProjectParameters());
    {
        Dialog dialog(params, false);
        dialog.uhfBox()->setChecked(true);
        dialog.filterBox(1)->setChecked(true);
        dialog.korvexBox()->setChecked(true);
        dialog.filterBox(2)->setChecked(true);
        dialog.maskEdit(2)->setText(QStringLiteral("ABC"));
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QVERIFY(!dialog.selectionMaskChanged()); // no entries
    }
    ProjectParameters stored;
    stored.databasePath = params.databasePath;
    QVERIFY(stored.loadProjectParameters());
    QVERIFY(stored.haveUhfReader);
    QCOMPARE(stored.uhfSelectionMask1, Dialog::korvexMask());
    QCOMPARE(stored.uhfSelectionMask2.bitLength(), 12);
    QVERIFY(stored.uhfSelectionMask3.isEmpty());

    Dialog again(stored, false);
    QVERIFY(again.korvexBox()->isChecked());
    QVERIFY(again.filterBox(2)->isChecked());
    QCOMPARE(again.maskEdit(2)->text(), QStringLiteral("ABC0"));
    QVERIFY(!again.filterBox(3)->isChecked());
}

void TestKelvaraProjectSettingsDialog::screenshot()
{
    TestSupport::TempProject project;
    ProjectParameters params;
    params.databasePath = project.databasePath();
    params.haveUhfReader = true;
    params.uhfSelectionMask1 = Dialog::korvexMask();
    Dialog dialog(params, false);
    dialog.filterBox(2)->setChecked(true);
    for (const char *name : {"hfPicture", "uhfPicture"}) {
        auto *picture = dialog.findChild<QLabel *>(QLatin1String(name));
        QVERIFY(picture);
        QCOMPARE(picture->pixmap(Qt::ReturnByValue).height(), 150);
    }
    dialog.resize(dialog.sizeHint());
    dialog.show();
    QVERIFY(dialog.grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/projectsettings.png")));
}

KX_TEST_GUI_MAIN(TestKelvaraProjectSettingsDialog)
#include "tst_kelvaraprojectsettingsdialog.moc"
