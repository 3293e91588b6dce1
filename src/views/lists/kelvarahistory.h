#pragma once

#include "db/audithistory.h"

#include <QDialog>
#include <QString>

class AccessBoard;
class AuditTrailModel;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;

// The project's audit trail: who changed what and when, newest first, with
// filters by period, operator, kind of object, object name and free text,
// the whole of the selected record below, and exports to CSV and PDF. It can
// be narrowed to the records of one user, one entry, or one right (a user at
// an entry), as the board's and the user list's menus open it. Not modal.
class KelvaraHistory : public QDialog
{
    Q_OBJECT

public:
    enum Period { AnyTime = 0, Today, LastWeek, LastMonth, ThisYear, Between };

    explicit KelvaraHistory(const QString &databasePath, QWidget *parent = nullptr);

    // Opens a history for the user ("Last, First") and/or the entry
    // ("Area/Entry"); empty names do not narrow it. Deleted on close.
    static KelvaraHistory *open(const QString &databasePath, const QString &user,
                                const QString &entry, QWidget *parent);
    // Opens the history of the right in a board cell of a user and an entry;
    // none (nullptr) for another cell or one the board no longer has.
    static KelvaraHistory *openForRight(const QString &databasePath, const AccessBoard &board,
                                        int row, int column, QWidget *parent);

    AuditTrailModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QComboBox *periodBox() const { return m_period; }
    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QComboBox *operatorBox() const { return m_operator; }
    QComboBox *kindBox() const { return m_kind; }
    QLineEdit *objectEdit() const { return m_object; }
    QLineEdit *textEdit() const { return m_text; }
    QLabel *subjectLabel() const { return m_subject; }
    QPushButton *allRecordsButton() const { return m_allRecords; }
    QPlainTextEdit *detailView() const { return m_detail; }
    QPushButton *csvButton() const { return m_csv; }
    QPushButton *pdfButton() const { return m_pdf; }

    // The filter the widgets and the subject make now.
    AuditHistory::Filter filter() const;
    // A line that says what the filter keeps, for the exports.
    QString filterText() const;

public slots:
    // Narrows the list to the records of the user and/or entry (empty: all).
    void setSubject(const QString &user, const QString &entry);
    // Reads the list again with the filter as the widgets give it.
    void applyFilter();
    void exportCsv();
    void exportPdf();

private:
    void showRecord();
    void periodChanged();
    void fillOperators();

    QString m_databasePath;
    QString m_user;
    QString m_entry;
    AuditTrailModel *m_model = nullptr;
    QComboBox *m_period = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_operator = nullptr;
    QComboBox *m_kind = nullptr;
    QLineEdit *m_object = nullptr;
    QLineEdit *m_text = nullptr;
    QLabel *m_subject = nullptr;
    QPushButton *m_allRecords = nullptr;
    QTableView *m_table = nullptr;
    QPlainTextEdit *m_detail = nullptr;
    QPushButton *m_csv = nullptr;
    QPushButton *m_pdf = nullptr;
    QTimer *m_typing = nullptr;
};
