"""The settings sheet's general page on the real program: the rules and their enabling, the
exclusion list filled by dragging the picker with the real pointer, and the settings
surviving the program's end."""
import shutil
import subprocess
import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from conftest import LOCALES, desktop_session
from harness import SOURCE, stays, wait_until
from menus import still_mascot_rects
from pictures import suite_shots
from sheet import ROOT, UDM_GETRANGE, Sheet

LB_SETCURSEL = 0x186
RULES = (1028, 1029, 1030)
SIZE_GROUP = (1036, 1037, 1038, 1039, 1052, 1040, 1041)
NO_ATTACH_GROUP = (1051, 1043, 1044, 1045)
EXCLUSION_GROUP = (1064, 1047, 1048, 1066)
RADIOS = (1043, 1044, 1045)
DRIVER = 'C:\\vdriver.exe'


@pytest.fixture
def wine(request):
    session = desktop_session(request)
    session.delete_key('Software\\Korrin')
    shutil.rmtree(session.app_dir / 'Mascots', ignore_errors=True)
    (session.app_dir / 'Mascots').mkdir()
    yield session
    session.xdotool('mouseup', '1')  # a failed drag leaves the button held
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    for process in session.processes:
        if process is not session.velmora and process.poll() is None:
            process.kill()
            process.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def open_general(wine, select_first_row=False):
    """The sheet turned to its general page; its control helpers then act on that page."""
    sheet = Sheet(wine)
    if select_first_row:
        sheet.click_row(0)
        wait_until(wine.mascots, message='the preview mascot')
    sheet.show_page(1)
    sheet.page = wait_until(lambda: wine.driver('dlg-find', sheet.handle, 1047).split()[1:],
                            message='the general page')[0]
    return sheet


def entries(wine, sheet):
    lines = wine.driver('lb-items', sheet.item(1047)['handle']).split()
    return ['' if line == '-' else bytes.fromhex(line).decode('cp932') for line in lines]


def has_entries(wine, sheet, expected):
    """Waits until the exclusion list holds these entries: a release reaches the page as input."""
    wait_until(lambda: entries(wine, sheet) == expected, message=f'the entries {expected}',
               seen=lambda: entries(wine, sheet))


def shown(sheet):
    return sheet.item(1049)['text']


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def owned_dialog(wine, x, y):
    """A window of the driver with an owned pop-up holding an edit; the edit's handle."""
    return wine.spawn_reporting(DRIVER, 'owned-dialog', x, y)[1].split()[2]


class Drag:
    """The picker held with the real pointer: press on the icon, moves, release."""

    def __init__(self, wine, sheet):
        self.wine, self.sheet = wine, sheet
        icon = wine.window(sheet.item(1066)['handle']).rect
        wine.xdotool('mousemove', *centre(icon))
        wine.xdotool('mousedown', '1')

    def over(self, x, y, expected, where=''):
        # Two steps, so that the page sees a move even when the pointer is already there.
        self.wine.xdotool('mousemove', x - 2, y - 2)
        self.wine.xdotool('mousemove', x, y)
        wait_until(lambda: shown(self.sheet) == expected, message=f'1049 to show {expected!r} at {x},{y} ({where})',
                   seen=lambda: shown(self.sheet))

    def release(self):
        self.wine.xdotool('mouseup', '1')
        wait_until(lambda: shown(self.sheet) == '', message='1049 to be cleared')


def drag_to(wine, sheet, point, expected):
    drag = Drag(wine, sheet)
    drag.over(*point, expected)
    drag.release()


# --- rules and enabling --------------------------------------------------------------------

def test_opening_shows_the_settings_and_rules_enable_their_groups(wine):
    wine.set_value(ROOT, 'sizeMinimizeX', 1200)  # beyond the up-down's range
    wine.set_value(ROOT, 'sizeMinimizeY', 80)
    wine.start_velmora()
    sheet = open_general(wine)

    assert not any(sheet.checked(rule) for rule in RULES)
    assert not any(sheet.enabled(control) for control in SIZE_GROUP + NO_ATTACH_GROUP)
    assert all(sheet.enabled(control) for control in EXCLUSION_GROUP)
    assert not any(sheet.checked(radio) for radio in RADIOS), 'NoWindowFlag 0 shows no choice'
    assert (sheet.item(1038)['text'], sheet.item(1040)['text']) == ('1200', '80')
    for updown in (1037, 1052):
        assert sheet.send(updown, UDM_GETRANGE) == 1000 << 16, 'the larger number is the lower limit'

    # (click, then (sizes enabled, radios enabled))
    steps = [(1030, (True, True)), (1028, (True, True)), (1030, (False, True)), (1028, (False, False)),
             (1029, (False, True)), (1029, (False, False)), (1028, (False, True))]
    for control, (sizes, radios) in steps:
        sheet.click_button(control)
        assert all(sheet.enabled(c) == sizes for c in SIZE_GROUP), (control, sizes)
        assert all(sheet.enabled(c) == radios for c in NO_ATTACH_GROUP), (control, radios)

    for radio in RADIOS:
        sheet.click_button(radio)
        assert [sheet.checked(r) for r in RADIOS] == [r == radio for r in RADIOS]
    sheet.click_button(1044)
    sheet.click_button(1042)
    sheet.type_text(1040, 'abc')
    sheet.close()
    assert wine.exit_velmora() == 0
    saved = wine.registry()[ROOT]
    assert {name: int.from_bytes(saved[name][1], 'little') for name in (
        'MaximizeWindow', 'OutScreenMascot', 'MinimizeWindow', 'sizeMinimizeX', 'sizeMinimizeY', 'NoWindowFlag',
        'MouseOverHide')} == {'MaximizeWindow': 1, 'OutScreenMascot': 0, 'MinimizeWindow': 0,
                              'sizeMinimizeX': 1200, 'sizeMinimizeY': 0, 'NoWindowFlag': 2, 'MouseOverHide': 1}

    wine.start_velmora()
    sheet = open_general(wine)
    assert [sheet.checked(radio) for radio in RADIOS] == [False, True, False]
    assert sheet.checked(1028) and sheet.checked(1042) and not sheet.checked(1030)
    sheet.close()
    wine.exit_velmora()


@pytest.mark.parametrize('ending', ['exit', 'log-off'])
def test_changes_survive_the_end_of_the_program(wine, ending):
    for name in ('a.exe', 'b.exe', 'c.exe'):
        wine.set_value(ROOT + '\\NoApp', name, '')
    wine.start_velmora()
    sheet = open_general(wine)
    assert entries(wine, sheet) == ['a.exe', 'b.exe', 'c.exe']

    sheet.send(1047, LB_SETCURSEL, 0xFFFFFFFF)
    sheet.click_button(1048)
    assert entries(wine, sheet) == ['a.exe', 'b.exe', 'c.exe'], 'delete with nothing selected does nothing'
    sheet.send(1047, LB_SETCURSEL, 1)
    sheet.click_button(1048)
    assert entries(wine, sheet) == ['a.exe', 'c.exe']
    sheet.click_button(1030)
    sheet.type_text(1038, '640')
    sheet.click_button(1045)
    sheet.close()

    controller = wine.controller().handle
    if ending == 'exit':
        assert wine.exit_velmora() == 0
    else:
        wine.driver('send', controller, 0x11, 0, 0x80000000)  # WM_QUERYENDSESSION
        wine.driver('send', controller, 0x16, 1, 0x80000000)  # WM_ENDSESSION, log-off
        wine.velmora.kill()
        wine.velmora.wait()
    saved = wine.registry()
    assert set(saved[ROOT + '\\NoApp']) == {'a.exe', 'c.exe'}
    values = saved[ROOT]
    assert [int.from_bytes(values[name][1], 'little') for name in ('MinimizeWindow', 'sizeMinimizeX', 'NoWindowFlag')] \
        == [1, 640, 3]


# --- the picker ----------------------------------------------------------------------------

def test_picker_names_the_program_of_a_child_control_and_adds_it_once(wine):
    wine.start_velmora()
    sheet = open_general(wine)
    edit = owned_dialog(wine, 10, 420)
    edit_point = centre(wine.window(edit).rect)

    drag = Drag(wine, sheet)
    drag.over(*edit_point, DRIVER)
    assert entries(wine, sheet) == [], 'nothing is added before the release'
    drag.release()
    has_entries(wine, sheet, ['vdriver.exe'])
    wait_until(lambda: wine.driver('foreground-window').split()[0] == sheet.handle, message='the sheet in front')

    drag_to(wine, sheet, edit_point, DRIVER)
    assert entries(wine, sheet) == ['vdriver.exe'], 'the same program twice gives one entry'
    sheet.close()
    assert wine.exit_velmora() == 0
    assert set(wine.registry()[ROOT + '\\NoApp']) == {'vdriver.exe'}


@LOCALES
def test_picker_names_a_program_named_in_japanese(wine):
    folder = wine.prefix / 'drive_c' / 'ドライバ'
    folder.mkdir(exist_ok=True)
    shutil.copy(wine.prefix / 'drive_c' / 'vdriver.exe', folder / 'ネコ.exe')
    wine.start_velmora()
    sheet = open_general(wine)
    edit = wine.spawn_reporting('C:\\ドライバ\\ネコ.exe', 'owned-dialog', 10, 420)[1].split()[2]
    drag_to(wine, sheet, centre(wine.window(edit).rect), 'C:\\ドライバ\\ネコ.exe')
    has_entries(wine, sheet, ['ネコ.exe'])
    sheet.close()
    assert wine.exit_velmora() == 0
    assert set(wine.registry()[ROOT + '\\NoApp']) == {'ネコ.exe'}


def test_picker_shows_nothing_over_the_desktop_taskbar_sheet_and_mascot(wine):
    write_bmp24(wine.app_dir / 'Mascots' / 'a.bmp', 32, 40, ellipse_figure(32, 40))
    wine.start_velmora()
    sheet = open_general(wine, select_first_row=True)
    edit_point = centre(wine.window(owned_dialog(wine, 10, 420)).rect)
    sheet_rect = wine.window(sheet.handle).rect
    mascot = wait_until(lambda: still_mascot_rects(wine), message='the preview standing still')[0]

    drag = Drag(wine, sheet)
    for name, point in [('desktop', (1000, 60)), ('taskbar', (700, 758)),
                        ('sheet', ((sheet_rect[0] + sheet_rect[2]) // 2, sheet_rect[1] + 10)),
                        ('mascot', centre(mascot))]:
        # Over the other program first, so that each place has to clear what was shown.
        drag.over(*edit_point, DRIVER)
        drag.over(*point, '', name)
    drag.release()
    assert entries(wine, sheet) == []
    sheet.close()
    wine.exit_velmora()


@pytest.mark.parametrize('shell_class', ['Shell_SecondaryTrayWnd', 'WorkerW', 'Progman', 'Shell_TrayWnd'])
def test_picker_names_no_program_for_a_window_of_the_shell(wine, shell_class):
    # A window of the shell's classes made by the driver: whatever program owns it, the
    # taskbars and the desktop are Explorer's, which must never be excluded through them.
    wine.start_velmora()
    sheet = open_general(wine)
    edit_point = centre(wine.window(owned_dialog(wine, 10, 420)).rect)
    wine.spawn_reporting(DRIVER, 'popup', shell_class, 880, 20, 140, 60)
    drag = Drag(wine, sheet)
    drag.over(*edit_point, DRIVER)
    drag.over(950, 50, '', shell_class)
    drag.release()
    stays(lambda: entries(wine, sheet) == [], 0.3, message='an empty exclusion list', seen=lambda: entries(wine, sheet))
    sheet.close()
    wine.exit_velmora()
    assert not wine.registry().get(ROOT + '\\NoApp'), 'nothing is kept'


def test_a_drag_that_loses_the_capture_adds_nothing(wine):
    wine.start_velmora()
    sheet = open_general(wine)
    edit_point = centre(wine.window(owned_dialog(wine, 10, 420)).rect)
    drag = Drag(wine, sheet)
    drag.over(*edit_point, DRIVER)
    # The system cancels modes this way when a task switch or a message box takes the mouse.
    wine.driver('send', sheet.page, 0x1F, 0, 0)  # WM_CANCELMODE
    wait_until(lambda: shown(sheet) == '', message='the drag to end with the capture')
    drag.release()
    # A later click on the page's own background is no release of a drag.
    page = wine.window(sheet.page).rect
    wine.xdotool('mousemove', page[0] + 4, page[3] - 3, 'click', '1')
    wine.xdotool('mousemove', *edit_point)
    time.sleep(0.3)
    assert (entries(wine, sheet), shown(sheet)) == ([], '')
    sheet.close()
    wine.exit_velmora()


def notepad_edit(wine):
    """The edit control of a Notepad moved to the top left corner."""
    wine.spawn('notepad')
    notepad = wait_until(lambda: wine.windows('Notepad'), timeout=20, message='notepad')[0]
    wine.driver('move', notepad.handle, 5, 5, 260, 200)
    edit_id = [line.split()[0] for line in wine.driver('children', notepad.handle).splitlines()
               if line.split()[1] == 'Edit'][0]
    return wine.driver('dlg-find', notepad.handle, edit_id).split()[0]


NOTEPAD = 'C:\\windows\\system32\\notepad.exe'


# A name is added unless the list holds that whole name in any letter case: a listed longer
# name that begins with it (the old copy of a program) is another program.
@pytest.mark.parametrize('program, listed, after', [
    ('driver', 'VDRIVER.EXE', ['VDRIVER.EXE']),
    ('driver', 'vdriver.exe.old', ['vdriver.exe', 'vdriver.exe.old']),
    ('notepad', 'NOTEPAD.EXE', ['NOTEPAD.EXE']),
    ('notepad', 'notepad.exe.old', ['notepad.exe', 'notepad.exe.old']),
])
def test_picker_adds_a_program_unless_listed_in_any_case(wine, program, listed, after):
    wine.set_value(ROOT + '\\NoApp', listed, '')
    wine.start_velmora()
    sheet = open_general(wine)
    if program == 'driver':
        drag_to(wine, sheet, centre(wine.window(owned_dialog(wine, 10, 420)).rect), DRIVER)
    else:
        drag_to(wine, sheet, centre(wine.window(notepad_edit(wine)).rect), NOTEPAD)
    has_entries(wine, sheet, after)
    sheet.close()
    wine.exit_velmora()
    assert sorted(wine.registry()[ROOT + '\\NoApp']) == sorted(after), 'the list is what is kept'


def test_picker_names_notepad_and_the_page_looks_right(wine):
    wine.start_velmora()
    sheet = open_general(wine)
    drag_to(wine, sheet, centre(wine.window(notepad_edit(wine)).rect), NOTEPAD)
    has_entries(wine, sheet, ['notepad.exe'])

    sheet.click_button(1028)
    sheet.click_button(1044)
    full = wine.screenshot(suite_shots() / 'general_page_full.png')
    left, top, right, bottom = wine.window(sheet.handle).rect
    subprocess.run(['convert', str(full), '-crop', f'{right - left}x{bottom - top}+{left}+{top}', '+repage',
                    str(suite_shots() / 'general_page.png')], check=True, env={'LC_ALL': 'C', 'PATH': '/usr/bin:/bin'})
    full.unlink()
    sheet.close()
    wine.exit_velmora()


def test_f1_on_a_control_of_the_page_opens_the_help(wine):
    classes = 'HKLM\\Software\\Classes'
    # Pages open in the test driver, which writes down what it was given.
    wine.set_value(classes + '\\.html', '', 'VelmoraTestPage')
    wine.set_value(classes + '\\VelmoraTestPage\\shell\\open\\command', '', DRIVER + ' record C:\\opened.txt "%1"')
    opened = wine.prefix / 'drive_c' / 'opened.txt'
    opened.unlink(missing_ok=True)
    shutil.copy(SOURCE / 'help' / 'Velmora2.html', wine.app_dir / 'Velmora2.html')
    try:
        wine.start_velmora()
        sheet = open_general(wine)
        wine.xdotool('mousemove', *centre(wine.window(sheet.item(1047)['handle']).rect), 'click', '1')
        wine.driver('key', 0x70)  # F1
        text = wait_until(lambda: opened.exists() and opened.read_text(errors='replace'), timeout=10,
                          message='the help to be opened')
        assert 'Velmora2.html' in text
        sheet.close()
        wine.exit_velmora()
    finally:
        (wine.app_dir / 'Velmora2.html').unlink()
