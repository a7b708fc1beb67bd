"""Mascots built by velmora-kit from PNG pictures, shown by the real program: every frame's
window region is the picture's alpha mask cut at half (after the kit's canvas rules: frames
share the largest size, bottoms and centres kept, one column more on the left when a picture
is opaque at the bottom-left pixel), every frame comes up, the name and comment read back in
code page 932, and lhasa extracts each archive to exactly the bytes the program extracted."""
import math
import os
import pty
import select
import shutil
import subprocess
import sys
import time

import pytest

from conftest import LOCALE_NAMES, desktop_session
from harness import SOURCE, WIN_BIN, wait_until
from menus import ABOUT_MASCOT, choose, open_dialog, visible

sys.path.insert(0, str(SOURCE / 'tools' / 'mascots'))
import imagefile  # noqa: E402

KIT = os.path.join(os.environ.get('VELMORA_NATIVE_BIN', SOURCE / 'build' / 'native' / 'bin'), 'velmora-kit')
ROOT = 'Software\\Korrin\\Velmora2'
NAME = 'ミケ猫・テスト'
COMMENT = ['三毛猫です。', 'よろしく①']


def soft_disc(size, colour, background_corner=True):
    """A disc with a soft edge: coverage falls from 1 to 0 over two dots."""
    centre, radius = (size - 1) / 2, size / 2 - 1
    return [[colour + (max(0.0, min(1.0, radius - math.hypot(x - centre, y - centre) + 0.5)),)
             for x in range(size)] for y in range(size)]


def gradient(size):
    """More than 255 colours, transparent at the bottom-left corner."""
    rows = [[(x * 8 % 256, y * 8 % 256, (x * y) % 256, 1.0) for x in range(size)] for y in range(size)]
    rows[-1][0] = (0, 0, 0, 0.0)
    return rows


def block(width, height, colour):
    return [[colour + (1.0,)] * width for _ in range(height)]


def footed(width, height, colour):
    """Opaque but for the two bottom corners, so a bottom-centre dot is always drawn."""
    rows = block(width, height, colour)
    rows[-1][0] = rows[-1][-1] = (0, 0, 0, 0.0)
    return rows


def alpha_mask(picture):
    return [[int(round(p[3] * 255)) >= 128 for p in row] for row in picture]


def canvas_masks(pictures):
    """What the kit promises: the largest size, bottoms and centres kept, and a column more on
    the left when a picture would be opaque at the canvas's bottom-left pixel."""
    width = max(len(p[0]) for p in pictures)
    height = max(len(p) for p in pictures)
    placed = []
    for picture in pictures:
        w, h = len(picture[0]), len(picture)
        placed.append(((width - w) // 2, height - h, alpha_mask(picture)))
    widen = any(x == 0 and mask[-1][0] for x, _, mask in placed)
    width += 1 if widen else 0
    masks = []
    for x0, y0, mask in placed:
        x0 += 1 if widen else 0
        canvas = [[False] * width for _ in range(height)]
        for y, row in enumerate(mask):
            for x, opaque in enumerate(row):
                canvas[y0 + y][x0 + x] = opaque
        masks.append(frozenset((x, y) for y in range(height) for x in range(width) if canvas[y][x]))
    return (width, height), masks


MASCOTS = {
    # Soft edges and a frame of more than 255 colours (24 bits), one size.
    'edges': dict(frames=[soft_disc(40, (200, 60, 40)), gradient(40)], name='Edges', pos='PosX=20'),
    # Opaque at the bottom-left pixel: the canvas grows by a column.
    'corner': dict(frames=[block(31, 20, (30, 90, 200)), footed(31, 20, (30, 200, 90))], name='Corner',
                   pos='PosX=50'),
    # Three sizes, a Japanese name and comment, in an archive with a Japanese name.
    'sizes': dict(frames=[footed(30, 30, (250, 200, 0)), footed(20, 24, (0, 160, 160)), footed(10, 10, (120, 0, 200))],
                  name=NAME, pos='PosX=80', comment=COMMENT, archive='三毛'),
}


def archive_name(name):
    return MASCOTS[name].get('archive', name)


def write_source(folder, source):
    folder.mkdir(parents=True)
    lines = ['[VelmoraData]', 'Name=' + source['name'], '[List]']
    for n, picture in enumerate(source['frames'], 1):
        (folder / f'f{n}.png').write_bytes(imagefile.png(picture))
        lines += [f'File{n}=f{n}.png', f'Time{n}=3']
    lines += ['[Pos]', source['pos']]
    (folder / 'VLD.INI').write_text('\n'.join(lines) + '\n', encoding='utf-8')
    if 'comment' in source:
        (folder / 'Comment.txt').write_text('\n'.join(source['comment']) + '\n', encoding='utf-8')


@pytest.fixture(scope='module', params=LOCALE_NAMES)
def built(request, tmp_path_factory):
    """The kit's mascots running in the program, on Japanese Windows, on Windows of another
    language and in code page 65001: what the kit builds shows the same on each."""
    session = desktop_session(request)
    session.delete_key('Software\\Korrin')
    mascots = session.app_dir / 'Mascots'
    shutil.rmtree(mascots, ignore_errors=True)
    mascots.mkdir()
    sources = tmp_path_factory.mktemp('sources')
    for name, source in MASCOTS.items():
        write_source(sources / name, source)
        archive = archive_name(name) + '.lzh'
        run = subprocess.run([KIT, 'build', str(sources / name), '-o', str(mascots / archive), '--hard-edges'],
                             stdout=subprocess.PIPE, text=True)
        # Frames that cover all but a corner of their canvas are meant here; the check warns of them.
        assert run.returncode in (0, 1) and (mascots / archive).exists(), run.stdout
        session.set_value(ROOT + '\\View', archive, archive)
    session.start_velmora()
    windows = wait_until(lambda: len(session.mascots()) == len(MASCOTS) and session.mascots(), timeout=20,
                         message='the mascots')
    target = session.target(100, 300, 500, 300)
    session.driver('foreground', target)
    by_size = {}
    for window in windows:
        left, top, right, bottom = window.rect
        by_size[(right - left, bottom - top)] = window.handle
    yield session, by_size, target
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()


def region_mask(session, handle):
    rects = session.region(handle) or []
    return frozenset((x, y) for left, top, right, bottom in rects for y in range(top, bottom) for x in range(left, right))


@pytest.mark.parametrize('name', MASCOTS)
def test_every_frame_shows_with_its_alpha_mask(built, name):
    session, by_size, _ = built
    size, masks = canvas_masks(MASCOTS[name]['frames'])
    assert size in by_size, f'no mascot window of the canvas size {size}: {sorted(by_size)}'
    seen = set()
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline and not set(masks) <= seen:
        seen.add(region_mask(session, by_size[size]))
    missing = [n + 1 for n, mask in enumerate(masks) if mask not in seen]
    assert not missing, f'frames {missing} never showed with their mask'
    stray = seen - set(masks)
    assert not stray, 'a region that is no frame of the mascot'


def test_name_and_comment_read_back_in_code_page_932(built):
    session, by_size, target = built
    size, _ = canvas_masks(MASCOTS['sizes']['frames'])
    handle = by_size[size]
    session.driver('foreground', target)

    def standing():
        before = session.window(handle).rect
        time.sleep(0.3)
        after = session.window(handle).rect
        return after if after == before else None
    left, top, right, bottom = wait_until(standing, message='the mascot standing still',
                                          seen=lambda: session.window(handle))
    # The bottom-centre dot is drawn in every frame.
    session.driver('mouse', (left + right) // 2, bottom - 2, 'right')
    wait_until(lambda: visible(session, '#32768'), message='the mascot menu')
    time.sleep(0.3)
    choose(session, ABOUT_MASCOT)
    dialog = open_dialog(session)
    texts = {}
    for line in session.driver('children', dialog.handle).splitlines():
        parts = line.split()
        if parts:
            texts[int(parts[0])] = bytes.fromhex(dict(p.split('=', 1) for p in parts[6:])['text'])
    session.driver('key', 0x1B)
    assert texts[1054] == NAME.encode('cp932')
    assert texts[1053] == ''.join(line + '\r\n' for line in COMMENT).encode('cp932')


@pytest.mark.parametrize('name', MASCOTS)
def test_lhasa_extracts_what_the_program_extracted(built, name, tmp_path):
    session = built[0]
    folders = [p for p in session.prefix.glob('drive_c/users/*/**/Velmo/' + archive_name(name)) if p.is_dir()]
    assert folders, 'the program extracted the archive'
    subprocess.run(['lha', 'xq', str(session.app_dir / 'Mascots' / (archive_name(name) + '.lzh'))], cwd=tmp_path,
                   check=True)
    ours = {p.name: p.read_bytes() for p in folders[0].iterdir()}
    theirs = {p.name: p.read_bytes() for p in tmp_path.iterdir()}
    assert theirs == ours


def console_output(session, *args, timeout=60):
    """Runs a program with a terminal for its console and gives what the terminal received."""
    master, slave = pty.openpty()
    process = subprocess.Popen([session.loader, *args], env=session.env, stdin=slave, stdout=slave, stderr=slave)
    session.processes.append(process)
    os.close(slave)
    received = b''
    deadline = time.monotonic() + timeout
    try:
        while time.monotonic() < deadline:
            ready, _, _ = select.select([master], [], [], 0.2)
            if not ready:
                if process.poll() is not None:
                    break
                continue
            try:
                chunk = os.read(master, 4096)
            except OSError:
                break
            if not chunk:
                break
            received += chunk
        assert process.wait(timeout=max(1.0, deadline - time.monotonic())) is not None, \
            f'the program did not end; the terminal had {received!r}'
    finally:
        os.close(master)
    return process.returncode, received


def kana_folder(session):
    """An author's folder 「ミケ」 holding 「ミケ1.png」 and 「ミケ2.png」, named in UTF-8 in its VLD.INI."""
    folder = session.prefix / 'drive_c' / 'ミケ'
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir()
    (folder / 'ミケ1.png').write_bytes(imagefile.png(soft_disc(20, (250, 200, 0))))
    (folder / 'ミケ2.png').write_bytes(imagefile.png(soft_disc(20, (0, 160, 160))))
    (folder / 'VLD.INI').write_text('[VelmoraData]\nName=ミケ\n[List]\nFile1=ミケ1.png\nTime1=3\nFile2=ミケ2.png\n'
                                    'Time2=3\n', encoding='utf-8')
    return folder


def test_the_windows_kit_builds_and_checks_names_outside_ascii(wine_desktop, tmp_path):
    session = wine_desktop
    kit_exe = str(WIN_BIN / 'velmora-kit.exe')
    kana_folder(session)
    built = session.wine(kit_exe, 'build', 'C:\\ミケ', '-o', 'C:\\ミケ.lzh', '--hard-edges', timeout=60)
    assert built.returncode == 0, built.stdout.decode('utf-8', 'replace')
    assert built.stdout.decode('utf-8').endswith('wrote C:\\ミケ.lzh (%d bytes)\r\n'
                                                 % (session.prefix / 'drive_c' / 'ミケ.lzh').stat().st_size)
    checked = session.wine(kit_exe, 'check', 'C:\\ミケ.lzh', timeout=60)
    assert (checked.returncode, checked.stdout.decode('utf-8')) == (0, 'ミケ: 2 frames, a round of 0.6 s, 20x20, '
                                                                       'members -lh5- x4\r\n')
    # The members are named in code page 932, and as a folder of the names they stand for
    # they check as the archive does.
    subprocess.run(['lha', 'xq', str(session.prefix / 'drive_c' / 'ミケ.lzh')], cwd=tmp_path, check=True)
    extracted = session.prefix / 'drive_c' / 'ミケ展開'
    shutil.rmtree(extracted, ignore_errors=True)
    extracted.mkdir()
    stored = os.listdir(bytes(tmp_path))
    assert sorted(name.decode('cp932') for name in stored) == ['VLD.INI', 'icon16.ico', 'ミケ1.bmp', 'ミケ2.bmp']
    for name in stored:
        shutil.copy(os.path.join(bytes(tmp_path), name), extracted / name.decode('cp932'))
    folder_check = session.wine(kit_exe, 'check', 'C:\\ミケ展開', timeout=60)
    assert (folder_check.returncode, folder_check.stdout.decode('utf-8')) == (0, 'ミケ: 2 frames, a round of 0.6 s, 20x20\r\n')
    # "ミケ².bmp" has no name in code page 932, whose look-alike would be "ミケ2.bmp": it is a
    # member of its own that the program never reads, and frame 2 is still the real one.
    (extracted / 'ミケ².bmp').write_bytes(b'not a bitmap')
    odd = session.wine(kit_exe, 'check', 'C:\\ミケ展開', timeout=60)
    report = odd.stdout.decode('utf-8')
    assert odd.returncode == 1 and report.count('is never read by the program') == 1, report
    assert 'ミケ: 2 frames, a round of 0.6 s, 20x20\r\n' in report and 'error' not in report, report
    # On a console the report is text the console shows: the terminal gets it in its own UTF-8.
    status, shown = console_output(session, kit_exe, 'check', 'C:\\ミケ.lzh')
    assert status == 0 and 'ミケ: 2 frames, a round of 0.6 s, 20x20, members -lh5- x4'.encode() in shown, shown
