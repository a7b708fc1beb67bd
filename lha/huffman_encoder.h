#pragma once
#include <cstdint>

// Code lengths of at most `limit` bits for the given symbol counts, forming a
// complete prefix code whenever two or more symbols occur (the old extractors
// reject incomplete tables). Symbols that never occur get length 0. Returns the
// number of symbols that occur.
int build_code_lengths(const uint32_t* counts, int symbols, int limit, uint8_t* lengths);

// Canonical codes for the lengths, in the order the decoder assigns them: by
// length, then by symbol number.
void assign_codes(const uint8_t* lengths, int symbols, uint16_t* codes);
