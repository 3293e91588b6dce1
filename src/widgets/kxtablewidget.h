#pragma once

#include "widgets/kxcellstore.h"
#include "widgets/kxcellstyle.h"
#include "widgets/kxcelltemplate.h"
#include "widgets/kxtablecell.h"
#include "widgets/kxtablegeometry.h"
#include "widgets/kxtablepainter.h"

#include <QPoint>
#include <QPointF>
#include <QVector>
#include <QWidget>

#include <functional>

class QSlider;

// A self-painted grid: a header row (row 0) with texts at 45 degrees, a
// header column (column 0), collapsible groups of rows and columns and two
// sliders of its own. Built for large boards (thousands of rows, hundreds of
// columns): cells share their styles by index and only the rows and columns
// on screen are painted. It scrolls by pixels; the slider values are the
// pixels scrolled.
//
// The widget takes the events, owns the sliders, the current cell and the
// hover, and emits the signals; it hands the cells to a KxCellStore, where
// things lie to a KxTableGeometry and the drawing to a KxTablePainter.
class KxTableWidget : public QWidget
{
    Q_OBJECT

public:
    // Width of the sliders and the room they take from the view.
    static constexpr int SliderThickness = KxTableGeometry::SliderThickness;

    explicit KxTableWidget(QWidget *parent = nullptr);
    ~KxTableWidget() override;

    // Discards all cells and creates rows x columns cells, copies of the
    // template or default cells. Registered styles stay valid.
    void setSize(int rows, int columns, const KxCellTemplate *cellTemplate = nullptr);
    int rowCount() const { return m_store.rowCount(); }
    int columnCount() const { return m_store.columnCount(); }

    // A null handle for indexes outside the table.
    KxTableCell cell(int row, int column);

    // Filling a large table without a handle per cell: the cells of one row
    // from `column` on take, in order, the text (null: unchanged), the style
    // index (negative: unchanged) and the integer value of `role` (NoData:
    // unchanged) of each fill; removeData takes the cell's value away.
    static constexpr int NoData = KxCellStore::NoData;
    using CellFill = KxCellStore::Fill;
    void fillRow(int row, int column, const QVector<CellFill> &cells, int role);

    // Registers a style (once per distinct look) and returns its index for
    // KxTableCell::setStyleIndex().
    int addStyle(const KxCellStyle &style);
    KxCellStyle styleAt(int index) const;
    int styleCount() const { return m_store.styleCount(); }

    // Sizes in pixels; a negative size is fitted to the texts by repaint()
    // and its absolute value is the size in use.
    int rowHeight() const { return m_geometry.rowHeight(); }
    void setRowHeight(int pixels) { m_geometry.setRowHeight(pixels); }
    int columnWidth() const { return m_geometry.columnWidth(); }
    void setColumnWidth(int pixels) { m_geometry.setColumnWidth(pixels); }
    int headerRowHeight() const { return m_geometry.headerRowHeight(); }
    void setHeaderRowHeight(int pixels) { m_geometry.setHeaderRowHeight(pixels); }
    int headerColumnWidth() const { return m_geometry.headerColumnWidth(); }
    void setHeaderColumnWidth(int pixels) { m_geometry.setHeaderColumnWidth(pixels); }
    int minHeaderRowHeight() const { return m_geometry.minHeaderRowHeight(); }
    void setMinHeaderRowHeight(int pixels) { m_geometry.setMinHeaderRowHeight(pixels); }
    int minHeaderColumnWidth() const { return m_geometry.minHeaderColumnWidth(); }
    void setMinHeaderColumnWidth(int pixels) { m_geometry.setMinHeaderColumnWidth(pixels); }
    // Upper bounds of the fitted header sizes (0: none); longer head texts
    // are elided.
    int maxHeaderRowHeight() const { return m_geometry.maxHeaderRowHeight(); }
    void setMaxHeaderRowHeight(int pixels) { m_geometry.setMaxHeaderRowHeight(pixels); }
    int maxHeaderColumnWidth() const { return m_geometry.maxHeaderColumnWidth(); }
    void setMaxHeaderColumnWidth(int pixels) { m_geometry.setMaxHeaderColumnWidth(pixels); }
    int xMargin() const { return m_geometry.xMargin(); }
    void setXMargin(int pixels) { m_geometry.setXMargin(pixels); }
    int yMargin() const { return m_geometry.yMargin(); }
    void setYMargin(int pixels) { m_geometry.setYMargin(pixels); }

    QBrush backgroundBrush() const { return m_painter.backgroundBrush(); }
    void setBackgroundBrush(const QBrush &brush) { m_painter.setBackgroundBrush(brush); }
    QPen separatorPen() const { return m_painter.separatorPen(); }
    void setSeparatorPen(const QPen &pen) { m_painter.setSeparatorPen(pen); }
    QString emptyText() const { return m_painter.emptyText(); }
    void setEmptyText(const QString &text) { m_painter.setEmptyText(text); }
    QFont emptyTextFont() const { return m_painter.emptyTextFont(); }
    void setEmptyTextFont(const QFont &font) { m_painter.setEmptyTextFont(font); }
    QPen emptyTextPen() const { return m_painter.emptyTextPen(); }
    void setEmptyTextPen(const QPen &pen) { m_painter.setEmptyTextPen(pen); }

    QSlider *horizontalSlider() const { return m_horizontalSlider; }
    QSlider *verticalSlider() const { return m_verticalSlider; }
    bool isHorizontalSliderShown() const { return m_geometry.isHorizontalSliderShown(); }
    void setHorizontalSliderShown(bool shown);
    bool isVerticalSliderShown() const { return m_geometry.isVerticalSliderShown(); }
    void setVerticalSliderShown(bool shown);

    // The part of the widget the table is painted into (less the sliders).
    QSize viewSize() const { return m_geometry.viewSize(); }

    // Rows and columns that the group rule shows, headers not counted.
    int shownRowCount() const { return m_geometry.shownRows().size(); }
    int shownColumnCount() const { return m_geometry.shownColumns().size(); }
    bool isRowShown(int row) const { return m_geometry.isRowShown(row); }
    bool isColumnShown(int column) const { return m_geometry.isColumnShown(column); }
    // The row (column) at the top (left) edge of the view, maybe partly
    // scrolled out.
    int firstShownRow() const { return m_geometry.firstShownRow(); }
    int firstShownColumn() const { return m_geometry.firstShownColumn(); }
    // Pixels the rows and columns are scrolled by (x sideways, y down).
    QPoint scrollOffset() const
    {
        return QPoint(m_geometry.scrollOffset(true), m_geometry.scrollOffset(false));
    }

    // With sticky heads the group head of the row at the top stays pinned at
    // the top of the header column, and the head of the column at the left
    // stays pinned at the left of the slanted header, until the next head
    // pushes it out. Off by default.
    bool hasStickyHeads() const { return m_geometry.hasStickyHeads(); }
    void setStickyHeads(bool sticky);
    // The pinned head row (column), -1 when none is pinned.
    int stickyRowHead() const { return m_geometry.stickyHead(false, nullptr); }
    int stickyColumnHead() const { return m_geometry.stickyHead(true, nullptr); }

    // Maps a widget position to the cell painted there, following the slant
    // of the column headers; false when no cell is there.
    bool cellAt(const QPoint &pos, int *row, int *column) const
    {
        return m_geometry.cellAt(pos, row, column);
    }

    // Bytes held by the cells, their texts, data and styles (an estimate).
    qint64 approximateCellMemory() const { return m_store.approximateMemory(); }

    // The current cell, moved by the keys and set by a left click; drawn
    // with a frame. (-1, -1) when there is none.
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }
    // Makes the cell current and scrolls it into view; false when the cell
    // does not exist or is not shown.
    bool setCurrentCell(int row, int column);
    void clearCurrentCell();
    // Scrolls so that the row and column are on screen (heads always are).
    void ensureVisible(int row, int column);
    // Where the cell is painted, in widget coordinates; for a slanted head
    // the box around its band. Empty when the cell is not on screen.
    QRect cellRect(int row, int column) const { return m_geometry.cellRect(row, column); }
    // The global position the last cell menu request came from: the mouse
    // for a right press, the current cell for the keyboard.
    QPoint menuPosition() const { return m_menuPosition; }

    // Rows and columns a filter leaves out, on top of the group rule.
    // setSize() clears the filter.
    void setRowFiltered(int row, bool filtered);
    void setColumnFiltered(int column, bool filtered);
    void clearFilter();
    bool isFiltered() const { return m_geometry.isFiltered(); }

    // Text for the tooltip over a cell; an empty text shows none.
    using ToolTipProvider = std::function<QString(int row, int column)>;
    void setToolTipProvider(ToolTipProvider provider) { m_toolTipProvider = std::move(provider); }

signals:
    void clickedOnCell(int row, int column, int mouseButton, bool isDoubleClicked);
    void currentCellChanged(int row, int column);

public slots:
    // Fits the negative sizes, recounts the shown rows and columns and
    // schedules a paint. It hides QWidget::repaint(), which is not virtual:
    // call it on a KxTableWidget, never through a QWidget pointer.
    void repaint();
    void scrollTop();
    void scrollBottom();
    void sliderChanged(int value);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    friend class KxTableCell;

    void placeSliders();
    // Slider ranges follow the shown rows and columns; sliders stand still
    // while everything fits.
    void updateSliderStates();
    void setScrollOffset(bool horizontal, int pixels);
    void scrollToPosition(bool horizontal, int position);
    void emitCellAt(const QPoint &pos, int button, bool doubleClick);
    void moveCurrent(int rowSteps, int columnSteps);
    void setHover(int row, int column);

    KxCellStore m_store;

    bool m_grabScrolling = false;
    bool m_grabMoved = false;
    QPoint m_lastMousePos;
    // Wheel movement not yet turned into whole pixels.
    QPointF m_wheelPixels;

    int m_currentRow = -1;
    int m_currentColumn = -1;
    int m_hoverRow = -1;
    int m_hoverColumn = -1;
    QPoint m_menuPosition;
    ToolTipProvider m_toolTipProvider;

    // In this order: the sliders exist before the geometry that reads them.
    QSlider *m_horizontalSlider;
    QSlider *m_verticalSlider;
    KxTableGeometry m_geometry;
    KxTablePainter m_painter;
};
