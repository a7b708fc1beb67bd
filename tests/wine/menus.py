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
ITEMS = 5


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


def open_tray_menu(session, clicks=3):
    """Right-clicks the tray icon until the menu shows. A busy Wine taskbar has been seen to
    take a click and pass nothing on; a click that lands while the menu is already up is
    ignored by the menu, which opens on the right button and tracks only the left."""
    for _ in range(clicks - 1):
        session.xdotool('mousemove', *TRAY_ICON, 'click', 3)
        try:
            return wait_until(lambda: visible(session, '#32768'), timeout=2)[0]
        except AssertionError:
            pass
    session.xdotool('mousemove', *TRAY_ICON, 'click', 3)
    return wait_until(lambda: visible(session, '#32768'), message='the popup menu')[0]


def shown_menu(session, name='menu', count=ITEMS):
    """(the open menu's window, its rows as menu_rows reads them) once the menu keeps its place
    and a screenshot shows all its count rows: a busy machine can catch a menu not yet moved
    to its place or not yet painted."""
    looks = []

    def painted():
        menu = settled_menu(session)
        if not menu:
            looks.append(('no menu in its place', visible(session, '#32768')))
            return None
        rows = menu_rows(shot(session, name), menu.rect)
        looks.append((menu.rect, rows))
        return (menu, rows) if len(rows) == count else None
    return wait_until(painted, timeout=10, message=f'a menu of {count} painted rows',
                      seen=lambda: looks[-1] if looks else None)


def menu_states(session, name='menu', count=ITEMS):
    """The open menu's item states ('enabled' or 'greyed') from the top, once it is painted."""
    return [state for state, _ in shown_menu(session, name, count)[1]]


def choose(session, position):
    """Clicks a menu item, found on a screenshot of the open menu."""
    menu, rows = shown_menu(session, 'menu-choice')
    session.driver('mouse', menu.rect[0] + 30, rows[position - 1][1], 'left')


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
