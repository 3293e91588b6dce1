#pragma once

#include "db/projectparameters.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <functional>

class QDateTimeEdit;
class QLabel;
class QListWidget;
class QPushButton;

// "Why...?" on a board cell: whether a user may pass an entry now or at a
// chosen moment, and why, decided as the entry's reader will decide.
class KelvaraWhyDialog : public QDialog
{
    Q_OBJECT

public:
    KelvaraWhyDialog(const ProjectParameters &project, int pkUsers, int pkDoors,
                     QWidget *parent = nullptr);

    // Runs the dialog for a board cell, or hands it to a test's answerer.
    static void ask(const ProjectParameters &project, int pkUsers, int pkDoors, bool isToolTips,
                    QWidget *parent);
    using Answerer = std::function<int(KelvaraWhyDialog *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

    void setMoment(const QDateTime &at);
    QDateTime moment() const;

    void setHelp(bool isToolTips);

    QLabel *verdictLabel() const { return m_verdict; }
    QListWidget *reasonList() const { return m_reasons; }
    QDateTimeEdit *momentEdit() const { return m_moment; }

public slots:
    void explain();
    void selectNow();

private:
    ProjectParameters m_project;
    int m_pkUsers = 0;
    int m_pkDoors = 0;
    QLabel *m_title = nullptr;
    QDateTimeEdit *m_moment = nullptr;
    QPushButton *m_now = nullptr;
    QLabel *m_verdict = nullptr;
    QListWidget *m_reasons = nullptr;
};
