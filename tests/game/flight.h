// Waves of the generated data set flown headless: the game started once per test
// program on the generated archives, a frame hook that pushes keys at given frames, hashes
// the shown picture at chosen frames and checks the state every frame, and a fixture that
// loads a wave with the demo pilot and flies it.
#pragma once

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/inputtest.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "testutil/gfxitems.h"
#include "testutil/gamestart.h"
#include "testutil/testutil.h"
#include "world/tile.h"

namespace
{

using vt::StartGame;

// What the frame hook sees: frames counted as they are shown, keys pushed at given
// frames, the picture's hash at chosen frames, and a check of the state on every frame.
struct KEYEVENT {
    int frame;
    SDL_Scancode sc;
    bool down;
};
struct WATCH {
    int frames = 0;
    std::vector<KEYEVENT> keys;
    std::set<int> sample;
    std::map<int, uint64_t> hashes;
    void (*each)(int frame) = nullptr;
};
WATCH watch;

// The shown picture and the palette it is shown in. The recording's "REC" counter in the
// top-left corner is left out: it is the one thing a recording shows and a playback does not.
uint64_t FrameHash()
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    for (int y = 0; y < SCREENHEIGHT; y++)
        for (int x = 0; x < SCREENWIDTH; x++)
            if (!(x < 80 && y >= 16 && y < 36)) mix(displayscreen[y * SCREENWIDTH + x]);
    for (uint8_t b : gpal)
        mix(b);
    return h;
}

void Watcher(int point)
{
    if (point != GAME_FRAME_SHOWN) return;
    int f = ++watch.frames;
    if (watch.sample.count(f)) watch.hashes[f] = FrameHash();
    if (watch.each) watch.each(f);
    for (const KEYEVENT& k : watch.keys)
        if (k.frame == f) vt::PushKey(k.sc, k.down);
}

class MissionTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        StartGame();
        watch = WATCH{};
        game_framehook = Watcher;
        demo_flag = 0;
        demo_mode = 0;
        godmode = 0;
        cur_game = 0;
        for (int& w : game_wave)
            w = 0;
    }
    void TearDown() override
    {
        game_framehook = nullptr;
        demo_flag = 0;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Clear();
    }

    // Loads wave `wave` of episode `game` with the demo pilot.
    static void Load(int game, int wave)
    {
        cur_game = game;
        game_wave[game] = wave;
        DEMO_MakePlayer(game);
        VUL_LoadMap();
    }
    // The same, and flies it.
    static int Fly(int game, int wave)
    {
        Load(game, wave);
        return Do_Game();
    }

    std::string Path(const char* name) const { return home.dir() + "/" + name; }

    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
};

} // namespace
