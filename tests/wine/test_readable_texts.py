"""Every label, check box and button text of the two settings pages and the two dialogs is
shown whole, at 96, 144 and 192 dots per inch: the text drawn with the control's font needs no
more room than the control gives, and on a screenshot the text's ink spans what it needs. The
dialogs keep their own face where it is installed; on a system without it they take another
face that has every character of their texts, and still show each text whole."""
import subprocess

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import ELSEWHERE, JAPANESE_DIALOG_FACES, WineSession, dialog_faces, wait_until
from menus import WM_COMMAND, open_dialog
from pictures import Picture, suite_shots
from sheet import ROOT, Sheet

IDOK = 1
WIDTHS = {}


TEMPLATES_FACE = 'ＭＳ Ｐゴシック'


# A font of other widths offered as the face Windows 10 and 11 have in every language.
YU_GOTHIC_UI = ('Yu Gothic UI', 'IPAPMincho')


SESSIONS = [
    (96, {}, None, '96dpi'),
    (144, {}, None, '144dpi'),
    (192, {}, None, '192dpi'),
    (96, ELSEWHERE, None, '96dpi-elsewhere'),
    (96, ELSEWHERE, (), '96dpi-without-japanese-faces'),
    (96, ELSEWHERE, (YU_GOTHIC_UI,), '96dpi-yu-gothic-ui'),
    (144, ELSEWHERE, (YU_GOTHIC_UI,), '144dpi-yu-gothic-ui'),
    (192, ELSEWHERE, (YU_GOTHIC_UI,), '192dpi-yu-gothic-ui'),
]


@pytest.fixture(scope='module', params=SESSIONS, ids=[name for *_, name in SESSIONS])
def session(request):
    """dpi, the program's locale and folder, and the faces the system has: its own Japanese
    faces (None), or none of those, with the stand-ins named."""
    dpi, where, stand_ins, session_name = request.param
    session = WineSession(desktop=True, dpi=dpi, **where)
    session.dpi = dpi
    session.expected_face = TEMPLATES_FACE if stand_ins is None else stand_ins[0][0] if stand_ins else None
    session.shots = session_name
    if stand_ins is not None:
        session.remove_japanese_dialog_faces(stand_ins)
    (session.app_dir / 'Mascots').mkdir()
    write_bmp24(session.app_dir / 'Mascots' / 'a.bmp', 40, 48, ellipse_figure(40, 48))
    session.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    session.font_trace = session.root / 'fonts.log'
    session.start_velmora(traces='+font', log=session.font_trace)
    yield session
    session.close()


def dialog_face(session):
    """The face of the last dialog the program made, as Wine traced its font: the templates' own
    where the system has it, otherwise another."""
    face = wait_until(lambda: dialog_faces(session.font_trace)[-1:], message='a dialog font made')[0]
    if session.expected_face:
        assert face == session.expected_face
    else:
        # Another face listed with the Japanese characters, whichever the system lists first.
        assert face not in JAPANESE_DIALOG_FACES + (TEMPLATES_FACE,), 'a face the system lacks'
    return face


def ink_extent(picture, rect):
    """Width and height of what is drawn in a label's rectangle: pixels unlike its corner's."""
    background = picture.pixel(rect[0], rect[1])
    inked = [(x, y) for x, y, p in picture.pixels(rect) if p != background]
    if not inked:
        return 0, 0
    xs, ys = [x for x, _ in inked], [y for _, y in inked]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def face_argument(face):
    return [] if face == TEMPLATES_FACE else [face.encode().hex()]


def cut_texts(session, window, name, face):
    """The controls whose text is cut or lacks glyphs in the dialogs' face, by measurement and on
    a screenshot of the window."""
    path = suite_shots() / f'texts-{session.shots}-{name}.png'
    session.screenshot(path)
    picture = Picture(path)
    cut = []
    for line in session.driver('text-fits', window, *face_argument(face)).splitlines():
        if not line.strip():
            continue
        control, kind, *numbers = line.split()
        need_width, need_height, room_width, room_height, line_height, *rect, missing = (int(v) for v in numbers)
        if missing:
            cut.append((int(control), f'{missing} characters without a glyph in {face}'))
        # One line shows in a control a little lower than the font's line; more lines need room.
        elif need_width > room_width or need_height > max(room_height, line_height):
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
    face = dialog_face(session)
    try:
        wait_until(lambda: looks.append(cut_texts(session, window, name, face)) or not looks[-1], timeout=timeout,
                   message=f'every text of {name} whole')
    except AssertionError:
        pass  # the last look tells which texts are cut
    return looks[-1]


def test_the_settings_pages_show_every_text_whole(session):
    sheet = Sheet(session)
    try:
        # Widths are compared among sessions whose dialogs have the same face.
        widths = WIDTHS.setdefault(session.expected_face, {})
        widths[session.dpi] = session.window(sheet.handle).rect[2] - session.window(sheet.handle).rect[0]
        if 96 in widths and 144 in widths:
            assert widths[144] > widths[96] * 1.3, 'the sheet grows with the dots per inch'
        if 144 in widths and 192 in widths:
            assert widths[192] > widths[144] * 1.2, 'the sheet grows with the dots per inch'
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
        face = dialog_face(session)
        width, height, _, _ = (int(v) for v in session.driver('link-extents', link, *face_argument(face)).split())
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
