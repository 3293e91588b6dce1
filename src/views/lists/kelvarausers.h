#pragma once

#include "views/lists/kelvaralistview.h"

#include <QPointer>
#include <QString>

class KelvaraReadTag;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

// The user view: every user of the open project, sorted, searched and found
// by transponder, with add / edit / remove, and the import mode for user lists.
class KelvaraUsers : public KelvaraListView
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

    // A user's menu: the history of changes concerning the current user.
    QMenu *userMenu() const { return m_userMenu; }
    QTableWidget *importTable() const { return m_importTable; }
    QFrame *importFrame() const { return m_importFrame; }
    QString importFileName() const { return m_importFileName; }
    // A tag is being read on the desk reader; the view is disabled meanwhile.
    bool isReadingTag() const;
    // Nanoseconds the last buildList() took.
    qint64 lastBuildTime() const { return m_lastBuildNs; }

signals:
    // Users were added, edited, removed or imported: the board is out of date.
    void usersChanged();

public slots:
    void buildList() override;
    void setHelp(bool isToolTips);
    // Selects the user's row; false when the list has no such user.
    bool selectUserKey(int pkUsers);
    void openImport(const QString &importFile);
    void closeImport();
    void addUser();
    void editUser();
    void removeUser();
    void readIdd(QAction *action);
    void performImport();
    void openImportFile();
    void showHistory();

protected:
    void addRecord() override { addUser(); }
    void editRecord() override { editUser(); }
    void removeRecord() override { removeUser(); }
    void columnWidthSet(int column, int width) override;

private:
    void createImportFrame();
    void selectUser(const QString &familyName, const QString &firstName);
    void showUserMenu(const QPoint &pos);

    QPointer<QAction> m_settingsAction;

    QPushButton *m_readIdd = nullptr;
    QMenu *m_readIddMenu = nullptr;
    QMenu *m_userMenu = nullptr;
    QAction *m_readShortRange = nullptr;
    QAction *m_readLongRange = nullptr;
    KelvaraReadTag *m_readTag = nullptr;
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
