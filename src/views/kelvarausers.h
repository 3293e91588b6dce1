#pragma once

#include "views/tablesearch.h"

#include <QFrame>
#include <QPointer>
#include <QString>

class ApplicationSettings;
struct ProjectParameters;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

// The user view: every user of the open project, sorted, searched and found
// by transponder, with add / edit / remove, and the import mode for user lists.
class KelvaraUsers : public QFrame
{
    Q_OBJECT

public:
    // Data roles of the table items.
    static constexpr int KeyRole = Qt::UserRole;           // column 2: PKusers
    static constexpr int StoredIddRole = Qt::UserRole + 8; // columns 4 and 6

    KelvaraUsers(ApplicationSettings &settings, const ProjectParameters &params,
                 QWidget *parent = nullptr);

    // The action that opens the general settings, for the user dialog's
    // "Configure Programmer".
    void setGeneralSettingsAction(QAction *action);

    QTableWidget *table() const { return m_table; }
    QTableWidget *importTable() const { return m_importTable; }
    QFrame *importFrame() const { return m_importFrame; }
    TableSearch &tableSearch() { return m_search; }
    QString importFileName() const { return m_importFileName; }
    // Nanoseconds the last buildList() took.
    qint64 lastBuildTime() const { return m_lastBuildNs; }

signals:
    // Users were added, edited, removed or imported: the board is out of date.
    void usersChanged();

public slots:
    void buildList();
    void show();
    void setHelp(bool isToolTips);
    void openImport(QString importFile);
    void closeImport();
    void addUser();
    void editUser();
    void removeUser();
    void sortChanged(int);
    void sortChanged();
    void searchPatternChanged(QString pattern);
    void searchUp();
    void searchDown();
    void readIdd(QAction *action);
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);
    void performImport();
    void openImportFile();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createTable();
    void createImportFrame();
    void selectWholeRow(int row);
    void selectUser(const QString &familyName, const QString &firstName);
    void applyColumnWidths();
    void storeColumnWidths();
    QString importResultText(int count, int skipped, const QList<int> &skippedLines,
                             int refusedCount, const QStringList &refused) const;

    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;
    QPointer<QAction> m_settingsAction;

    QToolButton *m_add = nullptr;
    QToolButton *m_edit = nullptr;
    QToolButton *m_remove = nullptr;
    QSpinBox *m_count = nullptr;
    QComboBox *m_sort = nullptr;
    QToolButton *m_direction = nullptr;
    QLineEdit *m_searchField = nullptr;
    QToolButton *m_searchUp = nullptr;
    QToolButton *m_searchDown = nullptr;
    QPushButton *m_readIdd = nullptr;
    QMenu *m_readIddMenu = nullptr;
    QAction *m_readShortRange = nullptr;
    QAction *m_readLongRange = nullptr;
    QTableWidget *m_table = nullptr;
    TableSearch m_search;
    bool m_applyingWidths = false;
    qint64 m_lastBuildNs = 0;

    QFrame *m_importFrame = nullptr;
    QLabel *m_importLabel = nullptr;
    QLabel *m_importNote = nullptr;
    QTableWidget *m_importTable = nullptr;
    QToolButton *m_importClose = nullptr;
    QPushButton *m_performImport = nullptr;
    QPushButton *m_openImportFile = nullptr;
    QString m_importFileName;
};
