#pragma once

#include "functions/kelvarafunctionthread.h"

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QString>

struct ReaderTableContent;

// Verify Reader: reads each reader's tables back into memory and compares
// them with what the database compiles now. Done means in sync, Differs
// that an update would change what the reader decides. With the mark flag a
// differing entry is marked as needing an update; a mark is never cleared here.
class KelvaraVerifyThread : public KelvaraFunctionThread
{
    Q_OBJECT

public:
    KelvaraVerifyThread(const ProjectParameters &project, bool mark, QObject *parent = nullptr);

    // The day holidays are counted from; today when not set.
    void setToday(const QDate &today) { m_today = today; }
    // What was found for an entry (its entryKey): the differences, or the
    // reason it could not be verified; empty when in sync or not reached.
    QString reasonOf(const QString &entryKey) const;

protected:
    QString logFolderName() const override { return QStringLiteral("verify-reader"); }
    int processEntry(const EntryTarget &entry) override;

private:
    int differs(const EntryTarget &entry, const QString &reason);
    void keepReason(const EntryTarget &entry, const QString &reason);
    // Names the reader's identifiers no right of this entry explains, as far as users hold them.
    void nameExtras(const EntryTarget &entry, ReaderTableContent &reader,
                    const ReaderTableContent &expected) const;

    bool m_mark = false;
    QDate m_today;
    mutable QMutex m_mutex;
    QHash<QString, QString> m_reasons;
};
