"""unlha32.dll under Wine, loaded with LoadLibraryA and called through GetProcAddress as the
program does (by the helper unlha_call.exe), on archives packed by lhapack.exe."""
import random
import shutil
from pathlib import Path

import pytest

from harness import WIN_BIN

WORK = 'C:\\work'


def windows_to_host(wine, path):
    """C:\\users\\x\\Temp\\ -> <prefix>/drive_c/users/x/Temp/"""
    assert path[:3].upper() == 'C:\\'
    return wine.prefix / 'drive_c' / path[3:].replace('\\', '/')


@pytest.fixture(scope='module')
def work(wine):
    """The helper programs beside the library, and a work folder with the files to pack."""
    for program in ('unlha_call.exe', 'lhapack.exe'):
        shutil.copy(WIN_BIN / program, wine.app_dir)
    folder = wine.prefix / 'drive_c' / 'work'
    folder.mkdir()
    rng = random.Random(3)
    files = {
        'VLD.INI': b'[Mascot]\r\nName=Tama\r\nFile0=frame0.bmp\r\nTime0=10\r\n',
        'frame0.bmp': b'BM' + bytes(rng.randrange(4) for _ in range(60000)),
        'noise.bin': bytes(rng.randrange(256) for _ in range(70000)),
        'tama.ico': bytes(range(256)) * 8,
        # A kanji whose second byte in code page 932 is 0x5C, the backslash.
        '表.bmp': b'BM table',
    }
    for name, data in files.items():
        (folder / name).write_bytes(data)
    yield folder, files
    shutil.rmtree(folder, ignore_errors=True)


def pack(wine, archive, names):
    result = wine.wine('C:\\Velmora\\lhapack.exe', f'{WORK}\\{archive}',
                       *[f'{WORK}\\{n}' for n in names])
    assert result.returncode == 0, result.stderr


def unlha(wine, archive, destination, *patterns):
    result = wine.wine('C:\\Velmora\\unlha_call.exe', 'extract', f'{WORK}\\{archive}', destination, *patterns)
    assert result.returncode == 0, result.stderr
    return int(result.stdout.decode().strip())


def temp_folder(wine):
    out = wine.wine('C:\\Velmora\\unlha_call.exe', 'temp').stdout.decode('cp932').strip()
    return windows_to_host(wine, out)


def test_whole_archive_goes_flat_into_a_new_folder(wine, work):
    folder, files = work
    pack(wine, 'tama.lzh', files)
    target = temp_folder(wine) / 'Velmo' / 'tama'
    shutil.rmtree(target.parent, ignore_errors=True)
    assert unlha(wine, 'tama.lzh', '{TEMP}Velmo\\tama\\') == 0
    assert sorted(p.name for p in target.iterdir()) == sorted(files)
    for name, data in files.items():
        assert (target / name).read_bytes() == data, name

    # A folder whose name ends in a kanji with a 0x5C second byte is one folder.
    kanji = temp_folder(wine) / 'Velmo' / '表'
    assert unlha(wine, 'tama.lzh', '{TEMP}Velmo\\表\\', 'VLD.INI') == 0
    assert (kanji / 'VLD.INI').read_bytes() == files['VLD.INI']

    # Again over the same folder: files are replaced, nothing else appears.
    (target / 'VLD.INI').write_bytes(b'old')
    assert unlha(wine, 'tama.lzh', '{TEMP}Velmo\\tama\\') == 0
    assert (target / 'VLD.INI').read_bytes() == files['VLD.INI']
    assert sorted(p.name for p in target.iterdir()) == sorted(files)


def test_name_and_icon_lookup_extracts_only_those(wine, work):
    folder, files = work
    pack(wine, 'lookup.lzh', files)
    target = temp_folder(wine) / 'Velmo'
    shutil.rmtree(target, ignore_errors=True)
    assert unlha(wine, 'lookup.lzh', '{TEMP}Velmo\\', 'VLD.INI', '*.ico') == 0
    assert sorted(p.name for p in target.iterdir()) == ['VLD.INI', 'tama.ico']

    # An archive without VLD.INI must not report success for the lookup.
    pack(wine, 'noini.lzh', ['tama.ico'])
    assert unlha(wine, 'noini.lzh', '{TEMP}Velmo\\', 'VLD.INI', '*.ico') != 0


def test_damaged_archive_fails_and_leaves_no_file(wine, work):
    folder, files = work
    pack(wine, 'cut.lzh', ['noise.bin', 'frame0.bmp'])
    data = (folder / 'cut.lzh').read_bytes()
    (folder / 'cut.lzh').write_bytes(data[:len(data) - 500])
    target = temp_folder(wine) / 'Velmo' / 'cut'
    assert unlha(wine, 'cut.lzh', '{TEMP}Velmo\\cut\\') != 0
    assert sorted(p.name for p in target.iterdir()) == ['noise.bin']


def test_each_call_is_logged_when_asked(wine, work):
    folder, files = work
    pack(wine, 'log.lzh', ['VLD.INI'])
    wine.env['VELMORA_UNLHA_LOG'] = f'{WORK}\\unlha.log'
    try:
        assert unlha(wine, 'log.lzh', '{TEMP}Velmo\\') == 0
        assert unlha(wine, 'log.lzh', '{TEMP}Velmo\\', 'VLD.INI') == 0
    finally:
        del wine.env['VELMORA_UNLHA_LOG']
    lines = (folder / 'unlha.log').read_bytes().decode('cp932').splitlines()
    assert len(lines) == 2
    assert lines[1].startswith(f'E "{WORK}\\log.lzh" "') and lines[1].endswith('VLD.INI -a1 -c1 -m1 -n1 -s1 -y1')


def test_version_resource_gives_file_version(wine, work):
    result = wine.wine('C:\\Velmora\\unlha_call.exe', 'version')
    assert result.returncode == 0
    assert result.stdout.decode().strip() == '1.00'
