#pragma once

#include "functions/functionreader.h"
#include "reader/readersettings.h"

// The function threads' reader: one reader object per command, run on the
// worker's thread, its error record and lists taken over.
class ReaderObjectsReader : public FunctionReader
{
public:
    explicit ReaderObjectsReader(const ReaderSettings &settings);

    ReaderOutcome updateAccess(const ReaderConnection &connection, int readerType,
                               const AccessDataSet &dataSet) override;
    ReaderOutcome saveAccessConfiguration(const QString &path, const FileWriter::Anchor &anchor,
                                          const QString &logKey, int readerType,
                                          const AccessDataSet &dataSet) override;
    ReaderOutcome readAccess(const ReaderConnection &connection, int readerType,
                             ReaderReadBack &readBack) override;
    ReaderOutcome readEvents(const ReaderConnection &connection, int readerType,
                             ReaderReadBack &readBack) override;
    ReaderOutcome setDateTime(const ReaderConnection &connection) override;
    ReaderOutcome writeConfiguration(const ReaderConnection &connection, int readerType,
                                     const QString &readerConfig, const FlashDrive &drive) override;

private:
    // The reader objects keep a reference to these for their whole life.
    ReaderSettings m_settings;
};
