#pragma once

#include "db/entryselection.h"
#include "db/projectparameters.h"
#include "db/recordrows.h"
#include "functions/functionreader.h"
#include "functions/kelvarafunctionthread.h"
#include "functions/readerfunction.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QString>

class ApplicationSettings;
class FlashDrive;
class KelvaraFunctionLogWin;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

// Runs one reader function over a scope of entries: lists the entries with
// their reader connection, lets the operator pick entries and switch a
// long-range reader to the USB flash drive, runs the worker and shows each
// entry's result; the log lines go to a window of their own.
class KelvaraFunctionDialog : public QDialog
{
    Q_OBJECT

public:
    // The functions as the window names them.
    using Function = ReaderFunction::Function;
    static constexpr Function UpdateAccess = ReaderFunction::UpdateAccess;
    static constexpr Function ReadAccess = ReaderFunction::ReadAccess;
    static constexpr Function ImportTransponder = ReaderFunction::ImportTransponder;
    static constexpr Function ReadEvents = ReaderFunction::ReadEvents;
    static constexpr Function SetDateTime = ReaderFunction::SetDateTime;
    static constexpr Function WriteConfig = ReaderFunction::WriteConfig;
    static constexpr Function VerifyReader = ReaderFunction::VerifyReader;
    enum Column {
        SelectColumn = 0,
        NameColumn,
        FlashDriveColumn,
        ConnectColumn,
        TypeColumn,
        DeviceIdColumn,
        NeedsUpdateColumn,
        StateColumn,
        ColumnCount
    };
    // Item data of the table cells.
    enum Role { KeyRole = Qt::UserRole, PortRole = Qt::UserRole + 1 };

    // The drive is the one the main window holds for the open project; a
    // drive chosen here stays chosen.
    KelvaraFunctionDialog(const ProjectParameters &project, ApplicationSettings &settings,
                          FlashDrive &drive, int function, const EntrySelection &selection,
                          const QString &scopeName, QWidget *parent = nullptr);
    ~KelvaraFunctionDialog() override;

    static QString functionTitle(int function) { return ReaderFunction::title(function); }
    // " (%1)" is appended to the title with this text.
    static QString scopeText(int scope, const QString &scopeName);

    int function() const { return m_function; }
    QTableWidget *table() const { return m_table; }
    KelvaraFunctionLogWin *logWindow() const { return m_logWin; }
    QMenu *contextMenu() const { return m_menu; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *stopButton() const { return m_stopButton; }
    QPushButton *endButton() const { return m_end; }
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *progressLabel() const { return m_progressLabel; }
    QLabel *warningLabel() const { return m_warning; }
    // Entries of the list that cannot be updated as they stand, with the reasons.
    QLabel *checkLabel() const { return m_check; }
    bool isRunning() const { return m_thread != nullptr; }
    int rowOfEntry(int pkDoors) const;

    // Replaces the readers a run talks to (tests, other transports).
    void setReaderFactory(const FunctionReaderFactory &factory) { m_readerFactory = factory; }

signals:
    // A run ended (done, stopped or refused); the database may hold new marks.
    void runFinished();

public slots:
    // Without any entry to list: "No Reader" and 0, the dialog is not shown.
    int exec() override;
    void openDataPath();
    void openLogPath();
    void selectAll();
    void deselectAll();
    void editConnector(int row, int column, bool checked);
    void start();
    void stop();
    void finished();
    // The entry key is the one the worker names its entries by (the entry's key).
    void state(const QString &entryKey, int state);
    // Marks the entry's state cell until its result comes.
    void entryStarted(const QString &entryKey);
    void setHelp(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;
    void done(int result) override;

private:
    void buildList();
    // Before an update: says which listed entries the update cannot serve and why.
    void showUpdateCheck(const QList<EntryTarget> &rows);
    void addRow(const EntryTarget &entry);
    void setStateCell(int row, const QString &text, const QColor &colour, int code);
    void showContextMenu(const QPoint &pos);
    void updateProgress();
    void clearRunningMarks();
    QString entryNameOfCurrentRow() const;
    // False (and the close is refused) while the worker runs; asks whether to stop.
    bool mayClose();
    void saveGeometryAndColumns();

    ProjectParameters m_project;
    ApplicationSettings &m_settings;
    FlashDrive &m_drive;
    int m_function;
    EntrySelection m_selection;
    QString m_scopeName;

    QLabel *m_warning = nullptr;
    QLabel *m_check = nullptr;
    QTableWidget *m_table = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressLabel = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stopButton = nullptr;
    QPushButton *m_end = nullptr;
    QMenu *m_menu = nullptr;
    KelvaraFunctionLogWin *m_logWin = nullptr;

    QPointer<KelvaraFunctionThread> m_thread;
    FunctionReaderFactory m_readerFactory;
    QList<EntryTarget> m_runEntries;
    // The entries in progress, by key, in the order they started.
    QList<int> m_inProgress;
    int m_doneCount = 0;
    int m_okCount = 0;
    bool m_stopRequested = false;
    bool m_closeWhenFinished = false;
    bool m_cursorSet = false;
    QElapsedTimer m_elapsed;
    QTimer *m_clock = nullptr;
};
