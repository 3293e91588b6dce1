#include "widgets/kxsizing.h"

#include "core/windowplacement.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>

int kxColumnWidth(const QTableWidget *table, int column, int stored, int fallback)
{
    const QTableWidgetItem *head = table->horizontalHeaderItem(column);
    // Room for the margins and a sort marker beside the text.
    const int fitting =
        head ? table->horizontalHeader()->fontMetrics().horizontalAdvance(head->text()) + 20 : 0;
    return qMax(stored > 0 ? stored : fallback, fitting);
}

void kxPlaceDialog(QWidget *dialog, const QSize &stored, bool keepStoredSize)
{
    QSize size = stored.isValid() ? stored : dialog->sizeHint();
    if (!keepStoredSize)
        size = size.expandedTo(dialog->sizeHint());
    size = size.expandedTo(dialog->minimumSize()).boundedTo(dialog->maximumSize());
    const QWidget *owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    const QScreen *screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    QRect rect(QPoint(), size.boundedTo(area.size()));
    rect.moveCenter(owner && owner->isVisible() ? owner->geometry().center() : area.center());
    dialog->setGeometry(WindowPlacement::fitIntoArea(rect, area));
}
