"""A Wine session for the integration tests: its own Xvfb display, its own Wine prefix copied
from a prepared template, the program laid out in C:\\Velmora, and the test driver.

The architecture under test is VELMORA_WINE_ARCH (win64 unless it says win32): its build's
programs run, in a prefix of that architecture unless a test asks for another.
Everything it starts it ends again by process id, also when a test fails.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

SOURCE = Path(os.environ.get('VELMORA_SOURCE', Path(__file__).resolve().parents[2]))
ARCH = os.environ.get('VELMORA_WINE_ARCH') or 'win64'
WIN_BIN = Path(os.environ.get('VELMORA_WIN_BIN', SOURCE / 'build' / ARCH / 'bin'))
APP_DIR = 'C:\\Velmora'
PROGRAM_LOCALE = 'ja_JP.UTF-8'
# The program elsewhere: a system whose code page is not 932, with the program in a folder
# whose name code page 932 cannot hold.
ELSEWHERE = {'program_locale': 'en_US.UTF-8', 'app_folder': 'Zoë\\Velmora'}
# Debian's wrapper picks the 32-bit loader whenever its file is there, even on a kernel that
# cannot start it, so each prefix runs through its own architecture's loader.
# Faces that Windows installs with the Japanese fonts; the prefix maps them to IPA fonts.
JAPANESE_DIALOG_FACES = ('ＭＳ Ｐゴシック', 'MS PGothic', 'MS UI Gothic')
# Fonts as Wine's font channel traces their making: the dialog manager makes a dialog's font in
# proof quality from the template's face.
DIALOG_FONT_TRACE = re.compile(r'NtGdiHfontCreate \((-?\d+) 0 0 0 0 0 0 2 (\d+)\) L"((?:[^"\\]|\\.)*)"')
LOADERS = {'win64': '/usr/lib/wine/wine64', 'win32': '/usr/lib/wine/wine'}
DRIVER_DONE = b'vdriver: done'  # the driver's last words on its error output
DRIVER_BEGUN = b'vdriver: begun'  # said before the command runs
# Driver commands that only look: run again whenever a run did not reach its end. Every other
# command acts (a click, a posted message, a key, a registry write) and is run again only when
# its run never began, so that one click is never given twice.
LOOKING_COMMANDS = frozenset((
    'windows', 'info', 'text', 'region', 'placement', 'foreground-window', 'reg-dump', 'pid', 'mutex',
    'gui-resources', 'children', 'owner', 'cursor-pos', 'register-message', 'temp-path', 'version-value',
    'dlg-find', 'dlg-item', 'lv-items', 'lv-rect', 'lv-layout', 'lb-items', 'atom', 'monitors', 'text-fits',
    'reg-write-time', 'tip-text', 'dwm-attribute', 'notification-state', 'modules', 'load-cycle',
))


def dialog_faces(trace):
    """The faces of the dialog fonts a program made, in order, from Wine's trace of its fonts."""
    text = Path(trace).read_text(encoding='utf-8', errors='replace')
    return [re.sub(r'\\([0-9a-f]{4})', lambda m: chr(int(m.group(1), 16)), face)
            for _, _, face in DIALOG_FONT_TRACE.findall(text)]


def resident_kib(pid):
    """A process's resident memory in KiB, from /proc."""
    for line in Path(f'/proc/{pid}/status').read_text().splitlines():
        if line.startswith('VmRSS:'):
            return int(line.split()[1])
    return 0


def machine_runs_32bit_programs():
    """Whether this machine's kernel starts the 32-bit loader (the file alone proves nothing)."""
    try:
        return subprocess.run([LOADERS['win32'], '--version'], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=30).returncode == 0
    except OSError:
        return False


# Every bound of a wait is stretched by this factor: a bound only says when to give up, and
# a machine busy with other Wine prefixes can be many times slower than an idle one.
WAIT_SCALE = float(os.environ.get('VELMORA_WAIT_SCALE', '3'))


def what_was_seen(seen, otherwise):
    """seen() for a failure's report, or otherwise; a report must not hide the failure."""
    try:
        return seen() if seen else otherwise
    except Exception as error:
        return f'nothing readable ({error!r})'


def wait_until(condition, timeout=5.0, interval=0.05, message='condition', seen=None):
    """Polls condition() until it gives a true value, which is returned. After timeout (times
    WAIT_SCALE) it fails and tells what the last look saw: seen() when given, else condition's
    last answer."""
    timeout *= WAIT_SCALE
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            saw = what_was_seen(seen, value)
            raise AssertionError(f'timed out after {timeout} s waiting for {message}; saw {saw!r}')
        time.sleep(interval)


def stays(condition, seconds, timeout=5.0, message='condition', seen=None):
    """condition() comes true within timeout and then stays true on every look for the given
    seconds: a state the program must keep, checked only once the program has reached it."""
    wait_until(condition, timeout=timeout, message=message, seen=seen)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not condition():
            saw = what_was_seen(seen, None)
            raise AssertionError(f'{message} did not last {seconds} s; saw {saw!r}')
        time.sleep(0.05)
    return True


class Window:
    def __init__(self, line):
        parts = line.split()
        self.handle = parts[0]
        self.class_name = parts[1]
        self.rect = tuple(int(v) for v in parts[2:6])
        flags = dict(p.split('=') for p in parts[6:])
        self.visible = flags['visible'] == '1'
        self.topmost = flags['topmost'] == '1'
        self.style = int(flags['style'], 16)
        self.exstyle = int(flags['exstyle'], 16)

    def __repr__(self):
        return f'Window({self.handle} {self.class_name} {self.rect} visible={self.visible})'


class WineSession:
    def __init__(self, desktop=False, install_dll=True, prefix_arch=None, monitors=None, dpi=None,
                 program_locale=PROGRAM_LOCALE, app_folder='Velmora'):
        """monitors: [(width, height, x, y)] of X outputs, the first the primary, for a session
        of several monitors on Xorg's dummy driver instead of Xvfb (without the virtual desktop,
        which always has one monitor). program_locale is the program's own locale, which gives
        it its ANSI code page (ja_JP.UTF-8 932, en_US.UTF-8 1252); the driver and Wine's own
        programs stay in ja_JP.UTF-8. app_folder is the program's folder below C:\\."""
        self.program_locale = program_locale
        self.app_path = 'C:\\' + app_folder
        self.desktop = desktop
        self.monitors = monitors
        self.arch = prefix_arch or ARCH
        self.loader = LOADERS[self.arch]
        self.root = Path(tempfile.mkdtemp(prefix='velmora-wine-'))
        self.prefix = self.root / 'prefix'
        self.processes = []
        self.x_server = None
        template = SOURCE / 'build' / f"wine-template{'-desktop' if desktop else ''}-{self.arch}"
        subprocess.run(['flock', str(SOURCE / 'build' / '.wine-template.lock'),
                        str(SOURCE / 'scripts' / 'make-prefix.sh'), str(template),
                        'desktop' if desktop else 'plain', self.arch], check=True)
        subprocess.run(['cp', '-a', str(template), str(self.prefix)], check=True)
        if monitors:
            self._start_xorg(monitors)
        else:
            self._start_display()
        self.env = dict(os.environ)
        self.env.update({
            'WINEPREFIX': str(self.prefix), 'WINEARCH': self.arch, 'WINEDEBUG': os.environ.get('VELMORA_WINEDEBUG', '-all'),
            'WINEDLLOVERRIDES': 'mscoree,mshtml=;winemenubuilder.exe=d',
            'LC_ALL': 'ja_JP.UTF-8', 'DISPLAY': self.display,
        })
        # The server stays up for the whole session, so Wine's services start only once.
        subprocess.run(['wineserver', '-p'], env=self.env, check=True)
        if monitors:
            # Wine takes the monitors from the prefix, which a boot brings up to date.
            self.wine('wineboot', timeout=120)
        self.app_dir = self.prefix / 'drive_c' / Path(*self.app_path[3:].split('\\'))
        self.app_dir.mkdir(parents=True)
        shutil.copy(WIN_BIN / 'Velmora2.exe', self.app_dir)
        if install_dll and (WIN_BIN / 'unlha32.dll').exists():
            shutil.copy(WIN_BIN / 'unlha32.dll', self.app_dir)
        shutil.copy(WIN_BIN / 'vdriver.exe', self.prefix / 'drive_c' / 'vdriver.exe')
        self.velmora = None
        # The first program of a prefix brings up Wine's desktop and services; let that
        # settle before the program under test and the driver run side by side.
        self.driver('windows', timeout=90)
        if dpi:
            # The screen's dots per inch take effect for the server's next start.
            self.driver('reg-set', 'Control Panel\\Desktop', 'LogPixels'.encode().hex(), 4, dpi.to_bytes(4, 'little').hex())
            for step in ('-k', '-w', '-p'):
                subprocess.run(['wineserver', step], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.driver('windows', timeout=90)

    # --- display and processes -------------------------------------------------------

    def _start_display(self):
        self._start_server(['Xvfb', '-screen', '0', '1024x768x24', '-nolisten', 'tcp'])

    def _start_xorg(self, monitors):
        empty = self.root / 'xorg.conf.d'
        empty.mkdir()
        self._start_server(['Xorg', '-noreset', '-nolisten', 'tcp', '-config',
                            str(Path(__file__).with_name('xorg-dummy.conf')), '-configdir', str(empty),
                            '-logfile', str(self.root / 'xorg.log')])
        self.lay_out(monitors)

    def _start_server(self, command):
        """Starts an X server that tells its display number through a pipe."""
        read_end, write_end = os.pipe()
        self.x_server = subprocess.Popen([command[0], '-displayfd', str(write_end), *command[1:]], pass_fds=(write_end,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError(f'{command[0]} did not start')
        self.display = ':' + number

    def xrandr(self, *args):
        return subprocess.run(['xrandr', *[str(a) for a in args]], check=True, capture_output=True, text=True,
                              env={**os.environ, 'DISPLAY': self.display, 'LC_ALL': 'C'}).stdout

    def lay_out(self, monitors):
        """Sets the X outputs to the given [(width, height, x, y)], the first the primary."""
        arguments = []
        for index, (width, height, x, y) in enumerate(monitors):
            output, mode = f'DUMMY{index}', f'{width}x{height}'
            if index:
                subprocess.run(['xrandr', '--addmode', output, mode], env={**os.environ, 'DISPLAY': self.display},
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            arguments += ['--output', output, '--mode', mode, '--pos', f'{x}x{y}', *(['--primary'] if not index else [])]
        # All in one call: an output moved alone would be put back at the origin.
        self.xrandr(*arguments)
        # A plain query makes the server report the outputs just switched on as connected.
        self.xrandr('-q')

    def close(self):
        if self.velmora and self.velmora.poll() is None:
            self.velmora.kill()
        subprocess.run(['wineserver', '-k'], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(['wineserver', '-w'], env=self.env, timeout=30, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()
        if self.x_server:
            self.x_server.send_signal(signal.SIGTERM)
            self.x_server.wait()
        try:
            device = os.stat(self.prefix)
            name = f'server-{device.st_dev:x}-{device.st_ino:x}'
            for server in Path('/tmp').glob(f'wine-*/{name}'):
                shutil.rmtree(server, ignore_errors=True)
                try:
                    server.parent.rmdir()
                except OSError:
                    pass
        except FileNotFoundError:
            pass
        shutil.rmtree(self.root, ignore_errors=True)

    def wine(self, *args, timeout=30, check=False, cwd=None):
        """Runs a Wine program to its end. Output goes through files, not pipes: Wine's own
        helpers that the program may start inherit its output and would hold a pipe open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([self.loader, *args], env=self.env, stdout=out, stderr=err, timeout=timeout,
                                    check=check, cwd=cwd)
            out.seek(0)
            err.seek(0)
            result.stdout = out.read()
            result.stderr = err.read()
        return result

    def spawn(self, *args):
        process = subprocess.Popen([self.loader, *[str(a) for a in args]], env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True, encoding='cp932', errors='replace')
        self.processes.append(process)
        return process

    def spawn_reporting(self, *args, attempts=4):
        """Starts a Wine program that reports on its first line of output and stays; gives the
        process and that line. A loaded machine can fail to start a Wine program, which then
        ends without a word: such a start is made again."""
        for attempt in range(attempts):
            process = self.spawn(*args)
            line = process.stdout.readline().strip()
            if line:
                return process, line
            process.wait()
            time.sleep(0.2 * (attempt + 1))
        raise RuntimeError(f'{args} said nothing in {attempts} starts')

    # --- the program -------------------------------------------------------------------

    def install_program(self, build='Velmora2.exe'):
        """Puts a build of the program in place as Velmora2.exe: the program itself, or a test
        build such as Velmora2-row-fill.exe, whose mascot list fills one row at a time."""
        shutil.copy(WIN_BIN / build, self.app_dir / 'Velmora2.exe')

    def start_velmora(self, wait=True, first_start=False, without=(), traces=None, log=None):
        """Starts the program as on any start after a user's first: its registry root exists,
        created empty when missing. first_start leaves the registry as it is. without names
        system libraries that the program finds missing, as on an older Windows. traces names
        Wine's debug channels for the program alone (as WINEDEBUG does), written to log: a file's
        path or an open file."""
        if not first_start and self.registry() is None:
            self.driver('reg-create-unicode', 'Software\\Korrin\\Velmora2'.encode('cp932').hex())
        env = dict(self.env, LC_ALL=self.program_locale)
        if without:
            env['WINEDLLOVERRIDES'] += ';' + ','.join(without) + '=d'
        if traces:
            env['WINEDEBUG'] = traces
        log = log or os.environ.get('VELMORA_WINE_LOG', os.devnull)
        self.velmora = subprocess.Popen([self.loader, self.app_path + '\\Velmora2.exe'], env=env,
                                        stdout=subprocess.DEVNULL,
                                        stderr=log if hasattr(log, 'fileno') else open(log, 'a'))
        self.processes.append(self.velmora)
        if wait:
            wait_until(self.controller, timeout=20, message='the controller window')
        return self.velmora

    def controller(self):
        found = self.windows('Velmo2')
        return found[0] if found else None

    def exit_velmora(self, timeout=15):
        """Chooses the exit command, as the menu does, and waits for the process to end and its
        windows to go: on a busy machine Wine lists an ended process's windows a little longer,
        and a start that follows at once would take the old controller for its own."""
        controller = self.controller()
        self.driver('post', controller.handle, 0x111, 40001, 0)
        status = self.velmora.wait(timeout=timeout * WAIT_SCALE)
        wait_until(lambda: not self.windows('Velmo2'), timeout=timeout, message="the ended program's windows to go")
        return status

    def mascots(self):
        return self.windows('Mascot')

    # --- the driver ----------------------------------------------------------------------

    def driver(self, *args, timeout=30, attempts=4):
        """Runs one driver command and gives its output. A run that did not reach the driver's
        end (a loaded machine can fail to start a Wine program, or start it so late that the
        run's time runs out) is run again; after the last attempt it fails with what the last
        run left. A command that acts is run again only when its run never began. The time of a
        run is stretched like every wait: once every program of the prefix has ended, the next
        one brings Wine's desktop up again, which on a busy machine takes as long as a prefix's
        first start, and a run cut short there starts it anew."""
        left = 'nothing'
        timeout *= WAIT_SCALE
        looks = str(args[0]) in LOOKING_COMMANDS
        for attempt in range(attempts):
            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                try:
                    returncode = subprocess.run([self.loader, 'C:\\vdriver.exe', *[str(a) for a in args]], env=self.env,
                                                stdout=out, stderr=err, timeout=timeout).returncode
                    left = f'exit {returncode}'
                except subprocess.TimeoutExpired:
                    returncode, left = None, f'no end within {timeout} s'
                out.seek(0)
                err.seek(0)
                stdout, stderr = out.read(), err.read()
            if returncode == 2:
                raise RuntimeError(f'driver refused {args}: {stderr!r}')
            if returncode is not None and DRIVER_DONE in stderr:
                return stdout.decode('cp932', errors='replace')
            left += f', output {stdout!r}, errors {stderr[-300:]!r}'
            if not looks and DRIVER_BEGUN in stderr:
                raise RuntimeError(f'the driver began {args} but did not end ({left}); it acts, so it is not run again')
            time.sleep(0.2 * (attempt + 1))
        raise RuntimeError(f'the driver did not finish {args} in {attempts} runs; the last left {left}')

    def windows(self, prefix=''):
        return [Window(line) for line in self.driver('windows', prefix).splitlines() if line.strip()]

    def window(self, handle):
        out = self.driver('info', handle).strip()
        return Window(out) if out else None

    def window_text_bytes(self, handle):
        return bytes.fromhex(self.driver('text', handle).strip())

    def region(self, handle):
        lines = self.driver('region', handle).splitlines()
        if not lines or lines[0] == 'none':
            return None
        return [tuple(int(v) for v in line.split()) for line in lines[1:]]

    def target(self, x, y, width, height, title='target'):
        """A window of the driver's own, shown and brought to the front; returns its handle."""
        return self.spawn_reporting('C:\\vdriver.exe', 'target', x, y, width, height, title)[1]

    # --- registry ------------------------------------------------------------------------

    def registry(self, path='Software\\Korrin\\Velmora2'):
        """{key path: {value name: (type, data bytes)}}, or None when the key is missing."""
        out = self.driver('reg-dump', path)
        if out.strip() == 'missing':
            return None
        keys = {}
        for line in out.splitlines():
            parts = line.split('\t')
            if parts[0] == 'K':
                keys.setdefault(parts[1], {})
            elif parts[0] == 'V':
                name = bytes.fromhex(parts[2]).decode('cp932', errors='replace')
                keys.setdefault(parts[1], {})[name] = (int(parts[3]), bytes.fromhex(parts[4]))
        return keys

    def set_value(self, path, name, value):
        """A DWORD for an int, a REG_SZ (with its NUL) for a str."""
        if isinstance(value, int):
            kind, data = 4, (value & 0xFFFFFFFF).to_bytes(4, 'little')
        else:
            kind, data = 1, value.encode('cp932') + b'\0'
        self.driver('reg-set', path, name.encode('cp932').hex() or '', kind, data.hex())

    def delete_key(self, path):
        self.driver('reg-delete', path)

    # --- fonts ---------------------------------------------------------------------------

    def remove_japanese_dialog_faces(self, stand_ins=()):
        """Takes away the names under which the prefix offers a Japanese font as the dialogs'
        own face, as on a Windows without the Japanese fonts; other Japanese fonts stay.
        stand_ins: (name, font) pairs offering a font under another face's name, as Windows 10
        offers "Yu Gothic UI" whatever its language."""
        key = 'HKCU\\Software\\Wine\\Fonts\\Replacements'
        for name in JAPANESE_DIALOG_FACES:
            self.wine('reg', 'delete', key, '/v', name, '/f', check=True)
        for name, font in stand_ins:
            self.wine('reg', 'add', key, '/v', name, '/d', font, '/f', check=True)

    # --- files and pictures --------------------------------------------------------------

    def screenshot(self, path):
        """Writes the screen beside the path and then renames it into place, so a reader never
        finds a half-written picture."""
        path = Path(path)
        partial = path.with_name(f'.{path.stem}-{os.getpid()}{path.suffix}')
        subprocess.run(['import', '-display', self.display, '-window', 'root', str(partial)], check=True,
                       env={**os.environ, 'LC_ALL': 'C'})
        os.replace(partial, path)
        return path

    def xdotool(self, *args):
        subprocess.run(['xdotool', *[str(a) for a in args]], check=True, env={**os.environ, 'DISPLAY': self.display,
                                                                             'LC_ALL': 'C'})
