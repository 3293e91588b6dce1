#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace TestSupport {

// Writes a ZIP archive with stored (uncompressed) entries of any name, so
// tests can build archives that the zip program would never produce: names
// with "..", absolute names, links.
struct ZipEntry
{
    QByteArray name;
    QByteArray data;
    quint32 mode = 0100644;  // Unix mode: 0100644 file, 0120777 link (data = link target)
    quint32 claimedSize = 0; // when set, the size the directory claims unpacked (a bomb)
};

bool writeStoredZip(const QString &path, const QList<ZipEntry> &entries);

} // namespace TestSupport
