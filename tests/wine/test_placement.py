"""A mascot standing on the target window: anchors, following, refusal rules, hiding."""
import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import stays, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
WM_SETTINGCHANGE, WM_DISPLAYCHANGE, SPI_SETDESKWALLPAPER = 0x1A, 0x7E, 0x14


@pytest.fixture(scope='module')
def figure(wine_desktop):
    wine = wine_desktop
    mascots = wine.app_dir / 'Mascots'
    mascots.mkdir(exist_ok=True)
    write_bmp24(mascots / 'figure.bmp', 64, 80, ellipse_figure(64, 80))
    return 'figure.bmp'


@pytest.fixture
def session(wine_desktop, figure):
    """The program running with the figure mascot, in the virtual desktop with its taskbar."""
    wine = wine_desktop
    wine.delete_key('Software\\Korrin')
    wine.set_value(ROOT + '\\View', figure, figure)
    yield wine
    if wine.velmora and wine.velmora.poll() is None:
        wine.velmora.kill()
        wine.velmora.wait()
    for process in wine.processes:
        if process is not wine.velmora and process.poll() is None:
            process.kill()
    wait_until(lambda: not wine.windows('Velmo2'), timeout=10, message='the program to end')


def start_with_target(wine, rect=(100, 200, 400, 400)):
    wine.start_velmora()
    mascot = wait_until(lambda: wine.mascots(), message='the mascot')[0]
    target = wine.target(*rect)
    wine.driver('foreground', target)
    return mascot.handle, target


def rect_of(wine, handle):
    return wine.window(handle).rect


def shown(wine, handle):
    return wine.window(handle).visible


def hidden(wine, handle):
    return not wine.window(handle).visible


def wait_rect(wine, handle, expected, timeout=3):
    return wait_until(lambda: rect_of(wine, handle) == expected and rect_of(wine, handle), timeout=timeout,
                      message=f'mascot at {expected}, last {rect_of(wine, handle)}')


def test_defaults_stand_on_the_top_edge_and_follow_the_target(session):
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    info = session.window(mascot)
    assert info.visible and info.topmost
    region = session.region(mascot)
    assert region, 'the window is cut to the picture'
    assert all(0 <= r[0] < r[2] <= 64 and 0 <= r[1] < r[3] <= 80 for r in region)
    assert (0, 0, 64, 80) not in region

    session.driver('move', target, 150, 250, 400, 400)
    # Two ticks of 100 ms in an idle program; the bound leaves room for a loaded machine.
    wait_rect(session, mascot, (434, 170, 498, 250), timeout=2)


def test_stored_settings_move_the_anchor(session, figure):
    key = ROOT + '\\Mascot\\' + figure
    session.set_value(key, 'PositionX', 10)
    session.set_value(key, 'WidthPerDot', 0)
    session.set_value(key, 'WidthLeftRight', 0)
    session.set_value(key, 'PositionY', 5)
    session.set_value(key, 'HeightPerDot', 0)
    session.set_value(key, 'HeightTopBottom', 0)
    mascot, _ = start_with_target(session)
    wait_rect(session, mascot, (426, 515, 490, 595))


def test_a_stored_position_y_alone_changes_only_y(session, figure):
    session.set_value(ROOT + '\\Mascot\\' + figure, 'PositionY', 10)
    mascot, _ = start_with_target(session)
    # 10 percent of (400 + 80) below 120.
    wait_rect(session, mascot, (384, 168, 448, 248))


def test_a_click_on_the_mascot_keeps_the_target(session):
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.xdotool('mousemove', 416, 160, 'click', 1)
    wait_until(lambda: session.driver('foreground-window').split()[0] == mascot,
               message='the clicked mascot to be the foreground window')
    time.sleep(0.3)
    session.driver('move', target, 120, 200, 400, 400)
    wait_rect(session, mascot, (404, 120, 468, 200))


def test_maximized_target_refusals(session):
    session.set_value(ROOT, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', 1)
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('show', target, 3)  # SW_MAXIMIZE
    wait_until(lambda: not session.window(mascot).visible, message='the mascot to hide')
    session.driver('show', target, 9)  # SW_RESTORE
    wait_until(lambda: session.window(mascot).visible, message='the mascot to come back')


def test_maximized_target_with_no_action_is_placed_as_usual(session):
    session.set_value(ROOT, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', 0)
    mascot, target = start_with_target(session)
    session.driver('show', target, 3)
    maximized = wait_until(lambda: session.window(target).rect != (100, 200, 500, 600) and session.window(target).rect)
    left, top, right, bottom = maximized
    expected_x = int((left - 64) + (right - left + 64) * 0.75)
    wait_rect(session, mascot, (expected_x, top - 80, expected_x + 64, top))
    assert session.window(mascot).visible


def test_own_rules_accept_what_the_global_ones_refuse(session, figure):
    session.set_value(ROOT, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', 1)
    session.set_value(ROOT + '\\Mascot\\' + figure, 'NonTargetAll', 0)
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('show', target, 3)
    stays(lambda: shown(session, mascot), 0.6, message='the mascot shown on the maximised window')


def test_maximized_target_with_stay_leaves_the_mascot(session):
    session.set_value(ROOT, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', 3)
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('show', target, 3)
    stays(lambda: shown(session, mascot) and rect_of(session, mascot) == (384, 120, 448, 200), 0.6,
          message='the mascot left where it stood', seen=lambda: session.window(mascot))


def test_off_screen_and_least_size_rules(session):
    session.set_value(ROOT, 'OutScreenMascot', 1)
    session.set_value(ROOT, 'NoWindowFlag', 1)
    mascot, target = start_with_target(session, (100, 0, 400, 400))
    # Standing on a window at the top would leave the screen.
    stays(lambda: hidden(session, mascot), 0.6, message='the mascot hidden off the screen')
    session.driver('move', target, 100, 200, 400, 400)
    wait_until(lambda: session.window(mascot).visible, message='the mascot to come back')


def test_least_size_is_inclusive(session):
    session.set_value(ROOT, 'MinimizeWindow', 1)
    session.set_value(ROOT, 'sizeMinimizeX', 400)
    session.set_value(ROOT, 'NoWindowFlag', 1)
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('move', target, 100, 200, 399, 400)
    wait_until(lambda: not session.window(mascot).visible, message='the mascot to hide')


def test_excluded_program_is_refused_and_tested_again_after_a_move(session):
    session.set_value(ROOT + '\\NoApp', 'vdriver.exe', '')
    session.set_value(ROOT, 'NoWindowFlag', 1)
    mascot, target = start_with_target(session)
    stays(lambda: hidden(session, mascot), 0.6, message='the mascot hidden from the excluded program')
    # Names compare with case: the list entry changes nothing while the rectangle stays.
    session.driver('move', target, 110, 200, 400, 400)
    stays(lambda: hidden(session, mascot), 0.6, message='the mascot hidden after the move')


def test_exclusion_compares_with_case(session):
    session.set_value(ROOT + '\\NoApp', 'VDRIVER.EXE', '')
    session.set_value(ROOT, 'NoWindowFlag', 1)
    mascot, _ = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    assert session.window(mascot).visible


def test_alt_hover_hides_until_the_target_moves(session):
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.xdotool('mousemove', 300, 700)
    session.xdotool('keydown', 'alt')
    try:
        session.xdotool('mousemove', 416, 160)
        session.xdotool('mousemove', 417, 161)
        wait_until(lambda: not session.window(mascot).visible, message='the mascot to hide')
    finally:
        session.xdotool('keyup', 'alt')
    session.xdotool('mousemove', 300, 700)
    stays(lambda: hidden(session, mascot), 0.5, message='the mascot hidden while the target stays')
    # Broadcasts that change no monitor, work area or taskbar (a wallpaper step, a theme or
    # policy refresh, the shell's restart notice on an unchanged desktop) leave it hidden.
    controller = session.controller().handle
    taskbar_created = session.driver('register-message', 'TaskbarCreated').strip()
    for message, wparam in ((WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER), (WM_SETTINGCHANGE, 0),
                            (WM_DISPLAYCHANGE, 24), (taskbar_created, 0)):
        session.driver('send', controller, message, wparam, 0)
    stays(lambda: hidden(session, mascot), 0.5, message='the mascot hidden after the broadcasts')
    session.driver('move', target, 100, 210, 400, 400)
    wait_until(lambda: session.window(mascot).visible, message='the mascot to come back')


def test_mouse_over_hide(session):
    session.set_value(ROOT, 'MouseOverHide', 1)
    mascot, _ = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.xdotool('mousemove', 386, 122)  # a transparent corner of the picture
    stays(lambda: shown(session, mascot), 0.4, message='the mascot shown under a transparent corner')
    session.xdotool('mousemove', 416, 160)
    session.xdotool('mousemove', 417, 161)
    wait_until(lambda: not session.window(mascot).visible, message='the mascot to hide')


def test_maximized_target_sends_the_mascot_to_the_taskbar_once(session):
    session.set_value(ROOT, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', 2)
    mascot, target = start_with_target(session)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('show', target, 3)
    taskbar = session.windows('Shell_TrayWnd')[0].rect
    left, top, right, _ = taskbar
    expected_x = int((left - 64) + (right - left + 64) * 0.75)
    wait_rect(session, mascot, (expected_x, top - 80, expected_x + 64, top))
    # Hidden from outside, it stays hidden: while nothing changes the mascot is not moved or
    # shown again on every tick.
    session.driver('show', mascot, 0)
    stays(lambda: hidden(session, mascot), 0.6, message='the mascot hidden from outside to stay hidden')


def test_a_window_of_an_excluded_notepad_is_refused(session):
    session.set_value(ROOT + '\\NoApp', 'notepad.exe', '')
    session.set_value(ROOT, 'NoWindowFlag', 1)
    session.start_velmora()
    mascot = wait_until(lambda: session.mascots(), message='the mascot')[0].handle
    session.spawn('notepad')
    notepad = wait_until(lambda: session.windows('Notepad'), timeout=20, message='Notepad')[0].handle
    session.driver('move', notepad, 150, 250, 500, 400)
    session.driver('foreground', notepad)
    stays(lambda: hidden(session, mascot), 0.5, timeout=8, message='the mascot hidden from Notepad')
    target = session.target(100, 200, 400, 400)
    session.driver('foreground', target)
    wait_rect(session, mascot, (384, 120, 448, 200))
    session.driver('post', notepad, 0x10, 0, 0)
