"""How long the settings sheet takes to open on a large library: 1 000 archive mascots (one small
archive without an icon, copied into 20 folders of 50) and 100 of them, from the settings
command until the sheet shows with every row in its mascot list. For each size it prints the
first opening with no cache file, the second opening in the same run and the opening after a
restart that read the cache file, for the list filled row by row (the straightforward fill, a
test build of the program: Velmora2-row-fill.exe) and for the program's own fill, in one run. Each
figure is the best of VELMORA_BENCH_ROUNDS rounds (2 unless told), the driver timing in the
prefix. It prints figures and checks only that every row arrives; it is not a test suite and
runs when VELMORA_BENCH=1 is set:

    VELMORA_BENCH=1 /usr/bin/python3 -m pytest -q -s -p no:cacheprovider bench_sheet_opening.py
"""
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

from bitmaps import ellipse_figure
from fixtures import LHAPACK, bmp_bytes
from harness import wait_until
from sheet import definition_with_icons

# The empty library shows what the sheet and its pages cost before the first row.
SIZES = (1000, 100, 0)
PER_FOLDER = 50
ROUNDS = int(os.environ.get('VELMORA_BENCH_ROUNDS', 2))
FILLS = (('row by row', 'Velmora2-row-fill.exe'), ('program', 'Velmora2.exe'))
BM_CLICK = 0xF5

pytestmark = pytest.mark.skipif(os.environ.get('VELMORA_BENCH') != '1', reason='set VELMORA_BENCH=1 to run')


def small_archive(work):
    (work / 'a.bmp').write_bytes(bmp_bytes(32, 40, ellipse_figure(32, 40)))
    (work / 'VLD.INI').write_bytes(definition_with_icons(name='Plain'))
    archive = work / 'plain.lzh'
    subprocess.run([str(LHAPACK), str(archive), str(work / 'VLD.INI'), str(work / 'a.bmp')], check=True,
                   stdout=subprocess.DEVNULL)
    return archive


def make_library(folder, count):
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    with tempfile.TemporaryDirectory() as work:
        archive = small_archive(Path(work))
        for number in range(count):
            target = folder / f'folder{number // PER_FOLDER:02d}' / f'm{number % PER_FOLDER:02d}.lzh'
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(archive, target)


def timed_opening(wine, rows):
    """Milliseconds from the settings command until the full sheet shows; the sheet is closed."""
    answer = wine.driver('sheet-open-time', wine.controller().handle, rows, 300000, timeout=330).split()
    assert answer, f'the sheet did not show {rows} rows within five minutes'
    milliseconds, sheet = float(answer[0]), answer[1]
    close_button = wine.driver('dlg-item', sheet, 1).split()[0]
    wine.driver('send', close_button, BM_CLICK, 0, 0)
    wait_until(lambda: not wine.window(sheet), timeout=20, message='the sheet to close')
    return milliseconds


def start(wine, build):
    wine.install_program(build)
    wine.start_velmora()


def openings(wine, rows, build):
    """(no cache file, second in the same run, after a restart) in milliseconds."""
    (wine.app_dir / 'Velmo2.mdc').unlink(missing_ok=True)
    start(wine, build)
    first = timed_opening(wine, rows)
    second = timed_opening(wine, rows)
    assert wine.exit_velmora() == 0
    start(wine, build)
    restarted = timed_opening(wine, rows)
    assert wine.exit_velmora() == 0
    return first, second, restarted


def test_opening_the_sheet_on_a_large_library(wine_desktop, capsys):
    wine = wine_desktop
    lines = []
    for rows in SIZES:
        make_library(wine.app_dir / 'Mascots', rows)
        best = {}
        for _ in range(ROUNDS):
            for label, build in FILLS:
                figures = openings(wine, rows, build)
                best[label] = tuple(min(pair) for pair in zip(best.get(label, figures), figures))
        for label, _ in FILLS:
            first, second, restarted = best[label]
            lines.append(f'{rows:5d} archives, {label:10s}: no cache file {first:7.0f} ms, second opening '
                         f'{second:6.0f} ms, after a restart {restarted:6.0f} ms')
    with capsys.disabled():
        print(f'\nopening the settings sheet, best of {ROUNDS} rounds')
        print('\n'.join(lines))
