"""Several monitors, displays that change while the program runs, taskbars on other monitors and
full-screen programs, on an X server with several outputs (Xorg's dummy driver)."""
import math

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import WineSession, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
WIDTH, HEIGHT = 40, 48  # the still mascot a.bmp
PRIMARY = (1024, 768, 0, 0)
RIGHT = (800, 600, 1024, 0)  # shorter than the primary: a gap below it
SECOND = '\\\\.\\DISPLAY2'
WM_SETTINGCHANGE, SPI_SETWORKAREA = 0x1A, 0x2F


def standing_on(rect):
    """Where a still mascot stands on a rectangle: 75 % along the top edge, as the program computes."""
    left, top, right, _ = rect
    x = math.trunc(left - WIDTH + (right - left + WIDTH) * 75 * 0.01)
    return (x, top - HEIGHT, x + WIDTH, top)


def restart(session, **values):
    """The program started anew with these global values (and a.bmp running)."""
    if session.velmora and session.velmora.poll() is None:
        session.exit_velmora()
    session.delete_key('Software\\Korrin')
    session.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    for name, value in values.items():
        if '\\' in name:
            key, value_name = name.rsplit('\\', 1)
            session.set_value(ROOT + '\\' + key, value_name, value)
        else:
            session.set_value(ROOT, name, value)
    session.start_velmora()
    return wait_until(lambda: session.mascots(), message='the mascot')[0].handle


def make_session(monitors):
    session = WineSession(monitors=monitors)
    session.monitor_lines = session.driver('monitors').split('\n')
    (session.app_dir / 'Mascots').mkdir()
    write_bmp24(session.app_dir / 'Mascots' / 'a.bmp', WIDTH, HEIGHT, ellipse_figure(WIDTH, HEIGHT))
    session.target_window = session.target(200, 300, 400, 300)
    return session


@pytest.fixture(scope='module')
def right(request):
    session = make_session([PRIMARY, RIGHT])
    assert len([line for line in session.monitor_lines if line.strip()]) == 2, session.monitor_lines
    yield session
    session.close()


def put_target(session, rect, handle=None):
    handle = handle or session.target_window
    left, top, right, bottom = rect
    session.driver('move', handle, left, top, right - left, bottom - top)
    session.driver('foreground', handle)
    return handle


def mascot_state(session, mascot):
    window = session.window(mascot)
    return window.visible, window.rect


def settles_at(session, mascot, visible, rect=None):
    def settled():
        shown, where = mascot_state(session, mascot)
        return shown == visible and (rect is None or where == rect)
    return wait_until(settled, timeout=5, message=f'the mascot {"at " + str(rect) if visible else "hidden"}',
                      seen=lambda: mascot_state(session, mascot))


@pytest.mark.parametrize('rule, target, visible', [
    (1, (1100, 200, 1600, 500), True),    # wholly on the second monitor
    (1, (700, 300, 1100, 500), True),     # straddling the primary and the second
    (1, (1300, 700, 1700, 760), False),   # standing in the gap below the shorter monitor
    (0, (1300, 700, 1700, 760), True),    # the same without the rule
    (1, (1700, 200, 1900, 500), False),   # sticking out past the second monitor's right edge
], ids=['second', 'straddling', 'gap', 'gap-without-rule', 'past-the-right'])
def test_off_screen_rule_on_two_monitors(right, rule, target, visible):
    mascot = restart(right, OutScreenMascot=rule, NoWindowFlag=1)
    put_target(right, target)
    settles_at(right, mascot, visible, standing_on(target) if visible else None)


def test_off_screen_rule_follows_a_monitor_removed_and_added_again(right):
    mascot = restart(right, OutScreenMascot=1, NoWindowFlag=1)
    target = (1100, 200, 1600, 500)
    put_target(right, target)
    settles_at(right, mascot, True, standing_on(target))
    try:
        assert right.driver('display-set', SECOND, 0, 0, 0, 0).split() == ['0', '0']
        wait_until(lambda: len(right.driver('monitors').split('\n')) == 2, message='one monitor left')
        settles_at(right, mascot, False)
    finally:
        right.driver('display-set', SECOND, 1024, 0, 800, 600)
    wait_until(lambda: len([m for m in right.driver('monitors').split('\n') if m.strip()]) == 2,
               message='the second monitor back')
    # The new layout counts at once: the mascot comes back on the window that never moved.
    settles_at(right, mascot, True, standing_on(target))


def test_refused_mascot_stands_on_the_taskbar_of_its_targets_monitor(right):
    mascot = restart(right, NoWindowFlag=2, **{'NoApp\\vdriver.exe': ''})
    primary_taskbar = tuple(int(v) for v in right.driver('info', right.windows('Shell_TrayWnd')[0].handle).split()[2:6])
    # No taskbar on the second monitor yet: the primary one stands in.
    put_target(right, (1100, 200, 1600, 500))
    settles_at(right, mascot, True, standing_on(primary_taskbar))
    taskbar_rect = (1024, 570, 1824, 600)
    process, _ = right.spawn_reporting('C:\\vdriver.exe', 'popup', 'Shell_SecondaryTrayWnd', 1024, 570, 800, 30)
    # The shell tells every window when a taskbar comes or goes.
    right.driver('send', right.controller().handle, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0)
    put_target(right, (1100, 210, 1600, 500))
    settles_at(right, mascot, True, standing_on(taskbar_rect))
    put_target(right, (200, 300, 600, 600))
    settles_at(right, mascot, True, standing_on(primary_taskbar))
    process.kill()


def test_a_taskbar_the_shell_moves_without_a_word_carries_its_mascot(right):
    mascot = restart(right, NoWindowFlag=2, **{'NoApp\\vdriver.exe': ''})
    process, secondary = right.spawn_reporting('C:\\vdriver.exe', 'popup', 'Shell_SecondaryTrayWnd', 1024, 570,
                                               800, 30)
    try:
        right.driver('send', right.controller().handle, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0)
        put_target(right, (1100, 200, 1600, 500))
        settles_at(right, mascot, True, standing_on((1024, 570, 1824, 600)))
        # Auto-hide or the shell's own layout moves a taskbar with no message to anyone.
        for moved in ((1224, 570, 1824, 600), (1024, 560, 1624, 590)):
            right.driver('move', secondary, moved[0], moved[1], moved[2] - moved[0], moved[3] - moved[1])
            settles_at(right, mascot, True, standing_on(moved))
    finally:
        process.kill()


@pytest.mark.parametrize('values, covering, visible', [
    ({'MaximizeWindow': 1}, True, False),
    ({'MaximizeWindow': 0}, True, True),
    ({'MaximizeWindow': 1}, False, True),
    ({'Mascot\\a.bmp\\NonTargetAll': 0, 'Mascot\\a.bmp\\MaximizeWindow': 1}, True, False),
    ({'MaximizeWindow': 1, 'Mascot\\a.bmp\\NonTargetAll': 0}, True, True),
], ids=['global-on', 'global-off', 'one-pixel-short', 'own-rule-on', 'own-rule-off'])
def test_a_full_screen_window_counts_as_maximised(right, values, covering, visible):
    mascot = restart(right, NoWindowFlag=1, **values)
    put_target(right, (200, 300, 600, 600))
    settles_at(right, mascot, True)
    # A borderless window over the whole second monitor, as a video player makes it.
    height = 600 if covering else 599
    process, player = right.spawn_reporting('C:\\vdriver.exe', 'popup', 'VideoPlayer', 1024, 0, 800, height)
    right.driver('foreground', player)
    if visible:
        settles_at(right, mascot, True, standing_on((1024, 0, 1824, height)))
    else:
        settles_at(right, mascot, False)
    process.kill()


def test_off_screen_rule_on_a_monitor_left_of_the_primary():
    # X puts the second output at 0 and the primary at 800; Windows puts the primary at the origin.
    session = make_session([(1024, 768, 800, 0), (800, 600, 0, 0)])
    try:
        lines = [line.split() for line in session.monitor_lines if line.strip()]
        assert sorted(tuple(int(v) for v in line[1:5]) for line in lines) == [(-800, 0, 0, 600), (0, 0, 1024, 768)]
        mascot = restart(session, OutScreenMascot=1, NoWindowFlag=1)
        for target in ((-700, 200, -300, 500), (-200, 300, 200, 500)):
            put_target(session, target)
            settles_at(session, mascot, True, standing_on(target))
        put_target(session, (-1200, 300, -800, 500))  # the mascot sticks out past the left edge
        settles_at(session, mascot, False)
    finally:
        session.close()
