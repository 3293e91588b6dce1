#include "widgets/kxcellstore.h"

#include <QFontMetrics>
#include <QRect>
#include <QSet>

#include <algorithm>
#include <climits>

namespace {
int clampedGroupMode(int mode)
{
    return (mode == KxTableCell::CollapsedHead || mode == KxTableCell::ExpandedHead)
               ? mode
               : int(KxTableCell::Ordinary);
}
} // namespace

void KxCellStore::reset(int rows, int columns, const KxCellTemplate *cellTemplate)
{
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    if (qint64(rows) * columns > INT_MAX) {
        qWarning("KxTableWidget: %d x %d cells do not fit, table emptied", rows, columns);
        rows = columns = 0;
    }
    m_rows = rows;
    m_columns = columns;
    m_roles.clear();
    m_textSizes.clear();
    m_columnHeadExtent = m_rowHeadExtent = m_bodyExtent = TextExtent();

    Record record;
    if (cellTemplate) {
        record.style = quint32(addStyle(cellTemplate->style));
        record.text = cellTemplate->text;
        record.groupMode = quint8(clampedGroupMode(cellTemplate->groupMode));
    }
    const int count = rows * columns;
    // Sized exactly: growing by fill() would reserve up to twice the cells.
    m_cells = QVector<Record>();
    m_cells = QVector<Record>(count, record);

    if (cellTemplate) {
        for (auto it = cellTemplate->data.cbegin(); it != cellTemplate->data.cend(); ++it) {
            if (isStorableInt(it.value()))
                m_roles[it.key()].ints.fill(it.value().toInt(), count);
            else if (it.value().isValid())
                m_roles[it.key()].dense.fill(it.value(), count);
        }
    }
}

int KxCellStore::addStyle(const KxCellStyle &style)
{
    const uint key = qHash(style);
    for (auto it = m_styleLookup.constFind(key); it != m_styleLookup.cend() && it.key() == key;
         ++it) {
        if (m_styles.at(it.value()) == style)
            return it.value();
    }
    m_styles.append(style);
    m_styleLookup.insert(key, m_styles.size() - 1);
    return m_styles.size() - 1;
}

KxCellStyle KxCellStore::styleAt(int index) const
{
    return (index >= 0 && index < m_styles.size()) ? m_styles.at(index) : KxCellStyle();
}

void KxCellStore::fillRow(int row, int column, const QVector<Fill> &cells, int role)
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return;
    const int count = std::min(cells.size(), m_columns - column);
    const int start = row * m_columns + column;
    Record *records = m_cells.data() + start;
    qint32 *ints = nullptr;
    bool intsAsked = false;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        const Fill &fill = cells.at(i);
        if (fill.text) {
            records[i].text = *fill.text;
            changed = true;
        }
        if (fill.style >= 0 && fill.style < m_styles.size()) {
            records[i].style = quint32(fill.style);
            changed = true;
        }
        if (fill.data == NoData && !fill.removeData)
            continue;
        if (!intsAsked) {
            ints = intStore(role);
            intsAsked = true;
        }
        if (ints)
            ints[start + i] = fill.removeData ? NoInt : fill.data;
        else
            setData(start + i, role, fill.removeData ? QVariant() : QVariant(fill.data));
    }
    if (changed) {
        if (column == 0)
            markTextChanged(row, 0);
        if (column + count > 1)
            markTextChanged(row, std::max(column, 1));
    }
}

qint32 *KxCellStore::intStore(int role)
{
    RoleStore &store = m_roles[role];
    if (store.ints.isEmpty()) {
        if (!store.dense.isEmpty())
            return nullptr;
        if (!std::all_of(store.sparse.cbegin(), store.sparse.cend(),
                         [](const QVariant &v) { return isStorableInt(v); }))
            return nullptr;
        store.ints.fill(NoInt, m_cells.size());
        for (auto s = store.sparse.cbegin(); s != store.sparse.cend(); ++s)
            store.ints[s.key()] = s.value().toInt();
        store.sparse.clear();
        store.sparse.squeeze();
    }
    return store.ints.data();
}

void KxCellStore::markTextChanged(int row, int column)
{
    if (row == 0 && column > 0)
        m_columnHeadExtent.valid = false;
    else if (column == 0 && row > 0)
        m_rowHeadExtent.valid = false;
    else if (row > 0 && column > 0)
        m_bodyExtent.valid = false;
}

QVariant KxCellStore::data(int index, int role) const
{
    const auto it = m_roles.find(role);
    if (it == m_roles.end())
        return QVariant();
    const RoleStore &store = it->second;
    if (!store.ints.isEmpty()) {
        const qint32 value = store.ints.at(index);
        return value == NoInt ? QVariant() : QVariant(int(value));
    }
    if (!store.dense.isEmpty())
        return store.dense.at(index);
    return store.sparse.value(index);
}

void KxCellStore::makeDense(RoleStore &store)
{
    // Once a value other than an integer comes, the role keeps variants.
    store.dense.resize(m_cells.size());
    for (int i = 0; i < store.ints.size(); ++i) {
        if (store.ints.at(i) != NoInt)
            store.dense[i] = int(store.ints.at(i));
    }
    store.ints = QVector<qint32>();
}

void KxCellStore::setData(int index, int role, const QVariant &value)
{
    auto it = m_roles.find(role);
    if (it == m_roles.end()) {
        if (!value.isValid())
            return;
        it = m_roles.emplace(role, RoleStore()).first;
    }
    RoleStore &store = it->second;
    if (!store.ints.isEmpty()) {
        if (!value.isValid()) {
            store.ints[index] = NoInt;
            return;
        }
        if (isStorableInt(value)) {
            store.ints[index] = value.toInt();
            return;
        }
        makeDense(store);
    }
    if (!store.dense.isEmpty()) {
        store.dense[index] = value;
        return;
    }
    if (!value.isValid()) {
        store.sparse.remove(index);
        return;
    }
    store.sparse.insert(index, value);
    // A hash node costs about three times a variant slot: switch once an
    // eighth of the cells carry the role.
    if (m_cells.size() > 64 && store.sparse.size() > m_cells.size() / 8) {
        const bool allInts = std::all_of(store.sparse.cbegin(), store.sparse.cend(),
                                         [](const QVariant &v) { return isStorableInt(v); });
        if (allInts) {
            store.ints.fill(NoInt, m_cells.size());
            for (auto s = store.sparse.cbegin(); s != store.sparse.cend(); ++s)
                store.ints[s.key()] = s.value().toInt();
        } else {
            store.dense.resize(m_cells.size());
            for (auto s = store.sparse.cbegin(); s != store.sparse.cend(); ++s)
                store.dense[s.key()] = s.value();
        }
        store.sparse.clear();
        store.sparse.squeeze();
    }
}

QSize KxCellStore::textSize(int index)
{
    const Record &record = m_cells.at(index);
    if (record.text.isEmpty())
        return QSize(0, 0);
    const QPair<quint32, QString> key(record.style, record.text);
    const auto it = m_textSizes.constFind(key);
    if (it != m_textSizes.cend())
        return it.value();
    const QFontMetrics metrics(m_styles.at(int(record.style)).font);
    const QSize size =
        metrics.boundingRect(QRect(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, record.text).size();
    m_textSizes.insert(key, size);
    return size;
}

// Each part's texts are measured again only after one of them changed: a
// collapse touches the heads, not the million cells of the body.
KxCellStore::TextExtent KxCellStore::headExtent(int count, int stride, int markerRoom,
                                                int startHeight)
{
    TextExtent extent;
    extent.height = startHeight;
    for (int i = 1; i < count; ++i) {
        const QSize size = textSize(i * stride);
        const bool marked = m_cells.at(i * stride).groupMode != KxTableCell::Ordinary;
        extent.width =
            std::max(extent.width, size.width() + (marked && size.width() > 0 ? markerRoom : 0));
        extent.height = std::max(extent.height, size.height());
    }
    extent.valid = true;
    return extent;
}

const KxCellStore::TextExtent &KxCellStore::columnHeadExtent(int markerRoom)
{
    if (!m_columnHeadExtent.valid)
        m_columnHeadExtent = headExtent(m_columns, 1, markerRoom, TextExtent().height);
    return m_columnHeadExtent;
}

const KxCellStore::TextExtent &KxCellStore::rowHeadExtent(int markerRoom)
{
    if (!m_rowHeadExtent.valid)
        m_rowHeadExtent = headExtent(m_rows, m_columns, markerRoom, 0);
    return m_rowHeadExtent;
}

const KxCellStore::TextExtent &KxCellStore::bodyExtent()
{
    if (!m_bodyExtent.valid) {
        TextExtent extent;
        // Neighbouring cells often hold the very same string (one tag set
        // on a whole block); skip the lookup for those.
        const QChar *lastText = nullptr;
        quint32 lastStyle = 0;
        for (int r = 1; r < m_rows; ++r) {
            const int rowStart = r * m_columns;
            for (int c = 1; c < m_columns; ++c) {
                const Record &record = m_cells.at(rowStart + c);
                if (record.text.isEmpty())
                    continue;
                if (record.text.constData() == lastText && record.style == lastStyle)
                    continue;
                lastText = record.text.constData();
                lastStyle = record.style;
                const QSize size = textSize(rowStart + c);
                extent.width = std::max(extent.width, size.width());
                extent.height = std::max(extent.height, size.height());
            }
        }
        extent.valid = true;
        m_bodyExtent = extent;
    }
    return m_bodyExtent;
}

qint64 KxCellStore::approximateMemory() const
{
    qint64 bytes = qint64(m_cells.capacity()) * qint64(sizeof(Record));
    // Equal texts set from one string share their characters: count each once.
    QSet<const QChar *> texts;
    for (const Record &record : m_cells) {
        if (record.text.isEmpty())
            continue;
        const QChar *characters = record.text.constData();
        if (texts.contains(characters))
            continue;
        texts.insert(characters);
        bytes += qint64(sizeof(QArrayData)) + ((record.text.capacity() + 1) * 2 + 7) / 8 * 8;
    }
    for (const auto &role : m_roles) {
        bytes += qint64(role.second.ints.capacity()) * qint64(sizeof(qint32));
        bytes += qint64(role.second.dense.capacity()) * qint64(sizeof(QVariant));
        bytes += qint64(role.second.sparse.size()) * (qint64(sizeof(QVariant)) + 24);
        bytes += qint64(role.second.sparse.capacity()) * qint64(sizeof(void *));
    }
    bytes += qint64(m_styles.size()) * qint64(sizeof(KxCellStyle));
    return bytes;
}
