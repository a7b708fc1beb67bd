"""Start-up, single instance, folders, global settings in the registry, and the exit paths."""

import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import stays, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
EIGHT_VALUES = {'Random', 'MaximizeWindow', 'OutScreenMascot', 'MinimizeWindow', 'sizeMinimizeX',
                'sizeMinimizeY', 'NoWindowFlag', 'MouseOverHide'}


@pytest.fixture
def wine(request, wine):
    """The module's session, or the one elsewhere for a test run with the parameter 'elsewhere'."""
    return request.getfixturevalue('wine_elsewhere') if getattr(request, 'param', 'ja') == 'elsewhere' else wine


@pytest.fixture(autouse=True)
def clean(wine):
    """Every test starts with no settings, no mascot files and no running program."""
    wine.delete_key('Software\\Korrin')
    for name in ('Mascots', 'Plugins'):
        path = wine.app_dir / name
        if path.exists():
            for child in sorted(path.rglob('*'), reverse=True):
                child.rmdir() if child.is_dir() else child.unlink()
            path.rmdir()
    yield
    if wine.velmora and wine.velmora.poll() is None:
        wine.velmora.kill()
        wine.velmora.wait()
    wait_until(lambda: not wine.windows('Velmo2'), timeout=10, message='the program to be gone')


def test_first_run_creates_root_and_writes_eight_values_at_exit(wine):
    wine.start_velmora(first_start=True)
    controller = wine.controller()
    assert controller.exstyle & 0x80, 'the controller is a tool window'
    assert not controller.visible
    # The title reaches the window as code page 932 bytes.
    assert wine.window_text_bytes(controller.handle) == 'Velmora２'.encode('cp932')
    assert wine.registry() == {ROOT: {}}, 'the root key is created at start, empty'

    assert wine.exit_velmora() == 0
    saved = wine.registry()
    assert set(saved[ROOT]) == EIGHT_VALUES, 'MaxMascotCount is never written'
    assert all(value == (4, b'\0\0\0\0') for value in saved[ROOT].values())
    assert saved[ROOT + '\\NoApp'] == {}
    assert saved[ROOT + '\\View'] == {}


def test_second_instance_ends_at_once_and_touches_nothing(wine):
    wine.start_velmora()
    cache = wine.app_dir / 'Velmo2.mdc'
    cache.write_bytes(b'\\a.lzh\0Tama\0\1\0\0\0')
    before_cache = (cache.read_bytes(), cache.stat().st_mtime_ns)
    wine.set_value(ROOT, 'MouseOverHide', 1)
    before_registry = wine.registry()
    windows_before = {w.handle for w in wine.windows()}

    # It ends by itself: the bound is the run's time-out, not a speed to meet.
    second = wine.wine('C:\\Velmora\\Velmora2.exe', timeout=20)
    assert second.returncode == 0

    assert wine.registry() == before_registry
    assert (cache.read_bytes(), cache.stat().st_mtime_ns) == before_cache
    new_windows = [w for w in wine.windows() if w.handle not in windows_before]
    assert not [w for w in new_windows if w.class_name in ('Velmo2',) or w.class_name.startswith('Mascot')]
    assert len(wine.windows('Velmo2')) == 1


def test_a_mutex_it_may_not_open_counts_as_a_running_instance(wine):
    # Held by an instance started at a higher integrity level, the mutex denies this one access.
    holder, held = wine.spawn_reporting('C:\\vdriver.exe', 'hold-mutex', 'Velmo2')
    assert held == '1'
    assert wine.driver('mutex', 'Velmo2').strip() == '0', 'the mutex denies access'
    second = wine.wine('C:\\Velmora\\Velmora2.exe', timeout=20)
    assert second.returncode == 0
    assert not wine.windows('Velmo2') and not wine.mascots()
    holder.kill()


def test_folders_are_created_when_missing_and_left_alone_otherwise(wine):
    wine.start_velmora()
    assert (wine.app_dir / 'Mascots').is_dir() and (wine.app_dir / 'Plugins').is_dir()
    wine.exit_velmora()

    keep = wine.app_dir / 'Plugins' / 'keep.txt'
    keep.write_text('mine')
    wine.start_velmora()
    assert keep.read_text() == 'mine'
    wine.exit_velmora()


def test_view_list_restarts_every_entry_and_is_written_back(wine):
    (wine.app_dir / 'Mascots' / 'Cats').mkdir(parents=True)
    for name in ('a.bmp', 'Cats\\b.bmp'):
        (wine.app_dir / 'Mascots' / name.replace('\\', '/')).write_bytes(b'not a picture')
    view = ['a.bmp', 'Cats\\b.bmp', 'nothing-here.lzh']
    for name in view:
        wine.set_value(ROOT + '\\View', name, name)
    wine.set_value(ROOT, 'MaxMascotCount', 1)  # limits only the restart after the settings sheet

    wine.start_velmora()
    mascots = wait_until(lambda: len(wine.mascots()) == 3 and wine.mascots(), message='three mascots')
    assert all(m.topmost and m.exstyle & 0x80 for m in mascots)
    assert len({m.class_name for m in mascots}) == 3, 'each mascot has a window class of its own'

    assert wine.exit_velmora() == 0
    saved = wine.registry()[ROOT + '\\View']
    assert set(saved) == set(view)
    assert all(data == (1, name.encode('cp932') + b'\0') for name, data in saved.items())
    assert wine.registry()[ROOT]['MaxMascotCount'] == (4, b'\1\0\0\0'), 'a hand-set limit is kept as it is'


def test_exclusion_list_survives_a_run(wine):
    wine.set_value(ROOT + '\\NoApp', 'Notepad.exe', '')
    wine.set_value(ROOT + '\\NoApp', 'calc.exe', '')
    wine.start_velmora()
    wine.exit_velmora()
    assert set(wine.registry()[ROOT + '\\NoApp']) == {'Notepad.exe', 'calc.exe'}


def test_random_start_picks_one_plain_file_of_the_top_folder(wine):
    mascots = wine.app_dir / 'Mascots'
    (mascots / 'sub').mkdir(parents=True)
    (mascots / 'sub' / 'deep.bmp').write_bytes(b'x')
    write_bmp24(mascots / 'only.bmp', 40, 48, ellipse_figure(40, 48))
    wine.set_value(ROOT, 'Random', 1)
    wine.set_value(ROOT + '\\View', 'ignored.bmp', 'ignored.bmp')
    wine.start_velmora()
    wait_until(lambda: len(wine.mascots()) == 1, message='one mascot')
    wine.exit_velmora()
    assert set(wine.registry()[ROOT + '\\View']) == {'only.bmp'}


def test_random_start_with_no_candidate_starts_nothing(wine):
    wine.set_value(ROOT, 'Random', 1)
    wine.start_velmora()
    stays(lambda: wine.mascots() == [], 0.5, message='no mascot', seen=wine.mascots)
    assert wine.exit_velmora() == 0


def test_first_start_shows_one_plain_file_and_later_starts_follow_the_view_list(wine):
    mascots = wine.app_dir / 'Mascots'
    (mascots / 'sub').mkdir(parents=True)
    (mascots / 'sub' / 'deep.bmp').write_bytes(b'x')
    for name in ('one.bmp', 'two.bmp'):
        write_bmp24(mascots / name, 40, 48, ellipse_figure(40, 48))
    wine.start_velmora(first_start=True)
    wait_until(lambda: len(wine.mascots()) == 1, message='one mascot at the very first start')
    wine.exit_velmora()
    saved = wine.registry()
    shown = set(saved[ROOT + '\\View'])
    assert len(shown) == 1 and shown <= {'one.bmp', 'two.bmp'}
    assert saved[ROOT]['Random'] == (4, b'\0\0\0\0'), 'the stored choice stays'

    # The next start runs what ran, and nothing is drawn again.
    (mascots / 'three.bmp').write_bytes(b'x')
    wine.delete_key(ROOT + '\\View')
    wine.start_velmora()
    stays(lambda: wine.mascots() == [], 0.5, seen=wine.mascots,
          message='no mascot: an empty View list starts nothing once the user has settings')
    wine.exit_velmora()


@pytest.mark.parametrize('wine', ['ja', 'elsewhere'], indirect=True)
def test_first_start_shows_a_mascot_named_in_japanese_and_keeps_its_name(wine):
    (wine.app_dir / 'Mascots').mkdir()
    write_bmp24(wine.app_dir / 'Mascots' / 'ネコ.bmp', 40, 48, ellipse_figure(40, 48))
    wine.start_velmora(first_start=True)
    assert wine.window_text_bytes(wine.controller().handle) == 'Velmora２'.encode('cp932')
    mascot = wait_until(lambda: wine.mascots(), message='the mascot at the very first start')[0]
    wait_until(lambda: wine.region(mascot.handle), message='the picture shaping the mascot')
    rect = wine.window(mascot.handle).rect
    assert (rect[2] - rect[0], rect[3] - rect[1]) == (40, 48), 'the picture, not an empty square'
    wine.exit_velmora()
    assert wine.registry()[ROOT + '\\View'] == {'ネコ.bmp': (1, 'ネコ.bmp'.encode('cp932') + b'\0')}


def test_first_start_without_plain_files_starts_nothing(wine):
    (wine.app_dir / 'Mascots' / 'sub').mkdir(parents=True)
    (wine.app_dir / 'Mascots' / 'sub' / 'deep.bmp').write_bytes(b'x')
    wine.start_velmora(first_start=True)
    stays(lambda: wine.mascots() == [], 0.5, message='no mascot', seen=wine.mascots)
    assert wine.exit_velmora() == 0


def shown_mascot_sizes(wine):
    return sorted((m.rect[2] - m.rect[0], m.rect[3] - m.rect[1]) for m in wine.mascots() if m.visible)


def no_mascot_appears(wine, seconds=1.5):
    """No mascot window, shown or not, within the given time: the list of what appeared else."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = wine.mascots()
        if found:
            return found
        time.sleep(0.1)
    return []


def test_first_start_draws_only_among_the_mascot_files(wine):
    mascots = wine.app_dir / 'Mascots'
    mascots.mkdir()
    write_bmp24(mascots / 'a.bmp', 40, 48, ellipse_figure(40, 48))
    # What mascot downloads bring along; no candidate for the draw.
    (mascots / 'ReadMe.txt').write_bytes('このマスコットについて\r\n'.encode('cp932'))
    (mascots / 'desktop.ini').write_bytes(b'[.ShellClassInfo]\r\nIconResource=a.bmp,0\r\n')
    for start in range(5):
        wine.delete_key('Software\\Korrin')
        wine.start_velmora(first_start=True)
        try:
            wait_until(lambda: shown_mascot_sizes(wine) == [(40, 48)], timeout=10, message='a.bmp shown')
        except AssertionError as timeout:
            raise AssertionError(f'{timeout} at start {start + 1}; mascots: {wine.mascots()}') from None
        assert wine.exit_velmora() == 0
        assert set(wine.registry()[ROOT + '\\View']) == {'a.bmp'}, f'start {start + 1}'


@pytest.mark.parametrize('first_start', [True, False])
def test_a_drawn_mascot_that_does_not_load_starts_nothing(wine, first_start):
    mascots = wine.app_dir / 'Mascots'
    mascots.mkdir()
    (mascots / 'broken.bmp').write_bytes(b'BM not a picture')
    if not first_start:
        wine.set_value(ROOT, 'Random', 1)
    wine.start_velmora(first_start=first_start)
    appeared = no_mascot_appears(wine)
    assert appeared == [], f'no window for a file that does not load, found {appeared}'
    assert wine.exit_velmora() == 0
    assert wine.registry()[ROOT + '\\View'] == {}, 'nothing to start again'

    # The failed draw leaves nothing behind: with the file mended, a draw starts it.
    write_bmp24(mascots / 'broken.bmp', 40, 48, ellipse_figure(40, 48))
    wine.set_value(ROOT, 'Random', 1)
    wine.start_velmora()
    wait_until(lambda: shown_mascot_sizes(wine) == [(40, 48)], timeout=10, message='the mended mascot')
    assert wine.exit_velmora() == 0


def test_session_end_saves_as_the_exit_command_would(wine):
    (wine.app_dir / 'Mascots').mkdir()
    (wine.app_dir / 'Mascots' / 'a.bmp').write_bytes(b'x')
    wine.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    wine.set_value(ROOT + '\\NoApp', 'kept.exe', '')
    wine.set_value(ROOT, 'NoWindowFlag', 2)
    wine.start_velmora()
    wait_until(lambda: wine.mascots(), message='the mascot')
    # Values that only an orderly save writes back: the View list is rewritten from the roster.
    wine.delete_key(ROOT + '\\View')
    wine.delete_key(ROOT + '\\NoApp')
    controller = wine.controller().handle
    assert wine.driver('send', controller, 0x11, 0, 0x80000000).strip() != '0'  # WM_QUERYENDSESSION
    wine.driver('send', controller, 0x16, 1, 0x80000000)  # WM_ENDSESSION, log-off
    wine.velmora.kill()  # Windows ends the process without the exit command
    wine.velmora.wait()

    saved = wine.registry()
    assert set(saved[ROOT]) == EIGHT_VALUES
    assert saved[ROOT]['NoWindowFlag'] == (4, b'\2\0\0\0')
    assert set(saved[ROOT + '\\View']) == {'a.bmp'}
    assert set(saved[ROOT + '\\NoApp']) == {'kept.exe'}


def test_session_end_that_is_cancelled_saves_nothing(wine):
    wine.start_velmora()
    wine.driver('send', wine.controller().handle, 0x16, 0, 0)  # WM_ENDSESSION, not ending
    wine.velmora.kill()
    wine.velmora.wait()
    assert wine.registry() == {ROOT: {}}


def test_the_program_runs_with_common_controls_6(wine):
    """The manifest's dependency makes the loader take version 6 from the side-by-side store.
    Wine's comctl32 answers 5.81 to DllGetVersion from either copy, so the loaded module's path
    tells them apart: without the manifest it is system32's."""
    wine.start_velmora()
    modules = wait_until(lambda: wine.driver('modules', wine.controller().handle).splitlines(), timeout=10,
                         message="the program's modules")
    controls = [m for m in modules if m.lower().endswith('\\comctl32.dll')]
    assert len(controls) == 1, modules
    assert '\\winsxs\\' in controls[0].lower() and '_6.0.' in controls[0], controls[0]
