// scenetool end to end: hand-made pictures to frame-delta items and back give the same
// pictures; the items read right with the tests' own decoder; pictures that cannot be a
// frame are refused.
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/i_png.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

constexpr int kW = 320, kH = 200;
using Bytes = std::vector<uint8_t>;

vt::CommandRun Tool(const std::string& args)
{
    return vt::RunCommand(std::string(SCENETOOL_PATH) + " " + args);
}

TEST(SceneTool, PicturesToItemsAndBackGiveTheSamePictures)
{
    vt::TempHome home;
    const std::string dir = home.dir() + "/";
    // A grey ramp palette, and three frames: stripes, a box moved over them, and the last
    // pixel changed alone.
    Bytes rgb(768), pal(768);
    for (int i = 0; i < 256; i++) {
        pal[i * 3] = pal[i * 3 + 1] = pal[i * 3 + 2] = uint8_t(i / 4);
        rgb[i * 3] = rgb[i * 3 + 1] = rgb[i * 3 + 2] = uint8_t(i / 4 * 255 / 63);
    }
    std::vector<Bytes> frames;
    Bytes f(kW * kH);
    for (int i = 0; i < kW * kH; i++)
        f[i] = uint8_t((i % kW) / 40 == 3 ? 9 : 200);
    frames.push_back(f);
    for (int y = 50; y < 90; y++)
        for (int x = 100; x < 160; x++)
            f[y * kW + x] = uint8_t(x + y);
    frames.push_back(f);
    f[kW * kH - 1] = 1;
    frames.push_back(f);
    std::string list;
    for (size_t i = 0; i < frames.size(); i++) {
        std::string name = dir + "in" + std::to_string(i) + ".png";
        ASSERT_TRUE(I_WritePNGFile(name.c_str(), frames[i].data(), kW, kH, rgb.data()));
        list += " " + name;
    }
    vt::WriteFileBytes(dir + "game.pal", pal);

    vt::CommandRun enc = Tool("encode " + dir + "scene" + list);
    ASSERT_EQ(enc.status, 0) << enc.out;
    Bytes screen;
    for (size_t i = 0; i < frames.size(); i++) {
        Bytes item = vt::ReadFileBytes(dir + "scene00" + std::to_string(i) + ".bin");
        if (i == 0) {
            ASSERT_FALSE(item.empty());
            EXPECT_EQ(item[0], 200) << "the most common colour fills the first frame";
            screen.assign(kW * kH, item[0]);
        }
        vt::ApplyDelta(screen, std::span<const uint8_t>(item).subspan(i == 0 ? 1 : 0));
        EXPECT_EQ(screen, frames[i]) << "item " << i;
    }
    // The last frame changed one pixel: one run of one byte and the end of the list.
    EXPECT_EQ(vt::ReadFileBytes(dir + "scene002.bin").size(), 8u + 1 + 8);

    vt::CommandRun dec = Tool("decode " + dir + "game.pal " + dir + "out " + dir + "scene000.bin " +
                              dir + "scene001.bin " + dir + "scene002.bin");
    ASSERT_EQ(dec.status, 0) << dec.out;
    for (size_t i = 0; i < frames.size(); i++) {
        Bytes px;
        int w = 0, h = 0;
        uint8_t back[768];
        std::string name = dir + "out00" + std::to_string(i) + ".png";
        ASSERT_TRUE(I_ReadPNGFile(name.c_str(), px, &w, &h, back, kW * kH)) << name;
        EXPECT_EQ(w, kW);
        EXPECT_EQ(h, kH);
        EXPECT_EQ(px, frames[i]) << "frame " << i;
        EXPECT_EQ(Bytes(back, back + 768), rgb) << "in the palette given";
    }
}

TEST(SceneTool, PicturesThatCannotBeFramesAreRefused)
{
    vt::TempHome home;
    const std::string dir = home.dir() + "/";
    Bytes rgb(768, 0), small(16 * 16, 3);
    ASSERT_TRUE(I_WritePNGFile((dir + "small.png").c_str(), small.data(), 16, 16, rgb.data()));
    vt::WriteTextFile(dir + "text.png", "not a picture");
    EXPECT_EQ(Tool("encode " + dir + "x " + dir + "small.png").status, 1);
    EXPECT_EQ(Tool("encode " + dir + "x " + dir + "text.png").status, 1);
    EXPECT_EQ(Tool("encode " + dir + "x " + dir + "missing.png").status, 1);
    EXPECT_EQ(Tool("encode").status, 2);
    vt::WriteFileBytes(dir + "short.pal", Bytes(100, 0));
    EXPECT_EQ(Tool("decode " + dir + "short.pal " + dir + "o " + dir + "small.png").status, 1);
}

} // namespace
