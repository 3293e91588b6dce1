#pragma once

#include "db/projectparameters.h"
#include "reader/readerfactory.h"

#include <QComboBox>
#include <QDialog>
#include <QPixmap>

#include <functional>

class ApplicationSettings;
class KxReaderRun;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The long-range radio regions with their codes as item data.
class KelvaraRegion : public QComboBox
{
    Q_OBJECT
public:
    explicit KelvaraRegion(bool eu = true, bool fcc = true, QWidget *parent = nullptr);
    static QString regionText(int code);
    // Selects the code's item; false (and nothing selected) for an unknown code.
    bool setRegion(int code);
    int region() const { return currentData().toInt(); }
};

// The settings of this computer: the programmer readers for short and long
// range, the long-range radio region and how many readers a function serves
// at the same time. Connection tests and configurations run on a thread of
// their own; meanwhile the buttons are disabled and the dialog stays open.
class KelvaraGeneralSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    KelvaraGeneralSettingsDialog(ApplicationSettings &settings, QWidget *parent = nullptr);
    // With the open project: its parameters go into the tag reader
    // configuration and its log folder, its entries tell which readers serve
    // as access readers.
    KelvaraGeneralSettingsDialog(ApplicationSettings &settings, const ProjectParameters &project,
                                 const QString &databasePath, QWidget *parent = nullptr);

    // Builds the dialog, restores and saves its geometry and runs it.
    static bool run(QWidget *parent, ApplicationSettings &settings,
                    const ProjectParameters &project = ProjectParameters(),
                    const QString &databasePath = QString());
    using Answerer = std::function<int(KelvaraGeneralSettingsDialog *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

    // "type;device ID;host:port" as the settings keep it.
    static QString referenceText(const ReaderFactory::ProgrammerReader &reader);
    // "Device-ID '%1' via '%2'", or empty without device ID and host.
    static QString connectionText(const ReaderFactory::ProgrammerReader &reader);

    // The reader picture (scaled to 100 pixels high) as the dialog shows it,
    // the placeholder when the type has none; not connected: with "Not
    // Connected" in red over it, or over a picture of a pulled plug when the
    // type has none. Null when there is nothing to show.
    static QPixmap programmerPicture(const QPixmap &readerPicture, bool connected,
                                     const QPixmap &placeholder = QPixmap());

    const ReaderFactory::ProgrammerReader &hfReader() const { return m_reader[0]; }
    // The outcome of the last connection test of a range.
    bool isConnected(bool longRange) const { return m_connected[longRange]; }
    QLabel *pictureLabel(bool longRange) const { return m_picture[longRange]; }
    QLabel *nameLabel(bool longRange) const { return m_name[longRange]; }
    const ReaderFactory::ProgrammerReader &uhfReader() const { return m_reader[1]; }
    QLineEdit *readerEdit(bool longRange) const { return m_edit[longRange]; }
    QPushButton *selectButton(bool longRange) const { return m_select[longRange]; }
    KelvaraRegion *regionBox() const { return m_region; }
    QPushButton *okButton() const { return m_ok; }
    // A connection test or a configuration runs.
    bool isReaderBusy() const;
    QSpinBox *parallelBox() const { return m_parallel; }
    QCheckBox *readEventsFirstBox() const { return m_readEventsFirst; }

signals:
    void settingsChanged();

public slots:
    void selectHfReader();
    void selectUhfReader();
    void accept() override;
    void reject() override;

private:
    void selectReader(int range);
    // Shows the readers of the ranges and tests their connections.
    void showReaders(const QList<int> &ranges);
    void showPicture(int range);
    void clearSameConnection(int keep);
    void build();
    ReaderSettings readerSettings() const;
    // Configures the connected programmer readers from this range on, then
    // takes the settings and closes; a failure keeps the dialog open.
    void configureFrom(int range);
    // Writes the tag reader configuration; then(false) keeps the dialog open.
    void configureProgrammer(int range, const std::function<void(bool ok)> &then);
    void writeProgrammer(int range, const std::function<void(bool ok)> &then);

    ApplicationSettings &m_settings;
    ProjectParameters m_project;
    QString m_databasePath;
    ReaderFactory::ProgrammerReader m_reader[2];
    bool m_connected[2] = {false, false};
    QLabel *m_picture[2] = {};
    QLabel *m_name[2] = {};
    QLineEdit *m_edit[2] = {};
    QPushButton *m_select[2] = {};
    KelvaraRegion *m_region = nullptr;
    QSpinBox *m_parallel = nullptr;
    QCheckBox *m_readEventsFirst = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    KxReaderRun *m_run = nullptr;
};
