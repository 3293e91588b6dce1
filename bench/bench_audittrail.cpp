// What the audit trail costs: a board change of 50,000 rights (1,000 users x
// 50 entries: set a time model, change it, remove it) and an import of 5,000
// users, each with and without recording in the same run (medians of
// alternating runs on fresh projects); and opening the history on 1,000,000
// records (the model until its first rows are there, and the whole view).

#include "blockproject.h"
#include "db/audittrail.h"
#include "db/audittrailmodel.h"
#include "db/boardchange.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "userlist/myimportusers.h"
#include "views/lists/kelvarahistory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

struct Times
{
    double wall = 0;
    double cpu = 0;
};

constexpr int kUsers = 1000;
constexpr int kEntries = 50;
constexpr int kImported = 5000;
constexpr int kHistory = 1000000;
constexpr int kRuns = 15;

// Wall time and the process's CPU time: the machine may be shared, and CPU
// time shows the work without the waits for other programs.
struct Stopwatch
{
    QElapsedTimer wall;
    qint64 cpu = 0;
    static qint64 cpuNow()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
    Stopwatch()
    {
        wall.start();
        cpu = cpuNow();
    }
    Times read() const { return {wall.nsecsElapsed() / 1e6, (cpuNow() - cpu) / 1e6}; }
};

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Medians of the runs without and with recording, wall and CPU.
void printFigures(const char *what, const QVector<Times> &off, const QVector<Times> &on)
{
    QVector<double> values[4];
    for (const Times &t : off) {
        values[0] << t.wall;
        values[1] << t.cpu;
    }
    for (const Times &t : on) {
        values[2] << t.wall;
        values[3] << t.cpu;
    }
    const double m[4] = {median(values[0]), median(values[1]), median(values[2]),
                         median(values[3])};
    std::printf("  %-7s without %7.1f ms (cpu %7.1f)   with %7.1f ms (cpu %7.1f)   wall %+5.1f %%  "
                "cpu %+5.1f %%\n",
                what, m[0], m[1], m[2], m[3], 100.0 * (m[2] - m[0]) / m[0],
                100.0 * (m[3] - m[1]) / m[1]);
}

QString newProject(const QTemporaryDir &dir, const QString &name)
{
    const QString folder = dir.filePath(name);
    if (!QDir().mkpath(folder))
        return QString();
    const QString path = ProjectDatabase::databasePathForProject(folder);
    return ProjectSchema::createProjectDatabase(path).isValid() ? QString() : path;
}

// The block unrecorded: only the change measured writes records.
bool fillBlock(const QString &path, QSet<int> &users, QSet<int> &entries, int &second)
{
    AuditTrail::Batch batch;
    return fillBlockProject(path, kUsers, kEntries, users, entries, second);
}

// The three board phases on a fresh project; false on a failure.
bool boardRun(const QTemporaryDir &dir, int run, bool recording, Times times[3])
{
    const QString path = newProject(dir, QStringLiteral("Board%1%2").arg(run).arg(recording));
    QSet<int> users;
    QSet<int> entries;
    int second = 0;
    if (path.isEmpty() || !fillBlock(path, users, entries, second))
        return false;
    AuditTrail::setRecordingForBenchmark(recording);
    const int models[] = {1, second, 0};
    for (int phase = 0; phase < 3; ++phase) {
        const Stopwatch watch;
        BoardChange change;
        QSqlError error = BoardChange::prepare(path, users, entries, models[phase], change);
        if (!error.isValid())
            error = change.apply(path);
        times[phase] = watch.read();
        if (error.isValid() || change.rightCount() != kUsers * kEntries) {
            std::fprintf(stderr, "board change failed: %s\n", qPrintable(error.text()));
            return false;
        }
    }
    AuditTrail::setRecordingForBenchmark(true);
    return true;
}

bool writeUserList(const QString &file)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QTextStream text(&out);
    text << "LastName;FirstName;UserGroup;UserComment;IddIso14443\r\n";
    for (int i = 0; i < kImported; ++i)
        text << QStringLiteral("Family%1;First%2;Group %3;badge %1;%4\r\n")
                    .arg(i, 5, 10, QLatin1Char('0'))
                    .arg(i % 97)
                    .arg(i % 50)
                    .arg(QStringLiteral("%1").arg(0x10000000u + uint(i) * 7919u, 14, 16,
                                                  QLatin1Char('0')));
    text.flush();
    return out.flush() && text.status() == QTextStream::Ok;
}

bool importRun(const QTemporaryDir &dir, const QString &file, int run, bool recording, Times &time)
{
    const QString path = newProject(dir, QStringLiteral("Import%1%2").arg(run).arg(recording));
    if (path.isEmpty())
        return false;
    AuditTrail::setRecordingForBenchmark(recording);
    MyImportUsers in(file);
    in.assignStandardColumns(in.readHeader());
    int imported = 0;
    const Stopwatch watch;
    const QSqlError error = in.importUsers(path, 7, 12, imported);
    time = watch.read();
    AuditTrail::setRecordingForBenchmark(true);
    if (error.isValid() || imported != kImported) {
        std::fprintf(stderr, "import failed (%d users): %s\n", imported, qPrintable(error.text()));
        return false;
    }
    return true;
}

// A trail of kHistory records with a valid chain, written directly.
bool fillHistory(const QString &path)
{
    ProjectDatabase db(path);
    if (!db.open() || !db.transaction())
        return false;
    QSqlQuery query = db.query();
    if (!query.prepare(QStringLiteral(
            "insert into auditTrail (seq,recordedAt,operatorName,program,programVersion,action,"
            "objectKind,objectName,valuesBefore,valuesAfter,reverses,userNames,entryNames,hash) "
            "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)")))
        return false;
    AuditRecord record;
    record.operatorName = AuditTrail::folderOperator();
    record.program = QStringLiteral("kelvara-cli");
    record.programVersion = QStringLiteral("2.7.0");
    record.action = AuditTrail::Action::Change;
    record.objectKind = AuditTrail::Kind::User;
    QString previous;
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-400);
    for (int i = 1; i <= kHistory; ++i) {
        record.sequence = i;
        record.recordedAt = start.addSecs(i * 30);
        record.objectName = QStringLiteral("Family%1, First%2").arg(i % 5000).arg(i % 97);
        record.valuesBefore = QStringLiteral("{\"comment\":\"badge %1\"}").arg(i);
        record.valuesAfter = QStringLiteral("{\"comment\":\"badge %1\"}").arg(i + 1);
        record.users = QStringList{record.objectName};
        const QStringList fields = AuditTrail::storedFields(record);
        previous = AuditTrail::hashOf(fields, previous);
        for (int f = 0; f < fields.size(); ++f)
            query.bindValue(f, fields.at(f).isEmpty() ? QVariant() : QVariant(fields.at(f)));
        query.bindValue(0, i);
        query.bindValue(13, previous);
        if (!query.exec())
            return false;
    }
    query.finish();
    return db.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    // The history view is measured as shown: run with QT_QPA_PLATFORM=offscreen
    // where there is no display.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bench_audittrail"));
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    // Parts by name ("board", "import", "history"); all without.
    const QStringList parts = app.arguments().mid(1);
    const auto wanted = [&](const char *part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };

    if (wanted("board")) {
        const char *phases[] = {"set", "change", "remove"};
        QVector<Times> board[2][3];
        for (int run = 0; run < kRuns; ++run) {
            // Alternating, so a busy spell of the machine hits both alike.
            for (int recording = 0; recording < 2; ++recording) {
                Times times[3];
                if (!boardRun(dir, run, (recording + run) % 2 == 1, times))
                    return 1;
                for (int phase = 0; phase < 3; ++phase)
                    board[(recording + run) % 2][phase] << times[phase];
            }
        }
        std::printf("board change of %d rights (%d users x %d entries), median of %d runs\n",
                    kUsers * kEntries, kUsers, kEntries, kRuns);
        for (int phase = 0; phase < 3; ++phase)
            printFigures(phases[phase], board[0][phase], board[1][phase]);
    }

    if (wanted("import")) {
        const QString file = dir.filePath(QStringLiteral("users.csv"));
        if (!writeUserList(file))
            return 1;
        QVector<Times> imports[2];
        for (int run = 0; run < kRuns; ++run) {
            for (int recording = 0; recording < 2; ++recording) {
                const bool on = (recording + run) % 2 == 1;
                Times time;
                if (!importRun(dir, file, run, on, time))
                    return 1;
                imports[on ? 1 : 0] << time;
            }
        }
        std::printf("import of %d users, median of %d runs\n", kImported, kRuns);
        printFigures("import", imports[0], imports[1]);
    }

    if (wanted("history")) {
        const QString history = newProject(dir, QStringLiteral("History"));
        QElapsedTimer filling;
        filling.start();
        if (history.isEmpty() || !fillHistory(history))
            return 1;
        const double filled = filling.nsecsElapsed() / 1e6;
        QVector<double> opening;
        int shown = 0;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            AuditTrailModel model;
            model.setDatabasePath(history);
            shown = model.rowCount();
            opening << timer.nsecsElapsed() / 1e6;
        }
        // The whole view as the window opens it: filters, operator list and
        // the first rows shown.
        QVector<double> viewing;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            KelvaraHistory view(history);
            view.show();
            QCoreApplication::processEvents();
            if (view.model()->rowCount() == 0)
                return 1;
            viewing << timer.nsecsElapsed() / 1e6;
        }
        std::printf("history of %d records (written in %.0f ms), median of %d runs\n", kHistory,
                    filled, kRuns);
        std::printf("  model, first %d rows there: %8.1f ms\n", shown, median(opening));
        std::printf("  view shown with its rows:   %8.1f ms\n", median(viewing));
    }
    return 0;
}
