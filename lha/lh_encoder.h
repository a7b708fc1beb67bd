#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The block-coded methods the packer writes; each names its window and distance
// alphabet the way the decoder reads them.
enum class PackMethod { lh5, lh6, lh7 };

const char* method_id(PackMethod method);

// Compresses `data` into the method's stream. Matches are found with hash chains
// and one step of lazy evaluation.
std::vector<uint8_t> encode_lh(const uint8_t* data, size_t length, PackMethod method);
