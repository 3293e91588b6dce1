#include "widgets/kxtablepainter.h"

#include "widgets/kxcellstore.h"
#include "widgets/kxtablecell.h"
#include "widgets/kxtablegeometry.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {
constexpr qreal Sqrt2 = 1.4142135623730951;
constexpr int MarkerRoom = KxTableGeometry::MarkerRoom;
} // namespace

KxTablePainter::KxTablePainter(KxCellStore &store, const KxTableGeometry &geometry)
    : m_store(store), m_geometry(geometry)
{
}

void KxTablePainter::paint(QWidget &widget, const Marks &marks)
{
    const QSize view = m_geometry.viewSize();
    QPainter widgetPainter(&widget);
    // The corner square between the two sliders belongs to no view.
    widgetPainter.fillRect(widget.rect(), widget.palette().window());
    if (view.isEmpty())
        return;
    m_ratio = widget.devicePixelRatioF();
    const QSize pixels = view * m_ratio;
    if (m_pixmap.size() != pixels) {
        m_pixmap = QPixmap(pixels);
        m_pixmap.setDevicePixelRatio(m_ratio);
    }
    {
        QPainter painter(&m_pixmap);
        paintTable(painter, view, marks);
    }
    widgetPainter.drawPixmap(0, 0, m_pixmap);
}

void KxTablePainter::paintTable(QPainter &painter, const QSize &view, const Marks &marks)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int xMargin = m_geometry.xMargin();
    const int yMargin = m_geometry.yMargin();
    painter.fillRect(QRect(QPoint(0, 0), view), m_backgroundBrush);

    if (m_store.rowCount() > 0 && m_store.columnCount() > 0) {
        const KxCellStore::Record &corner = m_store.record(0);
        const KxCellStyle &style = m_store.style(int(corner.style));
        const QRect area(0, 0, hcw, hrh);
        painter.setClipRect(area);
        painter.fillRect(area, style.background);
        if (!corner.text.isEmpty()) {
            painter.setFont(style.font);
            painter.setPen(style.textPen);
            painter.drawText(area.adjusted(xMargin / 2, yMargin / 2, -xMargin / 2, -yMargin / 2),
                             int(style.alignment), corner.text);
        }
        paintColumnHeaders(painter, view);
        paintRowHeaders(painter, view);
    }
    paintCells(painter, view);
    paintHighlights(painter, view, marks);
    paintStickyHeads(painter, view);

    painter.setClipping(false);
    painter.setPen(m_separatorPen);
    painter.drawLine(hcw, 0, hcw, view.height());
    painter.drawLine(0, hrh, view.width(), hrh);
}

void KxTablePainter::paintColumnHead(QPainter &painter, int column, int x)
{
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int cw = m_geometry.currentColumnWidth();
    // In the rotated frame a band runs along x from the column's lower left
    // corner; it is as thick as the column width across the slant.
    const qreal thickness = cw / Sqrt2;
    const qreal length = (hrh + cw) * Sqrt2;
    const KxCellStore::Record &head = m_store.record(column);
    const KxCellStyle &style = m_store.style(int(head.style));
    painter.save();
    painter.translate(x, hrh);
    painter.rotate(-45);
    painter.fillRect(QRectF(0, 0, length, thickness), style.background);
    // Start where the whole text height clears the cell area below; the
    // band leaves the top edge after hrh * sqrt(2).
    const qreal textHeight = QFontMetricsF(style.font).height();
    const qreal start = thickness / 2 + textHeight / 2 + m_geometry.xMargin() / 2.0;
    // The marker follows the name; a head without one has none.
    const bool marked = head.groupMode != KxTableCell::Ordinary && !head.text.isEmpty();
    // The text's upper edge leaves the top of the header row there.
    const int room =
        int(hrh * Sqrt2 + thickness / 2 - textHeight / 2 - start) - (marked ? MarkerRoom : 0);
    qreal textEnd = start;
    if (!head.text.isEmpty()) {
        const QString text = fittedHeadText(column, room);
        painter.setFont(style.font);
        painter.setPen(style.textPen);
        QRectF drawn;
        painter.drawText(QRectF(start, 0, length - start, thickness),
                         int(style.alignment) | Qt::TextDontClip, text, &drawn);
        textEnd = drawn.right();
    }
    if (marked)
        paintGroupMarker(painter, QPointF(textEnd + 10, thickness / 2), head.groupMode,
                         style.textPen);
    painter.restore();
}

void KxTablePainter::paintColumnHeaders(QPainter &painter, const QSize &view)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int cw = m_geometry.currentColumnWidth();
    if (view.width() <= hcw || hrh <= 0)
        return;
    painter.save();
    painter.setClipRect(QRect(hcw, 0, view.width() - hcw, hrh));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const int first = m_geometry.firstShownPosition(true);
    const int left = m_geometry.firstShownPixel(true);
    const QVector<int> &shown = m_geometry.shownColumns();
    int x = left;
    for (int i = first; i < shown.size() && x < view.width(); ++i, x += cw)
        paintColumnHead(painter, shown.at(i), x);
    x = left;
    for (int i = first; i < shown.size() && x < view.width(); ++i, x += cw) {
        const KxCellStore::Record &head = m_store.record(shown.at(i));
        painter.setPen(m_store.style(int(head.style)).rightLine);
        painter.drawLine(QPointF(x + cw, hrh), QPointF(x + cw + hrh, 0));
    }
    painter.restore();
}

void KxTablePainter::paintRowHead(QPainter &painter, int row, int y)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int rh = m_geometry.currentRowHeight();
    const int xMargin = m_geometry.xMargin();
    const int index = row * m_store.columnCount();
    const KxCellStore::Record &head = m_store.record(index);
    const KxCellStyle &style = m_store.style(int(head.style));
    const QRect band(0, y, hcw, rh);
    painter.fillRect(band, style.background);
    const bool marked = head.groupMode != KxTableCell::Ordinary && !head.text.isEmpty();
    const int halfMargin = xMargin / 2; // whole pixels, as the heads always started
    qreal textEnd = halfMargin;
    if (!head.text.isEmpty()) {
        const QString text = fittedHeadText(index, hcw - xMargin - (marked ? MarkerRoom : 0));
        painter.setFont(style.font);
        painter.setPen(style.textPen);
        QRect drawn;
        painter.drawText(band.adjusted(xMargin / 2, 0, -xMargin / 2, 0), int(style.alignment), text,
                         &drawn);
        textEnd = drawn.right();
    }
    if (marked)
        paintGroupMarker(painter, QPointF(textEnd + 10, y + rh / 2.0), head.groupMode,
                         style.textPen);
}

void KxTablePainter::paintRowHeaders(QPainter &painter, const QSize &view)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int rh = m_geometry.currentRowHeight();
    if (view.height() <= hrh || hcw <= 0)
        return;
    painter.setClipRect(QRect(0, hrh, hcw, view.height() - hrh));
    const int first = m_geometry.firstShownPosition(false);
    const int top = m_geometry.firstShownPixel(false);
    const QVector<int> &shown = m_geometry.shownRows();
    const int columns = m_store.columnCount();
    int y = top;
    int last = first;
    for (; last < shown.size() && y < view.height(); ++last, y += rh)
        paintRowHead(painter, shown.at(last), y);
    y = top;
    for (int i = first; i < last; ++i, y += rh) {
        const KxCellStore::Record &head = m_store.record(shown.at(i) * columns);
        painter.setPen(m_store.style(int(head.style)).bottomLine);
        painter.drawLine(0, y + rh - 1, hcw, y + rh - 1);
    }
}

void KxTablePainter::paintStickyHeads(QPainter &painter, const QSize &view)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int cw = m_geometry.currentColumnWidth();
    const int rh = m_geometry.currentRowHeight();
    int pinned = 0;
    // Pinned heads lie over everything below them, with a soft shadow that
    // tells them from heads in their own place.
    const int row = m_geometry.stickyHead(false, &pinned);
    if (row >= 0 && view.height() > hrh && hcw > 0) {
        painter.save();
        painter.setClipRect(QRect(0, hrh, hcw, view.height() - hrh));
        paintRowHead(painter, row, pinned);
        QLinearGradient shadow(0, pinned + rh, 0, pinned + rh + 4);
        shadow.setColorAt(0, QColor(0, 0, 0, 70));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(QRect(0, pinned + rh, hcw, 4), shadow);
        const int style = int(m_store.record(row * m_store.columnCount()).style);
        painter.setPen(m_store.style(style).bottomLine);
        painter.drawLine(0, pinned + rh - 1, hcw, pinned + rh - 1);
        painter.restore();
    }
    const int column = m_geometry.stickyHead(true, &pinned);
    if (column >= 0 && view.width() > hcw && hrh > 0) {
        painter.save();
        painter.setClipRect(QRect(hcw, 0, view.width() - hcw, hrh));
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        paintColumnHead(painter, column, pinned);
        // The shadow falls across the slant, on the band's right.
        const QPointF foot(pinned + cw, hrh);
        QLinearGradient shadow(foot, foot + QPointF(2.8, 2.8));
        shadow.setColorAt(0, QColor(0, 0, 0, 70));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        const QPointF band[] = {foot, foot + QPointF(hrh, -hrh), foot + QPointF(hrh + 4, -hrh),
                                foot + QPointF(4, 0)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(shadow);
        painter.drawPolygon(band, 4);
        painter.setPen(m_store.style(int(m_store.record(column).style)).rightLine);
        painter.drawLine(foot, foot + QPointF(hrh, -hrh));
        painter.restore();
    }
}

void KxTablePainter::paintCells(QPainter &painter, const QSize &view)
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const QRect area(hcw, hrh, view.width() - hcw, view.height() - hrh);
    if (area.isEmpty())
        return;
    painter.setClipRect(area);
    const int columnCount = m_store.columnCount();
    if (m_store.rowCount() < 2 || columnCount < 2) {
        painter.setFont(m_emptyTextFont);
        painter.setPen(m_emptyTextPen);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, m_emptyText);
        return;
    }

    const int rh = m_geometry.currentRowHeight();
    const int cw = m_geometry.currentColumnWidth();
    const int xMargin = m_geometry.xMargin();
    const int top = m_geometry.firstShownPixel(false);
    const int left = m_geometry.firstShownPixel(true);
    const QVector<int> &shownRows = m_geometry.shownRows();
    const QVector<int> &shownColumns = m_geometry.shownColumns();
    QVector<int> rows;
    for (int i = m_geometry.firstShownPosition(false), y = top;
         i < shownRows.size() && y < view.height(); ++i, y += rh)
        rows.append(shownRows.at(i));
    QVector<int> columns;
    for (int i = m_geometry.firstShownPosition(true), x = left;
         i < shownColumns.size() && x < view.width(); ++i, x += cw)
        columns.append(shownColumns.at(i));

    const QVector<KxCellStore::Record> &cells = m_store.records();
    const QVector<KxCellStyle> &styles = m_store.styles();
    // Fonts and pens change only where the style does.
    int textStyle = -1;
    const QSize cellSize(cw, rh);
    for (int j = 0; j < rows.size(); ++j) {
        const int rowStart = rows.at(j) * columnCount;
        const int y = top + j * rh;
        for (int i = 0; i < columns.size(); ++i) {
            const KxCellStore::Record &record = cells.at(rowStart + columns.at(i));
            const QRect box(left + i * cw, y, cw, rh);
            if (const QPixmap *image = cellImage(record.style, record.text, cellSize)) {
                painter.drawPixmap(box.topLeft(), *image);
                continue;
            }
            const KxCellStyle &style = styles.at(int(record.style));
            painter.fillRect(box, style.background);
            if (record.text.isEmpty())
                continue;
            if (textStyle != int(record.style)) {
                textStyle = int(record.style);
                painter.setFont(style.font);
                painter.setPen(style.textPen);
            }
            painter.drawText(box.adjusted(xMargin / 2, 0, -xMargin / 2, 0), int(style.alignment),
                             record.text);
        }
    }
    for (int j = 0; j < rows.size(); ++j) {
        const int rowStart = rows.at(j) * columnCount;
        const int y = top + j * rh;
        for (int i = 0; i < columns.size(); ++i) {
            const KxCellStyle &style = styles.at(int(cells.at(rowStart + columns.at(i)).style));
            const int x = left + i * cw;
            painter.setPen(style.bottomLine);
            painter.drawLine(x, y + rh - 1, x + cw - 1, y + rh - 1);
            painter.setPen(style.rightLine);
            painter.drawLine(x + cw - 1, y, x + cw - 1, y + rh - 1);
        }
    }
}

const QPixmap *KxTablePainter::cellImage(quint32 style, const QString &text, const QSize &size)
{
    const KxCellStyle &look = m_store.style(int(style));
    if (look.background.style() != Qt::SolidPattern || !look.background.isOpaque())
        return nullptr;
    const int xMargin = m_geometry.xMargin();
    // A board shows a handful of looks; a table of all different texts
    // starts afresh rather than growing without end.
    constexpr int MostImages = 4096;
    if (size != m_cellImageSize || m_ratio != m_cellImageRatio || xMargin != m_cellImageMargin ||
        m_cellImages.size() >= MostImages) {
        m_cellImages.clear();
        m_cellImageSize = size;
        m_cellImageRatio = m_ratio;
        m_cellImageMargin = xMargin;
    }
    const QPair<quint32, QString> key(style, text);
    auto it = m_cellImages.find(key);
    if (it == m_cellImages.end()) {
        QPixmap image(size * m_ratio);
        image.setDevicePixelRatio(m_ratio);
        QPainter painter(&image);
        const QRect box(QPoint(0, 0), size);
        painter.fillRect(box, look.background);
        if (!text.isEmpty()) {
            painter.setFont(look.font);
            painter.setPen(look.textPen);
            painter.drawText(box.adjusted(xMargin / 2, 0, -xMargin / 2, 0), int(look.alignment),
                             text);
        }
        painter.end();
        it = m_cellImages.insert(key, image);
    }
    return &it.value();
}

void KxTablePainter::paintHighlights(QPainter &painter, const QSize &view, const Marks &marks)
{
    if (m_store.rowCount() < 2 || m_store.columnCount() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const int cw = m_geometry.currentColumnWidth();
    // Rows scroll under the header row, columns under the header column.
    auto clipTo = [&](bool row, bool column) {
        const int x = column ? hcw : 0;
        const int y = row ? hrh : 0;
        painter.setClipRect(QRect(x, y, view.width() - x, view.height() - y));
    };
    // The row and column under the mouse, else those of the current cell.
    const bool hovering = marks.hoverRow >= 0 || marks.hoverColumn >= 0;
    const int tintRow = hovering ? marks.hoverRow : marks.currentRow;
    const int tintColumn = hovering ? marks.hoverColumn : marks.currentColumn;
    const QColor tint(0, 120, 215, 36);
    if (tintRow > 0) {
        const QRect band = m_geometry.cellRect(tintRow, 0);
        clipTo(true, false);
        if (!band.isEmpty())
            painter.fillRect(QRect(0, band.y(), view.width(), band.height()), tint);
    }
    if (tintColumn > 0) {
        const QRect head = m_geometry.cellRect(0, tintColumn);
        if (!head.isEmpty()) {
            const int x = head.x();
            clipTo(false, true);
            painter.fillRect(QRect(x, hrh, cw, view.height() - hrh), tint);
            const QPointF band[] = {QPointF(x, hrh), QPointF(x + cw, hrh), QPointF(x + cw + hrh, 0),
                                    QPointF(x + hrh, 0)};
            painter.setPen(Qt::NoPen);
            painter.setBrush(tint);
            painter.drawPolygon(band, 4);
        }
    }
    const int currentRow = marks.currentRow;
    const int currentColumn = marks.currentColumn;
    const QRect current = m_geometry.cellRect(currentRow, currentColumn);
    if (!current.isEmpty()) {
        painter.setPen(QPen(marks.focused ? QColor(0, 84, 180) : QColor(90, 120, 160), 2));
        painter.setBrush(Qt::NoBrush);
        if (currentRow > 0 || currentColumn > 0)
            clipTo(currentRow > 0, currentColumn > 0);
        else
            painter.setClipping(false);
        if (currentRow == 0 && currentColumn > 0) {
            const int x = current.x();
            const QPointF band[] = {QPointF(x + 1, hrh - 1), QPointF(x + cw - 1, hrh - 1),
                                    QPointF(x + cw - 1 + hrh, 0), QPointF(x + 1 + hrh, 0)};
            painter.drawPolygon(band, 4);
        } else {
            painter.drawRect(QRectF(current).adjusted(1, 1, -1, -1));
        }
    }
    painter.restore();
}

QString KxTablePainter::fittedHeadText(int index, int room)
{
    const KxCellStore::Record &head = m_store.record(index);
    if (m_store.textSize(index).width() <= room)
        return head.text;
    const QFontMetrics metrics(m_store.style(int(head.style)).font);
    return metrics.elidedText(head.text, Qt::ElideRight, std::max(room, 0));
}

void KxTablePainter::paintGroupMarker(QPainter &painter, const QPointF &at, int mode,
                                      const QPen &pen)
{
    // A small triangle: pointing forward when collapsed, down when expanded.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(pen.color());
    const qreal s = 4.5;
    if (mode == KxTableCell::CollapsedHead) {
        const QPointF points[] = {at + QPointF(-s / 2, -s), at + QPointF(-s / 2, s),
                                  at + QPointF(s, 0)};
        painter.drawPolygon(points, 3);
    } else {
        const QPointF points[] = {at + QPointF(-s, -s / 2), at + QPointF(s, -s / 2),
                                  at + QPointF(0, s)};
        painter.drawPolygon(points, 3);
    }
    painter.restore();
}
