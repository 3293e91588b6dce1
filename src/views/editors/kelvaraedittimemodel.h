#pragma once

#include "access/timemodel.h"
#include "db/recordrows.h"

#include <QDialog>
#include <QList>
#include <QString>

class KelvaraTimePeriod;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// Adds or edits one time model: its identifier, its name and up to eight
// period fields. Below the fields the whole model is shown as the list will
// show it and as "Save" will store it. The dialog closes only after a
// successful save.
class KelvaraEditTimeModel : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxPeriodFields = TimeModel::MaxPeriods;

    // A new model: one period field.
    explicit KelvaraEditTimeModel(const QString &databasePath, QWidget *parent = nullptr);

    // Edits the stored model: one field per period of its definition, however many.
    void setModel(const TimeModelRow &model);
    bool isNewModel() const { return m_model.pkTimes == 0; }
    // The model as saved (its key filled in for a new one).
    TimeModelRow savedModel() const { return m_model; }

    // The definition the fields give, in order, "|" before every period
    // after the first written one.
    QString definition() const;

    void setHelp(bool isToolTips);

    QLineEdit *tagEdit() const { return m_tag; }
    QLineEdit *nameEdit() const { return m_name; }
    QList<KelvaraTimePeriod *> periodFields() const { return m_periods; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *saveButton() const { return m_save; }
    QLabel *modelDisplayLabel() const { return m_modelDisplay; }
    QLabel *definitionLabel() const { return m_definition; }

public slots:
    void modelTagEdited(const QString &text);
    void accept() override;
    void addPeriod();
    void removePeriod();

private:
    KelvaraTimePeriod *appendField();
    // Tab goes name, the periods in their order, the period buttons, Save.
    void orderTabs();
    void updateSummary();
    bool save(const TimeModelRow &row);

    QString m_databasePath;
    TimeModelRow m_model;
    bool m_toolTips = false;
    QLineEdit *m_tag = nullptr;
    QLineEdit *m_name = nullptr;
    QScrollArea *m_scroll = nullptr;
    QVBoxLayout *m_fieldLayout = nullptr;
    QList<KelvaraTimePeriod *> m_periods;
    QLabel *m_modelDisplay = nullptr;
    QLabel *m_definition = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};
