#include "widgets/kxfindbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

KxFindBar::KxFindBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    auto *label = new QLabel(tr("Find:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(tr("User, group, entry, area or identifier"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(280);
    m_edit->installEventFilter(this);
    label->setBuddy(m_edit);
    m_previous = new QToolButton(this);
    m_previous->setArrowType(Qt::UpArrow);
    m_previous->setToolTip(tr("Previous match (Shift+F3)"));
    m_next = new QToolButton(this);
    m_next->setArrowType(Qt::DownArrow);
    m_next->setToolTip(tr("Next match (F3, Enter)"));
    m_matches = new QLabel(this);
    m_matches->setMinimumWidth(110);
    m_filter = new QCheckBox(tr("Show only &matches"), this);
    m_filter->setToolTip(tr("Shows only the matching rows or columns; Escape shows all again"));
    m_close = new QToolButton(this);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    m_close->setToolTip(tr("Close the find bar (Escape)"));

    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addWidget(m_matches);
    layout->addWidget(m_filter);
    layout->addStretch();
    layout->addWidget(m_close);

    connect(m_edit, &QLineEdit::textChanged, this, &KxFindBar::textChanged);
    connect(m_edit, &QLineEdit::returnPressed, this, &KxFindBar::findNext);
    connect(m_next, &QToolButton::clicked, this, &KxFindBar::findNext);
    connect(m_previous, &QToolButton::clicked, this, &KxFindBar::findPrevious);
    connect(m_filter, &QCheckBox::toggled, this, &KxFindBar::filterToggled);
    connect(m_close, &QToolButton::clicked, this, &KxFindBar::dismiss);
    hide();
}

QString KxFindBar::text() const
{
    return m_edit->text();
}

bool KxFindBar::isFilterOn() const
{
    return isVisible() && m_filter->isChecked();
}

QString KxFindBar::matchText() const
{
    return m_matches->text();
}

void KxFindBar::setMatchText(const QString &text, bool found)
{
    m_matches->setText(text);
    // No match: the text field says so in red, as editors do.
    m_edit->setStyleSheet(found || m_edit->text().isEmpty()
                              ? QString()
                              : QStringLiteral("QLineEdit { background: rgb(255,210,210); }"));
}

void KxFindBar::activate()
{
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void KxFindBar::dismiss()
{
    const bool wasVisible = isVisible();
    m_filter->setChecked(false);
    hide();
    if (wasVisible)
        emit dismissed();
}

void KxFindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool KxFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool shift = key->modifiers().testFlag(Qt::ShiftModifier);
        if (key->key() == Qt::Key_F3 ||
            ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && shift)) {
            if (shift)
                emit findPrevious();
            else
                emit findNext();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
