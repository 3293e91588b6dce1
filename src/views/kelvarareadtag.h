#pragma once

#include "db/transponderidd.h"
#include "reader/readersettings.h"

#include <QCoreApplication>

class QWidget;

// Reading the transponder on the desk reader chosen in the general settings,
// with the message boxes the operator sees when that fails.
class KelvaraReadTag
{
    Q_DECLARE_TR_FUNCTIONS(KelvaraReadTag)

public:
    // True with the identifier, widened to the project's length of the range,
    // in *transponder. False after telling the operator why (nothing
    // configured, a type that cannot read tags, the reader's error); a read
    // already running refuses a second one.
    static bool readTag(const ReaderSettings &settings, bool longRange, TransponderIdd *transponder,
                        QWidget *parent);
};
