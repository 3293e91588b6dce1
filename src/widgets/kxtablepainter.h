#pragma once

#include <QBrush>
#include <QFont>
#include <QHash>
#include <QPair>
#include <QPen>
#include <QPixmap>
#include <QString>

class KxCellStore;
class KxTableGeometry;
class QPainter;
class QPointF;
class QWidget;

// Draws a KxTableWidget: the corner, the slanted column heads, the row heads,
// the cells on screen, the tint of the row and column in focus, the frame of
// the current cell and the pinned heads. Everything goes through a back
// buffer; cells of one look are drawn once and then copied.
class KxTablePainter
{
public:
    // What the widget marks: the current cell (framed) and the row and
    // column under the mouse (tinted; those of the current cell when the
    // mouse is elsewhere).
    struct Marks
    {
        int currentRow = -1;
        int currentColumn = -1;
        int hoverRow = -1;
        int hoverColumn = -1;
        bool focused = false;
    };

    KxTablePainter(KxCellStore &store, const KxTableGeometry &geometry);

    QBrush backgroundBrush() const { return m_backgroundBrush; }
    void setBackgroundBrush(const QBrush &brush) { m_backgroundBrush = brush; }
    QPen separatorPen() const { return m_separatorPen; }
    void setSeparatorPen(const QPen &pen) { m_separatorPen = pen; }
    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text) { m_emptyText = text; }
    QFont emptyTextFont() const { return m_emptyTextFont; }
    void setEmptyTextFont(const QFont &font) { m_emptyTextFont = font; }
    QPen emptyTextPen() const { return m_emptyTextPen; }
    void setEmptyTextPen(const QPen &pen) { m_emptyTextPen = pen; }

    // The cells changed wholesale: their images go.
    void clearCellImages() { m_cellImages.clear(); }

    // Paints the widget: the table into the view, the rest (the corner
    // between the sliders) in the window colour.
    void paint(QWidget &widget, const Marks &marks);

private:
    void paintTable(QPainter &painter, const QSize &view, const Marks &marks);
    void paintColumnHeaders(QPainter &painter, const QSize &view);
    void paintRowHeaders(QPainter &painter, const QSize &view);
    void paintCells(QPainter &painter, const QSize &view);
    // The look of a cell of this style and text at the current size, drawn
    // once and then copied; null where it cannot be shared (a background
    // that is not one opaque colour).
    const QPixmap *cellImage(quint32 style, const QString &text, const QSize &size);
    void paintHighlights(QPainter &painter, const QSize &view, const Marks &marks);
    void paintStickyHeads(QPainter &painter, const QSize &view);
    // One head: the slanted band whose foot starts at x, the row head at y.
    void paintColumnHead(QPainter &painter, int column, int x);
    void paintRowHead(QPainter &painter, int row, int y);
    // The head's text cut to the room it has, with "..." when it is cut.
    QString fittedHeadText(int index, int room);
    static void paintGroupMarker(QPainter &painter, const QPointF &at, int mode, const QPen &pen);

    KxCellStore &m_store;
    const KxTableGeometry &m_geometry;

    QBrush m_backgroundBrush = QBrush(Qt::white, Qt::SolidPattern);
    QPen m_separatorPen = QPen(Qt::black);
    QString m_emptyText;
    QFont m_emptyTextFont;
    QPen m_emptyTextPen = QPen(Qt::red);

    // The device pixel ratio of the paint under way.
    qreal m_ratio = 1;
    QPixmap m_pixmap;
    QHash<QPair<quint32, QString>, QPixmap> m_cellImages;
    QSize m_cellImageSize;
    int m_cellImageMargin = 0;
    qreal m_cellImageRatio = 0;
};
