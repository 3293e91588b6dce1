#include "widgets/kxformline.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

QLineEdit *addLabelledLine(QWidget *parent, QVBoxLayout *layout, const QString &label,
                           const char *name, QHBoxLayout *row)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(255);
    auto *text = new QLabel(label, parent);
    text->setBuddy(edit);
    layout->addWidget(text);
    if (row) {
        row->addWidget(edit, 1);
        layout->addLayout(row);
    } else {
        layout->addWidget(edit);
    }
    return edit;
}
