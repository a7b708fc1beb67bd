"""A long run through every nested loop: the sheet opened and closed again and again with
previews switched and the cache cleared, menus and both dialogs opened from the tray, from
running mascots and from the preview, while the target changes on every tick. Afterwards the
program must have exactly the windows it should, every window class of a mascot that went
must be unregistered, and its resident memory must have stopped growing.

VELMORA_LONG_RUN_SECONDS sets the length (30 s in the test command; the figures in the notes
come from longer runs)."""
import os
import statistics
import time

import pytest

from bitmaps import block_figure, ellipse_figure, write_bmp24
from fixtures import two_frame_archive
from harness import resident_kib, wait_until
from menus import ABOUT_MASCOT, VERSION, WM_COMMAND, choose, open_dialog, open_tray_menu, visible
from sheet import ROOT, Sheet

SECONDS = float(os.environ.get('VELMORA_LONG_RUN_SECONDS', '30'))
IDC_MASCOT_CLEAR_CACHE = 1010
IDOK = 1
CLOSINGS = ('button', 'escape', 'close-box')


def shown_dialogs(session):
    return visible(session, '#32770')


def close_every_dialog(session):
    for dialog in shown_dialogs(session):
        session.driver('post', dialog.handle, WM_COMMAND, IDOK, 0)
    wait_until(lambda: not shown_dialogs(session), message='the dialogs to close')


def right_click(session, window):
    left, top, right, bottom = window.rect
    session.driver('mouse', (left + right) // 2, (top + bottom) // 2, 'right')
    wait_until(lambda: visible(session, '#32768'), message='a mascot menu')


def standing_mascot(session):
    """A shown mascot once it keeps its place over three ticks."""
    def standing():
        before = [m for m in session.mascots() if m.visible]
        time.sleep(0.3)
        after = [m for m in session.mascots() if m.visible]
        return after[0] if after and [m.rect for m in before] == [m.rect for m in after] else None
    return wait_until(standing, message='a mascot standing still')


class Run:
    def __init__(self, session, targets):
        self.session, self.targets = session, targets
        self.counts = dict.fromkeys(('sheets', 'previews', 'clears', 'menus', 'information', 'about'), 0)
        self.classes = set()
        self.memory = []

    def note_classes(self):
        self.classes.update(m.class_name for m in self.session.mascots())

    def flip_targets(self, turns=10):
        self.session.spawn('C:\\vdriver.exe', 'flip', *self.targets, turns, 100)

    def sheet_round(self, turn):
        session = self.session
        sheet = Sheet(session)
        self.counts['sheets'] += 1
        for row in (turn % 3, (turn + 1) % 3):
            sheet.click_row(row)
            wait_until(lambda: [r for r in sheet.rows() if r[5]] and session.mascots(), message='a preview')
            self.counts['previews'] += 1
            self.note_classes()
        if turn % 5 == 4:
            sheet.click_button(IDC_MASCOT_CLEAR_CACHE)
            wait_until(lambda: sheet.enabled(IDC_MASCOT_CLEAR_CACHE), timeout=10, message='the clear to end')
            self.counts['clears'] += 1
            for row in (0, 1):
                session.driver('lv-check', sheet.list, row, 1)
        if turn % 4 == 1:
            sheet.click_row(turn % 3)
            right_click(session, standing_mascot(session))
            choose(session, ABOUT_MASCOT)
            wait_until(lambda: len(shown_dialogs(session)) == 2, message='the preview information')
            self.counts['menus'] += 1
            self.counts['information'] += 1
            # The sheet goes first; the dialog keeps its loop nested until it is closed too.
            session.driver('send', session.driver('dlg-item', sheet.handle, IDOK).split()[0], 0xF5, 0, 0)
            close_every_dialog(session)
            wait_until(lambda: not session.window(sheet.handle), timeout=10, message='the sheet to go')
        else:
            sheet.close(CLOSINGS[turn % len(CLOSINGS)])

    def menu_round(self, turn):
        session = self.session
        self.flip_targets()
        time.sleep(1.2)
        session.driver('foreground', self.targets[turn % 2])
        right_click(session, standing_mascot(session))
        choose(session, ABOUT_MASCOT)
        open_dialog(session)
        self.counts['menus'] += 1
        self.counts['information'] += 1
        if turn % 2:
            # The sheet opened over the information, then both closed.
            Sheet(session).close()
            self.counts['sheets'] += 1
        close_every_dialog(session)
        open_tray_menu(session)
        choose(session, VERSION)
        open_dialog(session)
        self.counts['menus'] += 1
        self.counts['about'] += 1
        close_every_dialog(session)
        self.note_classes()


@pytest.fixture
def wine(wine_desktop):
    session = wine_desktop
    mascots = session.app_dir / 'Mascots'
    mascots.mkdir(exist_ok=True)
    write_bmp24(mascots / 'a.bmp', 40, 48, ellipse_figure(40, 48))
    write_bmp24(mascots / 'b.bmp', 36, 30, block_figure(36, 30))
    two_frame_archive(mascots / 'c.lzh', (1, 1))
    session.set_value(ROOT + '\\View', 'a.bmp', 'a.bmp')
    session.set_value(ROOT + '\\View', 'b.bmp', 'b.bmp')
    yield session
    if session.velmora and session.velmora.poll() is None:
        session.velmora.kill()
        session.velmora.wait()


def test_long_run_through_every_nested_loop_leaves_no_window_class_or_memory_behind(wine):
    wine.start_velmora()
    wait_until(lambda: len(wine.mascots()) == 2, message='the two mascots of the last run')
    targets = (wine.target(120, 260, 420, 300, 'one'), wine.target(460, 300, 420, 260, 'two'))
    run = Run(wine, targets)
    run.note_classes()
    dialogs_before = {w.handle for w in wine.windows('#32770')}
    started = time.monotonic()
    turn = 0
    while time.monotonic() - started < SECONDS:
        run.sheet_round(turn)
        wait_until(lambda: len(wine.mascots()) == 2, message='the two checked mascots after the sheet')
        if turn % 3 == 2:
            run.menu_round(turn)
        run.memory.append(resident_kib(wine.velmora.pid))
        turn += 1
    elapsed = time.monotonic() - started

    time.sleep(0.5)
    live = {m.class_name for m in wine.mascots()}
    assert len(wine.mascots()) == 2 and len(wine.windows('Velmo2')) == 1
    assert not visible(wine, '#32768') and not shown_dialogs(wine)
    assert {w.handle for w in wine.windows('#32770')} <= dialogs_before, 'no hidden dialog is left'
    gone = run.classes - live
    assert gone and not [name for name in gone if wine.driver('atom', name).strip() == '1'], \
        'the window class of every mascot that went is unregistered'
    assert all(wine.driver('atom', name).strip() == '1' for name in live)

    quarter = max(len(run.memory) // 4, 1)
    early, late = statistics.median(run.memory[quarter:2 * quarter]), statistics.median(run.memory[-quarter:])
    print(f'\nlong run: {elapsed:.0f} s, {turn} rounds, {run.counts}, {len(run.classes)} mascot classes made')
    print(f'resident memory KiB: first {run.memory[0]}, second quarter {early:.0f}, last quarter {late:.0f}, '
          f'largest {max(run.memory)}')
    assert late - early < 1536, 'resident memory has stopped growing'
    assert wine.exit_velmora() == 0
