#pragma once

// Outcome of reading or extracting one archive member. The numbers are what the
// library entry point returns, so they must stay stable once published.
enum class LhaStatus : int {
    ok = 0,
    truncated = 0x8001,          // the archive ends inside a header or member
    bad_header = 0x8002,         // a header field is impossible or its checksum fails
    unsupported_method = 0x8003, // the member uses a compression method we do not decode
    corrupt_data = 0x8004,       // the compressed stream breaks its own rules
    crc_mismatch = 0x8005,       // the decoded data does not match the stored CRC-16
    too_large = 0x8006,          // a member or the archive exceeds the extraction cap
    unsafe_name = 0x8007,        // a member name would leave the destination or names a device
    write_failed = 0x8008,       // the destination could not be created or written
    open_failed = 0x8009,        // the archive could not be opened or read
    not_archive = 0x800A,        // no member header was found
    bad_command = 0x800B,        // the command line could not be understood
    not_found = 0x800C,          // a member named without wildcards is not in the archive
};

const char* describe_status(LhaStatus status);
