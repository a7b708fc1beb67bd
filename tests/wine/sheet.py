"""The settings sheet driven from outside: opening it through the controller's command,
finding its page and controls, reading the mascot list, clicking rows and headers."""
import struct

from harness import wait_until

ROOT = 'Software\\Korrin\\Velmora2'
WM_COMMAND, WM_KEYDOWN, BM_CLICK, BM_GETCHECK = 0x111, 0x100, 0xF5, 0xF0
CB_GETCURSEL, CB_SETCURSEL, UDM_GETPOS, UDM_GETRANGE = 0x147, 0x14E, 0x468, 0x466
PSM_SETCURSEL, LVM_GETHEADER = 0x465, 0x101F
CBN_SELCHANGE, VK_ESCAPE = 1, 0x1B


def icon_bytes(colour=(200, 40, 40)):
    """A 16 x 16 icon file of one 32-bit image, all of one opaque colour."""
    pixels = bytes((colour[2], colour[1], colour[0], 255)) * 256
    mask = bytes(4 * 16)
    image = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0) + pixels + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 22) + image


def definition_with_icons(name=None, icon16=None, icon32=None, frame='a.bmp'):
    lines = ['[VelmoraData]']
    if name is not None:
        lines.append(f'Name={name}')
    if icon16 is not None:
        lines.append(f'Icon16={icon16}')
    if icon32 is not None:
        lines.append(f'Icon32={icon32}')
    lines += ['[List]', f'File1={frame}', 'Time1=10', '[Pos]']
    return ('\r\n'.join(lines) + '\r\n').encode('cp932')


class Sheet:
    def __init__(self, wine):
        self.wine = wine
        controller = wine.controller()
        wine.driver('post', controller.handle, WM_COMMAND, 40002, 0)
        self.handle = wait_until(self._find, timeout=60, message='the settings sheet')
        self.list, self.page = wine.driver('dlg-find', self.handle, 1000).split()

    def _find(self):
        for window in self.wine.windows('#32770'):
            # The sheet shows while its page is built; it is enabled again once the list is full.
            if window.visible and not window.style & 0x08000000 and \
                    self.wine.driver('dlg-find', window.handle, 1000).strip():
                return window.handle
        return None

    def item(self, control):
        # A driver run that a loaded machine lets fail answers nothing; the next one answers.
        line = wait_until(lambda: self.wine.driver('dlg-item', self.page, control).strip('\r\n'), timeout=5,
                          message=f'control {control} of the page')
        handle, enabled, visible, text = line.split(' ')
        return {'handle': handle, 'enabled': enabled == '1', 'visible': visible == '1',
                'text': bytes.fromhex(text).decode('cp932') if text else ''}

    def send(self, control, message, wparam=0, lparam=0):
        return int(self.wine.driver('send', self.item(control)['handle'], message, wparam, lparam))

    def enabled(self, control):
        return self.item(control)['enabled']

    def checked(self, control):
        return self.send(control, BM_GETCHECK) == 1

    def click_button(self, control):
        self.send(control, BM_CLICK)

    def choose(self, control, index):
        """Selects a drop-down item and tells the page, as a choice with the mouse would."""
        handle = self.item(control)['handle']
        self.wine.driver('send', handle, CB_SETCURSEL, index, 0)
        self.wine.driver('send', self.page, WM_COMMAND, (CBN_SELCHANGE << 16) | control, int(handle, 16))

    def type_text(self, control, text):
        self.wine.driver('settext', self.item(control)['handle'], text.encode('cp932').hex())

    def rows(self):
        """[(name, file name, checked, item data, image index, selected)] in display order."""
        result = []
        for line in self.wine.driver('lv-items', self.list).splitlines():
            _, data, image, state, selected, name, path = line.split()
            decode = (lambda h: '' if h == '-' else bytes.fromhex(h).decode('utf-8'))
            result.append((decode(name), decode(path), state == '2', int(data), int(image), selected == '1'))
        return result

    def names(self):
        return [row[0] for row in self.rows()]

    def click_row(self, index):
        left, top, right, bottom = (int(v) for v in self.wine.driver('lv-rect', self.list, index).split())
        # Alternate points, further apart than a double click allows, as for the header.
        self.row_clicks = getattr(self, 'row_clicks', 0) + 1
        x = left + (right - left) * (1 + self.row_clicks % 2) // 3
        self.wine.xdotool('mousemove', x, (top + bottom) // 2, 'click', '1')

    def click_empty(self):
        rect = self.wine.window(self.list).rect
        self.wine.xdotool('mousemove', rect[0] + 20, rect[3] - 12, 'click', '1')

    def click_header(self, column=0):
        header = self.wine.driver('send', self.list, LVM_GETHEADER, 0, 0).strip()
        rect = self.wine.window(format(int(header), 'x')).rect
        # Clicks alternate between two points further apart than a double click allows, so
        # that quick clicks on one header stay single clicks.
        self.header_clicks = getattr(self, 'header_clicks', 0) + 1
        offset = 6 + 8 * (self.header_clicks % 2)
        self.wine.xdotool('mousemove', rect[0] + offset if column == 0 else rect[2] - offset,
                          (rect[1] + rect[3]) // 2, 'click', '1')

    def show_page(self, index):
        self.wine.driver('send', self.handle, PSM_SETCURSEL, index, 0)

    def close(self, how='button'):
        if how == 'button':
            self.wine.driver('send', self.wine.driver('dlg-item', self.handle, 1).split()[0], BM_CLICK, 0, 0)
        elif how == 'escape':
            self.wine.driver('post', self.handle, WM_KEYDOWN, VK_ESCAPE, 0)
        elif how == 'close-box':
            self.wine.driver('post', self.handle, 0x10, 0, 0)
        wait_until(lambda: not self.wine.window(self.handle), timeout=10, message='the sheet to close')
