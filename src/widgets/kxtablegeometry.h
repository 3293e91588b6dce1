#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

#include <algorithm>
#include <cstdlib>
#include <optional>

class KxCellStore;
class QSlider;
class QWidget;

// Where everything of a KxTableWidget lies: the sizes of rows, columns and
// heads (fitted to the texts on request), the rows and columns that the group
// rule and the filter show, how far they are scrolled, which heads are pinned,
// and which cell a point hits. The sliders' values are the pixels scrolled;
// it reads them and the widget's size, and moves neither.
class KxTableGeometry
{
public:
    // Width of the sliders and the room they take from the view.
    static constexpr int SliderThickness = 20;
    // Room after a group head's name for its collapse marker.
    static constexpr int MarkerRoom = 16;

    KxTableGeometry(KxCellStore &store, const QWidget &widget, const QSlider &horizontalSlider,
                    const QSlider &verticalSlider);

    // Sizes in pixels; a negative size is fitted to the texts by fitSizes()
    // and its absolute value is the size in use.
    int rowHeight() const { return m_rowHeight; }
    void setRowHeight(int pixels) { m_rowHeight = pixels; }
    int columnWidth() const { return m_columnWidth; }
    void setColumnWidth(int pixels) { m_columnWidth = pixels; }
    int headerRowHeight() const { return m_headerRowHeight; }
    void setHeaderRowHeight(int pixels) { m_headerRowHeight = pixels; }
    int headerColumnWidth() const { return m_headerColumnWidth; }
    void setHeaderColumnWidth(int pixels) { m_headerColumnWidth = pixels; }
    int minHeaderRowHeight() const { return m_minHeaderRowHeight; }
    void setMinHeaderRowHeight(int pixels) { m_minHeaderRowHeight = pixels; }
    int minHeaderColumnWidth() const { return m_minHeaderColumnWidth; }
    void setMinHeaderColumnWidth(int pixels) { m_minHeaderColumnWidth = pixels; }
    int maxHeaderRowHeight() const { return m_maxHeaderRowHeight; }
    void setMaxHeaderRowHeight(int pixels) { m_maxHeaderRowHeight = pixels; }
    int maxHeaderColumnWidth() const { return m_maxHeaderColumnWidth; }
    void setMaxHeaderColumnWidth(int pixels) { m_maxHeaderColumnWidth = pixels; }
    int xMargin() const { return m_xMargin; }
    void setXMargin(int pixels) { m_xMargin = pixels; }
    int yMargin() const { return m_yMargin; }
    void setYMargin(int pixels) { m_yMargin = pixels; }

    // The sizes in use.
    int currentRowHeight() const { return std::max(1, std::abs(m_rowHeight)); }
    int currentColumnWidth() const { return std::max(1, std::abs(m_columnWidth)); }
    int currentHeaderRowHeight() const { return std::abs(m_headerRowHeight); }
    int currentHeaderColumnWidth() const { return std::abs(m_headerColumnWidth); }
    // Fits the negative sizes to the measured texts.
    void fitSizes();

    bool isHorizontalSliderShown() const { return m_horizontalSliderShown; }
    void setHorizontalSliderShown(bool shown) { m_horizontalSliderShown = shown; }
    bool isVerticalSliderShown() const { return m_verticalSliderShown; }
    void setVerticalSliderShown(bool shown) { m_verticalSliderShown = shown; }
    // The part of the widget the table is painted into (less the sliders).
    QSize viewSize() const;

    // A new table: no filter, the shown rows and columns counted again.
    void reset();
    // A head's group mode changed: count the shown rows and columns again.
    void markGroupsDirty() { m_groupsDirty = true; }
    // Counts them now if they are out of date.
    void updateShown() const;
    // The rows (columns) shown, headers not counted, in order.
    const QVector<int> &shownRows() const;
    const QVector<int> &shownColumns() const;
    bool isRowShown(int row) const;
    bool isColumnShown(int column) const;
    // Index of the row (column) in the shown list, -1 when it is not shown.
    int shownPosition(bool horizontal, int index) const;

    void setRowFiltered(int row, bool filtered);
    void setColumnFiltered(int column, bool filtered);
    void clearFilter();
    bool isFiltered() const;

    // Whole rows (columns) that fit beside the heads.
    int fittingCount(bool horizontal) const;
    // Pixels the rows (columns) have to scroll in: below the header row, and
    // right of the header column less the room the last slanted head needs.
    int scrollRoom(bool horizontal) const;
    int maxScrollOffset(bool horizontal) const;
    // The slider's value kept within the end.
    int scrollOffset(bool horizontal) const;
    // The offset that brings the row (column) into view, none when it is in
    // view already or not shown.
    std::optional<int> offsetShowing(bool horizontal, int index) const;
    // The shown position at the top (left) edge of the view, and where it
    // starts in widget coordinates.
    int firstShownPosition(bool horizontal) const;
    int firstShownPixel(bool horizontal) const;
    int firstShownRow() const;
    int firstShownColumn() const;

    bool hasStickyHeads() const { return m_stickyHeads; }
    void setStickyHeads(bool sticky) { m_stickyHeads = sticky; }
    // The head to pin and where it starts (y of the row, x of the column's
    // foot), -1 when none.
    int stickyHead(bool horizontal, int *pixel) const;

    // Maps a widget position to the cell painted there, following the slant
    // of the column headers; false when no cell is there.
    bool cellAt(const QPoint &pos, int *row, int *column) const;
    // Where the cell is painted; for a slanted head the box around its band.
    // Empty when the cell is not on screen.
    QRect cellRect(int row, int column) const;

private:
    // The shown position of the group head of a shown position, -1 when
    // there is none before it.
    int headPosition(bool horizontal, int position) const;

    KxCellStore &m_store;
    const QWidget &m_widget;
    const QSlider &m_horizontalSlider;
    const QSlider &m_verticalSlider;

    int m_rowHeight = 20;
    int m_columnWidth = 30;
    int m_headerRowHeight = 100;
    int m_headerColumnWidth = 100;
    int m_minHeaderRowHeight = 0;
    int m_minHeaderColumnWidth = 0;
    int m_maxHeaderRowHeight = 0;
    int m_maxHeaderColumnWidth = 0;
    int m_xMargin = 0;
    int m_yMargin = 0;

    bool m_horizontalSliderShown = true;
    bool m_verticalSliderShown = true;
    bool m_stickyHeads = false;

    mutable bool m_groupsDirty = true;
    mutable QVector<int> m_shownRows;
    mutable QVector<int> m_shownColumns;
    QVector<bool> m_rowFiltered;
    QVector<bool> m_columnFiltered;
};
