"""The settings sheet, the dialogs and the menu run nested modal loops on one thread while every
timer keeps firing. These sequences open one inside another and close them in other orders:
no preview may outlive its page, no second sheet may open, nothing the user set may be lost,
and a key that cannot be deleted must not hang the program."""
import time

import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import stays, wait_until
from menus import ABOUT_MASCOT, WM_COMMAND, choose, nothing_opens, open_dialog, still_mascot_rects, visible
from sheet import BM_CLICK, ROOT, Sheet

IDM_SETTINGS, IDM_VERSION, IDM_EXIT = 40002, 40003, 40001
IDC_MASCOT_X_VALUE, IDC_MASCOT_CLEAR_CACHE = 1003, 1010
LVM_GETIMAGELIST, LVSIL_SMALL = 0x1002, 1
IDOK = 1
WS_DISABLED = 0x08000000


@pytest.fixture
def wine(wine_desktop):
    """The program with a.bmp running from the last run's list and b.bmp, c.bmp in the library."""
    session = wine_desktop
    session.delete_key('Software\\Korrin')
    mascots = session.app_dir / 'Mascots'
    mascots.mkdir(exist_ok=True)
    for leftover in mascots.iterdir():
        leftover.unlink()
    for name in ('a.bmp', 'b.bmp', 'c.bmp'):
        write_bmp24(mascots / name, 40, 48, ellipse_figure(40, 48))
    session.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    session.start_velmora()
    wait_until(lambda: len(session.mascots()) == 1, message='the mascot of the last run')
    yield session
    if session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def sheets(session):
    """The program's settings sheets: dialogs that hold the mascot list."""
    return [w for w in session.windows('#32770') if session.driver('dlg-find', w.handle, 1000).strip()]


def right_click_the_standing_mascot(session):
    rect = wait_until(lambda: still_mascot_rects(session), message='a mascot standing still')[0]
    session.driver('mouse', (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2, 'right')
    wait_until(lambda: visible(session, '#32768'), message='the mascot menu')


def info_dialog_about_the_preview(session, sheet):
    """Clicks the first row, then opens this mascot's information from the preview's menu."""
    sheet.click_row(0)
    preview = wait_until(lambda: session.mascots(), message='the preview')[0]
    right_click_the_standing_mascot(session)
    choose(session, ABOUT_MASCOT)
    dialog = wait_until(lambda: [d for d in visible(session, '#32770') if d.handle != sheet.handle],
                        message='the information dialog')[0]
    assert session.driver('owner', dialog.handle).strip() == session.controller().handle
    # Out of the way, so that clicks on the sheet's list reach the list.
    left, top, right, bottom = dialog.rect
    session.driver('move', dialog.handle, 0, 740 - (bottom - top), right - left, bottom - top)
    return preview, dialog


def press_close_on(session, sheet):
    """The sheet's "閉じる" pressed, without waiting for the sheet to go."""
    session.driver('send', session.driver('dlg-item', sheet.handle, IDOK).split()[0], BM_CLICK, 0, 0)


def closing_sheet_under_the_information(session):
    """The sheet told to close while the preview's information dialog keeps the loop nested:
    (sheet, the dialog, the preview's class name)."""
    sheet = Sheet(session)
    wait_until(lambda: not session.mascots(), message='the running mascot to stop')
    preview, dialog = info_dialog_about_the_preview(session, sheet)
    press_close_on(session, sheet)
    # The preview goes and the checked row's mascot starts again; the sheet itself waits.
    wait_until(lambda: [m.class_name for m in session.mascots()] not in ([], [preview.class_name]),
               message='the restarted mascot in place of the preview')
    assert len(session.mascots()) == 1
    return sheet, dialog, preview.class_name


def close_dialog_and_wait_for_the_sheet(session, sheet, dialog):
    session.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
    wait_until(lambda: not session.window(sheet.handle), timeout=10, message='the sheet to go')


def class_registered(session, name):
    return session.driver('atom', name).strip() == '1'


# --- the faults found in review, each by its sequence ----------------------------------------

def test_a_row_clicked_on_a_closing_sheet_makes_no_preview_that_outlives_it(wine):
    sheet, dialog, first_preview = closing_sheet_under_the_information(wine)
    running = [m.handle for m in wine.mascots()]
    sheet.click_row(1)
    stays(lambda: [m.handle for m in wine.mascots()] == running, 1.0, message='no preview on a closing sheet',
          seen=wine.mascots)
    close_dialog_and_wait_for_the_sheet(wine, sheet, dialog)
    stays(lambda: [m.handle for m in wine.mascots()] == running, 0.5, message='the running mascot alone',
          seen=wine.mascots)
    assert not class_registered(wine, first_preview), "the preview's window class is gone with it"
    # The program goes on as before: the sheet opens again, and closing it starts a.bmp once more.
    again = Sheet(wine)
    again.close()
    wait_until(lambda: len(wine.mascots()) == 1, message='one mascot after the next sheet')
    assert wine.exit_velmora() == 0
    assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']


def withdrawn(session, handle):
    """The window when it is withdrawn: hidden, and disabled as a whole so that no click or key
    reaches it while it is still there."""
    window = session.window(handle)
    return window if window and not window.visible and window.style & WS_DISABLED else None


def test_a_closing_sheet_takes_no_input_and_the_mascots_start_as_closing_found_it(wine):
    sheet = Sheet(wine)
    wait_until(lambda: not wine.mascots(), message='the running mascot to stop')
    row_of_b = wine.driver('lv-rect', sheet.list, 1).split()
    preview, dialog = info_dialog_about_the_preview(wine, sheet)
    press_close_on(wine, sheet)
    wait_until(lambda: [m.class_name for m in wine.mascots()] not in ([], [preview.class_name]),
               message='the restarted mascot in place of the preview')
    try:
        wait_until(lambda: withdrawn(wine, sheet.handle), message='the closing sheet hidden and disabled')
    except AssertionError as timeout:
        raise AssertionError(f'{timeout}; it still shows and takes input: {wine.window(sheet.handle)}') from None
    # A click where b.bmp's row was reaches nothing of the sheet: the row is not taken up.
    left, top, right, bottom = (int(v) for v in row_of_b)
    wine.driver('mouse', (left + right) // 2, (top + bottom) // 2, 'left')
    time.sleep(0.5)
    assert not sheet.rows()[1][5], 'the row under the click was selected on a closing sheet'
    assert wine.window(dialog.handle), 'the dialog stays up meanwhile'

    close_dialog_and_wait_for_the_sheet(wine, sheet, dialog)
    wait_until(lambda: len(wine.mascots()) == 1, message='a.bmp alone, as the sheet had it when closing began')
    assert nothing_opens(wine, kinds=('#32770',), seconds=0.5)
    assert wine.exit_velmora() == 0
    assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']


def test_a_closing_sheet_lets_no_second_sheet_open(wine):
    sheet, dialog, _ = closing_sheet_under_the_information(wine)
    wine.driver('post', wine.controller().handle, WM_COMMAND, IDM_SETTINGS, 0)
    stays(lambda: [s.handle for s in sheets(wine)] == [sheet.handle], 1.5, message='still the one sheet',
          seen=lambda: sheets(wine))
    close_dialog_and_wait_for_the_sheet(wine, sheet, dialog)
    assert not sheets(wine)


def test_cache_clear_on_a_closing_sheet_does_nothing(wine):
    wine.set_value(ROOT + '\\Mascot\\a.bmp', 'PositionX', 40)
    sheet, dialog, _ = closing_sheet_under_the_information(wine)
    sheet.click_button(IDC_MASCOT_CLEAR_CACHE)
    assert wine.driver('send', sheet.list, LVM_GETIMAGELIST, LVSIL_SMALL, 0).strip() == '0', \
        'no new image list for a page that has let its own go'
    assert ROOT + '\\Mascot\\a.bmp' in wine.registry(), 'the settings stay'
    close_dialog_and_wait_for_the_sheet(wine, sheet, dialog)


@pytest.mark.parametrize('maximum, saved', [(2, ['a.bmp', 'b.bmp']), (5, ['a.bmp', 'b.bmp', 'c.bmp'])])
def test_session_end_with_the_sheet_open_saves_what_closing_it_would_start(wine, maximum, saved):
    assert wine.exit_velmora() == 0
    wine.set_value(ROOT, 'MaxMascotCount', maximum)
    wine.start_velmora()
    sheet = Sheet(wine)
    for row in (1, 2):
        wine.driver('lv-check', sheet.list, row, 1)
    sheet.click_row(0)
    wait_until(lambda: wine.mascots(), message='the preview')
    sheet.type_text(IDC_MASCOT_X_VALUE, '33')
    controller = wine.controller().handle
    assert wine.driver('send', controller, 0x11, 0, 0x80000000).strip() != '0'  # WM_QUERYENDSESSION
    wine.driver('send', controller, 0x16, 1, 0x80000000)  # WM_ENDSESSION, log-off
    registry = wine.registry()
    assert list(registry[ROOT + '\\View']) == saved
    assert registry[ROOT + '\\Mascot\\a.bmp']['PositionX'] == (4, (33).to_bytes(4, 'little'))
    # The save happens once: a second notice writes nothing.
    wine.delete_key(ROOT + '\\View')
    wine.driver('send', controller, 0x16, 1, 0x80000000)
    wine.velmora.kill()
    wine.velmora.wait()
    assert ROOT + '\\View' not in wine.registry()


def test_session_end_while_the_sheet_is_closing_saves_the_restarted_mascots(wine):
    sheet, dialog, _ = closing_sheet_under_the_information(wine)
    controller = wine.controller().handle
    wine.driver('send', controller, 0x16, 1, 0x80000000)
    wine.velmora.kill()
    wine.velmora.wait()
    assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']


def test_keys_named_outside_code_page_932_are_cleared_and_the_exit_save_goes_on(wine):
    # Names that code page 932 lacks: the program names keys in UTF-16, so it deletes them too.
    # A key that will not go at all is emptied instead; Wine enforces no right that could stop
    # the delete, so only the rules' table shows that.
    stuck = '\uc548\ub155'  # Hangul
    for below in ('Mascot\\a.bmp\\', 'View\\', 'NoApp\\'):
        wine.driver('reg-create-unicode', (ROOT + '\\' + below + stuck).encode('utf-8').hex())
    wine.set_value(ROOT + '\\Mascot\\a.bmp', 'PositionX', 40)
    wine.set_value(ROOT + '\\Mascot\\b.bmp', 'PositionX', 30)
    # Added by hand while the program runs: not in its list, so gone after its exit.
    wine.set_value(ROOT + '\\NoApp', 'stale.exe', '')
    sheet = Sheet(wine)
    sheet.click_button(IDC_MASCOT_CLEAR_CACHE)
    wait_until(lambda: sheet.enabled(IDC_MASCOT_CLEAR_CACHE), timeout=10, message='the clear to end')
    cleared = wine.registry(ROOT + '\\Mascot')
    assert cleared == {ROOT + '\\Mascot': {}}, f'no mascot keeps settings: {cleared}'
    # The clear unchecked a.bmp, which therefore stops; b.bmp is ticked instead.
    wine.driver('lv-check', sheet.list, [row[1] for row in sheet.rows()].index('b.bmp'), 1)
    sheet.close()
    wait_until(lambda: len(wine.mascots()) == 1, message='b.bmp alone after the sheet')
    assert wine.exit_velmora(timeout=20) == 0, 'the exit save ends'
    registry = wine.registry()
    assert set(registry[ROOT + '\\View']) == {'b.bmp'}, 'the stopped mascot is not listed to start again'
    assert registry[ROOT + '\\View']['b.bmp'] == (1, b'b.bmp\0')
    assert set(registry[ROOT + '\\NoApp']) == set(), 'no exclusion the program does not hold'
    assert not [key for key in registry if key.startswith((ROOT + '\\View\\', ROOT + '\\NoApp\\'))], \
        'no key is left below View and NoApp'


# --- modal combinations: which window is open x which command arrives ------------------------

def open_info_from_the_mascot_menu(session):
    right_click_the_standing_mascot(session)
    choose(session, ABOUT_MASCOT)
    return open_dialog(session)


def test_with_the_sheet_open_settings_version_and_exit_commands_are_refused(wine):
    sheet = Sheet(wine)
    for command in (IDM_SETTINGS, IDM_VERSION, IDM_EXIT):
        wine.driver('post', wine.controller().handle, WM_COMMAND, command, 0)
    # Exit waits for the sheet; no second sheet and no about box opens.
    stays(lambda: wine.velmora.poll() is None and [d.handle for d in visible(wine, '#32770')] == [sheet.handle],
          1.5, message='the program running with the sheet alone', seen=lambda: visible(wine, '#32770'))
    sheet.close()
    assert wine.exit_velmora() == 0
    assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']


def test_with_the_sheet_closing_exit_waits_for_it(wine):
    sheet, dialog, _ = closing_sheet_under_the_information(wine)
    wine.driver('post', wine.controller().handle, WM_COMMAND, IDM_EXIT, 0)
    stays(lambda: wine.velmora.poll() is None, 1.0, message='the program running while the sheet closes')
    close_dialog_and_wait_for_the_sheet(wine, sheet, dialog)
    assert wine.exit_velmora() == 0
    assert list(wine.registry()[ROOT + '\\View']) == ['a.bmp']


@pytest.mark.parametrize('first', ['information', 'about box'])
def test_the_sheet_opened_over_a_dialog_closes_in_either_order(wine, first):
    target = wine.target(150, 250, 500, 300)
    wine.driver('foreground', target)
    if first == 'information':
        dialog = open_info_from_the_mascot_menu(wine)
    else:
        wine.driver('post', wine.controller().handle, WM_COMMAND, IDM_VERSION, 0)
        dialog = open_dialog(wine)
    # The tray's settings command arrives while the dialog runs its loop.
    sheet = Sheet(wine)
    wait_until(lambda: not wine.mascots(), message='the mascot described by the dialog to stop')
    assert wine.window(dialog.handle), 'the dialog stays, holding nothing of the stopped mascot'
    wine.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
    time.sleep(0.5)
    sheet.close()
    wait_until(lambda: not wine.window(dialog.handle), message='the dialog to close')
    wait_until(lambda: len(wine.mascots()) == 1, message='the checked mascot to run again')
    assert nothing_opens(wine, kinds=('#32770',), seconds=0.5)


def test_information_about_the_preview_stays_when_another_row_replaces_it(wine):
    sheet = Sheet(wine)
    wait_until(lambda: not wine.mascots(), message='the running mascot to stop')
    preview, dialog = info_dialog_about_the_preview(wine, sheet)
    sheet.click_row(1)
    wait_until(lambda: [m.handle for m in wine.mascots()] not in ([], [preview.handle]),
               message='the second preview')
    assert not class_registered(wine, preview.class_name)
    assert wine.window(dialog.handle)
    wine.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
    wait_until(lambda: not wine.window(dialog.handle), message='the dialog to close')
    sheet.close()
    wait_until(lambda: len(wine.mascots()) == 1, message='the checked mascot alone')
