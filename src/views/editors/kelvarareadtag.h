#pragma once

#include "db/transponderidd.h"
#include "reader/readersettings.h"

#include <QObject>

#include <functional>

class KxReaderRun;
class QWidget;

// Reading the transponder on the desk reader chosen in the general settings,
// with the message boxes the operator sees when that fails. The read runs on
// a thread of its own while the owner is disabled.
class KelvaraReadTag : public QObject
{
    Q_OBJECT

public:
    explicit KelvaraReadTag(QWidget *owner);

    using Got = std::function<void(const TransponderIdd &transponder)>;
    // Starts the read; got runs with the identifier, widened to the project's
    // length of the range. False after telling the operator why it cannot
    // start (nothing configured, a type that cannot read tags), and while a
    // read runs. A failed read tells the reader's error; got does not run.
    bool start(const ReaderSettings &settings, bool longRange, const Got &got);
    bool isRunning() const;

private:
    QWidget *m_owner;
    KxReaderRun *m_run;
};
