"""The general page's box that starts the program with Windows: its state is the truth of the
user's Run value "Velmora", which changes only when the sheet closes and only when the box
changed; nothing of it is kept in the program's own registry root."""
import pytest

from bitmaps import ellipse_figure, write_bmp24
from harness import APP_DIR, wait_until
from sheet import ROOT, Sheet
from test_general_page import open_general
from test_modal_states import info_dialog_about_the_preview, press_close_on

RUN = 'Software\\Microsoft\\Windows\\CurrentVersion\\Run'
APPROVED = 'Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run'
BOX = 1070
REG_SZ, REG_EXPAND_SZ, REG_BINARY = 1, 2, 3
OWN_COMMAND = f'"{APP_DIR}\\Velmora2.exe"'
OTHER_COMMAND = '"D:\\Old copy\\Velmora2.exe"'


@pytest.fixture
def wine(wine_desktop):
    session = wine_desktop
    session.delete_key('Software\\Korrin')
    session.delete_key(RUN)
    session.delete_key(APPROVED)
    # Another program's entry, which the box must leave alone.
    session.set_value(RUN, 'Other', 'C:\\other.exe')
    (session.app_dir / 'Mascots').mkdir(exist_ok=True)
    yield session
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def run_values(wine):
    return (wine.registry(RUN) or {}).get(RUN, {})


def write_time(wine):
    return wine.driver('reg-write-time', RUN).strip()


def own_root(wine):
    return wine.registry(ROOT)


def test_ticking_writes_the_quoted_path_and_unticking_deletes_it(wine):
    wine.start_velmora()
    root_before = own_root(wine)
    sheet = open_general(wine)
    assert sheet.item(BOX)['text'] == 'Windows の起動時に Velmora を開始する'
    assert not sheet.checked(BOX)
    sheet.click_button(BOX)
    assert 'Velmora' not in run_values(wine), 'nothing is written before the sheet closes'
    sheet.close()
    values = run_values(wine)
    assert values['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')
    assert values['Other'] == (REG_SZ, b'C:\\other.exe\0')
    assert own_root(wine) == root_before, 'the program keeps nothing of it in its own root'

    sheet = open_general(wine)
    assert sheet.checked(BOX), 'the value names this program'
    sheet.click_button(BOX)
    sheet.close()
    assert set(run_values(wine)) == {'Other'}
    assert own_root(wine) == root_before


@pytest.mark.parametrize('stored', ['none', 'own', 'other'])
def test_a_sheet_closed_without_a_change_leaves_the_key_unwritten(wine, stored):
    if stored != 'none':
        wine.set_value(RUN, 'Velmora', OWN_COMMAND if stored == 'own' else OTHER_COMMAND)
    before = write_time(wine)
    values_before = run_values(wine)
    wine.start_velmora()
    sheet = open_general(wine)
    assert sheet.checked(BOX) == (stored == 'own')
    tips = wine.driver('tip-text', sheet.page, sheet.item(BOX)['handle']).split()
    assert tips == ([OTHER_COMMAND.encode('cp932').hex()] if stored == 'other' else []), 'the other path only'

    if stored == 'other':
        sheet.click_button(BOX)
        sheet.click_button(BOX)  # ticked and unticked again: no change
    sheet.close()
    assert run_values(wine) == values_before
    assert write_time(wine) == before, 'the Run key was written'


def test_another_copys_entry_shows_unchecked_with_its_path_and_ticking_replaces_it(wine):
    wine.set_value(RUN, 'Velmora', OTHER_COMMAND)
    wine.start_velmora()
    sheet = open_general(wine)
    assert not sheet.checked(BOX)
    # Wine shows no tool tip for a hover here, so the tip's text is read from the tool tip itself.
    tips = wait_until(lambda: wine.driver('tip-text', sheet.page, sheet.item(BOX)['handle']).split(),
                      message='the tool tip of the box')
    assert [bytes.fromhex(tip).decode('cp932') for tip in tips] == [OTHER_COMMAND]
    before = write_time(wine)
    sheet.click_button(BOX)
    sheet.close()
    assert run_values(wine)['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')
    assert write_time(wine) != before, 'the write shows in the key'


WM_QUERYENDSESSION, WM_ENDSESSION, ENDSESSION_LOGOFF = 0x11, 0x16, 0x80000000


def end_session(wine):
    controller = wine.controller().handle
    assert wine.driver('send', controller, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF).strip() != '0'
    wine.driver('send', controller, WM_ENDSESSION, 1, ENDSESSION_LOGOFF)


def test_a_session_ending_under_the_open_sheet_applies_the_box_once(wine):
    """The page is never destroyed when the session ends, so the box is applied then; closing
    the sheet afterwards does not write it again."""
    wine.start_velmora()
    sheet = open_general(wine)
    sheet.click_button(BOX)
    end_session(wine)
    assert run_values(wine)['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')
    written = write_time(wine)
    sheet.close()
    assert write_time(wine) == written, 'closing the sheet wrote the Run key again'


def test_a_session_ending_under_a_sheet_whose_general_page_was_never_shown_writes_nothing(wine):
    before = write_time(wine)
    wine.start_velmora()
    sheet = Sheet(wine)
    end_session(wine)
    sheet.close()
    assert set(run_values(wine)) == {'Other'}
    assert write_time(wine) == before, 'the Run key was written'


def set_raw(wine, path, name, kind, data):
    wine.driver('reg-set', path, name.encode('cp932').hex(), kind, data.hex())


def test_an_expandable_entry_is_compared_as_windows_expands_it(wine):
    set_raw(wine, RUN, 'Velmora', REG_EXPAND_SZ, b'"%SystemDrive%\\Velmora\\Velmora2.exe"\0')
    wine.start_velmora()
    sheet = open_general(wine)
    assert sheet.checked(BOX), 'the expanded command names this program'
    assert not wine.driver('tip-text', sheet.page, sheet.item(BOX)['handle']).split()
    sheet.close()


def test_an_entry_switched_off_in_task_manager_shows_unticked_and_ticking_switches_it_on(wine):
    wine.set_value(RUN, 'Velmora', OWN_COMMAND)
    set_raw(wine, APPROVED, 'Velmora', REG_BINARY, bytes([3, 0, 0, 0]) + bytes(range(1, 9)))
    wine.start_velmora()
    sheet = open_general(wine)
    assert not sheet.checked(BOX), 'Windows will not start it'
    sheet.close()
    assert (wine.registry(APPROVED) or {}).get(APPROVED, {}).get('Velmora', (0, b''))[1][:1] == b'\3', \
        'left as it was while the box stays unticked'
    sheet = open_general(wine)
    sheet.click_button(BOX)
    sheet.close()
    assert run_values(wine)['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')
    assert 'Velmora' not in (wine.registry(APPROVED) or {}).get(APPROVED, {}), 'the switch is on again'
    assert open_general(wine).checked(BOX)


def test_a_refused_write_is_tried_again_when_the_sheet_closes(wine):
    wine.start_velmora()
    sheet = open_general(wine)
    sheet.click_button(BOX)
    wine.driver('reg-protect', RUN, 2)
    end_session(wine)
    assert 'Velmora' not in run_values(wine), 'the registry refused the write'
    wine.driver('reg-protect', RUN, 0)
    sheet.close()
    assert run_values(wine)['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')


def test_a_session_ending_while_the_sheet_closes_under_a_dialog_keeps_the_box(wine):
    write_bmp24(wine.app_dir / 'Mascots' / 'a.bmp', 40, 48, ellipse_figure(40, 48))
    wine.start_velmora()
    sheet = open_general(wine)
    sheet.click_button(BOX)
    sheet.show_page(0)
    sheet.page = wait_until(lambda: wine.driver('dlg-find', sheet.handle, 1000).split()[1:],
                            message='the mascot page')[0]
    _, dialog = info_dialog_about_the_preview(wine, sheet)
    press_close_on(wine, sheet)
    wait_until(lambda: not wine.window(sheet.handle).visible, message='the sheet withdrawn under the dialog')
    end_session(wine)
    assert run_values(wine)['Velmora'] == (REG_SZ, OWN_COMMAND.encode('cp932') + b'\0')
    written = write_time(wine)
    wine.driver('post', dialog.handle, 0x111, 1, 0)
    wait_until(lambda: not wine.window(sheet.handle), timeout=10, message='the sheet to go')
    assert write_time(wine) == written, 'applied once'
