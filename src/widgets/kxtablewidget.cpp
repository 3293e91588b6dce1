#include "widgets/kxtablewidget.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <optional>

namespace {
constexpr qreal Sqrt2 = 1.4142135623730951;
constexpr int MarkerRoom = KxTableGeometry::MarkerRoom;
} // namespace

KxTableWidget::KxTableWidget(QWidget *parent)
    : QWidget(parent), m_horizontalSlider(new QSlider(Qt::Horizontal, this)),
      m_verticalSlider(new QSlider(Qt::Vertical, this)),
      m_geometry(m_store, *this, *m_horizontalSlider, *m_verticalSlider),
      m_backgroundBrush(Qt::white, Qt::SolidPattern), m_separatorPen(Qt::black),
      m_emptyText(tr("Empty Table")), m_emptyTextFont(font()), m_emptyTextPen(Qt::red)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Keys move the current cell; the mouse highlights the row and column it is over.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    KxCellStyle defaultStyle;
    defaultStyle.font = font();
    m_store.addStyle(defaultStyle);

    for (QSlider *slider : {m_horizontalSlider, m_verticalSlider}) {
        slider->setRange(0, 0);
        slider->setValue(0);
        // Tab belongs to the table, not to its sliders.
        slider->setFocusPolicy(Qt::NoFocus);
        connect(slider, &QSlider::valueChanged, this, &KxTableWidget::sliderChanged);
    }
    // Value 0 at the top, like a scroll bar.
    m_verticalSlider->setInvertedAppearance(true);
    placeSliders();
}

KxTableWidget::~KxTableWidget() = default;

void KxTableWidget::setSize(int rows, int columns, const KxCellTemplate *cellTemplate)
{
    m_store.reset(rows, columns, cellTemplate);
    m_cellImages.clear();
    m_geometry.reset();
    m_currentRow = m_currentColumn = -1;
    m_hoverRow = m_hoverColumn = -1;
}

KxTableCell KxTableWidget::cell(int row, int column)
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return KxTableCell();
    return KxTableCell(this, row, column, column + row * columnCount());
}

void KxTableWidget::fillRow(int row, int column, const QVector<CellFill> &cells, int role)
{
    m_store.fillRow(row, column, cells, role);
}

int KxTableWidget::addStyle(const KxCellStyle &style)
{
    return m_store.addStyle(style);
}

KxCellStyle KxTableWidget::styleAt(int index) const
{
    return m_store.styleAt(index);
}

void KxTableWidget::setHorizontalSliderShown(bool shown)
{
    m_geometry.setHorizontalSliderShown(shown);
    placeSliders();
    update();
}

void KxTableWidget::setVerticalSliderShown(bool shown)
{
    m_geometry.setVerticalSliderShown(shown);
    placeSliders();
    update();
}

void KxTableWidget::setStickyHeads(bool sticky)
{
    m_geometry.setStickyHeads(sticky);
    update();
}

void KxTableWidget::setScrollOffset(bool horizontal, int pixels)
{
    updateSliderStates();
    QSlider *slider = horizontal ? m_horizontalSlider : m_verticalSlider;
    slider->setValue(std::clamp(pixels, 0, slider->maximum()));
}

void KxTableWidget::scrollToPosition(bool horizontal, int position)
{
    const int size = horizontal ? m_geometry.currentColumnWidth() : m_geometry.currentRowHeight();
    setScrollOffset(horizontal,
                    int(std::min<qint64>(qint64(std::max(position, 0)) * size, INT_MAX)));
}

void KxTableWidget::ensureVisible(int row, int column)
{
    for (const bool horizontal : {false, true}) {
        const std::optional<int> offset =
            m_geometry.offsetShowing(horizontal, horizontal ? column : row);
        if (offset)
            setScrollOffset(horizontal, *offset);
    }
}

bool KxTableWidget::setCurrentCell(int row, int column)
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount() || !isRowShown(row) ||
        !isColumnShown(column))
        return false;
    ensureVisible(row, column);
    if (row != m_currentRow || column != m_currentColumn) {
        m_currentRow = row;
        m_currentColumn = column;
        emit currentCellChanged(row, column);
    }
    update();
    return true;
}

void KxTableWidget::clearCurrentCell()
{
    if (m_currentRow < 0 && m_currentColumn < 0)
        return;
    m_currentRow = m_currentColumn = -1;
    emit currentCellChanged(-1, -1);
    update();
}

void KxTableWidget::setRowFiltered(int row, bool filtered)
{
    m_geometry.setRowFiltered(row, filtered);
}

void KxTableWidget::setColumnFiltered(int column, bool filtered)
{
    m_geometry.setColumnFiltered(column, filtered);
}

void KxTableWidget::clearFilter()
{
    m_geometry.clearFilter();
}

void KxTableWidget::repaint()
{
    m_geometry.fitSizes();
    m_geometry.markGroupsDirty();
    m_geometry.updateShown();
    placeSliders();
    updateSliderStates();
    update();
}

void KxTableWidget::scrollTop()
{
    m_verticalSlider->setValue(m_verticalSlider->minimum());
}

void KxTableWidget::scrollBottom()
{
    m_verticalSlider->setValue(m_verticalSlider->maximum());
}

void KxTableWidget::sliderChanged(int value)
{
    Q_UNUSED(value)
    // Scrolling changes no text: the fitted sizes stand, a paint is enough.
    update();
}

void KxTableWidget::placeSliders()
{
    const int hcw = m_geometry.currentHeaderColumnWidth();
    const int hrh = m_geometry.currentHeaderRowHeight();
    const bool horizontalShown = m_geometry.isHorizontalSliderShown();
    const bool verticalShown = m_geometry.isVerticalSliderShown();
    const int right = verticalShown ? SliderThickness : 0;
    const int bottom = horizontalShown ? SliderThickness : 0;
    m_horizontalSlider->setGeometry(hcw, height() - SliderThickness,
                                    std::max(0, width() - hcw - right), SliderThickness);
    m_verticalSlider->setGeometry(width() - SliderThickness, hrh, SliderThickness,
                                  std::max(0, height() - hrh - bottom));
    m_horizontalSlider->setVisible(horizontalShown);
    m_verticalSlider->setVisible(verticalShown);
}

void KxTableWidget::updateSliderStates()
{
    for (const bool horizontal : {false, true}) {
        QSlider *slider = horizontal ? m_horizontalSlider : m_verticalSlider;
        const int size =
            horizontal ? m_geometry.currentColumnWidth() : m_geometry.currentRowHeight();
        const int end = m_geometry.maxScrollOffset(horizontal);
        // A shrinking range pulls the value back with it.
        slider->setRange(0, end);
        slider->setSingleStep(size);
        slider->setPageStep(std::max(size, m_geometry.scrollRoom(horizontal) - size));
        slider->setEnabled(end > 0);
    }
}

void KxTableWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeSliders();
    updateSliderStates();
}

void KxTableWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    const QSize view = m_geometry.viewSize();
    QPainter widgetPainter(this);
    // The corner square between the two sliders belongs to no view.
    widgetPainter.fillRect(rect(), palette().window());
    if (view.isEmpty())
        return;
    m_ratio = devicePixelRatioF();
    const QSize pixels = view * m_ratio;
    if (m_pixmap.size() != pixels) {
        m_pixmap = QPixmap(pixels);
        m_pixmap.setDevicePixelRatio(m_ratio);
    }
    {
        QPainter painter(&m_pixmap);
        paintTable(painter, view);
    }
    widgetPainter.drawPixmap(0, 0, m_pixmap);
}

void KxTableWidget::paintTable(QPainter &painter, const QSize &view)
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
    paintHighlights(painter, view);
    paintStickyHeads(painter, view);

    painter.setClipping(false);
    painter.setPen(m_separatorPen);
    painter.drawLine(hcw, 0, hcw, view.height());
    painter.drawLine(0, hrh, view.width(), hrh);
}

void KxTableWidget::paintColumnHead(QPainter &painter, int column, int x)
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

void KxTableWidget::paintColumnHeaders(QPainter &painter, const QSize &view)
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

void KxTableWidget::paintRowHead(QPainter &painter, int row, int y)
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
    qreal textEnd = xMargin / 2;
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

void KxTableWidget::paintRowHeaders(QPainter &painter, const QSize &view)
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

void KxTableWidget::paintStickyHeads(QPainter &painter, const QSize &view)
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

void KxTableWidget::paintCells(QPainter &painter, const QSize &view)
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

const QPixmap *KxTableWidget::cellImage(quint32 style, const QString &text, const QSize &size)
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

void KxTableWidget::paintHighlights(QPainter &painter, const QSize &view)
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
    const bool hovering = m_hoverRow >= 0 || m_hoverColumn >= 0;
    const int tintRow = hovering ? m_hoverRow : m_currentRow;
    const int tintColumn = hovering ? m_hoverColumn : m_currentColumn;
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
    const int currentRow = m_currentRow;
    const int currentColumn = m_currentColumn;
    const QRect current = m_geometry.cellRect(currentRow, currentColumn);
    if (!current.isEmpty()) {
        painter.setPen(QPen(hasFocus() ? QColor(0, 84, 180) : QColor(90, 120, 160), 2));
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

QString KxTableWidget::fittedHeadText(int index, int room)
{
    const KxCellStore::Record &head = m_store.record(index);
    if (m_store.textSize(index).width() <= room)
        return head.text;
    const QFontMetrics metrics(m_store.style(int(head.style)).font);
    return metrics.elidedText(head.text, Qt::ElideRight, std::max(room, 0));
}

void KxTableWidget::paintGroupMarker(QPainter &painter, const QPointF &at, int mode,
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

void KxTableWidget::emitCellAt(const QPoint &pos, int button, bool doubleClick)
{
    int row = -1;
    int column = -1;
    if (cellAt(pos, &row, &column))
        emit clickedOnCell(row, column, button, doubleClick);
}

void KxTableWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (event->pos().x() > m_geometry.currentHeaderColumnWidth() ||
            event->pos().y() > m_geometry.currentHeaderRowHeight()) {
            m_grabScrolling = true;
            m_grabMoved = false;
            m_lastMousePos = event->pos();
            setCursor(Qt::ClosedHandCursor);
        }
    } else if (event->button() == Qt::RightButton) {
        m_menuPosition = event->globalPos();
        emitCellAt(event->pos(), 2, false);
    }
    event->accept();
}

void KxTableWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_grabScrolling) {
        int row = -1;
        int column = -1;
        if (cellAt(event->pos(), &row, &column))
            setHover(row, column);
        else
            setHover(-1, -1);
        return;
    }
    const QPoint moved = event->pos() - m_lastMousePos;
    m_lastMousePos = event->pos();
    if (moved.isNull())
        return;
    m_grabMoved = true;
    // The grid follows the hand pixel for pixel.
    if (moved.x() != 0)
        setScrollOffset(true, m_geometry.scrollOffset(true) - moved.x());
    if (moved.y() != 0)
        setScrollOffset(false, m_geometry.scrollOffset(false) - moved.y());
    event->accept();
}

void KxTableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_grabScrolling) {
        m_grabScrolling = false;
        unsetCursor();
        // A click without a drag picks the current cell.
        int row = -1;
        int column = -1;
        if (!m_grabMoved && cellAt(event->pos(), &row, &column))
            setCurrentCell(row, column);
    }
    event->accept();
}

void KxTableWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emitCellAt(event->pos(), 1, true);
    event->accept();
}

void KxTableWidget::wheelEvent(QWheelEvent *event)
{
    // Touchpads tell pixels; wheels tell angles, 120 to a notch, which
    // scroll three rows (columns) per notch.
    const QPoint pixels = event->pixelDelta();
    QPoint angle = event->angleDelta();
    constexpr qreal Notch = 120;
    constexpr qreal LinesPerNotch = 3;
    // Shift turns a plain wheel sideways.
    if (event->modifiers().testFlag(Qt::ShiftModifier) && angle.x() == 0 && pixels.x() == 0)
        angle = QPoint(angle.y(), 0);
    QPointF delta(angle.x() * LinesPerNotch * m_geometry.currentColumnWidth() / Notch,
                  angle.y() * LinesPerNotch * m_geometry.currentRowHeight() / Notch);
    if (!pixels.isNull())
        delta = angle.y() == 0 && angle.x() != 0 && pixels.x() == 0 ? QPointF(pixels.y(), 0)
                                                                    : QPointF(pixels);
    if (delta.y() != 0) {
        if (!isVerticalSliderShown()) {
            m_verticalSlider->setValue(m_verticalSlider->minimum());
        } else {
            // Fine wheels add up to whole pixels.
            m_wheelPixels.ry() += delta.y();
            const int whole = int(m_wheelPixels.y());
            m_wheelPixels.ry() -= whole;
            if (whole != 0)
                setScrollOffset(false, m_geometry.scrollOffset(false) - whole);
        }
    }
    if (delta.x() != 0 && isHorizontalSliderShown()) {
        m_wheelPixels.rx() += delta.x();
        const int whole = int(m_wheelPixels.x());
        m_wheelPixels.rx() -= whole;
        if (whole != 0)
            setScrollOffset(true, m_geometry.scrollOffset(true) - whole);
    }
    event->accept();
    update();
}

void KxTableWidget::setHover(int row, int column)
{
    if (row == m_hoverRow && column == m_hoverColumn)
        return;
    m_hoverRow = row;
    m_hoverColumn = column;
    update();
}

void KxTableWidget::leaveEvent(QEvent *event)
{
    setHover(-1, -1);
    QWidget::leaveEvent(event);
}

bool KxTableWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && m_toolTipProvider) {
        auto *help = static_cast<QHelpEvent *>(event);
        int row = -1;
        int column = -1;
        QString text;
        if (cellAt(help->pos(), &row, &column))
            text = m_toolTipProvider(row, column);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this, cellRect(row, column));
        }
        return true;
    }
    return QWidget::event(event);
}

void KxTableWidget::moveCurrent(int rowSteps, int columnSteps)
{
    // Positions count the head (0) and then the shown rows or columns.
    auto step = [this](bool horizontal, int index, int steps) {
        const QVector<int> &shown = horizontal ? m_geometry.shownColumns() : m_geometry.shownRows();
        const int position = index <= 0 ? 0 : m_geometry.shownPosition(horizontal, index) + 1;
        const int target = std::clamp(position + steps, 0, int(shown.size()));
        return target == 0 ? 0 : shown.at(target - 1);
    };
    setCurrentCell(step(false, m_currentRow, rowSteps), step(true, m_currentColumn, columnSteps));
}

void KxTableWidget::keyPressEvent(QKeyEvent *event)
{
    if (rowCount() == 0 || columnCount() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int far = std::max(rowCount(), columnCount());
    const bool hadCurrent =
        m_currentRow >= 0 && isRowShown(m_currentRow) && isColumnShown(m_currentColumn);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
    case Qt::Key_Space:
        if (hadCurrent) {
            const QRect box = cellRect(m_currentRow, m_currentColumn);
            m_menuPosition = mapToGlobal(box.isEmpty() ? rect().center() : box.center());
            // Space toggles a group like a double click; the others open the menu.
            if (event->key() == Qt::Key_Space)
                emit clickedOnCell(m_currentRow, m_currentColumn, 1, true);
            else
                emit clickedOnCell(m_currentRow, m_currentColumn, 2, false);
            event->accept();
            return;
        }
        QWidget::keyPressEvent(event);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!hadCurrent) {
        // The first key picks the cell in the top left corner of the view.
        setCurrentCell(firstShownRow(), firstShownColumn());
        return;
    }
    const int page = std::max(1, m_geometry.fittingCount(false) - 1);
    switch (event->key()) {
    case Qt::Key_Left:
        moveCurrent(0, -1);
        break;
    case Qt::Key_Right:
        moveCurrent(0, 1);
        break;
    case Qt::Key_Up:
        moveCurrent(-1, 0);
        break;
    case Qt::Key_Down:
        moveCurrent(1, 0);
        break;
    case Qt::Key_PageUp:
        moveCurrent(-page, 0);
        break;
    case Qt::Key_PageDown:
        moveCurrent(page, 0);
        break;
    case Qt::Key_Home:
        // Heads never scroll away: show the start of the table with them.
        moveCurrent(control ? -far : 0, -far);
        scrollToPosition(true, 0);
        if (control)
            scrollToPosition(false, 0);
        break;
    case Qt::Key_End:
        moveCurrent(control ? far : 0, far);
        break;
    default:
        break;
    }
}
