#pragma once

#include "reader/readerfactory.h"

#include <QComboBox>
#include <QDialog>

#include <functional>

class ApplicationSettings;
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
// at the same time.
class KelvaraGeneralSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    KelvaraGeneralSettingsDialog(ApplicationSettings &settings, QWidget *parent = nullptr);

    // Builds the dialog, restores and saves its geometry and runs it.
    static bool run(QWidget *parent, ApplicationSettings &settings);
    using Answerer = std::function<int(KelvaraGeneralSettingsDialog *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

    // "type;device ID;host:port" as the settings keep it.
    static QString referenceText(const ReaderFactory::ProgrammerReader &reader);
    // "Device-ID '%1' via '%2'", or empty without device ID and host.
    static QString connectionText(const ReaderFactory::ProgrammerReader &reader);

    const ReaderFactory::ProgrammerReader &hfReader() const { return m_reader[0]; }
    const ReaderFactory::ProgrammerReader &uhfReader() const { return m_reader[1]; }
    QLineEdit *readerEdit(bool longRange) const { return m_edit[longRange]; }
    QPushButton *selectButton(bool longRange) const { return m_select[longRange]; }
    KelvaraRegion *regionBox() const { return m_region; }
    QPushButton *okButton() const { return m_ok; }
    QSpinBox *parallelBox() const { return m_parallel; }

signals:
    void settingsChanged();

public slots:
    void selectHfReader();
    void selectUhfReader();
    void accept() override;

private:
    void selectReader(int range);
    void showReader(int range);
    void clearSameConnection(int keep);

    ApplicationSettings &m_settings;
    ReaderFactory::ProgrammerReader m_reader[2];
    QLabel *m_name[2] = {};
    QLineEdit *m_edit[2] = {};
    QPushButton *m_select[2] = {};
    KelvaraRegion *m_region = nullptr;
    QSpinBox *m_parallel = nullptr;
    QPushButton *m_ok = nullptr;
};
