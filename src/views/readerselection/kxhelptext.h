#pragma once

#include <QString>
#include <QWidget>

// What's-This always; the same text as tooltip only while tooltips are on.
inline void kxSetHelpText(QWidget *widget, const QString &text, bool toolTips)
{
    widget->setWhatsThis(text);
    widget->setToolTip(toolTips ? text : QString());
}
