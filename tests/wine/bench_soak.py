"""A soak of the program's nested loops: VELMORA_SOAK_ROUNDS rounds (1 000 unless told) of the
settings sheet with a preview of an archive mascot, that preview's information dialog, and the
about box. It prints, at rounds 0, 100 and the last, and after the exit:
- the program's GDI and USER objects as the system counts them (Wine answers 0);
- the GDI objects alive by kind and the image lists made and destroyed, from Wine's own traces
  of the program (the channels gdi and imagelist);
- the program's resident memory;
- the bytes below the extraction folder %TEMP%\\Velmo.
It checks only that every round runs; it is not a test suite and runs when VELMORA_BENCH=1 is
set. The rounds run inside the test driver (its command soak), a hundred at a time:

    VELMORA_BENCH=1 VELMORA_SOAK_ROUNDS=1000 /usr/bin/python3 -m pytest -q -s -p no:cacheprovider bench_soak.py
"""
import collections
import os
import re
import subprocess

import pytest

from fixtures import two_frame_archive
from harness import resident_kib

ROUNDS = int(os.environ.get('VELMORA_SOAK_ROUNDS', 1000))
# Rounds 0, 100 and the last, and every hundredth between, printed as they are reached.
CHECKPOINTS = sorted({0, min(100, ROUNDS), ROUNDS, *range(100, ROUNDS, 100)})
# Wine's gdi channel names every object it makes and frees; the imagelist channel every image
# list it creates and the reference count each release leaves.
ALLOCATED = re.compile(r'allocated (?:NTGDI_)?OBJ_(\w+) ')
FREED = re.compile(r'freed (?:NTGDI_)?OBJ_(\w+) ')
LIST_MADE = re.compile(r'ImageList_Create \(')
LIST_GONE = re.compile(r'refcount 0$')
# The gdi channel also names every object the program asks about, some fifteen thousand lines
# a round; only the lines counted here are kept.
KEPT_LINES = 'alloc_gdi_handle|free_gdi_handle|ImageList_Create \\(|refcount 0$'

pytestmark = pytest.mark.skipif(os.environ.get('VELMORA_BENCH') != '1', reason='set VELMORA_BENCH=1 to run')


class TraceCounts:
    """Reads the program's trace log as it grows and keeps the running counts."""

    def __init__(self, path):
        self.path, self.offset = path, 0
        self.alive = collections.Counter()
        self.lists_made = self.lists_gone = 0

    def update(self):
        with open(self.path, 'rb') as log:
            log.seek(self.offset)
            text = log.read().decode('ascii', errors='replace')
        # Only whole lines: the program may be writing the last one.
        end = text.rfind('\n') + 1
        self.offset += len(text[:end].encode('ascii', errors='replace'))
        for line in text[:end].splitlines():
            if (made := ALLOCATED.search(line)):
                self.alive[made.group(1)] += 1
            elif (gone := FREED.search(line)):
                self.alive[gone.group(1)] -= 1
            elif LIST_MADE.search(line):
                self.lists_made += 1
            elif LIST_GONE.search(line):
                self.lists_gone += 1
        return self


def folder_bytes(folder):
    return sum(p.stat().st_size for p in folder.rglob('*') if p.is_file()) if folder.exists() else 0


def soak(session, rounds):
    """Runs the rounds inside the driver, one Wine program for many rounds."""
    answer = session.driver('soak', session.controller().handle, rounds, timeout=60 + 10 * rounds).strip()
    assert answer == f'{rounds} rounds', answer


def test_soak_of_the_sheet_and_both_dialogs(wine_desktop, capsys):
    wine = wine_desktop
    mascots = wine.app_dir / 'Mascots'
    mascots.mkdir(exist_ok=True)
    two_frame_archive(mascots / 'tama.lzh', (2, 2))
    temp = wine.driver('temp-path').strip()
    extraction = wine.prefix / 'drive_c' / temp[3:].replace('\\', '/') / 'Velmo'
    log = wine.root / 'soak-traces.log'
    with open(log, 'wb') as kept:
        kept_lines = subprocess.Popen(['grep', '--line-buffered', '-E', KEPT_LINES], stdin=subprocess.PIPE,
                                      stdout=kept)
    wine.start_velmora(traces='+gdi,+imagelist', log=kept_lines.stdin)
    traces = TraceCounts(log)
    lines = []

    def note(label):
        counts = traces.update()
        objects = wine.driver('gui-resources', wine.controller().handle).strip()
        alive = ', '.join(f'{kind.lower()} {count}' for kind, count in sorted(counts.alive.items()) if count)
        lines.append(f'{label:>12}: {objects}; GDI objects alive by the traces: {alive or "none"}; image lists '
                     f'made {counts.lists_made}, destroyed {counts.lists_gone}; resident '
                     f'{resident_kib(wine.velmora.pid)} KiB; {folder_bytes(extraction)} bytes below Velmo')
        with capsys.disabled():
            print(lines[-1], flush=True)
        return resident_kib(wine.velmora.pid)

    resident = {}
    done = 0
    for checkpoint in CHECKPOINTS:
        while done < checkpoint:
            step = min(100, checkpoint - done)
            soak(wine, step)
            done += step
        resident[done] = note(f'round {done}')
    assert wine.exit_velmora(timeout=30) == 0
    kept_lines.stdin.close()
    kept_lines.wait(timeout=30)
    traces.update()
    lines.append(f'{"after exit":>12}: image lists made {traces.lists_made}, destroyed {traces.lists_gone}; '
                 f'{folder_bytes(extraction)} bytes below Velmo, folder '
                 f'{"present" if extraction.exists() else "gone"}')
    if ROUNDS > 100:
        lines.append(f'growth after round 100: {(resident[ROUNDS] - resident[100]) * 1024 / (ROUNDS - 100):.0f} '
                     f'bytes per round')
    with capsys.disabled():
        print(f'\nsoak of {ROUNDS} rounds (sheet with a preview, its information, the about box)')
        print('\n'.join(lines))
