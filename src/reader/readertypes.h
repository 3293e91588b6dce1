#pragma once

#include <QString>
#include <QStringList>

// Reader type codes as the readers report them, and what the program does with them.
namespace ReaderTypes {

enum Code : int {
    TZ60 = 100,   // short-range access reader
    TZU700 = 101, // long-range access reader
    TZU300 = 863, // long-range access reader
    PQ20 = 82,    // short-range desk reader (programmer)
    PQ10 = 86,    // short-range desk reader (programmer)
    LRX7 = 54,    // long-range desk reader (programmer)
};

// "ID <model>" from the display-name table, or "Reader type %1".
QString readerTypeName(int code);
// The code of a display name (exact match), or 0.
int readerTypeByName(const QString &name);
// Every display name of the table, in table order.
QStringList readerTypeNames();

bool isAccessReader(int code);
bool isShortRangeAccessReader(int code);
bool isLongRangeAccessReader(int code);
bool isProgrammerReader(int code);

// Minimum firmware of an access reader ("02.08.00"), empty for any other code.
QString requiredFirmware(int code);
// Compares "major.minor.patch" texts; missing or unreadable parts count as 0.
bool firmwareAtLeast(const QString &available, const QString &required);
// "%1.%2.%3" with two-digit parts.
QString normalizedFirmware(const QString &version);

} // namespace ReaderTypes
