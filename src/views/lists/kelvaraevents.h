#pragma once

#include "db/eventlogmodel.h"

#include <QDateTime>
#include <QFrame>

class ApplicationSettings;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
struct ProjectParameters;

// The event view: the events kept from the readers, newest first, with
// filters by period, place, person, result and free text, the counts, and
// CSV export, a PDF report, the board cell and the user of an event, and
// "Add as new user" for an identifier nobody holds.
class KelvaraEvents : public QFrame
{
    Q_OBJECT

public:
    enum Period { Today, Yesterday, LastSevenDays, ThisMonth, AllTime, FromTo };

    KelvaraEvents(ApplicationSettings &settings, const ProjectParameters &params,
                  QWidget *parent = nullptr);
    ~KelvaraEvents() override;

    EventLogModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QComboBox *periodBox() const { return m_period; }
    QComboBox *placeBox() const { return m_place; }
    QComboBox *personBox() const { return m_person; }
    QComboBox *resultBox() const { return m_result; }
    QLineEdit *textField() const { return m_text; }
    QLabel *countLabel() const { return m_count; }

    // The filter the controls give now (today as the site's clock says).
    EventFilter currentFilter() const;
    // The filter in words, for the report and the count line.
    QString filterText() const;

    // The roll call of the area since the moment: user, group, entry, time.
    QList<QStringList> seenInArea(const QString &area, const QDateTime &since);

    // The rows of the filter, every one, as CSV (";", "\r\n", formula-safe).
    QByteArray csvText();
    // The report as HTML (title, project, filter, printed time, the rows).
    QString reportHtml();
    bool exportCsv(const QString &fileName);
    bool printReport(const QString &fileName);

signals:
    void showOnBoard(int userKey, int pkDoors);
    void openUser(int userKey);
    void usersChanged();

public slots:
    // Fills the choices from the project and reads the list again.
    void buildList();
    void applyFilter();
    void setHelp(bool isToolTips);
    void exportCsvAsked();
    void printReportAsked();
    void showOnBoardAsked();
    void openUserAsked();
    void addUserAsked();
    // "Seen today in area ...": who was let in at the area chosen as place
    // since the start of the day, each with the last entry and time.
    void seenInAreaAsked();

private:
    void selectionChanged();
    const EventRow *currentEvent() const;
    QString defaultFileName(const QString &suffix) const;

    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;
    EventLogModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QComboBox *m_period = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_place = nullptr;
    QComboBox *m_person = nullptr;
    QComboBox *m_result = nullptr;
    QLineEdit *m_text = nullptr;
    QLabel *m_count = nullptr;
    QTimer *m_textDelay = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_report = nullptr;
    QPushButton *m_board = nullptr;
    QPushButton *m_user = nullptr;
    QPushButton *m_addUser = nullptr;
    QPushButton *m_seen = nullptr;
};
