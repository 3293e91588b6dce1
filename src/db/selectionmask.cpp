#include "db/selectionmask.h"

#include <cctype>

SelectionMask::SelectionMask() : m_bytes(MaxBytes, '\0') {}

void SelectionMask::reset()
{
    m_bytes.fill('\0', MaxBytes);
    m_bitLength = 0;
}

void SelectionMask::setBitLength(int bits)
{
    m_bitLength = qBound(0, bits, MaxBits);
}

void SelectionMask::setBytes(const QByteArray &bytes)
{
    m_bytes = bytes.left(MaxBytes);
    if (m_bytes.size() < MaxBytes)
        m_bytes.append(QByteArray(MaxBytes - m_bytes.size(), '\0'));
}

QString SelectionMask::toStored() const
{
    const int digits = (m_bitLength + 3) / 4;
    return QString::fromLatin1(m_bytes.toHex().left(digits));
}

SelectionMask SelectionMask::fromStored(const QString &text)
{
    SelectionMask mask;
    QByteArray digits = text.trimmed().toLatin1().left(MaxBytes * 2);
    for (char c : qAsConst(digits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return mask; // unreadable text: an empty mask
    }
    const int bits = digits.size() * 4;
    if (digits.size() % 2)
        digits.append('0');
    mask.setBytes(QByteArray::fromHex(digits));
    mask.setBitLength(bits);
    return mask;
}

bool SelectionMask::fromHex(const QString &text, SelectionMask *mask)
{
    QString digits = text.trimmed();
    for (const QChar c : qAsConst(digits)) {
        if (c.unicode() > 0x7f || !std::isxdigit(c.unicode()))
            return false;
    }
    if (digits.size() * 4 > MaxBits)
        return false;
    const int bits = digits.size() * 4;
    if (digits.size() % 2)
        digits += QLatin1Char('0');
    SelectionMask parsed;
    parsed.setBytes(QByteArray::fromHex(digits.toLatin1()));
    parsed.setBitLength(bits);
    *mask = parsed;
    return true;
}

QString SelectionMask::toHex() const
{
    return QString::fromLatin1(m_bytes.left((m_bitLength + 7) / 8).toHex().toUpper());
}

SelectionMask SelectionMask::makerMask()
{
    SelectionMask mask;
    fromHex(QStringLiteral("2D1505D8500003"), &mask);
    return mask;
}
