#pragma once

#include <QSqlError>
#include <QString>
#include <QStringList>

#include <memory>

class KelvaraFunctionThread;
class QObject;
struct ProjectParameters;

// The reader functions the window and kelvara-cli run over a list of
// entries: one code each (the window's menus and the projects' habits know
// them), its name on the command line, its title and the worker that runs it.
namespace ReaderFunction {

enum Function {
    UpdateAccess = 0,
    ReadAccess = 1,
    ImportTransponder = 2,
    ReadEvents = 3,
    SetDateTime = 4,
    WriteConfig = 5,
    // Compares each reader's tables with the database and marks those that
    // differ; kelvara-cli has a command of its own for it.
    VerifyReader = 6,
};

bool isFunction(int function);
// "update", "read-access", ...; empty for an unknown code and for a function
// that "kelvara-cli run" does not take.
QString commandName(int function);
// The names "kelvara-cli run" takes, in code order.
QStringList commandNames();
// The function of a command name, -1 for none.
int byCommandName(const QString &name);
// "Update Access Configuration", ... (translated); "???" for an unknown code.
QString title(int function);

// The worker of the function, not started; the update reads the upcoming
// holidays of the project first. Null for an unknown code, or with *error
// set when the holidays cannot be read.
std::unique_ptr<KelvaraFunctionThread> createThread(int function, const ProjectParameters &project,
                                                    QSqlError *error, QObject *parent = nullptr);

} // namespace ReaderFunction
