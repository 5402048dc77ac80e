// Contact sheets: the palette, each landscape's tiles, whole maps put together from their
// tiles, the ships, enemies, fonts, HUD pieces and the closing screen, as indexed PNGs in
// the game palette.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "content.h"
#include "episode.h"
#include "preview.h"
#include "scenes.h"

namespace
{

// With `transparent` colour 0 is see-through (icons); contact sheets are opaque.
void WritePng(const std::string& path, const Image& img, bool transparent = false)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) GEN_Fail("cannot create %s", path.c_str());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!png || !info || setjmp(png_jmpbuf(png))) GEN_Fail("cannot write %s", path.c_str());
    png_init_io(png, f);
    png_set_IHDR(png, info, img.w, img.h, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color pal[256];
    for (int i = 0; i < 256; i++)
        pal[i] = {static_cast<png_byte>(gen.pal.rgb[i][0] * 4),
                  static_cast<png_byte>(gen.pal.rgb[i][1] * 4),
                  static_cast<png_byte>(gen.pal.rgb[i][2] * 4)};
    png_set_PLTE(png, info, pal, 256);
    png_byte alpha0 = 0;
    if (transparent) png_set_tRNS(png, info, &alpha0, 1, nullptr);
    png_write_info(png, info);
    for (int y = 0; y < img.h; y++)
        png_write_row(png, const_cast<png_bytep>(&img.px[size_t(y) * img.w]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(f);
}

Image Zoom(const Image& src, int k)
{
    return IMG_Scale(src, src.w * k, src.h * k);
}

uint8_t Backdrop()
{
    return gen.pal.c("steel", 2);
}

// Lays images out in rows of at most `width` pixels with a gap between them.
Image Sheet(const std::vector<Image>& imgs, int width, int gap, uint8_t bg)
{
    int x = gap, y = gap, rowh = 0, maxw = 0;
    std::vector<std::pair<int, int>> at;
    for (const Image& i : imgs) {
        if (x + i.w + gap > width && x > gap) {
            x = gap;
            y += rowh + gap;
            rowh = 0;
        }
        at.push_back({x, y});
        x += i.w + gap;
        maxw = std::max(maxw, x);
        rowh = std::max(rowh, i.h);
    }
    Image out(std::max(maxw, 1), y + rowh + gap, bg);
    for (size_t k = 0; k < imgs.size(); k++)
        IMG_Blit(out, imgs[k], at[k].first, at[k].second, false);
    return out;
}

Image Label(const std::string& text, uint8_t bg)
{
    const Font& f = FONT_Get("small");
    Image img(FONT_Width(f, text) + 4, f.height + 2, bg);
    FONT_Print(img, f, 2, 1, text, gen.pal.c("grey", 14));
    return img;
}

// A map put together from its tile items, cut into strips laid side by side.
Image MapOverview(int episode, int wave, int strips)
{
    const Episode& ep = EPI_Get(episode);
    const std::vector<int>& cells = ep.cells[wave];
    int rowsPer = (kRows + strips - 1) / strips;
    Image out(strips * (kCanvasW + 8), rowsPer * kTile, Backdrop());
    for (int r = 0; r < kRows; r++)
        for (int c = 0; c < kCols; c++) {
            int s = r / rowsPer, rr = r % rowsPer;
            IMG_Blit(out, ep.tiles[cells[size_t(r) * kCols + c]], s * (kCanvasW + 8) + c * kTile,
                     rr * kTile, false);
        }
    return out;
}

} // namespace

void PREVIEW_Write(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    const Palette& p = gen.pal;

    Image pal(16 * 20, 16 * 20, 0);
    for (int i = 0; i < 256; i++)
        IMG_Rect(pal, (i % 16) * 20 + 1, (i / 16) * 20 + 1, 18, 18, static_cast<uint8_t>(i));
    WritePng(dir + "/palette.png", Zoom(pal, 2));

    for (int e = 0; e < ITM_EPISODES; e++) {
        const Episode& ep = EPI_Get(e);
        std::vector<Image> tiles;
        for (const Image& t : ep.tiles)
            tiles.push_back(Zoom(t, 2));
        std::string n = std::to_string(e + 1);
        Image sheet = Sheet(tiles, 66 * 20, 2, Backdrop());
        WritePng(dir + "/tiles_e" + n + ".png", sheet);
        // One tile of every kind of cell: each ground, road and building, and the wrecks.
        std::vector<Image> kinds;
        std::set<std::string> seen;
        for (size_t t = 0; t < ep.tiles.size(); t++)
            if (seen.insert(ep.tilenames[t]).second) kinds.push_back(Zoom(ep.tiles[t], 3));
        WritePng(dir + "/kinds_e" + n + ".png", Sheet(kinds, 100 * 12, 4, Backdrop()));
        for (int w = 0; w < ITM_WAVES; w++)
            WritePng(dir + "/map_e" + n + "w" + std::to_string(w + 1) + ".png",
                     MapOverview(e, w, 5));
        // Every frame of the episode's roster, and its bosses larger over its own ground.
        std::vector<Image> foes, bosses;
        const Image ground = MapOverview(e, 2, 1);
        for (const ITEMRUN& r : ITM_LAYOUT) {
            if (std::string(r.content) != "enemy.frames" || r.param / 16 != e) continue;
            const int kind = r.param % 16;
            const bool boss = std::string(r.label).starts_with("BASE") ||
                              std::string(r.label).starts_with("HEAVY") ||
                              std::string(r.label).starts_with("FORTRESS");
            for (const Image& f : ENEMY_Frames(e, kind, r.count)) {
                foes.push_back(Zoom(f, 3));
                if (!boss) continue;
                Image bg(f.w + 24, f.h + 24);
                IMG_Blit(bg, ground, -40, -(kind * 700 % 3000 + 600), false);
                IMG_Blit(bg, f, 12, 12);
                bosses.push_back(Zoom(bg, 3));
            }
        }
        WritePng(dir + "/enemies_e" + n + ".png", Sheet(foes, 1200, 6, Backdrop()));
        WritePng(dir + "/bosses_e" + n + ".png", Sheet(bosses, 1400, 6, Backdrop()));
    }

    // Ships over land and water, as they will be seen.
    {
        const Episode& ep = EPI_Get(0);
        Image ground = MapOverview(0, 0, 1);
        std::vector<Image> rows;
        for (int set = 0; set < 3; set++) {
            Image row(7 * 40 + 8, 44);
            for (int f = 0; f < 7; f++) {
                Image bg(40, 44);
                IMG_Blit(bg, ground, -(f * 37 % 200), -((set * 1500 + 800) % 4000), false);
                IMG_Blit(bg, SHIP_Frame(set, f), 4, 6);
                IMG_Blit(row, bg, 4 + f * 40, 0, false);
            }
            rows.push_back(Zoom(row, 3));
        }
        (void)ep;
        WritePng(dir + "/ships.png", Sheet(rows, 2000, 6, Backdrop()));
    }

    // Fonts, in a few colours; the large one with a four-colour ramp.
    {
        std::vector<Image> rows;
        for (const char* name : {"small", "medium", "large"}) {
            const Font& f = FONT_Get(name);
            std::string all;
            for (int c = 32; c < 127; c++)
                all += static_cast<char>(c);
            std::vector<std::string> lines = {
                all.substr(0, 32), all.substr(32, 32), all.substr(64),
                "The quick brown fox jumps over the lazy dog. 0123456789"};
            int w = 0;
            for (const std::string& l : lines)
                w = std::max(w, FONT_Width(f, l));
            Image img(w + 8, static_cast<int>(lines.size()) * (f.height + 3) + 6, p.c("steel", 3));
            for (size_t k = 0; k < lines.size(); k++) {
                uint8_t col = std::string(name) == "large"
                                  ? p.c("gold", 1)
                                  : p.c("grey", 14 - 2 * static_cast<int>(k % 2));
                FONT_Print(img, f, 4, 3 + static_cast<int>(k) * (f.height + 3), lines[k], col);
            }
            rows.push_back(Zoom(img, 2));
        }
        WritePng(dir + "/fonts.png", Sheet(rows, 2400, 6, Backdrop()));
    }

    // HUD pieces and the pointer, at four times their size.
    {
        std::vector<Image> parts;
        Image score(9 + 8 * 8, 13, p.c("grass", 7));
        IMG_Blit(score, HUD_ScoreLabel(), 0, 1);
        for (int k = 0; k < 8; k++)
            IMG_Blit(score, HUD_Digit((k * 3 + 1) % 10), 9 + 8 * k, 1);
        parts.push_back(Zoom(score, 4));
        Image digits(8 * 10 + 2, 13, p.c("water", 6));
        for (int d = 0; d < 10; d++)
            IMG_Blit(digits, HUD_Digit(d), 1 + 8 * d, 1);
        parts.push_back(Zoom(digits, 4));
        for (int w = 0; w < 2; w++) {
            Image warn = HUD_Warning(w);
            Image bg(warn.w + 4, warn.h + 4, p.c("sand", 9));
            IMG_Blit(bg, warn, 2, 2);
            parts.push_back(Zoom(bg, 4));
        }
        for (int i = 0; i < 2; i++) {
            Image icon = HUD_Icon(i), bg(icon.w + 4, icon.h + 4, p.c("grass", 6));
            IMG_Blit(bg, icon, 2, 2);
            parts.push_back(Zoom(bg, 4));
        }
        Image ptr(20, 20, p.c("steel", 8));
        IMG_Blit(ptr, HUD_Pointer(), 2, 2);
        parts.push_back(Zoom(ptr, 6));
        for (int t = 0; t < 3; t++) {
            Image tex = SCREEN_Texture(t), tiled(96, 96);
            for (int y = 0; y < 96; y += 32)
                for (int x = 0; x < 96; x += 32)
                    IMG_Blit(tiled, tex, x, y, false);
            parts.push_back(Zoom(tiled, 2));
        }
        WritePng(dir + "/hud.png", Sheet(parts, 1400, 8, Backdrop()));
    }

    // Battlefield effects and pickups.
    {
        std::vector<Image> all;
        for (const ITEMRUN& r : ITM_LAYOUT) {
            std::string what = r.content;
            if (!(what.starts_with("anim.") || what.starts_with("shot.") || what == "pickup"))
                continue;
            for (const Image& i : BATTLE_Frames(what, r.param, r.count))
                all.push_back(Zoom(i, 2));
        }
        WritePng(dir + "/battle.png", Sheet(all, 1400, 4, Backdrop()));
    }
    // The weapons close up: every shot, beam slice and beam muzzle, four times their size.
    {
        std::vector<Image> all;
        for (const ITEMRUN& r : ITM_LAYOUT) {
            std::string what = r.content;
            if (!(what.starts_with("shot.") || what == "anim.beammuzzle")) continue;
            Image run(r.count * 17, 20, Backdrop());
            int x = 0;
            for (const Image& i : BATTLE_Frames(what, r.param, r.count)) {
                IMG_Blit(run, i, x + (16 - i.w) / 2, (20 - i.h) / 2);
                x += 17;
            }
            all.push_back(Zoom(run, 4));
        }
        WritePng(dir + "/weapons.png", Sheet(all, 1400, 12, Backdrop()));
    }
    for (const auto& [name, sheet] : EFFECTS_Sheets())
        WritePng(dir + "/" + name, sheet);
    SCENE_WritePreview(dir + "/scenes");
    (void)Label;
}

void PREVIEW_Png(const std::string& path, const Image& img)
{
    WritePng(path, img);
}

void PREVIEW_WriteIcons(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    for (int size : {32, 64, 128, 256})
        WritePng(dir + "/vultar-" + std::to_string(size) + ".png", SHIP_Icon(size), true);
}
