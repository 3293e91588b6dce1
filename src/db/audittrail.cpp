#include "db/audittrail.h"

#include "db/programversion.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"
#include "db/serverschema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSysInfo>

#include <atomic>

#include <pwd.h>
#include <unistd.h>

namespace AuditTrail {

namespace {

std::atomic<bool> g_enabled{true};
thread_local int t_batches = 0;

std::function<QDateTime()> &testClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QDateTime now()
{
    const std::function<QDateTime()> &clock = testClock();
    return (clock ? clock() : QDateTime::currentDateTimeUtc()).toUTC();
}

QString tr(const char *text)
{
    return QCoreApplication::translate("AuditTrail", text);
}

// Names hold no line breaks (the record checks refuse them); one from an
// older project would split a name in two.
QString oneLine(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return name;
}

void addField(QCryptographicHash &hash, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    hash.addData(QByteArray::number(bytes.size()));
    hash.addData(":", 1);
    hash.addData(bytes);
}

bool append(QSqlQuery &query, AuditRecord record, qint64 *sequence)
{
    // The last record names the place and the hash the new one chains on.
    // On a server another workstation may append meanwhile: the lock holds
    // it off until this transaction ends (a folder project's file has one
    // writer at a time).
    query.setForwardOnly(true);
    if (ProjectDatabase::isServer(query) && !ServerSchema::lockAuditTrail(query))
        return false;
    if (!query.exec(QStringLiteral("select seq,hash from auditTrail order by seq desc limit 1")))
        return false;
    bool found = false;
    if (!RecordStatement::fetchOne(query, found))
        return false;
    record.sequence = found ? query.value(0).toLongLong() + 1 : 1;
    const QString previous = found ? query.value(1).toString() : QString();
    query.finish();
    record.recordedAt = now();
    record.operatorName = folderOperator();
    record.program = QCoreApplication::applicationName();
    record.programVersion = QStringLiteral(KX_PROGRAM_VERSION);
    record.hash = hashOf(storedFields(record), previous);
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral(
                "insert into auditTrail (seq,recordedAt,operatorName,program,"
                "programVersion,action,objectKind,objectName,valuesBefore,valuesAfter,"
                "reverses,userNames,entryNames,hash) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {record.sequence, record.recordedAt.toString(Qt::ISODateWithMs), record.operatorName,
             record.program, record.programVersion, record.action, record.objectKind,
             RecordStatement::text(record.objectName),
             RecordStatement::textOrNull(record.valuesBefore),
             RecordStatement::textOrNull(record.valuesAfter),
             record.reverses > 0 ? QVariant(record.reverses) : QVariant(),
             RecordStatement::textOrNull(storedNames(record.users)),
             RecordStatement::textOrNull(storedNames(record.entries)), record.hash}))
        return false;
    if (sequence)
        *sequence = record.sequence;
    return true;
}

} // namespace

QStringList kinds()
{
    return {Kind::User,      Kind::Entry,    Kind::Group,  Kind::Area,
            Kind::TimeModel, Kind::Holiday,  Kind::Rights, Kind::Settings,
            Kind::UserList,  Kind::Function, Kind::Project};
}

QString kindText(const QString &kind)
{
    static const QHash<QString, const char *> texts = {
        {Kind::User, QT_TRANSLATE_NOOP("AuditTrail", "User")},
        {Kind::Entry, QT_TRANSLATE_NOOP("AuditTrail", "Entry")},
        {Kind::Group, QT_TRANSLATE_NOOP("AuditTrail", "Group")},
        {Kind::Area, QT_TRANSLATE_NOOP("AuditTrail", "Area")},
        {Kind::TimeModel, QT_TRANSLATE_NOOP("AuditTrail", "Time model")},
        {Kind::Holiday, QT_TRANSLATE_NOOP("AuditTrail", "Holiday")},
        {Kind::Rights, QT_TRANSLATE_NOOP("AuditTrail", "Access rights")},
        {Kind::Settings, QT_TRANSLATE_NOOP("AuditTrail", "Project settings")},
        {Kind::UserList, QT_TRANSLATE_NOOP("AuditTrail", "User list")},
        {Kind::Function, QT_TRANSLATE_NOOP("AuditTrail", "Reader function")},
        {Kind::Project, QT_TRANSLATE_NOOP("AuditTrail", "Project")},
    };
    const char *text = texts.value(kind);
    return text ? tr(text) : kind;
}

QString actionText(const QString &action)
{
    static const QHash<QString, const char *> texts = {
        {Action::Add, QT_TRANSLATE_NOOP("AuditTrail", "added")},
        {Action::Change, QT_TRANSLATE_NOOP("AuditTrail", "changed")},
        {Action::Remove, QT_TRANSLATE_NOOP("AuditTrail", "removed")},
        {Action::Rename, QT_TRANSLATE_NOOP("AuditTrail", "renamed")},
        {Action::Set, QT_TRANSLATE_NOOP("AuditTrail", "set")},
        {Action::Undo, QT_TRANSLATE_NOOP("AuditTrail", "undone")},
        {Action::Redo, QT_TRANSLATE_NOOP("AuditTrail", "redone")},
        {Action::Import, QT_TRANSLATE_NOOP("AuditTrail", "imported")},
        {Action::Sync, QT_TRANSLATE_NOOP("AuditTrail", "synchronised")},
        {Action::Run, QT_TRANSLATE_NOOP("AuditTrail", "run")},
        {Action::Fill, QT_TRANSLATE_NOOP("AuditTrail", "filled")},
    };
    const char *text = texts.value(action);
    return text ? tr(text) : action;
}

QStringList guardTriggers(bool server)
{
    if (server)
        return {ServerSchema::AuditGuardTrigger};
    return {QStringLiteral("auditTrail_no_update"), QStringLiteral("auditTrail_no_delete")};
}

bool isRecording()
{
    return g_enabled.load() && t_batches == 0;
}

void setRecordingForBenchmark(bool on)
{
    g_enabled.store(on);
}

void setClockForTest(const std::function<QDateTime()> &clock)
{
    testClock() = clock;
}

bool record(QSqlQuery &query, AuditRecord record, qint64 *sequence)
{
    if (sequence)
        *sequence = 0;
    if (!isRecording())
        return true;
    return append(query, std::move(record), sequence);
}

Batch::Batch()
{
    ++t_batches;
}

Batch::~Batch()
{
    --t_batches;
}

bool Batch::record(QSqlQuery &query, const AuditRecord &record, qint64 *sequence)
{
    if (sequence)
        *sequence = 0;
    if (!g_enabled.load())
        return true;
    return append(query, record, sequence);
}

QSqlError recordRun(const QString &databasePath, const QString &function,
                    const QList<RunOutcome> &outcomes)
{
    if (outcomes.isEmpty() || !isRecording())
        return QSqlError();
    return RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &query) {
        QHash<int, QString> names;
        if (!query.exec(QStringLiteral("select PKdoors,areaName,doorName from doors")))
            return query.lastError();
        while (query.next())
            names.insert(query.value(0).toInt(),
                         entryName(query.value(1).toString(), query.value(2).toString()));
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        query.finish();
        AuditRecord record;
        record.action = Action::Run;
        record.objectKind = Kind::Function;
        record.objectName = function;
        QJsonObject entries;
        for (const RunOutcome &outcome : outcomes) {
            const QString name = names.value(outcome.pkDoors, oneLine(outcome.doorName));
            record.entries << name;
            entries.insert(name, outcome.outcome);
        }
        record.valuesAfter = json({{QStringLiteral("entries"), entries}});
        return RecordStatement::outcome(AuditTrail::record(query, record), query);
    });
}

QString folderOperator()
{
    static const QString name = []() -> QString {
        QString account;
        if (const passwd *entry = ::getpwuid(::geteuid()))
            account = QString::fromLocal8Bit(entry->pw_name);
        if (account.isEmpty())
            account = qEnvironmentVariable("USER");
        if (account.isEmpty())
            account = QString::number(::geteuid());
        return account + QLatin1Char('@') + QSysInfo::machineHostName();
    }();
    return name;
}

QString userName(const QString &familyName, const QString &firstName)
{
    return oneLine(familyName + QStringLiteral(", ") + firstName);
}

QString entryName(const QString &areaName, const QString &doorName)
{
    return oneLine(areaName + QLatin1Char('/') + doorName);
}

bool recordObject(QSqlQuery &query, AuditRecord record, QJsonObject before, QJsonObject after,
                  const QJsonObject &removed)
{
    if (!before.isEmpty() && !after.isEmpty()) {
        keepDifferences(before, after);
        if (before.isEmpty() && after.isEmpty())
            return true;
    }
    for (auto it = removed.begin(); it != removed.end(); ++it)
        before.insert(it.key(), it.value());
    record.valuesBefore = json(before);
    record.valuesAfter = json(after);
    return AuditTrail::record(query, std::move(record));
}

bool readNames(QSqlQuery &query, const QString &statement, const QVariantList &values, Names kind,
               QStringList &names)
{
    if (!ProjectDatabase::exec(query, statement, values))
        return false;
    while (query.next()) {
        const QString first = query.value(0).toString();
        const QString second = query.value(1).toString();
        names << (kind == Names::Users ? userName(first, second) : entryName(first, second));
    }
    if (!RecordStatement::rowsEnded(query))
        return false;
    query.finish();
    return true;
}

QString json(const QJsonObject &object)
{
    if (object.isEmpty())
        return QString();
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void keepDifferences(QJsonObject &before, QJsonObject &after)
{
    const QStringList keys = before.keys();
    for (const QString &key : keys) {
        if (after.contains(key) && after.value(key) == before.value(key)) {
            before.remove(key);
            after.remove(key);
        }
    }
}

void appendJsonString(QByteArray &out, const QString &text)
{
    // By hand: records of thousands of names are written in one go.
    static const char hex[] = "0123456789abcdef";
    const QByteArray bytes = text.toUtf8();
    out.reserve(out.size() + bytes.size() + 2);
    out += '"';
    for (const char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += "\\u00";
            out += hex[uchar(c) >> 4];
            out += hex[uchar(c) & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

QByteArray jsonString(const QString &text)
{
    QByteArray out;
    appendJsonString(out, text);
    return out;
}

QStringList storedFields(const AuditRecord &record)
{
    return {QString::number(record.sequence),
            record.recordedAt.toUTC().toString(Qt::ISODateWithMs),
            record.operatorName,
            record.program,
            record.programVersion,
            record.action,
            record.objectKind,
            record.objectName,
            record.valuesBefore,
            record.valuesAfter,
            record.reverses > 0 ? QString::number(record.reverses) : QString(),
            storedNames(record.users),
            storedNames(record.entries)};
}

QString hashOf(const QStringList &fields, const QString &previousHash)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &field : fields)
        addField(hash, field);
    addField(hash, previousHash);
    return QString::fromLatin1(hash.result().toHex());
}

QString storedNames(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    QString text = QStringLiteral("\n");
    for (const QString &name : names)
        text += oneLine(name) + QLatin1Char('\n');
    return text;
}

QStringList namesOf(const QString &stored)
{
    QStringList names = stored.split(QLatin1Char('\n'));
    if (!names.isEmpty() && names.first().isEmpty())
        names.removeFirst();
    if (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

} // namespace AuditTrail
