#!/usr/bin/env python3
"""Benchmark, not a test: what ten animated mascots cost under Wine.

Prints the CPU time the program (and Wine's server on its behalf) used while ten mascots
animate on a still target, and the program's GDI and USER object counts before and after
many frame changes and target switches. Run from the repository after scripts/build.sh:

    python3 tests/bench/mascot_load.py [seconds] [switches] [frame time in ticks | samples | same-outline]

VELMORA_BENCH_MASCOTS sets how many mascots run (ten unless told).
"samples" runs five copies each of the two animated sample mascots the project ships;
"same-outline" changes between two frames of one outline on every tick.

Beside the program it runs animation_peer.exe, the least program that shows the same frames in
the same number of shaped windows on their own 100 ms timers, and prints the program's figures
as ratios against it: under Wine the timers and the painting cost what they cost in any program.

Wine answers 0 for GetGuiResources, so the program's resident memory is printed beside the
object counts: a handle leaked on every frame change shows there too.
"""
import os
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'wine'))
from bitmaps import block_figure, ellipse_figure  # noqa: E402
from fixtures import bmp_bytes, definition, pack  # noqa: E402
from harness import SOURCE, WIN_BIN, WineSession, resident_kib, wait_until  # noqa: E402

ROOT = 'Software\\Korrin\\Velmora2'
COUNT = int(os.environ.get('VELMORA_BENCH_MASCOTS', '10'))
TICKS = os.sysconf('SC_CLK_TCK')


def cpu_seconds(pid):
    fields = Path(f'/proc/{pid}/stat').read_text().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def wineserver_pid(session):
    for entry in Path('/proc').iterdir():
        if entry.name.isdigit():
            try:
                command = (entry / 'cmdline').read_bytes()
                environ = (entry / 'environ').read_bytes()
            except OSError:
                continue
            if b'wineserver' in command and f'WINEPREFIX={session.prefix}'.encode() in environ:
                return int(entry.name)
    return None


def gui_counts(session, handle):
    parts = session.driver('gui-resources', handle).split()
    return int(parts[1]), int(parts[3])


def cpu_percent(pid, server, seconds):
    """The share of one core that the process and the Wine server used over the next seconds."""
    start, server_start, wall_start = cpu_seconds(pid), cpu_seconds(server) if server else 0, time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - wall_start
    server_cpu = (cpu_seconds(server) - server_start) if server else float('nan')
    return 100 * (cpu_seconds(pid) - start) / wall, 100 * server_cpu / wall, wall


def frames_of(kind):
    """The frames that every mascot of the case shows, as BMP files' bytes, and their stay."""
    if kind == 'same-outline':
        return [bmp_bytes(64, 80, ellipse_figure(64, 80)),
                bmp_bytes(64, 80, ellipse_figure(64, 80, colour=(90, 160, 240)))], 0
    return [bmp_bytes(64, 80, ellipse_figure(64, 80)), bmp_bytes(64, 80, block_figure(64, 80))], int(kind)


def run_peer(session, frames, stay, rectangle, seconds):
    folder = session.prefix / 'drive_c' / 'peer'
    folder.mkdir(exist_ok=True)
    names = []
    for n, data in enumerate(frames):
        (folder / f'f{n}.bmp').write_bytes(data)
        names.append(f'C:\\peer\\f{n}.bmp')
    shutil.copy(WIN_BIN / 'animation_peer.exe', folder)
    peer = session.spawn('C:\\peer\\animation_peer.exe', COUNT, rectangle[0], rectangle[1], stay, *names)
    time.sleep(3)
    result = cpu_percent(peer.pid, wineserver_pid(session), seconds)
    peer.kill()
    peer.wait()
    return result


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 30
    switches = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    kind = sys.argv[3] if len(sys.argv) > 3 else '0'
    frames, stay = frames_of(kind) if kind != 'samples' else (None, 0)
    session = WineSession(desktop=True)
    try:
        names = []
        (session.app_dir / 'Mascots').mkdir(exist_ok=True)
        for n in range(COUNT):
            archive = session.app_dir / 'Mascots' / f'm{n}.lzh'
            if kind == 'samples':
                sample = SOURCE / 'build' / 'native' / 'Mascots' / ('mike.lzh' if n % 2 else 'fuwari.lzh')
                archive.write_bytes(sample.read_bytes())
            else:
                # "same-outline": two frames of one outline in two colours, the cost of repainting
                # alone; otherwise an ellipse and a block, which change the window region too.
                # Time 0 or 1 changes frame on every tick, ten changes a second each.
                pack(archive, {'VLD.INI': definition(f'M{n}', [('a.bmp', stay), ('b.bmp', stay)]),
                               'a.bmp': frames[0], 'b.bmp': frames[1]})
            names.append(f'm{n}.lzh')
            session.set_value(ROOT + '\\View', names[-1], names[-1])
        session.start_velmora()
        mascots = wait_until(lambda: len(session.mascots()) == COUNT and session.mascots(), timeout=30)
        first = session.target(100, 200, 400, 400, 'first')
        second = session.target(300, 250, 500, 300, 'second')
        session.driver('foreground', first)
        time.sleep(2)

        pid = session.velmora.pid
        server = wineserver_pid(session)
        gdi_before, user_before = gui_counts(session, mascots[0].handle)
        memory_before = resident_kib(pid)
        cpu, server_cpu, wall = cpu_percent(pid, server, seconds)
        changes = int(wall * 10 * COUNT / max(stay, 1)) if frames else 0
        print(f'{COUNT} mascots ({kind}), still target, {wall:.1f} s: program {cpu:.2f} % of one core, '
              f'wineserver {server_cpu:.2f} %; about {changes} frame changes')
        rectangle = session.window(mascots[0].handle).rect

        for n in range(switches):
            session.driver('foreground', first if n % 2 else second)
        gdi_after, user_after = gui_counts(session, mascots[0].handle)
        print(f'GDI objects {gdi_before} -> {gdi_after}, USER objects {user_before} -> {user_after}, '
              f'resident memory {memory_before} -> {resident_kib(pid)} KiB after {switches} target switches')
        session.exit_velmora()
        if frames:
            peer_cpu, peer_server, _ = run_peer(session, frames, stay, rectangle, seconds)
            print(f'animation peer, same frames and timers: program {peer_cpu:.2f} %, wineserver {peer_server:.2f} %; '
                  f'ratio program {cpu / peer_cpu:.2f}, wineserver {server_cpu / peer_server:.2f}')
    finally:
        session.close()


if __name__ == '__main__':
    main()
