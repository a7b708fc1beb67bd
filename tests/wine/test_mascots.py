"""Still and archive mascots started by the real program: names, frames, animation, failures."""
import shutil
import subprocess
import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from fixtures import bmp_bytes, definition, pack, two_frame_archive, two_frame_gif
from conftest import LOCALES, desktop_session
from harness import SOURCE, WAIT_SCALE, stays, wait_until

ROOT = 'Software\\Korrin\\Velmora2'
WS_EX_LAYERED = 0x80000


@pytest.fixture
def wine(request):
    session = desktop_session(request)
    session.delete_key('Software\\Korrin')
    mascots = session.app_dir / 'Mascots'
    shutil.rmtree(mascots, ignore_errors=True)
    mascots.mkdir()
    yield session
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def run(wine, *source_paths, target=(100, 200, 400, 400)):
    for path in source_paths:
        wine.set_value(ROOT + '\\View', path, path)
    wine.start_velmora()
    windows = wait_until(lambda: len(wine.mascots()) == len(source_paths) and wine.mascots(),
                         message='the mascots')
    handle = wine.target(*target)
    wine.driver('foreground', handle)
    return windows, handle


def settle(wine, mascot, rect):
    return wait_until(lambda: wine.window(mascot).rect == rect, timeout=5, message=f'mascot at {rect}',
                      seen=lambda: wine.window(mascot))


def test_still_mascot_with_upper_case_extension_is_named_by_its_path(wine):
    (wine.app_dir / 'Mascots' / 'Cats').mkdir()
    write_bmp24(wine.app_dir / 'Mascots' / 'Cats' / 'Tama.BMP', 64, 80, ellipse_figure(64, 80))
    # Settings stored under the source path reach it, so that is its name.
    wine.set_value(ROOT + '\\Mascot\\Cats\\Tama.BMP', 'PositionY', 10)
    (mascot,), _ = run(wine, 'Cats\\Tama.BMP')
    settle(wine, mascot.handle, (384, 168, 448, 248))


def test_archive_without_name_is_named_by_its_source_path(wine):
    two_frame_archive(wine.app_dir / 'Mascots' / 'Cats' / 'anon.lzh', (10, 10), name=None)
    wine.set_value(ROOT + '\\Mascot\\Cats\\anon.lzh', 'PositionY', 10)
    (mascot,), _ = run(wine, 'Cats\\anon.lzh')
    settle(wine, mascot.handle, (384, 168, 448, 248))
    assert wine.region(mascot.handle), 'the archive was extracted and its frame shaped the window'


def test_definition_anchor_and_name_from_the_archive(wine):
    two_frame_archive(wine.app_dir / 'Mascots' / 'named.lzh', (10, 10), name='タマ',
                      pos={'RightX': 12, 'UnderY': 5})
    (mascot,), target = run(wine, 'named.lzh')
    settle(wine, mascot.handle, (424, 515, 488, 595))
    # A stored value under the Japanese name wins over the anchor.
    wine.exit_velmora()
    wine.set_value(ROOT + '\\Mascot\\タマ', 'PositionY', 7)
    wine.start_velmora()
    mascot = wait_until(lambda: wine.mascots(), message='the mascot')[0]
    wine.driver('foreground', target)
    settle(wine, mascot.handle, (424, 513, 488, 593))


@LOCALES
def test_archive_in_a_japanese_folder_runs_with_its_japanese_frames_and_settings(wine):
    pack(wine.app_dir / 'Mascots' / 'ネコ' / 'みけ.lzh', {
        'VLD.INI': definition('ミケ', [('ミケ1.bmp', 10), ('ミケ2.bmp', 10)]),
        'ミケ1.bmp': bmp_bytes(64, 80, ellipse_figure(64, 80)),
        'ミケ2.bmp': bmp_bytes(64, 80, ellipse_figure(64, 80)),
    })
    # Settings stored under the Japanese name reach it: the name came through whole.
    wine.set_value(ROOT + '\\Mascot\\ミケ', 'PositionY', 10)
    (mascot,), _ = run(wine, 'ネコ\\みけ.lzh')
    settle(wine, mascot.handle, (384, 168, 448, 248))
    assert wine.region(mascot.handle), 'the frames were extracted under their Japanese names and shaped the window'
    wine.exit_velmora()
    assert wine.registry()[ROOT + '\\View'] == {'ネコ\\みけ.lzh': (1, 'ネコ\\みけ.lzh'.encode('cp932') + b'\0')}


def test_archive_without_a_usable_frame_shows_an_empty_window(wine):
    pack(wine.app_dir / 'Mascots' / 'empty.lzh', {
        'VLD.INI': definition('Empty', [('missing.bmp', 5)]),
    })
    (mascot,), _ = run(wine, 'empty.lzh')
    info = wine.window(mascot.handle)
    left, top, right, bottom = info.rect
    assert (right - left, bottom - top) == (100, 100)
    assert wine.region(mascot.handle) is None, 'no shape is set'
    assert wine.velmora.poll() is None


def shapes_seen(wine, handle, seconds):
    """The region's rectangle counts seen over the given seconds, from its first frame on."""
    wait_until(lambda: wine.region(handle), message='the first frame shaping the window')
    seen = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        region = wine.region(handle)
        seen.append(len(region) if region else 0)
    return seen


def next_change(wine, handle, timeout):
    before = wine.region(handle)
    wait_until(lambda: wine.region(handle) != before, timeout=timeout, interval=0.01, message='a frame change')
    return time.monotonic()


def test_a_frame_stays_for_its_time(wine):
    two_frame_archive(wine.app_dir / 'Mascots' / 'slow.lzh', (20, 20))
    (mascot,), _ = run(wine, 'slow.lzh')
    first = next_change(wine, mascot.handle, 5)
    second = next_change(wine, mascot.handle, 5)
    # Twenty ticks of 100 ms; the polling adds a little either way, and a busy machine's timers
    # come late, so only the early side is held to the tick.
    assert 1.6 <= second - first <= 2.8 * WAIT_SCALE


@pytest.mark.parametrize('time_value', [0, 1, -1])
def test_short_times_change_on_every_tick(wine, time_value):
    two_frame_archive(wine.app_dir / 'Mascots' / 'fast.lzh', (time_value, time_value))
    (mascot,), _ = run(wine, 'fast.lzh')
    # Looks at the region come at the machine's pace, which may match the frames' own: look
    # until both shapes have been seen.
    seen = set()
    wait_until(lambda: seen.add(len(wine.region(mascot.handle) or [])) or len(seen - {0}) == 2,
               interval=0.01, message='both frames', seen=lambda: seen)


def test_a_single_frame_never_changes(wine):
    pack(wine.app_dir / 'Mascots' / 'one.lzh', {
        'VLD.INI': definition('One', [('a.bmp', 0)]),
        'a.bmp': bmp_bytes(64, 80, ellipse_figure(64, 80)),
    })
    (mascot,), _ = run(wine, 'one.lzh')
    assert len(set(shapes_seen(wine, mascot.handle, 1.0))) == 1


def test_archive_mascot_without_the_lha_library_is_an_empty_window(wine):
    two_frame_archive(wine.app_dir / 'Mascots' / 'blink.lzh', (5, 5))
    dll = wine.app_dir / 'unlha32.dll'
    saved = dll.read_bytes()
    dll.unlink()
    try:
        (mascot,), _ = run(wine, 'blink.lzh')
        info = wine.window(mascot.handle)
        assert (info.rect[2] - info.rect[0], info.rect[3] - info.rect[1]) == (100, 100)
        assert wine.velmora.poll() is None, 'the program runs on'
    finally:
        dll.write_bytes(saved)


def test_a_frame_that_another_program_reads_still_loads(wine):
    write_bmp24(wine.app_dir / 'Mascots' / 'held.bmp', 64, 80, ellipse_figure(64, 80))
    # A scanner or indexer reads the fresh file and lets others read it too.
    holder, held = wine.spawn_reporting('C:\\vdriver.exe', 'hold-file', 'C:\\Velmora\\Mascots\\held.bmp')
    assert held == '1'
    (mascot,), _ = run(wine, 'held.bmp')
    rect = wait_until(lambda: (r := wine.window(mascot.handle).rect)[2] - r[0] == 64 and r, timeout=5,
                      message='the mascot at its picture size', seen=lambda: wine.window(mascot.handle))
    assert rect[3] - rect[1] == 80 and wine.region(mascot.handle), 'the frame loaded and shaped the window'
    holder.kill()


def extraction_folder(wine):
    temp = wine.driver('temp-path').strip()
    return wine.prefix / 'drive_c' / temp[3:].replace('\\', '/') / 'Velmo'


def test_the_extraction_folder_holds_only_what_running_mascots_need(wine):
    folder = extraction_folder(wine)
    # What an earlier run left: a mascot folder of an archive since removed, the scan's flat
    # files, and the temporary files of an extraction cut short.
    for stale in ('gone/VLD.INI', 'gone/a.bmp', 'Cats/old/~vlh0000.tmp', 'VLD.INI', 'stale.ico'):
        (folder / stale).parent.mkdir(parents=True, exist_ok=True)
        (folder / stale).write_bytes(b'left')
    # Outside the folder, and reached from inside only through a link: never removed.
    outside = wine.root / 'outside'
    outside.mkdir()
    (outside / 'keep.txt').write_bytes(b'mine')
    (folder / 'link').symlink_to(outside, target_is_directory=True)
    two_frame_archive(wine.app_dir / 'Mascots' / 'Cats' / 'tama.lzh', (1, 1))
    (mascot,), _ = run(wine, 'Cats\\tama.lzh')
    wait_until(lambda: wine.region(mascot.handle), message='the archive mascot drawn')
    assert sorted(str(p.relative_to(folder)) for p in folder.rglob('*') if not p.is_symlink() and p.is_file()
                  and outside not in p.resolve().parents) == \
        ['Cats/tama/VLD.INI', 'Cats/tama/a.bmp', 'Cats/tama/b.bmp'], 'only the running mascot is extracted'
    assert wine.exit_velmora() == 0
    # Wine cannot remove a Unix link as Windows removes a junction; it stays, unfollowed.
    left = sorted(p.name for p in folder.iterdir()) if folder.exists() else []
    assert left in ([], ['link']), f'nothing but the link is left after the exit: {left}'
    assert (outside / 'keep.txt').read_bytes() == b'mine', 'nothing behind the link is removed'


def test_an_animated_gif_plays_with_its_stays_beside_an_old_region_mascot(wine, tmp_path):
    """A GIF is placed like a still bitmap and shows its frames for their delays (200
    hundredths: twenty ticks) in a layered window; an 8-bit bitmap beside it keeps its region
    window without the layered style."""
    two_frame_gif(wine.app_dir / 'Mascots' / 'run.gif', (200, 200))
    subprocess.run([str(SOURCE / 'display' / 'fuzz' / 'make_seeds.sh'), str(tmp_path)], check=True,
                   stdout=subprocess.DEVNULL)
    shutil.copy(tmp_path / 'eight_bit.bmp', wine.app_dir / 'Mascots' / 'old.bmp')
    windows, _ = run(wine, 'run.gif', 'old.bmp')
    gif, old = sorted(windows, key=lambda m: (m.rect[2] - m.rect[0]) != 64)
    settle(wine, gif.handle, (384, 120, 448, 200))
    assert wine.window(gif.handle).exstyle & WS_EX_LAYERED
    assert not wine.window(old.handle).exstyle & WS_EX_LAYERED, 'an old mascot stays a region window'
    assert wine.region(old.handle), 'shaped by its region'
    first = next_change(wine, gif.handle, 5)
    second = next_change(wine, gif.handle, 5)
    assert 1.6 <= second - first <= 2.8 * WAIT_SCALE


def test_a_broken_gif_is_refused_like_a_broken_bitmap(wine):
    two_frame_gif(wine.app_dir / 'Mascots' / 'huge.gif', (10, 10))
    data = bytearray((wine.app_dir / 'Mascots' / 'huge.gif').read_bytes())
    data[6:10] = bytes((0x01, 0x10, 0x01, 0x10))   # a screen of 4097 x 4097
    (wine.app_dir / 'Mascots' / 'huge.gif').write_bytes(bytes(data))
    (mascot,), _ = run(wine, 'huge.gif')
    left, top, right, bottom = wine.window(mascot.handle).rect
    assert (right - left, bottom - top) == (100, 100)
    assert wine.region(mascot.handle) is None, 'no shape is set'
    assert wine.velmora.poll() is None


def test_a_mascot_that_cannot_be_made_is_neither_kept_nor_saved(wine):
    """In a test build every mascot asks for one window class name, so the second of two finds
    it taken: that mascot is not kept without a window, and the exit saves only the first."""
    wine.install_program('Velmora2-one-class.exe')
    try:
        for name in ('a.bmp', 'b.bmp'):
            write_bmp24(wine.app_dir / 'Mascots' / name, 64, 80, ellipse_figure(64, 80))
            wine.set_value(ROOT + '\\View', name, name)
        wine.start_velmora()
        stays(lambda: len(wine.mascots()) == 1, 1.5, message='one mascot', seen=wine.mascots)
        assert wine.exit_velmora() == 0
        assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']
    finally:
        wine.install_program()
