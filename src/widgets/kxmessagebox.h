#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

// The one way the program shows a message box. Tests install an answerer so
// that no box ever waits for a person.
class KxMessageBox
{
public:
    using Answerer = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon icon, const QString &title, const QString &text)>;

    static QMessageBox::StandardButton
    information(QWidget *parent, const QString &title, const QString &text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    warning(QWidget *parent, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    critical(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Any box of the given icon.
    static QMessageBox::StandardButton show(QMessageBox::Icon icon, QWidget *parent,
                                            const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);

    // Makes the box at least as wide as its title needs, so window managers
    // do not cut the title short.
    static void widenForTitle(QMessageBox *box);

    // Installs an answerer (an empty one removes it) and returns the one
    // installed before.
    static Answerer setAnswerer(Answerer answerer);
    static bool hasAnswerer();

    // Installs an answerer for its own lifetime and puts the previous one back.
    class ScopedAnswerer
    {
    public:
        explicit ScopedAnswerer(Answerer answerer);
        ~ScopedAnswerer();
        ScopedAnswerer(const ScopedAnswerer &) = delete;
        ScopedAnswerer &operator=(const ScopedAnswerer &) = delete;

    private:
        Answerer m_previous;
    };
};
