#include "widgets/kxmessagebox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QSpacerItem>

namespace {
KxMessageBox::Answerer &installedAnswerer()
{
    static KxMessageBox::Answerer answerer;
    return answerer;
}

// The answer a box gives when it is closed without a choice: the escape
// button Qt would pick, else the default, else the only button.
QMessageBox::StandardButton closingButton(QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton)
{
    for (QMessageBox::StandardButton button :
         {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort, QMessageBox::Close,
          QMessageBox::Ignore, QMessageBox::NoToAll}) {
        if (buttons.testFlag(button))
            return button;
    }
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    if (buttons.testFlag(QMessageBox::Ok))
        return QMessageBox::Ok;
    return QMessageBox::NoButton;
}
} // namespace

QMessageBox::StandardButton KxMessageBox::information(QWidget *parent, const QString &title,
                                                      const QString &text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton)
{
    return show(QMessageBox::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KxMessageBox::warning(QWidget *parent, const QString &title,
                                                  const QString &text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    return show(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KxMessageBox::critical(QWidget *parent, const QString &title,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    return show(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KxMessageBox::question(QWidget *parent, const QString &title,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    return show(QMessageBox::Question, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton KxMessageBox::show(QMessageBox::Icon icon, QWidget *parent,
                                               const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    if (buttons == QMessageBox::NoButton)
        buttons = QMessageBox::Ok;
    // A copy: the answerer may install another one while it answers.
    if (const Answerer answerer = installedAnswerer()) {
        const QMessageBox::StandardButton answer = answerer(icon, title, text);
        if (buttons.testFlag(answer))
            return answer;
        // A caller only handles the buttons it offered.
        qWarning("KxMessageBox: answer 0x%x is not among the buttons of \"%s\"", unsigned(answer),
                 qPrintable(title));
        return closingButton(buttons, defaultButton);
    }
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        // Nobody can see or close this box: answer as if it was closed.
        qWarning("KxMessageBox: unanswered box \"%s\" on a screen without a person",
                 qPrintable(title));
        return closingButton(buttons, defaultButton);
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    widenForTitle(&box);
    if (box.exec() == -1)
        return closingButton(buttons, defaultButton);
    return box.standardButton(box.clickedButton());
}

void KxMessageBox::widenForTitle(QMessageBox *box)
{
    auto *grid = qobject_cast<QGridLayout *>(box->layout());
    if (!grid)
        return;
    // Room for the title and the window manager's icon and buttons beside it.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

KxMessageBox::Answerer KxMessageBox::setAnswerer(Answerer answerer)
{
    Answerer previous = std::move(installedAnswerer());
    installedAnswerer() = std::move(answerer);
    return previous;
}

bool KxMessageBox::hasAnswerer()
{
    return bool(installedAnswerer());
}

KxMessageBox::ScopedAnswerer::ScopedAnswerer(Answerer answerer)
    : m_previous(KxMessageBox::setAnswerer(std::move(answerer)))
{
}

KxMessageBox::ScopedAnswerer::~ScopedAnswerer()
{
    KxMessageBox::setAnswerer(std::move(m_previous));
}
