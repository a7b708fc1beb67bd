#include "lha/crc16.h"

#include <array>

namespace {

// Eight tables let the main loop fold eight input bytes per step; extraction of
// large members spends noticeable time here otherwise.
struct Crc16Tables {
    std::array<std::array<uint16_t, 256>, 8> t{};
    Crc16Tables() {
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t c = static_cast<uint16_t>(i);
            for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
            t[0][i] = c;
        }
        for (unsigned i = 0; i < 256; ++i) {
            for (int k = 1; k < 8; ++k) {
                uint16_t prev = t[k - 1][i];
                t[k][i] = static_cast<uint16_t>((prev >> 8) ^ t[0][prev & 0xFF]);
            }
        }
    }
};

const Crc16Tables& tables() {
    static const Crc16Tables instance;
    return instance;
}

} // namespace

uint16_t update_crc16(uint16_t crc, const uint8_t* data, size_t length) {
    const auto& t = tables().t;
    while (length >= 8) {
        uint16_t lo = static_cast<uint16_t>(crc ^ (data[0] | (data[1] << 8)));
        crc = static_cast<uint16_t>(t[7][lo & 0xFF] ^ t[6][lo >> 8] ^ t[5][data[2]] ^ t[4][data[3]] ^
                                    t[3][data[4]] ^ t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]]);
        data += 8;
        length -= 8;
    }
    while (length--) crc = static_cast<uint16_t>((crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF]);
    return crc;
}
