"""Every label, check box and button text of the two settings pages and the two dialogs is
shown whole, at 96, 144 and 192 dots per inch: the text drawn with the control's font needs no
more room than the control gives, and on a screenshot the text's ink spans what it needs."""
import subprocess

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import ELSEWHERE, WineSession, wait_until
from menus import WM_COMMAND, open_dialog
from pictures import Picture, suite_shots
from sheet import ROOT, Sheet

IDOK = 1
WIDTHS = {}


@pytest.fixture(scope='module', params=[(96, {}), (144, {}), (192, {}), (96, ELSEWHERE)],
                ids=['96dpi', '144dpi', '192dpi', '96dpi-elsewhere'])
def session(request):
    dpi, where = request.param
    session = WineSession(desktop=True, dpi=dpi, **where)
    session.dpi = dpi
    session.shots = f"{dpi}dpi{'-elsewhere' if where else ''}"
    (session.app_dir / 'Mascots').mkdir()
    write_bmp24(session.app_dir / 'Mascots' / 'a.bmp', 40, 48, ellipse_figure(40, 48))
    session.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    session.start_velmora()
    yield session
    session.close()


def ink_extent(picture, rect):
    """Width and height of what is drawn in a label's rectangle: pixels unlike its corner's."""
    background = picture.pixel(rect[0], rect[1])
    inked = [(x, y) for x, y, p in picture.pixels(rect) if p != background]
    if not inked:
        return 0, 0
    xs, ys = [x for x, _ in inked], [y for _, y in inked]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def cut_texts(session, window, name):
    """The controls whose text is cut, by measurement and on a screenshot of the window."""
    path = suite_shots() / f'texts-{session.shots}-{name}.png'
    session.screenshot(path)
    picture = Picture(path)
    cut = []
    for line in session.driver('text-fits', window).splitlines():
        if not line.strip():
            continue
        control, kind, *numbers = line.split()
        need_width, need_height, room_width, room_height, line_height, *rect = (int(v) for v in numbers)
        # One line shows in a control a little lower than the font's line; more lines need room.
        if need_width > room_width or need_height > max(room_height, line_height):
            cut.append((int(control), f'needs {need_width}x{need_height}, has {room_width}x{room_height}'))
        elif kind == 'Static':
            ink_width, _ = ink_extent(picture, rect)
            # Glyphs have side bearings, so the ink may be a little narrower than the extent;
            # a cut label loses whole glyphs to a line it has no room for.
            if ink_width < need_width - line_height // 3:
                cut.append((int(control), f'shows {ink_width} of {need_width} pixels'))
    frame = session.window(window).rect
    subprocess.run(['convert', str(path), '-crop', f'{frame[2] - frame[0]}x{frame[3] - frame[1]}+{frame[0]}+{frame[1]}',
                    '+repage', str(path)], check=True, env={'LC_ALL': 'C', 'PATH': '/usr/bin:/bin'})
    return cut


def whole_texts(session, window, name, timeout=10):
    """The cut texts of a window, looked at again until none is cut or the bound runs out: a
    screenshot taken before the window has painted shows its labels without ink."""
    looks = []
    try:
        wait_until(lambda: looks.append(cut_texts(session, window, name)) or not looks[-1], timeout=timeout,
                   message=f'every text of {name} whole')
    except AssertionError:
        pass  # the last look tells which texts are cut
    return looks[-1]


def test_the_settings_pages_show_every_text_whole(session):
    sheet = Sheet(session)
    try:
        WIDTHS[session.dpi] = session.window(sheet.handle).rect[2] - session.window(sheet.handle).rect[0]
        if 96 in WIDTHS and 144 in WIDTHS:
            assert WIDTHS[144] > WIDTHS[96] * 1.3, 'the sheet grows with the dots per inch'
        if 144 in WIDTHS and 192 in WIDTHS:
            assert WIDTHS[192] > WIDTHS[144] * 1.2, 'the sheet grows with the dots per inch'
        cut = {'mascot page': whole_texts(session, sheet.page, 'mascot-page')}
        sheet.show_page(1)
        general = wait_until(lambda: session.driver('dlg-find', sheet.handle, 1047).split()[1:],
                             message='the general page')[0]
        cut['general page'] = whole_texts(session, general, 'general-page')
        assert cut == {'mascot page': [], 'general page': []}
    finally:
        sheet.close()


@pytest.mark.parametrize('command, name', [(40003, 'about-box'), (40004, 'mascot-information')])
def test_the_dialogs_show_every_text_whole(session, command, name):
    session.driver('post', session.controller().handle, WM_COMMAND, command, 0)
    dialog = open_dialog(session)
    try:
        assert whole_texts(session, dialog.handle, name) == []
    finally:
        session.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
        wait_until(lambda: not session.window(dialog.handle), message='the dialog to close')


def blue_ink(session, rect, name):
    """Width and height of the link's blue text and underline on a screenshot."""
    picture = Picture(session.screenshot(suite_shots() / f'link-{session.dpi}dpi-{name}.png'))
    inked = [(x, y) for x, y, p in picture.pixels(rect) if p == (0, 0, 255)]
    if not inked:
        return 0, 0
    xs, ys = [x for x, _ in inked], [y for _, y in inked]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def test_the_link_paints_in_the_dialogs_font(session):
    """The about box's link is drawn in the dialog's font underlined, at this DPI: as wide as its
    text measured in that font (the underline spans the whole text) and about as high as a line
    of it."""
    session.driver('post', session.controller().handle, WM_COMMAND, 40003, 0)
    dialog = open_dialog(session)
    try:
        link = wait_until(lambda: session.driver('dlg-item', dialog.handle, 1013).split()[:1], message='the link')[0]
        width, height, _, _ = (int(v) for v in session.driver('link-extents', link).split())
        rect = session.window(link).rect
        seen = []

        def drawn():
            seen[:] = [blue_ink(session, rect, 'about-box')]
            ink_width, ink_height = seen[0]
            return abs(ink_width - width) <= 2 and height // 2 <= ink_height <= height + 2
        wait_until(drawn, message=f'the link {width} wide and up to {height} high',
                   seen=lambda: f'{seen} (width, height)')
    finally:
        session.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
        wait_until(lambda: not session.window(dialog.handle), message='the dialog to close')
