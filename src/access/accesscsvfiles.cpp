#include "access/accesscsvfiles.h"

#include "access/accessdataset.h"
#include "core/filewriter.h"
#include "core/paths.h"
#include "db/transponderidd.h"

#include <QDir>
#include <QFile>

namespace {

const QLatin1Char kSeparator(';');
const QLatin1String kLineEnd("\r\n");

bool writeLine(QFile &file, const QStringList &fields)
{
    const QByteArray line = (fields.join(kSeparator) + kLineEnd).toLocal8Bit();
    return FileWriter::write(file, line);
}

AccessCsvFiles::Result fileError(const QString &path)
{
    AccessCsvFiles::Result result;
    result.status = AccessCsvFiles::Result::FileError;
    result.path = path;
    return result;
}

AccessCsvFiles::Result databaseError(const QString &path, const QSqlError &error)
{
    AccessCsvFiles::Result result;
    result.status = AccessCsvFiles::Result::DatabaseError;
    result.path = path;
    result.databaseError = error;
    return result;
}

// Creates the folder, removes the older fixed-name file and opens the new one truncated.
bool openFresh(QFile &file, const QString &folder, const QString &fileName,
               const QString &oldFileName)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile::remove(QDir(folder).filePath(oldFileName));
    file.setFileName(QDir(folder).filePath(fileName));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

// An event without an identifier (a door opened from inside, say) is nobody's:
// asked with an empty text the patterns would match any user whose stored
// identifier has no bytes.
QSqlError findUser(const TransponderLookup &lookup, const QString &idd,
                   QList<ImportedTransponderRow> &rows)
{
    rows.clear();
    if (idd.isEmpty())
        return QSqlError();
    return lookup(idd, rows);
}

} // namespace

ErrorInfo AccessCsvFiles::Result::error() const
{
    if (status == Ok)
        return ErrorInfo();
    if (status == DatabaseError)
        return ErrorInfo(ErrorInfo::ReaderObjectError, databaseError.text());
    return ErrorInfo(-1006, QStringLiteral("Write file '%1'").arg(path));
}

QString AccessCsvFiles::holidayFileName(const QString &entryName)
{
    return QStringLiteral("holiday-%1.csv").arg(safeFolderName(entryName));
}

QString AccessCsvFiles::periodFileName(const QString &entryName)
{
    return QStringLiteral("period-%1.csv").arg(safeFolderName(entryName));
}

QString AccessCsvFiles::iddFileName(const QString &entryName)
{
    return QStringLiteral("idd-%1.csv").arg(safeFolderName(entryName));
}

QString AccessCsvFiles::eventFileName(const QString &entryName, const QDate &date)
{
    if (!date.isValid())
        return QStringLiteral("event-invalid-date.csv");
    return QStringLiteral("event-%1-%2.csv")
        .arg(safeFolderName(entryName), date.toString(Qt::ISODate));
}

AccessCsvFiles::Result AccessCsvFiles::writeHolidayFile(const QString &folder,
                                                        const QString &entryName,
                                                        const QList<QDate> &holidays)
{
    QFile file;
    if (!openFresh(file, folder, holidayFileName(entryName), QStringLiteral("holiday.csv")))
        return fileError(file.fileName());
    bool ok = writeLine(file, {QStringLiteral("Date")});
    for (const QDate &date : holidays)
        ok = ok && writeLine(file, {date.toString(QStringLiteral("yyyy-MM-dd"))});
    if (!ok || !FileWriter::flush(file))
        return fileError(file.fileName());
    return Result();
}

AccessCsvFiles::Result AccessCsvFiles::writePeriodFile(const QString &folder,
                                                       const QString &entryName,
                                                       const QList<TimePeriod> &periodsByIndex)
{
    QFile file;
    if (!openFresh(file, folder, periodFileName(entryName), QStringLiteral("period.csv")))
        return fileError(file.fileName());
    bool ok = writeLine(file, {QStringLiteral("Index"), QStringLiteral("StartHour"),
                               QStringLiteral("StartMinute"), QStringLiteral("EndHour"),
                               QStringLiteral("EndMinute"), QStringLiteral("Days")});
    for (int i = 0; ok && i < AccessDataSet::MaxTimezones && i < periodsByIndex.size(); ++i) {
        const TimePeriod &p = periodsByIndex.at(i);
        if (p.isNever())
            break;
        ok = writeLine(file, {QString::number(i), QString::number(p.fromHour()),
                              QString::number(p.fromMinute()), QString::number(p.toHour()),
                              QString::number(p.toMinute()), p.dayTokens()});
    }
    if (!ok || !FileWriter::flush(file))
        return fileError(file.fileName());
    return Result();
}

AccessCsvFiles::Result AccessCsvFiles::writeIddFile(const QString &folder, const QString &entryName,
                                                    const QList<ReadAccessRecord> &records,
                                                    const TransponderLookup &lookup,
                                                    QStringList *unknownIdds)
{
    QFile file;
    if (!openFresh(file, folder, iddFileName(entryName), QStringLiteral("idd.csv")))
        return fileError(file.fileName());
    if (!writeLine(file,
                   {QStringLiteral("TagIDD"), QStringLiteral("Periods"), QStringLiteral("LastName"),
                    QStringLiteral("FirstName"), QStringLiteral("ModelID")}))
        return fileError(file.fileName());
    for (const ReadAccessRecord &record : records) {
        QList<ImportedTransponderRow> rows;
        const QSqlError error = findUser(lookup, record.idd, rows);
        if (error.isValid())
            return databaseError(file.fileName(), error);
        QString lastName = QStringLiteral("UNKNOWN");
        QString firstName;
        QString modelTag;
        if (!rows.isEmpty()) {
            lastName = rows.first().familyName;
            firstName = rows.first().firstName;
            modelTag = rows.first().modelTag;
        } else if (unknownIdds) {
            unknownIdds->append(record.idd);
        }
        if (!writeLine(file, {record.idd, AccessDataSet::indexList(record.flags), lastName,
                              firstName, modelTag}))
            return fileError(file.fileName());
    }
    if (!FileWriter::flush(file))
        return fileError(file.fileName());
    return Result();
}

AccessCsvFiles::Result AccessCsvFiles::appendEventFiles(const QString &folder,
                                                        const QString &entryName,
                                                        const QList<ReaderEvent> &events,
                                                        const TransponderLookup &lookup)
{
    if (!QDir().mkpath(folder))
        return fileError(folder);
    QFile file;
    // Events come in runs of one day: the file name is made once a run.
    QString path;
    QDate pathDate;
    for (const ReaderEvent &event : events) {
        if (path.isEmpty() || event.dateTime.date() != pathDate) {
            pathDate = event.dateTime.date();
            path = QDir(folder).filePath(eventFileName(entryName, pathDate));
        }
        QString idd = event.idd;
        QString lastName = QStringLiteral("UNKNOWN");
        QString firstName;
        QString modelTag;
        QList<ImportedTransponderRow> rows;
        const QSqlError error = findUser(lookup, event.idd, rows);
        if (error.isValid())
            return databaseError(file.fileName(), error);
        if (!rows.isEmpty()) {
            const ImportedTransponderRow &row = rows.first();
            lastName = row.familyName;
            firstName = row.firstName;
            modelTag = row.modelTag;
            const TransponderIdd longRange = TransponderIdd::fromStored(row.iddClass1Gen2);
            const TransponderIdd shortRange = TransponderIdd::fromStored(row.iddIso14443);
            if (!idd.isEmpty() && idd == longRange.toHex())
                idd = longRange.toDisplay();
            else if (!idd.isEmpty() && idd == shortRange.toHex())
                idd = shortRange.toDisplay();
        }

        const bool withAntenna = event.antenna != 0;
        const bool withInputs = (event.inputState & 0x80) != 0;
        if (path != file.fileName() || !file.isOpen()) {
            // Events count as kept only once on disk: the next update clears the reader's list.
            if (file.isOpen() && !FileWriter::flush(file))
                return fileError(file.fileName());
            file.close();
            file.setFileName(path);
            const bool exists = file.exists();
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
                return fileError(path);
            if (!exists) {
                QStringList header{QStringLiteral("TagIDD")};
                if (withAntenna)
                    header << QStringLiteral("Antenna");
                header << QStringLiteral("DateAndTime") << QStringLiteral("Access")
                       << QStringLiteral("LastName") << QStringLiteral("FirstName")
                       << QStringLiteral("ModelID");
                if (withInputs)
                    header << QStringLiteral("Input-2-1");
                header << QStringLiteral("Error");
                if (!writeLine(file, header))
                    return fileError(path);
            }
        }

        QStringList fields{idd};
        if (withAntenna)
            fields << QString::number(event.antenna);
        fields << (event.dateTime.isValid()
                       ? event.dateTime.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
                       : QStringLiteral("invalid"))
               << (event.granted ? QStringLiteral("permitted") : QStringLiteral("denied"))
               << lastName << firstName << modelTag;
        if (withInputs)
            fields << QStringLiteral("%1-%2")
                          .arg((event.inputState & 0x02) ? 1 : 0)
                          .arg((event.inputState & 0x01) ? 1 : 0);
        fields << QString::number(event.errorNumber);
        if (!writeLine(file, fields))
            return fileError(path);
    }
    if (file.isOpen() && !FileWriter::flush(file))
        return fileError(file.fileName());
    return Result();
}

QList<TimePeriod> AccessCsvFiles::periodsByIndex(const QList<TimezoneRecord> &records)
{
    QList<TimePeriod> periods;
    for (const TimezoneRecord &record : records)
        periods << record.toPeriod();
    return periods;
}

QList<TimePeriod> AccessCsvFiles::periodsByIndex(const QMap<QString, int> &periodMap)
{
    QList<TimePeriod> periods;
    for (int i = 0; i < AccessDataSet::MaxTimezones; ++i)
        periods << TimePeriod();
    for (auto it = periodMap.constBegin(); it != periodMap.constEnd(); ++it) {
        if (it.value() >= 0 && it.value() < periods.size())
            periods[it.value()] = TimePeriod::fromDefinition(it.key());
    }
    return periods;
}
