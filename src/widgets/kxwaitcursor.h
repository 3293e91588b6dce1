#pragma once

#include <QApplication>

// The wait cursor for as long as a piece of work blocks the interface; it
// goes again on every way out of the scope.
class KxWaitCursor
{
public:
    KxWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~KxWaitCursor() { QApplication::restoreOverrideCursor(); }
    KxWaitCursor(const KxWaitCursor &) = delete;
    KxWaitCursor &operator=(const KxWaitCursor &) = delete;
};
