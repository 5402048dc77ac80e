// The test card: one screen with every kind of drawing on it, presented through the real
// window path and saved as build/gfx-testcard.png for a person to look at. Its hash guards
// against any drawing call changing what it draws.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

// Entries of the ramp palette: ramp r (0 grey, 1 red, ... 15), step s (0 dark .. 14 light).
int Ramp(int r, int s)
{
    return r * 15 + s;
}

// A small fighter: nose up, wings, two engines, a cockpit; 0 is transparent.
std::vector<uint8_t> Fighter(int w, int h)
{
    return vt::Grid(w, h, [w, h](int x, int y) {
        int cx = x - w / 2;
        int ax = cx < 0 ? -cx - 1 : cx; // distance from the centre line
        if (y < h / 2 && ax <= y / 3) return ax == 0 && y > 3 && y < 9 ? Ramp(7, 13) : Ramp(0, 10);
        if (y >= h / 2 - 2 && y < h / 2 + 4 && ax <= w / 2 - 1 - (y - (h / 2 - 2)))
            return Ramp(0, 7 + (ax % 3));
        if (y >= h / 2 && y < h - 2 && (ax == 3 || ax == 4)) return Ramp(14, 9);
        if (y >= h - 2 && (ax == 3 || ax == 4)) return Ramp(2, 14);
        return 0;
    });
}

TEST(TestCard, DrawEverythingPresentAndSave)
{
    vt::FakeClock clock(1000, 1);
    GFX_InitSystem();
    GFX_SetPalRange(0, 239);
    std::vector<uint8_t> pal = vt::MakeRampPalette();
    aspect_ratio_correct = 1;
    GFX_InitVideo(pal.data());

    // Background: a dark blue texture of a 16x16 tile with a lighter seam.
    std::vector<uint8_t> tile = vt::MakePic(16, 16, vt::Grid(16, 16, [](int x, int y) {
                                                return (x == 0 || y == 0) ? Ramp(9, 3) : Ramp(9, 1);
                                            }));
    GFX_PutTexture(tile.data(), 0, 0, 320, 200);

    // The palette: 16 ramps of 15 steps, then the 16 reserved entries.
    GFX_ColorBox(2, 2, 96, 56, 0);
    for (int r = 0; r < 16; r++)
        for (int s = 0; s < 15; s++)
            GFX_ColorBox(4 + s * 6, 4 + r * 3, 6, 3, Ramp(r, s));
    for (int i = 240; i < 256; i++)
        GFX_ColorBox(4 + (i - 240) * 5 + 5, 53, 5, 3, i);

    // Sprites: one whole, one across each edge and corner, and their shadows.
    std::vector<uint8_t> ship = vt::MakeSprite(20, 18, Fighter(20, 18));
    ASSERT_TRUE(GFX_CheckPic(ship.data(), ship.size()));
    for (auto [x, y] : {std::pair{150, 90}, std::pair{-8, 110}, std::pair{310, 110},
                        std::pair{230, -9}, std::pair{230, 190}, std::pair{-6, -6},
                        std::pair{306, -7}, std::pair{-9, 188}, std::pair{305, 187}}) {
        GFX_ShadeShape(GFX_DARK, ship.data(), x + 6, y + 8);
        GFX_PutSprite(ship.data(), x, y);
    }

    // Fonts: the small one and the doubled one with its two-tone glyphs.
    std::vector<uint8_t> small = vt::MakeBlockFont(1);
    std::vector<uint8_t> large = vt::MakeBlockFont(2);
    ASSERT_TRUE(GFX_CheckFont(small.data(), small.size()));
    ASSERT_TRUE(GFX_CheckFont(large.data(), large.size()));
    GFX_Print(104, 4, "VULTAR 0.8.2", large.data(), Ramp(3, 12));
    GFX_Print(104, 22, "TEST CARD: GFX", small.data(), Ramp(0, 14));
    GFX_Print(104, 32, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", small.data(), Ramp(5, 12));
    GFX_Print(104, 42, "0123456789 .,!?-/", small.data(), Ramp(7, 12));
    GFX_Print(290, 150, "CLIPPED", large.data(), Ramp(1, 13)); // runs off the right

    // Bevelled windows: raised and sunken, with a shaded inset.
    GFX_ColorBox(8, 66, 80, 50, Ramp(13, 8));
    GFX_LightBox(1, 8, 66, 80, 50);
    GFX_LightBox(2, 14, 80, 68, 30);
    GFX_ShadeArea(GFX_DARK, 15, 81, 66, 28);
    GFX_Print(18, 70, "WINDOW", small.data(), Ramp(0, 14));
    GFX_Print(20, 90, "SUNKEN", small.data(), Ramp(3, 14));
    GFX_ColorBox(8, 122, 80, 20, Ramp(4, 9));
    GFX_ShadeArea(GFX_LIGHT, 8, 122, 40, 20);
    GFX_ShadeArea(GFX_GREY, 48, 122, 40, 20);
    GFX_Rectangle(8, 122, 80, 20, Ramp(0, 14));

    // Lines: a fan to every side, one exclusive-or across it, shaded lines.
    for (int i = 0; i <= 8; i++) {
        GFX_Line(150, 160, 100 + i * 12, 199, Ramp(1 + i, 12));
        GFX_Line(150, 160, 100 + i * 12, 130, Ramp(1 + i, 10));
    }
    GFX_Line(92, 128, 208, 196, -1);
    GFX_HShadeLine(GFX_LIGHT, 100, 145, 100);
    GFX_VShadeLine(GFX_LIGHT, 214, 120, 80);

    // Scaling: the fighter's pixels as a plain picture, doubled and halved.
    std::vector<uint8_t> plain = vt::MakePic(20, 18, Fighter(20, 18));
    GFX_ScalePic(plain.data(), 250, 40, 40, 36, true);
    GFX_ScalePic(plain.data(), 296, 40, 10, 9, false);
    GFX_PutImage(plain.data(), 296, 60, true);

    GFX_MarkUpdate(0, 0, 320, 200);
    GFX_DisplayUpdate();

    std::string path = std::string(VULTAR_BINARY_DIR) + "/gfx-testcard.png";
    ASSERT_TRUE(vt::SavePresented(path)) << path;
    printf("test card: %s hash %016llx\n", path.c_str(),
           static_cast<unsigned long long>(vt::HashPresented()));
    EXPECT_EQ(vt::HashPresented(), 0x85f007bf1adaeb34ull)
        << "the card changed: look at it, then update";

    closewindow();
    I_ShutdownGraphics();
}

} // namespace

// ---- the same on the generated data set ----------------------------------------------------

#include <span>

#include "data/archive_read.h"
#include "res/itemfmt.h"
#include "res/itemtable.h"

namespace
{

class DataCard : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        for (int a = 0; a < ITM_ARCHIVES; a++) {
            std::string why;
            std::string path = VULTAR_BINARY_DIR "/data/FILE000" + std::to_string(a) + ".GLB";
            archives[a] = ReadArchive(path, &why);
            ASSERT_FALSE(archives[a].empty()) << why;
        }
    }
    static const std::vector<uint8_t>& Item(int id)
    {
        return archives[ITM_Archive(id)].at(ITM_Index(id)).data;
    }
    static int Labelled(const char* label)
    {
        for (int a = 0; a < ITM_ARCHIVES; a++)
            for (size_t i = 0; i < archives[a].size(); i++)
                if (archives[a][i].label == label) return ITM_Id(a, static_cast<int>(i));
        return -1;
    }
    static std::vector<ArchiveItem> archives[ITM_ARCHIVES];
};
std::vector<ArchiveItem> DataCard::archives[ITM_ARCHIVES];

TEST_F(DataCard, EveryPictureAndFontTheGeneratorMakesIsAcceptedForDrawing)
{
    // The generator's checks and the drawing module's must agree on what is safe to draw.
    int pictures = 0, fonts = 0;
    for (int a = 0; a < ITM_ARCHIVES; a++) {
        for (size_t i = 0; i < archives[a].size(); i++) {
            std::span<const uint8_t> b = archives[a][i].data;
            if (b.size() >= GFX_FONT_HEADER && !ITEM_CheckFont(b)) {
                EXPECT_TRUE(GFX_CheckFont(b.data(), b.size())) << a << ":" << i;
                fonts++;
            } else if (!ITEM_CheckPicture(b)) {
                EXPECT_TRUE(GFX_CheckPic(b.data(), b.size())) << a << ":" << i;
                pictures++;
            }
        }
    }
    EXPECT_GE(fonts, 3);
    EXPECT_GE(pictures, 300);
}

TEST_F(DataCard, DrawTheGeneratedArtPresentAndSave)
{
    vt::FakeClock clock(1000, 1);
    GFX_InitSystem();
    GFX_SetPalRange(0, 239);
    const std::vector<uint8_t>& pal = Item(ITM_PALETTE);
    ASSERT_EQ(pal.size(), 768u);
    aspect_ratio_correct = 1;
    GFX_InitVideo(pal.data());

    // The first episode's ground, tile by tile.
    int tiles = Labelled(ITM_TILES_LABELS[0]) + 1;
    ASSERT_GT(tiles, 0);
    for (int ty = 0; ty < 7; ty++)
        for (int tx = 0; tx < 10; tx++) {
            const std::vector<uint8_t>& t = Item(tiles + (tx * 3 + ty * 7) % 24);
            ASSERT_TRUE(GFX_CheckPic(t.data(), t.size()));
            GFX_PutImage(t.data(), tx * 32, ty * 32 - 12, false);
        }

    // The palette as a strip along the bottom.
    for (int i = 0; i < 256; i++)
        GFX_ColorBox(32 + i, 192, 1, 8, i);

    // A window with the three fonts.
    GFX_ShadeArea(GFX_DARK, 8, 8, 200, 74);
    GFX_LightBox(1, 8, 8, 200, 74);
    GFX_LightBox(2, 12, 50, 192, 28);
    int white = GFX_Remap(pal.data(), 63, 63, 63);
    int yellow = GFX_Remap(pal.data(), 63, 52, 8);
    int y = 12;
    for (int id : {Labelled("LARGE_FNT"), Labelled("MEDIUM_FNT"), ITM_DEMOFONT}) {
        ASSERT_GE(id, 0);
        const std::vector<uint8_t>& f = Item(id);
        ASSERT_TRUE(GFX_CheckFont(f.data(), f.size()));
        int32_t h;
        memcpy(&h, f.data(), 4);
        GFX_Print(14, y, "Vultar 0.8.2 ABC xyz 0123", f.data(), white);
        y += h + 3;
    }
    GFX_Print(16, 56, "Sunken", Item(Labelled("MEDIUM_FNT")).data(), yellow);

    // The player's ship, all its banking frames, with shadows, some across the edges.
    for (int k = 0; k < ITM_SHIPFRAMES; k++) {
        const std::vector<uint8_t>& s = Item(ITM_LSHIP + k);
        ASSERT_TRUE(GFX_CheckPic(s.data(), s.size()));
        int x = 20 + k * 42, sy = 110;
        GFX_ShadeShape(GFX_DARK, s.data(), x + 8, sy + 14);
        GFX_PutSprite(s.data(), x, sy);
    }
    const std::vector<uint8_t>& ship = Item(ITM_LSHIP + 3);
    for (auto [x, sy] :
         {std::pair{-12, 150}, std::pair{304, 150}, std::pair{240, -14}, std::pair{150, 186}})
        GFX_PutSprite(ship.data(), x, sy);

    // Score digits, the pointer, lines.
    for (int d = 0; d < 10; d++) {
        const std::vector<uint8_t>& n = Item(ITM_NUMBERS + d);
        ASSERT_TRUE(GFX_CheckPic(n.data(), n.size()));
        GFX_PutImage(n.data(), 220 + d * 9, 60, true);
    }
    const std::vector<uint8_t>& ptr = Item(ITM_POINTER);
    GFX_PutImage(ptr.data(), 290, 40, true);
    for (int i = 0; i < 6; i++)
        GFX_Line(220, 80, 220 + i * 18, 100, 240 + i);

    GFX_MarkUpdate(0, 0, 320, 200);
    GFX_DisplayUpdate();
    std::string path = std::string(VULTAR_BINARY_DIR) + "/gfx-testcard-data.png";
    ASSERT_TRUE(vt::SavePresented(path)) << path;
    printf("generated-data card: %s\n", path.c_str());
    closewindow();
    I_ShutdownGraphics();
}

} // namespace
