"""The tray icon and its popup menu, the about box with its link, and the mascot information
dialog, driven through the virtual desktop's tray, real clicks and keys, and screenshots."""
import re
import struct
import time

import pytest

from conftest import LOCALE_NAMES, desktop_session
from harness import SOURCE, WIN_BIN, WineSession, stays, wait_until
from menus import (ABOUT_MASCOT, HELP, TRAY_ICON, VERSION, VK_ESCAPE, WM_COMMAND, choose,
                   close_menu, menu_states, nothing_opens, open_dialog, open_tray_menu, settled_menu,
                   shown_menu, still_mascot_rects, visible)
from pictures import bounding_box, shot
from sheet import Sheet

ROOT = 'Software\\Korrin\\Velmora2'
TRAY_AREA = (960, 748, 1024, 768)
SCREEN = (1024, 768)
STN_DBLCLK = 1
ALL_ENABLED = ['enabled'] * 5
VERSION_WORD = 'バージョン '


class Control:
    def __init__(self, line):
        parts = line.split()
        self.id = int(parts[0])
        self.class_name = parts[1]
        self.rect = tuple(int(v) for v in parts[2:6])
        flags = dict(p.split('=', 1) for p in parts[6:])
        self.enabled = flags['enabled'] == '1'
        self.style = int(flags['style'], 16)
        self.text = bytes.fromhex(flags['text'])

    @property
    def centre(self):
        return (self.rect[0] + self.rect[2]) // 2, (self.rect[1] + self.rect[3]) // 2


def controls(session, dialog):
    found = {}
    for line in session.driver('children', dialog.handle).splitlines():
        if line.strip():
            control = Control(line)
            found.setdefault(control.id, control)
    return found


def tray_icon_shown(session):
    picture = shot(session, 'tray')
    return sum(1 for _, _, p in picture.pixels(TRAY_AREA) if p != (255, 255, 255)) > 20


def centred_rect(rect):
    width, height = rect[2] - rect[0], rect[3] - rect[1]
    x, y = int((SCREEN[0] - width) / 2), int((SCREEN[1] - height) / 2)
    return (x, y, x + width, y + height)


def program_version():
    text = (SOURCE / 'resources' / 'version.h').read_text()
    return re.search(r'VELMORA_VERSION_TEXT "([^"]*)"', text).group(1)


def library_version(session):
    return session.driver('version-value', 'C:\\Velmora\\unlha32.dll',
                          '\\StringFileInfo\\040904E4\\FileVersion').strip()


def link_pixels(picture, control):
    return [(x, y) for x, y, p in picture.pixels(control.rect) if p == (0, 0, 255)]


def painted_link(session, name, control):
    """A screenshot once it shows the control's link in blue, else None."""
    picture = shot(session, name)
    return picture if link_pixels(picture, control) else None


@pytest.fixture(autouse=True)
def running(wine_desktop):
    """Each test finds the program running with no menu or dialog open."""
    session = wine_desktop
    if not session.velmora or session.velmora.poll() is not None:
        session.start_velmora()
        wait_until(lambda: tray_icon_shown(session), message='the tray icon')
    yield session
    if visible(session, '#32768'):
        close_menu(session)
    for dialog in visible(session, '#32770'):
        session.driver('post', dialog.handle, WM_COMMAND, 1, 0)
    wait_until(lambda: not visible(session, '#32770'), message='the dialogs to close')


# --- tray icon and menu ----------------------------------------------------------------------

def test_right_press_on_the_tray_icon_opens_the_menu_with_about_mascot_greyed(running):
    session = running
    session.xdotool('mousemove', *TRAY_ICON, 'mousedown', 3)
    menu, rows = shown_menu(session, 'tray-menu')
    session.xdotool('mouseup', 3)
    assert [state for state, _ in rows] == ['enabled', 'enabled', 'greyed', 'enabled', 'enabled']
    # The menu hangs from the cursor by its right edge; Wine keeps it above the taskbar.
    assert menu.rect[2] == TRAY_ICON[0] and menu.rect[3] <= TRAY_ICON[1]
    assert visible(session, '#32768'), 'releasing the button leaves the menu open'


def test_tray_menu_takes_keys_while_another_program_is_in_front(running):
    session = running
    target = session.target(100, 100, 300, 200)
    wait_until(lambda: session.driver('foreground-window').split()[0] == target, message='the window in front')
    open_tray_menu(session)
    close_menu(session)
    session.driver('post', target, 0x10, 0, 0)  # WM_CLOSE


def test_greyed_item_does_nothing_and_version_item_opens_the_about_box(running):
    session = running
    open_tray_menu(session)
    choose(session, ABOUT_MASCOT)
    assert nothing_opens(session, kinds=('#32770',)), 'the greyed item gives no command'
    if visible(session, '#32768'):
        close_menu(session)
    open_tray_menu(session)
    choose(session, VERSION)
    dialog = open_dialog(session)
    assert session.window_text_bytes(dialog.handle) == 'バージョン情報'.encode('cp932')


def test_left_clicks_on_the_tray_icon_do_nothing(running):
    session = running
    session.xdotool('mousemove', *TRAY_ICON, 'click', 1)
    assert nothing_opens(session)
    session.xdotool('click', '--repeat', 2, '--delay', 80, 1)
    assert nothing_opens(session)


def test_help_item_asks_the_help_viewer_for_the_file_beside_the_program(running):
    session = running
    open_tray_menu(session)
    choose(session, HELP)
    # No help file is installed, so Wine's help viewer asks where C:\\Velmora\\Velmora2.hlp went.
    question = open_dialog(session)
    texts = b' '.join(control.text for control in controls(session, question).values())
    assert b'C:\\Velmora\\Velmora2.hlp' in texts
    session.driver('post', question.handle, WM_COMMAND, 7, 0)  # "no"


def test_tray_icon_comes_back_when_the_taskbar_announces_a_restart(running):
    session = running
    controller = session.controller()
    session.driver('tray-delete', controller.handle, 1)
    wait_until(lambda: not tray_icon_shown(session), message='the icon to be gone')
    message = int(session.driver('register-message', 'TaskbarCreated'))
    session.driver('post', controller.handle, message, 0, 0)
    wait_until(lambda: tray_icon_shown(session), message='the icon to come back')
    open_tray_menu(session)
    close_menu(session)


# --- about box -------------------------------------------------------------------------------

def open_about_box(session):
    session.driver('post', session.controller().handle, WM_COMMAND, 40003, 0)
    return open_dialog(session)


def test_about_box_shows_versions_centred_with_a_blue_centred_link(running):
    session = running
    dialog = open_about_box(session)
    assert session.driver('owner', dialog.handle).strip() == session.controller().handle
    assert dialog.rect == centred_rect(dialog.rect)
    found = controls(session, dialog)
    assert found[1059].text == program_version().encode('cp932')
    expected = 'UNLHA32.DLL ' + VERSION_WORD
    if (WIN_BIN / 'unlha32.dll').exists():
        version = library_version(session)
        assert version, 'our library carries a file version'
        expected += version
    assert found[1060].text == expected.encode('cp932')
    link = found[1013]
    assert link.text.startswith(b'http://')

    picture = wait_until(lambda: painted_link(session, 'about-box', link), message='the link drawn in blue')
    blue = link_pixels(picture, link)
    left, top, right, bottom = bounding_box(blue)
    # Centred by measurement, although the label itself is left-aligned.
    assert abs((left + right) - (link.rect[0] + link.rect[2])) <= 2
    assert abs((top + bottom) - (link.rect[1] + link.rect[3])) <= 3
    longest_row = max(sum(1 for x, y in blue if y == row) for row in range(top, bottom))
    assert longest_row >= (right - left) * 0.9, 'the link is underlined'
    everything_else = [p for x, y, p in picture.pixels(link.rect) if p != (0, 0, 255)]
    assert len(set(everything_else)) <= 2, 'the link paints on a plain button-face background'

    session.xdotool('mousemove', *found[1].centre, 'click', 1)
    wait_until(lambda: not visible(session, '#32770'), message='the close button to close the box')


def test_about_box_link_click_and_other_link_notifications_close_it(running):
    session = running
    dialog = open_about_box(session)
    link = controls(session, dialog)[1013]
    session.driver('mouse', *link.centre, 'left')
    wait_until(lambda: not visible(session, '#32770'), message='a link click to close the box')

    dialog = open_about_box(session)
    session.driver('post', dialog.handle, WM_COMMAND, (STN_DBLCLK << 16) | 1013, 0)
    wait_until(lambda: not visible(session, '#32770'), message='a double-click notice to close the box')

    open_about_box(session)
    session.driver('key', VK_ESCAPE)
    wait_until(lambda: not visible(session, '#32770'), message='escape to close the box')


@pytest.fixture(scope='module')
def without_library():
    session = WineSession(install_dll=False)
    session.start_velmora()
    yield session
    session.close()


def test_about_box_without_the_library_shows_the_version_word_alone(without_library):
    session = without_library
    session.driver('post', session.controller().handle, WM_COMMAND, 40003, 0)
    dialog = open_dialog(session)
    assert controls(session, dialog)[1060].text == ('UNLHA32.DLL ' + VERSION_WORD).encode('cp932')
    session.driver('post', dialog.handle, WM_COMMAND, 1, 0)
    wait_until(lambda: not visible(session, '#32770'), message='the box to close')


# --- mascot information ----------------------------------------------------------------------

def open_mascot_info(session):
    session.driver('post', session.controller().handle, WM_COMMAND, 40004, 0)
    dialog = open_dialog(session)
    assert session.window_text_bytes(dialog.handle) == 'マスコットの情報'.encode('cp932')
    return dialog


def test_about_mascot_after_the_tray_menu_shows_an_empty_dialog(running):
    session = running
    open_tray_menu(session)
    close_menu(session)  # the tray leaves no menu subject behind
    dialog = open_mascot_info(session)
    assert dialog.rect == centred_rect(dialog.rect)
    found = controls(session, dialog)
    assert (found[1054].text, found[1053].text, found[1013].text) == (b'', b'', b'')
    shot(session, 'mascot-info-empty')
    # A click on the empty link area does nothing; a double click there closes the dialog.
    session.driver('mouse', *found[1013].centre, 'left')
    assert wait_until(lambda: visible(session, '#32770'), message='the dialog to stay')
    time.sleep(0.6)  # past the double-click time, so the next click starts afresh
    assert visible(session, '#32770')
    session.driver('mouse', *found[1013].centre, 'left', 2)
    wait_until(lambda: not visible(session, '#32770'), message='a double click to close the dialog')


def bitmap(width=48, height=48):
    """A 24-bit picture: a green surround (the transparent colour of its bottom-left pixel)
    around a red block."""
    row_size = (width * 3 + 3) & ~3
    rows = b''
    for y in range(height):
        inside_y = height // 4 <= y < height * 3 // 4
        row = b''.join(b'\0\0\xff' if inside_y and width // 4 <= x < width * 3 // 4 else b'\0\xff\0'
                       for x in range(width))
        rows += row + b'\0' * (row_size - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 0, 0, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(info) + len(rows), 0, 0, 54) + info + rows


@pytest.fixture(scope='module')
def still_mascot(request):
    """A still mascot "still.bmp" running on a target window: (session, the mascot's
    information folder, the target window). On Japanese Windows unless a test names another
    of LOCALE_NAMES as the fixture's parameter."""
    session = desktop_session(request)
    if session.velmora and session.velmora.poll() is None:
        session.exit_velmora()
    (session.app_dir / 'Mascots').mkdir(exist_ok=True)
    (session.app_dir / 'Mascots' / 'still.bmp').write_bytes(bitmap())
    session.set_value(ROOT + '\\View', 'still.bmp', 'still.bmp')
    session.start_velmora()
    target = session.target(200, 200, 500, 400)

    def drawn():
        found = [m for m in session.mascots() if m.visible]
        return found and session.region(found[0].handle) and found[0]
    wait_until(drawn, timeout=10, message='a drawn mascot')
    temp = session.driver('temp-path').strip()
    folder = session.prefix / 'drive_c' / temp[3:].replace('\\', '/') / 'Velmo' / 'still'
    yield session, folder, target


def open_mascot_menu(session, target):
    """Right-clicks the middle of the mascot once it stands still on the target window."""
    session.driver('foreground', target)
    rect = wait_until(lambda: still_mascot_rects(session), message='a mascot standing still')[0]
    point = ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)
    session.driver('mouse', *point, 'right')
    return point, wait_until(lambda: settled_menu(session), message='the mascot menu')


def info_from_mascot_menu(session, target):
    open_mascot_menu(session, target)
    choose(session, ABOUT_MASCOT)
    dialog = open_dialog(session)
    return dialog, controls(session, dialog)


def write_info_files(folder, comment=None, url=None):
    folder.mkdir(parents=True, exist_ok=True)
    for name in ('Comment.txt', 'WebPage.url'):
        (folder / name).unlink(missing_ok=True)
    if comment is not None:
        (folder / 'Comment.txt').write_bytes(comment)
    if url is not None:
        (folder / 'WebPage.url').write_bytes(b'[InternetShortcut]\r\nURL=' + url + b'\r\n')


def test_mascot_right_click_opens_the_menu_with_every_item_enabled(still_mascot):
    session, _, target = still_mascot
    point, _ = open_mascot_menu(session, target)
    menu, rows = shown_menu(session, 'mascot-menu')
    assert [state for state, _ in rows] == ALL_ENABLED
    assert (menu.rect[2], menu.rect[3]) == point, 'the bottom right corner sits at the cursor'
    close_menu(session)


@pytest.mark.parametrize('still_mascot', LOCALE_NAMES, indirect=True)
def test_about_mascot_shows_the_name_comment_and_link_of_that_mascot(still_mascot):
    session, folder, target = still_mascot
    # Written in code page 932 by the mascot's author; read as such on every system.
    comment = 'こんにちは\r\n二行目'.encode('cp932')
    address = 'http://velmora.example/みけ/'.encode('cp932')
    write_info_files(folder, comment, address)
    dialog, found = info_from_mascot_menu(session, target)
    assert found[1054].text == b'still.bmp'
    assert found[1053].text == comment
    assert found[1013].text == address
    wait_until(lambda: painted_link(session, 'mascot-info', found[1013]), message='the address drawn as a blue link')
    session.driver('mouse', *found[1013].centre, 'left')
    wait_until(lambda: not visible(session, '#32770'), message='a link click to close the dialog')


@pytest.mark.parametrize('comment, url, shown_comment, shown_link', [
    (b'before\r\nline\0after', b'HTTP://velmora.example/', b'before\r\nline', b''),
    (b'', b'https://velmora.example/', b'', b''),
    (None, b'http://velmora.example/' + b'a' * 277, b'', (b'http://velmora.example/' + b'a' * 277)[:254]),
], ids=['nul-and-capitals', 'secure-scheme', 'long-address'])
def test_about_mascot_comment_and_link_rules(still_mascot, comment, url, shown_comment, shown_link):
    session, folder, target = still_mascot
    write_info_files(folder, comment, url)
    _, found = info_from_mascot_menu(session, target)
    assert found[1053].text == shown_comment
    assert found[1013].text == shown_link


def test_still_mascot_without_a_folder_shows_only_its_name(still_mascot):
    session, folder, target = still_mascot
    write_info_files(folder)
    folder.rmdir()
    _, found = info_from_mascot_menu(session, target)
    assert (found[1054].text, found[1053].text, found[1013].text) == (b'still.bmp', b'', b'')


def test_mascot_stays_on_its_window_while_its_menu_is_open(still_mascot):
    session, _, target = still_mascot
    session.driver('foreground', target)
    before = wait_until(lambda: still_mascot_rects(session), message='a shown mascot standing still')
    open_mascot_menu(session, target)
    # Several ticks of the controller and the mascot.
    stays(lambda: [m.rect for m in session.mascots() if m.visible] == before, 0.5,
          message=f'the mascot at {before} under its menu', seen=lambda: session.mascots())
    close_menu(session)


def test_tray_menu_after_a_mascot_menu_forgets_the_mascot(still_mascot):
    session, _, target = still_mascot
    open_mascot_menu(session, target)
    close_menu(session)
    open_tray_menu(session)
    assert menu_states(session, 'tray-menu-after-mascot')[2] == 'greyed'
    close_menu(session)
    assert controls(session, open_mascot_info(session))[1054].text == b''


def test_menu_of_the_preview_while_the_sheet_is_open(still_mascot):
    session, _, _ = still_mascot
    sheet = Sheet(session)
    try:
        sheet.click_row(0)
        rect = wait_until(lambda: still_mascot_rects(session), message='the preview standing on the sheet')[0]
        session.driver('mouse', (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2, 'right')
        wait_until(lambda: visible(session, '#32768'), message='the preview menu')
        # Settings, version and exit wait for the sheet to close; help and this mascot do not.
        assert menu_states(session, 'preview-menu-with-sheet') == ['greyed', 'enabled', 'enabled', 'greyed', 'greyed']
        close_menu(session)
    finally:
        sheet.close()
