#include "db/transponderidd.h"

#include <QStringList>

namespace {

// Strict hex decoding: anything but hex digits makes the text unreadable.
bool decodeHex(const QString &text, QByteArray &out)
{
    QByteArray digits = text.toLatin1();
    for (char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    if (digits.size() % 2)
        digits.prepend('0');
    out = QByteArray::fromHex(digits);
    return true;
}

const char kMakerMask[7] = {0x2D, 0x15, 0x05, char(0xD8), 0x50, 0x00, 0x03};

} // namespace

TransponderIdd::TransponderIdd(const QByteArray &bytes, qint32 type, quint64 serialNumber)
    : m_bytes(bytes), m_type(type)
{
    setSerialNumber(serialNumber);
}

bool TransponderIdd::isValidType(qint32 type)
{
    return type == Iso15693 || type == Iso14443A || type == EpcClass1Gen2;
}

TransponderIdd TransponderIdd::fromStored(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() < 2)
        return {};
    bool ok = false;
    const qint32 type = parts.at(1).toInt(&ok, 16);
    if (!ok)
        return {};
    TransponderIdd idd;
    if (!decodeHex(parts.at(0), idd.m_bytes))
        return {};
    idd.m_type = type;
    if (parts.size() > 2) {
        const quint64 serial = parts.at(2).toULongLong(&ok, 16);
        if (ok)
            idd.m_serialNumber = serial;
    }
    return idd;
}

TransponderIdd TransponderIdd::fromHex(const QString &hex, qint32 type)
{
    if (!isValidType(type))
        return {};
    QString digits = hex;
    digits.remove(QLatin1Char(' '));
    QByteArray bytes;
    if (!decodeHex(digits, bytes))
        bytes.clear();
    if (type == EpcClass1Gen2) {
        QByteArray pc(2, '\0');
        pc[0] = char(((bytes.size() / 2) << 3) & 0xFF);
        bytes.prepend(pc);
    }
    return TransponderIdd(bytes, type);
}

qint32 TransponderIdd::shortRangeTypeOf(const QByteArray &bytes)
{
    return bytes.size() == 8 && quint8(bytes.at(0)) == 0xE0 ? Iso15693 : Iso14443A;
}

bool TransponderIdd::fromTyped(const QString &text, int length, qint32 type, TransponderIdd *idd)
{
    // Pasted identifiers often bring a blank or a line end along.
    QString digits = text.trimmed();
    if (digits.isEmpty()) {
        *idd = TransponderIdd();
        return true;
    }
    for (const QChar c : qAsConst(digits)) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    const int wanted = 2 * qMax(0, length);
    if (digits.size() > wanted)
        digits = digits.left(wanted);
    else if (digits.size() >= 8)
        digits = digits.rightJustified(wanted, QLatin1Char('0'));
    *idd = fromHex(digits, type);
    return true;
}

QString TransponderIdd::toStored() const
{
    if (m_type == Empty)
        return QString();
    QString text = QString::fromLatin1(m_bytes.toHex()) + QLatin1Char('-') +
                   QString::number(m_type, 16).rightJustified(2, QLatin1Char('0'));
    if (m_serialNumber != 0)
        text += QLatin1Char('-') + QString::number(m_serialNumber, 16);
    return text;
}

QString TransponderIdd::toHex() const
{
    switch (m_type) {
    case Iso15693:
    case Iso14443A:
        return QString::fromLatin1(m_bytes.toHex().toUpper());
    case EpcClass1Gen2:
        return QString::fromLatin1(m_bytes.mid(2).toHex().toUpper());
    default:
        return QString();
    }
}

QString TransponderIdd::toDisplay() const
{
    const quint64 number = carriesTagNumber() ? tagNumber() : m_serialNumber;
    if (number == 0)
        return toHex();
    return toHex() + QStringLiteral(" (") + QString::number(number) + QLatin1Char(')');
}

void TransponderIdd::extendTo(int length)
{
    if (m_type == Iso15693 || m_type == Iso14443A) {
        if (m_bytes.size() < length)
            m_bytes.prepend(QByteArray(length - m_bytes.size(), '\0'));
    } else if (m_type == EpcClass1Gen2) {
        if (m_bytes.size() < 2)
            m_bytes.append(QByteArray(2 - m_bytes.size(), '\0'));
        const int epcLength = m_bytes.size() - 2;
        if (epcLength < length)
            m_bytes.insert(2, QByteArray(length - epcLength, '\0'));
    }
}

void TransponderIdd::setSerialNumber(quint64 serialNumber)
{
    m_serialNumber = carriesTagNumber() ? 0 : serialNumber;
}

bool TransponderIdd::carriesTagNumber() const
{
    return m_type == EpcClass1Gen2 && m_bytes.size() > 13 &&
           m_bytes.mid(2, 7) == QByteArray(kMakerMask, sizeof kMakerMask);
}

quint64 TransponderIdd::tagNumber() const
{
    if (!carriesTagNumber())
        return 0;
    quint64 number = 0;
    for (int i = 9; i <= 13; ++i)
        number = (number << 8) | quint8(m_bytes.at(i));
    return number;
}

bool TransponderIdd::operator==(const TransponderIdd &other) const
{
    return m_type == other.m_type && m_bytes == other.m_bytes;
}
