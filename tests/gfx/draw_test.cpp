// Drawing into the frame buffer: every primitive clipped at every edge, compared pixel by
// pixel with what it should have drawn, and damaged items that must not be trusted.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/gfxapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

constexpr uint8_t kBg = 250;

class DrawTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        GFX_InitSystem();
        fontspacing = 1;
        memset(displaybuffer, kBg, SCREENSIZE);
        // Recognisable tables: lighter adds one, darker takes one, grey halves.
        for (int i = 0; i < 256; i++) {
            ltable[i] = static_cast<uint8_t>(i + 1);
            dtable[i] = static_cast<uint8_t>(i - 1);
            gtable[i] = static_cast<uint8_t>(i / 2);
        }
    }
    void Clear() { memset(displaybuffer, kBg, SCREENSIZE); }
    vt::FakeClock clock{1000};
};

// Every pixel must be what want(x, y) says; a negative answer means the background.
template <typename F> void ExpectScreen(F want, const std::string& what)
{
    int wrong = 0;
    for (int y = 0; y < SCREENHEIGHT; y++) {
        for (int x = 0; x < SCREENWIDTH; x++) {
            int w = want(x, y);
            uint8_t expect = w < 0 ? kBg : static_cast<uint8_t>(w);
            if (vt::Px(x, y) != expect && wrong++ < 5)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << int(vt::Px(x, y))
                              << ", want " << int(expect);
        }
    }
}

// Where on screen to try drawing a w x h item: inside, across every edge and corner, and
// just off every edge.
std::vector<std::pair<int, int>> Placements(int w, int h)
{
    return {{100, 80},        {-3, 50},   {320 - w + 3, 50}, {50, -2},  {50, 200 - h + 2},
            {-w + 1, -h + 1}, {319, 199}, {-w, 10},          {320, 10}, {10, -h},
            {10, 200},        {0, 0},     {320 - w, 200 - h}};
}

// A picture whose every pixel is distinct, with transparent (0) pixels on a diagonal.
int PicPixel(int x, int y)
{
    return (x == y) ? 0 : 1 + x + 12 * y;
}

TEST_F(DrawTest, PicturesClipAtEveryEdgeMaskedAndNot)
{
    const int w = 12, h = 7;
    std::vector<uint8_t> pic = vt::MakePic(w, h, vt::Grid(w, h, PicPixel));
    ASSERT_TRUE(GFX_CheckPic(pic.data(), pic.size()));
    for (bool masked : {false, true}) {
        for (auto [px, py] : Placements(w, h)) {
            Clear();
            update_start = 0;
            GFX_PutImage(pic.data(), px, py, masked);
            std::string what = (masked ? "masked at " : "opaque at ") + std::to_string(px) + "," +
                               std::to_string(py);
            ExpectScreen(
                [&](int x, int y) {
                    int sx = x - px, sy = y - py;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) return -1;
                    int v = PicPixel(sx, sy);
                    return (masked && v == 0) ? -1 : v;
                },
                what);
            // The visible part, and nothing when nothing is visible, is marked.
            bool visible = px < 320 && py < 200 && px + w > 0 && py + h > 0;
            EXPECT_EQ(update_start, visible ? 1 : 0) << what;
            if (visible) {
                EXPECT_LE(ud_x, std::max(px, 0)) << what;
                EXPECT_GE(ud_x + ud_lx, std::min(px + w, 320)) << what;
                EXPECT_EQ(ud_y, std::max(py, 0)) << what;
                EXPECT_EQ(ud_y + ud_ly, std::min(py + h, 200)) << what;
            }
        }
    }
}

// A ring with a hole and a gap: runs that start and stop inside rows.
int SpritePixel(int x, int y)
{
    bool ring =
        (x - 6) * (x - 6) + (y - 5) * (y - 5) <= 30 && (x - 6) * (x - 6) + (y - 5) * (y - 5) >= 6;
    return (ring && x != 9) ? 16 + x + y : 0;
}

TEST_F(DrawTest, SpritesClipAtEveryEdgeAndTouchOnlyTheirRuns)
{
    const int w = 13, h = 11;
    std::vector<uint8_t> spr = vt::MakeSprite(w, h, vt::Grid(w, h, SpritePixel));
    ASSERT_TRUE(GFX_CheckPic(spr.data(), spr.size()));
    for (auto [px, py] : Placements(w, h)) {
        std::string at = std::to_string(px) + "," + std::to_string(py);
        auto under = [&](int x, int y) {
            int sx = x - px, sy = y - py;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h) return 0;
            return SpritePixel(sx, sy);
        };
        Clear();
        update_start = 0;
        GFX_PutSprite(spr.data(), px, py);
        ExpectScreen([&](int x, int y) { return under(x, y) ? under(x, y) : -1; }, "sprite " + at);
        EXPECT_EQ(update_start, 0) << "sprites leave marking to their callers";

        // Picture drawing hands sprites on whatever the mask flag says.
        Clear();
        GFX_PutImage(spr.data(), px, py, false);
        ExpectScreen([&](int x, int y) { return under(x, y) ? under(x, y) : -1; }, "image " + at);

        // Shading applies the table under the shape and ignores the sprite's colours.
        Clear();
        GFX_ShadeShape(GFX_DARK, spr.data(), px, py);
        ExpectScreen([&](int x, int y) { return under(x, y) ? kBg - 1 : -1; }, "shade " + at);
    }
}

TEST_F(DrawTest, DamagedSpritesAreRefusedAndNeverDrawOutsideTheirBox)
{
    const int w = 13, h = 11;
    const std::vector<uint8_t> good = vt::MakeSprite(w, h, vt::Grid(w, h, SpritePixel));
    auto field = [](std::vector<uint8_t>& item, size_t at, int32_t v) { memcpy(&item[at], &v, 4); };
    // The first run starts right after the 20-byte header.
    std::vector<std::vector<uint8_t>> damaged;
    auto variant = [&](auto change) {
        std::vector<uint8_t> v = good;
        change(v);
        damaged.push_back(v);
    };
    variant([&](auto& v) { v.resize(v.size() - 8); });      // end mark cut short
    variant([&](auto& v) { v.resize(30); });                // cut inside a run
    variant([&](auto& v) { field(v, 20 + 12, 5000); });     // run longer than the item
    variant([&](auto& v) { field(v, 20 + 12, w); });        // run wider than the box
    variant([&](auto& v) { field(v, 20 + 0, -4); });        // run left of the box
    variant([&](auto& v) { field(v, 20 + 4, h + 50); });    // run below the box
    variant([&](auto& v) { field(v, 20 + 8, 320 * 150); }); // offset far outside
    variant([&](auto& v) { field(v, 16, -11); });           // negative height
    variant([&](auto& v) { field(v, 12, 0x40000000); });    // absurd width
    // The second run going back over the first (a list that would loop).
    variant([&](auto& v) {
        int32_t len;
        memcpy(&len, &v[20 + 12], 4);
        size_t second = 20 + 16 + size_t(len);
        memcpy(&v[second], &v[20], 12);
    });
    for (size_t i = 0; i < damaged.size(); i++) {
        EXPECT_FALSE(GFX_CheckPic(damaged[i].data(), damaged[i].size())) << "variant " << i;
        // Whatever the drawing does with it, nothing outside the sprite's box changes.
        // (The item is padded: runs must go forward, so even an unchecked list is read
        // only a bounded way past its end.)
        std::vector<uint8_t> padded = damaged[i];
        padded.resize(padded.size() + 64 * 1024, 0);
        for (auto [px, py] : {std::pair{100, 80}, std::pair{-3, -3}, std::pair{315, 195}}) {
            Clear();
            GFX_PutSprite(padded.data(), px, py);
            GFX_ShadeShape(GFX_LIGHT, padded.data(), px, py);
            ExpectScreen(
                [&](int x, int y) {
                    bool inside = x >= px && x < px + w && y >= py && y < py + h;
                    return inside ? int(vt::Px(x, y)) : -1;
                },
                "damaged sprite " + std::to_string(i));
        }
    }
    // Plain pictures must hold all their pixels.
    std::vector<uint8_t> pic = vt::MakePic(10, 10, std::vector<uint8_t>(100, 5));
    EXPECT_TRUE(GFX_CheckPic(pic.data(), pic.size()));
    EXPECT_FALSE(GFX_CheckPic(pic.data(), pic.size() - 1));
    EXPECT_FALSE(GFX_CheckPic(pic.data(), 19));
    EXPECT_FALSE(GFX_CheckPic(nullptr, 0));
    // A plain picture's pixels are not taken for a run list.
    Clear();
    GFX_PutSprite(pic.data(), 10, 10);
    GFX_ShadeShape(GFX_DARK, pic.data(), 10, 10);
    EXPECT_EQ(vt::CountNot(kBg), 0);
}

TEST_F(DrawTest, TexturesTileFromTheCornerAndClip)
{
    const int pw = 5, ph = 3;
    std::vector<uint8_t> tex =
        vt::MakePic(pw, ph, vt::Grid(pw, ph, [](int x, int y) { return 1 + x + 5 * y; }));
    struct {
        int x, y, w, h;
    } cases[] = {{10, 10, 23, 8},
                 {-7, -4, 30, 20},
                 {300, 190, 40, 40},
                 {0, 0, 320, 200},
                 // Far off to the top left, reaching just onto the screen: the copies
                 // before the screen are skipped, not walked.
                 {-2000000000, -2000000000, 2000000010, 2000000005}};
    for (auto c : cases) {
        Clear();
        GFX_PutTexture(tex.data(), c.x, c.y, c.w, c.h);
        ExpectScreen(
            [&](int x, int y) {
                int64_t dx = int64_t{x} - c.x, dy = int64_t{y} - c.y;
                if (dx < 0 || dy < 0 || dx >= c.w || dy >= c.h) return -1;
                return static_cast<int>(1 + dx % pw + 5 * (dy % ph));
            },
            "texture at " + std::to_string(c.x) + "," + std::to_string(c.y));
    }
}

TEST_F(DrawTest, ScalingPicksSourceColumnsAndRows)
{
    std::vector<uint8_t> wide =
        vt::MakePic(100, 2, vt::Grid(100, 2, [](int x, int y) { return x + 100 * y; }));
    GFX_ScalePic(wide.data(), 10, 20, 50, 2, false);
    for (int i = 0; i < 50; i++) {
        EXPECT_EQ(vt::Px(10 + i, 20), 2 * i); // every second column, from column 0
        EXPECT_EQ(vt::Px(10 + i, 21), 100 + 2 * i);
    }
    EXPECT_EQ(vt::Px(60, 20), kBg);

    // Doubling, clipped at the left and top, masked: source 0 stays transparent.
    Clear();
    std::vector<uint8_t> small =
        vt::MakePic(4, 4, vt::Grid(4, 4, [](int x, int y) { return x == 1 ? 0 : 1 + x + 4 * y; }));
    GFX_ScalePic(small.data(), -3, -1, 8, 8, true);
    ExpectScreen(
        [&](int x, int y) {
            int sx = (x + 3) / 2, sy = (y + 1) / 2;
            if (x + 3 >= 8 || y + 1 >= 8) return -1;
            return sx == 1 ? -1 : 1 + sx + 4 * sy;
        },
        "doubled");

    // A size of zero draws nothing instead of dividing by it.
    Clear();
    GFX_ScalePic(small.data(), 10, 10, 0, 5, false);
    GFX_ScalePic(small.data(), 10, 10, 5, 0, false);
    GFX_ScalePic(small.data(), 10, 10, -5, 5, false);
    EXPECT_EQ(vt::CountNot(kBg), 0);
}

TEST_F(DrawTest, GetScreenFillsOnlyTheVisiblePart)
{
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++)
            displaybuffer[y * 320 + x] = static_cast<uint8_t>(x ^ y);
    std::vector<uint8_t> buf(10 * 6, 77);
    GFX_GetScreen(buf.data(), 315, -2, 10, 6);
    for (int by = 0; by < 6; by++)
        for (int bx = 0; bx < 10; bx++) {
            int x = 315 + bx, y = -2 + by;
            bool on = x < 320 && y >= 0;
            EXPECT_EQ(buf[by * 10 + bx], on ? uint8_t(x ^ y) : 77) << bx << "," << by;
        }
}

TEST_F(DrawTest, LinesReachTheirEndsAndClip)
{
    GFX_Line(0, 0, 319, 199, 5);
    EXPECT_EQ(vt::Px(0, 0), 5);
    EXPECT_EQ(vt::Px(319, 199), 5);
    EXPECT_EQ(vt::CountNot(kBg), 320); // one pixel per column

    // Steep and shallow, every direction: the line starts and ends on its points and has
    // one pixel per step of the longer axis.
    struct {
        int x1, y1, x2, y2;
    } cases[] = {{10, 10, 15, 30},     {15, 30, 10, 10},   {50, 50, 20, 60}, {20, 60, 50, 50},
                 {100, 100, 103, 190}, {200, 10, 190, 11}, {7, 7, 7, 7}};
    for (auto c : cases) {
        Clear();
        GFX_Line(c.x1, c.y1, c.x2, c.y2, 9);
        EXPECT_EQ(vt::Px(c.x1, c.y1), 9);
        EXPECT_EQ(vt::Px(c.x2, c.y2), 9) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
        EXPECT_EQ(vt::CountNot(kBg), 1 + std::max(abs(c.x2 - c.x1), abs(c.y2 - c.y1)));
    }

    // Off the screen: only the pixels on it.
    Clear();
    GFX_Line(-50, -50, 50, 50, 3);
    ExpectScreen([](int x, int y) { return (x == y && x <= 50) ? 3 : -1; }, "diagonal");
    Clear();
    GFX_Line(-100, -5, 500, -5, 3);
    GFX_Line(330, 0, 330, 199, 3);
    EXPECT_EQ(vt::CountNot(kBg), 0);

    // A negative colour exclusive-ors with (colour - 1); twice puts everything back.
    Clear();
    GFX_Line(0, 100, 319, 120, -1);
    EXPECT_EQ(vt::Px(0, 100), kBg ^ 0xFE);
    GFX_Line(0, 100, 319, 120, -1);
    EXPECT_EQ(vt::CountNot(kBg), 0);
}

TEST_F(DrawTest, HorizontalAndVerticalLinesClipAndMark)
{
    GFX_HLine(10, -1, 20, 4);
    GFX_VLine(-1, 10, 20, 4);
    GFX_HLine(320, 10, 20, 4);
    GFX_VLine(10, 200, 5, 4);
    GFX_HLine(10, 10, 0, 4);
    GFX_VLine(10, 10, -3, 4);
    EXPECT_EQ(vt::CountNot(kBg), 0);

    update_start = 0;
    GFX_HLine(-5, 0, 10, 4);
    ExpectScreen([](int x, int y) { return (y == 0 && x <= 4) ? 4 : -1; }, "hline");
    EXPECT_EQ(ud_x, 0);
    EXPECT_EQ(ud_ly, 1);

    Clear();
    GFX_VLine(319, 195, 10, 6);
    GFX_HLine(315, 100, 2000000000, 6);
    ExpectScreen(
        [](int x, int y) { return ((x == 319 && y >= 195) || (y == 100 && x >= 315)) ? 6 : -1; },
        "vline");
}

TEST_F(DrawTest, BoxesOutlinesAndShadesClip)
{
    GFX_ColorBox(-4, 190, 10, 20, 8);
    ExpectScreen([](int x, int y) { return (x < 6 && y >= 190) ? 8 : -1; }, "box");

    Clear();
    GFX_Rectangle(310, -2, 10, 5, 7);
    ExpectScreen(
        [](int x, int y) {
            bool edge = (y == 2 && x >= 310) || x == 310 || x == 319;
            return (edge && y <= 2 && x >= 310) ? 7 : -1;
        },
        "rectangle");
    Clear();
    GFX_Rectangle(10, 10, 0, 5, 7);
    GFX_Rectangle(10, 10, 5, -1, 7);
    EXPECT_EQ(vt::CountNot(kBg), 0);

    // Exclusive-or box, twice, leaves nothing.
    GFX_ColorBox(100, 100, 30, 30, -16);
    EXPECT_EQ(vt::Px(100, 100), kBg ^ uint8_t(-17));
    GFX_ColorBox(100, 100, 30, 30, -16);
    EXPECT_EQ(vt::CountNot(kBg), 0);

    for (int type : {0, 1, 2, 7}) {
        Clear();
        update_start = 0;
        GFX_ShadeArea(type, 316, 198, 8, 8);
        int want = type == 0 ? kBg - 1 : type == 1 ? kBg + 1 : kBg / 2;
        ExpectScreen([&](int x, int y) { return (x >= 316 && y >= 198) ? want : -1; },
                     "shade type " + std::to_string(type));
        EXPECT_EQ(ud_x, 316);
        EXPECT_EQ(ud_ly, 2);
    }
    Clear();
    GFX_HShadeLine(GFX_LIGHT, -10, 5, 12);
    GFX_VShadeLine(GFX_DARK, 7, -10, 12);
    ExpectScreen(
        [](int x, int y) {
            if (x == 7 && y < 2) return kBg - 1;
            if (y == 5 && x < 2) return kBg + 1;
            return -1;
        },
        "shade lines");
}

TEST_F(DrawTest, BevelsLightTwoEdgesAndDarkenTwo)
{
    const int L = kBg + 1, D = kBg - 1;
    // Raised (type 1): top and right light, bottom and left dark; sunken (2): bottom and
    // left light, top and right dark. No pixel is shaded twice.
    GFX_LightBox(1, 10, 10, 6, 5);
    ExpectScreen(
        [&](int x, int y) {
            if (x < 10 || x > 15 || y < 10 || y > 14) return -1;
            if (y == 14 || x == 10) return D;
            if (y == 10 || x == 15) return L;
            return -1;
        },
        "raised");
    Clear();
    GFX_LightBox(2, 10, 10, 6, 5);
    ExpectScreen(
        [&](int x, int y) {
            if (x < 10 || x > 15 || y < 10 || y > 14) return -1;
            if (y == 10 || x == 15) return D;
            if (y == 14 && x == 15) return D;
            if (y == 14 || x == 10) return L;
            return -1;
        },
        "sunken");
    Clear();
    GFX_LightBox(0, 10, 10, 0, 5);
    GFX_LightBox(1, 10, 10, 5, 0);
    GFX_LightBox(9, 10, 10, 5, 5);
    EXPECT_EQ(vt::CountNot(kBg), 0);
}

class TextTest : public DrawTest
{
  protected:
    void SetUp() override
    {
        DrawTest::SetUp();
        std::vector<vt::GLYPH> glyphs(256);
        // 'A' 3 wide, 'B' 2 wide, both 2 high, values 1..3; 'X' has no glyph.
        glyphs['A'] = {3, {1, 2, 1, 3, 0, 3}};
        glyphs['B'] = {2, {2, 2, 0, 1}};
        glyphs[0xE9] = {1, {1, 1}}; // a code above 127
        font = vt::MakeFont(2, glyphs);
        // The width table may hold a width for a code without a glyph.
        font[516 + 'X'] = 4;
        ASSERT_TRUE(GFX_CheckFont(font.data(), font.size()));
    }
    std::vector<uint8_t> font;
};

TEST_F(TextTest, GlyphsDrawInTheTextColourAndMissingCodesTakeNoSpace)
{
    int width = GFX_Print(10, 20, "AXB\xE9", font.data(), 100);
    // A at 10..12, spacing, B at 14..15, spacing, the high code at 17.
    ExpectScreen(
        [](int x, int y) {
            static const int a[2][3] = {{100, 101, 100}, {102, -1, 102}};
            static const int b[2][2] = {{101, 101}, {-1, 100}};
            if (y < 20 || y > 21) return -1;
            if (x >= 10 && x <= 12) return a[y - 20][x - 10];
            if (x >= 14 && x <= 15) return b[y - 20][x - 14];
            if (x == 17) return 100;
            return -1;
        },
        "text");
    EXPECT_EQ(width, 3 + 1 + 2 + 1 + 1 + 1);
    // Measuring counts the table width of the missing code, and does not stop at NUL.
    EXPECT_EQ(GFX_StrPixelLen(font.data(), "AXB", 3), 4 + 5 + 3);
    EXPECT_EQ(GFX_StrPixelLen(font.data(), "A\0B", 3), 4 + 1 + 3);
    EXPECT_EQ(GFX_StrPixelLen(font.data(), "AB", 0), 0);
    EXPECT_EQ(GFX_StrPixelLen(font.data(), "AB", -3), 0);
}

TEST_F(TextTest, TextClipsAtEveryEdgeAndReportsTheVisibleWidth)
{
    EXPECT_EQ(GFX_Print(-2, 0, "A", font.data(), 50), 1 + 1); // one column left
    EXPECT_EQ(vt::Px(0, 0), 50);
    EXPECT_EQ(vt::Px(0, 1), 52);
    EXPECT_EQ(GFX_Print(318, 199, "AB", font.data(), 50), 2 + 1 + 0 + 1);
    EXPECT_EQ(vt::Px(318, 199), 50);
    EXPECT_EQ(vt::Px(319, 199), 51);
    EXPECT_EQ(GFX_Print(100, -2, "AB", font.data(), 50), 2); // nothing visible
    EXPECT_EQ(GFX_Print(100, 200, "AB", font.data(), 50), 2);
    EXPECT_EQ(vt::CountNot(kBg), 4);
    fontspacing = 3;
    EXPECT_EQ(GFX_StrPixelLen(font.data(), "AB", 2), 3 + 3 + 2 + 3);
}

TEST_F(TextTest, DamagedFontsAreRefusedAndBadOffsetsDrawNothing)
{
    std::vector<uint8_t> bad = font;
    EXPECT_FALSE(GFX_CheckFont(bad.data(), bad.size() - 1)); // last glyph cut
    EXPECT_FALSE(GFX_CheckFont(bad.data(), 771));
    int16_t far = 30000;
    memcpy(&bad[4 + 2 * 'A'], &far, 2);
    EXPECT_FALSE(GFX_CheckFont(bad.data(), bad.size()));
    bad = font;
    int32_t tall = 100000;
    memcpy(&bad[0], &tall, 4);
    EXPECT_FALSE(GFX_CheckFont(bad.data(), bad.size()));
    // A negative offset other than -1 would point back into the header: no glyph.
    bad = font;
    int16_t back = -300;
    memcpy(&bad[4 + 2 * 'A'], &back, 2);
    EXPECT_TRUE(GFX_CheckFont(bad.data(), bad.size()));
    EXPECT_EQ(GFX_Print(10, 10, "A", bad.data(), 50), 0);
    EXPECT_EQ(vt::CountNot(kBg), 0);
}

TEST_F(DrawTest, ClipLinesCutsRectanglesAndAdvancesTheSource)
{
    uint8_t src[100];
    uint8_t* p = src;
    int x = 10, y = 10, w = 20, h = 20;
    EXPECT_EQ(GFX_ClipLines(&p, &x, &y, &w, &h), 1);
    EXPECT_EQ(p, src);
    EXPECT_EQ(x + y + w + h, 60);

    x = -3, y = -2, w = 10, h = 5;
    EXPECT_EQ(GFX_ClipLines(&p, &x, &y, &w, &h), 2);
    EXPECT_EQ(p, src + 2 * 10 + 3);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 3);

    x = 315, y = 198, w = 10, h = 5;
    EXPECT_EQ(GFX_ClipLines(nullptr, &x, &y, &w, &h), 2);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 2);

    x = 320, y = 0, w = 5, h = 5;
    EXPECT_EQ(GFX_ClipLines(nullptr, &x, &y, &w, &h), 0);
    x = -5, y = 0;
    EXPECT_EQ(GFX_ClipLines(nullptr, &x, &y, &w, &h), 0);
}

TEST_F(DrawTest, ProjectionScalesAroundTheViewPoint)
{
    GFX_3D_SetView(160, 100, 1000);
    G3D_x = 260, G3D_y = 50, G3D_z = 0;
    GFX_3DPoint();
    // (100 * 409600 / -1000) >> 11 = -40960 >> 11 = -20; (-50 ...) >> 11 = 10.
    EXPECT_EQ(G3D_x, 100);
    EXPECT_EQ(G3D_z, -1000);
    EXPECT_EQ(G3D_screenx, 140);
    EXPECT_EQ(G3D_screeny, 110);
    // A point in the view plane does not divide by zero.
    G3D_x = 170, G3D_y = 100, G3D_z = 1000;
    GFX_3DPoint();
    EXPECT_EQ(G3D_screenx, 160 + ((10 * 409600) >> 11));
}

} // namespace
