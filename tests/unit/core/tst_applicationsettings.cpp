#include "core/applicationsettings.h"
#include "core/paths.h"
#include "support/testsupport.h"

#include <QFile>
#include <QSettings>

class TestApplicationSettings : public QObject
{
    Q_OBJECT
private slots:
    void pathsFollowHome();
    void defaultsWhenMissingOrGarbage_data();
    void defaultsWhenMissingOrGarbage();
    void roundTrip_data();
    void roundTrip();
    void nothingWrittenWithoutProject();
    void oldKeysCleared();
};

void TestApplicationSettings::pathsFollowHome()
{
    const QString home = TestSupport::isolatedHome();
    QCOMPARE(appDataPath(), QDir::cleanPath(home) + QStringLiteral("/Kelvara-Manager"));
    QCOMPARE(settingsFilePath(), appDataPath() + QStringLiteral("/Kelvara-Manager.ini"));
    QCOMPARE(entryLogPath(QStringLiteral("/p"), QStringLiteral("Gate 1")),
             QStringLiteral("/p/log/log-Gate 1"));
    QCOMPARE(entryDataPath(QStringLiteral("/p"), QStringLiteral("Gate 1")),
             QStringLiteral("/p/data/data-Gate 1"));
    QCOMPARE(dailyLogFileName(), QStringLiteral("log-") +
                                     QDate::currentDate().toString(Qt::ISODate) +
                                     QStringLiteral(".log"));
    QVERIFY(!QFile::exists(appDataPath())); // paths create nothing
}

void TestApplicationSettings::defaultsWhenMissingOrGarbage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[[[=\x01\x02", 10);
    QTest::newRow("wrong types") << QByteArray(
        "[General]\nMainWindow.IsMaximized=perhaps\nMainWindow.Geometry=big\n"
        "GeneralSettingsDialog.UHF.Region=north\nUsersTable.ColWidth=10, x, 30\n"
        "EditUserDialog.Geometry=@Rect(1 2)\n");
    QTest::newRow("readers at once out of range")
        << QByteArray("[General]\nGeneralSettingsDialog.ParallelEntries=0\n");
    QTest::newRow("readers at once too many")
        << QByteArray("[General]\nGeneralSettingsDialog.ParallelEntries=100000\n");
}

void TestApplicationSettings::defaultsWhenMissingOrGarbage()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    if (!content.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    ApplicationSettings s;
    s.currentProjectPath = QStringLiteral("stale");
    s.loadSettings(path);
    const ApplicationSettings defaults;
    QCOMPARE(s.currentProjectPath, QString());
    QCOMPARE(s.isMaximized, true);
    QCOMPARE(s.mainWindowGeometry, QRect(200, 200, 1200, 600));
    QCOMPARE(s.uhfRegion, 6);
    QCOMPARE(s.parallelEntries, 4);
    QCOMPARE(s.editUserDialogGeometry, defaults.editUserDialogGeometry);
    QCOMPARE(s.usersTableColWidth, QList<int>());
}

void TestApplicationSettings::roundTrip_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal window") << false;
    QTest::newRow("maximised window") << true;
}

void TestApplicationSettings::roundTrip()
{
    QFETCH(bool, maximized);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/dir/settings.ini"));
    ApplicationSettings s;
    s.currentProjectPath = QStringLiteral("/data/Werk Süd");
    s.isMaximized = maximized;
    s.mainWindowGeometry = QRect(10, 20, 800, 500);
    s.areToolTipsOn = false;
    s.hfProgrammerReader = QStringLiteral("USB:0001A2B3");
    s.uhfRegion = 2;
    s.parallelEntries = 8;
    s.functionDialogGeometry = QRect(5, 6, 700, 450);
    s.usersTableColWidth = {120, 80, 200};
    QVERIFY(s.saveSettings(path));

    const QSettings raw(path, QSettings::IniFormat);
    QCOMPARE(raw.contains(QStringLiteral("MainWindow.Geometry")), !maximized);

    ApplicationSettings r;
    r.loadSettings(path);
    QCOMPARE(r.currentProjectPath, s.currentProjectPath);
    QCOMPARE(r.isMaximized, maximized);
    // A maximised window leaves no geometry: the next start uses the default.
    QCOMPARE(r.mainWindowGeometry, maximized ? QRect(200, 200, 1200, 600) : s.mainWindowGeometry);
    QCOMPARE(r.areToolTipsOn, false);
    QCOMPARE(r.hfProgrammerReader, s.hfProgrammerReader);
    QCOMPARE(r.uhfProgrammerReader, QString());
    QCOMPARE(r.uhfRegion, 2);
    QCOMPARE(r.parallelEntries, 8);
    QCOMPARE(r.functionDialogGeometry, s.functionDialogGeometry);
    QCOMPARE(r.usersTableColWidth, s.usersTableColWidth);
    QCOMPARE(r.doorsTableColWidth, QList<int>());
}

void TestApplicationSettings::nothingWrittenWithoutProject()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    ApplicationSettings s;
    s.currentProjectPath = QStringLiteral("/projects/A");
    QVERIFY(s.saveSettings(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    ApplicationSettings closing;
    closing.editDoorDialogGeometry = QRect(1, 1, 999, 999); // changed, but no project
    QVERIFY(closing.saveSettings(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    QTemporaryDir empty;
    QVERIFY(closing.saveSettings(empty.filePath(QStringLiteral("never.ini"))));
    QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("never.ini"))));
}

void TestApplicationSettings::oldKeysCleared()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    {
        QSettings old(path, QSettings::IniFormat);
        old.setValue(QStringLiteral("Obsolete.Key"), 1); // cleared on save
    }
    ApplicationSettings s;
    s.currentProjectPath = QStringLiteral("/p");
    s.isMaximized = false;
    QVERIFY(s.saveSettings(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    QVERIFY(!text.contains(QStringLiteral("Obsolete")));
    QVERIFY(text.contains(QStringLiteral("MainWindow.Geometry=")));
    QVERIFY(text.contains(QStringLiteral("CurrentProjectPath=/p")));
}

KX_TEST_MAIN(TestApplicationSettings)
#include "tst_applicationsettings.moc"
