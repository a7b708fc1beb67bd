// Walks an archive the way extraction does: find the first header, then read
// headers until the end, checking each reported member lies inside the input.
#include "lha/member_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SpanSource source(data, size);
    uint64_t offset = 0;
    if (!find_header(source, 0, offset)) return 0;
    MemberHeader header;
    for (int members = 0; members < 10000; ++members) {
        const HeaderResult r = read_member_header(source, offset, header);
        if (r.kind != HeaderRead::member) break;
        if (header.data_offset > size || header.packed_size > size - header.data_offset) __builtin_trap();
        if (header.next_offset <= offset) __builtin_trap();
        offset = header.next_offset;
    }
    return 0;
}
