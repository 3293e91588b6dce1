#pragma once

#include "db/selectionmask.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QtGlobal>

// Images of a reader's 16-byte configuration blocks and the changes made to
// them, each change optionally recorded as a configuration text line (the
// form the flash-drive file carries). Pure data: no reader is involved.
class ReaderConfiguration
{
public:
    static constexpr int BlockSize = 16;
    using Setting = QPair<QString, QString>;

    void clear();

    // A block not set yet reads as 16 zero bytes.
    QByteArray block(int number) const;
    void setBlock(int number, const QByteArray &bytes);
    quint8 byte(int number, int index) const;

    // Plain byte change, no text line.
    void setByte(int number, int index, quint8 value);
    // count bytes from first, most significant first; with a value line.
    void setValue(int number, int first, int count, quint32 value, bool withLine = true);
    // bitCount bits from firstBit of one byte; with a bit line.
    void setBits(int number, int index, int firstBit, int bitCount, quint32 value,
                 bool withLine = true);
    // A line with count bytes of the block from first.
    void addBlockLine(int number, int first, int count);

    const QByteArray &text() const { return m_text; }
    // Settings of known keys whose value did not parse or was out of range:
    // nothing was written for them, and the reader log says so.
    const QList<Setting> &skipped() const { return m_skipped; }

    // "key=value" entries separated by ";", blanks removed; entries that do
    // not split into exactly two parts are skipped. Order is kept.
    static QList<Setting> parseSettings(const QString &text);
    // Decimal with "." as separator; false for anything else.
    static bool parseDecimal(const QString &text, double *value);
    static bool parseInteger(const QString &text, int *value);
    // round(value x 10) with halves away from zero, accepted only within 0..max.
    static bool tenths(const QString &text, int max, int *value);

    // The access configuration of the short-range access reader.
    void applyTz60Access(const QString &settings, bool supportIso15693);
    // The long-range access configuration: fixed values, masks, settings.
    void applyLongRangeAccess(const QString &settings, bool tzu300, const SelectionMask &mask1,
                              const SelectionMask &mask2, const SelectionMask &mask3);
    void applyLongRangeFixed(bool tzu300);
    void applyMasks(const SelectionMask &mask1, const SelectionMask &mask2,
                    const SelectionMask &mask3);
    void applyLongRangeSettings(const QString &settings, bool tzu300);
    // Block 3 byte 3 takes the region code when the reader's region bytes allow it.
    static bool regionApplies(int regionCode, quint8 region0, quint8 region1);
    void applyRegion(int regionCode, quint8 region0, quint8 region1);

    // The tag reader (programmer) configuration of a reader type; false for
    // a type without one.
    bool applyTagReader(int readerType, bool supportIso15693, int regionCode, quint8 region0,
                        quint8 region1);
    // The blocks each configuration reads and writes, in write order.
    static QList<int> accessBlocks(int readerType);
    static QList<int> tagReaderBlocks(int readerType);

    // "EU: Europe" and the other region names, "Unknown region" otherwise.
    static QString regionName(int code);

private:
    QMap<int, QByteArray> m_blocks;
    QByteArray m_text;
    QList<Setting> m_skipped;
};
