#include "widgets/kxtablegeometry.h"

#include "widgets/kxcellstore.h"
#include "widgets/kxtablecell.h"

#include <QSlider>
#include <QWidget>

#include <climits>

namespace {
int shownAt(const QVector<int> &shown, qint64 position)
{
    return (position >= 0 && position < shown.size()) ? shown.at(int(position)) : -1;
}
} // namespace

KxTableGeometry::KxTableGeometry(KxCellStore &store, const QWidget &widget,
                                 const QSlider &horizontalSlider, const QSlider &verticalSlider)
    : m_store(store), m_widget(widget), m_horizontalSlider(horizontalSlider),
      m_verticalSlider(verticalSlider)
{
}

void KxTableGeometry::fitSizes()
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
        if (fitColumnWidth)
            m_columnWidth = -std::max(columnCandidate, extent.width + m_xMargin);
        if (fitRowHeight)
            m_rowHeight = -std::max(rowCandidate, extent.height + m_yMargin);
    }
}

QSize KxTableGeometry::viewSize() const
{
    const int w = m_widget.width() - (m_verticalSliderShown ? SliderThickness : 0);
    const int h = m_widget.height() - (m_horizontalSliderShown ? SliderThickness : 0);
    return QSize(std::max(w, 0), std::max(h, 0));
}

void KxTableGeometry::reset()
{
    m_rowFiltered.clear();
    m_columnFiltered.clear();
    m_groupsDirty = true;
}

void KxTableGeometry::updateShown() const
{
    if (!m_groupsDirty)
        return;
    // Group rule: a collapsed head hides the ordinary rows (columns) after it
    // up to the next head; heads themselves always show.
    // A filter leaves rows (columns) out on top of that.
    const QVector<KxCellStore::Record> &cells = m_store.records();
    auto walk = [&cells](QVector<int> &shown, int count, int firstIndex, int stride,
                         const QVector<bool> &filtered) {
        shown.clear();
        bool showing = true;
        for (int i = 1; i < count; ++i) {
            const int mode = cells.at(firstIndex + i * stride).groupMode;
            if ((showing || mode != KxTableCell::Ordinary) &&
                !(i < filtered.size() && filtered.at(i)))
                shown.append(i);
            if (mode == KxTableCell::ExpandedHead)
                showing = true;
            else if (mode == KxTableCell::CollapsedHead)
                showing = false;
        }
    };
    const int rows = m_store.rowCount();
    const int columns = m_store.columnCount();
    if (rows > 0 && columns > 0) {
        walk(m_shownColumns, columns, 0, 1, m_columnFiltered);
        walk(m_shownRows, rows, 0, columns, m_rowFiltered);
    } else {
        m_shownColumns.clear();
        m_shownRows.clear();
    }
    m_groupsDirty = false;
}

const QVector<int> &KxTableGeometry::shownRows() const
{
    updateShown();
    return m_shownRows;
}

const QVector<int> &KxTableGeometry::shownColumns() const
{
    updateShown();
    return m_shownColumns;
}

bool KxTableGeometry::isRowShown(int row) const
{
    updateShown();
    return row == 0 ? m_store.rowCount() > 0
                    : std::binary_search(m_shownRows.cbegin(), m_shownRows.cend(), row);
}

bool KxTableGeometry::isColumnShown(int column) const
{
    updateShown();
    return column == 0 ? m_store.columnCount() > 0
                       : std::binary_search(m_shownColumns.cbegin(), m_shownColumns.cend(), column);
}

int KxTableGeometry::shownPosition(bool horizontal, int index) const
{
    updateShown();
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    const auto it = std::lower_bound(shown.cbegin(), shown.cend(), index);
    return (it != shown.cend() && *it == index) ? int(it - shown.cbegin()) : -1;
}

void KxTableGeometry::setRowFiltered(int row, bool filtered)
{
    const int rows = m_store.rowCount();
    if (row <= 0 || row >= rows)
        return;
    if (m_rowFiltered.size() != rows)
        m_rowFiltered.fill(false, rows);
    m_rowFiltered[row] = filtered;
    m_groupsDirty = true;
}

void KxTableGeometry::setColumnFiltered(int column, bool filtered)
{
    const int columns = m_store.columnCount();
    if (column <= 0 || column >= columns)
        return;
    if (m_columnFiltered.size() != columns)
        m_columnFiltered.fill(false, columns);
    m_columnFiltered[column] = filtered;
    m_groupsDirty = true;
}

void KxTableGeometry::clearFilter()
{
    m_rowFiltered.clear();
    m_columnFiltered.clear();
    m_groupsDirty = true;
}

bool KxTableGeometry::isFiltered() const
{
    return m_rowFiltered.contains(true) || m_columnFiltered.contains(true);
}

int KxTableGeometry::fittingCount(bool horizontal) const
{
    const QSize view = viewSize();
    const int fitting =
        horizontal ? (view.width() - currentHeaderRowHeight() - currentHeaderColumnWidth()) /
                         currentColumnWidth()
                   : (view.height() - currentHeaderRowHeight()) / currentRowHeight();
    return std::max(fitting, 0);
}

int KxTableGeometry::scrollRoom(bool horizontal) const
{
    const QSize view = viewSize();
    const int room = horizontal
                         ? view.width() - currentHeaderColumnWidth() - currentHeaderRowHeight()
                         : view.height() - currentHeaderRowHeight();
    return std::max(room, 0);
}

int KxTableGeometry::maxScrollOffset(bool horizontal) const
{
    updateShown();
    const qint64 shown = horizontal ? m_shownColumns.size() : m_shownRows.size();
    const qint64 content = shown * (horizontal ? currentColumnWidth() : currentRowHeight());
    return int(std::clamp<qint64>(content - scrollRoom(horizontal), 0, INT_MAX));
}

int KxTableGeometry::scrollOffset(bool horizontal) const
{
    // The slider's range may lag behind a change of the shown rows until the
    // next repaint(); the offset never passes the end.
    const QSlider &slider = horizontal ? m_horizontalSlider : m_verticalSlider;
    return std::clamp(slider.value(), 0, maxScrollOffset(horizontal));
}

std::optional<int> KxTableGeometry::offsetShowing(bool horizontal, int index) const
{
    if (index <= 0)
        return std::nullopt;
    const int position = shownPosition(horizontal, index);
    if (position < 0)
        return std::nullopt;
    const qint64 size = horizontal ? currentColumnWidth() : currentRowHeight();
    const qint64 start = position * size;
    const qint64 offset = scrollOffset(horizontal);
    // A member keeps one place free above (left of) it for its pinned head.
    const int head = m_stickyHeads ? headPosition(horizontal, position) : -1;
    const qint64 reserve = (head >= 0 && head != position) ? size : 0;
    const qint64 room = std::max<qint64>(scrollRoom(horizontal), size + reserve);
    if (start - reserve < offset)
        return int(start - reserve);
    if (start + size > offset + room)
        return int(std::min<qint64>(start + size - room, INT_MAX));
    return std::nullopt;
}

int KxTableGeometry::firstShownPosition(bool horizontal) const
{
    updateShown();
    const QVector<int> &shown = horizontal ? m_shownColumns : m_shownRows;
    if (shown.isEmpty())
        return 0;
    const int size = horizontal ? currentColumnWidth() : currentRowHeight();
    // Without room the offset can reach the end: keep the last one, not none.
    return std::min(scrollOffset(horizontal) / size, int(shown.size()) - 1);
}

int KxTableGeometry::firstShownPixel(bool horizontal) const
{
    const int base = horizontal ? currentHeaderColumnWidth() : currentHeaderRowHeight();
    const int size = horizontal ? currentColumnWidth() : currentRowHeight();
    return base + firstShownPosition(horizontal) * size - scrollOffset(horizontal);
}

int KxTableGeometry::firstShownRow() const
{
    const int position = firstShownPosition(false);
    return m_shownRows.isEmpty() ? 1 : m_shownRows.at(position);
}

int KxTableGeometry::firstShownColumn() const
{
    const int position = firstShownPosition(true);
    return m_shownColumns.isEmpty() ? 1 : m_shownColumns.at(position);
}

int KxTableGeometry::headPosition(bool horizontal, int position) const
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

int KxTableGeometry::stickyHead(bool horizontal, int *pixel) const
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

bool KxTableGeometry::cellAt(const QPoint &pos, int *row, int *column) const
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

QRect KxTableGeometry::cellRect(int row, int column) const
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
