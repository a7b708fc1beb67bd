import pytest

from harness import WineSession


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
