// kelvara-cli project: the project settings, changed as the window's project
// settings change them.
#include "cli/kelvaracli.h"

#include "db/projectparameters.h"
#include "db/selectionmask.h"

#include <QTimeZone>

namespace {

// The settings by the names the options of "project change" take.
struct Setting
{
    const char *name;
    const char *key; // json
};
const Setting Settings[] = {
    {"short-range", "shortRange"},
    {"iso15693", "iso15693"},
    {"hf-length", "hfIdentifierLength"},
    {"long-range", "longRange"},
    {"uhf-length", "uhfIdentifierLength"},
    {"uhf-mask1", "uhfMask1"},
    {"uhf-mask2", "uhfMask2"},
    {"uhf-mask3", "uhfMask3"},
    {"relay-hold-time", "relayHoldTime"},
    {"time-zone", "timeZone"},
    {"keep-events", "keepEventsDays"},
};
constexpr int SettingCount = int(sizeof Settings / sizeof Settings[0]);

QVariantList settingValues(const ProjectParameters &p)
{
    return {p.haveHfReader,
            p.supportIso15693,
            p.hfIddLength,
            p.haveUhfReader,
            p.uhfIddLength,
            p.uhfSelectionMask1.toHex(),
            p.uhfSelectionMask2.toHex(),
            p.uhfSelectionMask3.toHex(),
            p.defaultRelaisHoldTime,
            p.siteTimeZone,
            p.keepEventsDays};
}

// As people read and type them: on/off, numbers, hex masks, a zone or "computer".
QString settingText(const QVariant &value, int index)
{
    if (value.type() == QVariant::Bool)
        return value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    if (index == 8)
        return QString::number(value.toDouble(), 'f', 1);
    if (index == 9 && value.toString().isEmpty())
        return QStringLiteral("computer");
    return value.toString();
}

// Reads one "--NAME VALUE" into the parameters; false when the value does not read.
bool readSetting(int index, const QString &text, ProjectParameters &p)
{
    bool *flags[] = {&p.haveHfReader, &p.supportIso15693, nullptr, &p.haveUhfReader};
    SelectionMask *masks[] = {&p.uhfSelectionMask1, &p.uhfSelectionMask2, &p.uhfSelectionMask3};
    bool ok = true;
    switch (index) {
    case 0:
    case 1:
    case 3:
        ok = text == QLatin1String("on") || text == QLatin1String("off");
        *flags[index] = text == QLatin1String("on");
        return ok;
    case 2:
        p.hfIddLength = text.toInt(&ok);
        return ok;
    case 4:
        p.uhfIddLength = text.toInt(&ok);
        return ok;
    case 5:
    case 6:
    case 7:
        if (text == QLatin1String("none")) {
            masks[index - 5]->reset();
            return true;
        }
        return !text.isEmpty() && SelectionMask::fromHex(text, masks[index - 5]);
    case 8:
        p.defaultRelaisHoldTime = text.toDouble(&ok);
        return ok;
    case 9:
        p.siteTimeZone = text == QLatin1String("computer") ? QString() : text;
        return true;
    default:
        p.keepEventsDays = text.toInt(&ok);
        return ok;
    }
}

} // namespace

int KelvaraCli::projectSettings(QStringList arguments)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == QLatin1String("copy"))
        return copyProject(arguments);
    if (command != QLatin1String("list") && command != QLatin1String("show") &&
        command != QLatin1String("change"))
        return usageError(tr("project takes a subcommand: list, show, change or copy."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (command == QLatin1String("change")) {
        ProjectParameters next = m_project;
        bool any = false;
        bool lengthGiven = false;
        for (int i = 0; i < SettingCount; ++i) {
            const QString option = QStringLiteral("--") + QLatin1String(Settings[i].name);
            QString text;
            bool present = false;
            if (!takeOption(arguments, option, text, present, exitCode))
                return exitCode;
            if (present && !readSetting(i, text, next))
                return refused(tr("%1: '%2' does not read; see kelvara-cli project list for the "
                                  "values it takes.")
                                   .arg(option, text));
            any = any || present;
            lengthGiven = lengthGiven || (present && i == 2);
        }
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        if (!any)
            return usageError(tr("project change needs a setting to change."));
        // ISO 15693 brings its 8 bytes along, unless a length was asked for.
        if (!lengthGiven)
            ProjectParameters::completeSettings(next);
        bool widened = false;
        const QSqlError error = m_project.saveSettings(next, &widened);
        if (error.isValid())
            return saveFailure(error);
        return done(widened ? tr("Project settings changed; the short range identifiers were "
                                 "widened to %n bytes.",
                                 nullptr, m_project.hfIddLength)
                            : tr("Project settings changed."));
    }

    CliTable::Format format = CliTable::Text;
    QString only;
    if (!takeFormat(arguments, format, exitCode))
        return exitCode;
    if (command == QLatin1String("show") && !arguments.isEmpty())
        only = arguments.takeFirst();
    if (!noneLeft(arguments, exitCode))
        return exitCode;
    const QVariantList values = settingValues(m_project);
    if (command == QLatin1String("list")) {
        CliTable table(
            QStringLiteral("settings"), QStringLiteral("setting"),
            {{QStringLiteral("setting"), tr("Setting")}, {QStringLiteral("value"), tr("Value")}});
        for (int i = 0; i < SettingCount; ++i)
            table.addRow({QLatin1String(Settings[i].name), settingText(values.at(i), i)});
        return printList(table, format);
    }
    QList<CliTable::Column> columns;
    QVariantList shown;
    for (int i = 0; i < SettingCount; ++i) {
        if (!only.isEmpty() && only != QLatin1String(Settings[i].name))
            continue;
        columns << CliTable::Column{QLatin1String(Settings[i].key),
                                    QLatin1String(Settings[i].name)};
        shown << (format == CliTable::Text ? QVariant(settingText(values.at(i), i)) : values.at(i));
    }
    if (columns.isEmpty())
        return refused(tr("There is no setting '%1'; see kelvara-cli project list.").arg(only));
    CliTable table(QStringLiteral("projects"), QStringLiteral("project"), columns);
    table.addRow(shown);
    // One setting asked for in text: its value alone, for a script's variable.
    if (!only.isEmpty() && format == CliTable::Text) {
        m_out << shown.first().toString() << '\n';
        m_out.flush();
        return Success;
    }
    return printRecord(table, format);
}
