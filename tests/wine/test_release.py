"""The release zips, one per Windows architecture: each holds that architecture's programs, and
the one of the architecture under test, unpacked into a fresh Wine prefix, starts and shows its
sample mascots."""
import struct
import subprocess
import xml.etree.ElementTree as ElementTree
import zipfile

from harness import ARCH, SOURCE, wait_until
from pe_resources import RT_ICON_GROUP, RT_MANIFEST, RT_VERSION, imports, resource, resource_numbers

PE_MACHINES = {'win32': 0x014C, 'win64': 0x8664}
PROGRAMS = ('Velmora/Velmora2.exe', 'Velmora/unlha32.dll', 'Velmora/lhapack.exe', 'Velmora/velmora-kit.exe')
EXECUTABLES = [p for p in PROGRAMS if p.endswith('.exe')]
SUPPORTED_OS = {
    '{e2011457-1546-43c5-a5fe-008deee3d3f0}',  # Vista
    '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}',  # 7
    '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',  # 8
    '{1f676c76-80e1-4239-95bb-83d0f6d0da78}',  # 8.1
    '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}',  # 10 and 11
}
ASM_V1 = '{urn:schemas-microsoft-com:asm.v1}'
ASM_V3 = '{urn:schemas-microsoft-com:asm.v3}'
COMPATIBILITY = '{urn:schemas-microsoft-com:compatibility.v1}'
SETTINGS_2005 = '{http://schemas.microsoft.com/SMI/2005/WindowsSettings}'
SETTINGS_2016 = '{http://schemas.microsoft.com/SMI/2016/WindowsSettings}'
# What Windows 7 has, library by library: every function the programs may import. A program
# that imports anything else, or from another library, would not start there. Both forms of a
# function with an ANSI and a Unicode form are listed.
WINDOWS_7_FUNCTIONS = {lib: set(names.split()) for lib, names in {
    'ole32.dll': 'CoInitializeEx CoUninitialize',
    'advapi32.dll': '''
        RegCloseKey RegCreateKeyExA RegCreateKeyExW RegDeleteKeyA RegDeleteKeyW RegDeleteValueA RegDeleteValueW
        RegEnumKeyExA RegEnumKeyExW RegEnumValueA RegEnumValueW RegOpenKeyExA RegOpenKeyExW RegQueryInfoKeyA
        RegQueryInfoKeyW RegQueryValueA RegQueryValueExA RegQueryValueExW RegQueryValueW RegSetValueExA
        RegSetValueExW''',
    'comctl32.dll': '''
        CreatePropertySheetPageA CreatePropertySheetPageW ImageList_Copy ImageList_Create ImageList_Destroy
        ImageList_GetImageCount ImageList_ReplaceIcon ImageList_SetImageCount InitCommonControls PropertySheetA
        PropertySheetW
        ImageList_GetIconSize''',
    'gdi32.dll': '''
        CombineRgn CreateFontIndirectA CreateFontIndirectW CreatePalette CreateRectRgn DeleteObject EqualRgn
        ExtCreateRegion GetDeviceCaps GetObjectA GetObjectW GetStockObject GetTextExtentPoint32A
        GetTextExtentPoint32W RealizePalette SelectObject SelectPalette SetBkColor SetBkMode SetDIBitsToDevice
        SetStretchBltMode SetTextColor StretchDIBits TextOutA TextOutW
        CreateCompatibleDC CreateDIBSection DeleteDC
        EnumFontFamiliesExW GetGlyphIndicesW''',
    'kernel32.dll': '''
        CloseHandle CompareStringW CreateDirectoryA CreateDirectoryW CreateFileA CreateFileW CreateHardLinkA
        CreateHardLinkW CreateMutexA CreateMutexW CreateSemaphoreA CreateSemaphoreW DeleteCriticalSection
        DeleteFileA DeleteFileW EnterCriticalSection ExpandEnvironmentStringsA ExpandEnvironmentStringsW
        FindClose FindFirstFileA FindFirstFileW FindFirstVolumeA FindFirstVolumeW FindNextFileA FindNextFileW
        FindNextVolumeA FindNextVolumeW FindVolumeClose FormatMessageA FormatMessageW FreeLibrary
        GetCommandLineA GetCommandLineW GetConsoleMode GetCurrentProcessId GetCurrentThreadId
        GetDiskFreeSpaceExA GetDiskFreeSpaceExW GetEnvironmentVariableA GetEnvironmentVariableW
        GetFileAttributesA GetFileAttributesW GetFileInformationByHandle GetFileSize GetFileSizeEx GetFileType
        GetFullPathNameA GetFullPathNameW GetLastError GetLocaleInfoW GetModuleFileNameA GetModuleFileNameW
        GetModuleHandleA GetModuleHandleW GetPrivateProfileIntA GetPrivateProfileIntW GetPrivateProfileStringA
        GetPrivateProfileStringW GetProcAddress GetStartupInfoA GetStartupInfoW GetStdHandle GetTempPathA
        GetTempPathW GetTickCount GetVersionExA GetVersionExW GetVolumeInformationA GetVolumeInformationW
        InitializeCriticalSection IsDBCSLeadByte IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA LoadLibraryW
        LocalFree MoveFileExA MoveFileExW MultiByteToWideChar OpenProcess RaiseException ReadFile
        ReleaseSemaphore RemoveDirectoryA RemoveDirectoryW RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx
        RtlVirtualUnwind SetEndOfFile SetFileAttributesA SetFileAttributesW SetFilePointer SetLastError
        SetUnhandledExceptionFilter Sleep TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect VirtualQuery
        WaitForSingleObject WideCharToMultiByte WriteConsoleA WriteConsoleW WriteFile WritePrivateProfileStringA
        WritePrivateProfileStringW __C_specific_handler lstrcmpA lstrcmpW lstrcmpiA lstrcmpiW lstrlenA lstrlenW
        FindResourceW GetSystemDirectoryW LoadLibraryExW LoadResource LockResource SizeofResource lstrcpynW''',
    'msvcrt.dll': '''
        ___lc_codepage_func ___mb_cur_max_func __getmainargs __initenv __iob_func __mb_cur_max __p__acmdln
        __p__commode __p__fmode __set_app_type __setusermatherr _acmdln _amsg_exit _cexit _close _commode _errno
        _fdopen _fileno _findclose _fmode _fstat64 _get_osfhandle _initterm _iob _lock _lseeki64 _onexit _read
        _stat _stat64 _telli64 _unlock _wchdir _wchmod _wfindfirst _wfindfirst64 _wfindnext _wfindnext64 _wfopen
        _wfullpath _wgetcwd _wmkdir _wopen _write _wstat64 _wutime _wutime64 abort atoi calloc exit fclose
        fflush fopen fprintf fputc fputs fread free fwrite iswctype localeconv malloc memchr memcmp memcpy
        memmove memset realloc setlocale setvbuf signal strchr strcmp strcoll strerror strftime strlen strncmp
        strncpy strtoul strxfrm tolower toupper towlower towupper vfprintf wcscat wcscmp wcscoll wcscpy wcsftime
        wcslen wcsxfrm
        strtol''',
    'shell32.dll': '''
        CommandLineToArgvW SHGetFileInfoA SHGetFileInfoW ShellExecuteA ShellExecuteW Shell_NotifyIconA
        Shell_NotifyIconW''',
    'user32.dll': '''
        BeginPaint CallWindowProcA CallWindowProcW CharNextA CharNextW CheckDlgButton ClientToScreen
        CreateWindowExA CreateWindowExW DefWindowProcA DefWindowProcW DestroyIcon DestroyMenu DestroyWindow
        DialogBoxParamA DialogBoxParamW DispatchMessageA DispatchMessageW EnableWindow EndDialog EndPaint
        EnumChildWindows EnumDisplayMonitors EnumWindows FillRect FindWindowA FindWindowW GetClassNameA
        GetClassNameW GetClientRect GetCursorPos GetDC GetDesktopWindow GetDlgItem GetDlgItemTextA
        GetDlgItemTextW GetForegroundWindow GetKeyState GetMenuItemInfoA GetMenuItemInfoW GetMessageA
        GetMessageW GetMonitorInfoA GetMonitorInfoW GetParent GetSubMenu GetSysColor GetSysColorBrush
        GetSystemMetrics GetWindow GetWindowLongA GetWindowLongPtrA GetWindowLongPtrW GetWindowLongW
        GetWindowPlacement GetWindowRect GetWindowTextA GetWindowTextW GetWindowThreadProcessId InvalidateRect
        IsDlgButtonChecked IsWindow IsWindowEnabled IsWindowVisible KillTimer LoadCursorA LoadCursorW LoadIconA
        LoadIconW LoadImageA LoadImageW LoadMenuA LoadMenuW LoadStringA LoadStringW MessageBoxW MonitorFromRect
        PostMessageA PostMessageW PostQuitMessage RegisterClassExA RegisterClassExW RegisterWindowMessageA
        RegisterWindowMessageW ReleaseCapture ReleaseDC ScreenToClient SendDlgItemMessageA SendDlgItemMessageW
        SendMessageA SendMessageW SetCapture SetCursor SetDlgItemInt SetDlgItemTextA SetDlgItemTextW SetFocus
        SetForegroundWindow SetMenuItemInfoA SetMenuItemInfoW SetTimer SetWindowContextHelpId SetWindowLongA
        SetWindowLongPtrA SetWindowLongPtrW SetWindowLongW SetWindowPos SetWindowRgn SetWindowTextA
        SetWindowTextW SetWindowsHookExW ShowWindow TrackPopupMenu TranslateMessage UnregisterClassA
        UnregisterClassW UpdateWindow WinHelpA WinHelpW WindowFromPoint wsprintfA wsprintfW
        IsIconic MapDialogRect MapWindowPoints
        DialogBoxIndirectParamW SystemParametersInfoW''',
    'version.dll': '''
        GetFileVersionInfoA GetFileVersionInfoSizeA GetFileVersionInfoSizeW GetFileVersionInfoW VerQueryValueA
        VerQueryValueW''',
}.items()}
SYSTEM_LIBRARIES = set(WINDOWS_7_FUNCTIONS)
# Functions some of those Windows lack, which the programs look up when they run instead: an
# import of any of them would keep the program from starting there.
LOOKED_UP_AT_RUN_TIME = {
    'DwmGetWindowAttribute', 'GetDpiForMonitor', 'GetDpiForSystem', 'GetDpiForWindow', 'QueryFullProcessImageNameA',
    'SHQueryUserNotificationState', 'SetProcessDpiAwarenessContext', 'SetThreadDpiAwarenessContext',
    'EnumProcesses', 'EnumProcessModules', 'GetModuleFileNameExA', 'VDMEnumTaskWOWEx', 'CreateToolhelp32Snapshot',
    'Process32First', 'Process32Next',
}


def pe_machine(data):
    """The machine field of a Windows program's file header."""
    header = struct.unpack_from('<I', data, 0x3C)[0]
    assert data[header:header + 4] == b'PE\0\0'
    return struct.unpack_from('<H', data, header + 4)[0]


def release_zips():
    paths = subprocess.run([str(SOURCE / 'scripts' / 'release.sh'), '--no-build'], check=True,
                           capture_output=True, text=True).stdout.split()
    return {arch: next(p for p in paths if p.endswith(f'-{arch}.zip')) for arch in PE_MACHINES}


def manifest_findings(manifest, program):
    """What is wrong with a program's manifest, as texts; none when it is whole."""
    root = ElementTree.fromstring(manifest)
    findings = []
    if root.tag != ASM_V1 + 'assembly':
        findings.append(f'root element {root.tag}')
    levels = [e.get('level') for e in root.iter(ASM_V3 + 'requestedExecutionLevel')]
    if levels != ['asInvoker']:
        findings.append(f'execution levels {levels}')
    systems = {e.get('Id') for e in root.iter(COMPATIBILITY + 'supportedOS')}
    if systems != SUPPORTED_OS:
        findings.append(f'supported systems {sorted(systems)}')
    if any(e.tag.endswith('activeCodePage') for e in root.iter()):
        findings.append('a code page of its own')
    own = root.find(ASM_V1 + 'assemblyIdentity')
    if own is None or own.get('processorArchitecture') != '*':
        findings.append(f'own identity {None if own is None else own.attrib}')
    if not program.endswith('Velmora2.exe'):
        return findings
    controls = [e.attrib for e in root.iter(ASM_V1 + 'assemblyIdentity')
                if e.get('name') == 'Microsoft.Windows.Common-Controls']
    wanted = {'version': '6.0.0.0', 'processorArchitecture': '*', 'publicKeyToken': '6595b64144ccf1df'}
    if len(controls) != 1 or any(controls[0].get(k) != v for k, v in wanted.items()):
        findings.append(f'common controls {controls}')
    aware = [e.text for e in root.iter(SETTINGS_2005 + 'dpiAware')]
    if aware != ['true/pm']:
        findings.append(f'dpiAware {aware}')
    awareness = [e.text for e in root.iter(SETTINGS_2016 + 'dpiAwareness')]
    if awareness != ['PerMonitorV2, PerMonitor']:
        findings.append(f'dpiAwareness {awareness}')
    return findings


def test_every_program_of_both_zips_carries_a_whole_manifest_and_the_kit_its_version_and_icon():
    for arch, zip_path in release_zips().items():
        with zipfile.ZipFile(zip_path) as archive:
            for program in EXECUTABLES:
                data = archive.read(program)
                manifest = resource(data, RT_MANIFEST, 1)
                assert manifest is not None, f'{program} of the {arch} zip has no manifest'
                assert manifest_findings(manifest, program) == [], f'{program} of the {arch} zip'
            kit = archive.read('Velmora/velmora-kit.exe')
            assert resource(kit, RT_VERSION, 1), f'the {arch} kit has no version'
            assert b'v\0e\0l\0m\0o\0r\0a\0-\0k\0i\0t\0.\0e\0x\0e' in resource(kit, RT_VERSION, 1)
            assert 102 in resource_numbers(kit, RT_ICON_GROUP), f'the {arch} kit has no program icon'


def test_a_manifest_missing_any_part_is_found_wanting():
    """The check itself: each manifest below lacks one part, and each is caught."""
    whole = (SOURCE / 'resources' / 'velmora.manifest').read_bytes()
    assert manifest_findings(whole, 'Velmora2.exe') == []
    broken = {
        'no common controls': whole.replace(b'Microsoft.Windows.Common-Controls', b'Other.Library'),
        'common controls 5': whole.replace(b'version="6.0.0.0"', b'version="5.8.0.0"'),
        'elevation': whole.replace(b'asInvoker', b'requireAdministrator'),
        'no Windows 10': whole.replace(b'8e0f7a12', b'00000000'),
        'system awareness only': whole.replace(b'true/pm', b'true'),
        'one architecture': whole.replace(b'version="2.0.0.0" processorArchitecture="*"',
                                          b'version="2.0.0.0" processorArchitecture="x86"'),
        'no per-monitor 2': whole.replace(b'PerMonitorV2, PerMonitor', b'PerMonitor'),
        'a code page': whole.replace(b'</windowsSettings>',
                                     b'<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">'
                                     b'UTF-8</activeCodePage></windowsSettings>'),
    }
    for what, manifest in broken.items():
        assert manifest != whole, what
        assert manifest_findings(manifest, 'Velmora2.exe'), what


def test_every_program_of_both_zips_needs_only_what_windows_7_has_to_start():
    for arch, zip_path in release_zips().items():
        with zipfile.ZipFile(zip_path) as archive:
            for program in PROGRAMS:
                needed = imports(archive.read(program))
                assert needed and {name.lower() for name in needed} <= SYSTEM_LIBRARIES, \
                    f'{program} of the {arch} zip needs {sorted(needed)}'
                unknown = sorted(f'{library}!{name}' for library, names in needed.items() for name in names
                                 if name not in WINDOWS_7_FUNCTIONS[library.lower()])
                assert not unknown, f'{program} of the {arch} zip imports what Windows 7 may lack: {unknown}'
                late = LOOKED_UP_AT_RUN_TIME.intersection(name for names in needed.values() for name in names)
                assert not late, f'{program} of the {arch} zip imports {sorted(late)}'
            # The reader finds what the program surely imports, so the checks above read a
            # real table.
            shell = next(names for library, names in imports(archive.read(PROGRAMS[0])).items()
                         if library.lower() == 'shell32.dll')
            assert 'Shell_NotifyIconW' in shell, f'the {arch} program imports from shell32 only {shell}'


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
