#include "widgets/readerfirmwarecheck.h"

#include "reader/readertypes.h"
#include "widgets/kxmessagebox.h"

#include <QCoreApplication>

bool confirmReaderFirmware(QWidget *parent, int readerType, const QString &availableVersion)
{
    const QString required = ReaderTypes::requiredFirmware(readerType);
    if (required.isEmpty() || ReaderTypes::firmwareAtLeast(availableVersion, required))
        return true;
    KxMessageBox::critical(
        parent, QCoreApplication::translate("ReaderFirmware", "Wrong Firmware Version"),
        QCoreApplication::translate("ReaderFirmware",
                                    "The available reader firmware version is '%1'\nThe required "
                                    "version is '%2'\n\nPlease perform a firmware update.")
            .arg(ReaderTypes::normalizedFirmware(availableVersion),
                 ReaderTypes::normalizedFirmware(required)));
    return false;
}
