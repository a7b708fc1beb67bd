#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>

#include "kit/mascot_check.h"
#include "kit/preview.h"
#include "kit_fixtures.h"

namespace {

const std::vector<std::string> kOpen = {"rrrr", "rwwr", ".rr."};
const std::vector<std::string> kShut = {"rrrr", "rrrr", ".rr."};

LoadedMascot mascot_of(const std::string& list, const Members& frames, const std::string& pos = "")
{
    Members members = frames;
    members.emplace_back("VLD.INI", bytes_of("[VelmoraData]\r\nName=a\r\n[List]\r\n" + list + pos));
    const std::vector<uint8_t> archive = archive_of(members);
    return check_archive(archive.data(), archive.size(), ExtractLimits()).mascot;
}

// A mascot of the given size whose frames the plan never draws: it reads only sizes, times,
// anchors and which bitmaps are alike.
LoadedMascot sized(int32_t width, int32_t height, std::vector<std::vector<uint8_t>> bitmaps, int32_t time)
{
    LoadedMascot mascot;
    mascot.width = width, mascot.height = height;
    for (std::vector<uint8_t>& data : bitmaps) {
        LoadedFrame frame;
        frame.time = time;
        frame.data = std::move(data);
        mascot.frames.push_back(std::move(frame));
    }
    return mascot;
}

std::vector<size_t> frames_shown(const PreviewPlan& plan)
{
    std::vector<size_t> frames;
    for (const PreviewShowing& showing : plan.showings)
        frames.push_back(showing.frame);
    return frames;
}

TEST(Preview, PlansShowingsPicturesAlikeOnceAndFollowingOnesMerged)
{
    const Members two = {{"a.bmp", bitmap_of(kOpen)}, {"b.bmp", bitmap_of(kShut)}, {"c.bmp", bitmap_of(kOpen)}};
    struct Case {
        const char* what;
        std::string list;
        std::vector<size_t> first_frames;   // the first showings' frames
        int32_t first_delay;
        bool one_showing;
    };
    const Case cases[] = {
        {"two frames that take turns", "File1=a.bmp\r\nTime1=1\r\nFile2=b.bmp\r\nTime2=2\r\n", {0, 1, 0, 1}, 10, false},
        {"the same file twice in a row", "File1=a.bmp\r\nTime1=1\r\nFile2=a.bmp\r\nTime2=2\r\nFile3=b.bmp\r\nTime3=1\r\n",
         {0, 2, 0, 2}, 30, false},
        {"another file of the same bitmap", "File1=a.bmp\r\nTime1=1\r\nFile2=b.bmp\r\nTime2=1\r\nFile3=c.bmp\r\nTime3=1\r\n",
         {0, 1, 0, 1}, 10, false},
        // Two stays of 3 ticks take turns until the first round that ends at tick 100 or later,
        // at tick 102: one picture for the whole run.
        {"one bitmap under two names", "File1=a.bmp\r\nTime1=3\r\nFile2=c.bmp\r\nTime2=3\r\n", {0}, 1020, true},
        {"a single frame", "File1=a.bmp\r\nTime1=5\r\n", {0}, 0, true},
    };
    for (const Case& row : cases) {
        const LoadedMascot mascot = mascot_of(row.list, two);
        PreviewPlan plan;
        std::string reason;
        ASSERT_TRUE(plan_preview(mascot, 1, plan, reason)) << row.what << ": " << reason;
        const std::vector<size_t> frames = frames_shown(plan);
        ASSERT_GE(frames.size(), row.first_frames.size()) << row.what;
        EXPECT_EQ(std::vector<size_t>(frames.begin(), frames.begin() + static_cast<std::ptrdiff_t>(row.first_frames.size())),
                  row.first_frames) << row.what;
        EXPECT_EQ(plan.showings[0].delay, row.first_delay) << row.what;
        EXPECT_EQ(plan.showings.size() == 1, row.one_showing) << row.what;
        for (size_t i = 1; i < frames.size(); ++i)
            EXPECT_NE(frames[i], frames[i - 1]) << row.what << ": a picture follows itself at " << i;
    }
}

TEST(Preview, SceneHoldsTheMascotAndTheWindowNearItWithinTheBudget)
{
    struct Case {
        const char* what;
        int32_t side;
        MascotSettings settings;
        bool ok;
        const char* reason;
    };
    MascotSettings far_above;
    far_above.PositionY = -30000, far_above.HeightPerDot = 0;
    MascotSettings past_the_range;
    past_the_range.PositionX = 2147483000, past_the_range.WidthPerDot = 0;
    const Case cases[] = {
        {"a small mascot sees its whole window", 48, MascotSettings(), true, ""},
        {"a large mascot", 2048, MascotSettings(), true, ""},
        {"a mascot far above its window", 64, far_above, true, ""},
        {"a mascot past the budget", 4000, MascotSettings(), false, "the preview would be 4280x4280, more than"},
        {"anchors the program cannot place", 48, past_the_range, false, "the anchors lie outside"},
    };
    for (const Case& row : cases) {
        LoadedMascot mascot = sized(row.side, row.side, {{1}, {2}}, 1);
        mascot.settings = row.settings;
        PreviewPlan plan;
        std::string reason;
        ASSERT_EQ(plan_preview(mascot, 1, plan, reason), row.ok) << row.what << ": " << reason;
        if (!row.ok) {
            EXPECT_EQ(reason.find(row.reason), 0u) << row.what << ": " << reason;
            continue;
        }
        // The mascot stands whole in the scene, and at most a band around it is more.
        EXPECT_GE(plan.at.x, 0) << row.what;
        EXPECT_GE(plan.at.y, 0) << row.what;
        EXPECT_LE(plan.at.x + row.side, plan.width) << row.what;
        EXPECT_LE(plan.at.y + row.side, plan.height) << row.what;
        EXPECT_LE(plan.width, row.side + 2 * kPreviewContext + 24) << row.what;
        EXPECT_LE(plan.height, row.side + 2 * kPreviewContext + 24) << row.what;
        EXPECT_LE(int64_t(plan.width) * plan.height, kPreviewPixelBudget) << row.what;
    }
    LoadedMascot small = sized(48, 48, {{1}}, 1);
    PreviewPlan plan;
    std::string reason;
    ASSERT_TRUE(plan_preview(small, 1, plan, reason));
    EXPECT_EQ(plan.window.right - plan.window.left, 320);
    EXPECT_GE(plan.window.left, 0);
    EXPECT_LE(plan.window.right, plan.width);
}

struct DecodedGif {
    std::vector<RgbaImage> pictures;
    std::vector<int32_t> delays;
};

int read_bytes(GifFileType* gif, GifByteType* into, int length)
{
    auto* source = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
    const size_t left = source->first->size() - source->second;
    const size_t count = std::min(left, static_cast<size_t>(length));
    std::memcpy(into, source->first->data() + source->second, count);
    source->second += count;
    return static_cast<int>(count);
}

DecodedGif decode(const std::vector<uint8_t>& gif_bytes)
{
    DecodedGif decoded;
    std::pair<const std::vector<uint8_t>*, size_t> source{&gif_bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read_bytes, &error);
    EXPECT_NE(gif, nullptr);
    if (!gif)
        return decoded;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        RgbaImage picture = blank_image(image.ImageDesc.Width, image.ImageDesc.Height);
        for (int32_t p = 0; p < picture.width * picture.height; ++p) {
            const GifColorType colour = map->Colors[image.RasterBits[p]];
            picture.pixels[4 * p] = colour.Red, picture.pixels[4 * p + 1] = colour.Green;
            picture.pixels[4 * p + 2] = colour.Blue, picture.pixels[4 * p + 3] = 255;
        }
        GraphicsControlBlock control;
        DGifSavedExtensionToGCB(gif, i, &control);
        decoded.pictures.push_back(std::move(picture));
        decoded.delays.push_back(control.DelayTime);
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

TEST(Preview, GifShowsEachPictureAsDrawnAndMakesEachOnce)
{
    const LoadedMascot mascot = mascot_of("File1=a.bmp\r\nTime1=1\r\nFile2=b.bmp\r\nTime2=-3\r\n",
                                          {{"a.bmp", bitmap_of(kOpen)}, {"b.bmp", bitmap_of(kShut)}}, "[Pos]\r\nTopY=-3\r\n");
    PreviewPlan plan;
    std::string reason;
    ASSERT_TRUE(plan_preview(mascot, 7, plan, reason)) << reason;
    ASSERT_GT(plan.showings.size(), 4u);
    std::vector<size_t> made;
    std::vector<uint8_t> gif;
    ASSERT_TRUE(write_gif(plan.width, plan.height, plan.showings,
                          [&](size_t frame) {
                              made.push_back(frame);
                              return render_preview_picture(mascot, plan, frame);
                          },
                          gif, reason))
        << reason;
    EXPECT_EQ(made, (std::vector<size_t>{0, 1}));
    const DecodedGif decoded = decode(gif);
    ASSERT_EQ(decoded.pictures.size(), plan.showings.size());
    for (size_t i = 0; i < plan.showings.size(); ++i) {
        EXPECT_EQ(decoded.delays[i], plan.showings[i].delay) << i;
        EXPECT_EQ(decoded.pictures[i].pixels, render_preview_picture(mascot, plan, plan.showings[i].frame).pixels) << i;
    }
}

}  // namespace
