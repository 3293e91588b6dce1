#include "widgets/kxcellstyle.h"

#include <QHash>

bool KxCellStyle::operator==(const KxCellStyle &other) const
{
    return alignment == other.alignment && background == other.background &&
           textPen == other.textPen && bottomLine == other.bottomLine &&
           rightLine == other.rightLine && font == other.font;
}

namespace {
uint hashPen(const QPen &pen, uint seed)
{
    seed = qHash(pen.color().rgba(), seed);
    seed = qHash(pen.widthF(), seed);
    return qHash(int(pen.style()), seed);
}
} // namespace

uint qHash(const KxCellStyle &style, uint seed)
{
    // Only what is cheap to read: equal styles hash equally, and the few
    // collisions (gradients, textures) are sorted out by operator==.
    seed = qHash(int(style.alignment), seed);
    seed = qHash(style.background.color().rgba(), seed);
    seed = qHash(int(style.background.style()), seed);
    seed = hashPen(style.textPen, seed);
    seed = hashPen(style.bottomLine, seed);
    seed = hashPen(style.rightLine, seed);
    return qHash(style.font, seed);
}
