#include "widgets/kelvaratablecellcheckbox.h"

KelvaraTableCellCheckBox::KelvaraTableCellCheckBox(int row, int column, const QString &text,
                                                   QWidget *parent)
    : QCheckBox(text, parent), m_row(row), m_column(column), m_text(text)
{
    connect(this, &QCheckBox::stateChanged, this, &KelvaraTableCellCheckBox::cellChanged);
}

void KelvaraTableCellCheckBox::cellChanged(int state)
{
    emit cellStateChanged(m_row, m_column, state == Qt::Checked);
}
