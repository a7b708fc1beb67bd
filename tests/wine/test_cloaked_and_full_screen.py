"""Windows that are there but not shown, and full-screen programs, as Wine answers for them:
DwmGetWindowAttribute fails for the cloaked state and the shell always reports that it accepts
notifications. Those answers must leave placement exactly as it was, with the maximized rule
on globally or for the mascot alone; what the program does with a cloaked target or a
full-screen game is proven by the unit tables only."""
import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import stays, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
DWMWA_CLOAKED = 14
QUNS_ACCEPTS_NOTIFICATIONS = 5
FIGURE = 'figure.bmp'


@pytest.fixture
def session(wine_desktop):
    wine = wine_desktop
    (wine.app_dir / 'Mascots').mkdir(exist_ok=True)
    write_bmp24(wine.app_dir / 'Mascots' / FIGURE, 64, 80, ellipse_figure(64, 80))
    wine.delete_key('Software\\Korrin')
    wine.set_value(ROOT + '\\View', FIGURE, FIGURE)
    yield wine
    if wine.velmora and wine.velmora.poll() is None:
        wine.velmora.kill()
        wine.velmora.wait()
    for process in wine.processes:
        if process is not wine.velmora and process.poll() is None:
            process.kill()
    wait_until(lambda: not wine.windows('Velmo2'), timeout=10, message='the program to end')


def test_wine_answers_nothing_of_cloaking_or_full_screen(session):
    target = session.target(100, 200, 400, 400)
    answer = session.driver('dwm-attribute', target, DWMWA_CLOAKED).split()
    assert answer[0] == 'failed' or answer == ['ok', '0'], answer
    assert session.driver('notification-state').split() in (['ok', str(QUNS_ACCEPTS_NOTIFICATIONS)], ['failed'])


# (where the maximized rule is set, NoWindowFlag)
RULES = [('global', 1), ('global', 2), ('own', 1)]


@pytest.mark.parametrize('rule, flag', RULES, ids=[f'{r}-flag{f}' for r, f in RULES])
def test_failing_queries_change_nothing_in_placement(session, rule, flag):
    if rule == 'global':
        session.set_value(ROOT, 'MaximizeWindow', 1)
    else:
        session.set_value(ROOT + '\\Mascot\\' + FIGURE, 'NonTargetAll', 0)
        session.set_value(ROOT + '\\Mascot\\' + FIGURE, 'MaximizeWindow', 1)
    session.set_value(ROOT, 'NoWindowFlag', flag)
    session.start_velmora()
    mascot = wait_until(session.mascots, message='the mascot')[0].handle
    target = session.target(100, 200, 400, 400)
    session.driver('foreground', target)

    seen = []

    def at(rect):
        seen.append(session.window(mascot))
        return seen[-1].visible and seen[-1].rect == rect

    def wait_at(rect, what):
        try:
            wait_until(lambda: at(rect), message=what)
        except AssertionError as error:
            raise AssertionError(f'{error}; last saw {seen[-1]}') from None

    wait_at((384, 120, 448, 200), 'the mascot on the target')
    stays(lambda: at((384, 120, 448, 200)), 1.0, message='the mascot left a plain target')
    session.driver('move', target, 150, 260, 400, 300)
    wait_at((434, 180, 498, 260), 'the mascot following the target')

    # A borderless window not quite the screen's size, as a windowed game would be.
    popup = session.spawn_reporting('C:\\vdriver.exe', 'popup', 'VdriverGame', 0, 0, 1024, 700)[1]
    session.driver('foreground', popup)
    wait_at((752, -80, 816, 0), 'the mascot on the borderless window')

    # The rule itself still refuses a maximized window.
    session.driver('foreground', target)
    session.driver('show', target, 3)  # SW_MAXIMIZE
    if flag == 1:
        wait_until(lambda: not session.window(mascot).visible, message='the mascot to hide')
    else:
        wait_until(lambda: at((752, 668, 816, 748)), message='the mascot on the taskbar')
