"""Mascot files for the integration tests: bitmaps, definitions, and archives packed with the
project's own packer."""
import os
import subprocess
import tempfile
from pathlib import Path

from bitmaps import KEY, block_figure, ellipse_figure, gif, write_bmp24
from harness import SOURCE

LHAPACK = Path(os.environ.get('VELMORA_NATIVE_BIN', SOURCE / 'build' / 'native' / 'bin')) / 'lhapack'


def definition(name=None, frames=(), pos=None):
    """VLD.INI text in code page 932 with CR LF lines; frames are (file, time) pairs."""
    lines = ['[VelmoraData]']
    if name is not None:
        lines.append(f'Name={name}')
    lines.append('[List]')
    for number, (file, time) in enumerate(frames, start=1):
        lines.append(f'File{number}={file}')
        if time is not None:
            lines.append(f'Time{number}={time}')
    lines.append('[Pos]')
    for key, value in (pos or {}).items():
        lines.append(f'{key}={value}')
    return ('\r\n'.join(lines) + '\r\n').encode('cp932')


def pack(archive, members):
    """members: {file name: bytes}. The archive holds them under their bare names in code page
    932, as archivers on Japanese Windows store them."""
    archive = Path(archive)
    archive.parent.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as folder:
        paths = []
        for name, data in members.items():
            path = os.path.join(os.fsencode(folder), name.encode('cp932'))
            with open(path, 'wb') as member:
                member.write(data)
            paths.append(path)
        subprocess.run([os.fsencode(LHAPACK), os.fsencode(archive), *paths], check=True, stdout=subprocess.DEVNULL)
    return archive


def bmp_bytes(width, height, figure):
    with tempfile.NamedTemporaryFile(suffix='.bmp') as f:
        write_bmp24(f.name, width, height, figure)
        return Path(f.name).read_bytes()


def two_frame_archive(archive, times, name='Blink', pos=None):
    """Frame 1 an ellipse, frame 2 a block: their shapes tell which one is on screen."""
    return pack(archive, {
        'VLD.INI': definition(name, [('a.bmp', times[0]), ('b.bmp', times[1])], pos),
        'a.bmp': bmp_bytes(64, 80, ellipse_figure(64, 80)),
        'b.bmp': bmp_bytes(64, 80, block_figure(64, 80)),
    })


def two_frame_gif(path, delays, width=64, height=80):
    """An animated GIF whose frames are an ellipse and a block on transparent pixels, so that
    the window's shape tells which one is on screen."""
    ellipse, block = ellipse_figure(width, height), block_figure(width, height)

    def frame(figure, index):
        return lambda x, y: 0 if figure(x, y) == KEY else index
    Path(path).write_bytes(gif(width, height, [(frame(ellipse, 1), delays[0], 0), (frame(block, 2), delays[1], 0)],
                               [(0, 0, 0), (240, 160, 60), (40, 120, 220)]))
    return path
