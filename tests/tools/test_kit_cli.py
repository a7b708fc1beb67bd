"""velmora-kit as an author runs it: what it writes, what it refuses to write, and the preview.
Needs the native velmora-kit (VELMORA_KIT, else build/native/bin)."""
import os
import subprocess
import sys

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
    (path / 'VLD.INI').write_text(definition, encoding='utf-8')
    return path


def kit(*args):
    return subprocess.run([KIT, *map(str, args)], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


GOOD = '[VelmoraData]\nName=テスト\n[List]\nFile1=a.png\nTime1=-6\nFile2=b.png\nTime2=3\n[Pos]\nTopY=-20\n'


@pytest.mark.parametrize('definition,line', [
    (GOOD.replace('File2=b.png', 'File2=../secret.png'), 'is not in the folder'),
    (GOOD.replace('File2=b.png', 'File2=/etc/hostname'), 'is not in the folder'),
    (GOOD.replace('Time2=3', ''), 'File2 has no Time2'),
    (GOOD.replace('テスト', 'テスト〜'), 'U+301C'),
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
    assert kit('build', folder, '-o', tmp_path / 'm.lzh').returncode == 0
    warned = kit('check', tmp_path / 'm.lzh')
    assert warned.returncode == 1 and warned.stdout.startswith('warning: the anchors put the mascot off its window')
    (tmp_path / 'junk.lzh').write_bytes(b'\x00' * 100)
    broken = kit('check', tmp_path / 'junk.lzh')
    assert broken.returncode == 2 and broken.stdout.startswith('error: this is not an LHA archive')
