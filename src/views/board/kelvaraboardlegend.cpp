#include "views/board/kelvaraboardlegend.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

enum class Mark { None, BottomLine, RightLine, Frame, Collapsed };

// A sample of a board cell as the board draws it.
QPixmap sample(const QColor &background, const QString &text, Mark mark, bool bold = false)
{
    QPixmap pixmap(96, 26);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    const QRect box(1, 1, 94, 24);
    painter.fillRect(box, background);
    painter.setPen(QPen(Qt::lightGray));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    QFont font = painter.font();
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(Qt::black);
    QString shown = text;
    if (mark == Mark::Collapsed)
        shown = QStringLiteral("\u25B8 ") + text;
    painter.drawText(box, Qt::AlignCenter, shown);
    switch (mark) {
    case Mark::BottomLine:
        painter.setPen(QPen(Qt::blue, 2));
        painter.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        break;
    case Mark::RightLine:
        painter.setPen(QPen(Qt::blue, 2));
        painter.drawLine(box.right(), box.top(), box.right(), box.bottom());
        break;
    case Mark::Frame:
        painter.setPen(QPen(QColor(0, 84, 180), 2));
        painter.drawRect(box.adjusted(1, 1, -1, -1));
        break;
    default:
        break;
    }
    return pixmap;
}

} // namespace

KelvaraBoardLegend::KelvaraBoardLegend(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Access Board Legend"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    const QColor white(Qt::white);
    const QColor yellow(Qt::yellow);
    struct Row
    {
        QPixmap picture;
        QString text;
    };
    const Row rows[] = {
        {sample(white, QStringLiteral("S1"), Mark::None),
         tr("The time model that lets the user pass the entry.")},
        {sample(white, QString(), Mark::None), tr("No right: the user cannot pass the entry.")},
        {sample(white, QStringLiteral("***"), Mark::None),
         tr("The time model \"***\" (Always): access at any time.")},
        {sample(QColor(Qt::lightGray), QStringLiteral("S2"), Mark::None),
         tr("Grey: a right that differs from the most frequent one of its user group and area.")},
        {sample(yellow, QStringLiteral("S1"), Mark::BottomLine),
         tr("Yellow: a user group (row) or an area (column); its cells show the time model all "
            "members share. A change there applies to all members.")},
        {sample(yellow, QStringLiteral("..."), Mark::RightLine),
         tr("\"...\": the members of the group or area hold different time models.")},
        {sample(QColor(255, 128, 128), tr("Entry"), Mark::None),
         tr("Red entry head: the entry's reader needs an update (\"Update Access Rights\"). A "
            "collapsed area with such an entry is red too.")},
        {sample(yellow, tr("Area"), Mark::Collapsed, true),
         tr("\u25B8 collapsed, \u25BE expanded group or area: a double click (or Space) "
            "switches.")},
        {sample(white, QStringLiteral("S1"), Mark::Frame),
         tr("The current cell: the arrow keys, Page Up/Down, Home and End move it; Enter opens "
            "its menu.")},
    };
    int r = 0;
    for (const Row &row : rows) {
        auto *picture = new QLabel(this);
        picture->setPixmap(row.picture);
        auto *text = new QLabel(row.text, this);
        text->setWordWrap(true);
        // A wrapped label in a grid gets its height only when its width is known.
        text->setFixedWidth(460);
        text->setMinimumHeight(text->heightForWidth(460));
        grid->addWidget(picture, r, 0, Qt::AlignTop);
        grid->addWidget(text, r, 1);
        ++r;
    }
    layout->addLayout(grid);
    auto *keys = new QLabel(tr("Ctrl+F finds users, groups, entries and areas by name or "
                               "identifier; Ctrl+Z and Ctrl+Shift+Z undo and redo changes of "
                               "rights. Drag the board with the left mouse button."),
                            this);
    keys->setWordWrap(true);
    keys->setMinimumHeight(keys->heightForWidth(580));
    layout->addWidget(keys);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
