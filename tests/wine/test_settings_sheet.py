"""The settings sheet's mascot page on the real program: the library list with its cache,
stopping and restarting mascots, sorting, the preview's settings, clearing the cache."""
import shutil
import subprocess

import pytest

from bitmaps import ellipse_figure, write_bmp24
from fixtures import bmp_bytes, definition, pack
from conftest import LOCALES, desktop_session
from harness import stays, wait_until
from sheet import (BM_CLICK, CB_GETCURSEL, ROOT, UDM_GETRANGE, WM_COMMAND, Sheet, definition_with_icons,
                   icon_bytes)

LOG = 'unlha.log'
MASCOT_GROUP = [1012, 1057, 1058, 1001, 1005, 1003, 1007, 1002, 1006, 1004, 1008, 1009, 1011, 1026, 1015]
RULE_GROUP = [1017, 1027, 1019]
SIZE_GROUP = [1031, 1032, 1033, 1021, 1034, 1024, 1035]


@pytest.fixture
def wine(request):
    session = desktop_session(request)
    session.delete_key('Software\\Korrin')
    shutil.rmtree(session.app_dir / 'Mascots', ignore_errors=True)
    (session.app_dir / 'Mascots').mkdir()
    for leftover in (session.app_dir / 'Velmo2.mdc', session.prefix / 'drive_c' / LOG):
        leftover.unlink(missing_ok=True)
    session.env['VELMORA_UNLHA_LOG'] = 'C:\\' + LOG
    yield session
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()
    wait_until(lambda: not session.windows('Velmo2'), timeout=10, message='the program to end')


def still(wine, *names):
    for name in names:
        path = wine.app_dir / 'Mascots' / name
        path.parent.mkdir(parents=True, exist_ok=True)
        write_bmp24(path, 32, 40, ellipse_figure(32, 40))


def running(wine, *names):
    """Makes the still mascots and lists them as the last run's, in this order."""
    still(wine, *names)
    for name in names:
        wine.set_value(ROOT + '\\View', name, name)


def archive(wine, below, **definition):
    members = {'VLD.INI': definition_with_icons(**definition), 'a.bmp': bmp_bytes(32, 40, ellipse_figure(32, 40))}
    for key in ('icon16', 'icon32'):
        if definition.get(key) and definition[key] != 'NoIcon':
            members[definition[key]] = icon_bytes()
    pack(wine.app_dir / 'Mascots' / below, members)


def extractions(wine):
    log = wine.prefix / 'drive_c' / LOG
    # The ANSI entry logs its code page 932 line, the wide entry its line in UTF-8.
    lines = []
    for line in (log.read_bytes().splitlines() if log.exists() else []):
        try:
            lines.append(line.decode('utf-8'))
        except UnicodeDecodeError:
            lines.append(line.decode('cp932'))
    return [line for line in lines if 'VLD.INI *.ico' in line]


RED = ('srgb(200,40,40)', 'rgb(200,40,40)')


def icon_colour(wine, sheet, picture, index):
    """The colour in the middle of a row's small icon on a screenshot."""
    left, top, right, bottom = (int(v) for v in wine.driver('lv-rect', sheet.list, index).split())
    out = subprocess.run(['convert', str(picture), '-format', f'%[pixel:p{{{left - 9},{(top + bottom) // 2}}}]',
                          'info:'], capture_output=True, text=True, env={'LC_ALL': 'C', 'PATH': '/usr/bin:/bin'})
    return out.stdout.strip()


def view_after_exit(wine):
    assert wine.exit_velmora() == 0
    return list(wine.registry()[ROOT + '\\View'])


def test_cache_reads_each_archive_once_and_later_only_those_with_icons(wine):
    archive(wine, 'tama.lzh', name='Tama', icon16='t.ico')
    archive(wine, 'Cats/plain.lzh', name='Plain')
    archive(wine, 'anon.lzh', icon16='NoIcon', icon32='big.ico')
    wine.start_velmora()
    sheet = Sheet(wine)
    assert [(r[0], r[1]) for r in sheet.rows()] == [('anon.lzh', 'anon.lzh'), ('Plain', 'Cats\\plain.lzh'),
                                                    ('Tama', 'tama.lzh')]
    assert len(extractions(wine)) == 3
    sheet.close()
    wine.exit_velmora()
    assert (wine.app_dir / 'Velmo2.mdc').read_bytes() == (
        b'\\Cats\\plain.lzh\0Plain\0\0\0\0\0' b'\\anon.lzh\0anon.lzh\0\1\0\0\0' b'\\tama.lzh\0Tama\0\1\0\0\0')

    # A replaced archive keeps its cached name; only archives with icons are opened again.
    archive(wine, 'Cats/plain.lzh', name='Renamed')
    (wine.prefix / 'drive_c' / LOG).unlink()
    wine.start_velmora()
    sheet = Sheet(wine)
    assert sheet.names() == ['anon.lzh', 'Plain', 'Tama']
    assert sorted(line.split('"')[1] for line in extractions(wine)) == [
        'C:\\Velmora\\Mascots\\anon.lzh', 'C:\\Velmora\\Mascots\\tama.lzh']
    # Image index and item data are the position at insertion, which is file-system order.
    assert sorted(r[3] for r in sheet.rows()) == [0, 1, 2]
    assert all(r[3] == r[4] for r in sheet.rows())
    sheet.close()


@LOCALES
def test_japanese_names_are_listed_as_written_and_cached_in_code_page_932(wine):
    archive(wine, 'ネコ/みけ.lzh', name='ミケ', icon16='みけ.ico')
    archive(wine, 'Zoë.lzh', name='ふわり')
    wine.start_velmora()
    assert wine.window_text_bytes(wine.controller().handle) == 'Velmora２'.encode('cp932')
    sheet = Sheet(wine)
    assert [(r[0], r[1]) for r in sheet.rows()] == [('ふわり', 'Zoë.lzh'), ('ミケ', 'ネコ\\みけ.lzh')]
    close = wine.driver('dlg-item', sheet.handle, 1).split()
    assert bytes.fromhex(close[3]).decode('cp932') == '閉じる' and close[2] == '1'
    wait_until(lambda: icon_colour(wine, sheet, wine.screenshot(wine.root / 'japanese.png'), 1) in RED,
               message="the icon named in Japanese on the archive's row")
    sheet.close()
    assert wine.exit_velmora() == 0
    # A path that code page 932 cannot hold is left out of the file rather than written wrongly.
    assert (wine.app_dir / 'Velmo2.mdc').read_bytes() == '\\ネコ\\みけ.lzh\0ミケ\0\1\0\0\0'.encode('cp932')

    # The archive left out is read afresh at the next opening; the cached one only for its icon.
    (wine.prefix / 'drive_c' / LOG).unlink()
    wine.start_velmora()
    sheet = Sheet(wine)
    assert sheet.names() == ['ふわり', 'ミケ']
    assert sorted(line.split('"')[1] for line in extractions(wine)) == [
        wine.app_path + '\\Mascots\\Zoë.lzh', wine.app_path + '\\Mascots\\ネコ\\みけ.lzh']
    sheet.close()


@pytest.mark.parametrize('how', ['button', 'escape', 'escape-on-second-page', 'close-box'])
def test_opening_stops_the_mascots_and_closing_starts_checked_rows_in_display_order(wine, how):
    running(wine, 'c.bmp', 'a.bmp', 'b.bmp')
    still(wine, 'd.bmp')
    wine.start_velmora()
    wait_until(lambda: len(wine.mascots()) == 3, message='three mascots')
    target = wine.target(100, 100, 300, 200)
    wine.driver('foreground', target)
    sheet = Sheet(wine)
    wait_until(lambda: not wine.mascots(), message='the mascots to vanish')
    assert [(r[0], r[2]) for r in sheet.rows()] == [('a.bmp', True), ('b.bmp', True), ('c.bmp', True),
                                                    ('d.bmp', False)]
    wait_until(lambda: wine.window(wine.controller().handle).visible, message='the controller as a taskbar button')
    if how == 'escape-on-second-page':
        sheet.show_page(1)
    sheet.close({'escape-on-second-page': 'escape'}.get(how, how))
    wait_until(lambda: len(wine.mascots()) == 3, message='three mascots again')

    controller = wine.controller()
    assert not controller.visible
    assert controller.exstyle & 0x80 and controller.style & 0x80000
    wait_until(lambda: wine.driver('foreground-window').split()[0] == target, message='the target in front again')
    # The sheet opens again afterwards.
    Sheet(wine).close()
    assert view_after_exit(wine) == ['a.bmp', 'b.bmp', 'c.bmp']


@pytest.mark.parametrize('maximum, started', [(2, ['a.bmp', 'b.bmp']), (0, [])])
def test_closing_starts_no_more_than_the_maximum(wine, maximum, started):
    running(wine, 'e.bmp', 'd.bmp', 'c.bmp', 'b.bmp', 'a.bmp')
    wine.set_value(ROOT, 'MaxMascotCount', maximum)
    wine.start_velmora()
    wait_until(lambda: len(wine.mascots()) == 5, message='all five mascots (the View list has no limit)')
    sheet = Sheet(wine)
    assert all(r[2] for r in sheet.rows())
    sheet.close()
    wait_until(lambda: len(wine.mascots()) == len(started), message=f'{len(started)} mascots')
    assert view_after_exit(wine) == started


def test_four_header_clicks_give_the_four_orders(wine):
    running(wine, 'b.bmp', 'D.bmp')
    still(wine, 'a.bmp', 'c.bmp', 'E.bmp')
    wine.start_velmora()
    sheet = Sheet(wine)
    orders = [['E.bmp', 'D.bmp', 'c.bmp', 'b.bmp', 'a.bmp'],
              ['b.bmp', 'D.bmp', 'a.bmp', 'c.bmp', 'E.bmp'],
              ['E.bmp', 'c.bmp', 'a.bmp', 'D.bmp', 'b.bmp'],
              ['a.bmp', 'b.bmp', 'c.bmp', 'D.bmp', 'E.bmp']]
    assert sheet.names() == orders[-1]
    for order in orders:
        sheet.click_header(0)
        wait_until(lambda: sheet.names() == order, timeout=3, message=f'order {order}')
    sheet.close()


def test_unit_rule_keeps_percent_within_range(wine):
    still(wine, 'a.bmp')
    wine.start_velmora()
    sheet = Sheet(wine)
    for typed, shown in (('250', '100'), ('-5', '0')):
        sheet.click_row(0)
        wait_until(lambda: sheet.enabled(1004), message='the mascot controls')
        sheet.choose(1004, 1)
        range_word = sheet.send(1002, UDM_GETRANGE) & 0xFFFFFFFF
        assert (range_word & 0xFFFF, range_word >> 16) == (-999 & 0xFFFF, 999), 'dots: lower 999, upper -999'
        sheet.type_text(1003, typed)
        sheet.choose(1004, 0)
        assert sheet.item(1003)['text'] == shown
        range_word = sheet.send(1002, UDM_GETRANGE) & 0xFFFFFFFF
        assert (range_word & 0xFFFF, range_word >> 16) == (0, 100), 'percent: lower 100, upper 0'
        sheet.choose(1004, 1)
        assert sheet.item(1003)['text'] == shown, 'back to dots keeps the value'
        sheet.choose(1004, 0)
        sheet.click_empty()
        wait_until(lambda: not wine.mascots(), message='the preview to go')
        stored = wine.registry()[ROOT + '\\Mascot\\a.bmp']
        assert stored['PositionX'] == (4, int(shown).to_bytes(4, 'little'))
        assert stored['WidthPerDot'] == (4, b'\1\0\0\0')

    # Typed while percent shows, 250 goes back to 100 at the next click in the list, not to
    # whatever position the up-down held before.
    sheet.click_row(0)
    wait_until(lambda: sheet.enabled(1004), message='the mascot controls')
    sheet.type_text(1003, '250')
    sheet.click_row(0)
    wait_until(lambda: sheet.item(1003)['text'] == '100', message='100 shown after the click',
               seen=lambda: sheet.item(1003)['text'])
    sheet.click_empty()
    wait_until(lambda: not wine.mascots(), message='the preview to go')
    assert wine.registry()[ROOT + '\\Mascot\\a.bmp']['PositionX'] == (4, (100).to_bytes(4, 'little'))
    sheet.close()


def test_preview_controls_follow_the_enabling_rules_and_go_with_an_empty_click(wine):
    still(wine, 'a.bmp')
    wine.set_value(ROOT + '\\Mascot\\a.bmp', 'sizeMinimizeY', 70000)
    wine.start_velmora()
    sheet = Sheet(wine)
    assert not any(sheet.enabled(c) for c in MASCOT_GROUP + RULE_GROUP + SIZE_GROUP)
    assert sheet.enabled(1010) and sheet.enabled(1056) and not sheet.enabled(1014)

    sheet.click_row(0)
    preview = wait_until(wine.mascots, message='the preview')[0].handle
    wait_until(lambda: all(sheet.enabled(c) for c in MASCOT_GROUP), message='the mascot controls enabled')
    assert sheet.checked(1015), 'a new mascot follows the general settings'
    assert sheet.item(1034)['text'] == '70000', 'a stored size is shown as it is, beyond the range too'
    assert not any(sheet.enabled(c) for c in RULE_GROUP + SIZE_GROUP)

    sheet.click_button(1015)
    assert all(sheet.enabled(c) for c in RULE_GROUP) and not any(sheet.enabled(c) for c in SIZE_GROUP)
    sheet.click_button(1019)
    assert all(sheet.enabled(c) for c in SIZE_GROUP)
    sheet.click_button(1015)
    assert not any(sheet.enabled(c) for c in RULE_GROUP + SIZE_GROUP)
    sheet.click_button(1015)
    assert all(sheet.enabled(c) for c in RULE_GROUP + SIZE_GROUP)
    sheet.type_text(1032, '1000')
    assert sheet.item(1032)['text'] == '1000'
    # Shown again through its up-down, 1000 stays plain digits that read back as 1000.
    sheet.click_empty()
    wait_until(lambda: not wine.mascots(), message='the preview to go')
    sheet.click_row(0)
    preview = wait_until(wine.mascots, message='the preview again')[0].handle
    wait_until(lambda: sheet.item(1032)['text'] == '1000', message='1000 shown again',
               seen=lambda: sheet.item(1032)['text'])

    sheet.click_row(0)
    stays(lambda: [w.handle for w in wine.mascots()] == [preview], 0.5,
          message='the preview kept by a second click on the row', seen=wine.mascots)

    sheet.click_empty()
    wait_until(lambda: not wine.mascots(), message='the preview to go')
    assert not any(sheet.enabled(c) for c in MASCOT_GROUP + RULE_GROUP + SIZE_GROUP)
    stored = wine.registry()[ROOT + '\\Mascot\\a.bmp']
    assert stored['NonTargetAll'] == (4, b'\0\0\0\0')
    assert stored['MinimizeWindow'] == (4, b'\1\0\0\0')
    assert stored['sizeMinimizeX'] == (4, (1000).to_bytes(4, 'little'))
    assert stored['sizeMinimizeY'] == (4, (70000).to_bytes(4, 'little'))
    sheet.close()


def test_cache_clear_unchecks_every_row_deletes_every_mascot_key_and_sorts_by_name(wine):
    running(wine, 'b.bmp', 'a.bmp')
    archive(wine, 'c.lzh', name='Cat')
    wine.set_value(ROOT + '\\Mascot\\a.bmp', 'PositionX', 10)
    wine.set_value(ROOT + '\\Mascot\\Not\\In\\Library', 'PositionX', 10)
    wine.start_velmora()
    sheet = Sheet(wine)
    sheet.click_row(0)
    wait_until(wine.mascots, message='the preview')
    sheet.click_header(0)
    wait_until(lambda: sheet.names() == ['Cat', 'b.bmp', 'a.bmp'], message='descending order')
    sheet.click_button(1010)
    cleared = [('a.bmp', False), ('b.bmp', False), ('Cat', False)]
    wait_until(lambda: [(r[0], r[2]) for r in sheet.rows()] == cleared, message=f'the rows {cleared}',
               seen=sheet.rows)
    wait_until(lambda: not wine.mascots(), message='the preview to go with the clear')
    keys = wine.registry()
    assert ROOT + '\\Mascot' in keys
    assert not [k for k in keys if k.startswith(ROOT + '\\Mascot\\')]
    assert sheet.enabled(1010) and not sheet.enabled(1001)
    sheet.click_button(1056)
    sheet.close()
    assert not wine.mascots()
    assert wine.exit_velmora() == 0
    assert wine.registry()[ROOT]['Random'] == (4, b'\1\0\0\0')
    assert (wine.app_dir / 'Velmo2.mdc').read_bytes() == b'\\c.lzh\0Cat\0\0\0\0\0'


def test_library_lists_mascot_files_at_any_depth_and_checks_every_row_of_a_running_name(wine):
    still(wine, 'Cats/Tama.BMP', 'a/b/c.bmp', 'Folder/f1.bmp', 'Folder/f2.bmp')
    for ignored in ('notes.txt', 'a.lha', 'x.bmp.bak', 'Folder/VLD.INI'):
        (wine.app_dir / 'Mascots' / ignored).write_bytes(b'[VelmoraData]\r\n')
    archive(wine, 't1.lzh', name='Twin', icon16='NoIcon', icon32='big.ico')
    archive(wine, 'sub/t2.lzh', name='Twin')
    wine.set_value(ROOT + '\\View', 't1.lzh', 't1.lzh')
    wine.start_velmora()
    wait_until(lambda: len(wine.mascots()) == 1, message='the running Twin')
    sheet = Sheet(wine)
    rows = sheet.rows()
    assert sorted((r[0], r[1], r[2]) for r in rows) == [
        ('Cats\\Tama.BMP', 'Cats\\Tama.BMP', False), ('Folder\\f1.bmp', 'Folder\\f1.bmp', False),
        ('Folder\\f2.bmp', 'Folder\\f2.bmp', False), ('Twin', 'sub\\t2.lzh', True), ('Twin', 't1.lzh', True),
        ('a\\b\\c.bmp', 'a\\b\\c.bmp', False)]

    # The icon named by Icon32 is on its row; the archive without one shows another icon.
    def icon_colours():
        picture = wine.screenshot(wine.root / 'library.png')
        return {r[1]: icon_colour(wine, sheet, picture, i) for i, r in enumerate(rows)}
    looks = []
    colours = wait_until(lambda: looks.append(icon_colours()) or (looks[-1]['t1.lzh'] in RED and looks[-1]),
                         message="t1.lzh's red icon drawn", seen=lambda: looks[-1])
    assert colours['sub\\t2.lzh'] != colours['t1.lzh']

    sheet.close()
    wait_until(lambda: len(wine.mascots()) == 2, message='both Twin rows started')
    assert sorted(view_after_exit(wine)) == ['sub\\t2.lzh', 't1.lzh']


def test_restore_defaults_brings_back_the_definition_anchor_only(wine):
    pack(wine.app_dir / 'Mascots' / 'pos.lzh', {
        'VLD.INI': definition('Pos', [('a.bmp', 10)], {'RightX': 20}),
        'a.bmp': bmp_bytes(32, 40, ellipse_figure(32, 40))})
    wine.start_velmora()
    sheet = Sheet(wine)
    sheet.click_row(0)
    preview = wait_until(wine.mascots, message='the preview')[0].handle
    sheet_top = wine.window(sheet.handle).rect[1]
    wait_until(lambda: wine.window(preview).rect[3] == sheet_top, message='the preview standing on the sheet')
    assert (sheet.send(1001, CB_GETCURSEL), sheet.item(1003)['text'], sheet.send(1004, CB_GETCURSEL)) == (1, '20', 1)

    sheet.choose(1001, 0)
    sheet.type_text(1003, '55')
    sheet.click_button(1015)
    sheet.click_button(1017)
    sheet.click_button(1011)
    assert (sheet.send(1001, CB_GETCURSEL), sheet.item(1003)['text'], sheet.send(1004, CB_GETCURSEL)) == (1, '20', 1)
    assert not sheet.checked(1015) and sheet.checked(1017), 'the display rules stay'

    # The information dialog describes the preview.
    wine.driver('post', sheet.item(1009)['handle'], BM_CLICK, 0, 0)
    title = 'マスコットの情報'.encode('cp932')
    info = wait_until(lambda: [w for w in wine.windows('#32770')
                               if w.visible and wine.window_text_bytes(w.handle) == title], message='the dialog')[0]
    name = wine.driver('dlg-item', info.handle, 1054).split()[-1]
    assert bytes.fromhex(name) == b'Pos'
    wine.driver('post', info.handle, WM_COMMAND, 1, 0)
    wait_until(lambda: not wine.window(info.handle), message='the dialog to close')
    sheet.close()
    stored = wine.registry()[ROOT + '\\Mascot\\Pos']
    assert stored['PositionX'] == (4, (20).to_bytes(4, 'little'))
    assert stored['MaximizeWindow'] == (4, b'\1\0\0\0')


def test_damaged_cache_file_keeps_its_whole_records(wine):
    archive(wine, 'plain.lzh', name='Plain')
    archive(wine, 'other.lzh', name='Other')
    (wine.app_dir / 'Velmo2.mdc').write_bytes(b'\\plain.lzh\0Cached\0\0\0\0\0' b'\\other.lzh\0Trunc')
    wine.start_velmora()
    sheet = Sheet(wine)
    assert sorted(sheet.names()) == ['Cached', 'Other']
    assert [line.split('"')[1] for line in extractions(wine)] == ['C:\\Velmora\\Mascots\\other.lzh']
    sheet.close()
    assert wine.exit_velmora() == 0
    assert (wine.app_dir / 'Velmo2.mdc').read_bytes() == (
        b'\\other.lzh\0Other\0\0\0\0\0' b'\\plain.lzh\0Cached\0\0\0\0\0')


def test_failed_extraction_of_a_cached_archive_shows_no_leftover_icon(wine):
    # The shared extraction folder still holds another archive's definition and icon.
    temp = wine.driver('temp-path').strip()
    folder = wine.prefix / 'drive_c' / temp[3:].replace('\\', '/') / 'Velmo'
    folder.mkdir(parents=True, exist_ok=True)
    (folder / 'VLD.INI').write_bytes(definition_with_icons(name='Left', icon16='left.ico'))
    (folder / 'left.ico').write_bytes(icon_bytes())
    # The cache says the archive has an icon, but the archive no longer reads.
    (wine.app_dir / 'Mascots' / 'broken.lzh').write_bytes(b'not an archive')
    (wine.app_dir / 'Velmo2.mdc').write_bytes(b'\\broken.lzh\0Broken\0\1\0\0\0')
    wine.start_velmora()
    sheet = Sheet(wine)
    assert sheet.names() == ['Broken']
    assert icon_colour(wine, sheet, wine.screenshot(wine.root / 'broken.png'), 0) not in RED
    sheet.close()


def image_lists_alive(log):
    """Image lists the program made and has not destroyed, by Wine's imagelist traces."""
    text = log.read_text(errors='replace') if log.exists() else ''
    return text.count('ImageList_Create (') - text.count(', refcount 0')


def test_every_image_list_of_the_sheet_goes_with_it(wine):
    still(wine, 'a.bmp', 'b.bmp')
    log = wine.root / 'imagelist.log'
    wine.start_velmora(traces='+imagelist', log=str(log))
    # The first opening also makes the shell's own lists, which live as long as the program.
    Sheet(wine).close()
    after_first = image_lists_alive(log)
    for turn in range(3):
        sheet = Sheet(wine)
        # A theme or colour change makes the list draw its check boxes anew.
        for message in (0x31A, 0x15):  # WM_THEMECHANGED, WM_SYSCOLORCHANGE
            wine.driver('send', sheet.list, message, 0, 0)
        sheet.close(('button', 'escape', 'close-box')[turn])
    assert image_lists_alive(log) == after_first, 'the check boxes\' image list of each opening is left behind'
    assert wine.exit_velmora() == 0
