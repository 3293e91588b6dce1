#pragma once

#include "access/publicholidays.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Add Public Holidays": the public holidays of a region over a span of
// years, shown with a check box each before anything is added. Dates the
// project has as holidays already are marked and left alone; the checked
// ones are added in one step and the region is remembered for the project.
class KelvaraPublicHolidays : public QDialog
{
    Q_OBJECT

public:
    enum Column { DateColumn = 0, WeekdayColumn = 1, NameColumn = 2, NoteColumn = 3 };

    explicit KelvaraPublicHolidays(const QString &databasePath, QWidget *parent = nullptr);

    QComboBox *regionBox() const { return m_region; }
    QSpinBox *firstYearBox() const { return m_firstYear; }
    QSpinBox *lastYearBox() const { return m_lastYear; }
    QTableWidget *table() const { return m_table; }
    QPushButton *addButton() const { return m_add; }
    // The dates added by the last successful "Add Checked".
    int addedCount() const { return m_added; }

    // The language of the holiday names: the interface's.
    static PublicHolidays::Language language();

    // Runs the dialog, or hands it to the answerer a test installed.
    int run();
    using Answerer = std::function<int(KelvaraPublicHolidays *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

public slots:
    void buildPreview();
    void addChecked();

private:
    static Answerer &answerer();
    QDate siteToday() const;
    void updateCount();

    QString m_databasePath;
    QComboBox *m_region = nullptr;
    QSpinBox *m_firstYear = nullptr;
    QSpinBox *m_lastYear = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_add = nullptr;
    int m_added = 0;
};
