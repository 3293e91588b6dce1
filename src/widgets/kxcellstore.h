#pragma once

#include "widgets/kxcellstyle.h"
#include "widgets/kxcelltemplate.h"
#include "widgets/kxtablecell.h"

#include <QHash>
#include <QMultiHash>
#include <QPair>
#include <QSize>
#include <QString>
#include <QVariant>
#include <QVector>

#include <limits>
#include <map>

// The cells of a KxTableWidget, row by row in one array, with the styles they
// share by index, the caller data of each role and the measured sizes of
// their texts. It knows nothing of the screen: the geometry and the painter
// read it, the widget and the cell handles write it.
class KxCellStore
{
public:
    // What one cell holds besides its role data.
    struct Record
    {
        QString text;
        quint32 style = 0;
        quint8 groupMode = KxTableCell::Ordinary;
    };

    // Extent of the texts of one part of the table (the column heads, the
    // row heads or the body), kept for fitting until one of them changes.
    struct TextExtent
    {
        int width = 4;
        int height = 4;
        bool valid = false;
    };

    // One cell of a fillRow(): the text (null: unchanged), the style index
    // (negative: unchanged) and the integer value of the role (NoData:
    // unchanged); removeData takes the cell's value away.
    static constexpr int NoData = std::numeric_limits<int>::min();
    struct Fill
    {
        const QString *text = nullptr;
        int style = -1;
        int data = NoData;
        bool removeData = false;
    };

    // Discards all cells and creates rows x columns cells, copies of the
    // template or default cells. Registered styles stay valid.
    void reset(int rows, int columns, const KxCellTemplate *cellTemplate);
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    int cellCount() const { return m_cells.size(); }

    // Cells by index (column + row * columnCount()), unchecked. A caller that
    // changes a text, style or group mode tells markTextChanged().
    const QVector<Record> &records() const { return m_cells; }
    const Record &record(int index) const { return m_cells.at(index); }
    Record &mutableRecord(int index) { return m_cells[index]; }

    // Registers a style once per distinct look and returns its index.
    int addStyle(const KxCellStyle &style);
    const QVector<KxCellStyle> &styles() const { return m_styles; }
    // Unchecked; styleAt() gives a default style for a bad index.
    const KxCellStyle &style(int index) const { return m_styles.at(index); }
    KxCellStyle styleAt(int index) const;
    int styleCount() const { return m_styles.size(); }

    void fillRow(int row, int column, const QVector<Fill> &cells, int role);
    QVariant data(int index, int role) const;
    // An invalid value removes the role from the cell.
    void setData(int index, int role, const QVariant &value);

    // A text, style or group mode of the cell changed: its part is measured
    // again at the next fit.
    void markTextChanged(int row, int column);
    // The size of the cell's text in its style's font, cached by style and text.
    QSize textSize(int index);
    // The measured parts; a group head with a text counts markerRoom wider.
    const TextExtent &columnHeadExtent(int markerRoom);
    const TextExtent &rowHeadExtent(int markerRoom);
    const TextExtent &bodyExtent();

    // Bytes held by the cells, their texts, data and styles (an estimate).
    qint64 approximateMemory() const;

private:
    // Caller data of one role: a hash while few cells carry it, a plain
    // array once many do (the board keeps a key in nearly every cell); an
    // array of plain integers while every value is one.
    struct RoleStore
    {
        QHash<int, QVariant> sparse;
        QVector<QVariant> dense;
        QVector<qint32> ints; // NoInt where a cell has no value
    };
    static constexpr qint32 NoInt = NoData;
    static bool isStorableInt(const QVariant &value)
    {
        return value.userType() == QMetaType::Int && value.toInt() != NoInt;
    }
    void makeDense(RoleStore &store);
    // The role's integers for every cell, made so if need be; null when the
    // role holds other values.
    qint32 *intStore(int role);
    // Measures the heads at stride, 2 * stride, ... below count * stride.
    TextExtent headExtent(int count, int stride, int markerRoom, int startHeight);

    int m_rows = 0;
    int m_columns = 0;
    QVector<Record> m_cells;
    std::map<int, RoleStore> m_roles;
    QVector<KxCellStyle> m_styles;
    QMultiHash<uint, int> m_styleLookup;
    QHash<QPair<quint32, QString>, QSize> m_textSizes;
    TextExtent m_columnHeadExtent;
    TextExtent m_rowHeadExtent;
    TextExtent m_bodyExtent;
};
