"""The mascot page's list as the sheet opens: every name of the first column shows whole (its
text fits the column's label and its ink on a screenshot is not cut) at 96 and 144 dots per
inch, and the list the program fills is the one the row-by-row fill makes (a test build of the
program, Velmora2-row-fill.exe): the same rows in the same order, texts, image indices, check
boxes, icons on the screen and column widths, which follow the width rule."""
import shutil
import sys

import pytest

from bitmaps import ellipse_figure, write_bmp24
from fixtures import bmp_bytes, pack, two_frame_gif
from harness import SOURCE, WineSession, wait_until
from pictures import shot
from sheet import ROOT, Sheet, definition_with_icons, icon_bytes

sys.path.insert(0, str(SOURCE / 'tools' / 'mascots'))
import imagefile  # noqa: E402

RED, BLUE = (200, 40, 40), (40, 60, 210)


def archive(path, name, icon16=None, icon32=None, colour=None):
    members = {'VLD.INI': definition_with_icons(name=name, icon16=icon16, icon32=icon32),
               'a.bmp': bmp_bytes(32, 40, ellipse_figure(32, 40))}
    if colour:
        members[icon32 if icon16 in (None, 'NoIcon') else icon16] = icon_bytes(colour)
    pack(path, members)


def still(path, width=40, height=48):
    path.parent.mkdir(parents=True, exist_ok=True)
    write_bmp24(path, width, height, ellipse_figure(width, height))


def bitmap_widest(folder):
    still(folder / 'Sprout.bmp')
    still(folder / 'a.bmp')
    archive(folder / 'tea.lzh', 'Tea')


def japanese_widest(folder):
    archive(folder / 'sun.lzh', 'ひまわりの妖精さん')
    archive(folder / 'moon.lzh', 'Moon')
    still(folder / 'b.bmp')


def every_kind(folder):
    """Archives with an Icon16, an Icon32 only and none, one without a name, two of one name,
    still bitmaps at the top and below, an animated GIF and a PNG, names in no order of any kind."""
    still(folder / 'a.bmp')
    still(folder / 'sub' / 'Sprout.bmp')
    two_frame_gif(folder / 'run.gif', (10, 10), 16, 20)
    (folder / 'sub' / 'soft.png').write_bytes(imagefile.png([[(40, 60, 210, x / 15) for x in range(16)]] * 12))
    archive(folder / 'red.lzh', 'Tomato', icon16='r.ico', colour=RED)
    archive(folder / 'sub' / 'blue.lzh', 'apple', icon16='NoIcon', icon32='b.ico', colour=BLUE)
    archive(folder / 'plain.lzh', 'Zucchini')
    archive(folder / 'twin.lzh', 'Tomato')
    archive(folder / 'jp.lzh', 'ひまわり')
    archive(folder / 'nameless.lzh', None)


def start(session, build='Velmora2.exe', running=()):
    session.install_program(build)
    session.delete_key(ROOT + '\\View')
    for source in running:
        session.set_value(ROOT + '\\View', source, source)
    session.start_velmora()
    wait_until(lambda: len(session.mascots()) == len(running), timeout=30,
               message=f'{len(running)} mascots to run')


def layout(session, sheet):
    """Column widths and, per row, (name width, path width, bounds, icon, label rectangles)."""
    def answered():
        lines = session.driver('lv-layout', sheet.list).splitlines()
        return lines if lines and lines[0].startswith('columns') else None
    # A driver run that a loaded machine lets fail answers nothing; the next one answers.
    lines = wait_until(answered, message='the list layout')
    widths = tuple(int(v) for v in lines[0].split()[1:])
    rows = []
    for line in lines[1:]:
        numbers = [int(v) for v in line.split()]
        rows.append((numbers[1], numbers[2], tuple(numbers[3:7]), tuple(numbers[7:11]), tuple(numbers[11:15])))
    return widths, rows


def expected_widths(rows, dpi=96):
    """Column 0: the widest name + a margin + the check box and icon before the label; column 1
    the widest path + the margin, which is 16 pixels at 96 dpi. A header wider than the texts is
    not counted."""
    _, _, bounds, _, label = rows[0]
    leading = label[0] - bounds[0]
    margin = (16 * dpi * 2 + 96) // 192
    return max(r[0] for r in rows) + margin + leading, max(r[1] for r in rows) + margin


def ink_width(picture, rect):
    background = picture.pixel(rect[0], rect[1])
    xs = [x for x, _, p in picture.pixels(rect) if p != background]
    return max(xs) - min(xs) + 1 if xs else 0


@pytest.fixture(scope='module', params=[96, 144], ids=['96dpi', '144dpi'])
def session(request):
    session = WineSession(desktop=True, dpi=request.param)
    session.dpi = request.param
    yield session
    session.close()


@pytest.mark.parametrize('make_library', [bitmap_widest, japanese_widest], ids=['bitmap-name', 'japanese-name'])
def test_every_name_of_the_first_column_shows_whole(session, make_library):
    mascots = session.app_dir / 'Mascots'
    shutil.rmtree(mascots, ignore_errors=True)
    make_library(mascots)
    start(session)
    sheet = Sheet(session)
    try:
        rows = sheet.rows()
        widths, placed = layout(session, sheet)
        assert widths == expected_widths(placed, session.dpi)
        cut = []

        def names_whole():
            picture = shot(session, f'list-names-{session.dpi}dpi-{make_library.__name__}')
            cut.clear()
            for (name, *_), (name_width, _, _, _, label) in zip(rows, placed):
                room = label[2] - label[0]
                ink = ink_width(picture, label)
                # Glyphs have side bearings, so the ink may be a little narrower than the
                # extent; a cut name loses whole glyphs to an ellipsis.
                if name_width > room or ink < name_width - 4 * session.dpi // 96:
                    cut.append((name, f'needs {name_width}, label {room}, ink {ink}'))
            return not cut
        # A list not yet painted shows no ink at all, so the screen is looked at until it shows.
        wait_until(names_whole, timeout=10, message='every name whole on the screen', seen=lambda: cut)
    finally:
        sheet.close()
        assert session.exit_velmora() == 0


def icon_pictures(session, placed, name):
    """The icons' pixels, once every row's icon is painted: each row has an icon, so a square
    all of the colour behind its label is one the list has not painted yet."""
    def painted():
        picture = shot(session, name)
        icons = [tuple(p for _, _, p in picture.pixels(icon)) for _, _, _, icon, _ in placed]
        behind = [picture.pixel(label[0], label[1]) for _, _, _, _, label in placed]
        return icons if all(set(pixels) != {colour} for pixels, colour in zip(icons, behind)) else None
    return wait_until(painted, timeout=10, message='every row\'s icon painted')


def test_the_program_fills_the_list_the_row_by_row_fill_makes(session):
    if session.dpi != 96:
        pytest.skip('one screen density is enough to compare the fills')
    mascots = session.app_dir / 'Mascots'
    shutil.rmtree(mascots, ignore_errors=True)
    every_kind(mascots)
    seen = {}
    for fill, build in (('row-by-row', 'Velmora2-row-fill.exe'), (None, 'Velmora2.exe')):
        start(session, build, running=('a.bmp', 'red.lzh'))
        sheet = Sheet(session)
        try:
            rows = sheet.rows()
            widths, placed = layout(session, sheet)
            client = session.window(sheet.list).rect
            assert all(client[1] <= icon[1] and icon[3] <= client[3] for _, _, _, icon, _ in placed), \
                'every row is on the screen'
            seen[fill] = (rows, widths, placed, icon_pictures(session, placed, f'list-fill-{fill or "program"}'))
        finally:
            sheet.close()
            assert session.exit_velmora() == 0
    reference, fast = seen['row-by-row'], seen[None]
    rows = fast[0]
    # The library as the list shows it, so that the comparison below cannot pass on an empty
    # or a wrong list.
    assert sorted(path for _, path, *_ in rows) == sorted(
        ['a.bmp', 'sub\\Sprout.bmp', 'run.gif', 'sub\\soft.png', 'red.lzh', 'sub\\blue.lzh', 'plain.lzh', 'twin.lzh',
         'jp.lzh', 'nameless.lzh'])
    assert sorted(path for _, path, checked, *_ in rows if checked) == ['a.bmp', 'red.lzh', 'twin.lzh']
    assert all(data == image for _, _, _, data, image, _ in rows)
    icons = dict(zip((path for _, path, *_ in rows), fast[3]))
    assert RED in icons['red.lzh'] and BLUE in icons['sub\\blue.lzh']
    assert RED not in icons['plain.lzh'] and icons['plain.lzh'] == icons['twin.lzh']
    assert rows == reference[0]
    assert fast[1] == reference[1] == expected_widths(fast[2])
    assert fast[3] == reference[3]
