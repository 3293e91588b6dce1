#pragma once

#include <QDialog>
#include <QString>

class ApplicationSettings;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// The project's holiday list: one row per date, in date order, with its
// weekday and comment. Past dates are greyed: readers receive only the
// holidays from today on.
class KelvaraEditHolidays : public QDialog
{
    Q_OBJECT

public:
    enum Column { DateColumn = 0, WeekdayColumn = 1, CommentColumn = 2 };

    KelvaraEditHolidays(ApplicationSettings &settings, const QString &databasePath,
                        QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *endButton() const { return m_end; }
    QPushButton *publicHolidaysButton() const { return m_public; }
    // True once a holiday was added, changed or removed.
    bool hasChanged() const { return m_changed; }

public slots:
    void buildList();
    void setHelp(bool isToolTips);
    void addDate();
    void editDate();
    void removeDate();
    void addPublicHolidays();
    void itemDoubleClicked(QTableWidgetItem *item);

private:
    // Runs the date dialog; true when it saved.
    bool runDateDialog(int pkHolidays, const QDate &date, const QString &comment);
    void selectDate(const QString &shownDate);
    void updateButtons();

    ApplicationSettings &m_settings;
    QString m_databasePath;
    bool m_toolTips = false;
    bool m_changed = false;
    QTableWidget *m_table = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_end = nullptr;
    QPushButton *m_public = nullptr;
};
