#pragma once

#include "core/errorinfo.h"
#include "db/recordrows.h"
#include "reader/readerconnection.h"
#include "reader/readersettings.h"

#include <QDialog>

#include <functional>
#include <memory>

class ApplicationSettings;
class FlashDrive;
class KelvaraCfgForm;
class KxReaderRun;
class MyRdr;
struct ProjectParameters;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QVBoxLayout;

// Adds an entry (negative key) or edits one: area, name, comment, the reader
// that controls it and the reader's settings in the form of its type. Saving
// stores the entry and then offers to write the configuration to the reader
// or to the USB flash drive. Reader commands run on a thread of their own;
// meanwhile the dialog is disabled and does not close.
class KelvaraEditDoor : public QDialog
{
    Q_OBJECT

public:
    KelvaraEditDoor(int doorKey, ApplicationSettings &settings, const ProjectParameters &params,
                    FlashDrive &drive, QWidget *parent = nullptr);
    ~KelvaraEditDoor() override;

    void setEntry(const EntryRow &entry);

    QString areaName() const;
    QString doorName() const;
    // The entry as the fields describe it.
    EntryRow entry() const;
    // The entry is stored (also when the dialog then ends without accepting).
    bool isSaved() const { return m_saved; }
    int doorKey() const { return m_doorKey; }
    KelvaraCfgForm *form() const { return m_form; }
    // How the dialog's reader commands reach the reader.
    ReaderConnection connection() const;
    // A reader command runs.
    bool isReaderBusy() const;

    static ReaderSettings readerSettings(const ApplicationSettings &settings,
                                         const ProjectParameters &params);
    static ReaderConnection connectionOf(const EntryRow &entry, const QString &folderKey);

public slots:
    void accept() override;
    void reject() override;
    void done(int result) override;
    void selectArea(QAction *action);
    void selectReader();
    void noAccessChanged(bool checked);
    void readInfo();
    void pairingTZ60WithExtIo(const QString &serialNumberHex);
    void setHelp(bool isToolTips);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void readerTypeChanged();
    void refreshConnect();
    int readerType() const;
    void setReaderType(int type);
    // The folder key the entry has, or would have once saved.
    QString folderKey() const;
    using ReaderThen = std::function<void(const std::shared_ptr<MyRdr> &reader)>;
    // Starts the reader information command; on success the firmware and the
    // board state are shown, on failure (unless quiet) the error. Then gets
    // the reader object (null for a type without a class), whose result says
    // how it went.
    void readReaderInfo(bool quiet, const ReaderThen &then);
    void showExtIoState(const MyRdr *reader);
    // The input checks before saving; false after the message.
    bool checkInput(const EntryRow &row);
    bool store(const EntryRow &row);
    // Offers to write the stored configuration and does it; finish runs
    // afterwards whatever happened.
    void configureReader(const EntryRow &row, const QString &settingsText,
                         const std::function<void()> &finish);
    // The checks on the reader that answered and the writing itself.
    void writeConfiguration(const EntryRow &row, const QString &settingsText,
                            const std::shared_ptr<MyRdr> &reader,
                            const std::function<void()> &finish);
    void showConfigurationFailure(const ErrorInfo &error);

    int m_doorKey;
    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;
    FlashDrive &m_drive;
    QString m_host;
    int m_port = 0;
    int m_loadedType = 0;
    QString m_loadedConfig;
    bool m_saved = false;

    QLineEdit *m_areaName = nullptr;
    QPushButton *m_areaButton = nullptr;
    QMenu *m_areaMenu = nullptr;
    QLineEdit *m_doorName = nullptr;
    QLineEdit *m_comment = nullptr;
    QGroupBox *m_readerBox = nullptr;
    QPushButton *m_selectReader = nullptr;
    QPushButton *m_readInfo = nullptr;
    QLineEdit *m_connect = nullptr;
    QCheckBox *m_flashDrive = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_serNo = nullptr;
    QLineEdit *m_mac = nullptr;
    QLineEdit *m_firmware = nullptr;
    QLabel *m_picture = nullptr;
    QVBoxLayout *m_formArea = nullptr;
    KelvaraCfgForm *m_form = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    KxReaderRun *m_run = nullptr;
};
