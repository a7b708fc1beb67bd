"""The help command opens the HTML help when there is no WinHelp file beside the program."""
import shutil

import pytest

from harness import SOURCE, wait_until

CLASSES = 'HKLM\\Software\\Classes'


@pytest.fixture
def session(wine_desktop):
    wine = wine_desktop
    # Pages open in the test driver, which writes down what it was given.
    wine.set_value(CLASSES + '\\.html', '', 'VelmoraTestPage')
    wine.set_value(CLASSES + '\\VelmoraTestPage\\shell\\open\\command', '',
                   'C:\\vdriver.exe record C:\\opened.txt "%1"')
    opened = wine.prefix / 'drive_c' / 'opened.txt'
    if opened.exists():
        opened.unlink()
    yield wine, opened
    if wine.velmora and wine.velmora.poll() is None:
        wine.velmora.kill()
        wine.velmora.wait()


def help_dialog_texts(wine):
    return [w for w in wine.windows('#32770') if w.visible]


def test_html_help_opens_when_there_is_no_winhelp_file(session):
    wine, opened = session
    shutil.copy(SOURCE / 'help' / 'Velmora2.html', wine.app_dir / 'Velmora2.html')
    try:
        wine.start_velmora()
        wine.driver('post', wine.controller().handle, 0x111, 40005, 0)
        text = wait_until(lambda: opened.exists() and opened.read_text(errors='replace'), timeout=10,
                          message='the page to be opened')
        assert 'Velmora2.html' in text
        assert not help_dialog_texts(wine), 'no help viewer asks for a missing file'
    finally:
        (wine.app_dir / 'Velmora2.html').unlink()


def test_a_winhelp_file_beside_the_program_is_used_as_it_is(session):
    wine, opened = session
    shutil.copy(SOURCE / 'help' / 'Velmora2.html', wine.app_dir / 'Velmora2.html')
    (wine.app_dir / 'Velmora2.hlp').write_bytes(b'?_\x03\x00')
    try:
        wine.start_velmora()
        wine.driver('post', wine.controller().handle, 0x111, 40005, 0)
        wait_until(lambda: [w for w in wine.windows() if w.visible and w.class_name.startswith('MS_WINHELP')]
                   or help_dialog_texts(wine), timeout=10, message='the WinHelp viewer')
        assert not opened.exists()
    finally:
        (wine.app_dir / 'Velmora2.html').unlink()
        (wine.app_dir / 'Velmora2.hlp').unlink()
