#pragma once
#include <cstddef>
#include <cstdint>

// CRC-16 with the reflected polynomial 0xA001 and initial value 0, as stored in
// member headers and in the level 2/3 header-check extension.
uint16_t update_crc16(uint16_t crc, const uint8_t* data, size_t length);
