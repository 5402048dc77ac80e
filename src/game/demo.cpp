// Demo recording and playback, and the timedemo.
#include "game/demo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "game/i_system.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/intro.h"
#include "ui/windows.h"
#include "world/objects.h"
#include "world/tile.h"

int demo_mode;
uint8_t playback[DEMO_RECORDS * DEMO_RECORD];
int cur_play = 1, max_play;
int demo_game, demo_wave;

namespace
{

constexpr int kFxDemo = 10;
constexpr int kSongDeath = 93;
constexpr int kRecX = 21, kRecY = 20, kRecColour = 84;

char demo_name[256];
// Whether `playback` holds a demo that passed the checks.
bool loaded;
int timedemo;

void PutShort(uint8_t* p, int v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLong(uint8_t* p, int32_t v)
{
    for (int k = 0; k < 4; k++)
        p[k] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}

int GetShort(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

int32_t GetLong(const uint8_t* p)
{
    return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
}

// The header of what `playback` holds: the count keeps its low 16 bits. A demo that
// fills the whole buffer plays no further than the frame after the last record a
// recording can hold.
void ReadHeader(void)
{
    demo_game = GetShort(playback + 4);
    demo_wave = GetShort(playback + 6);
    max_play = std::min(GetLong(playback + 8) & 0xFFFF, DEMO_MAXFRAMES + 1);
    cur_play = 1;
}

// Copies a demo that passed the checks into `playback`; what lies past it reads as frames
// with nothing pressed.
void Take(const uint8_t* data, int length)
{
    memset(playback, 0, sizeof(playback));
    memcpy(playback, data, static_cast<size_t>(length));
    ReadHeader();
    loaded = true;
}

// ---- the timedemo -----------------------------------------------------------------------

// A clock that moves on with every reading: the frame waits end at once, and the game runs
// as fast as it can think, draw and present.
uint32_t fast_ms;
uint32_t FastTicks(void)
{
    return fast_ms += 5;
}
void FastDelay(uint32_t ms)
{
    fast_ms += ms;
}
constexpr I_CLOCK kFastClock = {FastTicks, FastDelay};

using Clock = std::chrono::steady_clock;
struct TIMING {
    Clock::time_point mark;
    bool started;
    DEMO_TIMING sum;
};
TIMING timing;
// Whoever watched frames before the timedemo began; it goes on seeing them.
void (*watcher)(int point);

void TimedemoHook(int point)
{
    if (watcher) watcher(point);
    Clock::time_point now = Clock::now();
    double spent = std::chrono::duration<double>(now - timing.mark).count();
    DEMO_TIMING& t = timing.sum;
    switch (point) {
    case GAME_FRAME_START:
        // Before the first frame is the wave's loading, which the total alone counts.
        if (timing.started) t.other += spent;
        timing.started = true;
        break;
    case GAME_FRAME_THOUGHT:
        t.think += spent;
        break;
    case GAME_FRAME_DRAWN:
        t.draw += spent;
        break;
    case GAME_FRAME_PACED:
        t.wait += spent;
        break;
    case GAME_FRAME_SHOWN:
        t.present += spent;
        t.frames++;
        break;
    }
    timing.mark = now;
}

void TimedemoReport(void)
{
    const DEMO_TIMING& t = timing.sum;
    int n = t.frames > 0 ? t.frames : 1;
    auto ms = [n](double s) { return 1000.0 * s / n; };
    printf("timedemo: %d frames in %.3f s, %.1f frames per second\n", t.frames, t.total,
           t.total > 0 ? t.frames / t.total : 0.0);
    printf("timedemo: per frame %.3f ms think, %.3f ms draw, %.3f ms present, %.3f ms wait, "
           "%.3f ms other\n",
           ms(t.think), ms(t.draw), ms(t.present), ms(t.wait), ms(t.other));
    fflush(stdout);
}

} // namespace

void DEMO_SetFileName(const char* name)
{
    M_StringCopy(demo_name, name, sizeof(demo_name));
}

void DEMO_StartRec(void)
{
    SND_Patch(kFxDemo, 127);
    memset(playback, 0, sizeof(playback));
    cur_play = 1;
    demo_mode = 1;
}

void DEMO_StartPlayback(void)
{
    cur_play = 1;
    demo_mode = 2;
}

int DEMO_Think(void)
{
    if (demo_mode == 1) {
        if (cur_play < 1 || cur_play > DEMO_MAXFRAMES) return 0;
        uint8_t* rec = playback + size_t(cur_play) * DEMO_RECORD;
        for (int b = 0; b < NUM_BUTTONS; b++)
            rec[b] = static_cast<uint8_t>(buttons[b]);
        PutShort(rec + 4, playerx);
        PutShort(rec + 6, playery);
        PutShort(rec + 8, playerpic);
        if (cur_play++ == DEMO_MAXFRAMES) {
            // Full: the wave goes on unrecorded.
            SND_Patch(kFxDemo, 127);
            demo_mode = 0;
        }
    } else if (demo_mode == 2) {
        if (cur_play < 1 || cur_play >= DEMO_RECORDS) {
            demo_mode = 0;
            return 1;
        }
        const uint8_t* rec = playback + size_t(cur_play) * DEMO_RECORD;
        for (int b = 0; b < NUM_BUTTONS; b++)
            buttons[b] = static_cast<int8_t>(rec[b]);
        playerx = GetShort(rec + 4);
        playery = GetShort(rec + 6);
        player_cx = playerx + 16;
        player_cy = playery + 16;
        // The banking frame picks one of the ship's pictures: a damaged demo must not
        // point past them.
        int pic = GetShort(rec + 8);
        playerpic = pic < 0 ? 0 : pic >= SHIP_FRAMES ? SHIP_FRAMES - 1 : pic;
        cur_play++;
        if (cur_play > max_play) {
            demo_mode = 0;
            return 1;
        }
    }
    return 0;
}

void DEMO_SaveFile(void)
{
    if (cur_play <= 1) return;
    PutLong(playback, 0);
    PutShort(playback + 4, cur_game);
    PutShort(playback + 6, game_wave[cur_game]);
    PutLong(playback + 8, cur_play);
    GLB_SaveFile(demo_name, playback, cur_play * DEMO_RECORD);
}

bool DEMO_Check(const uint8_t* data, int length)
{
    if (!data || length < DEMO_RECORD || length > int(sizeof(playback))) return false;
    int count = GetLong(data + 8) & 0xFFFF;
    int game = GetShort(data + 4), wave = GetShort(data + 6);
    if (count < 1 || count * DEMO_RECORD > length) return false;
    return game >= 0 && game < MAP_TILESETS && wave >= 0 && wave < ITM_WAVES;
}

bool DEMO_LoadFile(void)
{
    loaded = false;
    max_play = 0;
    // The file is measured before it is read: a file longer than the buffer is refused.
    int length = GLB_ReadFile(demo_name, nullptr);
    if (length < DEMO_RECORD || length > int(sizeof(playback))) {
        printf("DEMO %s refused: not a demo file\n", demo_name);
        return false;
    }
    static uint8_t file[sizeof(playback)];
    // Read again by name: a file that has changed since it was measured is refused.
    if (GLB_ReadFile(demo_name, file, sizeof(file)) != length || !DEMO_Check(file, length)) {
        printf("DEMO %s refused: its header does not match the file\n", demo_name);
        return false;
    }
    Take(file, length);
    return true;
}

bool DEMO_GLBFile(int item)
{
    int length = GLB_ItemSize(item);
    if (length <= 0 || length > int(sizeof(playback))) return false;
    const uint8_t* data = GLB_GetItem(item);
    if (!DEMO_Check(data, length)) return false;
    Take(data, length);
    return true;
}

void DEMO_MakePlayer(int game)
{
    OBJS_Clear();
    memset(&plr, 0, sizeof(plr));
    plr.diff[0] = plr.diff[1] = plr.diff[2] = 3;
    plr.sweapon = -1;
    VUL_SetPlayerDiff();
    for (int t : {OBJ_GUN1, OBJ_SHIELD, OBJ_SHIELD, OBJ_SHIELD, OBJ_SHIELD, OBJ_BOSSGAUGE})
        OBJS_Add(t);
    plr.score = 10000;
    if (game == 1) {
        for (int t : {11, 11, 11, 11, 15, 1, 2, 5, 8})
            OBJS_Add(t);
        plr.score += 327683;
    } else if (game == 2) {
        for (int t : {11, 11, 11, 11, 15, 1, 2, 13, 8})
            OBJS_Add(t);
        plr.score += 876543;
    } else {
        for (int t : {2, 11, 4, 7, 5, 14})
            OBJS_Add(t);
    }
    OBJS_GetNext();
}

int DEMO_Play(void)
{
    // Nothing to play, or a demo of an episode whose archive is not here.
    if (!loaded || !gameflag[demo_game]) return 0;
    cur_play = 1;
    game_wave[demo_game] = demo_wave;
    cur_game = demo_game;
    demo_mode = 2;
    DEMO_MakePlayer(demo_game);
    WIN_PlayWaveSong();
    WIN_LoadComp();
    VUL_LoadMap();

    Clock::time_point start{};
    if (timedemo) {
        I_SetClock(&kFastClock);
        timing = {};
        timing.mark = start = Clock::now();
        watcher = game_framehook;
        game_framehook = TimedemoHook;
    }
    int result = Do_Game();
    if (timedemo) {
        timing.sum.total = std::chrono::duration<double>(Clock::now() - start).count();
        TimedemoReport();
        game_framehook = watcher;
        watcher = nullptr;
    }

    // The closing scene belongs to the demo: a press that cuts it short ends the attract
    // mode just as one during the flight does.
    if (result == 0) {
        if (OBJS_GetAmt(OBJ_SHIELD) <= 0) {
            SND_PlaySong(kSongDeath, 1, 1);
            result = INTRO_Death();
        } else {
            result = INTRO_Landing();
        }
    }
    VUL_ClearPlayer();
    demo_mode = 0;
    return result;
}

void DEMO_DisplayStats(void)
{
    static int font_ok = -1;
    const uint8_t* font = GLB_GetItem(ITM_DEMOFONT);
    if (font_ok == -1) font_ok = GFX_CheckFont(font, size_t(GLB_ItemSize(ITM_DEMOFONT)));
    if (!font_ok) return;
    char text[32];
    M_snprintf(text, sizeof(text), "REC %d", DEMO_MAXFRAMES + 1 - cur_play);
    GFX_Print(kRecX, kRecY, text, font, kRecColour);
}

void DEMO_SetTimedemo(int on)
{
    timedemo = on;
}

int DEMO_IsTimedemo(void)
{
    return timedemo;
}

DEMO_TIMING DEMO_GetTiming(void)
{
    return timing.sum;
}
