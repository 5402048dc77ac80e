// The heads-up display: score digits, the score label, the two warnings, the status icons,
// and the mouse pointer.
#include "content.h"
#include "res/itemfmt.h"

namespace
{

// Bold digits, strokes two pixels wide; drawn 8 pixels apart, so five wide plus outline.
const char* const kDigits[10][9] = {
    {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"..##.", ".###.", "..##.", "..##.", "..##.", "..##.", "..##.", "..##.", ".####"},
    {".###.", "##.##", "...##", "...##", "..##.", ".##..", "##...", "##...", "#####"},
    {"####.", "...##", "...##", ".###.", "...##", "...##", "...##", "...##", "####."},
    {"...##", "..###", ".#.##", "##.##", "##.##", "#####", "...##", "...##", "...##"},
    {"#####", "##...", "##...", "####.", "...##", "...##", "...##", "##.##", ".###."},
    {".###.", "##...", "##...", "####.", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"#####", "...##", "...##", "..##.", "..##.", ".##..", ".##..", ".##..", ".##.."},
    {".###.", "##.##", "##.##", ".###.", "##.##", "##.##", "##.##", "##.##", ".###."},
    {".###.", "##.##", "##.##", "##.##", ".####", "...##", "...##", "...##", ".###."},
};

// Near-black outline that stays visible on dark ground, since colour 0 is transparent.
uint8_t Outline()
{
    return gen.pal.c("grey", 0);
}

// Ink with a top-to-bottom gradient of a ramp and a light left edge, then an outline.
Image Inked(const Image& mask, const std::string& ramp, int top, int bottom)
{
    Image out(mask.w + 2, mask.h + 2);
    for (int y = 0; y < mask.h; y++)
        for (int x = 0; x < mask.w; x++) {
            if (!mask.at(x, y)) continue;
            int level = top + (bottom - top) * y / std::max(1, mask.h - 1);
            if (!mask.at(x - 1, y) || !mask.at(x, y - 1)) level += 2;
            out.set(x + 1, y + 1, gen.pal.c(ramp, level));
        }
    IMG_Outline(out, Outline());
    return out;
}

Image TextMask(const std::string& text, const std::string& font)
{
    const Font& f = FONT_Get(font);
    Image m(FONT_Width(f, text), f.height);
    FONT_Print(m, f, 0, 0, text, 1);
    // Trim empty rows at the bottom (descender space).
    int h = m.h;
    while (h > 1) {
        bool empty = true;
        for (int x = 0; x < m.w; x++)
            if (m.at(x, h - 1)) empty = false;
        if (!empty) break;
        h--;
    }
    Image t(m.w, h);
    IMG_Blit(t, m, 0, 0);
    return t;
}

} // namespace

Image HUD_Digit(int d)
{
    Image mask(5, 9);
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 5; x++)
            mask.set(x, y, kDigits[d][y][x] == '#');
    return Inked(mask, "gold", 4, 0);
}

Image HUD_ScoreLabel()
{
    // A coin: it labels the score, which is the pilot's money, and shows a taken money
    // pickup as well.
    Image img(9, 11);
    const Palette& p = gen.pal;
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 7; x++) {
            double dx = x - 3, dy = y - 4;
            double d = dx * dx / 10.5 + dy * dy / 17.0;
            if (d > 1.0) continue;
            int level = 3 - static_cast<int>((dx + dy) * 0.5);
            img.set(x + 1, y + 1, p.c("gold", level));
        }
    // The coin's mark.
    const char* mark[7] = {"..#..", ".####", ".#...", "..##.", "...#.", "####.", "..#.."};
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < 5; x++)
            if (mark[y][x] == '#') img.set(x + 2, y + 2, p.c("earth", 3));
    IMG_Outline(img, Outline());
    return img;
}

Image HUD_Warning(int which)
{
    if (which == 0) return Inked(TextMask("SHIELDS LOW", "medium"), "fire", 12, 7);
    return Inked(TextMask("DAMAGE - EQUIPMENT LOST", "medium"), "fire", 8, 3);
}

Image HUD_Icon(int which)
{
    const Palette& p = gen.pal;
    Image img(12, 12);
    if (which == 0) {
        // Mega bomb: a round bomb with fins and a lit fuse.
        for (int y = 0; y < 12; y++)
            for (int x = 0; x < 12; x++) {
                double dx = x - 5.5, dy = y - 6.5;
                if (dx * dx + dy * dy <= 16)
                    img.set(x, y, p.c("steel", 8 - static_cast<int>(dx + dy)));
            }
        img.set(8, 2, p.c("steel", 9));
        img.set(9, 1, p.c("fire", 12));
        img.set(10, 0, p.c("fire", 15));
    } else {
        // Super shield: a shield crest.
        for (int y = 0; y < 11; y++) {
            int half = y < 6 ? 5 : 5 - (y - 5);
            for (int x = 6 - half; x < 6 + half; x++)
                img.set(x, y, p.c("water", 13 - y / 2 - (x < 6 ? 0 : 2)));
        }
        IMG_Line(img, 6, 1, 6, 8, p.c("ice", 15));
        IMG_Line(img, 3, 4, 8, 4, p.c("ice", 15));
    }
    IMG_Outline(img, Outline());
    return img;
}

Image HUD_Pointer()
{
    // 'o' outline, 'w' face, 's' shaded face; the tip at (1, 1) is the hot spot.
    const char* art[16] = {
        "................", ".oo.............", ".owo............", ".owwo...........",
        ".owwwo..........", ".owwwso.........", ".owwwwso........", ".owwwwwso.......",
        ".owwwwwsso......", ".owwwwwssso.....", ".owwwwsooooo....", ".owwosso........",
        ".owo.oso........", ".oo..osso.......", ".o....oso.......", "......oo........"};
    const Palette& p = gen.pal;
    Image img(16, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            char c = art[y][x];
            if (c == 'o') img.set(x, y, p.c("grey", 0));
            if (c == 'w') img.set(x, y, p.c("grey", 14));
            if (c == 's') img.set(x, y, p.c("grey", 10));
        }
    return img;
}

Bytes HUD_PointerItem()
{
    Image img = HUD_Pointer();
    // The marker pixel stands on the tip; the pointer shows it in the colour of the pixel
    // after it, which is the outline there as well.
    img.set(1, 1, 255);
    return GEN_Picture(img);
}
