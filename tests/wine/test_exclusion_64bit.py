"""Exclusion of a 64-bit program: the 32-bit program cannot read a 64-bit process's modules,
so the owner's name comes from the process image name."""
import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import WineSession, wait_until

ROOT = 'Software\\Korrin\\Velmora2'


@pytest.fixture(scope='module')
def wine64():
    session = WineSession(desktop=True, arch='win64')
    yield session
    session.close()


def test_a_window_of_an_excluded_64_bit_program_is_refused(wine64):
    wine = wine64
    (wine.app_dir / 'Mascots').mkdir(exist_ok=True)
    write_bmp24(wine.app_dir / 'Mascots' / 'figure.bmp', 64, 80, ellipse_figure(64, 80))
    wine.set_value(ROOT + '\\View', 'figure.bmp', 'figure.bmp')
    wine.set_value(ROOT + '\\NoApp', 'notepad.exe', '')
    wine.set_value(ROOT, 'NoWindowFlag', 1)
    wine.start_velmora()
    mascot = wait_until(lambda: wine.mascots(), message='the mascot')[0].handle
    wine.spawn('C:\\windows\\system32\\notepad.exe')
    notepad = wait_until(lambda: wine.windows('Notepad'), timeout=30, message='Notepad')[0].handle
    wine.driver('move', notepad, 150, 250, 500, 400)
    wine.driver('foreground', notepad)
    time.sleep(0.8)
    assert not wine.window(mascot).visible, 'the 64-bit Notepad is recognised as notepad.exe'
    # Another program's window shows the mascot again, so the hiding came from the list.
    target = wine.target(100, 200, 400, 400)
    wine.driver('foreground', target)
    wait_until(lambda: wine.window(mascot).visible, timeout=5, message='the mascot on the other window')
