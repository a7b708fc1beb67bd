#include "lha/fuzz/fuzz_common.h"
#include "lha/member_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint64_t declared = declared_size(data, size);
    CountingSink sink(declared);
    decode_lh2(data, size, declared, sink);
    return 0;
}
