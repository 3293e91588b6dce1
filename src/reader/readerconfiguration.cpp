#include "reader/readerconfiguration.h"

#include "reader/readertypes.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QByteArray zeroBlock()
{
    return QByteArray(ReaderConfiguration::BlockSize, '\0');
}

} // namespace

void ReaderConfiguration::clear()
{
    m_blocks.clear();
    m_text.clear();
    m_skipped.clear();
}

QByteArray ReaderConfiguration::block(int number) const
{
    return m_blocks.value(number, zeroBlock());
}

void ReaderConfiguration::setBlock(int number, const QByteArray &bytes)
{
    QByteArray b = bytes.left(BlockSize);
    b.append(QByteArray(BlockSize - b.size(), '\0'));
    m_blocks.insert(number, b);
}

quint8 ReaderConfiguration::byte(int number, int index) const
{
    return quint8(block(number).at(index));
}

void ReaderConfiguration::setByte(int number, int index, quint8 value)
{
    if (index < 0 || index >= BlockSize)
        return;
    QByteArray b = block(number);
    b[index] = char(value);
    m_blocks.insert(number, b);
}

void ReaderConfiguration::setValue(int number, int first, int count, quint32 value, bool withLine)
{
    for (int i = 0; i < count; ++i)
        setByte(number, first + i, quint8(value >> (8 * (count - 1 - i))));
    if (!withLine)
        return;
    const quint64 mask = count >= 4 ? 0xFFFFFFFFull : ((1ull << (8 * count)) - 1);
    m_text += QStringLiteral("cfg(P%1B%2S%3)=%4\n")
                  .arg(twoDigits(number), twoDigits(first), twoDigits(count))
                  .arg(quint64(value) & mask, 2 * count, 16, QLatin1Char('0'))
                  .toLatin1();
}

void ReaderConfiguration::setBits(int number, int index, int firstBit, int bitCount, quint32 value,
                                  bool withLine)
{
    const quint32 fieldMask = ((1u << bitCount) - 1) << firstBit;
    quint32 b = byte(number, index);
    b = (b & ~fieldMask) | ((value << firstBit) & fieldMask);
    setByte(number, index, quint8(b));
    if (!withLine)
        return;
    m_text += QStringLiteral("cfg(P%1B%2b%3s%4)=%5\n")
                  .arg(twoDigits(number), twoDigits(index))
                  .arg(firstBit)
                  .arg(bitCount)
                  .arg(value & ((1u << bitCount) - 1), (bitCount + 3) / 4, 16, QLatin1Char('0'))
                  .toLatin1();
}

void ReaderConfiguration::addBlockLine(int number, int first, int count)
{
    m_text += QStringLiteral("cfg(P%1B%2S%3)=")
                  .arg(twoDigits(number), twoDigits(first), twoDigits(count))
                  .toLatin1();
    m_text += block(number).mid(first, count).toHex();
    m_text += '\n';
}

QList<ReaderConfiguration::Setting> ReaderConfiguration::parseSettings(const QString &text)
{
    QList<Setting> settings;
    const QStringList entries = text.split(QLatin1Char(';'));
    for (QString entry : entries) {
        entry.remove(QRegularExpression(QStringLiteral("\\s")));
        const QStringList parts = entry.split(QLatin1Char('='));
        if (parts.size() != 2)
            continue;
        settings << Setting(parts.at(0), parts.at(1));
    }
    return settings;
}

bool ReaderConfiguration::parseDecimal(const QString &text, double *value)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (!re.match(text).hasMatch())
        return false;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool ReaderConfiguration::parseInteger(const QString &text, int *value)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!re.match(text).hasMatch())
        return false;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        return false;
    *value = v;
    return true;
}

bool ReaderConfiguration::tenths(const QString &text, int max, int *value)
{
    double v = 0;
    if (!parseDecimal(text, &v))
        return false;
    // The nudge keeps decimal halves such as 0.35 from landing just below .5.
    const double scaled = std::round(v * 10.0 + (v >= 0 ? 1e-9 : -1e-9));
    if (scaled < 0 || scaled > max)
        return false;
    *value = int(scaled);
    return true;
}

void ReaderConfiguration::applyTz60Access(const QString &settings, bool supportIso15693)
{
    setByte(1, 12, 0x80);
    setByte(1, 13, 0x20);
    setByte(2, 8, 4);
    setByte(2, 13, 0x82);
    setByte(3, 0, 0x00);
    setByte(3, 1, 0x10);
    if (supportIso15693)
        setByte(3, 1, 0x18);
    for (const Setting &s : parseSettings(settings)) {
        int v = 0;
        if (s.first == QLatin1String("ValidTime")) {
            if (tenths(s.second, 0xFFFF, &v))
                setValue(12, 0, 2, quint32(v), false);
            else
                m_skipped << s;
        } else if (s.first == QLatin1String("Out1.HoldTime")) {
            if (tenths(s.second, 0xFF, &v))
                setByte(14, 10, quint8(v));
            else
                m_skipped << s;
        }
    }
}

void ReaderConfiguration::applyLongRangeAccess(const QString &settings, bool tzu300,
                                               const SelectionMask &mask1,
                                               const SelectionMask &mask2,
                                               const SelectionMask &mask3)
{
    applyLongRangeFixed(tzu300);
    applyMasks(mask1, mask2, mask3);
    applyLongRangeSettings(settings, tzu300);
}

void ReaderConfiguration::applyLongRangeFixed(bool tzu300)
{
    setValue(1, 12, 1, tzu300 ? 0x80 : 0x95);
    setValue(1, 13, 1, 0xA0);
    if (!tzu300)
        setValue(3, 0, 2, 0x0010);
    setValue(10, 0, 1, 0x01);
    setValue(16, 2, 2, 0x0028, !tzu300);
    setValue(16, 4, 2, 0x0028, !tzu300);
}

void ReaderConfiguration::applyMasks(const SelectionMask &mask1, const SelectionMask &mask2,
                                     const SelectionMask &mask3)
{
    const SelectionMask *masks[3] = {&mask1, &mask2, &mask3};
    for (int m = 0; m < 3; ++m) {
        const int first = 22 + 2 * m, second = first + 1;
        const int bits = qBound(0, masks[m]->bitLength(), SelectionMask::MaxBits);
        const int used = (bits + 7) / 8;
        QByteArray bytes = masks[m]->bytes().left(used);
        bytes.append(QByteArray(SelectionMask::MaxBytes - bytes.size(), '\0'));
        setByte(first, 0, quint8(bits));
        setByte(first, 1, 1);
        setByte(first, 2, 0);
        setByte(first, 3, 0x20);
        for (int i = 0; i < 10; ++i)
            setByte(first, 4 + i, quint8(bytes.at(i)));
        for (int i = 0; i < 14; ++i)
            setByte(second, i, quint8(bytes.at(10 + i)));
        addBlockLine(first, 0, 14);
        addBlockLine(second, 0, 14);
    }
}

void ReaderConfiguration::applyLongRangeSettings(const QString &settings, bool tzu300)
{
    for (const Setting &s : parseSettings(settings)) {
        const QString &key = s.first;
        const QString &value = s.second;
        int v = 0;
        bool ok = true; // false: a known key whose value is not taken
        if (key == QLatin1String("ValidTime")) {
            if ((ok = tenths(value, 0xFFFF, &v)))
                setValue(12, 0, 2, quint32(v));
        } else if (key == QLatin1String("AntiPassBack")) {
            if ((ok = parseInteger(value, &v)))
                setValue(8, 11, 1, quint32(v) & 0xFF);
        } else if (key == QLatin1String("AntennaCount")) {
            if ((ok = parseInteger(value, &v))) {
                setValue(15, 0, 1, v == 1 ? 0 : 1);
                setValue(15, 1, 1, v == 1 ? 0x08 : 0x18);
            }
        } else if (key == QLatin1String("Antenna1.RfPower")) {
            if ((ok = tenths(value, 0xFF - 15, &v)))
                setValue(3, 2, 1, quint32(v + 15));
        } else if (key == QLatin1String("Antenna2.RfPower")) {
            if ((ok = tenths(value, 0xFF - 15, &v)))
                setValue(20, 10, 1, quint32(v + 15));
        } else if (key == QLatin1String("Out1.HoldTime")) {
            if ((ok = tenths(value, 0xFF, &v)))
                setValue(14, 10, 1, quint32(v));
        } else if (key == QLatin1String("Out2.HoldTime")) {
            if ((ok = tenths(value, 0xFF, &v)))
                setValue(14, 11, 1, quint32(v));
        } else if (key == QLatin1String("Trigger.Enable")) {
            setBits(10, 0, 7, 1, value == QLatin1String("1") ? 1 : 0);
            setValue(10, 1, 1, 5);
        } else if (key == QLatin1String("Trigger.Edge")) {
            setBits(10, 0, 5, 1, value == QLatin1String("1") ? 1 : 0);
        } else if (key == QLatin1String("Trigger.HoldTime")) {
            if ((ok = tenths(value, 0xFFFF, &v))) {
                setValue(10, 2, 2, quint32(v));
                setValue(10, 4, 2, quint32(v));
            }
        } else if (key == QLatin1String("Trigger.InputToAntenna")) {
            if ((ok = parseInteger(value, &v)))
                setBits(14, 13, 0, 1, quint32(v) & 1);
        } else if (tzu300) {
            struct BitField
            {
                const char *key;
                int index, firstBit;
            };
            static const BitField fields[] = {
                {"AntennaSignal", 3, 0},  {"Led.Idle.Color", 0, 0},  {"Led.Valid.Color", 1, 0},
                {"Led.Valid.Mode", 1, 2}, {"Led.Inval.Color", 1, 4}, {"Led.Inval.Mode", 1, 6},
            };
            for (const BitField &f : fields) {
                if (key != QLatin1String(f.key))
                    continue;
                if ((ok = parseInteger(value, &v)))
                    setBits(8, f.index, f.firstBit, 2, quint32(v) & 3);
            }
        }
        if (!ok)
            m_skipped << s;
    }
}

bool ReaderConfiguration::regionApplies(int regionCode, quint8 region0, quint8 region1)
{
    return region1 == 0 && (regionCode & 0x0F) == (region0 & 0x0F);
}

void ReaderConfiguration::applyRegion(int regionCode, quint8 region0, quint8 region1)
{
    if (regionApplies(regionCode, region0, region1))
        setByte(3, 3, quint8(regionCode));
}

bool ReaderConfiguration::applyTagReader(int readerType, bool supportIso15693, int regionCode,
                                         quint8 region0, quint8 region1)
{
    switch (readerType) {
    case ReaderTypes::PQ10:
        setByte(1, 13, 0);
        setByte(3, 0, 0x00);
        setByte(3, 1, supportIso15693 ? 0x18 : 0x10);
        return true;
    case ReaderTypes::PQ20:
        setByte(1, 13, 0);
        setByte(3, 0, 0x00);
        setByte(3, 1, 0x10);
        return true;
    case ReaderTypes::TZ60:
        setByte(1, 12, 0x80);
        setByte(1, 13, 0x20);
        setByte(3, 0, 0);
        setByte(3, 1, supportIso15693 ? 0x18 : 0x10);
        return true;
    case ReaderTypes::TZU700:
    case ReaderTypes::TZU300: {
        const bool tzu300 = readerType == ReaderTypes::TZU300;
        setByte(1, 12, tzu300 ? 0x80 : 0x95);
        setByte(1, 13, 0xA0);
        if (!tzu300) {
            setByte(3, 0, 0x00);
            setByte(3, 1, 0x10);
        }
        setValue(16, 2, 4, 0x00280028, false);
        applyRegion(regionCode, region0, region1);
        return true;
    }
    case ReaderTypes::LRX7: {
        setByte(1, 12, 0x95);
        setByte(1, 13, 0x00);
        setValue(16, 2, 2, 0x0028, false);
        setByte(20, 9, 1);
        setValue(36, 0, 2, 0x0010, false);
        setByte(36, 2, 0x14);
        static const int regions[] = {4, 6, 22, 36, 38, 52, 54, 68, 70, 84};
        for (int r : regions) {
            if (r == regionCode)
                setByte(36, 3, quint8(regionCode));
        }
        return true;
    }
    default:
        return false;
    }
}

QList<int> ReaderConfiguration::accessBlocks(int readerType)
{
    if (readerType == ReaderTypes::TZ60)
        return {1, 2, 3, 12, 14};
    if (ReaderTypes::isLongRangeAccessReader(readerType))
        return {1, 15, 3, 8, 10, 12, 14, 16, 20, 22, 23, 24, 25, 26, 27};
    return {};
}

QList<int> ReaderConfiguration::tagReaderBlocks(int readerType)
{
    switch (readerType) {
    case ReaderTypes::PQ10:
    case ReaderTypes::PQ20:
    case ReaderTypes::TZ60:
        return {1, 3};
    case ReaderTypes::TZU700:
    case ReaderTypes::TZU300:
        return {1, 3, 16};
    case ReaderTypes::LRX7:
        return {1, 16, 20, 36};
    default:
        return {};
    }
}

QString ReaderConfiguration::regionName(int code)
{
    struct Region
    {
        int code;
        const char *name;
    };
    static const Region regions[] = {
        {4, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: USA")},
        {6, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Europe")},
        {20, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: China")},
        {22, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Asia / Oceania")},
        {36, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Australia / New Zealand")},
        {38, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Russia")},
        {52, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Brazil")},
        {54, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Africa")},
        {68, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Israel")},
        {70, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: India")},
        {84, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Japan")},
        {86, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Morocco")},
        {100, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Malaysia")},
        {116, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Korea")},
        {254, QT_TRANSLATE_NOOP("ReaderConfiguration", "EU: Manual")},
        {255, QT_TRANSLATE_NOOP("ReaderConfiguration", "FCC: Manual")},
    };
    for (const Region &r : regions) {
        if (r.code == code)
            return QCoreApplication::translate("ReaderConfiguration", r.name);
    }
    return QCoreApplication::translate("ReaderConfiguration", "Unknown region");
}
