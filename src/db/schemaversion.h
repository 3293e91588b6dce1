#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>

// The schema version of a project database and the steps that carry an older
// one forward. A project is opened only at the version this program writes;
// an older one is upgraded first (with a backup), a newer one is refused
// without being written.
//
// The version is the project row "SchemaVersion". Projects made before that
// row existed carry only "DatabaseVersion" = "0.9.0": they are version 1.
namespace SchemaVersion {

inline const QString Tag = QStringLiteral("SchemaVersion");
// Versions above this are no version at all but a damaged or forged tag.
constexpr int Highest = 9999;

// One step from version N to N + 1: its statements in order, then an
// optional migration of the data, all on the upgrade's one transaction.
struct Step
{
    QString description;
    QStringList statements;
    // False on failure; the query's lastError() (or the message) tells why.
    std::function<bool(QSqlQuery &query, QString *message)> migrate;
    // On a server project: these instead of `statements` where the server's
    // dialect differs beyond what ServerSchema::translate() does.
    QStringList serverStatements = QStringList();
};

// The steps in order: the first carries version 1 to 2.
QList<Step> steps();
// The version this program writes and opens: 1 + the number of steps.
int current();

// Tests add steps of their own after the product's, for the run of the test
// program (an empty list takes them away again).
void setStepsForTest(const QList<Step> &steps);

enum class State {
    Current,
    Older,      // made by an older program: an upgrade opens it
    Newer,      // made by a newer program: never opened, never written
    Invalid,    // a version tag that is no version, or triggers/views not ours
    NotProject, // no file, not a database, or without the marker tag
    Busy,       // locked by another connection
    Unreadable, // the database answered with an error
};

struct Probe
{
    State state = State::NotProject;
    int version = 0; // the database's version, when it has one
    QString detail;  // what is wrong (Invalid), the database's text otherwise
};

// Reads the version on an open connection; with `checkObjects` also refuses
// triggers and views that are not ours (done whenever a project is opened,
// not on every connection).
Probe probe(QSqlQuery &query, bool checkObjects = true);
// Opens the folder's database read-only, so that probing never writes it.
Probe probeFolder(const QString &projectFolder);

// Why a project in this state cannot be opened as it is (empty for Current).
QString message(const Probe &probe);

// Runs the steps from `from` up to `to` (0: current()) on the caller's
// transaction and writes the version. On failure `error` names the step and
// the database's text.
bool applySteps(QSqlQuery &query, int from, QString *error, int to = 0);

} // namespace SchemaVersion
