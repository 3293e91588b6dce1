#pragma once

#include "functions/kelvarafunctionthread.h"

#include <QStringList>

// Read Access Configuration, and with the import flag Import Transponder:
// reads each reader's tables back into the entry's CSV files and, when
// importing, adds a user for every identifier no user holds.
class KelvaraReadAccessThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    KelvaraReadAccessThread(const ProjectParameters &project, bool import,
                            QObject *parent = nullptr);

    bool isImport() const { return m_import; }

protected:
    QString logFolderName() const override;
    int processEntry(const EntryTarget &entry) override;
    // An identifier imported at one entry is known at the next.
    bool entriesIndependent() const override { return !m_import; }

private:
    void importTransponders(const EntryTarget &entry, const QStringList &identifiers);

    bool m_import = false;
};
