// Fills, paints and collapses an access board of the largest size we plan for:
// 5,000 users in 50 groups against 300 entries in 20 areas. Prints medians.
#include "benchtiming.h"
#include "widgets/kxtablewidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Groups = 50;
constexpr int UsersPerGroup = 100;
constexpr int Areas = 20;
constexpr int EntriesPerArea = 15;
constexpr int Runs = 5;

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : 0;
}

void fillBoard(KxTableWidget &table)
{
    const int rows = 1 + Groups * (1 + UsersPerGroup);
    const int columns = 1 + Areas * (1 + EntriesPerArea);
    table.setSize(rows, columns);
    table.setRowHeight(-1);
    table.setColumnWidth(-1);
    table.setHeaderRowHeight(-1);
    table.setHeaderColumnWidth(-1);
    table.setMinHeaderRowHeight(150);
    table.setMinHeaderColumnWidth(150);
    table.setXMargin(8);
    table.setYMargin(6);

    const QFont headFont(QStringLiteral("Arial"), 12);
    QFont boldFont(headFont);
    boldFont.setBold(true);
    KxCellStyle cell;
    cell.alignment = Qt::AlignCenter;
    KxCellStyle odd = cell;
    odd.background = QColor(Qt::lightGray);
    KxCellStyle group = cell;
    group.background = QColor(Qt::yellow);
    group.bottomLine = QPen(Qt::blue, 2);
    group.rightLine = group.bottomLine;
    KxCellStyle groupHead = group;
    groupHead.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    groupHead.font = boldFont;
    KxCellStyle head;
    head.font = headFont;
    KxCellStyle pending = head;
    pending.background = QColor(255, 128, 128);
    const int cellStyle = table.addStyle(cell);
    const int oddStyle = table.addStyle(odd);
    const int groupStyle = table.addStyle(group);
    const int groupHeadStyle = table.addStyle(groupHead);
    const int headStyle = table.addStyle(head);
    const int pendingStyle = table.addStyle(pending);

    const QStringList tags{QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("W3"),
                           QStringLiteral("N1")};
    const QString mixed = QStringLiteral("...");
    std::vector<bool> areaColumn(size_t(columns), false);
    for (int a = 0, c = 1; a < Areas; ++a) {
        KxTableCell areaHead = table.cell(0, c);
        areaHead.setStyleIndex(groupHeadStyle);
        areaHead.setText(QStringLiteral("Area %1").arg(a + 1));
        areaHead.setGroupMode(KxTableCell::ExpandedHead);
        areaColumn[size_t(c++)] = true;
        for (int e = 0; e < EntriesPerArea; ++e, ++c) {
            KxTableCell entry = table.cell(0, c);
            entry.setStyleIndex(e % 7 == 0 ? pendingStyle : headStyle);
            entry.setText(QStringLiteral("     Entry %1-%2").arg(a + 1).arg(e + 1));
            entry.setData(256, c);
        }
    }
    for (int g = 0, r = 1; g < Groups; ++g) {
        KxTableCell groupRow = table.cell(r, 0);
        groupRow.setStyleIndex(groupHeadStyle);
        groupRow.setText(QStringLiteral("Group %1").arg(g + 1));
        groupRow.setGroupMode(KxTableCell::ExpandedHead);
        for (int c = 1; c < columns; ++c) {
            KxTableCell member = table.cell(r, c);
            member.setStyleIndex(groupStyle);
            member.setText(mixed);
            member.setData(258, 2);
        }
        ++r;
        for (int u = 0; u < UsersPerGroup; ++u, ++r) {
            KxTableCell user = table.cell(r, 0);
            user.setStyleIndex(headStyle);
            user.setText(QStringLiteral("     Family%1, First%2").arg(r).arg(u));
            user.setData(256, r);
            for (int c = 1; c < columns; ++c) {
                KxTableCell right = table.cell(r, c);
                if (areaColumn[size_t(c)]) {
                    right.setStyleIndex(groupStyle);
                    right.setText(mixed);
                    right.setData(258, 1);
                    continue;
                }
                const int choice = (r * 31 + c * 17) % 7;
                if (choice < 4) {
                    right.setText(tags.at(choice));
                    right.setData(256, choice + 1);
                }
                right.setStyleIndex(choice == 3 ? oddStyle : cellStyle);
            }
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("Arial"), 10));

    KxTableWidget table;
    table.resize(1920, 1080);
    const qint64 before = residentBytes();
    fillBoard(table);
    const qint64 after = residentBytes();

    const double fill = medianMs([&] { fillBoard(table); });
    const double fit = medianMs([&] { table.repaint(); });
    QPixmap target(table.size());
    const double paint = medianMs([&] { table.render(&target); });

    table.verticalSlider()->setValue(5000);
    table.horizontalSlider()->setValue(5000);
    const double paintMiddle = medianMs([&] { table.render(&target); });

    // One collapse toggle as the board does it: flip a head, refit, repaint.
    KxTableCell groupHead = table.cell(1 + 10 * (1 + UsersPerGroup), 0);
    const double toggle = medianMs([&] {
        groupHead.setGroupMode(groupHead.groupMode() == KxTableCell::ExpandedHead
                                   ? KxTableCell::CollapsedHead
                                   : KxTableCell::ExpandedHead);
        table.repaint();
        table.render(&target);
    });

    std::printf("table: %d rows x %d columns = %d cells (%d user groups, %d areas)\n",
                table.rowCount(), table.columnCount(), table.rowCount() * table.columnCount(),
                Groups, Areas);
    std::printf("fitted sizes: row %d, column %d, header row %d, header column %d\n",
                -table.rowHeight(), -table.columnWidth(), -table.headerRowHeight(),
                -table.headerColumnWidth());
    std::printf("fill (median of %d): %.1f ms\n", Runs, fill);
    std::printf("cell memory (estimate): %.1f MiB, %.1f bytes per cell; styles: %d\n",
                table.approximateCellMemory() / 1048576.0,
                double(table.approximateCellMemory()) / (table.rowCount() * table.columnCount()),
                table.styleCount());
    std::printf("resident memory added by the first fill: %.1f MiB\n",
                (after - before) / 1048576.0);
    std::printf("repaint() with fitting over all cells (median): %.1f ms\n", fit);
    std::printf("one paint at 1920x1080, top left (median): %.2f ms\n", paint);
    std::printf("one paint at 1920x1080, middle (median): %.2f ms\n", paintMiddle);
    std::printf("one collapse toggle: head, repaint() and paint (median): %.1f ms\n", toggle);
    return 0;
}
