#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One transponder identifier ("IDD") with its type and optional serial number.
// Stored form ("04a1b2c3d4e5f6-04[-serial]") is what the database and the
// reader tables hold; the hex form is for editing and user lists; the display
// form is what the operator sees.
class TransponderIdd
{
public:
    enum Type : qint32 {
        Empty = 0,
        Iso15693 = 3,
        Iso14443A = 4,
        EpcClass1Gen2 = 132,
    };

    // The longest identifier a reader delivers, in bytes (EPC identifiers
    // without their protocol-control word).
    static constexpr int MaxBytes = 64;

    TransponderIdd() = default;
    TransponderIdd(const QByteArray &bytes, qint32 type, quint64 serialNumber = 0);

    static TransponderIdd fromStored(const QString &text);
    static TransponderIdd fromHex(const QString &hex, qint32 type);
    // An identifier as an operator types it (the user dialog, kelvara-cli):
    // hexadecimal digits, blanks at either end dropped. Digits beyond the
    // project length are cut; 8 or more are padded with "0" in front up to
    // it. An empty text gives no identifier. False, with *idd left alone,
    // when the text holds anything but hexadecimal digits.
    static bool fromTyped(const QString &text, int length, qint32 type, TransponderIdd *idd);

    // The short-range type an identifier of these bytes has when nothing
    // else tells: eight bytes beginning with E0 are an ISO 15693 UID (ISO
    // 14443 UIDs have 4, 7 or 10 bytes), anything else ISO 14443-A.
    static qint32 shortRangeTypeOf(const QByteArray &bytes);

    QString toStored() const;
    QString toHex() const;
    QString toDisplay() const;

    // Pads with zero bytes in front (after the protocol-control word for EPC
    // identifiers) up to the given number of identifier bytes.
    void extendTo(int length);

    void setSerialNumber(quint64 serialNumber);
    quint64 serialNumber() const { return m_serialNumber; }

    // True when the EPC carries the maker's transponder mask, and the number in it.
    bool carriesTagNumber() const;
    quint64 tagNumber() const;

    const QByteArray &bytes() const { return m_bytes; }
    qint32 type() const { return m_type; }
    bool isEmpty() const { return m_type == Empty; }
    bool isValid() const { return isValidType(m_type); }
    bool isShortRange() const { return m_type == Iso15693 || m_type == Iso14443A; }
    bool isLongRange() const { return m_type == EpcClass1Gen2; }
    static bool isValidType(qint32 type);

    bool operator==(const TransponderIdd &other) const;
    bool operator!=(const TransponderIdd &other) const { return !(*this == other); }

private:
    QByteArray m_bytes;
    qint32 m_type = Empty;
    quint64 m_serialNumber = 0;
};
