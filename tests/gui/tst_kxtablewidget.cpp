#include "support/testsupport.h"
#include "widgets/kxtablewidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSlider>
#include <QWheelEvent>

namespace {

QVector<int> numbers(const QString &text)
{
    QVector<int> result;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        result.append(part.toInt());
    return result;
}

// A table with fixed sizes: header column and header row 100 pixels, columns
// 30, rows 20; 600 x 400 pixels with both sliders, so the view is 580 x 380.
void setUpFixed(KxTableWidget &table, int rows, int columns)
{
    table.setSize(rows, columns);
    table.setHeaderColumnWidth(100);
    table.setHeaderRowHeight(100);
    table.setColumnWidth(30);
    table.setRowHeight(20);
    table.resize(600, 400);
    table.repaint();
}

// Group heads: column 1 expanded, column 4 collapsed (hides 5 and 6), column 7
// expanded; row 1 collapsed (hides 2 and 3), row 4 expanded.
void setUpGroups(KxTableWidget &table)
{
    setUpFixed(table, 30, 30);
    table.cell(0, 1).setGroupMode(KxTableCell::ExpandedHead);
    table.cell(0, 4).setGroupMode(KxTableCell::CollapsedHead);
    table.cell(0, 7).setGroupMode(KxTableCell::ExpandedHead);
    table.cell(1, 0).setGroupMode(KxTableCell::CollapsedHead);
    table.cell(4, 0).setGroupMode(KxTableCell::ExpandedHead);
    table.repaint();
}

void sendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button, const QPoint &pos)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendWheel(QWidget *widget, int delta)
{
    const QPointF pos(300, 200);
    QWheelEvent event(pos, widget->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

bool hasRedText(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    }
    return false;
}

} // namespace

class TestKxTableWidget : public QObject
{
    Q_OBJECT

private slots:
    void groupRule_data();
    void groupRule();
    void cellMapping_data();
    void cellMapping();
    void paintMatchesMapping_data();
    void paintMatchesMapping();
    void emptyTableText_data();
    void emptyTableText();
    void fittedSizes_data();
    void fittedSizes();
    void sliderPosition_data();
    void sliderPosition();
    void wheel_data();
    void wheel();
    void grabScrolling();
    void cellsAndData();
    void stylesAreShared();
    void screenshot();
    void keyboardPath();
    void filterHidesRowsAndColumns();
    void sidewaysWheel();
    void slidersRestWhenAllFits();
    void longHeadsAreCapped();
    void dragFollowsTheHand_data();
    void dragFollowsTheHand();
    void stickyHeads_data();
    void stickyHeads();
    void currentCellClearOfPinnedHeads();
    void refitAfterChange_data();
    void refitAfterChange();
    void roleValuesSurviveStoreChanges_data();
    void roleValuesSurviveStoreChanges();
    void fillRowSetsCells();
    void paintFollowsChanges();
};

void TestKxTableWidget::groupRule_data()
{
    QTest::addColumn<QString>("modes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("no groups") << "0 0 0"
                               << "1 2 3";
    QTest::newRow("collapsed group shows only its head") << "2 0 0 1 0 0 2 0"
                                                         << "1 2 3 4 7 8";
    QTest::newRow("collapsed last group") << "2 0 1 0 0"
                                          << "1 2 3";
    QTest::newRow("adjacent collapsed heads stay visible") << "1 1 0 1"
                                                           << "1 2 4";
    QTest::newRow("everything collapsed") << "1 0 0 1 0"
                                          << "1 4";
    QTest::newRow("members before the first head") << "0 0 1 0"
                                                   << "1 2 3";
    QTest::newRow("unknown mode is an ordinary member") << "1 5 0"
                                                        << "1";
}

void TestKxTableWidget::groupRule()
{
    QFETCH(QString, modes);
    QFETCH(QString, shown);
    const QVector<int> modeList = numbers(modes);
    const QVector<int> expected = numbers(shown);
    const int count = modeList.size() + 1;

    for (const bool rows : {false, true}) {
        KxTableWidget table;
        table.setSize(count, count);
        for (int i = 1; i < count; ++i) {
            KxTableCell head = rows ? table.cell(i, 0) : table.cell(0, i);
            head.setGroupMode(modeList.at(i - 1));
        }
        table.repaint();
        QVector<int> actual;
        for (int i = 1; i < count; ++i) {
            if (rows ? table.isRowShown(i) : table.isColumnShown(i))
                actual.append(i);
        }
        QCOMPARE(actual, expected);
        QCOMPARE(rows ? table.shownRowCount() : table.shownColumnCount(), expected.size());
        // The other direction has no heads and shows everything.
        QCOMPARE(rows ? table.shownColumnCount() : table.shownRowCount(), count - 1);
    }
}

void TestKxTableWidget::cellMapping_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("horizontalValue");
    QTest::addColumn<int>("verticalValue");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    // Shown columns: 1 2 3 4 7 8 ... 29; shown rows: 1 4 5 ... 29.
    QTest::newRow("corner") << QPoint(50, 50) << 0 << 0 << 0 << 0;
    QTest::newRow("row head") << QPoint(50, 105) << 0 << 0 << 1 << 0;
    QTest::newRow("row head after collapsed group") << QPoint(50, 125) << 0 << 0 << 4 << 0;
    QTest::newRow("first cell") << QPoint(105, 105) << 0 << 0 << 1 << 1;
    QTest::newRow("cell after collapsed groups") << QPoint(225, 125) << 0 << 0 << 4 << 7;
    QTest::newRow("slanted head at its foot") << QPoint(205, 99) << 0 << 0 << 0 << 4;
    QTest::newRow("slanted head high up the band") << QPoint(285, 19) << 0 << 0 << 0 << 4;
    QTest::newRow("slant reaches over later columns") << QPoint(190, 20) << 0 << 0 << 0 << 1;
    QTest::newRow("left of the first band") << QPoint(140, 20) << 0 << 0 << -1 << -1;
    QTest::newRow("above the header column's edge") << QPoint(115, 10) << 0 << 0 << -1 << -1;
    // At the end the columns are scrolled by 430 pixels (10 into column
    // 17), the rows by 260 (row 16 at the top).
    QTest::newRow("scrolled to the end") << QPoint(125, 105) << 10000 << 10000 << 16 << 18;
    QTest::newRow("partly scrolled out column") << QPoint(105, 105) << 10000 << 10000 << 16 << 17;
    QTest::newRow("slanted head scrolled") << QPoint(135, 95) << 10000 << 0 << 0 << 18;
    QTest::newRow("past the last column") << QPoint(500, 105) << 10000 << 0 << -1 << -1;
    QTest::newRow("corner between the sliders") << QPoint(590, 390) << 0 << 0 << -1 << -1;
}

void TestKxTableWidget::cellMapping()
{
    QFETCH(QPoint, pos);
    QFETCH(int, horizontalValue);
    QFETCH(int, verticalValue);
    QFETCH(int, row);
    QFETCH(int, column);

    KxTableWidget table;
    setUpGroups(table);
    table.horizontalSlider()->setValue(horizontalValue);
    table.verticalSlider()->setValue(verticalValue);
    QSignalSpy spy(&table, &KxTableWidget::clickedOnCell);

    QTest::mouseClick(&table, Qt::RightButton, Qt::NoModifier, pos);
    QTest::mouseDClick(&table, Qt::LeftButton, Qt::NoModifier, pos);
    // A left click only grabs for scrolling; it reports nothing.
    QTest::mouseClick(&table, Qt::LeftButton, Qt::NoModifier, pos);

    if (row < 0) {
        QCOMPARE(spy.count(), 0);
        QVERIFY(!table.cellAt(pos, nullptr, nullptr));
        return;
    }
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QVariantList{row, column, 2, false}));
    QCOMPARE(spy.at(1), (QVariantList{row, column, 1, true}));
}

void TestKxTableWidget::paintMatchesMapping_data()
{
    QTest::addColumn<int>("horizontalValue");
    QTest::addColumn<int>("verticalValue");
    QTest::addColumn<bool>("sticky");

    QTest::newRow("top left") << 0 << 0 << false;
    QTest::newRow("middle, between pixels of a row") << 45 << 37 << false;
    QTest::newRow("bottom right") << 10000 << 10000 << false;
    QTest::newRow("pinned heads") << 45 << 37 << true;
    QTest::newRow("pinned area head pushed out") << 70 << 210 << true;
    QTest::newRow("pinned heads at the end") << 10000 << 10000 << true;
}

void TestKxTableWidget::paintMatchesMapping()
{
    QFETCH(int, horizontalValue);
    QFETCH(int, verticalValue);
    QFETCH(bool, sticky);

    // Every cell its own colour, no lines and no texts: the colour under a
    // point tells which cell was painted there.
    KxTableWidget table;
    setUpGroups(table);
    const QColor background(1, 2, 3);
    table.setBackgroundBrush(background);
    table.setSeparatorPen(Qt::NoPen);
    auto colourOf = [](int row, int column) { return QColor(row * 8, column * 8, 200); };
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.columnCount(); ++c) {
            KxCellStyle style;
            style.background = colourOf(r, c);
            style.bottomLine = Qt::NoPen;
            style.rightLine = Qt::NoPen;
            table.cell(r, c).setStyle(style);
        }
    }
    table.setStickyHeads(sticky);
    table.horizontalSlider()->setValue(horizontalValue);
    table.verticalSlider()->setValue(verticalValue);
    const QPoint offset = table.scrollOffset();
    QCOMPARE(table.stickyRowHead() >= 0 || table.stickyColumnHead() >= 0, sticky);
    const QImage image = table.grab().toImage();

    int checked = 0;
    for (int y = 3; y < 380; y += 7) {
        for (int x = 3; x < 580; x += 7) {
            // Stay clear of edges, where antialiasing mixes neighbours, and
            // of the shadows under pinned heads.
            const bool inHeaderRow = y < 100;
            const bool inHeaderColumn = x < 100;
            if (std::abs(x - 100) < 3 || std::abs(y - 100) < 3)
                continue;
            const int after = sticky ? 6 : 3;
            if (inHeaderRow && !inHeaderColumn) {
                const int along = x + y - 200 + offset.x();
                if (along > -4 && (along % 30 < after || along % 30 > 27))
                    continue;
                if (sticky && (x + y - 200 < 3 || std::abs(x + y - 230) < 6))
                    continue;
            } else {
                if (!inHeaderColumn &&
                    ((x - 100 + offset.x()) % 30 < 2 || (x - 100 + offset.x()) % 30 > 28))
                    continue;
                if (!inHeaderRow &&
                    ((y - 100 + offset.y()) % 20 < after - 1 || (y - 100 + offset.y()) % 20 > 18))
                    continue;
                if (sticky && inHeaderColumn && std::abs(y - 121) < 6)
                    continue;
            }
            int row = -1;
            int column = -1;
            const QColor expected =
                table.cellAt(QPoint(x, y), &row, &column) ? colourOf(row, column) : background;
            const QColor painted = image.pixelColor(x, y);
            if (painted != expected) {
                QFAIL(qPrintable(QStringLiteral("at %1,%2 painted %3, cell %4,%5 is %6")
                                     .arg(x)
                                     .arg(y)
                                     .arg(painted.name(), QString::number(row),
                                          QString::number(column), expected.name())));
            }
            ++checked;
        }
    }
    QVERIFY(checked > 2000);
}

void TestKxTableWidget::emptyTableText_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("empty");

    QTest::newRow("no cells") << 0 << 0 << true;
    QTest::newRow("header row only") << 1 << 5 << true;
    QTest::newRow("header column only") << 5 << 1 << true;
    QTest::newRow("one real cell") << 2 << 2 << false;
}

void TestKxTableWidget::emptyTableText()
{
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(bool, empty);

    KxTableWidget table;
    setUpFixed(table, rows, columns);
    QFont font = table.font();
    font.setPixelSize(18);
    table.setEmptyTextFont(font);
    QCOMPARE(table.emptyText(), QStringLiteral("Empty Table"));
    const QImage image = table.grab().toImage();
    QCOMPARE(hasRedText(image, QRect(101, 101, 300, 60)), empty);
}

void TestKxTableWidget::fittedSizes_data()
{
    QTest::addColumn<int>("xMargin");
    QTest::addColumn<int>("yMargin");
    QTest::addColumn<int>("minimum");

    QTest::newRow("no margins") << 0 << 0 << 0;
    QTest::newRow("board margins and minimum") << 8 << 6 << 150;
    QTest::newRow("wide margins") << 30 << 20 << 0;
}

void TestKxTableWidget::fittedSizes()
{
    QFETCH(int, xMargin);
    QFETCH(int, yMargin);
    QFETCH(int, minimum);

    KxTableWidget table;
    table.setSize(3, 3);
    table.setXMargin(xMargin);
    table.setYMargin(yMargin);
    table.setMinHeaderRowHeight(minimum);
    table.setMinHeaderColumnWidth(minimum);
    const QString columnHead = QStringLiteral("     Main Entrance North Wing");
    const QString rowHead = QStringLiteral("     Miller-Smith, Alexandra");
    table.cell(0, 1).setText(columnHead);
    table.cell(1, 0).setText(rowHead);
    table.cell(1, 1).setText(QStringLiteral("S1"));
    table.setRowHeight(-1);
    table.setColumnWidth(-1);
    table.setHeaderRowHeight(-1);
    table.setHeaderColumnWidth(-1);
    table.repaint();

    // Stored negated, so the next repaint fits again.
    QVERIFY(table.rowHeight() < 0);
    QVERIFY(table.columnWidth() < 0);
    QVERIFY(table.headerRowHeight() < 0);
    QVERIFY(table.headerColumnWidth() < 0);

    const QFontMetrics metrics(table.cell(0, 1).font());
    const int headWidth = metrics.horizontalAdvance(columnHead);
    const int rowWidth = metrics.horizontalAdvance(rowHead);
    QVERIFY(-table.headerColumnWidth() >= rowWidth + xMargin - 1);
    QVERIFY(-table.headerColumnWidth() >= minimum);
    QVERIFY(-table.headerRowHeight() >= minimum);
    // The slanted text and its margin fit along the diagonal of the header row.
    QVERIFY(-table.headerRowHeight() * 141 / 100 >= headWidth + metrics.height() + xMargin - 2);
    // A column is wide enough for a text across the slant.
    QVERIFY(-table.columnWidth() * 100 / 141 >= metrics.height() + yMargin - 2);
    QVERIFY(-table.rowHeight() >= metrics.height() + yMargin);

    // A longer cell text widens the columns on the next repaint.
    const QString wide = QStringLiteral("WWWWWWWWWWWW");
    table.cell(2, 2).setText(wide);
    table.repaint();
    QVERIFY(-table.columnWidth() >= metrics.horizontalAdvance(wide) + xMargin - 1);

    // Sizes set by the owner stay as they are.
    table.setColumnWidth(30);
    table.setRowHeight(20);
    table.repaint();
    QCOMPARE(table.columnWidth(), 30);
    QCOMPARE(table.rowHeight(), 20);
}

void TestKxTableWidget::sliderPosition_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("collapse");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("firstRow");

    // 101 rows of 20 pixels; 380 - 100 = 280 pixels fit 14 rows. The value
    // is the pixels scrolled, at most 2000 - 280.
    QTest::newRow("top") << 400 << false << 0 << 1;
    QTest::newRow("middle") << 400 << false << 860 << 44;
    QTest::newRow("inside a row") << 400 << false << 879 << 44;
    QTest::newRow("bottom shows the last row at the end") << 400 << false << 10000 << 87;
    QTest::newRow("no room keeps the last row, not the first") << 110 << false << 10000 << 100;
    // Rows 2..50 collapsed under row 1: shown are 1, 51..100.
    QTest::newRow("collapsed rows are not counted") << 400 << true << 10000 << 87;
    QTest::newRow("collapsed, middle") << 400 << true << 370 << 68;
}

void TestKxTableWidget::sliderPosition()
{
    QFETCH(int, height);
    QFETCH(bool, collapse);
    QFETCH(int, value);
    QFETCH(int, firstRow);

    KxTableWidget table;
    setUpFixed(table, 101, 3);
    table.resize(600, height);
    if (collapse) {
        table.cell(1, 0).setGroupMode(KxTableCell::CollapsedHead);
        table.cell(51, 0).setGroupMode(KxTableCell::ExpandedHead);
    }
    table.repaint();
    table.verticalSlider()->setValue(value);
    QCOMPARE(table.firstShownRow(), firstRow);

    table.scrollTop();
    QCOMPARE(table.verticalSlider()->value(), 0);
    QCOMPARE(table.firstShownRow(), 1);
    table.scrollBottom();
    QCOMPARE(table.verticalSlider()->value(), table.verticalSlider()->maximum());
}

void TestKxTableWidget::wheel_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("sliderShown");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");

    // Three rows of 20 pixels per notch; the value is the pixels scrolled.
    QTest::newRow("one notch down") << 101 << true << 0 << -120 << 60;
    QTest::newRow("one notch up from row 4 to the top") << 101 << true << 60 << 120 << 0;
    QTest::newRow("up from inside a row") << 101 << true << 75 << 120 << 15;
    QTest::newRow("up at the top stays") << 101 << true << 0 << 120 << 0;
    QTest::newRow("down at the end stays") << 101 << true << 1720 << -120 << 1720;
    QTest::newRow("fine wheel waits for a whole pixel") << 101 << true << 460 << -1 << 460;
    QTest::newRow("fine wheel, two steps a pixel") << 101 << true << 460 << -2 << 461;
    QTest::newRow("huge table still moves") << 20001 << true << 0 << -120 << 60;
    QTest::newRow("empty table does not divide by zero") << 0 << true << 0 << -120 << 0;
    QTest::newRow("hidden slider goes back to the top") << 101 << false << 700 << -120 << 0;
    QTest::newRow("horizontal wheel moves nothing") << 101 << true << 300 << 0 << 300;
}

void TestKxTableWidget::wheel()
{
    QFETCH(int, rows);
    QFETCH(bool, sliderShown);
    QFETCH(int, start);
    QFETCH(int, delta);
    QFETCH(int, expected);

    KxTableWidget table;
    setUpFixed(table, rows, rows > 0 ? 3 : 0);
    table.setVerticalSliderShown(sliderShown);
    table.verticalSlider()->setValue(start);
    sendWheel(&table, delta);
    QCOMPARE(table.verticalSlider()->value(), expected);
}

void TestKxTableWidget::grabScrolling()
{
    KxTableWidget table;
    setUpFixed(table, 100, 100);

    // A press in the corner does not grab.
    sendMouse(&table, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 50));
    sendMouse(&table, QEvent::MouseMove, Qt::LeftButton, QPoint(10, 10));
    sendMouse(&table, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(10, 10));
    QCOMPARE(table.horizontalSlider()->value(), 0);
    QCOMPARE(table.verticalSlider()->value(), 0);

    sendMouse(&table, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(300, 300));
    QCOMPARE(table.cursor().shape(), Qt::ClosedHandCursor);
    // The grid follows the hand: left and up bring later columns and rows.
    // 58 pixels are one column of 30 and 95 pixels four rows of 20.
    sendMouse(&table, QEvent::MouseMove, Qt::LeftButton, QPoint(242, 205));
    QCOMPARE(table.firstShownColumn(), 2);
    QCOMPARE(table.firstShownRow(), 5);
    sendMouse(&table, QEvent::MouseMove, Qt::LeftButton, QPoint(300, 300));
    QCOMPARE(table.horizontalSlider()->value(), 0);
    QCOMPARE(table.verticalSlider()->value(), 0);
    sendMouse(&table, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(300, 300));
    QCOMPARE(table.cursor().shape(), Qt::ArrowCursor);

    // After the release moving changes nothing.
    sendMouse(&table, QEvent::MouseMove, Qt::NoButton, QPoint(100, 100));
    QCOMPARE(table.horizontalSlider()->value(), 0);
}

void TestKxTableWidget::cellsAndData()
{
    KxTableWidget table;
    QVERIFY(table.cell(0, 0).isNull());

    KxCellTemplate pattern;
    pattern.text = QStringLiteral("x");
    pattern.groupMode = KxTableCell::ExpandedHead;
    pattern.style.background = QColor(Qt::yellow);
    pattern.data.insert(256, 7);
    table.setSize(3, 4, &pattern);
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.columnCount(), 4);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            const KxTableCell cell = table.cell(r, c);
            QVERIFY(!cell.isNull());
            QCOMPARE(cell.text(), QStringLiteral("x"));
            QCOMPARE(cell.groupMode(), int(KxTableCell::ExpandedHead));
            QCOMPARE(cell.background().color(), QColor(Qt::yellow));
            QCOMPARE(cell.data(256).toInt(), 7);
        }
    }
    for (const QPoint &outside : {QPoint(-1, 0), QPoint(0, -1), QPoint(3, 0), QPoint(0, 4)})
        QVERIFY(table.cell(outside.x(), outside.y()).isNull());

    // Resizing starts over with default cells; old handles go quiet.
    const KxTableCell stale = table.cell(2, 3);
    table.setSize(2, 2);
    QCOMPARE(table.cell(1, 1).text(), QString());
    QCOMPARE(table.cell(1, 1).data(256), QVariant());
    QCOMPARE(table.cell(1, 1).background().color(), QColor(Qt::white));
    QCOMPARE(stale.text(), QString());
    KxTableCell(stale).setText(QStringLiteral("ignored"));

    // Caller data stays right while the store changes its form.
    table.setSize(40, 40);
    for (int i = 0; i < 40 * 40; i += 3)
        table.cell(i / 40, i % 40).setData(256, i);
    table.cell(5, 5).setData(300, QStringLiteral("only one"));
    for (int i = 0; i < 40 * 40; ++i) {
        const QVariant value = table.cell(i / 40, i % 40).data(256);
        QCOMPARE(value, i % 3 == 0 ? QVariant(i) : QVariant());
    }
    QCOMPARE(table.cell(5, 5).data(300).toString(), QStringLiteral("only one"));
    QCOMPARE(table.cell(5, 6).data(300), QVariant());
    table.cell(0, 0).setData(256, QVariant());
    QCOMPARE(table.cell(0, 0).data(256), QVariant());
}

void TestKxTableWidget::stylesAreShared()
{
    KxTableWidget table;
    table.setSize(200, 100);
    const int before = table.styleCount();
    for (int r = 0; r < 200; ++r) {
        for (int c = 0; c < 100; ++c) {
            KxTableCell cell = table.cell(r, c);
            cell.setBackground(QColor((r + c) % 2 ? Qt::lightGray : Qt::white));
            cell.setText(QStringLiteral("S1"));
        }
    }
    QCOMPARE(table.cell(1, 0).background().color(), QColor(Qt::lightGray));
    QCOMPARE(table.cell(1, 1).background().color(), QColor(Qt::white));
    QVERIFY(table.styleCount() <= before + 1);

    KxCellStyle blue;
    blue.textPen = QPen(Qt::blue);
    const int index = table.addStyle(blue);
    QCOMPARE(table.addStyle(blue), index);
    table.cell(3, 3).setStyleIndex(index);
    QCOMPARE(table.cell(3, 3).textPen().color(), QColor(Qt::blue));
    table.cell(3, 3).setStyleIndex(9999);
    QCOMPARE(table.cell(3, 3).styleIndex(), index);

    // 20,000 cells with one shared text and two styles: a few bytes per cell.
    QVERIFY(table.approximateCellMemory() < 200 * 100 * 24);
}

void TestKxTableWidget::screenshot()
{
    // An access board in miniature. Heads are "+name" (an expanded group),
    // "-name" (a collapsed one) or a member; "!" marks an entry that needs an
    // update.
    const QStringList columnHeads{QStringLiteral("+Main Building"), QStringLiteral("Front Door"),
                                  QStringLiteral("!Reception"),     QStringLiteral("Stairway East"),
                                  QStringLiteral("-Garage"),        QStringLiteral("Barrier In"),
                                  QStringLiteral("+Laboratory"),    QStringLiteral("!Clean Room"),
                                  QStringLiteral("Storage")};
    const QStringList rowHeads{QStringLiteral("+Staff"),      QStringLiteral("Adams, Beth"),
                               QStringLiteral("Brown, Carl"), QStringLiteral("Chen, Dana"),
                               QStringLiteral("-Visitors"),   QStringLiteral("Evans, Fay"),
                               QStringLiteral("+Cleaning"),   QStringLiteral("Gray, Hana"),
                               QStringLiteral("Hill, Ivan"),  QStringLiteral("Ito, June")};

    KxTableWidget table;
    table.resize(900, 520);
    table.setSize(rowHeads.size() + 1, columnHeads.size() + 1);
    table.setRowHeight(-1);
    table.setColumnWidth(-1);
    table.setHeaderRowHeight(-1);
    table.setHeaderColumnWidth(-1);
    table.setMinHeaderRowHeight(150);
    table.setMinHeaderColumnWidth(150);
    table.setXMargin(8);
    table.setYMargin(6);
    table.setSeparatorPen(QPen(Qt::black, 2));

    KxCellStyle cell;
    cell.alignment = Qt::AlignCenter;
    KxCellStyle odd = cell;
    odd.background = QColor(Qt::lightGray);
    KxCellStyle group = cell;
    group.background = QColor(Qt::yellow);
    group.bottomLine = group.rightLine = QPen(Qt::blue, 2);
    KxCellStyle head;
    head.font = QFont(QStringLiteral("Arial"), 12);
    KxCellStyle groupHead = group;
    groupHead.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    groupHead.font = QFont(QStringLiteral("Arial"), 12, QFont::Bold);

    KxTableCell corner = table.cell(0, 0);
    corner.setText(QStringLiteral("Access\nBoard"));
    corner.setFont(QFont(QStringLiteral("Arial"), 20, QFont::Bold));
    corner.setTextPen(QColor(0, 26, 55));

    auto setHead = [&](KxTableCell headCell, QString text) {
        const QChar mark = text.at(0);
        if (mark == QLatin1Char('+') || mark == QLatin1Char('-')) {
            headCell.setStyle(groupHead);
            headCell.setGroupMode(mark == QLatin1Char('+') ? KxTableCell::ExpandedHead
                                                           : KxTableCell::CollapsedHead);
            headCell.setText(text.mid(1));
            return true;
        }
        headCell.setStyle(head);
        if (mark == QLatin1Char('!')) {
            headCell.setBackground(QColor(255, 128, 128));
            text.remove(0, 1);
        }
        headCell.setText(QStringLiteral("     ") + text);
        return false;
    };
    QVector<bool> groupColumn{false};
    for (int c = 1; c <= columnHeads.size(); ++c)
        groupColumn.append(setHead(table.cell(0, c), columnHeads.at(c - 1)));
    for (int r = 1; r <= rowHeads.size(); ++r) {
        const bool groupRow = setHead(table.cell(r, 0), rowHeads.at(r - 1));
        for (int c = 1; c <= columnHeads.size(); ++c) {
            KxTableCell right = table.cell(r, c);
            const bool deviates = (r * 7 + c) % 5 == 0;
            right.setStyle(groupRow || groupColumn.at(c) ? group : deviates ? odd : cell);
            right.setText(groupRow || groupColumn.at(c) ? QStringLiteral("...")
                          : deviates                    ? QStringLiteral("S2")
                                                        : QStringLiteral("S1"));
        }
    }
    table.repaint();
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    const QString path = QStringLiteral(KX_SCREENSHOT_DIR "/kxtablewidget-board.png");
    QVERIFY(table.grab().save(path));
    qInfo("screenshot: %s", qPrintable(path));
    // Collapsed "Garage" and "Visitors" show their heads only.
    QVERIFY(table.isColumnShown(5));
    QVERIFY(!table.isColumnShown(6));
    QVERIFY(!table.isRowShown(6));
    QCOMPARE(table.shownColumnCount(), columnHeads.size() - 1);
    QCOMPARE(table.shownRowCount(), rowHeads.size() - 1);
}

void TestKxTableWidget::keyboardPath()
{
    KxTableWidget table;
    setUpGroups(table);
    QVERIFY(table.horizontalSlider()->focusPolicy() == Qt::NoFocus);
    QVERIFY(table.verticalSlider()->focusPolicy() == Qt::NoFocus);
    QSignalSpy clicks(&table, &KxTableWidget::clickedOnCell);
    auto at = [&table] { return QPoint(table.currentColumn(), table.currentRow()); };

    // The first key picks the top left cell; collapsed rows and columns are skipped.
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(at(), QPoint(1, 1));
    QTest::keyClick(&table, Qt::Key_Down);
    QCOMPARE(at(), QPoint(1, 4));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&table, Qt::Key_Right);
    QCOMPARE(at(), QPoint(7, 4));
    QTest::keyClick(&table, Qt::Key_Home);
    QCOMPARE(at(), QPoint(0, 4)); // the row head
    QTest::keyClick(&table, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(at(), QPoint(29, 29));
    // The current cell is scrolled into view.
    QVERIFY(!table.cellRect(29, 29).isEmpty());
    QVERIFY(QRect(QPoint(0, 0), table.viewSize()).contains(table.cellRect(29, 29)));
    QTest::keyClick(&table, Qt::Key_PageUp);
    QCOMPARE(at(), QPoint(29, 16)); // 13 rows up: 29, 28 ... 16
    QTest::keyClick(&table, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(at(), QPoint(0, 0));
    QCOMPARE(table.firstShownRow(), 1);

    QTest::keyClick(&table, Qt::Key_Right);
    QTest::keyClick(&table, Qt::Key_Return);
    QTest::keyClick(&table, Qt::Key_Space);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(0), (QVariantList{0, 1, 2, false}));
    QCOMPARE(clicks.at(1), (QVariantList{0, 1, 1, true}));
    // The menu opens at the current cell.
    QCOMPARE(table.menuPosition(), table.mapToGlobal(table.cellRect(0, 1).center()));

    // A left click without a drag makes the clicked cell current.
    QTest::mouseClick(&table, Qt::LeftButton, Qt::NoModifier, QPoint(225, 125));
    QCOMPARE(at(), QPoint(7, 4));
}

void TestKxTableWidget::filterHidesRowsAndColumns()
{
    KxTableWidget table;
    setUpGroups(table);
    const int rows = table.shownRowCount();
    const int columns = table.shownColumnCount();
    table.setRowFiltered(4, true);
    table.setRowFiltered(5, true);
    table.setColumnFiltered(8, true);
    table.repaint();
    QVERIFY(table.isFiltered());
    QCOMPARE(table.shownRowCount(), rows - 2);
    QCOMPARE(table.shownColumnCount(), columns - 1);
    QVERIFY(!table.isRowShown(5));
    QVERIFY(!table.setCurrentCell(5, 1));
    // A collapsed group stays collapsed under a filter.
    QVERIFY(!table.isRowShown(2));
    table.clearFilter();
    table.repaint();
    QCOMPARE(table.shownRowCount(), rows);
    QCOMPARE(table.shownColumnCount(), columns);
    table.setRowFiltered(4, true);
    table.setSize(30, 30);
    QVERIFY(!table.isFiltered());
}

void TestKxTableWidget::sidewaysWheel()
{
    KxTableWidget table;
    setUpFixed(table, 100, 100);
    auto wheel = [&table](const QPoint &angle, Qt::KeyboardModifiers modifiers) {
        const QPointF pos(300, 200);
        QWheelEvent event(pos, table.mapToGlobal(pos.toPoint()), QPoint(), angle, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&table, &event);
    };
    wheel(QPoint(0, -120), Qt::ShiftModifier);
    QCOMPARE(table.firstShownColumn(), 4);
    QCOMPARE(table.firstShownRow(), 1);
    wheel(QPoint(-120, 0), Qt::NoModifier);
    QCOMPARE(table.firstShownColumn(), 7);
    // A fine wheel adds its small steps up to a row.
    for (int i = 0; i < 39; ++i)
        wheel(QPoint(0, -1), Qt::NoModifier);
    QCOMPARE(table.firstShownRow(), 1);
    wheel(QPoint(0, -1), Qt::NoModifier);
    QCOMPARE(table.firstShownRow(), 2);
}

void TestKxTableWidget::slidersRestWhenAllFits()
{
    KxTableWidget table;
    setUpFixed(table, 10, 10);
    QVERIFY(!table.verticalSlider()->isEnabled());
    QVERIFY(!table.horizontalSlider()->isEnabled());
    setUpFixed(table, 50, 5);
    QVERIFY(table.verticalSlider()->isEnabled());
    table.verticalSlider()->setValue(5000);
    // Shrinking the table so that it fits brings the slider back to the start.
    setUpFixed(table, 5, 5);
    QCOMPARE(table.verticalSlider()->value(), 0);
    QCOMPARE(table.firstShownRow(), 1);
}

void TestKxTableWidget::longHeadsAreCapped()
{
    KxTableWidget table;
    table.resize(600, 500);
    table.setSize(3, 20);
    table.setRowHeight(-1);
    table.setColumnWidth(-1);
    table.setHeaderRowHeight(-1);
    table.setHeaderColumnWidth(-1);
    table.setMaxHeaderRowHeight(200);
    table.setMaxHeaderColumnWidth(150);
    for (int c = 1; c < 20; ++c)
        table.cell(0, c).setText(QStringLiteral("Door %1").arg(c));
    table.cell(0, 5).setText(QStringLiteral("A very long entry name ").repeated(8));
    table.cell(1, 0).setText(QStringLiteral("A user with a long name ").repeated(6));
    table.repaint();
    QCOMPARE(table.headerRowHeight(), -200);
    QCOMPARE(table.headerColumnWidth(), -150);
    // Scrolled to the end, the last slanted head lies inside the view.
    table.horizontalSlider()->setValue(table.horizontalSlider()->maximum());
    const QRect last = table.cellRect(0, 19);
    QVERIFY(!last.isEmpty());
    QVERIFY(last.right() < table.viewSize().width());
}

void TestKxTableWidget::dragFollowsTheHand_data()
{
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QVector<QPoint>>("moves");
    QTest::addColumn<QPoint>("expected");

    // 100 x 100 cells: the offsets end at 99 * 30 - 380 and 99 * 20 - 280.
    QTest::newRow("one pixel") << QPoint(0, 0) << QVector<QPoint>{{-1, 0}} << QPoint(1, 0);
    QTest::newRow("less than a row and a column")
        << QPoint(0, 0) << QVector<QPoint>{{-17, -13}} << QPoint(17, 13);
    QTest::newRow("many small moves add up")
        << QPoint(0, 0) << QVector<QPoint>{{-3, -2}, {-3, -2}, {-3, -2}, {-1, 0}} << QPoint(10, 6);
    QTest::newRow("back and forth")
        << QPoint(500, 500) << QVector<QPoint>{{-550, -100}, {551, 97}} << QPoint(499, 503);
    QTest::newRow("stops at the start")
        << QPoint(20, 20) << QVector<QPoint>{{50, 50}} << QPoint(0, 0);
    QTest::newRow("stops at the end")
        << QPoint(2500, 1600) << QVector<QPoint>{{-500, -500}} << QPoint(2590, 1700);
}

void TestKxTableWidget::dragFollowsTheHand()
{
    QFETCH(QPoint, start);
    QFETCH(QVector<QPoint>, moves);
    QFETCH(QPoint, expected);

    KxTableWidget table;
    setUpFixed(table, 100, 100);
    table.horizontalSlider()->setValue(start.x());
    table.verticalSlider()->setValue(start.y());
    QCOMPARE(table.scrollOffset(), start);
    QPoint mouse(300, 250);
    sendMouse(&table, QEvent::MouseButtonPress, Qt::LeftButton, mouse);
    for (const QPoint &move : moves) {
        mouse += move;
        sendMouse(&table, QEvent::MouseMove, Qt::LeftButton, mouse);
    }
    sendMouse(&table, QEvent::MouseButtonRelease, Qt::LeftButton, mouse);
    QCOMPARE(table.scrollOffset(), expected);
    // The sliders tell the same pixels.
    QCOMPARE(table.horizontalSlider()->value(), expected.x());
    QCOMPARE(table.verticalSlider()->value(), expected.y());
    // What is painted moved with the hand: the cell under a point.
    int row = -1;
    int column = -1;
    QVERIFY(table.cellAt(QPoint(101, 101), &row, &column));
    QCOMPARE(column, 1 + (1 + expected.x()) / 30);
    QCOMPARE(row, 1 + (1 + expected.y()) / 20);
}

void TestKxTableWidget::stickyHeads_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("rowHead");
    QTest::addColumn<int>("columnHead");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QPoint>("cellAtProbe"); // x column, y row

    // Shown rows: 1 (collapsed), 4 (head of 5..29); shown columns: 1 (head
    // of 2, 3), 4 (collapsed), 7 (head of 8..29).
    QTest::newRow("at the start nothing is pinned")
        << QPoint(0, 0) << -1 << -1 << QPoint(50, 105) << QPoint(0, 1);
    QTest::newRow("a collapsed head pushed by the next")
        << QPoint(0, 10) << -1 << -1 << QPoint(50, 115) << QPoint(0, 4);
    QTest::newRow("a head in its place")
        << QPoint(0, 20) << -1 << -1 << QPoint(50, 105) << QPoint(0, 4);
    QTest::newRow("a head partly out stays whole")
        << QPoint(0, 25) << 4 << -1 << QPoint(50, 118) << QPoint(0, 4);
    QTest::newRow("members below the pinned head")
        << QPoint(0, 200) << 4 << -1 << QPoint(50, 125) << QPoint(0, 14);
    QTest::newRow("the pinned row head takes clicks")
        << QPoint(0, 200) << 4 << -1 << QPoint(50, 105) << QPoint(0, 4);
    QTest::newRow("cells stay cells under a pinned head")
        << QPoint(0, 200) << 4 << -1 << QPoint(105, 105) << QPoint(1, 13);
    QTest::newRow("area head pinned")
        << QPoint(45, 0) << -1 << 1 << QPoint(115, 90) << QPoint(1, 0);
    QTest::newRow("area head pushed by the next head")
        << QPoint(70, 0) << -1 << 1 << QPoint(110, 85) << QPoint(1, 0);
    QTest::newRow("the next head beside the pushed one")
        << QPoint(70, 0) << -1 << 1 << QPoint(130, 95) << QPoint(4, 0);
    QTest::newRow("a collapsed area head in its place")
        << QPoint(90, 0) << -1 << -1 << QPoint(115, 90) << QPoint(4, 0);
    QTest::newRow("a later area head pinned")
        << QPoint(150, 0) << -1 << 7 << QPoint(115, 90) << QPoint(7, 0);
    QTest::newRow("both pinned") << QPoint(150, 200) << 4 << 7 << QPoint(140, 90) << QPoint(9, 0);
}

void TestKxTableWidget::stickyHeads()
{
    QFETCH(QPoint, offset);
    QFETCH(int, rowHead);
    QFETCH(int, columnHead);
    QFETCH(QPoint, probe);
    QFETCH(QPoint, cellAtProbe);

    KxTableWidget table;
    setUpGroups(table);
    table.horizontalSlider()->setValue(offset.x());
    table.verticalSlider()->setValue(offset.y());
    QCOMPARE(table.scrollOffset(), offset);
    // Nothing is pinned unless asked for.
    QCOMPARE(table.stickyRowHead(), -1);
    QCOMPARE(table.stickyColumnHead(), -1);
    table.setStickyHeads(true);
    QCOMPARE(table.stickyRowHead(), rowHead);
    QCOMPARE(table.stickyColumnHead(), columnHead);
    int row = -1;
    int column = -1;
    QVERIFY(table.cellAt(probe, &row, &column));
    QCOMPARE(QPoint(column, row), cellAtProbe);
}

void TestKxTableWidget::currentCellClearOfPinnedHeads()
{
    KxTableWidget table;
    setUpGroups(table);
    table.setStickyHeads(true);
    // Going back up, the current cell stops below and right of the pinned heads.
    QVERIFY(table.setCurrentCell(29, 29));
    QVERIFY(table.setCurrentCell(10, 10));
    QCOMPARE(table.stickyRowHead(), 4);
    QCOMPARE(table.stickyColumnHead(), 7);
    const QRect current = table.cellRect(10, 10);
    QCOMPARE(current.topLeft(), QPoint(130, 120));
    QTest::keyClick(&table, Qt::Key_Up);
    QCOMPARE(table.cellRect(9, 10).top(), 120);
    // A head itself goes right to the top.
    QVERIFY(table.setCurrentCell(4, 7));
    QCOMPARE(table.cellRect(4, 7).topLeft(), QPoint(100, 100));
}

void TestKxTableWidget::refitAfterChange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("change"); // "text", "font" or "marker"
    QTest::newRow("body text") << 2 << 2 << "text";
    QTest::newRow("body font") << 2 << 2 << "font";
    QTest::newRow("row head text") << 2 << 0 << "text";
    QTest::newRow("column head text") << 0 << 2 << "text";
    QTest::newRow("row head marker") << 2 << 0 << "marker";
    QTest::newRow("column head marker") << 0 << 2 << "marker";
}

// Fitted sizes follow a change in any part of the table, though each part
// is measured again only after a change of its own.
void TestKxTableWidget::refitAfterChange()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, change);
    KxTableWidget table;
    table.setSize(4, 4);
    for (int i = 1; i < 4; ++i) {
        table.cell(0, i).setText(QStringLiteral("Door %1").arg(i));
        table.cell(i, 0).setText(QStringLiteral("User %1").arg(i));
        for (int j = 1; j < 4; ++j)
            table.cell(i, j).setText(QStringLiteral("S1"));
    }
    table.setRowHeight(-1);
    table.setColumnWidth(-1);
    table.setHeaderRowHeight(-1);
    table.setHeaderColumnWidth(-1);
    table.repaint();
    const QVector<int> before = {table.rowHeight(), table.columnWidth(), table.headerRowHeight(),
                                 table.headerColumnWidth()};
    table.repaint();
    QCOMPARE((QVector<int>{table.rowHeight(), table.columnWidth(), table.headerRowHeight(),
                           table.headerColumnWidth()}),
             before);

    KxTableCell cell = table.cell(row, column);
    if (change == QLatin1String("text")) {
        cell.setText(cell.text() + QStringLiteral(" WWWWWWWWWWWWWWWW"));
    } else if (change == QLatin1String("font")) {
        QFont big = cell.font();
        big.setPointSize(big.pointSize() * 3);
        cell.setFont(big);
    } else {
        cell.setGroupMode(KxTableCell::CollapsedHead);
    }
    table.repaint();
    // Body cells shape the rows and columns, row heads the header column,
    // column heads the header row.
    if (row > 0 && column > 0) {
        QVERIFY(-table.columnWidth() > -before.at(1));
        if (change == QLatin1String("font"))
            QVERIFY(-table.rowHeight() > -before.at(0));
    } else if (column == 0) {
        QVERIFY(-table.headerColumnWidth() > -before.at(3));
    } else {
        QVERIFY(-table.headerRowHeight() > -before.at(2));
    }
}

void TestKxTableWidget::roleValuesSurviveStoreChanges_data()
{
    QTest::addColumn<QVariant>("odd"); // set on one cell after many integers
    QTest::newRow("text") << QVariant(QStringLiteral("text"));
    QTest::newRow("smallest integer") << QVariant(std::numeric_limits<int>::min());
    QTest::newRow("flag") << QVariant(true);
    QTest::newRow("large number") << QVariant(qint64(1) << 40);
    QTest::newRow("another integer") << QVariant(-5);
}

void TestKxTableWidget::roleValuesSurviveStoreChanges()
{
    QFETCH(QVariant, odd);
    KxTableWidget table;
    table.setSize(40, 40);
    for (int i = 0; i < 40 * 40; i += 2)
        table.cell(i / 40, i % 40).setData(256, i - 800);
    table.cell(7, 7).setData(256, odd);
    table.cell(0, 2).setData(256, QVariant());
    for (int i = 0; i < 40 * 40; ++i) {
        const QVariant value = table.cell(i / 40, i % 40).data(256);
        const QVariant expected = i == 7 * 40 + 7   ? odd
                                  : i == 2 || i % 2 ? QVariant()
                                                    : QVariant(i - 800);
        QCOMPARE(value, expected);
        QCOMPARE(value.userType(), expected.userType());
    }
}

void TestKxTableWidget::fillRowSetsCells()
{
    KxTableWidget table;
    const int deviating = table.addStyle([] {
        KxCellStyle style;
        style.background = QColor(Qt::lightGray);
        return style;
    }());
    table.setSize(3, 5);
    table.cell(1, 4).setText(QStringLiteral("kept"));
    table.cell(1, 4).setData(256, 9);
    table.cell(2, 1).setData(256, QStringLiteral("not a number"));
    const QString tag = QStringLiteral("S1");
    QVector<KxTableWidget::CellFill> fills(5);
    fills[0] = {&tag, -1, 7};
    fills[1] = {nullptr, deviating, KxTableWidget::NoData};
    fills[2] = {&tag, deviating, -3};
    table.fillRow(1, 1, fills, 256); // one fill more than the row has room for
    QCOMPARE(table.cell(1, 1).text(), tag);
    QCOMPARE(table.cell(1, 1).data(256), QVariant(7));
    QCOMPARE(table.cell(1, 1).styleIndex(), table.cell(1, 0).styleIndex());
    QCOMPARE(table.cell(1, 2).text(), QString());
    QCOMPARE(table.cell(1, 2).data(256), QVariant());
    QCOMPARE(table.cell(1, 2).styleIndex(), deviating);
    QCOMPARE(table.cell(1, 3).data(256), QVariant(-3));
    QCOMPARE(table.cell(1, 4).text(), QStringLiteral("kept"));
    QCOMPARE(table.cell(1, 4).data(256), QVariant(9));
    QCOMPARE(table.cell(2, 1).data(256).toString(), QStringLiteral("not a number"));
    // A role that holds other values takes the integers as values.
    table.fillRow(2, 2, fills, 256);
    QCOMPARE(table.cell(2, 2).data(256), QVariant(7));
    QCOMPARE(table.cell(2, 1).data(256).toString(), QStringLiteral("not a number"));
    // The fill counts for fitting like any change of text.
    table.setColumnWidth(-1);
    table.repaint();
    const int width = table.columnWidth();
    const QString wide = QStringLiteral("WWWWWWWWWWWW");
    fills[0] = {&wide, -1, KxTableWidget::NoData};
    table.fillRow(2, 1, fills, 256);
    table.repaint();
    QVERIFY(-table.columnWidth() > -width);
}

// Each cell look is drawn once and copied: a change of style, text or size
// shows at the next paint.
void TestKxTableWidget::paintFollowsChanges()
{
    KxTableWidget table;
    setUpFixed(table, 5, 5);
    for (int r = 1; r < 5; ++r) {
        for (int c = 1; c < 5; ++c)
            table.cell(r, c).setText(QStringLiteral("A"));
    }
    auto colourAt = [&](int row, int column) {
        const QImage image = table.grab().toImage();
        const QRect box = table.cellRect(row, column);
        return image.pixelColor(box.left() + 2, box.top() + 2);
    };
    QCOMPARE(colourAt(2, 2), QColor(Qt::white));
    table.cell(2, 2).setBackground(QColor(Qt::green));
    QCOMPARE(colourAt(2, 2), QColor(Qt::green));
    QCOMPARE(colourAt(2, 3), QColor(Qt::white));
    // Same style and text as (2, 2) now: the same look.
    table.cell(3, 3).setStyleIndex(table.cell(2, 2).styleIndex());
    QCOMPARE(colourAt(3, 3), QColor(Qt::green));
    // Wider columns: the copied look is as wide as the column.
    table.setColumnWidth(60);
    table.repaint();
    const QImage image = table.grab().toImage();
    const QRect box = table.cellRect(2, 2);
    QCOMPARE(box.width(), 60);
    QCOMPARE(image.pixelColor(box.right() - 3, box.top() + 2), QColor(Qt::green));
    QCOMPARE(image.pixelColor(box.right() + 3, box.top() + 2), QColor(Qt::white));
}

KX_TEST_GUI_MAIN(TestKxTableWidget)
#include "tst_kxtablewidget.moc"
