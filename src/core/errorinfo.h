#pragma once

#include <QString>
#include <QtGlobal>

// Outcome of a reader, table or application operation. 0 is success; negative
// codes come from the reader libraries, 1..255 are reader status bytes, larger
// values are the application's own.
struct ErrorInfo
{
    qint32 code = 0;
    QString detail;

    ErrorInfo() = default;
    ErrorInfo(qint32 c, const QString &d) : code(c), detail(d) {}

    bool ok() const { return code == 0; }

    static constexpr qint32 ReaderObjectError = 2000;
    static constexpr qint32 ConfigFileError = 1001;
};
