#include "views/editors/kelvarareadtag.h"

#include "core/errortext.h"
#include "reader/readerfactory.h"
#include "reader/readertypes.h"
#include "views/functions/kxreaderrun.h"
#include "widgets/kxmessagebox.h"

#include <QWidget>

#include <memory>

KelvaraReadTag::KelvaraReadTag(QWidget *owner)
    : QObject(owner), m_owner(owner), m_run(new KxReaderRun(owner))
{
}

bool KelvaraReadTag::isRunning() const
{
    return m_run->isRunning();
}

bool KelvaraReadTag::start(const ReaderSettings &settings, bool longRange, const Got &got)
{
    // A second click must not start a second command on the same reader.
    if (isRunning())
        return false;
    const ReaderFactory::ProgrammerReader programmer = ReaderFactory::parseProgrammerReader(
        longRange ? settings.uhfProgrammerReader : settings.hfProgrammerReader);
    if (programmer.type == 0 || programmer.deviceId == 0) {
        KxMessageBox::critical(m_owner, tr("Read Tag"),
                               tr("No reader configured for reading tags.\n"
                                  "Please check your settings."));
        return false;
    }
    if (ReaderFactory::readTagCommand(programmer.type) == 0) {
        KxMessageBox::critical(m_owner, tr("Read Tag"), tr("Unsupported reader type"));
        return false;
    }
    struct Read
    {
        ErrorInfo result;
        TransponderIdd idd;
    };
    const auto read = std::make_shared<Read>();
    return m_run->start(
        [read, settings, longRange] {
            read->result = ReaderFactory::readTag(settings, longRange, &read->idd);
        },
        [this, read, programmer, got] {
            if (!read->result.ok()) {
                KxMessageBox::critical(
                    m_owner,
                    tr("Read tag '%1' '%2'")
                        .arg(ReaderTypes::readerTypeName(programmer.type),
                             QStringLiteral("%1")
                                 .arg(programmer.deviceId, 8, 16, QLatin1Char('0'))
                                 .toUpper()),
                    errorText(read->result));
                return;
            }
            if (got)
                got(read->idd);
        });
}
