#include "views/functions/kelvarafunctionlogwin.h"

#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

KelvaraFunctionLogWin::KelvaraFunctionLogWin(const QString &dialogTitle, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setWindowTitle(tr("%1 ::: %2").arg(tr("Log Window"), dialogTitle));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_text->setFont(mono);
    m_save = new QPushButton(tr("Save..."), this);
    connect(m_save, &QPushButton::clicked, this, &KelvaraFunctionLogWin::saveAs);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

QString KelvaraFunctionLogWin::text() const
{
    return m_text->toPlainText();
}

void KelvaraFunctionLogWin::appendMessage(const QString &message)
{
    QString line = message;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->appendPlainText(line);
}

bool KelvaraFunctionLogWin::saveToFile(const QString &path, QString *errorText) const
{
    QString content = m_text->toPlainText();
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (!content.isEmpty())
        content += QStringLiteral("\r\n");
    QSaveFile file(path);
    const QByteArray bytes = content.toLocal8Bit();
    // Nothing counts as saved before the whole text is on disk under its name.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

void KelvaraFunctionLogWin::saveAs()
{
    const QString proposal = QDir(m_defaultFolder.isEmpty() ? QDir::homePath() : m_defaultFolder)
                                 .filePath(QStringLiteral("function-log-%1.log")
                                               .arg(QDateTime::currentDateTime().toString(
                                                   QStringLiteral("yyyy-MM-dd-HHmmss"))));
    QString path = KxDialogs::getSaveFileName(this, tr("Save Log Window"), proposal,
                                              tr("Log files (*.log *.txt)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!saveToFile(path, &reason))
        KxMessageBox::critical(this, tr("Save Log Window"),
                               tr("The file '%1' could not be written:\n%2")
                                   .arg(QDir::toNativeSeparators(path), reason));
}

void KelvaraFunctionLogWin::setHelp(bool on)
{
    const QString text = tr("The log lines of the running function, as written to the "
                            "function's daily log file.");
    const QString save = tr("Save the lines of this window to a file.");
    m_text->setWhatsThis(text);
    m_save->setWhatsThis(save);
    m_text->setToolTip(on ? text : QString());
    m_save->setToolTip(on ? save : QString());
}

void KelvaraFunctionLogWin::closeEvent(QCloseEvent *event)
{
    hide();
    event->ignore();
}
