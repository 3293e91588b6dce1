#include "views/functions/kxreaderrun.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

KxReaderRun::KxReaderRun(QWidget *owner) : QObject(owner), m_owner(owner), m_locked({owner}) {}

KxReaderRun::~KxReaderRun()
{
    // The owner is going (this is its child): only the cursor is put back.
    if (m_cursorSet)
        QApplication::restoreOverrideCursor();
}

void KxReaderRun::setLocked(const QList<QWidget *> &widgets)
{
    m_locked.clear();
    for (QWidget *w : widgets)
        m_locked << w;
}

bool KxReaderRun::start(std::function<void()> work, std::function<void()> done)
{
    if (m_task.isRunning())
        return false;
    m_focus = m_owner->window()->focusWidget();
    m_disabled.clear();
    for (const QPointer<QWidget> &w : qAsConst(m_locked)) {
        // A widget disabled on purpose stays so afterwards.
        if (w && !w->testAttribute(Qt::WA_ForceDisabled)) {
            w->setEnabled(false);
            m_disabled << w;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursorSet = true;
    return m_task.start(std::move(work), [this, done = std::move(done)] {
        release();
        if (done)
            done();
    });
}

bool KxReaderRun::runningBelow(const QObject *root)
{
    const QList<KxReaderRun *> runs = root->findChildren<KxReaderRun *>();
    return std::any_of(runs.cbegin(), runs.cend(),
                       [](const KxReaderRun *run) { return run->isRunning(); });
}

void KxReaderRun::release()
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    for (const QPointer<QWidget> &w : qAsConst(m_disabled))
        if (w)
            w->setEnabled(true);
    m_disabled.clear();
    if (m_focus && m_focus->isEnabled())
        m_focus->setFocus();
}
