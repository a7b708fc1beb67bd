import pytest

from harness import ELSEWHERE, WineSession


@pytest.fixture(scope='module')
def wine():
    """One display and one fresh Wine prefix for every test file."""
    session = WineSession()
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


def desktop_session(request):
    """The virtual-desktop session a test asks for by its parameter: 'ja' (the default) or
    'elsewhere'."""
    where = getattr(request, 'param', 'ja')
    return request.getfixturevalue('wine_desktop_elsewhere' if where == 'elsewhere' else 'wine_desktop')


# Runs a test once as on Japanese Windows and once elsewhere; the expected values are the same.
LOCALES = pytest.mark.parametrize('wine', ['ja', 'elsewhere'], indirect=True)
