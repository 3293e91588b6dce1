#include "support/zipwriter.h"

#include <QDataStream>
#include <QFile>

namespace TestSupport {

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

bool writeStoredZip(const QString &path, const QList<ZipEntry> &entries)
{
    QByteArray local;
    QByteArray central;
    QDataStream out(&local, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    QDataStream dir(&central, QIODevice::WriteOnly);
    dir.setByteOrder(QDataStream::LittleEndian);

    const quint16 utf8Names = 0x0800;
    const quint16 dosDate = 0x21; // 1980-01-01
    for (const ZipEntry &entry : entries) {
        const quint32 offset = quint32(local.size());
        const quint32 crc = crc32(entry.data);
        const quint32 size = quint32(entry.data.size());
        out << quint32(0x04034b50) << quint16(10) << utf8Names << quint16(0) << quint16(0)
            << dosDate << crc << size << size << quint16(entry.name.size()) << quint16(0);
        out.writeRawData(entry.name.constData(), entry.name.size());
        out.writeRawData(entry.data.constData(), entry.data.size());

        dir << quint32(0x02014b50) << quint16((3 << 8) | 30) << quint16(10) << utf8Names
            << quint16(0) << quint16(0) << dosDate << crc << size
            << (entry.claimedSize ? entry.claimedSize : size) << quint16(entry.name.size())
            << quint16(0) << quint16(0) << quint16(0) << quint16(0) << quint32(entry.mode << 16)
            << offset;
        dir.writeRawData(entry.name.constData(), entry.name.size());
    }
    QByteArray end;
    QDataStream tail(&end, QIODevice::WriteOnly);
    tail.setByteOrder(QDataStream::LittleEndian);
    tail << quint32(0x06054b50) << quint16(0) << quint16(0) << quint16(entries.size())
         << quint16(entries.size()) << quint32(central.size()) << quint32(local.size())
         << quint16(0);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(local) == local.size() && file.write(central) == central.size() &&
           file.write(end) == end.size();
}

} // namespace TestSupport
