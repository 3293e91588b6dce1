#pragma once

#include "db/schemaversion.h"

#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace TestSupport {

// Points HOME (and the runtime folder) at a fresh temporary folder for the
// whole test program, so no test ever reads or writes the real home folder.
// Called by KX_TEST_MAIN before the application object exists.
void isolateHome();
QString isolatedHome();

// A TCP port on 127.0.0.1 that nobody listens on (bound once, then given back).
int unusedLoopbackPort();

// The kind of project the tests of a program run on: a folder project, or
// (where CTest runs the program's "_server" variant, KX_TEST_PROJECT_KIND=server)
// a server project on the run's throw-away PostgreSQL server.
enum class ProjectKind { Folder, Server };
ProjectKind projectKind();
inline bool onServer()
{
    return projectKind() == ProjectKind::Server;
}

// The throw-away server of the test run (scripts/pg-test-server.sh, started
// by test.sh): false with the reason when there is none.
bool serverAvailable(QString *why);
// Skips the test without a server, or fails it where the run must not skip
// (KX_TEST_PG_REQUIRED=1, as in CI).
#define KX_REQUIRE_SERVER()                                                                        \
    do {                                                                                           \
        QString whyNot_;                                                                           \
        if (!TestSupport::serverAvailable(&whyNot_)) {                                             \
            if (qEnvironmentVariableIsSet("KX_TEST_PG_REQUIRED"))                                  \
                QFAIL(qPrintable(whyNot_));                                                        \
            QSKIP(qPrintable(whyNot_));                                                            \
        }                                                                                          \
    } while (false)

// A fresh database on the test server (dropped again with the object), and
// statements on it as the server's superuser, bypassing every grant.
class ServerDatabase
{
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase &) = delete;
    ServerDatabase &operator=(const ServerDatabase &) = delete;
    bool isValid() const { return !m_name.isEmpty(); }
    QString name() const { return m_name; }
    // Writes the folder's connection file for `user` (empty: the superuser).
    bool writeConnectionFile(const QString &projectFolder, const QString &user = QString()) const;
    // A login role in one of the three groups, without password (the test
    // server trusts its socket).
    bool addOperator(const QString &user, const QString &role) const;
    // A statement on the database as the superuser, bypassing every grant.
    bool exec(const QString &statement) const;

private:
    QString m_name;
};

// A project folder with a freshly created database, removed afterwards: a
// database file, or on the server kind a database of its own with the
// roles granted.
class TempProject
{
public:
    explicit TempProject(const QString &name = QStringLiteral("Plant"),
                         ProjectKind kind = projectKind());
    bool isValid() const { return m_valid; }
    QString folder() const { return m_folder; }
    QString databasePath() const { return m_databasePath; }
    // The server database of a server project, else null.
    ServerDatabase *server() const { return m_server.get(); }

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_databasePath;
    bool m_valid = false;
    std::unique_ptr<ServerDatabase> m_server;
};

// Overwrites a leaf page of the table's tree with bytes no page has, as a
// failing disk sector would: SQLite meets it only when a read reaches it.
// False when the table has a single page (too small to damage only a part).
bool damageTablePage(const QString &databasePath, const QString &table);

// A schema step of the tests' own, after every step of the product (from
// SchemaVersion::current() without it): it adds the table "kx_test_step". A failing one breaks on
// its second statement; a pausing one writes the file `pauseMarker` and then sleeps, so a test can
// kill the process in the middle of an upgrade.
enum class TestStep { Plain, Failing, Pausing };
SchemaVersion::Step testSchemaStep(TestStep kind, const QString &pauseMarker = QString());

// Every file below the folder (hidden ones too) with its size, modification
// time and content hash: equal fingerprints mean nothing was written.
QString folderFingerprint(const QString &folder);

} // namespace TestSupport

#define KX_TEST_MAIN_IMPL(TestObject, AppClass)                                                    \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::isolateHome();                                                                \
        AppClass app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// Qt Test main for tests without widgets.
#define KX_TEST_MAIN(TestObject) KX_TEST_MAIN_IMPL(TestObject, QCoreApplication)

// Qt Test main for widget tests (include <QApplication> and link Qt5::Widgets).
#define KX_TEST_GUI_MAIN(TestObject) KX_TEST_MAIN_IMPL(TestObject, QApplication)
