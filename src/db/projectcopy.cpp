#include "db/projectcopy.h"

#include "core/projectfolder.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "db/serverschema.h"
#include "db/serversetup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>

namespace {

using Outcome = ProjectCopy::Outcome;

ProjectCopy::Result ended(Outcome outcome, const QString &message)
{
    ProjectCopy::Result result;
    result.outcome = outcome;
    result.message = message;
    return result;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Names from the catalogs go into statement texts: only plain ones do.
bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return plain.match(name).hasMatch();
}

// The project's tables in lower case, in the order copying follows: the
// known ones as the schema lists them, then any other by name.
bool tablesOf(QSqlQuery &query, QStringList *tables, QString *error)
{
    const bool server = ProjectDatabase::isServer(query);
    if (!query.exec(server ? QStringLiteral("select tablename from pg_tables where "
                                            "schemaname=current_schema()")
                           : QStringLiteral("select name from sqlite_master where type='table' "
                                            "and name not like 'sqlite\\_%' escape '\\'")))
        return fail(error, query.lastError().text());
    QStringList found;
    while (query.next())
        found << query.value(0).toString().toLower();
    if (query.lastError().isValid())
        return fail(error, query.lastError().text());
    std::sort(found.begin(), found.end());
    tables->clear();
    for (const QString &table : ServerSchema::tables()) {
        if (found.removeAll(table) > 0)
            tables->append(table);
    }
    *tables += found;
    for (const QString &table : qAsConst(*tables)) {
        if (!isPlainName(table))
            return fail(error,
                        ProjectCopy::tr("The table \"%1\" is none of a project.").arg(table));
    }
    return true;
}

bool columnsOf(QSqlQuery &query, const QString &table, QStringList *columns, QString *error)
{
    if (!query.exec(QStringLiteral("select * from %1 where 1=0").arg(table)))
        return fail(error, query.lastError().text());
    const QSqlRecord record = query.record();
    columns->clear();
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i).toLower();
        if (!isPlainName(name))
            return fail(error, ProjectCopy::tr("The column \"%1\" of the table %2 is none of a "
                                               "project.")
                                   .arg(name, table));
        columns->append(name);
    }
    query.finish();
    return !columns->isEmpty() ||
           fail(error, ProjectCopy::tr("The table %1 has no columns.").arg(table));
}

// One value as both kinds render it: NULL apart from any text, integers as
// decimals whichever width the driver reports, every text as its UTF-8.
void render(QByteArray &row, const QVariant &value)
{
    if (value.isNull()) {
        row += 'N';
        return;
    }
    QByteArray text;
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float:
        text = QByteArray::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QByteArray:
        text = value.toByteArray().toHex();
        break;
    default:
        text = value.toString().toUtf8();
        break;
    }
    row += 'V' + QByteArray::number(text.size()) + ':' + text;
}

// Hashes rows in key order; rows that share a key (a table without one)
// are taken in the order of their bytes, which no collation changes.
class TableHasher
{
public:
    void add(const QByteArray &key, const QByteArray &row)
    {
        if (key != m_key)
            flush();
        m_key = key;
        m_group << row;
        ++m_rows;
    }
    ProjectCopy::TableSum finish(const QString &table)
    {
        flush();
        return {table, m_rows, m_hash.result().toHex()};
    }

private:
    void flush()
    {
        std::sort(m_group.begin(), m_group.end());
        for (const QByteArray &row : qAsConst(m_group)) {
            m_hash.addData(QByteArray::number(row.size()) + ':');
            m_hash.addData(row);
        }
        m_group.clear();
    }
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QByteArray m_key;
    QList<QByteArray> m_group;
    qint64 m_rows = 0;
};

QString selectAll(const QString &table, const QStringList &columns)
{
    return QStringLiteral("select %1 from %2 order by %3 nulls first")
        .arg(columns.join(QLatin1Char(',')), table, columns.first());
}

// Reads every row of the table; each one goes to the hasher and, when
// given, to `sink`, which returns false to stop.
template<typename Sink>
bool readTable(QSqlQuery &query, const QString &table, const QStringList &columns,
               ProjectCopy::TableSum *sum, QString *error, Sink &&sink)
{
    query.setForwardOnly(true);
    if (!query.exec(selectAll(table, columns)))
        return fail(error, query.lastError().text());
    TableHasher hasher;
    QVariantList values;
    while (query.next()) {
        QByteArray row;
        QByteArray key;
        values.clear();
        for (int i = 0; i < columns.size(); ++i) {
            values << query.value(i);
            render(row, values.last());
            if (i == 0)
                key = row;
        }
        hasher.add(key, row);
        if (!sink(values))
            return false;
    }
    if (query.lastError().isValid())
        return fail(error, query.lastError().text());
    query.finish();
    *sum = hasher.finish(table);
    return true;
}

// Inserts rows into one table, many to a statement.
class InsertBatch
{
public:
    static constexpr int Rows = 100;

    InsertBatch(ProjectDatabase &db, const QString &table, const QStringList &columns)
        : m_db(db), m_table(table), m_columns(columns), m_full(db.query()), m_rest(db.query())
    {
    }
    bool add(const QVariantList &values)
    {
        m_values += values;
        return m_values.size() < Rows * m_columns.size() || flush();
    }
    // Writes the rows waiting; false with error() on failure.
    bool flush()
    {
        const int rows = m_values.size() / m_columns.size();
        if (rows == 0)
            return true;
        QSqlQuery &insert = rows == Rows ? m_full : m_rest;
        if (rows != m_prepared.value(&insert)) {
            QStringList row;
            for (int i = 0; i < m_columns.size(); ++i)
                row << QStringLiteral("?");
            const QString tuple = QLatin1Char('(') + row.join(QLatin1Char(',')) + QLatin1Char(')');
            QStringList tuples;
            for (int i = 0; i < rows; ++i)
                tuples << tuple;
            insert = m_db.query();
            if (!insert.prepare(QStringLiteral("insert into %1 (%2) values %3")
                                    .arg(m_table, m_columns.join(QLatin1Char(',')),
                                         tuples.join(QLatin1Char(','))))) {
                m_error = insert.lastError().text();
                return false;
            }
            m_prepared.insert(&insert, rows);
        }
        for (int i = 0; i < m_values.size(); ++i)
            insert.bindValue(i, m_values.at(i));
        m_values.clear();
        if (insert.exec())
            return true;
        m_error = insert.lastError().text();
        return false;
    }
    QString error() const { return m_error; }

private:
    ProjectDatabase &m_db;
    QString m_table;
    QStringList m_columns;
    QVariantList m_values;
    QSqlQuery m_full;
    QSqlQuery m_rest;
    QHash<const QSqlQuery *, int> m_prepared; // rows each statement was prepared for
    QString m_error;
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

bool ProjectCopy::summarise(QSqlQuery &query, QList<TableSum> *sums, QString *error)
{
    QStringList tables;
    if (!tablesOf(query, &tables, error))
        return false;
    sums->clear();
    for (const QString &table : qAsConst(tables)) {
        QStringList columns;
        TableSum sum;
        if (!columnsOf(query, table, &columns, error) ||
            !readTable(query, table, columns, &sum, error,
                       [](const QVariantList &) { return true; }))
            return false;
        sums->append(sum);
    }
    return true;
}

ProjectCopy::Result ProjectCopy::copyRows(QSqlQuery &source, const QString &targetDatabasePath)
{
    QString error;
    QStringList tables;
    if (!tablesOf(source, &tables, &error))
        return ended(Outcome::Failed, tr("The project cannot be read: %1").arg(error));
    ProjectDatabase target(targetDatabasePath, ProjectDatabase::Access::Raw);
    if (!target.open() || !target.transaction())
        return ended(Outcome::Failed, target.lastError().text());
    Result result;
    const auto abandon = [&](const QString &message) {
        target.rollback();
        result.outcome = Outcome::Failed;
        result.message = message;
        return result;
    };
    {
        QSqlQuery query = target.query();
        QStringList targetTables;
        if (!tablesOf(query, &targetTables, &error))
            return abandon(error);
        if (targetTables != tables)
            return abandon(tr("The target's tables (%1) are not the project's (%2).")
                               .arg(targetTables.join(QStringLiteral(", ")),
                                    tables.join(QStringLiteral(", "))));
        for (const QString &table : qAsConst(tables)) {
            QStringList columns;
            QStringList targetColumns;
            if (!columnsOf(source, table, &columns, &error) ||
                !columnsOf(query, table, &targetColumns, &error))
                return abandon(error);
            std::sort(targetColumns.begin(), targetColumns.end());
            QStringList sorted = columns;
            std::sort(sorted.begin(), sorted.end());
            if (sorted != targetColumns)
                return abandon(tr("The target's table %1 has other columns.").arg(table));
            // The rows a new project starts with give way to the source's.
            if (!query.exec(QStringLiteral("select count(*) from %1").arg(table)) || !query.next())
                return abandon(query.lastError().text());
            const bool filled = query.value(0).toLongLong() > 0;
            query.finish();
            if (filled && !query.exec(QStringLiteral("delete from %1").arg(table)))
                return abandon(tr("Table %1: %2").arg(table, query.lastError().text()));
            // Rows go in batches: one round trip to a server per batch.
            InsertBatch batch(target, table, columns);
            TableSum sum;
            const bool read =
                readTable(source, table, columns, &sum, &error,
                          [&batch](const QVariantList &values) { return batch.add(values); }) &&
                batch.flush();
            if (!read)
                return abandon(
                    tr("Table %1: %2").arg(table, batch.error().isEmpty() ? error : batch.error()));
            result.source << sum;
            // Keys the server hands out continue past the largest copied.
            if (target.isServer() &&
                !ProjectDatabase::exec(
                    query,
                    QStringLiteral("select setval(pg_get_serial_sequence(?, ?), max(%2)) from %1")
                        .arg(table, columns.first()),
                    {table, columns.first()}))
                return abandon(tr("Table %1: %2").arg(table, query.lastError().text()));
            query.finish();
        }
        if (!summarise(query, &result.copied, &error))
            return abandon(tr("The copy cannot be read back: %1").arg(error));
        for (int i = 0; i < result.source.size(); ++i) {
            if (i >= result.copied.size() || !(result.source.at(i) == result.copied.at(i)))
                return abandon(tr("The copy of table %1 differs from the project; nothing was "
                                  "copied.")
                                   .arg(result.source.at(i).table));
        }
    }
    if (!target.commit())
        return abandon(target.lastError().text());
    result.outcome = Outcome::Copied;
    return result;
}

ProjectCopy::Result ProjectCopy::toFolder(QSqlQuery &source, int version, const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink())
        return ended(Outcome::Refused,
                     tr("%1 already exists; copy into a new folder.").arg(native(folder)));
    if (!ProjectFolder::createFolders(folder))
        return ended(Outcome::Failed, tr("Cannot create project path\n\n%1").arg(native(folder)));
    const QString database = ProjectDatabase::databasePathForProject(folder);
    const QSqlError created =
        ProjectSchema::createProjectDatabase(database, QStringLiteral("utf8"), version);
    Result result =
        created.isValid() ? ended(Outcome::Failed, created.text()) : copyRows(source, database);
    if (result.outcome == Outcome::Copied)
        result.target = folder;
    else
        QDir(folder).removeRecursively();
    return result;
}

ProjectCopy::Result ProjectCopy::toServer(QSqlQuery &source, int version,
                                          const ServerConnection &connection,
                                          const QString &projectFolder)
{
    QTemporaryDir scratch;
    QString folder = projectFolder;
    QString error;
    if (folder.isEmpty()) {
        if (!scratch.isValid())
            return ended(Outcome::Failed, scratch.errorString());
        folder = scratch.path() + QStringLiteral("/copy");
    }
    if (!ServerSetup::writeProjectFolder(folder, connection, &error))
        return ended(QFileInfo::exists(folder) ? Outcome::Refused : Outcome::Failed, error);
    const QString file = ServerConnection::filePathForProject(folder);
    bool empty = false;
    Result result;
    if (!ServerSetup::isEmpty(file, &empty, &error))
        result = ended(Outcome::Failed, error);
    else if (!empty)
        result = ended(Outcome::Refused,
                       tr("The database %1 is not empty; a project is copied only into an "
                          "empty database.")
                           .arg(connection.describe()));
    else if (!ServerSetup::init(file, &error, version))
        result = ended(Outcome::Failed, error);
    else {
        result = copyRows(source, file);
        if (result.outcome != Outcome::Copied)
            ServerSetup::remove(file, &error);
    }
    if (result.outcome == Outcome::Copied && !projectFolder.isEmpty())
        result.target = projectFolder;
    else if (result.outcome != Outcome::Copied)
        QDir(folder).removeRecursively();
    return result;
}

ProjectCopy::Result ProjectCopy::copyProject(const QString &sourceFolder, Kind kind,
                                             const QString &targetFolder,
                                             const ServerConnection &connection)
{
    const SchemaVersion::Probe probe = SchemaVersion::probeFolder(sourceFolder);
    switch (probe.state) {
    case SchemaVersion::State::Current:
        break;
    case SchemaVersion::State::Older:
        return ended(Outcome::Refused,
                     SchemaVersion::message(probe) +
                         tr("\nUpgrade it first with\n  kelvara-cli upgrade --project '%1'")
                             .arg(native(sourceFolder)));
    case SchemaVersion::State::NotProject:
        return ended(Outcome::Refused,
                     tr("'%1' is not a project folder.").arg(native(sourceFolder)));
    case SchemaVersion::State::Busy:
    case SchemaVersion::State::Unreadable:
        return ended(Outcome::Failed, SchemaVersion::message(probe));
    case SchemaVersion::State::Newer:
    case SchemaVersion::State::Invalid:
        return ended(Outcome::Refused, SchemaVersion::message(probe));
    }
    ProjectDatabase db(ProjectDatabase::databasePathForProject(sourceFolder));
    if (!db.open() || !db.transaction())
        return ended(Outcome::Failed, db.lastError().text());
    QSqlQuery query = db.query();
    // One snapshot for the whole copy, whatever other workstations commit.
    if (db.isServer() &&
        !query.exec(QStringLiteral("set transaction isolation level repeatable read, read only"))) {
        const QString why = query.lastError().text();
        db.rollback();
        return ended(Outcome::Failed, why);
    }
    Result result = kind == Kind::Folder ? toFolder(query, probe.version, targetFolder)
                                         : toServer(query, probe.version, connection, targetFolder);
    query.finish();
    db.rollback();
    return result;
}
