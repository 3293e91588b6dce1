#pragma once

#include "db/serverconnection.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

// Asks for a new server project: its name, the folder that will hold its
// connection file and local log/ and data/ folders, and where its database
// lives (host, port, database, user, SSL mode). Never a password: the server
// asks for one when it wants one.
class KelvaraNewServerProjectDialog : public QDialog
{
    Q_OBJECT
public:
    explicit KelvaraNewServerProjectDialog(const QString &parentFolder, QWidget *parent = nullptr);

    struct Values
    {
        QString name;
        QString parentFolder;
        ServerConnection connection;
    };
    // Runs the dialog; false when cancelled.
    static bool run(QWidget *parent, const QString &parentFolder, Values *values);
    // Tests answer the dialog instead of a person; see KxSelectReader.
    using Answerer = std::function<int(KelvaraNewServerProjectDialog *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

    Values values() const;

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *folderEdit() const { return m_folder; }
    QLineEdit *hostEdit() const { return m_host; }
    QSpinBox *portBox() const { return m_port; }
    QLineEdit *databaseEdit() const { return m_database; }
    QLineEdit *userEdit() const { return m_user; }
    QComboBox *sslModeBox() const { return m_sslMode; }

private:
    void chooseFolder();
    void updateOk();

    QLineEdit *m_name = nullptr;
    QLineEdit *m_folder = nullptr;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_user = nullptr;
    QComboBox *m_sslMode = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
