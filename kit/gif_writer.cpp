#include <gif_lib.h>

#include <map>

#include "kit/preview.h"

namespace {

// giflib has no text for some codes, success among them.
std::string error_text(int error)
{
    const char* text = GifErrorString(error);
    return text ? text : "error " + std::to_string(error);
}

int append_bytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A picture's own colour map: its exact colours when there are at most 256, otherwise
// giflib's quantizer over the picture.
bool picture_colours(const RgbaImage& picture, std::vector<GifColorType>& map, std::vector<GifByteType>& indices,
                     std::string& reason)
{
    const size_t count = static_cast<size_t>(picture.width) * picture.height;
    const std::vector<uint8_t>& p = picture.pixels;
    indices.assign(count, 0);
    map.clear();
    std::map<uint32_t, GifByteType> exact;
    uint32_t last_colour = 0xFFFFFFFF;
    GifByteType last_index = 0;
    bool fits = true;
    for (size_t i = 0; i < count && fits; ++i) {
        const uint32_t colour = (uint32_t(p[4 * i]) << 16) | (uint32_t(p[4 * i + 1]) << 8) | p[4 * i + 2];
        if (colour != last_colour) {
            auto found = exact.find(colour);
            if (found == exact.end()) {
                if (exact.size() == 256) {
                    fits = false;
                    break;
                }
                found = exact.emplace(colour, static_cast<GifByteType>(exact.size())).first;
                map.push_back(GifColorType{GifByteType(colour >> 16), GifByteType(colour >> 8), GifByteType(colour)});
            }
            last_colour = colour, last_index = found->second;
        }
        indices[i] = last_index;
    }
    if (fits) {
        while (map.size() < 2 || (map.size() & (map.size() - 1)))
            map.push_back(GifColorType{0, 0, 0});
        return true;
    }
    std::vector<GifByteType> red(count), green(count), blue(count);
    for (size_t i = 0; i < count; ++i)
        red[i] = p[4 * i], green[i] = p[4 * i + 1], blue[i] = p[4 * i + 2];
    int size = 256;
    map.assign(256, GifColorType{0, 0, 0});
    if (GifQuantizeBuffer(static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), &size, red.data(),
                          green.data(), blue.data(), indices.data(), map.data()) == GIF_ERROR) {
        reason = "the colours cannot be reduced to 256";
        return false;
    }
    return true;
}

bool put_delay(GifFileType* gif, int32_t delay)
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
}

// One picture as an image block with its own colour map.
bool put_picture(GifFileType* gif, const RgbaImage& picture, std::string& reason)
{
    std::vector<GifColorType> colours;
    std::vector<GifByteType> indices;
    if (!picture_colours(picture, colours, indices, reason))
        return false;
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    bool ok = map && EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, map) == GIF_OK;
    for (int y = 0; ok && y < picture.height; ++y)
        ok = EGifPutLine(gif, &indices[static_cast<size_t>(y) * picture.width], picture.width) == GIF_OK;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

bool write_gif(int32_t width, int32_t height, const std::vector<PreviewShowing>& showings,
               const PictureMaker& make_picture, std::vector<uint8_t>& out, std::string& reason)
{
    if (showings.empty()) {
        reason = "there is nothing to show";
        return false;
    }
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append_bytes, &error);
    if (!gif) {
        reason = error_text(error);
        return false;
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) == GIF_OK;
    // The application extension that makes viewers loop the animation for ever.
    static const GifByteType kLoop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
    // giflib writes each block through append_bytes at once, so a picture shown again is the
    // bytes of its image block where it was first written, copied after its new delay.
    std::map<size_t, std::pair<size_t, size_t>> written;
    for (size_t s = 0; ok && s < showings.size(); ++s) {
        ok = put_delay(gif, showings[s].delay);
        const auto found = written.find(showings[s].frame);
        if (!ok) {
            break;
        } else if (found != written.end()) {
            const std::vector<uint8_t> block(out.begin() + static_cast<std::ptrdiff_t>(found->second.first),
                                             out.begin() + static_cast<std::ptrdiff_t>(found->second.second));
            out.insert(out.end(), block.begin(), block.end());
        } else {
            const size_t start = out.size();
            const RgbaImage picture = make_picture(showings[s].frame);
            if (picture.width != width || picture.height != height)
                reason = "a picture is not the size of the scene";
            ok = reason.empty() && put_picture(gif, picture, reason);
            written[showings[s].frame] = std::make_pair(start, out.size());
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok) {
        if (reason.empty())
            reason = "the GIF cannot be written: " + error_text(error);
        return false;
    }
    return true;
}
