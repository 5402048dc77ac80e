// Building items from pictures and refusing damaged ones.
#include <gtest/gtest.h>

#include "res/itemfmt.h"

namespace
{

// Paints a sprite's runs into a w x h picture (0 where no run is).
std::vector<uint8_t> Unpack(const std::vector<uint8_t>& sprite)
{
    int w = ITEM_Long(sprite, 12), h = ITEM_Long(sprite, 16);
    std::vector<uint8_t> px(static_cast<size_t>(w) * h, 0);
    size_t at = ITEM_PICHEADER;
    while (ITEM_Long(sprite, at + 8) != -1) {
        int x = ITEM_Long(sprite, at), y = ITEM_Long(sprite, at + 4),
            len = ITEM_Long(sprite, at + 12);
        for (int i = 0; i < len; i++)
            px[static_cast<size_t>(y) * w + x + i] = sprite[at + ITEM_RUNHEADER + i];
        at += ITEM_RUNHEADER + len;
    }
    return px;
}

std::vector<uint8_t> Map(int count)
{
    std::vector<uint8_t> m(ITEM_MAPPLACEMENTS, 0);
    ITEM_PutLong(m, 8, count);
    for (int i = 0; i < count; i++)
        for (int32_t v : {-1, 0, 4, 100 - i, 0, 3})
            ITEM_AddLong(m, v);
    return m;
}

void SetPlacement(std::vector<uint8_t>& m, int i, int field, int32_t v)
{
    ITEM_PutLong(m, ITEM_MAPPLACEMENTS + static_cast<size_t>(i) * ITEM_PLACEMENTSIZE + 4 * field,
                 v);
}

} // namespace

TEST(ItemFormat, SpriteKeepsExactlyTheVisiblePixels)
{
    // Holes in the middle of rows, a row that is all clear, runs touching both edges.
    const int w = 7, h = 4;
    std::vector<uint8_t> px = {
        1, 2, 0, 0, 3, 0, 4, //
        0, 0, 0, 0, 0, 0, 0, //
        0, 5, 5, 5, 5, 5, 0, //
        9, 0, 8, 0, 7, 0, 6,
    };
    std::vector<uint8_t> sprite = ITEM_MakeSprite(w, h, px);
    EXPECT_EQ(ITEM_CheckSprite(sprite), nullptr);
    EXPECT_EQ(ITEM_CheckPicture(sprite), nullptr);
    EXPECT_EQ(Unpack(sprite), px);
    // Every run carries its position in a 320-wide screen.
    EXPECT_EQ(ITEM_Long(sprite, ITEM_PICHEADER + 8), 0);
    size_t second = ITEM_PICHEADER + ITEM_RUNHEADER + 2;
    EXPECT_EQ(ITEM_Long(sprite, second + 8), 4);

    // A picture with nothing visible is a sprite with no runs, still well formed.
    std::vector<uint8_t> empty = ITEM_MakeSprite(3, 3, std::vector<uint8_t>(9, 0));
    EXPECT_EQ(empty.size(), static_cast<size_t>(ITEM_PICHEADER + ITEM_RUNHEADER));
    EXPECT_EQ(ITEM_CheckSprite(empty), nullptr);
}

TEST(ItemFormat, PicturesTooBigForTheirFormatAreNotBuilt)
{
    // A sprite's runs carry 16-bit screen offsets: 204 rows fit, 205 do not.
    EXPECT_FALSE(ITEM_MakeSprite(320, 204, std::vector<uint8_t>(320 * 204, 1)).empty());
    EXPECT_TRUE(ITEM_MakeSprite(320, 205, std::vector<uint8_t>(320 * 205, 1)).empty());
    EXPECT_TRUE(ITEM_MakeSprite(321, 10, std::vector<uint8_t>(321 * 10, 1)).empty());
    // Glyph offsets are signed 16-bit: a font whose pixels run past 32767 bytes is refused
    // rather than written with offsets that wrap.
    std::array<ITEM_GLYPH, 256> glyphs;
    for (int c = 32; c < 127; c++)
        glyphs[c] = {100, std::vector<uint8_t>(100 * 4, 1)};
    EXPECT_TRUE(ITEM_MakeFont(4, glyphs).empty());
    EXPECT_FALSE(ITEM_MakeFont(3, glyphs).empty());
}

TEST(ItemFormat, DamagedSpritesAreRefused)
{
    std::vector<uint8_t> px(8 * 3, 4);
    const std::vector<uint8_t> good = ITEM_MakeSprite(8, 3, px);
    const size_t run = ITEM_PICHEADER;

    std::vector<uint8_t> bad = good;
    bad.resize(bad.size() - 1); // end mark cut short
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    bad = good;
    ITEM_PutLong(bad, run + 12, 9); // run longer than the sprite is wide
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    bad = good;
    ITEM_PutLong(bad, run + 8, 5); // offset that does not match x and y
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    bad = good;
    ITEM_PutLong(bad, run + 4, 3); // row below the sprite
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    bad = good;
    ITEM_PutLong(bad, run + 12, 0x7FFFFFFF); // length far past the item
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    bad = good;
    ITEM_PutLong(bad, 16, 205); // taller than offsets below 65536 allow
    EXPECT_NE(ITEM_CheckSprite(bad), nullptr);

    EXPECT_NE(ITEM_CheckSprite(std::vector<uint8_t>(12, 0)), nullptr);
}

TEST(ItemFormat, PlainPicturesMustHoldAllTheirPixels)
{
    std::vector<uint8_t> pic = ITEM_MakePicture(4, 2, std::vector<uint8_t>(8, 7));
    EXPECT_EQ(ITEM_CheckPlain(pic, 4, 2), nullptr);
    EXPECT_NE(ITEM_CheckPlain(pic, 2, 4), nullptr);
    pic.pop_back();
    EXPECT_NE(ITEM_CheckPicture(pic), nullptr);
    std::vector<uint8_t> huge = ITEM_MakePicture(1, 1, std::vector<uint8_t>(1, 1));
    ITEM_PutLong(huge, 12, 1 << 30);
    ITEM_PutLong(huge, 16, 1 << 30);
    EXPECT_NE(ITEM_CheckPicture(huge), nullptr);
}

TEST(ItemFormat, FontGlyphsStayInsideTheItem)
{
    std::array<ITEM_GLYPH, 256> glyphs;
    glyphs['A'] = {3, std::vector<uint8_t>(3 * 5, 1)};
    glyphs['B'] = {2, std::vector<uint8_t>(2 * 5, 2)};
    glyphs[' '] = {2, std::vector<uint8_t>(2 * 5, 0)};
    std::vector<uint8_t> font = ITEM_MakeFont(5, glyphs);
    EXPECT_EQ(ITEM_CheckFont(font), nullptr);
    EXPECT_EQ(ITEM_Long(font, 0), 5);
    // Glyph pixels follow each other in code order: space, then A, then B.
    EXPECT_EQ(ITEM_Short(font, 4 + 2 * ' '), 0);
    EXPECT_EQ(ITEM_Short(font, 4 + 2 * 'A'), 10);
    EXPECT_EQ(ITEM_Short(font, 4 + 2 * 'B'), 25);
    EXPECT_EQ(ITEM_Short(font, 4 + 2 * 'C'), -1);
    EXPECT_EQ(font[516 + 'B'], 2);
    EXPECT_EQ(font.size(), static_cast<size_t>(ITEM_FONTHEADER + 15 + 10 + 10));

    std::vector<uint8_t> bad = font;
    bad.resize(bad.size() - 1);
    EXPECT_NE(ITEM_CheckFont(bad), nullptr);
    bad = font;
    ITEM_PutShort(bad, 4 + 2 * 'A', -7);
    EXPECT_NE(ITEM_CheckFont(bad), nullptr);
    bad = font;
    bad[516 + 'C'] = 200;
    EXPECT_NE(ITEM_CheckFont(bad), nullptr);
}

TEST(ItemFormat, MapsKeepTheRulesThatLetAWaveEnd)
{
    std::vector<uint8_t> m = Map(3);
    EXPECT_EQ(ITEM_CheckMap(m, 0, 1, 1), nullptr);

    std::vector<uint8_t> bad = m;
    ITEM_PutShort(bad, ITEM_MAPHEADER + 4 * 7, 1); // a tile past the set's end
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);
    EXPECT_EQ(ITEM_CheckMap(bad, 0, 2, 1), nullptr);

    bad = m;
    ITEM_PutShort(bad, ITEM_MAPHEADER + 4 * 7 + 2, 1); // a cell of another episode's set
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 2, 3, 120); // rows must fall
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 0, 3, 140); // above the first row that comes into play
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 2, 5, 5); // the last one only on the hardest level
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 0, 0, 0); // a zero link would bring the next one in at once
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 1, 1, 1); // an enemy type the library does not have
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    SetPlacement(bad, 1, 2, 9); // column off the map
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);

    bad = m;
    bad.resize(bad.size() - 1);
    EXPECT_NE(ITEM_CheckMap(bad, 0, 1, 1), nullptr);
    EXPECT_NE(ITEM_CheckMap(Map(0), 0, 1, 1), nullptr);
}

TEST(ItemFormat, AttributeTablesNameWrecksOfTheirOwnSet)
{
    std::vector<uint8_t> flats;
    for (int32_t wreck : {0, 2, 2}) {
        ITEM_AddLong(flats, wreck);
        ITEM_AddShort(flats, 10);
        ITEM_AddShort(flats, 100);
    }
    EXPECT_EQ(ITEM_CheckFlats(flats, 3), nullptr);
    EXPECT_NE(ITEM_CheckFlats(flats, 4), nullptr);
    ITEM_PutLong(flats, 8, 3);
    EXPECT_NE(ITEM_CheckFlats(flats, 3), nullptr);
}

TEST(ItemFormat, PalettesStayInSixBits)
{
    std::vector<uint8_t> pal(768, 63);
    EXPECT_EQ(ITEM_CheckPalette(pal), nullptr);
    pal[300] = 64;
    EXPECT_NE(ITEM_CheckPalette(pal), nullptr);
    EXPECT_NE(ITEM_CheckPalette(std::vector<uint8_t>(767, 0)), nullptr);
}
