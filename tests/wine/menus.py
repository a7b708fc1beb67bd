"""The popup menu and the program's dialogs driven from outside: the tray icon, menus opened
with real clicks and chosen on a screenshot, dialogs found as they open."""
import time

from harness import wait_until
from pictures import menu_rows, shot

TRAY_ICON = (1013, 758)  # the only icon sits at the right end of the taskbar
WM_COMMAND = 0x111
VK_ESCAPE = 0x1B
# Menu items counted from the top, separators skipped.
SETTINGS, HELP, ABOUT_MASCOT, VERSION, EXIT = range(1, 6)


def visible(session, prefix):
    return [w for w in session.windows(prefix) if w.visible]


def open_dialog(session):
    return wait_until(lambda: visible(session, '#32770'), message='a dialog')[0]


def nothing_opens(session, kinds=('#32768', '#32770'), seconds=1.0):
    """No window of the given kinds (menus, dialogs) shows up within the given time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if any(visible(session, kind) for kind in kinds):
            return False
        time.sleep(0.1)
    return True


def open_tray_menu(session):
    session.xdotool('mousemove', *TRAY_ICON, 'click', 3)
    return wait_until(lambda: visible(session, '#32768'), message='the popup menu')[0]


def choose(session, position):
    """Clicks a menu item, found on a screenshot of the open menu."""
    menu = visible(session, '#32768')[0]
    _, y = menu_rows(shot(session, 'menu-choice'), menu.rect)[position - 1]
    session.driver('mouse', menu.rect[0] + 30, y, 'left')


def close_menu(session):
    session.driver('key', VK_ESCAPE)
    wait_until(lambda: not visible(session, '#32768'), message='the menu to close')


def settled_menu(session):
    """The open menu once its window keeps its rectangle: a busy machine can catch the menu
    window shown before it has been moved to its place."""
    before = visible(session, '#32768')
    time.sleep(0.2)
    after = visible(session, '#32768')
    return after[0] if before and after and before[0].rect == after[0].rect else None


def still_mascot_rects(session):
    """The shown mascots' rectangles when they stay the same over three ticks, else None."""
    before = [m.rect for m in session.mascots() if m.visible]
    time.sleep(0.3)
    after = [m.rect for m in session.mascots() if m.visible]
    return after if before and before == after else None
