// Builds the user view over 5,000 users and searches it: the list as the
// operator opens it, a re-sort, a search whose pattern is found near the end,
// and one found nowhere (a full walk over every cell). Also times exporting
// the list and importing it into an empty project. Prints medians.
#include "benchtiming.h"
#include "core/applicationsettings.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/projectschema.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"
#include "userlist/myimportusers.h"
#include "views/lists/kelvarausers.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Users = 5000;
constexpr int Runs = 5;

bool createProject(const QString &folder)
{
    return QDir().mkpath(folder) &&
           !ProjectSchema::createProjectDatabase(ProjectDatabase::databasePathForProject(folder))
                .isValid();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Bench"));
    if (!createProject(folder))
        return 1;
    ProjectParameters params;
    params.projectPath = folder;
    params.databasePath = ProjectDatabase::databasePathForProject(folder);
    params.loadProjectParameters();
    params.haveUhfReader = true;
    {
        ProjectDatabase db(params.databasePath);
        if (!db.open() || !db.transaction())
            return 1;
        QSqlQuery query = db.query();
        for (int i = 0; i < Users; ++i) {
            UserRow u;
            u.familyName = QStringLiteral("Family%1").arg(i, 5, 10, QLatin1Char('0'));
            u.firstName = QStringLiteral("First%1").arg(i % 97);
            u.groupName = QStringLiteral("Group %1").arg(i % 50);
            u.commentUser = QStringLiteral("badge %1").arg(i);
            QByteArray bytes(7, 0);
            for (int b = 0; b < 7; ++b)
                bytes[b] = char((i * 2654435761u) >> (b * 4));
            bytes[0] = char(i & 0xFF);
            bytes[1] = char(i >> 8);
            u.iddIso14443 = TransponderIdd(bytes, TransponderIdd::Iso14443A).toStored();
            if (!UserRecords::addUser(query, u))
                return 1;
        }
        if (!db.commit())
            return 1;
    }

    ApplicationSettings settings;
    settings.areToolTipsOn = false;
    KelvaraUsers view(settings, params);
    view.resize(1600, 900);
    view.show();
    app.processEvents();

    const double build = medianMs([&] { view.buildList(); });
    auto *sort = view.findChild<QComboBox *>(QStringLiteral("sortKey"));
    int key = 0;
    const double resort = medianMs([&] { sort->setCurrentIndex(++key % 2); });
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("searchField"));
    const QString late = view.table()->item(Users - 3, 3)->text();
    const double found = medianMs([&] {
        search->clear();
        search->setText(late);
    });
    const double missing = medianMs([&] {
        search->clear();
        search->setText(QStringLiteral("no such text"));
    });
    const double step = medianMs([&] { view.searchDown(); });

    const QString file = dir.filePath(QStringLiteral("users.csv"));
    int exported = 0;
    const double exportMs = medianMs([&] {
        MyExportUsers out(file);
        out.exportUsers(params.databasePath, exported);
    });
    int run = 0;
    int imported = 0;
    const double importMs = medianMs([&] {
        const QString target = dir.filePath(QStringLiteral("Target%1").arg(++run));
        createProject(target);
        MyImportUsers in(file);
        in.assignStandardColumns(in.readHeader());
        in.importUsers(ProjectDatabase::databasePathForProject(target), 7, 12, imported);
    });

    std::printf("users: %d, table cells: %d\n", view.table()->rowCount(),
                view.table()->rowCount() * view.table()->columnCount());
    std::printf("build list:               %8.1f ms (median of %d)\n", build, Runs);
    std::printf("re-sort (rebuild):        %8.1f ms\n", resort);
    std::printf("search, hit near the end: %8.1f ms\n", found);
    std::printf("search, found nowhere:    %8.1f ms\n", missing);
    std::printf("search down, found nowhere: %6.1f ms\n", step);
    std::printf("export %d users:        %8.1f ms\n", exported, exportMs);
    std::printf("import %d users:        %8.1f ms\n", imported, importMs);
    return 0;
}
