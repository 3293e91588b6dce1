#include "widgets/kxdialogs.h"

#include <QFileDialog>
#include <QInputDialog>

namespace {
KxDialogs::Answerer &answerer()
{
    static KxDialogs::Answerer a;
    return a;
}
} // namespace

KxDialogs::Answerer KxDialogs::setAnswerer(Answerer a)
{
    Answerer previous = answerer();
    answerer() = std::move(a);
    return previous;
}

QString KxDialogs::getText(QWidget *parent, const QString &title, const QString &label,
                           const QString &text)
{
    if (answerer())
        return answerer()(Text, title, label, text);
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    return ok ? answer : QString();
}

QString KxDialogs::getPassword(QWidget *parent, const QString &title, const QString &label)
{
    if (answerer())
        return answerer()(Password, title, label, QString());
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Password, QString(), &ok);
    return ok ? answer : QString();
}

QString KxDialogs::getExistingDirectory(QWidget *parent, const QString &caption,
                                        const QString &folder)
{
    if (answerer())
        return answerer()(ExistingDirectory, caption, QString(), folder);
    return QFileDialog::getExistingDirectory(parent, caption, folder, QFileDialog::ShowDirsOnly);
}

QString KxDialogs::getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                   const QString &filter)
{
    if (answerer())
        return answerer()(OpenFile, caption, filter, folder);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString KxDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &proposal,
                                   const QString &filter)
{
    if (answerer())
        return answerer()(SaveFile, caption, filter, proposal);
    return QFileDialog::getSaveFileName(parent, caption, proposal, filter);
}
