"""Frames on real windows: window regions against the traced shape, what shows through
transparent pixels, frame changes, and definition files read through the profile functions.
The checks run inside frame_window_check.exe; the screenshot is taken from outside."""
import shutil
import subprocess

import pytest

from harness import SOURCE, WIN_BIN, wait_until

CHECKS = [
    'four_bit.bmp window takes the frame size',
    'four_bit.bmp window region covers exactly the traced runs',
    'four_bit.bmp row bands equal the run-by-run union',
    'eight_bit.bmp window takes the frame size',
    'eight_bit.bmp window region covers exactly the traced runs',
    'eight_bit.bmp row bands equal the run-by-run union',
    'true_colour.bmp window takes the frame size',
    'true_colour.bmp window region covers exactly the traced runs',
    'true_colour.bmp row bands equal the run-by-run union',
    'compressed rows refused, nothing kept, size untouched',
    'frames change when their stay runs out and bring their shape',
    'freed frames leave nothing to paint',
    'mascot folder below the temporary folder',
    'definition: File1, File2 and File4',
    'definition: Time2 missing',
    'definition: File1 NoData',
    'definition: File1 empty',
    'definition: third frame not a bitmap',
    'definition name',
    'restore applies the anchor keys, Y untouched',
    'restore without a definition file',
    'opaque pixel shows the picture',
    'opaque last pixel of a row shows the picture',
    'transparent pixel shows what lies behind',
]


@pytest.fixture(scope='module')
def checker(wine):
    """The check program and ImageMagick's seed bitmaps in the prefix's C:\\."""
    drive_c = wine.prefix / 'drive_c'
    shutil.copy(WIN_BIN / 'frame_window_check.exe', drive_c)
    subprocess.run([str(SOURCE / 'display' / 'fuzz' / 'make_seeds.sh'), str(drive_c / 'seeds')], check=True,
                   stdout=subprocess.DEVNULL)
    return wine


@pytest.fixture(scope='module')
def results(checker):
    run = checker.wine('C:\\frame_window_check.exe', 'C:\\seeds', timeout=120)
    return run.stdout.decode('cp932', errors='replace').splitlines()


@pytest.mark.parametrize('name', CHECKS)
def test_frame_check(results, name):
    # A line is the verdict, the check's name and, after ": ", what was seen.
    lines = [line for line in results if line.split(' ', 1)[-1] == name or
             line.split(' ', 1)[-1].startswith(name + ': ')]
    assert lines, f'check {name!r} did not run'
    assert lines[0].startswith('PASS '), lines[0]


def pixel(path, x, y):
    out = subprocess.run(['convert', str(path), '-crop', f'1x1+{x}+{y}', '-depth', '8', 'txt:-'], check=True,
                         capture_output=True, text=True, env={'LC_ALL': 'C', 'PATH': '/usr/local/bin:/usr/bin:/bin'})
    return out.stdout.splitlines()[1].split()[2]  # "#RRGGBB"


def test_screenshot_shows_desktop_through_transparent_pixels(checker, tmp_path):
    shown = checker.spawn('C:\\frame_window_check.exe', 'C:\\seeds', 'show')
    try:
        for line in shown.stdout:
            if line.strip() == 'ready':
                break
        else:
            pytest.fail('the frame was never shown')
        # The frame sits at (100, 100) over a green backdrop; its white is transparent.
        looks = []

        def painted():
            shot = checker.screenshot(tmp_path / 'screen.png')
            looks.append(pixel(shot, 115, 106))
            return shot if looks[-1] == '#FF0000' else None
        shot = wait_until(painted, message='the red disc painted', seen=lambda: looks[-1])
        assert pixel(shot, 129, 100) == '#0000FF', 'the opaque last pixel of the top row'
        assert pixel(shot, 101, 101) == '#008000', 'the backdrop through a white pixel'
        assert pixel(shot, 100, 111) == '#008000', 'the backdrop through the bottom-left pixel'
        assert pixel(shot, 135, 105) == '#008000', 'the backdrop beside the frame'
    finally:
        shown.kill()
        shown.wait()


def test_region_builds_agree_on_a_busy_frame(checker):
    """The benchmark's own check: run by run, one rectangle list and row bands give one
    region for a 512 x 512 frame of some 24000 runs. Its figures are printed, not judged."""
    shutil.copy(WIN_BIN / 'region_bench.exe', checker.prefix / 'drive_c')
    run = checker.wine('C:\\region_bench.exe', timeout=300)
    out = run.stdout.decode('cp932', errors='replace')
    print(out)
    assert run.returncode == 0 and 'regions equal: yes' in out, out
