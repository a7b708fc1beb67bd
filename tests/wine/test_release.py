"""The release zips, one per Windows architecture: each holds that architecture's programs, and
the one of the architecture under test, unpacked into a fresh Wine prefix, starts and shows its
sample mascots."""
import struct
import subprocess
import zipfile

from harness import ARCH, SOURCE, wait_until

PE_MACHINES = {'win32': 0x014C, 'win64': 0x8664}
PROGRAMS = ('Velmora/Velmora2.exe', 'Velmora/unlha32.dll', 'Velmora/lhapack.exe', 'Velmora/velmora-kit.exe')


def pe_machine(data):
    """The machine field of a Windows program's file header."""
    header = struct.unpack_from('<I', data, 0x3C)[0]
    assert data[header:header + 4] == b'PE\0\0'
    return struct.unpack_from('<H', data, header + 4)[0]


def test_each_zip_holds_its_architectures_programs_and_the_unpacked_one_runs(wine_desktop):
    wine = wine_desktop
    paths = subprocess.run([str(SOURCE / 'scripts' / 'release.sh'), '--no-build'], check=True,
                           capture_output=True, text=True).stdout.split()
    zips = {arch: next(p for p in paths if p.endswith(f'-{arch}.zip')) for arch in PE_MACHINES}
    for arch, zip_path in zips.items():
        with zipfile.ZipFile(zip_path) as archive:
            names = archive.namelist()
            for expected in (*PROGRAMS, 'Velmora/Velmora2.html', 'Velmora/ReadMe.txt', 'Velmora/Mascots/mike.lzh'):
                assert expected in names, f'{expected} in the {arch} zip'
            for program in PROGRAMS:
                assert pe_machine(archive.read(program)) == PE_MACHINES[arch], f'{program} of the {arch} zip'
    with zipfile.ZipFile(zips[ARCH]) as archive:
        archive.extractall(wine.prefix / 'drive_c' / 'Unpacked')

    wine.set_value('Software\\Korrin\\Velmora2\\View', 'mike.lzh', 'mike.lzh')
    wine.velmora = wine.spawn('C:\\Unpacked\\Velmora\\Velmora2.exe')
    target = wine.target(200, 300, 500, 300)
    wine.driver('foreground', target)
    mascot = wait_until(lambda: wine.mascots(), timeout=20, message='the mascot')[0]
    wait_until(lambda: wine.region(mascot.handle) and wine.window(mascot.handle).visible, timeout=10,
               message='the mascot to stand shaped on the window')
    left, top, right, bottom = wine.window(mascot.handle).rect
    assert (right - left, bottom - top) == (108, 96), 'the kitten, extracted from the unpacked archive'
    assert (wine.prefix / 'drive_c' / 'Unpacked' / 'Velmora' / 'Plugins').is_dir()


def test_the_unpacked_kit_checks_a_sample_and_says_it_cannot_preview(wine_desktop):
    wine = wine_desktop
    folder = 'C:\\Unpacked\\Velmora\\'
    if not (wine.prefix / 'drive_c' / 'Unpacked' / 'Velmora' / 'velmora-kit.exe').exists():
        paths = subprocess.run([str(SOURCE / 'scripts' / 'release.sh'), '--no-build'], check=True,
                               capture_output=True, text=True).stdout.split()
        with zipfile.ZipFile(next(p for p in paths if p.endswith(f'-{ARCH}.zip'))) as archive:
            archive.extractall(wine.prefix / 'drive_c' / 'Unpacked')
    check = wine.wine(folder + 'velmora-kit.exe', 'check', folder + 'Mascots\\mike.lzh', timeout=60)
    assert check.returncode == 0, check.stdout
    assert check.stdout.decode('utf-8').startswith('ミケ: 7 frames')
    preview = wine.wine(folder + 'velmora-kit.exe', 'preview', folder + 'Mascots\\mike.lzh', '-o',
                        'C:\\preview.gif', timeout=60)
    assert preview.returncode == 2
    assert b'cannot write animations' in preview.stdout
    assert not (wine.prefix / 'drive_c' / 'preview.gif').exists()
