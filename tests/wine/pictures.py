"""Screenshots read as pixels, through ImageMagick, so tests can look at what Wine drew."""
import os
import subprocess
from pathlib import Path

from harness import ARCH, SOURCE

SHOTS = SOURCE / 'build' / 'screenshots'


class Picture:
    def __init__(self, path):
        env = {'LC_ALL': 'C', 'PATH': '/usr/local/bin:/usr/bin:/bin'}
        size = subprocess.run(['convert', str(path), '-format', '%w %h', 'info:'], check=True, capture_output=True,
                              env=env).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = subprocess.run(['convert', str(path), '-depth', '8', 'rgb:-'], check=True, capture_output=True,
                                   env=env).stdout

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.data[at:at + 3])

    def pixels(self, rect):
        """(x, y, (r, g, b)) for every pixel of a (left, top, right, bottom) rectangle."""
        left, top, right, bottom = rect
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                yield x, y, self.pixel(x, y)


def suite_shots():
    """build/screenshots/<architecture>/<suite>: suites of both architectures run side by side and
    take shots of the same names."""
    suite = os.environ.get('PYTEST_CURRENT_TEST', 'session').split('::')[0].rsplit('/', 1)[-1]
    folder = SHOTS / ARCH / Path(suite).stem
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def shot(session, name):
    """A screenshot kept under build/screenshots for a person to look at, read as a Picture."""
    return Picture(session.screenshot(suite_shots() / f'{name}.png'))


def bounding_box(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if points else None


def menu_rows(picture, rect):
    """Reads a popup menu's text rows from top to bottom as (state, middle y), the state being
    'enabled' (black text) or 'greyed' (grey text only); separator lines and the frame are
    skipped."""
    left, top, right, bottom = rect
    inner = (left + 3, top + 3, right - 3, bottom - 3)
    width = inner[2] - inner[0]
    rows = []
    for y in range(inner[1], inner[3]):
        line = [picture.pixel(x, y) for x in range(inner[0], inner[2])]
        marked = [p for p in line if sum(p) < 600]
        if not marked or len(marked) > width * 0.6:
            rows.append(None)
            continue
        rows.append('enabled' if any(sum(p) < 150 for p in marked) else 'greyed')
    found, current, start = [], [], 0
    for offset, row in enumerate(rows + [None]):
        if row:
            if not current:
                start = inner[1] + offset
            current.append(row)
        elif current:
            found.append(('enabled' if 'enabled' in current else 'greyed', start + len(current) // 2))
            current = []
    return found


def menu_item_states(picture, rect):
    return [state for state, _ in menu_rows(picture, rect)]
