#!/usr/bin/env python3
"""Takes the README's screenshots from the real program under Wine: the sample mascots on a
window, the popup menu, both pages of the settings sheet and the about box.

    scripts/screenshots.sh        (builds first, then runs this)
Pictures go to docs/screenshots/.
"""
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tests' / 'wine'))
from harness import SOURCE, WineSession, wait_until  # noqa: E402
from sheet import Sheet  # noqa: E402

OUT = SOURCE / 'docs' / 'screenshots'
ROOT = 'Software\\Korrin\\Velmora2'


def crop(session, name, rect=None):
    """A screenshot of the whole screen, or of rect (left, top, right, bottom), as name.png."""
    path = OUT / f'{name}.png'
    session.screenshot(path)
    if rect:
        left, top, right, bottom = rect
        subprocess.run(['convert', str(path), '-crop', f'{right - left}x{bottom - top}+{left}+{top}', '+repage',
                        str(path)], check=True)
    return path


def grow(rect, by, limit=(1024, 768)):
    return (max(rect[0] - by, 0), max(rect[1] - by, 0), min(rect[2] + by, limit[0]), min(rect[3] + by, limit[1]))


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    session = WineSession(desktop=True)
    try:
        mascots = session.app_dir / 'Mascots'
        mascots.mkdir()
        shutil.copytree(SOURCE / 'build' / 'native' / 'Mascots', mascots, dirs_exist_ok=True)
        shutil.copy(SOURCE / 'help' / 'Velmora2.html', session.app_dir)
        for name in ('mike.lzh', 'fuwari.lzh', 'Sprout.bmp'):
            session.set_value(ROOT + '\\View', name, name)
        session.start_velmora()
        wait_until(lambda: len(session.mascots()) == 3, timeout=20, message='the sample mascots')
        target = session.target(180, 260, 640, 360, 'メモ')
        session.driver('foreground', target)
        time.sleep(1.5)
        crop(session, 'mascots-on-a-window', (120, 120, 880, 640))

        kitten = min(session.mascots(), key=lambda w: w.rect[0])
        x, y = (kitten.rect[0] + kitten.rect[2]) // 2, (kitten.rect[1] + kitten.rect[3]) // 2 + 10
        session.xdotool('mousemove', x, y, 'click', 3)
        menu = wait_until(lambda: [w for w in session.windows('#32768') if w.visible], message='the menu')[0]
        both = (min(menu.rect[0], kitten.rect[0]), min(menu.rect[1], kitten.rect[1]),
                max(menu.rect[2], kitten.rect[2]), max(menu.rect[3], kitten.rect[3]))
        crop(session, 'menu', grow(both, 12))
        session.xdotool('key', 'Escape')
        session.driver('post', session.controller().handle, 0x1F, 0, 0)  # WM_CANCELMODE
        wait_until(lambda: not [w for w in session.windows('#32768') if w.visible], message='the menu to close')

        sheet = Sheet(session)
        sheet.click_row(0)
        time.sleep(1.5)
        rect = session.window(sheet.handle).rect
        # The preview stands on the sheet, which is the target while it is open.
        with_preview = (max(rect[0] - 10, 0), max(rect[1] - 110, 0), min(rect[2] + 10, 1024), min(rect[3] + 10, 768))
        crop(session, 'settings-mascot-page', with_preview)
        sheet.show_page(1)
        time.sleep(0.8)
        crop(session, 'settings-general-page', rect)
        sheet.close()

        session.driver('post', session.controller().handle, 0x111, 40003, 0)
        about = wait_until(lambda: [w for w in session.windows('#32770') if w.visible], message='the about box')[0]
        time.sleep(0.5)
        crop(session, 'about-box', about.rect)
        session.driver('post', about.handle, 0x10, 0, 0)
        session.exit_velmora()
    finally:
        session.close()
    for picture in sorted(OUT.glob('*.png')):
        print(picture.relative_to(SOURCE))


if __name__ == '__main__':
    main()
