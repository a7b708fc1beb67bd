"""The release zip, unpacked into a fresh Wine prefix, starts and shows its sample mascots."""
import subprocess
import zipfile

from harness import SOURCE, wait_until


def test_unpacked_release_starts_and_shows_a_mascot(wine_desktop):
    wine = wine_desktop
    zip_path = subprocess.run([str(SOURCE / 'scripts' / 'release.sh'), '--no-build'], check=True,
                              capture_output=True, text=True).stdout.strip().splitlines()[-1]
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        archive.extractall(wine.prefix / 'drive_c' / 'Unpacked')
    for expected in ('Velmora/Velmora2.exe', 'Velmora/unlha32.dll', 'Velmora/Velmora2.html', 'Velmora/ReadMe.txt',
                     'Velmora/lhapack.exe', 'Velmora/Mascots/mike.lzh'):
        assert expected in names

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
