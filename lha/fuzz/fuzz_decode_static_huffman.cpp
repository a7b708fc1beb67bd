// -lh4- to -lh7- and -lhx- share one decoder; the third input byte picks which.
#include "lha/fuzz/fuzz_common.h"
#include "lha/member_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const methods[] = {"-lh5-", "-lh6-", "-lh7-", "-lh4-", "-lhx-"};
    const uint64_t declared = declared_size(data, size);
    if (size < 1) return 0;
    const char* method = methods[data[0] % 5];
    CountingSink sink(declared);
    decode_member(method, data + 1, size - 1, declared, sink);
    return 0;
}
