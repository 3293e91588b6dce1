#pragma once

#include <QCheckBox>

// A check box placed into a cell of a QTableWidget that tells which cell it
// sits in when it is toggled.
class KelvaraTableCellCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    KelvaraTableCellCheckBox(int row, int column, const QString &text, QWidget *parent = nullptr);

    int row() const { return m_row; }
    int column() const { return m_column; }
    QString cellText() const { return m_text; }

signals:
    void cellStateChanged(int row, int column, bool isChecked);

public slots:
    void cellChanged(int state);

private:
    int m_row;
    int m_column;
    QString m_text;
};
