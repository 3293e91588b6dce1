#pragma once

#include "db/audithistory.h"

#include <QCoreApplication>
#include <QString>

// The records of the audit trail that pass a filter, newest first, written
// to a file: a CSV list (";"-separated, UTF-8, "\r\n", formula-safe as the
// user export writes) with the values whole, or a PDF report with them cut to
// the width of a page. Written beside the target and renamed over it when
// complete, so a failed export leaves no half file.
class AuditTrailExport
{
    Q_DECLARE_TR_FUNCTIONS(AuditTrailExport)

public:
    // Empty on success, else why it failed. *count receives the records written.
    static QString writeCsv(const QString &databasePath, const AuditHistory::Filter &filter,
                            const QString &filePath, int *count = nullptr);
    // title heads every page, with the filter described in `filterText`.
    static QString writePdf(const QString &databasePath, const AuditHistory::Filter &filter,
                            const QString &filePath, const QString &title,
                            const QString &filterText, int *count = nullptr);
};
