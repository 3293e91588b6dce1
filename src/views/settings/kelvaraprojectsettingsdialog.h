#pragma once

#include "db/projectparameters.h"

#include <QDialog>

#include <functional>

class ApplicationSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The project's transponder technologies, ISO 15693 support and long-range
// selection masks. In a new project it starts from the defaults and cannot
// be cancelled.
class KelvaraProjectSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    KelvaraProjectSettingsDialog(ProjectParameters &params, bool isNewProject,
                                 QWidget *parent = nullptr);

    // Builds the dialog, restores and saves its geometry and runs it; true
    // when the settings were saved.
    static bool run(QWidget *parent, ApplicationSettings &settings, ProjectParameters &params,
                    bool isNewProject);
    // Tests answer the dialog instead of a person; see KxSelectReader.
    using Answerer = std::function<int(KelvaraProjectSettingsDialog *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

    // A mask typed as hex digits: 4 bits a digit, an odd count completed with
    // a trailing "0". False for non-hex digits or more than 192 bits.
    static bool maskFromText(const QString &text, SelectionMask *mask);
    static QString maskToText(const SelectionMask &mask);
    static SelectionMask korvexMask();

    void setHelp(bool toolTips);

    bool iso15693Changed() const { return m_iso15693Changed; }
    bool selectionMaskChanged() const { return m_selectionMaskChanged; }
    bool hfIddsWidened() const { return m_hfIddsWidened; }

    QCheckBox *hfBox() const { return m_hf; }
    QCheckBox *isoBox() const { return m_iso; }
    QCheckBox *uhfBox() const { return m_uhf; }
    QCheckBox *filterBox(int index) const { return m_filter[index - 1]; }
    QCheckBox *korvexBox() const { return m_korvex; }
    QLineEdit *maskEdit(int index) const { return m_mask[index - 1]; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

signals:
    void settingsChanged();

public slots:
    void changedHaveHfRdr(int state);
    void changedHaveUhfRdr(int state);
    void enableSelectionMask(int state);
    void enableKorvexTagMask(int state);
    void accept() override;

private:
    void applyVisibility();
    bool save();

    ProjectParameters &m_params;
    QCheckBox *m_hf = nullptr;
    QCheckBox *m_iso = nullptr;
    QCheckBox *m_uhf = nullptr;
    QLabel *m_filterLabel = nullptr;
    QCheckBox *m_filter[3] = {};
    QCheckBox *m_korvex = nullptr;
    QComboBox *m_timeZone = nullptr;
    QSpinBox *m_keepEvents = nullptr;
    QLineEdit *m_mask[3] = {};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_iso15693Changed = false;
    bool m_selectionMaskChanged = false;
    bool m_hfIddsWidened = false;
};
