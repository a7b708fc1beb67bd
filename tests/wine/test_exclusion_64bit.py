"""Exclusion of programs of either architecture in a 64-bit prefix. A 32-bit program cannot
read a 64-bit process's modules, so there the owner's name comes from the process image
name; a 64-bit program reads both kinds, and has no 16-bit task library to ask."""

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import ARCH, WineSession, machine_runs_32bit_programs, stays, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
NOTEPADS = {'win64': 'C:\\windows\\system32\\notepad.exe', 'win32': 'C:\\windows\\syswow64\\notepad.exe'}


@pytest.fixture(scope='module')
def wine64():
    session = WineSession(desktop=True, prefix_arch='win64')
    (session.app_dir / 'Mascots').mkdir(exist_ok=True)
    write_bmp24(session.app_dir / 'Mascots' / 'figure.bmp', 64, 80, ellipse_figure(64, 80))
    session.set_value(ROOT + '\\View', 'figure.bmp', 'figure.bmp')
    session.set_value(ROOT + '\\NoApp', 'notepad.exe', '')
    session.set_value(ROOT, 'NoWindowFlag', 1)
    session.start_velmora()
    yield session
    session.close()


@pytest.mark.parametrize('notepad_arch', ['win64', 'win32'])
def test_a_window_of_an_excluded_program_of_either_architecture_is_refused(wine64, notepad_arch):
    if notepad_arch == 'win32' and not machine_runs_32bit_programs():
        pytest.skip('this machine runs no 32-bit programs')
    wine = wine64
    mascot = wait_until(lambda: wine.mascots(), message='the mascot')[0].handle
    before = {w.handle for w in wine.windows('Notepad')}
    wine.spawn(NOTEPADS[notepad_arch])
    notepad = wait_until(lambda: [w for w in wine.windows('Notepad') if w.handle not in before], timeout=30,
                         message='Notepad')[0].handle
    wine.driver('move', notepad, 150, 250, 500, 400)
    wine.driver('foreground', notepad)
    stays(lambda: not wine.window(mascot).visible, 0.5, timeout=8,
          message=f'the mascot hidden: the {notepad_arch} Notepad recognised as notepad.exe ({ARCH} program)')
    # Another program's window shows the mascot again, so the hiding came from the list.
    target = wine.target(100, 200, 400, 400)
    wine.driver('foreground', target)
    wait_until(lambda: wine.window(mascot).visible, timeout=5, message='the mascot on the other window')
    for window in (target, notepad):
        wine.driver('post', window, 0x10, 0, 0)  # WM_CLOSE
