#include "ui/centring.h"

// C++ division truncates toward zero, which is the rounding wanted for both signs: a box one
// pixel narrower than its area lands at 0, not at 1, and one pixel wider lands at 0, not at -1.
int32_t CentredOffset(int32_t extent, int32_t size)
{
    const int64_t free_space = static_cast<int64_t>(extent) - size;
    return static_cast<int32_t>(free_space / 2);
}

CentredPoint CentredOrigin(int32_t screen_width, int32_t screen_height, int32_t width, int32_t height)
{
    return {CentredOffset(screen_width, width), CentredOffset(screen_height, height)};
}

namespace {

constexpr uint32_t kAbsoluteAlign = 0x0001;  // DS_ABSALIGN: x and y are screen coordinates
constexpr uint32_t kCentred = 0x0800;        // DS_CENTER
constexpr uint32_t kCentredOnMouse = 0x1000; // DS_CENTERMOUSE

uint32_t read32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24; }

void write32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool place_template_at_screen_origin(uint8_t* bytes, size_t size)
{
    if (!bytes || size < 4)
        return false;
    // The extended form starts with version 1 and the signature 0xFFFF; its style follows the
    // help id and the extended style. The older form starts with its style.
    const bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    const size_t style_at = extended ? 12 : 0;
    const size_t x_at = extended ? 18 : 10;
    if (size < x_at + 4)
        return false;
    const uint32_t style = read32(bytes + style_at);
    write32(bytes + style_at, (style | kAbsoluteAlign) & ~(kCentred | kCentredOnMouse));
    for (size_t i = x_at; i < x_at + 4; ++i)
        bytes[i] = 0;
    return true;
}
