#pragma once

#include <QRect>

class ApplicationSettings;

// Brings stored window rectangles back onto the desktop at start, keeping
// their sizes: a screen that shrank or went away must not leave a dialog
// where nobody can reach it.
class WindowPlacement
{
public:
    // The top edge never goes above this y, so a title bar stays reachable.
    static constexpr int MinimumTop = 30;

    // Moved up when the bottom is below the area, left when the right edge is
    // beyond it, down when the top is above MinimumTop, right when the left
    // edge is left of the area, in this order.
    static QRect fitIntoArea(QRect rect, const QRect &area);

    // Applies fitIntoArea to the ten stored dialog rectangles.
    static void fitDialogRects(ApplicationSettings &settings, const QRect &area);
};
