#!/usr/bin/env python3
"""Draws the sample mascots and builds them with velmora-kit into a Mascots folder.

    make_mascots.py --out DIR --kit VELMORA_KIT [--parts DIR]

Each animated mascot is first laid out as an author would lay it out, in its own folder under
--parts: PNG frames with an alpha channel, VLD.INI and Comment.txt in UTF-8, and its icon; the
kit then makes DIR/<name>.lzh of it. Still mascots are drawn as one PNG each, which the kit
turns into a bitmap in DIR.
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


def text(lines):
    return ''.join(line + '\n' for line in lines).encode('utf-8')


def definition(entry, frame_names, icon_name):
    lines = ['[VelmoraData]', 'Name=' + entry['name'], 'Icon16=' + icon_name, 'WebPage=' + entry['url'], '',
             '[List]']
    for n, (name, (_, stay)) in enumerate(zip(frame_names, entry['module'].FRAMES), 1):
        lines += ['File%u=%s' % (n, name), 'Time%u=%d' % (n, stay)]
    lines += ['', '[Pos]'] + ['%s=%d' % kv for kv in entry['pos']]
    return text(lines)


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)
    return path


def make_archive_parts(entry, folder):
    """Writes the author's folder of one animated mascot."""
    os.makedirs(folder, exist_ok=True)
    module = entry['module']
    frame_names = ['%s%d.png' % (entry['file'], n) for n in range(1, len(module.FRAMES) + 1)]
    icon_name = entry['file'] + '.ico'
    write(os.path.join(folder, 'VLD.INI'), definition(entry, frame_names, icon_name))
    for name, (picture, _) in zip(frame_names, module.FRAMES):
        write(os.path.join(folder, name), imagefile.png(module.draw(**picture)))
    write(os.path.join(folder, icon_name), imagefile.ico([module.draw_icon(16), module.draw_icon(32)]))
    write(os.path.join(folder, 'Comment.txt'), text(entry['comment']))


def build(kit, source, target):
    """Runs the kit; its notes go to the build log, and any error or warning fails the build.
    The samples are cut at half alpha, so that every program shows them, old and new."""
    run = subprocess.run([kit, 'build', source, '-o', target, '--hard-edges'], stdout=subprocess.PIPE, text=True)
    if run.returncode != 0 or 'warning:' in run.stdout:
        sys.stdout.write(run.stdout)
        raise SystemExit('velmora-kit could not build %s' % target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--out', required=True, help='the Mascots folder to fill')
    parser.add_argument('--kit', help='velmora-kit; without it the mascots are only laid out')
    parser.add_argument('--parts', help='where the loose archive files go (default: OUT/../mascot-parts)')
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    parts = os.path.abspath(args.parts or os.path.join(out, os.pardir, 'mascot-parts'))
    os.makedirs(out, exist_ok=True)
    for entry in ARCHIVES:
        folder = os.path.join(parts, entry['file'])
        make_archive_parts(entry, folder)
        if args.kit:
            build(args.kit, folder, os.path.join(out, entry['file'] + '.lzh'))
    for name, module in STILLS:
        picture = write(os.path.join(parts, os.path.splitext(name)[0] + '.png'), imagefile.png(module.draw()))
        if args.kit:
            build(args.kit, picture, os.path.join(out, name))
    return 0


if __name__ == '__main__':
    sys.exit(main())
