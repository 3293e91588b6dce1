#include "db/selectionmask.h"

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
