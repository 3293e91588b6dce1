#pragma once

#include "db/recordrows.h"
#include "views/tablesearch.h"

#include <QFrame>
#include <QList>
#include <QString>

class ApplicationSettings;
class FlashDrive;
struct ProjectParameters;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class QTableWidget;
class QToolButton;

// The entry view: every entry of the open project with its reader, sorted
// and searched, with add / edit / remove and the reader commands of a row.
class KelvaraDoors : public QFrame
{
    Q_OBJECT

public:
    // Data role of column 0: PKdoors.
    static constexpr int KeyRole = Qt::UserRole;

    KelvaraDoors(ApplicationSettings &settings, const ProjectParameters &params, FlashDrive &drive,
                 QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    TableSearch &tableSearch() { return m_search; }
    QMenu *contextMenu() const { return m_menu; }
    QAction *resetAntiPassbackAction() const { return m_resetAntiPassback; }
    // The entries as the table shows them, in table order.
    const QList<EntryRow> &entries() const { return m_rows; }

signals:
    // Entries were added, edited or removed: the board is out of date.
    void doorsChanged();

public slots:
    void buildList();
    void show();
    void setHelp(bool isToolTips);
    void addDoor();
    void editDoor();
    void removeDoor();
    void sortChanged(int);
    void sortChanged();
    void searchPatternChanged(QString pattern);
    void searchUp();
    void searchDown();
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);
    void tableContextMenuRequested(const QPoint &pos);
    void openDataPath();
    void openLogPath();
    void resetCpu();
    void resetAntiPassback();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createTable();
    void selectWholeRow(int row);
    void selectDoor(const QString &areaName, const QString &doorName);
    void applyColumnWidths();
    void storeColumnWidths();
    // The row under the context menu or the current row; -1 for none.
    int actionRow() const;
    QString folderKeyOf(const EntryRow &entry);
    void openEntryFolder(bool data);
    void runReaderCommand(int command);

    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;
    FlashDrive &m_drive;
    QList<EntryRow> m_rows;

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
    QMenu *m_menu = nullptr;
    QAction *m_openData = nullptr;
    QAction *m_openLog = nullptr;
    QAction *m_resetCpu = nullptr;
    QAction *m_resetAntiPassback = nullptr;
    int m_menuRow = -1;
    bool m_applyingWidths = false;
};
