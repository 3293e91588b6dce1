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
#include <cmath>

namespace {
constexpr qreal Sqrt2 = 1.4142135623730951;
// Room after a group head's name for its collapse marker.
constexpr int MarkerRoom = 16;

int shownAt(const QVector<int> &shown, qint64 position)
{
    return (position >= 0 && position < shown.size()) ? shown.at(int(position)) : -1;
}
} // namespace

KxTableWidget::KxTableWidget(QWidget *parent)
    : QWidget(parent), m_backgroundBrush(Qt::white, Qt::SolidPattern), m_separatorPen(Qt::black),
      m_emptyText(tr("Empty Table")), m_emptyTextFont(font()), m_emptyTextPen(Qt::red)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Keys move the current cell; the mouse highlights the row and column it is over.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    KxCellStyle defaultStyle;
    defaultStyle.font = font();
    addStyle(defaultStyle);

    m_horizontalSlider = new QSlider(Qt::Horizontal, this);
    m_verticalSlider = new QSlider(Qt::Vertical, this);
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
    m_rowFiltered.clear();
    m_columnFiltered.clear();
    m_currentRow = m_currentColumn = -1;
    m_hoverRow = m_hoverColumn = -1;
    m_groupsDirty = true;
}

KxTableCell KxTableWidget::cell(int row, int column)
{
    if (row < 0 || column < 0 || row >= m_store.rowCount() || column >= m_store.columnCount())
        return KxTableCell();
    return KxTableCell(this, row, column, column + row * m_store.columnCount());
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
    m_horizontalSliderShown = shown;
    placeSliders();
    update();
}

void KxTableWidget::setVerticalSliderShown(bool shown)
{
    m_verticalSliderShown = shown;
    placeSliders();
    update();
}

QSize KxTableWidget::viewSize() const
{
    const int w = width() - (m_verticalSliderShown ? SliderThickness : 0);
    const int h = height() - (m_horizontalSliderShown ? SliderThickness : 0);
    return QSize(std::max(w, 0), std::max(h, 0));
}

int KxTableWidget::currentRowHeight() const
{
    return std::max(1, std::abs(m_rowHeight));
}

int KxTableWidget::currentColumnWidth() const
{
    return std::max(1, std::abs(m_columnWidth));
}

int KxTableWidget::currentHeaderRowHeight() const
{
    return std::abs(m_headerRowHeight);
}

int KxTableWidget::currentHeaderColumnWidth() const
{
    return std::abs(m_headerColumnWidth);
}

void KxTableWidget::updateShown() const
{
    if (!m_groupsDirty)
        return;
    // Group rule: a collapsed head hides the ordinary rows (columns) after it
    // up to the next head; heads themselves always show.
    // A filter leaves rows (columns) out on top of that.
    auto walk = [this](QVector<int> &shown, int count, int firstIndex, int stride,
                       const QVector<bool> &filtered) {
        shown.clear();
        bool showing = true;
        for (int i = 1; i < count; ++i) {
            const int mode = m_store.record(firstIndex + i * stride).groupMode;
            if ((showing || mode != KxTableCell::Ordinary) &&
                !(i < filtered.size() && filtered.at(i)))
                shown.append(i);
            if (mode == KxTableCell::ExpandedHead)
                showing = true;
            else if (mode == KxTableCell::CollapsedHead)
                showing = false;
        }
    };
    if (m_store.rowCount() > 0 && m_store.columnCount() > 0) {
        walk(m_shownColumns, m_store.columnCount(), 0, 1, m_columnFiltered);
        walk(m_shownRows, m_store.rowCount(), 0, m_store.columnCount(), m_rowFiltered);
    } else {
        m_shownColumns.clear();
        m_shownRows.clear();
    }
    m_groupsDirty = false;
}

int KxTableWidget::shownRowCount() const
{
    updateShown();
    return m_shownRows.size();
}

int KxTableWidget::shownColumnCount() const
{
    updateShown();
    return m_shownColumns.size();
}

bool KxTableWidget::isRowShown(int row) const
{
    updateShown();
    return row == 0 ? m_store.rowCount() > 0
                    : std::binary_search(m_shownRows.cbegin(), m_shownRows.cend(), row);
}

bool KxTableWidget::isColumnShown(int column) const
{
    updateShown();
    return column == 0 ? m_store.columnCount() > 0
                       : std::binary_search(m_shownColumns.cbegin(), m_shownColumns.cend(), column);
}

int KxTableWidget::fittingCount(bool horizontal) const
{
    const QSize view = viewSize();
    const int fitting =
        horizontal ? (view.width() - currentHeaderRowHeight() - currentHeaderColumnWidth()) /
                         currentColumnWidth()
                   : (view.height() - currentHeaderRowHeight()) / currentRowHeight();
    return std::max(fitting, 0);
}

int KxTableWidget::scrollRoom(bool horizontal) const
{
    const QSize view = viewSize();
    const int room = horizontal
                         ? view.width() - currentHeaderColumnWidth() - currentHeaderRowHeight()
                         : view.height() - currentHeaderRowHeight();
    return std::max(room, 0);
}

int KxTableWidget::maxScrollOffset(bool horizontal) const
{
    updateShown();
    const qint64 shown = horizontal ? m_shownColumns.size() : m_shownRows.size();
    const qint64 content = shown * (horizontal ? currentColumnWidth() : currentRowHeight());
    return int(std::clamp<qint64>(content - scrollRoom(horizontal), 0, INT_MAX));
}

int KxTableWidget::scrollOffsetOf(bool horizontal) const
{
    // The slider's range may lag behind a change of the shown rows until the
    // next repaint(); the offset never passes the end.
    const QSlider *slider = horizontal ? m_horizontalSlider : m_verticalSlider;
    return std::clamp(slider->value(), 0, maxScrollOffset(horizontal));
}

QPoint KxTableWidget::scrollOffset() const
{
    return QPoint(scrollOffsetOf(true), scrollOffsetOf(false));
}

void KxTableWidget::setScrollOffset(bool horizontal, int pixels)
{
    updateSliderStates();
    QSlider *slider = horizontal ? m_horizontalSlider : m_verticalSlider;
    slider->setValue(std::clamp(pixels, 0, slider->maximum()));
}

int KxTableWidget::firstShownPosition(bool horizontal) const
{
    updateShown();
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    if (shown.isEmpty())
        return 0;
    const int size = horizontal ? currentColumnWidth() : currentRowHeight();
    // Without room the offset can reach the end: keep the last one, not none.
    return std::min(scrollOffsetOf(horizontal) / size, int(shown.size()) - 1);
}

int KxTableWidget::firstShownPixel(bool horizontal) const
{
    const int base = horizontal ? currentHeaderColumnWidth() : currentHeaderRowHeight();
    const int size = horizontal ? currentColumnWidth() : currentRowHeight();
    return base + firstShownPosition(horizontal) * size - scrollOffsetOf(horizontal);
}

int KxTableWidget::headPosition(bool horizontal, int position) const
{
    updateShown();
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    const int stride = horizontal ? 1 : m_store.columnCount();
    for (int p = std::min(position, int(shown.size()) - 1); p >= 0; --p) {
        if (m_store.record(shown.at(p) * stride).groupMode != KxTableCell::Ordinary)
            return p;
    }
    return -1;
}

int KxTableWidget::stickyHead(bool horizontal, int *pixel) const
{
    if (!m_stickyHeads || m_store.rowCount() < 2 || m_store.columnCount() < 2)
        return -1;
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    const int first = firstShownPosition(horizontal);
    const int head = headPosition(horizontal, first);
    const int start = firstShownPixel(horizontal);
    const int base = horizontal ? currentHeaderColumnWidth() : currentHeaderRowHeight();
    if (head < 0)
        return -1;
    // The next head pushes the pinned one out as it comes in: their edges touch.
    const int stride = horizontal ? 1 : m_store.columnCount();
    const bool pushed =
        first + 1 < shown.size() &&
        m_store.record(shown.at(first + 1) * stride).groupMode != KxTableCell::Ordinary;
    const int at = pushed ? start : base;
    // A head in its own place needs no pin.
    if (head == first && at == start)
        return -1;
    if (pixel)
        *pixel = at;
    return shown.at(head);
}

void KxTableWidget::setStickyHeads(bool sticky)
{
    m_stickyHeads = sticky;
    update();
}

int KxTableWidget::stickyRowHead() const
{
    return stickyHead(false, nullptr);
}

int KxTableWidget::stickyColumnHead() const
{
    return stickyHead(true, nullptr);
}

int KxTableWidget::firstShownRow() const
{
    const int position = firstShownPosition(false);
    return m_shownRows.isEmpty() ? 1 : m_shownRows.at(position);
}

int KxTableWidget::firstShownColumn() const
{
    const int position = firstShownPosition(true);
    return m_shownColumns.isEmpty() ? 1 : m_shownColumns.at(position);
}

bool KxTableWidget::cellAt(const QPoint &pos, int *row, int *column) const
{
    const QSize view = viewSize();
    if (pos.x() < 0 || pos.y() < 0 || pos.x() >= view.width() || pos.y() >= view.height())
        return false;
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
    const int rh = currentRowHeight();
    const int firstRow = firstShownPosition(false);
    const int firstColumn = firstShownPosition(true);
    const int top = firstShownPixel(false);
    const int left = firstShownPixel(true);
    // Offsets from the first shown row (column) start; never negative here.
    auto rowAt = [&](int y) { return shownAt(m_shownRows, firstRow + (y - top) / rh); };
    auto columnAt = [&](int x) { return shownAt(m_shownColumns, firstColumn + (x - left) / cw); };
    int r = -1;
    int c = -1;
    int pinned = 0;
    if (pos.x() < hcw && pos.y() < hrh) {
        r = 0;
        c = 0;
    } else if (pos.y() < hrh) {
        // Slanted header: every point of a band lies on x + y = const.
        const int along = pos.x() + pos.y() - hrh;
        r = 0;
        const int head = stickyHead(true, &pinned);
        if (head >= 0 && along >= pinned && along < pinned + cw)
            c = head;
        else if (along >= left)
            c = columnAt(along);
    } else if (pos.x() < hcw) {
        c = 0;
        const int head = stickyHead(false, &pinned);
        r = (head >= 0 && pos.y() >= pinned && pos.y() < pinned + rh) ? head : rowAt(pos.y());
    } else {
        r = rowAt(pos.y());
        c = columnAt(pos.x());
    }
    if (r < 0 || c < 0 || r >= m_store.rowCount() || c >= m_store.columnCount())
        return false;
    if (row)
        *row = r;
    if (column)
        *column = c;
    return true;
}

int KxTableWidget::shownPosition(bool horizontal, int index) const
{
    updateShown();
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    const auto it = std::lower_bound(shown.cbegin(), shown.cend(), index);
    return (it != shown.cend() && *it == index) ? int(it - shown.cbegin()) : -1;
}

void KxTableWidget::scrollToPosition(bool horizontal, int position)
{
    const int size = horizontal ? currentColumnWidth() : currentRowHeight();
    setScrollOffset(horizontal,
                    int(std::min<qint64>(qint64(std::max(position, 0)) * size, INT_MAX)));
}

void KxTableWidget::ensureVisible(int row, int column)
{
    for (const bool horizontal : {false, true}) {
        const int index = horizontal ? column : row;
        if (index <= 0)
            continue;
        const int position = shownPosition(horizontal, index);
        if (position < 0)
            continue;
        const qint64 size = horizontal ? currentColumnWidth() : currentRowHeight();
        const qint64 start = position * size;
        const qint64 offset = scrollOffsetOf(horizontal);
        // A member keeps one place free above (left of) it for its pinned head.
        const int head = m_stickyHeads ? headPosition(horizontal, position) : -1;
        const qint64 reserve = (head >= 0 && head != position) ? size : 0;
        const qint64 room = std::max<qint64>(scrollRoom(horizontal), size + reserve);
        if (start - reserve < offset)
            setScrollOffset(horizontal, int(start - reserve));
        else if (start + size > offset + room)
            setScrollOffset(horizontal, int(std::min<qint64>(start + size - room, INT_MAX)));
    }
}

bool KxTableWidget::setCurrentCell(int row, int column)
{
    if (row < 0 || column < 0 || row >= m_store.rowCount() || column >= m_store.columnCount() ||
        !isRowShown(row) || !isColumnShown(column))
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

QRect KxTableWidget::cellRect(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_store.rowCount() || column >= m_store.columnCount())
        return QRect();
    const QSize view = viewSize();
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
    const int rh = currentRowHeight();
    int x = 0;
    int y = 0;
    // Partly scrolled out still counts as on screen.
    if (column > 0) {
        const int i = shownPosition(true, column) - firstShownPosition(true);
        if (shownPosition(true, column) < 0 || i < 0)
            return QRect();
        x = firstShownPixel(true) + i * cw;
        if (x >= view.width())
            return QRect();
    }
    if (row > 0) {
        const int j = shownPosition(false, row) - firstShownPosition(false);
        if (shownPosition(false, row) < 0 || j < 0)
            return QRect();
        y = firstShownPixel(false) + j * rh;
        if (y >= view.height())
            return QRect();
    }
    if (row == 0 && column == 0)
        return QRect(0, 0, hcw, hrh);
    if (row == 0)
        return QRect(x, 0, cw + hrh, hrh);
    if (column == 0)
        return QRect(0, y, hcw, rh);
    return QRect(x, y, cw, rh);
}

void KxTableWidget::setRowFiltered(int row, bool filtered)
{
    if (row <= 0 || row >= m_store.rowCount())
        return;
    if (m_rowFiltered.size() != m_store.rowCount())
        m_rowFiltered.fill(false, m_store.rowCount());
    m_rowFiltered[row] = filtered;
    m_groupsDirty = true;
}

void KxTableWidget::setColumnFiltered(int column, bool filtered)
{
    if (column <= 0 || column >= m_store.columnCount())
        return;
    if (m_columnFiltered.size() != m_store.columnCount())
        m_columnFiltered.fill(false, m_store.columnCount());
    m_columnFiltered[column] = filtered;
    m_groupsDirty = true;
}

void KxTableWidget::clearFilter()
{
    m_rowFiltered.clear();
    m_columnFiltered.clear();
    m_groupsDirty = true;
}

bool KxTableWidget::isFiltered() const
{
    return m_rowFiltered.contains(true) || m_columnFiltered.contains(true);
}

void KxTableWidget::repaint()
{
    fitSizes();
    m_groupsDirty = true;
    updateShown();
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

void KxTableWidget::fitSizes()
{
    const bool fitColumnWidth = m_columnWidth < 0;
    const bool fitRowHeight = m_rowHeight < 0;
    const bool fitHeaderRow = m_headerRowHeight < 0;
    const bool fitHeaderColumn = m_headerColumnWidth < 0;
    if (!(fitColumnWidth || fitRowHeight || fitHeaderRow || fitHeaderColumn))
        return;

    // Column headers stand at 45 degrees: their height shapes the column
    // width, their length the header row.
    int columnCandidate = 0;
    if ((fitColumnWidth || fitHeaderRow) && m_store.rowCount() > 0) {
        const KxCellStore::TextExtent &extent = m_store.columnHeadExtent(MarkerRoom);
        const int w = extent.width;
        const int h = extent.height;
        columnCandidate = (h + m_yMargin) * 141 / 100;
        if (fitHeaderRow) {
            int height = std::max((w + h + m_xMargin) * 100 / 141, m_minHeaderRowHeight);
            if (m_maxHeaderRowHeight > 0)
                height = std::min(height, std::max(m_maxHeaderRowHeight, m_minHeaderRowHeight));
            m_headerRowHeight = -height;
        }
    }

    int rowCandidate = 0;
    if ((fitHeaderColumn || fitRowHeight) && m_store.columnCount() > 0) {
        const KxCellStore::TextExtent &extent = m_store.rowHeadExtent(MarkerRoom);
        const int w = extent.width;
        const int h = extent.height;
        if (fitHeaderColumn) {
            int width = std::max(w + m_xMargin, m_minHeaderColumnWidth);
            if (m_maxHeaderColumnWidth > 0)
                width = std::min(width, std::max(m_maxHeaderColumnWidth, m_minHeaderColumnWidth));
            m_headerColumnWidth = -width;
        }
        rowCandidate = h + m_yMargin;
    }

    if (fitColumnWidth || fitRowHeight) {
        const KxCellStore::TextExtent &extent = m_store.bodyExtent();
        const int w = extent.width;
        const int h = extent.height;
        if (fitColumnWidth)
            m_columnWidth = -std::max(columnCandidate, w + m_xMargin);
        if (fitRowHeight)
            m_rowHeight = -std::max(rowCandidate, h + m_yMargin);
    }
}

void KxTableWidget::placeSliders()
{
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int right = m_verticalSliderShown ? SliderThickness : 0;
    const int bottom = m_horizontalSliderShown ? SliderThickness : 0;
    m_horizontalSlider->setGeometry(hcw, height() - SliderThickness,
                                    std::max(0, width() - hcw - right), SliderThickness);
    m_verticalSlider->setGeometry(width() - SliderThickness, hrh, SliderThickness,
                                  std::max(0, height() - hrh - bottom));
    m_horizontalSlider->setVisible(m_horizontalSliderShown);
    m_verticalSlider->setVisible(m_verticalSliderShown);
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
    const QSize view = viewSize();
    QPainter widgetPainter(this);
    // The corner square between the two sliders belongs to no view.
    widgetPainter.fillRect(rect(), palette().window());
    if (view.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = view * ratio;
    if (m_pixmap.size() != pixels) {
        m_pixmap = QPixmap(pixels);
        m_pixmap.setDevicePixelRatio(ratio);
    }
    {
        QPainter painter(&m_pixmap);
        paintTable(painter, view);
    }
    widgetPainter.drawPixmap(0, 0, m_pixmap);
}

void KxTableWidget::paintTable(QPainter &painter, const QSize &view)
{
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
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
            painter.drawText(
                area.adjusted(m_xMargin / 2, m_yMargin / 2, -m_xMargin / 2, -m_yMargin / 2),
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
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
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
    const qreal start = thickness / 2 + textHeight / 2 + m_xMargin / 2.0;
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
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
    if (view.width() <= hcw || hrh <= 0)
        return;
    painter.save();
    painter.setClipRect(QRect(hcw, 0, view.width() - hcw, hrh));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const int first = firstShownPosition(true);
    const int left = firstShownPixel(true);
    int x = left;
    for (int i = first; i < m_shownColumns.size() && x < view.width(); ++i, x += cw)
        paintColumnHead(painter, m_shownColumns.at(i), x);
    x = left;
    for (int i = first; i < m_shownColumns.size() && x < view.width(); ++i, x += cw) {
        const KxCellStore::Record &head = m_store.record(m_shownColumns.at(i));
        painter.setPen(m_store.style(int(head.style)).rightLine);
        painter.drawLine(QPointF(x + cw, hrh), QPointF(x + cw + hrh, 0));
    }
    painter.restore();
}

void KxTableWidget::paintRowHead(QPainter &painter, int row, int y)
{
    const int hcw = currentHeaderColumnWidth();
    const int rh = currentRowHeight();
    const KxCellStore::Record &head = m_store.record(row * m_store.columnCount());
    const KxCellStyle &style = m_store.style(int(head.style));
    const QRect band(0, y, hcw, rh);
    painter.fillRect(band, style.background);
    const bool marked = head.groupMode != KxTableCell::Ordinary && !head.text.isEmpty();
    qreal textEnd = m_xMargin / 2;
    if (!head.text.isEmpty()) {
        const QString text = fittedHeadText(row * m_store.columnCount(),
                                            hcw - m_xMargin - (marked ? MarkerRoom : 0));
        painter.setFont(style.font);
        painter.setPen(style.textPen);
        QRect drawn;
        painter.drawText(band.adjusted(m_xMargin / 2, 0, -m_xMargin / 2, 0), int(style.alignment),
                         text, &drawn);
        textEnd = drawn.right();
    }
    if (marked)
        paintGroupMarker(painter, QPointF(textEnd + 10, y + rh / 2.0), head.groupMode,
                         style.textPen);
}

void KxTableWidget::paintRowHeaders(QPainter &painter, const QSize &view)
{
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int rh = currentRowHeight();
    if (view.height() <= hrh || hcw <= 0)
        return;
    painter.setClipRect(QRect(0, hrh, hcw, view.height() - hrh));
    const int first = firstShownPosition(false);
    const int top = firstShownPixel(false);
    int y = top;
    int last = first;
    for (; last < m_shownRows.size() && y < view.height(); ++last, y += rh)
        paintRowHead(painter, m_shownRows.at(last), y);
    y = top;
    for (int i = first; i < last; ++i, y += rh) {
        const KxCellStore::Record &head = m_store.record(m_shownRows.at(i) * m_store.columnCount());
        painter.setPen(m_store.style(int(head.style)).bottomLine);
        painter.drawLine(0, y + rh - 1, hcw, y + rh - 1);
    }
}

void KxTableWidget::paintStickyHeads(QPainter &painter, const QSize &view)
{
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
    const int rh = currentRowHeight();
    int pinned = 0;
    // Pinned heads lie over everything below them, with a soft shadow that
    // tells them from heads in their own place.
    const int row = stickyHead(false, &pinned);
    if (row >= 0 && view.height() > hrh && hcw > 0) {
        painter.save();
        painter.setClipRect(QRect(0, hrh, hcw, view.height() - hrh));
        paintRowHead(painter, row, pinned);
        QLinearGradient shadow(0, pinned + rh, 0, pinned + rh + 4);
        shadow.setColorAt(0, QColor(0, 0, 0, 70));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(QRect(0, pinned + rh, hcw, 4), shadow);
        painter.setPen(
            m_store.style(int(m_store.record(row * m_store.columnCount()).style)).bottomLine);
        painter.drawLine(0, pinned + rh - 1, hcw, pinned + rh - 1);
        painter.restore();
    }
    const int column = stickyHead(true, &pinned);
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
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const QRect area(hcw, hrh, view.width() - hcw, view.height() - hrh);
    if (area.isEmpty())
        return;
    painter.setClipRect(area);
    if (m_store.rowCount() < 2 || m_store.columnCount() < 2) {
        painter.setFont(m_emptyTextFont);
        painter.setPen(m_emptyTextPen);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, m_emptyText);
        return;
    }

    const int rh = currentRowHeight();
    const int cw = currentColumnWidth();
    const int top = firstShownPixel(false);
    const int left = firstShownPixel(true);
    QVector<int> rows;
    for (int i = firstShownPosition(false), y = top; i < m_shownRows.size() && y < view.height();
         ++i, y += rh)
        rows.append(m_shownRows.at(i));
    QVector<int> columns;
    for (int i = firstShownPosition(true), x = left; i < m_shownColumns.size() && x < view.width();
         ++i, x += cw)
        columns.append(m_shownColumns.at(i));

    // Fonts and pens change only where the style does.
    int textStyle = -1;
    const QSize cellSize(cw, rh);
    for (int j = 0; j < rows.size(); ++j) {
        const int rowStart = rows.at(j) * m_store.columnCount();
        const int y = top + j * rh;
        for (int i = 0; i < columns.size(); ++i) {
            const KxCellStore::Record &record = m_store.record(rowStart + columns.at(i));
            const QRect box(left + i * cw, y, cw, rh);
            if (const QPixmap *image = cellImage(record.style, record.text, cellSize)) {
                painter.drawPixmap(box.topLeft(), *image);
                continue;
            }
            const KxCellStyle &style = m_store.style(int(record.style));
            painter.fillRect(box, style.background);
            if (record.text.isEmpty())
                continue;
            if (textStyle != int(record.style)) {
                textStyle = int(record.style);
                painter.setFont(style.font);
                painter.setPen(style.textPen);
            }
            painter.drawText(box.adjusted(m_xMargin / 2, 0, -m_xMargin / 2, 0),
                             int(style.alignment), record.text);
        }
    }
    for (int j = 0; j < rows.size(); ++j) {
        const int rowStart = rows.at(j) * m_store.columnCount();
        const int y = top + j * rh;
        for (int i = 0; i < columns.size(); ++i) {
            const KxCellStyle &style =
                m_store.style(int(m_store.record(rowStart + columns.at(i)).style));
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
    const qreal ratio = devicePixelRatioF();
    // A board shows a handful of looks; a table of all different texts
    // starts afresh rather than growing without end.
    constexpr int MostImages = 4096;
    if (size != m_cellImageSize || ratio != m_cellImageRatio || m_xMargin != m_cellImageMargin ||
        m_cellImages.size() >= MostImages) {
        m_cellImages.clear();
        m_cellImageSize = size;
        m_cellImageRatio = ratio;
        m_cellImageMargin = m_xMargin;
    }
    const QPair<quint32, QString> key(style, text);
    auto it = m_cellImages.find(key);
    if (it == m_cellImages.end()) {
        QPixmap image(size * ratio);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        const QRect box(QPoint(0, 0), size);
        painter.fillRect(box, look.background);
        if (!text.isEmpty()) {
            painter.setFont(look.font);
            painter.setPen(look.textPen);
            painter.drawText(box.adjusted(m_xMargin / 2, 0, -m_xMargin / 2, 0), int(look.alignment),
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
    const int hcw = currentHeaderColumnWidth();
    const int hrh = currentHeaderRowHeight();
    const int cw = currentColumnWidth();
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
        const QRect band = cellRect(tintRow, 0);
        clipTo(true, false);
        if (!band.isEmpty())
            painter.fillRect(QRect(0, band.y(), view.width(), band.height()), tint);
    }
    if (tintColumn > 0) {
        const QRect head = cellRect(0, tintColumn);
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
    const QRect current = cellRect(m_currentRow, m_currentColumn);
    if (!current.isEmpty()) {
        painter.setPen(QPen(hasFocus() ? QColor(0, 84, 180) : QColor(90, 120, 160), 2));
        painter.setBrush(Qt::NoBrush);
        if (m_currentRow > 0 || m_currentColumn > 0)
            clipTo(m_currentRow > 0, m_currentColumn > 0);
        else
            painter.setClipping(false);
        if (m_currentRow == 0 && m_currentColumn > 0) {
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
    const QString &text = m_store.record(index).text;
    if (m_store.textSize(index).width() <= room)
        return text;
    const QFontMetrics metrics(m_store.style(int(m_store.record(index).style)).font);
    return metrics.elidedText(text, Qt::ElideRight, std::max(room, 0));
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
        if (event->pos().x() > currentHeaderColumnWidth() ||
            event->pos().y() > currentHeaderRowHeight()) {
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
        setScrollOffset(true, scrollOffsetOf(true) - moved.x());
    if (moved.y() != 0)
        setScrollOffset(false, scrollOffsetOf(false) - moved.y());
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
    QPointF delta(angle.x() * LinesPerNotch * currentColumnWidth() / Notch,
                  angle.y() * LinesPerNotch * currentRowHeight() / Notch);
    if (!pixels.isNull())
        delta = angle.y() == 0 && angle.x() != 0 && pixels.x() == 0 ? QPointF(pixels.y(), 0)
                                                                    : QPointF(pixels);
    if (delta.y() != 0) {
        if (!m_verticalSliderShown) {
            m_verticalSlider->setValue(m_verticalSlider->minimum());
        } else {
            // Fine wheels add up to whole pixels.
            m_wheelPixels.ry() += delta.y();
            const int whole = int(m_wheelPixels.y());
            m_wheelPixels.ry() -= whole;
            if (whole != 0)
                setScrollOffset(false, scrollOffsetOf(false) - whole);
        }
    }
    if (delta.x() != 0 && m_horizontalSliderShown) {
        m_wheelPixels.rx() += delta.x();
        const int whole = int(m_wheelPixels.x());
        m_wheelPixels.rx() -= whole;
        if (whole != 0)
            setScrollOffset(true, scrollOffsetOf(true) - whole);
    }
    event->accept();
    update();
}

void KxTableWidget::updateSliderStates()
{
    for (const bool horizontal : {false, true}) {
        QSlider *slider = horizontal ? m_horizontalSlider : m_verticalSlider;
        const int size = horizontal ? currentColumnWidth() : currentRowHeight();
        const int end = maxScrollOffset(horizontal);
        // A shrinking range pulls the value back with it.
        slider->setRange(0, end);
        slider->setSingleStep(size);
        slider->setPageStep(std::max(size, scrollRoom(horizontal) - size));
        slider->setEnabled(end > 0);
    }
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
    updateShown();
    // Positions count the head (0) and then the shown rows or columns.
    auto step = [this](bool horizontal, int index, int steps) {
        const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
        const int position = index <= 0 ? 0 : shownPosition(horizontal, index) + 1;
        const int target = std::clamp(position + steps, 0, int(shown.size()));
        return target == 0 ? 0 : shown.at(target - 1);
    };
    setCurrentCell(step(false, m_currentRow, rowSteps), step(true, m_currentColumn, columnSteps));
}

void KxTableWidget::keyPressEvent(QKeyEvent *event)
{
    if (m_store.rowCount() == 0 || m_store.columnCount() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const int far = std::max(m_store.rowCount(), m_store.columnCount());
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
    const int page = std::max(1, fittingCount(false) - 1);
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
