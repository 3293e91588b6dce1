#include "widgets/kxsizing.h"

#include <QHeaderView>
#include <QTableWidget>

int kxColumnWidth(const QTableWidget *table, int column, int stored, int fallback)
{
    const QTableWidgetItem *head = table->horizontalHeaderItem(column);
    // Room for the margins and a sort marker beside the text.
    const int fitting =
        head ? table->horizontalHeader()->fontMetrics().horizontalAdvance(head->text()) + 20 : 0;
    return qMax(stored > 0 ? stored : fallback, fitting);
}

