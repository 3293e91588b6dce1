#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The log lines of a function run, in a tool window of its own beside the
// function dialog. Closing it only hides it; the lines stay until the dialog goes.
class KelvaraFunctionLogWin : public QWidget
{
    Q_OBJECT

public:
    explicit KelvaraFunctionLogWin(const QString &dialogTitle, QWidget *parent = nullptr);

    QString text() const;
    QPlainTextEdit *textArea() const { return m_text; }
    QPushButton *saveButton() const { return m_save; }

    // Where "Save..." proposes the file.
    void setDefaultFolder(const QString &folder) { m_defaultFolder = folder; }

    // Writes the lines with "\r\n" line ends, as the function log files have them.
    bool saveToFile(const QString &path, QString *errorText = nullptr) const;

public slots:
    void appendMessage(const QString &message);
    // Asks for a file name and saves; failures are shown.
    void saveAs();
    void setHelp(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_save = nullptr;
    QString m_defaultFolder;
};
