#pragma once

#include <QMap>
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

    // The longest blocking time the readers keep (tenths of a second in 16 bits).
    static constexpr int MaxBlockingMinutes = 109;
    // What "ValidTime" holds while the timed anti-passback is off.
    static constexpr double UntimedValidTime = 5.5;

protected:
    // key -> value of a settings text, read with the reader's own rules.
    static QMap<QString, QString> settingsMap(const QString &settingsText);
    // "900.0": one digit after the point, whatever the locale.
    static QString decimalText(double value);
    // A stored decimal, or fallback when it does not parse.
    static double decimalValue(const QMap<QString, QString> &map, const QString &key,
                               double fallback);
    // A stored integer, or fallback when it does not parse.
    static int integerValue(const QMap<QString, QString> &map, const QString &key, int fallback);
    // Blocking minutes of a stored "ValidTime": round(seconds / 60), 0 when off or unreadable.
    static int blockingMinutes(const QMap<QString, QString> &map);
};
