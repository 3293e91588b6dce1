#pragma once

#include <QString>

#include <functional>

class QWidget;

// The input and file dialogs the program asks with. Tests install an answerer
// so that no dialog waits for a person.
class KxDialogs
{
public:
    enum Kind { Text, ExistingDirectory, OpenFile, SaveFile, Password };

    // Receives the kind, the title, the label or filter and the proposed text
    // or folder; returns the answer, or a null string for Cancel.
    using Answerer = std::function<QString(Kind kind, const QString &title, const QString &label,
                                           const QString &proposal)>;

    static QString getText(QWidget *parent, const QString &title, const QString &label,
                           const QString &text = QString());
    // Asks for a password; the text shows as dots.
    static QString getPassword(QWidget *parent, const QString &title, const QString &label);
    static QString getExistingDirectory(QWidget *parent, const QString &caption,
                                        const QString &folder);
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                   const QString &filter);
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &proposal,
                                   const QString &filter);

    static Answerer setAnswerer(Answerer answerer);
};
