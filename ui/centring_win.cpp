#include "ui/centring_win.h"

#include "core/application_win.h"
#include "ui/centring.h"

void CentreWindow(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    const CentredPoint origin = CentredOrigin(g_app.screen_width, g_app.screen_height, r.right - r.left,
                                              r.bottom - r.top);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}
