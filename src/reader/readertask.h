#pragma once

#include <QObject>

#include <functional>

class QThread;

// Runs one piece of reader work on a thread of its own and continues on the
// thread that started it: `done` runs there, through a queued signal, once
// the work has ended. The window starts reader commands this way and never
// waits for one in a loop; the work calls the readers synchronously.
//
// The work runs to its end whatever happens to the task, so it must own what
// it touches (copies, shared pointers), never members of the starter. Every
// reader step is bounded by its connection's time-out, and so is the work.
class ReaderTask : public QObject
{
    Q_OBJECT
public:
    explicit ReaderTask(QObject *parent = nullptr);
    // Waits for running work (bounded as above); its done is dropped.
    ~ReaderTask() override;

    // Starts the work on a new thread. False, with nothing started, while
    // earlier work runs: a second click cannot start a second command.
    bool start(std::function<void()> work, std::function<void()> done = {});
    // From start until the work has ended; done may start the next work.
    bool isRunning() const { return m_thread != nullptr; }

    // Tasks of this process from start until their done has returned (tests
    // wait for none).
    static int busyCount();

signals:
    // After done has returned.
    void finished();

private:
    void threadFinished();

    QThread *m_thread = nullptr;
    std::function<void()> m_done;
};
