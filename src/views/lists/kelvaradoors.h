#pragma once

#include "db/recordrows.h"
#include "views/lists/kelvaralistview.h"

#include <QList>
#include <QString>

class FlashDrive;
class KxReaderRun;
class QAction;
class QMenu;

// The entry view: every entry of the open project with its reader, sorted
// and searched, with add / edit / remove and the reader commands of a row.
class KelvaraDoors : public KelvaraListView
{
    Q_OBJECT

public:
    // Data role of column 0: PKdoors.
    static constexpr int KeyRole = Qt::UserRole;

    KelvaraDoors(ApplicationSettings &settings, const ProjectParameters &params, FlashDrive &drive,
                 QWidget *parent = nullptr);

    QMenu *contextMenu() const { return m_menu; }
    QAction *resetAntiPassbackAction() const { return m_resetAntiPassback; }
    // The entries as the table shows them, in table order.
    const QList<EntryRow> &entries() const { return m_rows; }
    // A reader command of a row runs; the view is disabled meanwhile.
    bool isReaderBusy() const;

signals:
    // Entries were added, edited or removed: the board is out of date.
    void doorsChanged();

public slots:
    void buildList() override;
    void setHelp(bool isToolTips);
    void addDoor();
    void editDoor();
    void removeDoor();
    void tableContextMenuRequested(const QPoint &pos);
    void openDataPath();
    void openLogPath();
    void resetCpu();
    void resetAntiPassback();

protected:
    void addRecord() override { addDoor(); }
    void editRecord() override { editDoor(); }
    void removeRecord() override { removeDoor(); }

private:
    void selectDoor(const QString &areaName, const QString &doorName);
    // The row under the context menu or the current row; -1 for none.
    int actionRow() const;
    QString folderKeyOf(const EntryRow &entry);
    void openEntryFolder(bool data);
    // Starts the command on the row's reader; its result is shown when it ends.
    void runReaderCommand(int command);

    FlashDrive &m_drive;
    QList<EntryRow> m_rows;

    QMenu *m_menu = nullptr;
    QAction *m_openData = nullptr;
    QAction *m_openLog = nullptr;
    QAction *m_resetCpu = nullptr;
    QAction *m_resetAntiPassback = nullptr;
    int m_menuRow = -1;
    KxReaderRun *m_run = nullptr;
};
