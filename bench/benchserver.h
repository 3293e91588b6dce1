#pragma once

// A throw-away database on the PostgreSQL server the environment names
// (KX_TEST_PGHOST, KX_TEST_PGPORT, KX_TEST_PGUSER as scripts/pg-test-server.sh
// prints them; bench/run-server.sh starts one), for the benchmarks' "--server"
// runs: a project folder holding a connection file to a fresh database.
#include "db/serverconnection.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <cstdio>

class BenchServer
{
public:
    ~BenchServer()
    {
        if (!m_name.isEmpty())
            superuser(QStringLiteral("drop database if exists %1 with (force)").arg(m_name));
    }

    static ServerConnection connection(const QString &database)
    {
        ServerConnection c;
        c.host = qEnvironmentVariable("KX_TEST_PGHOST");
        c.port = qEnvironmentVariableIsSet("KX_TEST_PGPORT")
                     ? qEnvironmentVariableIntValue("KX_TEST_PGPORT")
                     : 5432;
        c.user = qEnvironmentVariable("KX_TEST_PGUSER");
        c.database = database;
        c.sslMode = QStringLiteral("disable");
        return c;
    }

    // Makes the database and the folder's connection file; false (and a
    // message on stderr) without a server.
    bool create(const QString &projectFolder)
    {
        if (qEnvironmentVariable("KX_TEST_PGHOST").isEmpty()) {
            std::fprintf(stderr, "--server needs a PostgreSQL server: run through "
                                 "bench/run-server.sh\n");
            return false;
        }
        const QString name = QStringLiteral("kx_bench_%1").arg(QCoreApplication::applicationPid());
        if (!superuser(QStringLiteral("create database %1").arg(name)))
            return false;
        m_name = name;
        return connection(name).write(ServerConnection::filePathForProject(projectFolder), nullptr);
    }

    // psql's arguments for the database, to time the same queries with it.
    QStringList psqlArguments() const
    {
        const ServerConnection c = connection(m_name);
        return {QStringLiteral("-X"), QStringLiteral("-q"),
                QStringLiteral("-h"), c.host,
                QStringLiteral("-p"), QString::number(c.port),
                QStringLiteral("-U"), c.user,
                QStringLiteral("-d"), m_name};
    }

private:
    bool superuser(const QString &statement) const
    {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"),
                                                        QStringLiteral("bench-superuser"));
            connection(QStringLiteral("postgres")).applyTo(db);
            QSqlQuery query(db);
            ok = db.open() && query.exec(statement);
            if (!ok)
                std::fprintf(
                    stderr, "server: %s\n",
                    qPrintable(db.isOpen() ? query.lastError().text() : db.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-superuser"));
        return ok;
    }

    QString m_name;
};
