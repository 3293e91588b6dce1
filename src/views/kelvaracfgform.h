#pragma once

#include <QWidget>

// A reader settings form: edits the reader settings text of one reader type
// ("Key=value;Key=value"). The entry dialog shows the form of the entry's
// type and stores what settingsText() gives.
class KelvaraCfgForm : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The form of a reader type, or nullptr for a type without reader settings.
    static KelvaraCfgForm *create(int readerType, QWidget *parent = nullptr);

    virtual int readerType() const = 0;
    virtual QString settingsText() const = 0;
    virtual void loadSettings(const QString &settingsText) = 0;
};
