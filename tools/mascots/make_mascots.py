#!/usr/bin/env python3
"""Draws the sample mascots and writes them into a Mascots folder.

    make_mascots.py --out DIR [--packer LHAPACK] [--parts DIR]

Each animated mascot is first laid out as loose files in its own folder under --parts (frames,
VLD.INI, icon, Comment.txt, WebPage.url); with --packer those files are packed into
DIR/<name>.lzh. Still mascots are single bitmaps written straight into DIR.
Text the program reads (the definition, the comment) is written in code page 932 with CR LF
line ends, as a Japanese Windows editor would save it.
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import imagefile  # noqa: E402
import fuwari  # noqa: E402
import mike  # noqa: E402
import sprout  # noqa: E402

ARCHIVES = [
    dict(
        file='mike', module=mike, name='ミケ',
        comment=['三毛猫のミケです。', 'ウィンドウの上でのんびり、ときどき瞬きをして', 'しっぽをふりふりしています。',
                 '', 'よろしくにゃ！'],
        url='http://velmora.example/mascots/mike.html',
        # A little left of the middle, sunk five dots so her paws rest on the title bar.
        pos=[('PosX', 30), ('TopY', -(mike.HEIGHT - 5))],
    ),
    dict(
        file='fuwari', module=fuwari, name='ふわり',
        comment=['おばけのふわりです。', 'こわくないよ、ふわふわ浮かんでいるだけ。', 'うれしくなると、てをあげてにっこりします。',
                 '', 'なかよくしてね。'],
        url='http://velmora.example/mascots/fuwari.html',
        # Near the right end. The frame's lowest two rows reach into the title bar, so at rest
        # the hem hovers just above it and at the top of a bob a little higher.
        pos=[('RightX', 40), ('TopY', -(fuwari.HEIGHT - 2))],
    ),
]

# Still mascots: (file name, drawing module). Their name is their file name.
STILLS = [('Sprout.bmp', sprout)]


def windows_text(lines):
    return ''.join(line + '\r\n' for line in lines).encode('cp932')


def definition(entry, frame_names, icon_name):
    lines = ['[VelmoraData]', 'Name=' + entry['name'], 'Icon16=' + icon_name, '', '[List]']
    for n, (name, (_, stay)) in enumerate(zip(frame_names, entry['module'].FRAMES), 1):
        lines += ['File%u=%s' % (n, name), 'Time%u=%d' % (n, stay)]
    lines += ['', '[Pos]'] + ['%s=%d' % kv for kv in entry['pos']]
    return windows_text(lines)


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)
    return path


def make_archive_parts(entry, folder):
    """Writes the loose files of one animated mascot; returns their paths, definition first."""
    os.makedirs(folder, exist_ok=True)
    module = entry['module']
    frames = [imagefile.cut_to_key(module.draw(**picture)) for picture, _ in module.FRAMES]
    palette = imagefile.shared_palette(frames)
    frame_names = ['%s%d.bmp' % (entry['file'], n) for n in range(1, len(frames) + 1)]
    icon_name = entry['file'] + '.ico'
    paths = [write(os.path.join(folder, 'VLD.INI'), definition(entry, frame_names, icon_name))]
    for name, frame in zip(frame_names, frames):
        paths.append(write(os.path.join(folder, name), imagefile.bmp8(imagefile.index_frame(frame, palette), palette)))
    paths.append(write(os.path.join(folder, icon_name),
                       imagefile.ico([module.draw_icon(16), module.draw_icon(32)])))
    paths.append(write(os.path.join(folder, 'Comment.txt'), windows_text(entry['comment'])))
    paths.append(write(os.path.join(folder, 'WebPage.url'),
                       windows_text(['[InternetShortcut]', 'URL=' + entry['url']])))
    return paths


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--out', required=True, help='the Mascots folder to fill')
    parser.add_argument('--packer', help='lhapack; without it the archives are only laid out')
    parser.add_argument('--parts', help='where the loose archive files go (default: OUT/../mascot-parts)')
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    parts = os.path.abspath(args.parts or os.path.join(out, os.pardir, 'mascot-parts'))
    os.makedirs(out, exist_ok=True)
    for entry in ARCHIVES:
        paths = make_archive_parts(entry, os.path.join(parts, entry['file']))
        if args.packer:
            archive = os.path.join(out, entry['file'] + '.lzh')
            if os.path.exists(archive):
                os.remove(archive)
            subprocess.run([args.packer, archive] + paths, check=True)
    for name, module in STILLS:
        write(os.path.join(out, name), imagefile.bmp24(imagefile.cut_to_key(module.draw())))
    return 0


if __name__ == '__main__':
    sys.exit(main())
