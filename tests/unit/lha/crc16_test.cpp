#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lha/crc16.h"

namespace {

// One bit at a time, straight from the polynomial: the reference the table-driven
// version must agree with at every length and alignment.
uint16_t bitwise_crc16(const uint8_t* data, size_t length) {
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

uint16_t crc_of(const std::string& text) {
    return update_crc16(0, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

} // namespace

TEST(Crc16, KnownValues) {
    struct Row {
        std::string input;
        uint16_t crc;
    };
    const Row rows[] = {
        {"", 0x0000},
        {"123456789", 0xBB3D},      // the standard check value of CRC-16/ARC
        {"A", 0x30C0},
        {std::string(1, '\0'), 0x0000},
    };
    for (const Row& row : rows) EXPECT_EQ(crc_of(row.input), row.crc) << row.input;
}

TEST(Crc16, AgreesWithBitwiseAtEveryLengthAndSplit) {
    std::vector<uint8_t> data(300);
    uint32_t x = 12345;
    for (auto& b : data) {
        x = x * 1103515245 + 12345;
        b = static_cast<uint8_t>(x >> 16);
    }
    for (size_t length = 0; length <= data.size(); length += 7) {
        const uint16_t expected = bitwise_crc16(data.data(), length);
        EXPECT_EQ(update_crc16(0, data.data(), length), expected) << length;
        // Chunked updates, as the extractor feeds them, give the same result.
        const size_t split = length / 3;
        EXPECT_EQ(update_crc16(update_crc16(0, data.data(), split), data.data() + split, length - split), expected);
    }
}
