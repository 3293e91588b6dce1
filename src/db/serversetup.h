#pragma once

#include "db/serverconnection.h"

#include <QCoreApplication>
#include <QString>

// Making a project on a database server: the empty database it goes into,
// the schema with the operator roles, and the project folder a workstation
// opens it through.
class ServerSetup
{
    Q_DECLARE_TR_FUNCTIONS(ServerSetup)

public:
    // Whether the connection file's database holds no table in its current
    // schema; false (with the reason) when the server cannot be asked.
    static bool isEmpty(const QString &connectionFile, bool *empty, QString *error);

    // Builds a project on the empty database: the schema, the three group
    // roles and their grants. `version` 0 makes a new project at this
    // program's version with the settings a new project starts with; a
    // version of its own makes the bare schema of that version (no settings)
    // for a copy to fill. All or nothing: on a failure what was made is
    // removed again.
    static bool init(const QString &connectionFile, QString *error, int version = 0);

    // Drops every table of the current schema and our functions: undoes
    // init() on a database that was empty before it.
    static bool remove(const QString &connectionFile, QString *error);

    // A new project folder for the server project: the connection file and
    // the local log/ and data/ folders. The folder must not exist yet.
    static bool writeProjectFolder(const QString &folder, const ServerConnection &connection,
                                   QString *error);
};
