#include "core/applicationsettings.h"
#include "core/windowplacement.h"
#include "support/testsupport.h"

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fitIntoArea_data();
    void fitIntoArea();
    void everyDialogRectIsFitted();
};

void TestWindowPlacement::fitIntoArea_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("fitted");
    const QRect desk(0, 0, 1920, 1040);
    QTest::newRow("inside") << desk << QRect(100, 100, 400, 200) << QRect(100, 100, 400, 200);
    QTest::newRow("touching the corner")
        << desk << QRect(1520, 840, 400, 200) << QRect(1520, 840, 400, 200);
    QTest::newRow("below") << desk << QRect(100, 1000, 400, 200) << QRect(100, 840, 400, 200);
    QTest::newRow("right") << desk << QRect(1800, 100, 400, 200) << QRect(1520, 100, 400, 200);
    QTest::newRow("above y 30") << desk << QRect(100, 10, 400, 200) << QRect(100, 30, 400, 200);
    QTest::newRow("left") << desk << QRect(-50, 100, 400, 200) << QRect(0, 100, 400, 200);
    QTest::newRow("far off bottom right")
        << desk << QRect(5000, 4000, 600, 400) << QRect(1320, 640, 600, 400);
    // Taller than the area: moved up first, then down to y 30 again.
    QTest::newRow("too tall") << desk << QRect(100, 100, 400, 2000) << QRect(100, 30, 400, 2000);
    QTest::newRow("too wide") << desk << QRect(100, 100, 3000, 200) << QRect(0, 100, 3000, 200);
    const QRect small(0, 0, 800, 600);
    QTest::newRow("smaller screen")
        << small << QRect(1000, 700, 600, 400) << QRect(200, 200, 600, 400);
    const QRect second(1920, 0, 1280, 1024);
    QTest::newRow("second screen")
        << second << QRect(100, 100, 400, 300) << QRect(1920, 100, 400, 300);
}

void TestWindowPlacement::fitIntoArea()
{
    QFETCH(QRect, area);
    QFETCH(QRect, rect);
    QFETCH(QRect, fitted);
    QCOMPARE(WindowPlacement::fitIntoArea(rect, area), fitted);
}

void TestWindowPlacement::everyDialogRectIsFitted()
{
    ApplicationSettings settings;
    QList<QRect *> rects{
        &settings.editUserDialogGeometry,        &settings.editDoorDialogGeometry,
        &settings.editTimeModelDialogGeometry,   &settings.editHolidaysDialogGeometry,
        &settings.editHolidayDateDialogGeometry, &settings.functionDialogGeometry,
        &settings.functionLogWindowGeometry,     &settings.selectReaderDialogGeometry,
        &settings.generalSettingsDialogGeometry, &settings.projectSettingsDialogGeometry};
    for (int i = 0; i < rects.size(); ++i)
        *rects[i] = QRect(3000 + i, 2000, 100 + i, 50);
    const QRect mainWindow(-500, -500, 100, 100);
    settings.mainWindowGeometry = mainWindow;

    WindowPlacement::fitDialogRects(settings, QRect(0, 0, 1024, 768));
    for (int i = 0; i < rects.size(); ++i)
        QCOMPARE(*rects[i], QRect(1024 - 100 - i, 768 - 50, 100 + i, 50));
    // The main window is placed by the window system itself.
    QCOMPARE(settings.mainWindowGeometry, mainWindow);
}

KX_TEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
