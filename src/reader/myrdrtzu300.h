#pragma once

#include "reader/myrdrtzu700.h"

// The smaller long-range access reader: LED and antenna signal settings of
// its own, a different block 1 and no text lines for block 16.
class MyRdrTZU300 : public MyRdrTZU700
{
    Q_OBJECT
public:
    explicit MyRdrTZU300(const ReaderSettings &settings, QObject *parent = nullptr);
};
