#include "reader/myrdrtzu300.h"

#include "reader/readertypes.h"

MyRdrTZU300::MyRdrTZU300(const ReaderSettings &settings, QObject *parent)
    : MyRdrTZU700(settings, ReaderTypes::TZU300, parent)
{
}
