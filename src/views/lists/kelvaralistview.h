#pragma once

#include "views/lists/tablesearch.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class ApplicationSettings;
struct ProjectParameters;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QSpinBox;
class QSqlQuery;
class QTableWidget;
class QToolButton;
class QVBoxLayout;

// The frame an administration list view shares with the others: a tool bar
// with add / edit / remove, the record count, the sort key and direction and
// the search field, above a table of records whose column widths are kept in
// the settings. A view brings its columns, sort keys, records and dialogs.
class KelvaraListView : public QFrame
{
    Q_OBJECT

public:
    QTableWidget *table() const { return m_table; }
    TableSearch &tableSearch() { return m_search; }

    // Empty: records may be changed. Else the operator's role may not: the
    // add, edit and remove buttons, keys and double clicks do nothing, and
    // the buttons say why.
    void setChangesRefused(const QString &why);
    QString changesRefused() const { return m_refused; }

public slots:
    virtual void buildList() = 0;
    void sortChanged(int);
    void sortChanged();
    void searchPatternChanged(const QString &pattern);
    void searchUp();
    void searchDown();
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

protected:
    struct ToolButton
    {
        const char *icon;
        const char *name;
    };

    KelvaraListView(ApplicationSettings &settings, const ProjectParameters &params,
                    QWidget *parent);

    // The tool bar: the record buttons, the count with its bold label, the
    // sort keys (text and key) and the search. A view may add to its end.
    void createToolBar(const ToolButton &add, const ToolButton &edit, const ToolButton &remove,
                       const char *countName, const QString &countLabel,
                       const QList<QPair<QString, int>> &sortKeys);
    // The table below the tool bar; its column widths live in `widths`.
    void createTable(const char *name, const QStringList &columns,
                     QAbstractItemView::SelectionMode selectionMode, QList<int> &widths);
    QHBoxLayout *toolBar() const { return m_bar; }
    QVBoxLayout *frameLayout() const { return m_layout; }
    QLineEdit *searchField() const { return m_searchField; }

    virtual void addRecord() = 0;
    virtual void editRecord() = 0;
    virtual void removeRecord() = 0;
    // A column got its width from the settings or from the user.
    virtual void columnWidthSet(int column, int width);

    int sortKey() const;
    bool sortAscending() const;
    void setCount(int count);
    void selectWholeRow(int row);
    void applyColumnWidths();
    void storeColumnWidths();
    // Asks, then removes the records of the selected rows in one transaction
    // (a row whose key is negative is passed over), rebuilds the list and
    // selects the row where the first one stood. True when they are gone.
    bool removeSelectedRecords(const QString &title, const QString &question,
                               const QString &errorTitle, const std::function<int(int)> &keyOfRow,
                               const std::function<bool(QSqlQuery &, int)> &removeKey);
    // The help of the tool bar, with the texts of the record buttons and the
    // sort key in the view's own words.
    void setListHelp(bool isToolTips, const QString &add, const QString &edit,
                     const QString &remove, const QString &sort);
    static void setHelpText(QWidget *widget, const QString &text, bool isToolTips);

    // Ctrl+N adds a record here, before the window's "New Project" takes it.
    bool event(QEvent *event) override;

    void keyPressEvent(QKeyEvent *event) override;
    // However the view is shown (its show() slot is QWidget's), it shows
    // with its current row, or the first row, selected whole, and the table
    // takes the keyboard.
    void showEvent(QShowEvent *event) override;

    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;

private:
    QVBoxLayout *m_layout = nullptr;
    QHBoxLayout *m_bar = nullptr;
    QToolButton *m_add = nullptr;
    QToolButton *m_edit = nullptr;
    QToolButton *m_remove = nullptr;
    QSpinBox *m_count = nullptr;
    QComboBox *m_sort = nullptr;
    QToolButton *m_direction = nullptr;
    QLineEdit *m_searchField = nullptr;
    QToolButton *m_searchUp = nullptr;
    QToolButton *m_searchDown = nullptr;
    QTableWidget *m_table = nullptr;
    TableSearch m_search;
    QList<int> *m_widths = nullptr;
    bool m_applyingWidths = false;
    QString m_refused;
};
