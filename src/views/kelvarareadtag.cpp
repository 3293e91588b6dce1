#include "views/kelvarareadtag.h"

#include "core/errortext.h"
#include "reader/readerfactory.h"
#include "reader/readertypes.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>

bool KelvaraReadTag::readTag(const ReaderSettings &settings, bool longRange,
                             TransponderIdd *transponder, QWidget *parent)
{
    // The wait below keeps the window alive; a second click must not start a
    // second command on the same reader.
    static bool reading = false;
    if (reading)
        return false;

    const ReaderFactory::ProgrammerReader programmer = ReaderFactory::parseProgrammerReader(
        longRange ? settings.uhfProgrammerReader : settings.hfProgrammerReader);
    if (programmer.type == 0 || programmer.deviceId == 0) {
        KxMessageBox::critical(parent, tr("Read Tag"),
                               tr("No reader configured for reading tags.\n"
                                  "Please check your settings."));
        return false;
    }
    if (ReaderFactory::readTagCommand(programmer.type) == 0) {
        KxMessageBox::critical(parent, tr("Read Tag"), tr("Unsupported reader type"));
        return false;
    }

    reading = true;
    TransponderIdd idd;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ErrorInfo result = ReaderFactory::readTag(settings, longRange, &idd);
    QApplication::restoreOverrideCursor();
    reading = false;
    if (!result.ok()) {
        KxMessageBox::critical(parent,
                               tr("Read tag '%1' '%2'")
                                   .arg(ReaderTypes::readerTypeName(programmer.type),
                                        QStringLiteral("%1")
                                            .arg(programmer.deviceId, 8, 16, QLatin1Char('0'))
                                            .toUpper()),
                               errorText(result));
        return false;
    }
    *transponder = idd;
    return true;
}
