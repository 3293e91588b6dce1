#pragma once

#include "reader/readertask.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// A reader command started from a view or dialog. The work runs on a
// ReaderTask's thread while the wait cursor shows and the owner is disabled,
// so nothing can be clicked twice; done continues on the interface thread
// once the cursor and the owner are back. A start while a command runs is
// refused. Destroying the owner meanwhile waits for the work (the reader
// time-outs bound it) and drops done.
class KxReaderRun : public QObject
{
    Q_OBJECT
public:
    explicit KxReaderRun(QWidget *owner);
    ~KxReaderRun() override;

    // False, with nothing started, while a command runs.
    bool start(std::function<void()> work, std::function<void()> done);
    bool isRunning() const { return m_task.isRunning(); }

private:
    void release();

    QWidget *m_owner;
    ReaderTask m_task;
    bool m_cursorSet = false;
    bool m_lockOwner = false;
    // Given back when the owner is enabled again.
    QPointer<QWidget> m_focus;
};
