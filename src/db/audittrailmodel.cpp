#include "db/audittrailmodel.h"

#include <QCoreApplication>

AuditTrailModel::AuditTrailModel(QObject *parent) : QAbstractTableModel(parent) {}

void AuditTrailModel::open(const QString &databasePath, const AuditHistory::Filter &filter)
{
    m_databasePath = databasePath;
    m_filter = filter;
    reload();
}

void AuditTrailModel::setDatabasePath(const QString &databasePath)
{
    m_databasePath = databasePath;
    reload();
}

void AuditTrailModel::setFilter(const AuditHistory::Filter &filter)
{
    m_filter = filter;
    reload();
}

void AuditTrailModel::reload()
{
    beginResetModel();
    m_records.clear();
    m_more = false;
    m_error = QSqlError();
    if (!m_databasePath.isEmpty())
        m_error = AuditHistory::readPage(m_databasePath, m_filter, 0, PageSize, ValueLength,
                                         m_records, &m_more);
    if (m_error.isValid()) {
        m_records.clear();
        m_more = false;
    }
    endResetModel();
}

QString AuditTrailModel::timeText(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString AuditTrailModel::isoText(const QDateTime &utc)
{
    QDateTime local = utc.toLocalTime();
    local.setOffsetFromUtc(local.offsetFromUtc());
    return local.toString(Qt::ISODateWithMs);
}

QString AuditTrailModel::cellText(const AuditRecord &record, int column)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("AuditTrailModel", text);
    };
    switch (column) {
    case TimeColumn:
        return timeText(record.recordedAt);
    case OperatorColumn:
        return record.operatorName;
    case ProgramColumn:
        return record.program + QLatin1Char(' ') + record.programVersion;
    case ActionColumn:
        if (record.reverses > 0)
            return tr("%1 (record %2)")
                .arg(AuditTrail::actionText(record.action))
                .arg(record.reverses);
        return AuditTrail::actionText(record.action);
    case KindColumn:
        return AuditTrail::kindText(record.objectKind);
    case ObjectColumn:
        if (record.objectKind == AuditTrail::Kind::Rights) {
            const int users = record.users.size();
            const int entries = record.entries.size();
            const QString cells =
                users == 1 && entries == 1
                    ? tr("%1 at %2").arg(record.users.first(), record.entries.first())
                    : (users == 1 ? tr("1 user") : tr("%1 users").arg(users)) +
                          QStringLiteral(" \u00d7 ") +
                          (entries == 1 ? tr("1 entry") : tr("%1 entries").arg(entries));
            return record.objectName.isEmpty() ? cells
                                               : record.objectName + QStringLiteral(": ") + cells;
        }
        return record.objectName;
    case BeforeColumn:
        return record.valuesBefore;
    case AfterColumn:
        return record.valuesAfter;
    default:
        return QString();
    }
}

QString AuditTrailModel::headerText(int column)
{
    static const char *const headers[ColumnCount] = {
        QT_TRANSLATE_NOOP("AuditTrailModel", "Time"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Operator"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Program"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Action"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Kind"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Object"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "Before"),
        QT_TRANSLATE_NOOP("AuditTrailModel", "After")};
    if (column < 0 || column >= ColumnCount)
        return QString();
    return QCoreApplication::translate("AuditTrailModel", headers[column]);
}

int AuditTrailModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_records.size();
}

int AuditTrailModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AuditTrailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size() || index.column() >= ColumnCount)
        return QVariant();
    const AuditRecord &record = m_records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(record, index.column());
    case Qt::ToolTipRole:
        if (index.column() == TimeColumn)
            return record.recordedAt.toUTC().toString(Qt::ISODateWithMs);
        return index.column() >= ObjectColumn ? cellText(record, index.column()) : QVariant();
    case SequenceRole:
        return record.sequence;
    default:
        return QVariant();
    }
}

QVariant AuditTrailModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section;
    return headerText(section);
}

bool AuditTrailModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more;
}

void AuditTrailModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !m_more || m_records.isEmpty())
        return;
    QList<AuditRecord> page;
    bool more = false;
    m_error = AuditHistory::readPage(m_databasePath, m_filter, m_records.last().sequence, PageSize,
                                     ValueLength, page, &more);
    if (m_error.isValid()) {
        // Said through lastError(); the rows read so far stay.
        m_more = false;
        return;
    }
    m_more = more;
    if (page.isEmpty())
        return;
    beginInsertRows(QModelIndex(), m_records.size(), m_records.size() + page.size() - 1);
    m_records += page;
    endInsertRows();
}
