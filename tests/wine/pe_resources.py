"""Resources and imports of a Windows program read from its file, as the loader finds them."""
import struct

RT_ICON_GROUP = 14
RT_VERSION = 16
RT_MANIFEST = 24


IMPORT_DIRECTORY, RESOURCE_DIRECTORY = 1, 2
PE32 = 0x10B


def _layout(data):
    """(optional header magic, data directories' offset, sections as (address, size, pointer))."""
    header = struct.unpack_from('<I', data, 0x3C)[0]
    if data[header:header + 4] != b'PE\0\0':
        raise ValueError('not a PE file')
    count, optional_size = struct.unpack_from('<H12xH', data, header + 6)
    optional = header + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (96 if magic == PE32 else 112)
    sections = []
    for index in range(count):
        entry = optional + optional_size + 40 * index
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from('<IIII', data, entry + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))
    return magic, directories, sections


def _sections(data):
    _, directories, sections = _layout(data)
    resource_rva, resource_size = struct.unpack_from('<II', data, directories + RESOURCE_DIRECTORY * 8)
    return resource_rva, resource_size, sections


def _text(data, offset):
    return data[offset:data.index(b'\0', offset)].decode('ascii')


def imports(data):
    """{library name: [function names]} the loader must find before the program runs; a
    function imported by its number is named '#number'."""
    magic, directories, sections = _layout(data)
    table_rva, table_size = struct.unpack_from('<II', data, directories + IMPORT_DIRECTORY * 8)
    found = {}
    if not table_size:
        return found
    thunk_size, by_number = (4, 1 << 31) if magic == PE32 else (8, 1 << 63)
    entry = _file_offset(table_rva, sections)
    while True:
        names_rva, _, _, library_rva, addresses_rva = struct.unpack_from('<IIIII', data, entry)
        if not library_rva:
            return found
        functions = found.setdefault(_text(data, _file_offset(library_rva, sections)), [])
        thunk = _file_offset(names_rva or addresses_rva, sections)
        while True:
            value = int.from_bytes(data[thunk:thunk + thunk_size], 'little')
            if not value:
                break
            functions.append(f'#{value & 0xFFFF}' if value & by_number else
                             _text(data, _file_offset(value & 0x7FFFFFFF, sections) + 2))
            thunk += thunk_size
        entry += 20


def _file_offset(rva, sections):
    for address, size, pointer in sections:
        if address <= rva < address + size:
            return pointer + rva - address
    raise ValueError(f'address {rva:#x} is in no section')


def _entries(data, directory):
    named, numbered = struct.unpack_from('<HH', data, directory + 12)
    for index in range(named + numbered):
        name, target = struct.unpack_from('<II', data, directory + 16 + 8 * index)
        yield name, target


def resource(data, kind, number):
    """The bytes of resource `number` of type `kind` (its first language), or None."""
    resource_rva, resource_size, sections = _sections(data)
    if not resource_size:
        return None
    root = _file_offset(resource_rva, sections)
    level = root
    for wanted in (kind, number):
        found = next((target for name, target in _entries(data, level) if name == wanted and target & 0x80000000), None)
        if found is None:
            return None
        level = root + (found & 0x7FFFFFFF)
    languages = list(_entries(data, level))
    if not languages or languages[0][1] & 0x80000000:
        return None
    entry = root + languages[0][1]
    rva, size = struct.unpack_from('<II', data, entry)
    start = _file_offset(rva, sections)
    return data[start:start + size]


def resource_numbers(data, kind):
    """The numbers of every resource of type `kind`."""
    resource_rva, resource_size, sections = _sections(data)
    if not resource_size:
        return []
    root = _file_offset(resource_rva, sections)
    for name, target in _entries(data, root):
        if name == kind and target & 0x80000000:
            return [n for n, _ in _entries(data, root + (target & 0x7FFFFFFF)) if not n & 0x80000000]
    return []
