#include "core/filewriter.h"

#include <QSaveFile>

#include <atomic>

namespace FileWriter {

namespace {

std::atomic<qint64> g_spaceLeft{-1};

// Takes room for the bytes from the test limit; false when the disk is "full".
bool takeSpace(qint64 size)
{
    qint64 left = g_spaceLeft.load();
    while (left >= 0) {
        if (left < size) {
            g_spaceLeft.store(0);
            return false;
        }
        if (g_spaceLeft.compare_exchange_weak(left, left - size))
            return true;
    }
    return true;
}

} // namespace

bool write(QFileDevice &file, const QByteArray &bytes)
{
    if (!takeSpace(bytes.size()))
        return false;
    return file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError;
}

bool flush(QFileDevice &file)
{
    return file.flush() && file.error() == QFileDevice::NoError;
}

bool replaceFile(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() alone may let a failed buffered write pass: flush first.
    if (!write(file, content) || !flush(file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void setSpaceLeftForTesting(qint64 bytes)
{
    g_spaceLeft.store(bytes);
}

} // namespace FileWriter
