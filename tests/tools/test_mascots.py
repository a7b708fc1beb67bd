"""The sample mascots as the program will meet them: drawn into a temporary folder as PNG frames,
built with velmora-kit, extracted again with lhasa, and every file checked against the formats
the program accepts. Needs lhasa's `lha` and the native velmora-kit and unlha (VELMORA_KIT and
VELMORA_UNLHA, else build/native/bin)."""
import configparser
import os
import struct
import subprocess
import sys

import pytest

SOURCE = os.environ.get('VELMORA_SOURCE', os.path.join(os.path.dirname(__file__), '..', '..'))
KIT = os.environ.get('VELMORA_KIT', os.path.join(SOURCE, 'build', 'native', 'bin', 'velmora-kit'))
UNLHA = os.environ.get('VELMORA_UNLHA', os.path.join(os.path.dirname(KIT), 'unlha'))
GENERATOR = os.path.join(SOURCE, 'tools', 'mascots', 'make_mascots.py')
ARCHIVES = ['mike', 'fuwari']
STILLS = ['Sprout.bmp']


@pytest.fixture(scope='module')
def made(tmp_path_factory):
    top = tmp_path_factory.mktemp('mascots')
    subprocess.run([sys.executable, GENERATOR, '--out', str(top / 'Mascots'), '--parts', str(top / 'parts'),
                    '--kit', KIT], check=True)
    extracted = {}
    for name in ARCHIVES:
        dest = top / 'extracted' / name
        dest.mkdir(parents=True)
        subprocess.run(['lha', 'xq', str(top / 'Mascots' / (name + '.lzh'))], cwd=dest, check=True)
        extracted[name] = {f: (dest / f).read_bytes() for f in os.listdir(dest)}
    return top, extracted


def read_bitmap(data):
    """Checks the file against the accepted frame format; returns (width, height, bits, colour
    table, rows bottom-up as lists of pixel values)."""
    assert data[:2] == b'BM'
    file_size, offset = struct.unpack_from('<I4xI', data, 2)
    assert file_size == len(data)
    header, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    colours_used = struct.unpack_from('<I', data, 46)[0]
    assert (header, compression) == (40, 0)
    assert width > 0 and height > 0, 'frames must be bottom-up'
    assert bits in (8, 24)
    count = colours_used or (256 if bits == 8 else 0)
    assert count <= 256
    # The program takes the rows to follow the colour table directly, whatever the offset says.
    assert offset == 54 + 4 * count
    table = [(data[56 + 4 * i], data[55 + 4 * i], data[54 + 4 * i]) for i in range(count)]
    stride = (width * bits + 31) // 32 * 4
    assert len(data) == offset + stride * height
    rows = []
    for k in range(height):
        raw = data[offset + k * stride: offset + (k + 1) * stride]
        if bits == 8:
            row = list(raw[:width])
            assert max(row) < count
        else:
            row = [(raw[3 * x + 2], raw[3 * x + 1], raw[3 * x]) for x in range(width)]
        rows.append(row)
    return width, height, bits, table, rows


def colour_of(value, table):
    return table[value] if table else value


def check_frame(data):
    width, height, bits, table, rows = read_bitmap(data)
    key = rows[0][0]
    corners = [rows[0][0], rows[0][-1], rows[-1][0], rows[-1][-1]]
    assert corners == [key] * 4, 'every corner of a frame is background'
    drawn = [v for row in rows for v in row if v != key]
    assert 0.15 * width * height < len(drawn) < 0.85 * width * height
    # The cut is exact by value, so a colour near the key on a drawn pixel is a fringe that
    # anti-aliasing into the background would leave around the character.
    kr, kg, kb = colour_of(key, table)
    near = [v for v in set(drawn) if sum(abs(a - b) for a, b in zip(colour_of(v, table), (kr, kg, kb))) < 120]
    assert not near, 'drawn pixels close to the background colour: %r' % [colour_of(v, table) for v in near]
    return width, height, bits


def definition(files):
    ini = configparser.ConfigParser(interpolation=None)
    ini.read_string(files['VLD.INI'].decode('cp932'))
    return ini


@pytest.mark.parametrize('name', ARCHIVES)
def test_lhasa_extracts_what_the_program_extracts(made, name):
    top, extracted = made
    ours = top / 'ours' / name
    ours.mkdir(parents=True)
    subprocess.run([UNLHA, 'E', str(top / 'Mascots' / (name + '.lzh')), str(ours) + '/', '*.*'], check=True,
                   stdout=subprocess.DEVNULL)
    assert sorted(extracted[name]) == sorted(os.listdir(ours))
    for member, data in extracted[name].items():
        assert data == (ours / member).read_bytes(), member
    assert {'VLD.INI', 'Comment.txt', 'WebPage.url', name + '.ico'} <= set(extracted[name])


@pytest.mark.parametrize('file', [name + '.lzh' for name in ARCHIVES] + STILLS)
def test_kit_check_passes(made, file):
    run = subprocess.run([KIT, 'check', str(made[0] / 'Mascots' / file)], stdout=subprocess.PIPE, text=True)
    assert run.returncode == 0, run.stdout
    assert run.stdout.count('\n') == 1, 'only the summary line: ' + run.stdout


@pytest.mark.parametrize('name', ARCHIVES)
def test_definition_lists_every_frame_with_a_time(made, name):
    files = made[1][name]
    assert b'\r\n' in files['VLD.INI'] and b'\n' not in files['VLD.INI'].replace(b'\r\n', b'')
    ini = definition(files)
    shown = ini['VelmoraData']['Name']
    assert shown and shown != 'NoData' and not shown.isascii(), 'a Japanese name'
    frames, times = [], []
    n = 1
    while 'File%u' % n in ini['List']:
        frames.append(ini['List']['File%u' % n])
        times.append(int(ini['List']['Time%u' % n]))
        n += 1
    assert len(ini['List']) == 2 * len(frames), 'no gap in the numbering'
    assert 4 <= len(frames) <= 8
    assert all(t != 9999 for t in times)
    assert any(t < 0 for t in times), 'a random stay'
    assert len(set(times)) > 1
    bitmaps = {f for f in files if f.lower().endswith('.bmp')}
    assert set(frames) == bitmaps, 'every frame listed, and only frames'
    sizes = {check_frame(files[f])[:2] for f in frames}
    assert len(sizes) == 1, 'all frames the size of the window'


@pytest.mark.parametrize('name', ARCHIVES)
def test_anchor_is_not_the_default(made, name):
    ini = definition(made[1][name])
    pos = {k.lower(): int(v) for k, v in ini['Pos'].items()}
    assert pos and all(v != 9999 for v in pos.values())
    assert set(pos) & {'posx', 'leftx', 'rightx'}
    assert pos.get('posx', 75) != 75 or set(pos) & {'leftx', 'rightx'}


@pytest.mark.parametrize('name', ARCHIVES)
def test_icon_holds_a_16_pixel_image(made, name):
    files = made[1][name]
    icon = files[definition(files)['VelmoraData']['Icon16']]
    reserved, kind, count = struct.unpack_from('<HHH', icon)
    assert (reserved, kind) == (0, 1) and count >= 1
    sizes = []
    for i in range(count):
        w, h, _, _, _, bits, length, offset = struct.unpack_from('<BBBBHHII', icon, 6 + 16 * i)
        assert offset + length <= len(icon)
        header, iw, ih = struct.unpack_from('<Iii', icon, offset)
        assert (header, iw, ih) == (40, w or 256, 2 * (h or 256))
        stride = (w + 31) // 32 * 4
        assert length == 40 + w * h * bits // 8 + stride * h
        sizes.append(w)
    assert 16 in sizes


@pytest.mark.parametrize('name', ARCHIVES)
def test_comment_and_web_page(made, name):
    files = made[1][name]
    comment = files['Comment.txt']
    assert b'\0' not in comment
    assert comment.count(b'\n') == comment.count(b'\r\n') >= 2
    comment.decode('cp932')
    link = configparser.ConfigParser(interpolation=None)
    link.read_string(files['WebPage.url'].decode('cp932'))
    url = link['InternetShortcut']['URL']
    assert url.startswith('http://') and len(url) <= 254


@pytest.mark.parametrize('still', STILLS)
def test_still_mascot(made, still):
    check_frame((made[0] / 'Mascots' / still).read_bytes())


sys.path.insert(0, os.path.join(SOURCE, 'tools', 'mascots'))
import imagefile  # noqa: E402

# Odd widths exercise the row padding that the shipped frames never need: (width, height).
PADDING_CASES = [(1, 1), (2, 3), (3, 2), (5, 4), (7, 1)]


def tiny_picture(width, height):
    """A few distinct colours, transparent at the bottom-left and at one more pixel."""
    picture = [[(10 * x + 3, 20 * y + 5, 7, 1.0) for x in range(width)] for y in range(height)]
    picture[-1][0] = (0, 0, 0, 0.0)
    picture[0][-1] = (255, 255, 255, 0.2)
    return picture


@pytest.mark.parametrize('width,height', PADDING_CASES)
def test_still_built_from_a_png_round_trips(tmp_path, width, height):
    source = tmp_path / 'tiny.png'
    source.write_bytes(imagefile.png(tiny_picture(width, height)))
    run = subprocess.run([KIT, 'build', str(source), '-o', str(tmp_path / 'tiny.bmp'), '--hard-edges'],
                         stdout=subprocess.PIPE, text=True)
    # The single dot is the transparent corner, so its check warns of an empty shape; the rest are sound.
    assert run.returncode == (1 if (width, height) == (1, 1) else 0), run.stdout
    w, h, bits, table, rows = read_bitmap((tmp_path / 'tiny.bmp').read_bytes())
    assert (w, h, bits) == (width, height, 8)
    key = rows[0][0]
    seen = [[None if v == key else colour_of(v, table) for v in row] for row in reversed(rows)]
    wanted = [[p[:3] if p[3] >= 0.5 else None for p in row] for row in tiny_picture(width, height)]
    assert seen == wanted
