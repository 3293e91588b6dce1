#include "views/kxreaderrun.h"

#include <QApplication>
#include <QWidget>

KxReaderRun::KxReaderRun(QWidget *owner) : QObject(owner), m_owner(owner) {}

KxReaderRun::~KxReaderRun()
{
    // The owner is going (this is its child): only the cursor is put back.
    if (m_cursorSet)
        QApplication::restoreOverrideCursor();
}

bool KxReaderRun::start(std::function<void()> work, std::function<void()> done)
{
    if (m_task.isRunning())
        return false;
    m_focus = m_owner->focusWidget();
    // An owner disabled on purpose stays so afterwards.
    m_lockOwner = !m_owner->testAttribute(Qt::WA_ForceDisabled);
    if (m_lockOwner)
        m_owner->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursorSet = true;
    return m_task.start(std::move(work), [this, done = std::move(done)] {
        release();
        if (done)
            done();
    });
}

void KxReaderRun::release()
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    if (m_lockOwner)
        m_owner->setEnabled(true);
    if (m_focus && m_focus->isEnabled())
        m_focus->setFocus();
}
