#include "functions/kelvarareadaccessthread.h"

#include "access/accessdataset.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QDir>

KelvaraReadAccessThread::KelvaraReadAccessThread(const ProjectParameters &project, bool import,
                                                 QObject *parent)
    : KelvaraFunctionThread(project, parent), m_import(import)
{
}

QString KelvaraReadAccessThread::logFolderName() const
{
    return m_import ? QStringLiteral("import-reader") : QStringLiteral("read-access-cfg");
}

int KelvaraReadAccessThread::processEntry(const EntryTarget &entry)
{
    ReaderReadBack readBack;
    ReaderOutcome outcome;
    {
        std::unique_ptr<FunctionReader> reader = createReader();
        outcome = reader->readAccess(connectionOf(entry), int(entry.readerType), readBack);
    }
    if (stopRequested())
        return NoState;
    if (!outcome.ok())
        return readerFailure(outcome);

    const QString key = folderKeyOf(entry);
    const QString folder = entryDataPath(m_project.projectPath, key);
    const QString db = databasePath();
    const int pkDoors = entry.pkDoors;
    const TransponderLookup lookup = [db, pkDoors](const QString &idd,
                                                   QList<ImportedTransponderRow> &rows) {
        return AccessRights::findImportedTransponder(db, idd, pkDoors, rows);
    };
    QStringList unknown;
    AccessCsvFiles::Result result;
    if (!QDir().mkpath(folder)) {
        result.status = AccessCsvFiles::Result::FileError;
        result.path = folder;
    }
    if (result.ok())
        result = AccessCsvFiles::writeHolidayFile(folder, key, readBack.holidays);
    if (result.ok())
        result = AccessCsvFiles::writePeriodFile(folder, key, readBack.periodsByIndex);
    if (result.ok())
        result = AccessCsvFiles::writeIddFile(folder, key, readBack.access, lookup, &unknown);
    if (result.status == AccessCsvFiles::Result::DatabaseError)
        return databaseFailure(result.databaseError);
    if (result.status == AccessCsvFiles::Result::FileError) {
        log(QStringLiteral("Write file error"));
        return Failed;
    }
    if (m_import)
        importTransponders(entry, unknown);
    log(m_import ? QStringLiteral("Import Transponder DONE")
                 : QStringLiteral("Read Access Configuration DONE"));
    return Done;
}

void KelvaraReadAccessThread::importTransponders(const EntryTarget &entry,
                                                 const QStringList &identifiers)
{
    const int readerType = int(entry.readerType);
    const bool longRange =
        readerType == AccessRights::LongRangeReader || readerType == AccessRights::LongRangeReader2;
    if (readerType != AccessRights::ShortRangeReader && !longRange)
        return;
    const int length = longRange ? m_project.uhfIddLength : m_project.hfIddLength;
    for (const QString &identifier : identifiers) {
        const QString hex = identifier.toUpper();
        QString line = longRange ? QStringLiteral("Class1Gen2-IDD '%1': ").arg(hex)
                                 : QStringLiteral("ISO14443-IDD '%1': ").arg(hex);
        if (hex.size() != 2 * length) {
            log(line + QStringLiteral("invalid length"));
            continue;
        }
        // A user holding a blank identifier would never be granted anything.
        if (hex.count(QLatin1Char('0')) == hex.size()) {
            log(line + QStringLiteral("blank, not imported"));
            continue;
        }
        const TransponderIdd idd = TransponderIdd::fromHex(
            hex, longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A);
        const QSqlError error = UserRecords::addImportedUser(databasePath(), idd, longRange);
        if (error.isValid())
            log(line + QStringLiteral("not imported: %1").arg(databaseErrorText(error)));
        else
            log(line + QStringLiteral("imported"));
    }
}
