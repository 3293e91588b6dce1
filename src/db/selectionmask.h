#pragma once

#include <QByteArray>
#include <QString>

// A bit string of up to 192 bits (24 bytes), as the long-range selection masks
// are kept. Stored as lower-case hex digits cut to ceil(bits / 4) digits.
class SelectionMask
{
public:
    static constexpr int MaxBytes = 24;
    static constexpr int MaxBits = MaxBytes * 8;

    SelectionMask();

    static SelectionMask fromStored(const QString &text);
    QString toStored() const;
    // As an operator types it: up to 48 hexadecimal digits, blanks at either
    // end dropped, each digit four bits. False (mask untouched) otherwise.
    static bool fromHex(const QString &text, SelectionMask *mask);
    // The mask's bytes in upper-case hex, as the operator sees them.
    QString toHex() const;
    // The filter of the maker's own long-range transponders.
    static SelectionMask makerMask();

    int bitLength() const { return m_bitLength; }
    void setBitLength(int bits);
    const QByteArray &bytes() const { return m_bytes; }
    void setBytes(const QByteArray &bytes); // cut or padded to 24 bytes
    bool isEmpty() const { return m_bitLength == 0; }
    void reset();

    bool operator==(const SelectionMask &other) const
    {
        return m_bitLength == other.m_bitLength && m_bytes == other.m_bytes;
    }
    bool operator!=(const SelectionMask &other) const { return !(*this == other); }

private:
    QByteArray m_bytes;
    int m_bitLength = 0;
};
