#include "reader/readertask.h"

#include <QPointer>
#include <QThread>

#include <atomic>

namespace {

std::atomic<int> busyTasks{0};

} // namespace

ReaderTask::ReaderTask(QObject *parent) : QObject(parent) {}

ReaderTask::~ReaderTask()
{
    if (!m_thread)
        return;
    disconnect(m_thread, nullptr, this, nullptr);
    m_thread->wait();
    delete m_thread;
    --busyTasks;
}

bool ReaderTask::start(std::function<void()> work, std::function<void()> done)
{
    if (m_thread)
        return false;
    ++busyTasks;
    m_done = std::move(done);
    m_thread = QThread::create(std::move(work));
    // Emitted on the work's thread: queued to this object's thread.
    connect(m_thread, &QThread::finished, this, &ReaderTask::threadFinished, Qt::QueuedConnection);
    m_thread->start(QThread::InheritPriority);
    return true;
}

int ReaderTask::busyCount()
{
    return busyTasks.load();
}

void ReaderTask::threadFinished()
{
    if (!m_thread)
        return;
    // finished comes just before the thread's end: this wait is short.
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    // Counted until done has returned, even when done ends this task.
    struct Release
    {
        ~Release() { --busyTasks; }
    } release;
    const std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    const QPointer<ReaderTask> alive(this);
    if (done)
        done();
    if (alive)
        emit finished();
}
