// A battlefield for the effect tests: small archives whose animation frames, glows and
// pickup pictures are plain coloured boxes of known size, a frame buffer, the clock seam
// and recognisable colour tables.
#pragma once

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/tile.h"

namespace fx
{

constexpr uint8_t kBg = 7;

// A w x h box of one colour as a sprite.
inline std::vector<uint8_t> Box(int w, int h, uint8_t colour)
{
    return vt::MakeSprite(w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h, colour));
}

// The colour frame f of an animation run is drawn in: different for every frame.
inline uint8_t FrameColour(int item, int frame)
{
    return static_cast<uint8_t>(20 + (item + frame) % 200);
}

// Size of every animation frame in the test archives; types may override it.
constexpr int kAnimW = 8, kAnimH = 6;
// Pickup pictures, the glow and the taken coin.
constexpr int kPickup = 16, kGlow = 20;
constexpr uint8_t kCoin = 252;

struct ArchiveSpec {
    // Items to replace, by id (an empty vector makes a bare label entry).
    std::map<int, std::vector<uint8_t>> items;
    // Labels of entries of archive 1, by id.
    std::map<int, std::string> labels;
    // Entries of archive 1: fewer cuts the battlefield block short.
    int count = ITM_Index(ITM_ICON_SUPERSHIELD) + 1;
};

inline std::vector<uint8_t> DefaultItem(int id)
{
    const int index = ITM_Index(id);
    if (id == ITM_SCORELABEL) return Box(9, 11, kCoin);
    if (id >= ITM_GLOW && id < ITM_GLOW + 4) return Box(kGlow, kGlow, 1);
    if (id >= ITM_INVPICS && id < ITM_ICON_MEGABOMB)
        return Box(kPickup, kPickup, static_cast<uint8_t>(200 + index - ITM_Index(ITM_INVPICS)));
    if (index >= ITM_Index(ITM_ANIM0)) return Box(kAnimW, kAnimH, FrameColour(id, 0));
    return {1, 2, 3, 4};
}

// A rectangle of the screen as x, y, w, h.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << "(" << r.x << "," << r.y << " " << r.w << "x" << r.h << ")";
}

class Battlefield : public ::testing::Test
{
  protected:
    void SetUp() override { Build(ArchiveSpec{}); }

    // Writes the archives, opens them and starts every effect module.
    void Build(const ArchiveSpec& spec)
    {
        GLB_Shutdown();
        std::vector<GLB_WRITEITEM> a0 = {{"ZERO", {1, 2, 3, 4}, false}};
        std::vector<GLB_WRITEITEM> a1;
        for (int i = 0; i < spec.count; i++) {
            int id = ITM_Id(1, i);
            auto it = spec.items.find(id);
            auto label = spec.labels.find(id);
            a1.push_back({label != spec.labels.end() ? label->second : "",
                          it != spec.items.end() ? it->second : DefaultItem(id), false});
        }
        vt::WriteArchive(home.dir() + "/FILE0000.GLB", a0);
        vt::WriteArchive(home.dir() + "/FILE0001.GLB", a1);
        if (old_cwd.empty()) old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(home.dir());
        ASSERT_EQ(GLB_InitSystem((home.dir() + "/x").c_str(), 2, nullptr), 2);

        GFX_InitSystem();
        for (int i = 0; i < 256; i++) {
            ltable[i] = static_cast<uint8_t>(i + 1);
            dtable[i] = static_cast<uint8_t>(i - 1);
        }
        Clear();
        opt_detail = 1;
        scroll_flag = 1;
        playerx = 144;
        playery = 160;
        player_cx = 160;
        player_cy = 176;
        wsrand(1);
        SHADOW_Init();
        OBJS_Init();
        BONUS_Init();
        ANIMS_Init();
    }

    void TearDown() override
    {
        GLB_Shutdown();
        if (!old_cwd.empty()) std::filesystem::current_path(old_cwd);
    }

    static void Clear() { memset(displaybuffer, kBg, SCREENSIZE); }

    // The rectangle of pixels that differ from the background; empty when nothing was
    // drawn.
    static Rect Drawn()
    {
        int x0 = SCREENWIDTH, y0 = SCREENHEIGHT, x1 = -1, y1 = -1;
        for (int y = 0; y < SCREENHEIGHT; y++)
            for (int x = 0; x < SCREENWIDTH; x++)
                if (displaybuffer[y * SCREENWIDTH + x] != kBg) {
                    x0 = std::min(x0, x);
                    y0 = std::min(y0, y);
                    x1 = std::max(x1, x);
                    y1 = std::max(y1, y);
                }
        if (x1 < 0) return {};
        return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    }

    vt::TempHome home;
    vt::FakeClock clock{1000};
    std::filesystem::path old_cwd;
};

} // namespace fx
