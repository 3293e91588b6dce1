#pragma once

#include "reader/readertask.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// A reader command started from a view or dialog. The work runs on a
// ReaderTask's thread while the wait cursor shows and the owner (or the
// widgets named with setLocked) is disabled, so nothing can be clicked twice;
// done continues on the interface thread once the cursor and the widgets are
// back. A start while a command runs is refused. Destroying the owner
// meanwhile waits for the work (the reader time-outs bound it) and drops done.
class KxReaderRun : public QObject
{
    Q_OBJECT
public:
    explicit KxReaderRun(QWidget *owner);
    ~KxReaderRun() override;

    // The widgets disabled while a command runs, instead of the whole owner.
    void setLocked(const QList<QWidget *> &widgets);

    // False, with nothing started, while a command runs.
    bool start(std::function<void()> work, std::function<void()> done);
    bool isRunning() const { return m_task.isRunning(); }
    // Whether a command of a run below root runs (a dialog with panels that
    // start their own refuses to close meanwhile).
    static bool runningBelow(const QObject *root);

private:
    void release();

    QWidget *m_owner;
    QList<QPointer<QWidget>> m_locked;
    // Those of m_locked that this run disabled.
    QList<QPointer<QWidget>> m_disabled;
    ReaderTask m_task;
    bool m_cursorSet = false;
    // Given back when the widgets are enabled again.
    QPointer<QWidget> m_focus;
};
