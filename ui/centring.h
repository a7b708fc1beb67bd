#pragma once
#include <cstddef>
#include <cstdint>

// Where a span of `size` starts when it is centred on a span of `extent`: half the free space,
// rounded toward zero. A span larger than the extent starts before it, at a negative offset.
int32_t CentredOffset(int32_t extent, int32_t size);

struct CentredPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The top-left corner that centres a width x height box on a screen_width x screen_height area.
CentredPoint CentredOrigin(int32_t screen_width, int32_t screen_height, int32_t width, int32_t height);

// A dialog template, either form, as the property sheet hands it over before it creates the
// sheet, made to create the dialog at the screen's origin, on the primary monitor, instead of
// beside its owner or centred on its owner's monitor: a sheet whose owner is minimised would
// otherwise be made on whichever monitor the system picks, at that monitor's scaling, and laid
// out again when it is centred on the primary one. `size` counts the bytes readable from
// `bytes`; false, with nothing changed, when they are too few.
bool place_template_at_screen_origin(uint8_t* bytes, size_t size);
