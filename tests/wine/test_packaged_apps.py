"""Packaged apps: their frame window belongs to ApplicationFrameHost.exe and the app draws in a
child window of its own process. Copies of the driver stand in for both programs: the frame
host makes the frame, the app, from a process of its own, the child inside it."""
import shutil

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import WIN_BIN, wait_until
from test_general_page import Drag, centre, entries, open_general, shown

ROOT = 'Software\\Korrin\\Velmora2'
FRAME_HOST = 'C:\\Apps\\ApplicationFrameHost.exe'
APP = 'C:\\Apps\\CalcApp.exe'


@pytest.fixture
def wine(wine_desktop):
    session = wine_desktop
    apps = session.prefix / 'drive_c' / 'Apps'
    apps.mkdir(exist_ok=True)
    for path in (FRAME_HOST, APP):
        shutil.copy(WIN_BIN / 'vdriver.exe', apps / path.split('\\')[-1])
    session.delete_key('Software\\Korrin')
    shutil.rmtree(session.app_dir / 'Mascots', ignore_errors=True)
    (session.app_dir / 'Mascots').mkdir()
    write_bmp24(session.app_dir / 'Mascots' / 'figure.bmp', 64, 80, ellipse_figure(64, 80))
    session.set_value(ROOT + '\\View', 'figure.bmp', 'figure.bmp')
    session.set_value(ROOT, 'NoWindowFlag', 1)
    yield session
    session.xdotool('mouseup', '1')
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    for process in session.processes:
        if process is not session.velmora and process.poll() is None:
            process.kill()
            process.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def frame(wine, x, y, with_app):
    """A packaged app's frame at x, y (400 x 300), with or without the app's window in it."""
    handle = wine.spawn_reporting(FRAME_HOST, 'frame', x, y, 400, 300)[1]
    assert handle, 'the frame did not start'
    if with_app:
        child = wine.spawn_reporting(APP, 'app-child', handle)[1]
        assert child and int(child, 16), 'Wine refused a child window in another process'
        wait_until(lambda: any(line.split()[1] == 'Windows.UI.Core.CoreWindow'
                               for line in wine.driver('children', handle).splitlines() if line.strip()),
                   message='the app window in the frame')
    return handle


# (excluded program, frame has its app, mascot shown)
EXCLUSIONS = [('CalcApp.exe', True, False), ('CalcApp.exe', False, True),
              ('ApplicationFrameHost.exe', True, True), ('ApplicationFrameHost.exe', False, False)]


@pytest.mark.parametrize('excluded, with_app, visible', EXCLUSIONS,
                         ids=[f'{e}-{"app" if a else "no-app"}' for e, a, _ in EXCLUSIONS])
def test_a_frame_is_excluded_by_its_apps_program(wine, excluded, with_app, visible):
    wine.set_value(ROOT + '\\NoApp', excluded, '')
    wine.start_velmora()
    mascot = wait_until(wine.mascots, message='the mascot')[0].handle
    handle = frame(wine, 150, 250, with_app)
    # The owner is asked when the target's rectangle changes: a plain window in between makes
    # the whole frame, app included, a new target.
    plain = wine.target(100, 200, 400, 400)
    wine.driver('foreground', plain)
    wait_until(lambda: wine.window(mascot).visible, message='the mascot on a plain window')
    wine.driver('foreground', handle)
    expected = (434, 170, 498, 250) if visible else None

    def placed():
        info = wine.window(mascot)
        return info.rect == expected and info.visible if visible else not info.visible

    wait_until(placed, message=f'the mascot {"on" if visible else "hidden from"} the frame, '
                               f'{excluded} excluded, app {"in it" if with_app else "absent"}')


# (frame has its app, program shown while dragging, entry added)
PICKS = [(True, APP, 'CalcApp.exe'), (False, FRAME_HOST, 'ApplicationFrameHost.exe')]


@pytest.mark.parametrize('with_app, path, entry', PICKS, ids=['app', 'no-app'])
def test_the_picker_names_the_app_of_a_frame(wine, with_app, path, entry):
    wine.start_velmora()
    sheet = open_general(wine)
    handle = frame(wine, 10, 420, with_app)
    drag = Drag(wine, sheet)
    drag.over(*centre(wine.window(handle).rect), path, 'the frame')
    drag.release()
    assert entries(wine, sheet) == [entry]
    sheet.close()
