#include "core/logfile.h"

#include "core/filewriter.h"

#include <QFile>

namespace LogFile {

bool appendLine(const QString &filePath, const QString &line)
{
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toLocal8Bit() + "\r\n";
    return FileWriter::write(file, bytes) && FileWriter::flush(file);
}

} // namespace LogFile
