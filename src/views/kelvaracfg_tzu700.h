#pragma once

#include "views/kelvaracfgform.h"

// Settings form of the long-range access readers: type 101 or, with other
// labels and the LED controls, type 863.
class KelvaraCfg_TZU700 : public KelvaraCfgForm
{
    Q_OBJECT
public:
    explicit KelvaraCfg_TZU700(int readerType, QWidget *parent = nullptr);

    int readerType() const override;
    QString settingsText() const override;
    void loadSettings(const QString &settingsText) override;

private:
    int m_readerType;
};
