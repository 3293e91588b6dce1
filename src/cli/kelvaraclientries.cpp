// kelvara-cli entries: the entries one by one, with their readers.
#include "cli/kelvaracli.h"

#include "core/errortext.h"
#include "db/entryrecords.h"
#include "reader/readerconfiguration.h"
#include "reader/readertypes.h"

#include <QHostAddress>

namespace {

const QList<int> ConfigurableTypes = {ReaderTypes::TZ60, ReaderTypes::TZU700, ReaderTypes::TZU300};

QList<CliTable::Column> entryColumns()
{
    // The text list keeps the columns "entries" always printed.
    return {{QStringLiteral("area"), KelvaraCli::tr("Area")},
            {QStringLiteral("name"), KelvaraCli::tr("Entry")},
            {QStringLiteral("comment"), KelvaraCli::tr("Comment"), QString(), false},
            {QStringLiteral("connection"), KelvaraCli::tr("Connection")},
            {QStringLiteral("host"), KelvaraCli::tr("Host"), QString(), false},
            {QStringLiteral("port"), KelvaraCli::tr("Port"), QString(), false},
            {QStringLiteral("readerType"), KelvaraCli::tr("Reader type")},
            {QStringLiteral("deviceId"), KelvaraCli::tr("Device ID")},
            {QStringLiteral("mac"), KelvaraCli::tr("MAC address"), QString(), false},
            {QStringLiteral("settings"), KelvaraCli::tr("Reader settings"), QString(), false},
            {QStringLiteral("needsUpdate"), KelvaraCli::tr("Needs update")}};
}

// How the entry reaches its reader, in the words --connection takes.
QString connectionKind(const EntryRow &entry)
{
    if (entry.port & EntryRecords::FlashDrivePortBit)
        return QStringLiteral("flash-drive");
    return entry.ipAddr.isEmpty() ? QStringLiteral("usb") : QStringLiteral("tcp");
}

QVariantList entryValues(const EntryRow &entry, bool needsUpdate, CliTable::Format format)
{
    const int port = entry.port & 0xFFFF;
    return {entry.areaName,
            entry.doorName,
            entry.commentDoor,
            format == CliTable::Text
                ? QVariant(connectionText(entry.readerSerNo, entry.ipAddr, entry.port))
                : QVariant(connectionKind(entry)),
            entry.ipAddr,
            port == 0 ? QVariant(QString()) : QVariant(port),
            format == CliTable::Text ? QVariant(ReaderTypes::readerTypeName(entry.readerType))
                                     : QVariant(entry.readerType),
            entry.readerSerNo,
            entry.readerMacAddr,
            entry.readerConfig,
            needsUpdate};
}

// "TZ60", "ID TZ60", "100" or "none".
int readerTypeOf(const QString &text)
{
    if (text == QLatin1String("none"))
        return 0;
    bool number = false;
    const int code = text.toInt(&number);
    if (number)
        return ConfigurableTypes.contains(code) ? code : -1;
    for (const int type : ConfigurableTypes) {
        const QString name = ReaderTypes::readerTypeName(type);
        if (text.compare(name, Qt::CaseInsensitive) == 0 ||
            text.compare(name.section(QLatin1Char(' '), 1), Qt::CaseInsensitive) == 0)
            return type;
    }
    return -1;
}

// The keys the window's settings forms write for each reader type.
QStringList settingKeys(int type)
{
    if (type == ReaderTypes::TZ60)
        return {QStringLiteral("ReaderType"), QStringLiteral("HasPqio"),
                QStringLiteral("ValidTime"), QStringLiteral("Out1.HoldTime")};
    QStringList keys = {
        QStringLiteral("ReaderType"),       QStringLiteral("ValidTime"),
        QStringLiteral("AntiPassBack"),     QStringLiteral("AntennaCount"),
        QStringLiteral("Antenna1.RfPower"), QStringLiteral("Antenna2.RfPower"),
        QStringLiteral("Out1.HoldTime"),    QStringLiteral("Out2.HoldTime"),
        QStringLiteral("Trigger.Enable"),   QStringLiteral("Trigger.Edge"),
        QStringLiteral("Trigger.HoldTime"), QStringLiteral("Trigger.InputToAntenna")};
    if (type == ReaderTypes::TZU300)
        keys << QStringLiteral("AntennaSignal") << QStringLiteral("Led.Idle.Color")
             << QStringLiteral("Led.Valid.Color") << QStringLiteral("Led.Valid.Mode")
             << QStringLiteral("Led.Inval.Color") << QStringLiteral("Led.Inval.Mode");
    return keys;
}

// Why the reader settings text does not fit the reader type: a part that is
// no KEY=VALUE, a key the type does not know, a value the reader would not
// take. Empty when it fits.
QString settingsProblem(int type, const QString &text)
{
    if (text.isEmpty())
        return QString();
    if (!ConfigurableTypes.contains(type))
        return KelvaraCli::tr("--settings: an entry without an access reader type has no reader "
                              "settings.");
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QList<ReaderConfiguration::Setting> settings = ReaderConfiguration::parseSettings(text);
    const QStringList keys = settingKeys(type);
    for (const QString &part : parts) {
        if (part.count(QLatin1Char('=')) != 1)
            return KelvaraCli::tr("--settings: '%1' is not KEY=VALUE.").arg(part);
    }
    for (const ReaderConfiguration::Setting &setting : settings) {
        if (!keys.contains(setting.first))
            return KelvaraCli::tr("--settings: %1 readers know no setting '%2'; they know %3.")
                .arg(ReaderTypes::readerTypeName(type), setting.first,
                     keys.join(QStringLiteral(", ")));
        if (setting.first == QLatin1String("ReaderType") && setting.second != QString::number(type))
            return KelvaraCli::tr("--settings: ReaderType=%1 is not the entry's type %2.")
                .arg(setting.second)
                .arg(type);
    }
    ReaderConfiguration configuration;
    if (type == ReaderTypes::TZ60)
        configuration.applyTz60Access(text, false);
    else
        configuration.applyLongRangeSettings(text, type == ReaderTypes::TZU300);
    if (!configuration.skipped().isEmpty())
        return KelvaraCli::tr("--settings: the reader takes no %1=%2.")
            .arg(configuration.skipped().first().first, configuration.skipped().first().second);
    return QString();
}

} // namespace

int KelvaraCli::entries(QStringList arguments)
{
    // Without a subcommand: the list as it always was.
    const bool bare = arguments.isEmpty() || arguments.first().startsWith(QLatin1String("--"));
    const QString command = bare ? QStringLiteral("list") : arguments.takeFirst();
    if (!recordCommands().contains(command))
        return usageError(tr("entries takes a subcommand: list, show, add, change or remove."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    CliTable::Format format = CliTable::Text;
    QString name;
    EntryRow entry;
    if (command == QLatin1String("list") || command == QLatin1String("show")) {
        QString area;
        bool hasArea = false;
        if (!takeFormat(arguments, format, exitCode) ||
            (command == QLatin1String("list") &&
             !takeOption(arguments, QStringLiteral("--area"), area, hasArea, exitCode)) ||
            (command == QLatin1String("show") &&
             (!takeName(arguments, tr("entry"), name, exitCode) ||
              !findEntry(name, entry, exitCode))) ||
            !noneLeft(arguments, exitCode))
            return exitCode;
        QList<EntryBoardRow> order;
        QList<EntryRow> rows;
        QSqlError error = EntryRecords::listEntriesForBoard(m_project.databasePath, order);
        if (!error.isValid())
            error = EntryRecords::listEntries(m_project.databasePath, EntryRecords::SortByName,
                                              true, rows);
        if (error.isValid())
            return databaseFailure(error);
        QHash<int, EntryRow> byKey;
        for (const EntryRow &row : qAsConst(rows))
            byKey.insert(row.pkDoors, row);
        CliTable table(QStringLiteral("entries"), QStringLiteral("entry"), entryColumns());
        for (const EntryBoardRow &row : qAsConst(order)) {
            if ((hasArea && row.areaName != area) ||
                (command == QLatin1String("show") && row.pkDoors != entry.pkDoors))
                continue;
            table.addRow(entryValues(byKey.value(row.pkDoors), row.needsUpdate, format));
        }
        if (command == QLatin1String("show"))
            return printRecord(table, format);
        const int listed = printList(table, format);
        return bare ? Success : listed;
    }

    const bool adding = command == QLatin1String("add");
    if (!adding &&
        (!takeName(arguments, tr("entry"), name, exitCode) || !findEntry(name, entry, exitCode)))
        return exitCode;
    if (command == QLatin1String("remove")) {
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        const QSqlError error = EntryRecords::removeEntry(m_project.databasePath, entry.pkDoors);
        if (error.isValid())
            return saveFailure(error);
        return done(tr("Entry '%1' removed.").arg(entry.doorName));
    }

    const int key = adding ? -1 : entry.pkDoors;
    QString values[7];
    bool given[7] = {};
    const char *options[7] = {"--area", "--name",      "--comment", "--connection",
                              "--type", "--device-id", "--mac"};
    for (int i = 0; i < 7; ++i) {
        if (!takeOption(arguments, QLatin1String(options[i]), values[i], given[i], exitCode))
            return exitCode;
    }
    QString settings;
    bool hasSettings = false;
    if (!takeOption(arguments, QStringLiteral("--settings"), settings, hasSettings, exitCode) ||
        !noneLeft(arguments, exitCode))
        return exitCode;
    if (given[0])
        entry.areaName = values[0].trimmed();
    if (given[1])
        entry.doorName = values[1].trimmed();
    if (given[2])
        entry.commentDoor = values[2];
    if (given[3]) {
        const QString &text = values[3];
        if (text == QLatin1String("usb") || text == QLatin1String("flash-drive")) {
            entry.ipAddr.clear();
            entry.port = text == QLatin1String("usb") ? 0 : EntryRecords::FlashDrivePortBit;
        } else {
            // tcp:HOST:PORT; an IPv6 host in brackets.
            const int colon = text.lastIndexOf(QLatin1Char(':'));
            QString host = text.mid(4, colon - 4);
            if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
                host = host.mid(1, host.size() - 2);
            bool ok = false;
            const int port = text.mid(colon + 1).toInt(&ok);
            if (!text.startsWith(QLatin1String("tcp:")) || colon < 4 || !ok || port < 1 ||
                port > 0xFFFF || QHostAddress(host).isNull())
                return refused(tr("--connection takes tcp:ADDRESS:PORT, usb or flash-drive; "
                                  "'%1' is none.")
                                   .arg(text));
            entry.ipAddr = QHostAddress(host).toString();
            entry.port = port;
        }
    }
    if (given[4]) {
        const int type = readerTypeOf(values[4]);
        if (type < 0)
            return refused(
                tr("--type takes TZ60, TZU700, TZU300 or none; '%1' is none.").arg(values[4]));
        // Settings belong to their reader type.
        if (type != entry.readerType && !hasSettings)
            entry.readerConfig.clear();
        entry.readerType = type;
    }
    if (given[5])
        entry.readerSerNo = values[5].trimmed().toUpper();
    if (given[6]) {
        const QString mac = values[6].trimmed();
        const QString normalised = EntryRecords::normalisedMac(mac);
        entry.readerMacAddr = normalised.isEmpty() ? mac : normalised;
    }
    if (hasSettings) {
        const QString problem = settingsProblem(entry.readerType, settings);
        if (!problem.isEmpty())
            return refused(problem);
        entry.readerConfig = settings;
    }
    const RecordProblem problem = EntryRecords::problem(entry);
    if (!problem.isEmpty())
        return refused(problem.text.section(QLatin1Char('\n'), 0, 0));
    int saved = key;
    const QSqlError error = EntryRecords::saveEntry(m_project.databasePath, entry, &saved);
    if (error.isValid()) {
        entry.pkDoors = saved;
        return saveFailure(error, EntryRecords::conflicts(m_project.databasePath, entry));
    }
    return done(adding ? tr("Entry '%1' added.").arg(entry.doorName)
                       : tr("Entry '%1' changed.").arg(entry.doorName));
}
