"""Library scan benchmark on 1 000 archives made with our packer: the first scan with no cache
file against the cached scan, and how many archives each opens. It prints figures and checks
only the counts. It is not one of the test suites (their files begin with "test_"); it runs
when VELMORA_BENCH=1 is set, since it takes a minute or two:

    VELMORA_BENCH=1 [VELMORA_BENCH_ARCHIVES=n] /usr/bin/python3 -m pytest -q -s -p no:cacheprovider bench_library_scan.py
"""
import os
import shutil
import tempfile
import time
from pathlib import Path

import pytest

from bitmaps import ellipse_figure
from fixtures import LHAPACK, bmp_bytes
from harness import wait_until
from sheet import Sheet, definition_with_icons, icon_bytes

ARCHIVES = int(os.environ.get('VELMORA_BENCH_ARCHIVES', 1000))
WITH_ICON_EVERY = 10  # one archive in ten has an icon
LOG = 'unlha.log'

pytestmark = pytest.mark.skipif(os.environ.get('VELMORA_BENCH') != '1', reason='set VELMORA_BENCH=1 to run')


def make_library(folder):
    """Two archives, one with an icon and one without, copied to 1 000 names in 10 folders."""
    import subprocess
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        (work / 'a.bmp').write_bytes(bmp_bytes(32, 40, ellipse_figure(32, 40)))
        (work / 'i.ico').write_bytes(icon_bytes())
        variants = {}
        for kind, ini in (('icon', definition_with_icons(name='Icon', icon16='i.ico')),
                          ('plain', definition_with_icons(name='Plain'))):
            (work / 'VLD.INI').write_bytes(ini)
            members = [str(work / 'VLD.INI'), str(work / 'a.bmp')] + ([str(work / 'i.ico')] if kind == 'icon' else [])
            variants[kind] = work / f'{kind}.lzh'
            subprocess.run([str(LHAPACK), str(variants[kind]), *members], check=True, stdout=subprocess.DEVNULL)
        for number in range(ARCHIVES):
            target = folder / f'group{number % 10}' / f'm{number:04d}.lzh'
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(variants['icon' if number % WITH_ICON_EVERY == 0 else 'plain'], target)


def opens(wine):
    log = wine.prefix / 'drive_c' / LOG
    return sum(1 for line in log.read_bytes().splitlines() if b'VLD.INI *.ico' in line) if log.exists() else 0


def timed_opening(wine):
    (wine.prefix / 'drive_c' / LOG).unlink(missing_ok=True)
    wine.start_velmora()
    started = time.monotonic()
    sheet = Sheet(wine)
    elapsed = time.monotonic() - started
    assert len(sheet.rows()) == ARCHIVES
    sheet.close()
    assert wine.exit_velmora() == 0
    return elapsed, opens(wine)


def test_first_and_cached_scan_of_a_thousand_archives(wine_desktop, capsys):
    wine = wine_desktop
    wine.env['VELMORA_UNLHA_LOG'] = 'C:\\' + LOG
    shutil.rmtree(wine.app_dir / 'Mascots', ignore_errors=True)
    make_library(wine.app_dir / 'Mascots')
    (wine.app_dir / 'Velmo2.mdc').unlink(missing_ok=True)

    first, first_opens = timed_opening(wine)
    cached, cached_opens = timed_opening(wine)
    # Once more without the cache file, now that Wine's shell has seen these files before.
    (wine.app_dir / 'Velmo2.mdc').unlink()
    again, again_opens = timed_opening(wine)
    wait_until(lambda: not wine.windows('Velmo2'), message='the program to end')
    with capsys.disabled():
        print(f'\nlibrary of {ARCHIVES} archives, {ARCHIVES // WITH_ICON_EVERY} with icons')
        print(f'first scan (no cache file): {first:.2f} s, {first_opens} archives opened')
        print(f'cached scan:                {cached:.2f} s, {cached_opens} archives opened')
        print(f'first scan again, no cache: {again:.2f} s, {again_opens} archives opened')
    assert first_opens == again_opens == ARCHIVES
    assert cached_opens == ARCHIVES // WITH_ICON_EVERY
