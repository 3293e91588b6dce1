#pragma once

#include <QDialog>

// What the colours, marks and texts of the access board mean.
class KelvaraBoardLegend : public QDialog
{
    Q_OBJECT

public:
    explicit KelvaraBoardLegend(QWidget *parent = nullptr);
};
