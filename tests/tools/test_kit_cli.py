"""velmora-kit as an author runs it: what it writes, what it refuses to write, and the preview.
Needs the native velmora-kit (VELMORA_KIT, else build/native/bin)."""
import os
import resource
import shutil
import struct
import subprocess
import sys
import zlib

import pytest

SOURCE = os.environ.get('VELMORA_SOURCE', os.path.join(os.path.dirname(__file__), '..', '..'))
KIT = os.environ.get('VELMORA_KIT', os.path.join(SOURCE, 'build', 'native', 'bin', 'velmora-kit'))
sys.path.insert(0, os.path.join(SOURCE, 'tools', 'mascots'))
import imagefile  # noqa: E402


def disc(size, colour):
    return [[colour + (1.0 if (x - size / 2) ** 2 + (y - size / 2) ** 2 < (size / 2 - 1) ** 2 else 0.0,)
             for x in range(size)] for y in range(size)]


def author_folder(path, definition):
    path.mkdir()
    (path / 'a.png').write_bytes(imagefile.png(disc(24, (200, 40, 40))))
    (path / 'b.png').write_bytes(imagefile.png(disc(24, (40, 40, 200))))
    # Two files here, but one on Windows, whose file systems fold the case of Greek letters.
    (path / 'α.png').write_bytes(imagefile.png(disc(24, (40, 200, 40))))
    (path / 'Α.png').write_bytes(imagefile.png(disc(24, (200, 200, 40))))
    (path / 'VLD.INI').write_text(definition, encoding='utf-8')
    return path


def kit(*args, memory_limit=None):
    def limit():
        resource.setrlimit(resource.RLIMIT_AS, (memory_limit, memory_limit))
    return subprocess.run([KIT, *map(str, args)], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          preexec_fn=limit if memory_limit else None)


def flat_png(width, height, row):
    """An RGBA PNG of `height` rows, each made by row(y) as bytes; quick at any size."""
    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data))
    raw = b''.join(b'\x00' + row(y) for y in range(height))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 1)) + chunk(b'IEND', b''))


GOOD = '[VelmoraData]\nName=テスト\n[List]\nFile1=a.png\nTime1=-6\nFile2=b.png\nTime2=3\n[Pos]\nTopY=-20\n'


@pytest.mark.parametrize('definition,line', [
    (GOOD.replace('File2=b.png', 'File2=../secret.png'), 'is not in the folder'),
    (GOOD.replace('File2=b.png', 'File2=/etc/hostname'), 'is not in the folder'),
    (GOOD.replace('Time2=3', ''), 'File2 has no Time2'),
    (GOOD.replace('テスト', 'テスト〜'), 'U+301C'),
    (GOOD.replace('File1=a.png', 'File1=α.png').replace('File2=b.png', 'File2=Α.png'),
     'would be stored as "Α.bmp", the name of another frame'),
    (GOOD.replace('TopY=-20', 'UnderY=40000'), 'UnderY=40000 lies outside -32768 to 32767'),
    (GOOD.replace('TopY=-20', 'LeftX=-2147483648'), 'LeftX=-2147483648 lies outside'),
])
def test_a_faulty_folder_writes_no_archive(tmp_path, definition, line):
    (tmp_path / 'secret.png').write_bytes(imagefile.png(disc(8, (1, 2, 3))))
    folder = author_folder(tmp_path / 'm', definition)
    run = kit('build', folder, '-o', tmp_path / 'm.lzh')
    assert run.returncode == 2
    assert line in run.stdout
    assert not (tmp_path / 'm.lzh').exists() and not (tmp_path / 'm.lzh.part').exists()


def test_build_then_check_then_preview(tmp_path):
    folder = author_folder(tmp_path / 'm', GOOD)
    built = kit('build', folder, '-o', tmp_path / 'm.lzh')
    assert built.returncode == 0, built.stdout
    assert 'note: no icon is named: icon16.ico is made from the first frame' in built.stdout
    check = kit('check', tmp_path / 'm.lzh')
    assert (check.returncode, check.stdout) == (0, 'テスト: 2 frames, a round of 0.4 s to 0.8 s, 24x24, members -lh5- x4\n')
    preview = kit('preview', tmp_path / 'm.lzh', '-o', tmp_path / 'p.gif', '--seed', 7)
    assert preview.returncode == 0, preview.stdout
    gif = (tmp_path / 'p.gif').read_bytes()
    assert gif[:6] == b'GIF89a' and b'NETSCAPE2.0' in gif
    # Every picture's delay is a whole number of mascot ticks of 100 ms.
    delays = [int.from_bytes(gif[i + 4:i + 6], 'little') for i in range(len(gif) - 8)
              if gif[i:i + 3] == b'\x21\xf9\x04']
    assert len(delays) >= 2 and all(d % 10 == 0 and d > 0 for d in delays)
    again = kit('preview', tmp_path / 'm.lzh', '-o', tmp_path / 'q.gif', '--seed', 7)
    assert again.returncode == 0 and (tmp_path / 'q.gif').read_bytes() == gif, 'the same seed, the same run'


def test_check_exit_status_tells_warnings_from_errors(tmp_path):
    folder = author_folder(tmp_path / 'm', GOOD.replace('[Pos]\nTopY=-20', '[Pos]\nTopY=-500'))
    built = kit('build', folder, '-o', tmp_path / 'm.lzh')
    assert built.returncode == 1, 'the build warns as its own check does'
    assert 'warning: the anchors put the mascot off its window' in built.stdout
    assert (tmp_path / 'm.lzh').exists(), 'a mascot with warnings is still written'
    warned = kit('check', tmp_path / 'm.lzh')
    assert warned.returncode == 1 and warned.stdout.startswith('warning: the anchors put the mascot off its window')
    (tmp_path / 'junk.lzh').write_bytes(b'\x00' * 100)
    broken = kit('check', tmp_path / 'junk.lzh')
    assert broken.returncode == 2 and broken.stdout.startswith('error: this is not an LHA archive')


def test_a_large_mascots_preview_stays_within_a_memory_bound(tmp_path):
    side = 2048
    opaque = {colour: bytes(colour + (255,)) * side for colour in ((200, 40, 40), (40, 40, 200))}
    folder = tmp_path / 'big'
    folder.mkdir()
    clear = b'\x00' * 4 * side
    for name, colour in (('a.png', (200, 40, 40)), ('b.png', (40, 40, 200))):
        # A block standing on a transparent strip, so the canvas keeps its size.
        (folder / name).write_bytes(flat_png(side, side, lambda y, c=colour: clear if y >= side - 64 else opaque[c]))
    (folder / 'VLD.INI').write_text('[VelmoraData]\nName=Big\n[List]\nFile1=a.png\nTime1=1\nFile2=b.png\nTime2=1\n'
                                    '[Pos]\nTopY=-40\n', encoding='utf-8')
    built = kit('build', folder, '-o', tmp_path / 'big.lzh')
    assert built.returncode == 0, built.stdout
    # Every picture of the scene kept at once took gigabytes; one at a time takes some tens of MB.
    preview = kit('preview', tmp_path / 'big.lzh', '-o', tmp_path / 'big.gif', memory_limit=512 << 20)
    assert preview.returncode == 0, (preview.returncode, preview.stdout, preview.stderr[-500:])
    gif = (tmp_path / 'big.gif').read_bytes()
    assert gif[:6] == b'GIF89a'
    width, height = struct.unpack('<HH', gif[6:10])
    assert side < width <= side + 2 * 256 + 24 and side < height <= side + 2 * 256 + 24, (width, height)


def test_names_outside_ascii_are_code_page_932_members(tmp_path):
    folder = tmp_path / 'ミケ'
    folder.mkdir()
    (folder / 'ミケ1.png').write_bytes(imagefile.png(disc(24, (200, 40, 40))))
    (folder / 'VLD.INI').write_text('[VelmoraData]\nName=ミケ\n[List]\nFile1=ミケ1.png\nTime1=5\n', encoding='utf-8')
    built = kit('build', folder, '-o', tmp_path / 'ミケ.lzh')
    assert built.returncode == 0, built.stdout
    # The archive's members, extracted with their names read as code page 932, are a mascot
    # folder that checks as the archive does.
    raw = tmp_path / 'raw'
    raw.mkdir()
    subprocess.run(['lha', 'xq', str(tmp_path / 'ミケ.lzh')], cwd=raw, check=True)
    extracted = tmp_path / '展開'
    extracted.mkdir()
    names = []
    for name in os.listdir(bytes(raw)):
        names.append(name.decode('cp932'))
        shutil.copy(os.path.join(bytes(raw), name), extracted / names[-1])
    assert 'ミケ1.bmp' in names
    check = kit('check', extracted)
    assert (check.returncode, check.stdout) == (0, 'ミケ: 1 frame, 24x24\n')
