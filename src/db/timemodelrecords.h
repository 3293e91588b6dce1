#pragma once

#include "db/recordrows.h"

#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

// Statements on the times (time models) table; statement level on the
// caller's query (false on failure, the caller reads query.lastError()),
// operation level on the database path (the error, empty on success).
namespace TimeModelRecords {

enum SortKey {
    SortByTag = 0,
    SortByName = 1,
};

// Always ascending: by name for key 1, by tag otherwise.
QString sortClause(int sortKey);

bool listTimeModels(QSqlQuery &query, int sortKey, QList<TimeModelRow> &rows);
QSqlError listTimeModels(const QString &databasePath, int sortKey, QList<TimeModelRow> &rows);

// Key, tag and name, by tag.
bool listTags(QSqlQuery &query, QList<TimeModelRow> &rows);
QSqlError listTags(const QString &databasePath, QList<TimeModelRow> &rows);

// The key of the model with this tag; 0 when there is none, -1 when the
// statement fails.
int findByTag(QSqlQuery &query, const QString &modelTag);
int countTimeModels(QSqlQuery &query);

// The tag of the model every project has, "always", which stays as it is.
inline const QString AlwaysTag = QStringLiteral("***");
// The name a model is shown with: the "always" model's in the language of
// the window (its stored name is that of the project's creation).
QString shownName(const TimeModelRow &model);
// The longest tag the time model dialog takes.
constexpr int MaxTagLength = 3;
enum Field { NoField = 0, TagField, NameField };
// Why the model's tag or name cannot be stored (missing, the "always" tag, a
// "#", which separates tag and period in the reader tables, too long, or a
// control character); empty when they can. The definition is read by
// TimeModel::parseDefinition.
RecordProblem problem(const TimeModelRow &model);

bool addTimeModel(QSqlQuery &query, const TimeModelRow &model, int *newKey = nullptr);
QSqlError addTimeModel(const QString &databasePath, const TimeModelRow &model,
                       int *newKey = nullptr);

bool editTimeModel(QSqlQuery &query, const TimeModelRow &model);
// Saves the model and, when its definition differs from the stored one,
// marks every entry with a right that uses it, in one transaction. A change
// of tag or name alone marks nothing. The marked entries are left in
// *markedEntries when given.
QSqlError editTimeModel(const QString &databasePath, const TimeModelRow &model,
                        QSet<int> *markedEntries = nullptr);

// Removes the rights that use the model and the model as one unit.
bool removeTimeModel(QSqlQuery &query, int pkTimes);
// As above in one transaction, marking first every entry that had a right
// with the model.
QSqlError removeTimeModel(const QString &databasePath, int pkTimes,
                          QSet<int> *markedEntries = nullptr);

} // namespace TimeModelRecords
