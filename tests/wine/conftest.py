import pytest

from harness import ELSEWHERE, WineSession


@pytest.fixture(scope='module')
def wine():
    """One display and one fresh Wine prefix for every test file."""
    session = WineSession()
    yield session
    session.close()


@pytest.fixture(scope='module')
def wine_elsewhere():
    """As wine, with the program on a system of another language (code page 1252) and in a
    folder whose name code page 932 cannot hold."""
    session = WineSession(**ELSEWHERE)
    yield session
    session.close()


@pytest.fixture(scope='module')
def wine_desktop():
    """As wine, with Wine's virtual desktop, which has a visible taskbar and tray."""
    session = WineSession(desktop=True)
    yield session
    session.close()


@pytest.fixture(scope='module')
def wine_desktop_elsewhere():
    """As wine_desktop, with the program on a system of another language (code page 1252) and
    in a folder whose name code page 932 cannot hold."""
    session = WineSession(desktop=True, **ELSEWHERE)
    yield session
    session.close()


@pytest.fixture(scope='module')
def wine_desktop_utf8():
    """As wine_desktop, with a test build of the program that runs in code page 65001, as on
    Japanese Windows with UTF-8 for worldwide language support turned on, in a folder whose
    name code page 932 cannot hold."""
    session = WineSession(desktop=True, app_folder=ELSEWHERE['app_folder'])
    session.install_program('Velmora2-utf8.exe')
    yield session
    session.close()


def desktop_session(request):
    """The virtual-desktop session a test asks for by its parameter: 'ja' (the default),
    'elsewhere' or 'utf8'."""
    where = getattr(request, 'param', 'ja')
    return request.getfixturevalue({'elsewhere': 'wine_desktop_elsewhere', 'utf8': 'wine_desktop_utf8'}.get(
        where, 'wine_desktop'))


# Runs a test as on Japanese Windows, as on Windows of another language and in code page
# 65001; the expected values are the same.
LOCALE_NAMES = ['ja', 'elsewhere', 'utf8']
LOCALES = pytest.mark.parametrize('wine', LOCALE_NAMES, indirect=True)
