#include "db/eventlogmodel.h"

#include "db/projectdatabase.h"

EventLogModel::EventLogModel(QObject *parent) : QAbstractTableModel(parent) {}

bool EventLogModel::setFilter(const EventFilter &filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows.clear();
    m_counts = EventCounts();
    m_atEnd = true;
    m_error = QSqlError();
    QList<EventRow> page;
    ProjectDatabase db(m_databasePath);
    if (!db.open()) {
        m_error = db.lastError();
    } else {
        QSqlQuery query = db.query();
        m_error = EventRecords::holidayDates(query, m_holidays);
        if (!m_error.isValid())
            m_error = EventRecords::count(query, m_filter, m_counts);
        if (!m_error.isValid())
            m_error = EventRecords::list(query, m_filter, EventCursor(), PageSize, page);
    }
    if (!m_error.isValid()) {
        m_rows = page;
        m_atEnd = page.size() < PageSize;
    }
    endResetModel();
    return !m_error.isValid();
}

bool EventLogModel::readPage(QList<EventRow> &page)
{
    EventCursor after;
    if (!m_rows.isEmpty()) {
        after.readerTime = m_rows.last().readerTime;
        after.key = m_rows.last().key;
        after.valid = true;
    }
    ProjectDatabase db(m_databasePath);
    if (!db.open()) {
        m_error = db.lastError();
        return false;
    }
    QSqlQuery query = db.query();
    m_error = EventRecords::list(query, m_filter, after, PageSize, page);
    return !m_error.isValid();
}

bool EventLogModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd;
}

void EventLogModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_atEnd)
        return;
    QList<EventRow> page;
    // A failing read ends the list where it is rather than retrying on every scroll.
    if (!readPage(page) || page.size() < PageSize)
        m_atEnd = true;
    if (page.isEmpty())
        return;
    beginInsertRows(QModelIndex(), m_rows.size(), m_rows.size() + page.size() - 1);
    m_rows += page;
    endInsertRows();
}

bool EventLogModel::fetchAll()
{
    while (canFetchMore()) {
        fetchMore();
        if (m_error.isValid())
            return false;
    }
    return true;
}

QString EventLogModel::resultText(const EventRow &row) const
{
    const bool onHoliday = !row.invalidTime && m_holidays.contains(row.time().date());
    return EventRecords::resultText(row.granted, row.errorNumber, onHoliday);
}

QString EventLogModel::cellText(const EventRow &row, int column) const
{
    switch (column) {
    case Time:
        return row.invalidTime ? tr("invalid date")
                               : row.time().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case Area:
        return row.areaName;
    case Entry:
        return row.doorName.isEmpty() ? tr("(removed entry %1)").arg(row.pkDoors) : row.doorName;
    case User:
        return row.userKey ? QStringLiteral("%1, %2").arg(row.familyName, row.firstName)
                           : tr("unknown identifier");
    case Group:
        return row.groupName;
    case Identifier:
        return row.idd;
    case Result:
        return resultText(row);
    case Antenna:
        return row.antenna ? QString::number(row.antenna) : QString();
    default:
        return QString();
    }
}

int EventLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int EventLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EventLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const EventRow &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return cellText(row, index.column());
    return QVariant();
}

QVariant EventLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        return tr("Date and Time");
    case Area:
        return tr("Area");
    case Entry:
        return tr("Entry");
    case User:
        return tr("User");
    case Group:
        return tr("Group");
    case Identifier:
        return tr("Identifier");
    case Result:
        return tr("Result");
    case Antenna:
        return tr("Antenna");
    default:
        return QVariant();
    }
}
