#include "lha/status.h"

const char* describe_status(LhaStatus status) {
    switch (status) {
    case LhaStatus::ok: return "ok";
    case LhaStatus::truncated: return "archive is truncated";
    case LhaStatus::bad_header: return "bad member header";
    case LhaStatus::unsupported_method: return "unsupported compression method";
    case LhaStatus::corrupt_data: return "corrupt compressed data";
    case LhaStatus::crc_mismatch: return "CRC mismatch";
    case LhaStatus::too_large: return "member exceeds the size cap";
    case LhaStatus::unsafe_name: return "unsafe member name";
    case LhaStatus::write_failed: return "cannot write output";
    case LhaStatus::open_failed: return "cannot read archive";
    case LhaStatus::not_archive: return "not an LHA archive";
    case LhaStatus::bad_command: return "malformed command line";
    case LhaStatus::not_found: return "named member not in archive";
    }
    return "unknown error";
}
