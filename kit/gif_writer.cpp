#include <gif_lib.h>

#include <map>

#include "kit/preview.h"

namespace {

int append_bytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// One colour map for the whole animation: the exact colours when there are at most 256,
// otherwise giflib's quantizer over all frames stacked.
bool shared_colours(const std::vector<PreviewFrame>& frames, std::vector<GifColorType>& map,
                    std::vector<GifByteType>& indices, std::string& reason)
{
    const size_t per_frame = static_cast<size_t>(frames[0].picture.width) * frames[0].picture.height;
    indices.resize(per_frame * frames.size());
    std::map<uint32_t, GifByteType> exact;
    bool fits = true;
    for (size_t f = 0; f < frames.size() && fits; ++f) {
        const std::vector<uint8_t>& p = frames[f].picture.pixels;
        for (size_t i = 0; i < per_frame; ++i) {
            const uint32_t colour = (p[4 * i] << 16) | (p[4 * i + 1] << 8) | p[4 * i + 2];
            auto found = exact.find(colour);
            if (found == exact.end()) {
                if (exact.size() == 256) {
                    fits = false;
                    break;
                }
                found = exact.emplace(colour, static_cast<GifByteType>(exact.size())).first;
                map.push_back(GifColorType{GifByteType(colour >> 16), GifByteType(colour >> 8), GifByteType(colour)});
            }
            indices[f * per_frame + i] = found->second;
        }
    }
    if (fits) {
        while (map.size() < 2 || (map.size() & (map.size() - 1)))
            map.push_back(GifColorType{0, 0, 0});
        return true;
    }
    std::vector<GifByteType> red(indices.size()), green(indices.size()), blue(indices.size());
    for (size_t f = 0; f < frames.size(); ++f)
        for (size_t i = 0; i < per_frame; ++i) {
            const uint8_t* p = &frames[f].picture.pixels[4 * i];
            red[f * per_frame + i] = p[0], green[f * per_frame + i] = p[1], blue[f * per_frame + i] = p[2];
        }
    int size = 256;
    map.assign(256, GifColorType{0, 0, 0});
    if (indices.size() > 0x7FFFFFFF ||
        GifQuantizeBuffer(static_cast<unsigned>(per_frame), static_cast<unsigned>(frames.size()), &size, red.data(),
                          green.data(), blue.data(), indices.data(), map.data()) == GIF_ERROR) {
        reason = "the colours cannot be reduced to 256";
        return false;
    }
    return true;
}

}  // namespace

bool write_gif(const std::vector<PreviewFrame>& frames, std::vector<uint8_t>& out, std::string& reason)
{
    if (frames.empty()) {
        reason = "there is nothing to show";
        return false;
    }
    std::vector<GifColorType> colours;
    std::vector<GifByteType> indices;
    if (!shared_colours(frames, colours, indices, reason))
        return false;
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append_bytes, &error);
    if (!gif) {
        reason = GifErrorString(error);
        return false;
    }
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    const int width = frames[0].picture.width, height = frames[0].picture.height;
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    // The application extension that makes viewers loop the animation for ever.
    static const GifByteType kLoop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
    const size_t per_frame = static_cast<size_t>(width) * height;
    for (size_t f = 0; ok && f < frames.size(); ++f) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = frames[f].delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < height; ++y)
            ok = EGifPutLine(gif, &indices[f * per_frame + static_cast<size_t>(y) * width], width) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok) {
        reason = std::string("the GIF cannot be written: ") + GifErrorString(error);
        return false;
    }
    return true;
}
