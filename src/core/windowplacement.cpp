#include "core/windowplacement.h"

#include "core/applicationsettings.h"

QRect WindowPlacement::fitIntoArea(QRect rect, const QRect &area)
{
    if (rect.bottom() > area.bottom())
        rect.moveBottom(area.bottom());
    if (rect.right() > area.right())
        rect.moveRight(area.right());
    if (rect.top() < MinimumTop)
        rect.moveTop(MinimumTop);
    if (rect.left() < area.left())
        rect.moveLeft(area.left());
    return rect;
}

void WindowPlacement::fitDialogRects(ApplicationSettings &settings, const QRect &area)
{
    for (QRect *rect :
         {&settings.editUserDialogGeometry, &settings.editDoorDialogGeometry,
          &settings.editTimeModelDialogGeometry, &settings.editHolidaysDialogGeometry,
          &settings.editHolidayDateDialogGeometry, &settings.functionDialogGeometry,
          &settings.functionLogWindowGeometry, &settings.selectReaderDialogGeometry,
          &settings.generalSettingsDialogGeometry, &settings.projectSettingsDialogGeometry})
        *rect = fitIntoArea(*rect, area);
}
