#include "core/applicationsettings.h"

#include "core/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

bool readBool(const QSettings &s, const QString &key, bool fallback)
{
    const QVariant v = s.value(key);
    if (v.type() == QVariant::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

int readInt(const QSettings &s, const QString &key, int fallback)
{
    bool ok = false;
    const int value = s.value(key).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QString readString(const QSettings &s, const QString &key)
{
    const QVariant v = s.value(key);
    return v.canConvert<QString>() ? v.toString() : QString();
}

QRect readRect(const QSettings &s, const QString &key, const QRect &fallback)
{
    const QVariant v = s.value(key);
    if (v.type() != QVariant::Rect)
        return fallback;
    const QRect r = v.toRect();
    return r.isValid() ? r : fallback;
}

QList<int> readIntList(const QSettings &s, const QString &key)
{
    QList<int> list;
    const QVariant v = s.value(key);
    QStringList items;
    if (v.type() == QVariant::StringList || v.type() == QVariant::List)
        items = v.toStringList();
    else if (!v.toString().isEmpty())
        items << v.toString();
    for (const QString &item : qAsConst(items)) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok)
            return {};
        list << n;
    }
    return list;
}

QVariantList toVariantList(const QList<int> &list)
{
    QVariantList out;
    for (int n : list)
        out << n;
    return out;
}

} // namespace

void ApplicationSettings::loadSettings()
{
    loadSettings(settingsFilePath());
}

void ApplicationSettings::loadSettings(const QString &filePath)
{
    *this = ApplicationSettings();
    if (!QFileInfo(filePath).isReadable())
        return;
    const QSettings s(filePath, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return;
    currentProjectPath = readString(s, QStringLiteral("CurrentProjectPath"));
    isMaximized = readBool(s, QStringLiteral("MainWindow.IsMaximized"), isMaximized);
    mainWindowGeometry = readRect(s, QStringLiteral("MainWindow.Geometry"), mainWindowGeometry);
    areToolTipsOn = readBool(s, QStringLiteral("MainWindow.AreToolTipsOn"), areToolTipsOn);
    hfProgrammerReader = readString(s, QStringLiteral("GeneralSettingsDialog.HF.PRdr"));
    uhfProgrammerReader = readString(s, QStringLiteral("GeneralSettingsDialog.UHF.PRdr"));
    uhfRegion = readInt(s, QStringLiteral("GeneralSettingsDialog.UHF.Region"), uhfRegion);
    parallelEntries =
        readInt(s, QStringLiteral("GeneralSettingsDialog.ParallelEntries"), parallelEntries);
    if (parallelEntries < 1 || parallelEntries > MaxParallelEntries)
        parallelEntries = ApplicationSettings().parallelEntries;
    readEventsBeforeUpdate = readBool(s, QStringLiteral("GeneralSettingsDialog.ReadEventsFirst"),
                                      readEventsBeforeUpdate);
    recentProjects = s.value(QStringLiteral("MainWindow.RecentProjects")).toStringList();

    struct RectKey
    {
        const char *key;
        QRect ApplicationSettings::*field;
    };
    static const RectKey rects[] = {
        {"EditUserDialog.Geometry", &ApplicationSettings::editUserDialogGeometry},
        {"EditDoorDialog.Geometry", &ApplicationSettings::editDoorDialogGeometry},
        {"EditTimeModelDialog.Geometry", &ApplicationSettings::editTimeModelDialogGeometry},
        {"EditHolidaysDialog.Geometry", &ApplicationSettings::editHolidaysDialogGeometry},
        {"EditHolidayDateDialog.Geometry", &ApplicationSettings::editHolidayDateDialogGeometry},
        {"FunctionDialog.Geometry", &ApplicationSettings::functionDialogGeometry},
        {"FunctionLogWindow.Geometry", &ApplicationSettings::functionLogWindowGeometry},
        {"SelectReaderDialog.Geometry", &ApplicationSettings::selectReaderDialogGeometry},
        {"GeneralSettingsDialog.Geometry", &ApplicationSettings::generalSettingsDialogGeometry},
        {"ProjectSettingsDialog.Geometry", &ApplicationSettings::projectSettingsDialogGeometry},
    };
    for (const RectKey &r : rects)
        this->*r.field = readRect(s, QLatin1String(r.key), this->*r.field);

    usersTableColWidth = readIntList(s, QStringLiteral("UsersTable.ColWidth"));
    eventsTableColWidth = readIntList(s, QStringLiteral("EventsTable.ColWidth"));
    doorsTableColWidth = readIntList(s, QStringLiteral("DoorsTable.ColWidth"));
    timesTableColWidth = readIntList(s, QStringLiteral("TimesTable.ColWidth"));
    holidaysTableColWidth = readIntList(s, QStringLiteral("HolidaysTable.ColWidth"));
    functionTableColWidth = readIntList(s, QStringLiteral("FunctionTable.ColWidth"));
}

bool ApplicationSettings::saveSettings() const
{
    return saveSettings(settingsFilePath());
}

bool ApplicationSettings::saveSettings(const QString &filePath) const
{
    if (currentProjectPath.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSettings s(filePath, QSettings::IniFormat);
    s.clear();
    s.setValue(QStringLiteral("CurrentProjectPath"), currentProjectPath);
    s.setValue(QStringLiteral("MainWindow.IsMaximized"), isMaximized);
    if (!isMaximized)
        s.setValue(QStringLiteral("MainWindow.Geometry"), mainWindowGeometry);
    s.setValue(QStringLiteral("MainWindow.AreToolTipsOn"), areToolTipsOn);
    s.setValue(QStringLiteral("GeneralSettingsDialog.HF.PRdr"), hfProgrammerReader);
    s.setValue(QStringLiteral("GeneralSettingsDialog.UHF.PRdr"), uhfProgrammerReader);
    s.setValue(QStringLiteral("GeneralSettingsDialog.UHF.Region"), uhfRegion);
    s.setValue(QStringLiteral("GeneralSettingsDialog.ParallelEntries"), parallelEntries);
    s.setValue(QStringLiteral("GeneralSettingsDialog.ReadEventsFirst"), readEventsBeforeUpdate);
    s.setValue(QStringLiteral("MainWindow.RecentProjects"), recentProjects);
    s.setValue(QStringLiteral("EditUserDialog.Geometry"), editUserDialogGeometry);
    s.setValue(QStringLiteral("EditDoorDialog.Geometry"), editDoorDialogGeometry);
    s.setValue(QStringLiteral("EditTimeModelDialog.Geometry"), editTimeModelDialogGeometry);
    s.setValue(QStringLiteral("EditHolidaysDialog.Geometry"), editHolidaysDialogGeometry);
    s.setValue(QStringLiteral("EditHolidayDateDialog.Geometry"), editHolidayDateDialogGeometry);
    s.setValue(QStringLiteral("FunctionDialog.Geometry"), functionDialogGeometry);
    s.setValue(QStringLiteral("FunctionLogWindow.Geometry"), functionLogWindowGeometry);
    s.setValue(QStringLiteral("SelectReaderDialog.Geometry"), selectReaderDialogGeometry);
    s.setValue(QStringLiteral("GeneralSettingsDialog.Geometry"), generalSettingsDialogGeometry);
    s.setValue(QStringLiteral("ProjectSettingsDialog.Geometry"), projectSettingsDialogGeometry);
    s.setValue(QStringLiteral("UsersTable.ColWidth"), toVariantList(usersTableColWidth));
    s.setValue(QStringLiteral("EventsTable.ColWidth"), toVariantList(eventsTableColWidth));
    s.setValue(QStringLiteral("DoorsTable.ColWidth"), toVariantList(doorsTableColWidth));
    s.setValue(QStringLiteral("TimesTable.ColWidth"), toVariantList(timesTableColWidth));
    s.setValue(QStringLiteral("HolidaysTable.ColWidth"), toVariantList(holidaysTableColWidth));
    s.setValue(QStringLiteral("FunctionTable.ColWidth"), toVariantList(functionTableColWidth));
    s.sync();
    return s.status() == QSettings::NoError;
}
