#include "widgets/kxtablewidget.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <optional>

KxTableWidget::KxTableWidget(QWidget *parent)
    : QWidget(parent), m_horizontalSlider(new QSlider(Qt::Horizontal, this)),
      m_verticalSlider(new QSlider(Qt::Vertical, this)),
      m_geometry(m_store, *this, *m_horizontalSlider, *m_verticalSlider),
      m_painter(m_store, m_geometry)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Keys move the current cell; the mouse highlights the row and column it is over.
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_painter.setEmptyText(tr("Empty Table"));
    m_painter.setEmptyTextFont(font());

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
    m_painter.clearCellImages();
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
    KxTablePainter::Marks marks;
    marks.currentRow = m_currentRow;
    marks.currentColumn = m_currentColumn;
    marks.hoverRow = m_hoverRow;
    marks.hoverColumn = m_hoverColumn;
    marks.focused = hasFocus();
    m_painter.paint(*this, marks);
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
