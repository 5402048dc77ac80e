// The mission loop and the player ship.
#include "game/game.h"

#include <cstdio>
#include <cstring>

#include "game/demo.h"
#include "game/i_system.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/imsapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/help.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/shots.h"
#include "world/tile.h"

int playerx = SHIP_STARTX, playery = SHIP_STARTY;
int player_cx = SHIP_STARTX + 16, player_cy = SHIP_STARTY + 16;
int playerpic = 4;
int playerbasepic = 3;
int g_flash;
int draw_player = 1;
int curship[2 * SHIP_FRAMES];

int startendwave = -1;
int end_wave;
int fadeflag;
int startfadeflag;
int fadecnt;
int gl_cnt;
int debugflag;
int g_oldshield = -1, g_oldsuper = -1;
uint8_t gpal[768];
int32_t wRandSeed = 1;

void (*game_framehook)(int point);

namespace
{

// Keys of the mission loop (scan codes).
constexpr int SC_P = 25;
constexpr int SC_X = 45;
constexpr int SC_F8 = 66;
constexpr int SC_1 = 2;
constexpr int SC_MINUS = 12;

// Effects.
constexpr int kFxExplosion = 8;
constexpr int kFxExplosion2 = 9;
constexpr int kFxItemLost = 11;
constexpr int kFxFlyOut = 13;
constexpr int kFxGroundExplosion = 15;
constexpr int kFxChangeSpecial = 20;
constexpr int kFxWarning = 22;
constexpr int kPanCentre = 127;

// Explosions and debris started when the ship blows up (the pool keeps what fits).
constexpr int kDebrisPieces = 512;

// A mission frame lasts three ticks of the frame counter.
constexpr int kTicksPerFrame = 3;
// The end countdown: the wave ends this many frames (plus one) after it starts, control
// is taken from the player at kFlyOutStart, and a lost ship vanishes at kShipGone.
constexpr int kEndCountdown = 60;
constexpr int kFlyOutStart = 40;
constexpr int kShipGone = 24;
constexpr int kFlyOutClimb = -4;
constexpr int kFlyOutSide = 8;

// The white flash: 19 frames of fading back with the field shaking sideways.
constexpr int kFlashFrames = 19;
constexpr int shakes[20] = {-4, 4, -3, 3, -2, 2, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, 0, 0};

// Engine flames: sideways offset of the two flames for each banking frame.
constexpr int o_engine[SHIP_FRAMES] = {0, 1, 2, 3, 2, 1, 0};

// Special weapon by number key: 1..9, 0 and minus.
constexpr int kSpecialByKey[11] = {3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 13};

// Shield bars: 100 segments on every second row from the bottom, colour 74 at the bottom
// fading to 66 at the top.
constexpr int kBarSegments = 100;
constexpr int kSuperBarX = 8;
constexpr int kShieldBarX = 308;
constexpr int kBarWidth = 4;
constexpr int kShieldWarnLevel = 10;

// The score: label, then eight digits 8 pixels apart.
constexpr int kScoreLabelX = 119;
constexpr int kScoreX = 128;
constexpr int kDigitStep = 8;
constexpr int kStatsY = 2;

// Palette animation: colours 240..255 cycle, glow, blink and flicker.
constexpr int kAnimColours = 240;
constexpr int glowtable[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};

// The palette animation's counters. They start afresh with every wave: the animation
// draws from the random stream on every second frame, and a demo only replays if that
// happens on the same frames as when it was recorded.
struct PALANIM {
    int cnt, palcnt, glow1, glow2, blink, wblink;
};
constexpr PALANIM kPalAnimStart = {0, 0, 0, 8, 0, 0};
PALANIM palanim = kPalAnimStart;

// The edge latches of change special and mega bomb: one action per press.
int held_change, held_bomb;

// The warnings blink; these live for the whole run (the damage counter starts below zero
// so that, until an item is first lost, it never counts down to zero).
int warn_blink = 1;
int warn_damage = -1;

// One more step of the game's random stream, giving the whole new seed.
int32_t SeedStep(void)
{
    wrand();
    return wRandSeed;
}

void ClearButtons(void)
{
    for (int& b : buttons)
        b = 0;
}

// The side bars: cleared where they are drawn (the screen buffer) and in the frame buffer.
void ClearSideBars(void)
{
    GFX_ColorBox(0, 0, MAP_LEFT, SCREENHEIGHT, 0);
    GFX_ColorBox(MAP_LEFT + MAP_WIDTH, 0, MAP_LEFT, SCREENHEIGHT, 0);
    for (int y = 0; y < SCREENHEIGHT; y++) {
        memset(displayscreen + ylookup[y], 0, MAP_LEFT);
        memset(displayscreen + ylookup[y] + MAP_LEFT + MAP_WIDTH, 0, MAP_LEFT);
    }
}

// After a window (help, pause, a question) the display is drawn afresh and no press made
// before it counts.
void Resume(void)
{
    g_oldsuper = g_oldshield = -1;
    ClearSideBars();
    VUL_DisplayStats();
    SWD_SetClearFlag(1);
    IMS_StartAck();
    ClearButtons();
    held_change = held_bomb = 0;
}

void Hook(int point)
{
    if (game_framehook) game_framehook(point);
}

void DrawBar(int x, int amount)
{
    for (int i = 0; i < kBarSegments; i++) {
        uint8_t c = i < amount ? static_cast<uint8_t>(74 - ((i * 5898) >> 16)) : 0;
        memset(displayscreen + ylookup[SCREENHEIGHT - 1 - 2 * i] + x, c, kBarWidth);
    }
}

int PicWidth(const uint8_t* pic)
{
    int32_t w;
    memcpy(&w, pic + 12, sizeof(w));
    return w;
}

void PutCentred(int item, int y)
{
    // Checked like every sprite from an archive: a damaged one is left out.
    if (const uint8_t* pic = ANIMS_GetSprite(item))
        GFX_PutSprite(pic, (SCREENWIDTH - PicWidth(pic)) / 2, y);
}

// Digits as HUD sprites; anything but a digit leaves a gap.
void PutNumber(const char* text, int x, int y)
{
    for (const char* c = text; *c; c++, x += kDigitStep)
        if (*c >= '0' && *c <= '9') GFX_PutSprite(numbers[*c - '0'], x, y);
}

// The ship is hit to pieces: explosions every frame, then the ship goes.
void ShipDestroyed(void)
{
    for (int anim : {ANIM_FIREBALL, ANIM_IMPACT}) {
        int ry = (SeedStep() >> 16) & 31;
        int rx = (SeedStep() >> 16) & 31;
        ANIMS_StartAnim(anim, playerx + rx, playery + ry);
    }
    if (startendwave > kShipGone) {
        // Explosions panned right or left at random.
        SND_Patch(kFxExplosion, (SeedStep() >> 16) & 1 ? 225 : 30);
    }
    if (startendwave == -1) startendwave = kEndCountdown;
    if (startendwave == kShipGone) {
        draw_player = 0;
        SND_Patch(kFxExplosion, kPanCentre);
        SND_Patch(kFxExplosion2, kPanCentre);
        ANIMS_StartAnim(ANIM_AIRBLAST, player_cx, player_cy);
        for (int i = 0; i < kDebrisPieces; i++) {
            int dx = ((SeedStep() >> 15) & 0x3E) - 16;
            int dy = ((SeedStep() >> 15) & 0x3E) - 16;
            if (i & 1)
                ANIMS_StartAnim(ANIM_AIRBLAST, playerx + dx, playery + dy);
            else
                ANIMS_StartAAnim(ANIM_DEBRIS, playerx + dx, playery + dy);
        }
        SND_Patch(kFxExplosion2, kPanCentre);
    }
}

} // namespace

int wrand(void)
{
    // 32-bit wrap-around, done unsigned so the overflow is defined.
    wRandSeed = static_cast<int32_t>(static_cast<uint32_t>(wRandSeed) * 1103515245u + 12345u);
    return (wRandSeed >> 16) & 0x7FFF;
}

void wsrand(int32_t seed)
{
    wRandSeed = seed;
}

void InitMobj(MOVEOBJ* obj)
{
    obj->addx = 1;
    obj->addy = 1;
    obj->done = 0;
    obj->delx = obj->x2 - obj->x;
    obj->dely = obj->y2 - obj->y;
    if (obj->delx < 0) {
        obj->delx = -obj->delx;
        obj->addx = -1;
    }
    if (obj->dely < 0) {
        obj->dely = -obj->dely;
        obj->addy = -1;
    }
    if (obj->delx >= obj->dely) {
        obj->maxloop = obj->delx + 1;
        obj->err = -(obj->dely >> 1);
    } else {
        obj->maxloop = obj->dely + 1;
        obj->err = obj->delx >> 1;
    }
}

void MoveMobj(MOVEOBJ* obj)
{
    if (obj->maxloop == 0) {
        obj->done = 1;
        return;
    }
    if (obj->delx >= obj->dely) {
        obj->err += obj->dely;
        obj->x += obj->addx;
        if (obj->err > 0) {
            obj->y += obj->addy;
            obj->err -= obj->delx;
        }
    } else {
        obj->err += obj->delx;
        obj->y += obj->addy;
        if (obj->err > 0) {
            obj->x += obj->addx;
            obj->err -= obj->dely;
        }
    }
    obj->maxloop -= 1;
}

void MoveSobj(MOVEOBJ* obj, int steps)
{
    if (steps == 0) return;
    // The major axis moves in one go; the minor axis is stepped with the usual error rule.
    if (obj->delx >= obj->dely) {
        obj->x += steps * obj->addx;
        for (int i = 0; i < steps; i++) {
            obj->err += obj->dely;
            if (obj->err > 0) {
                obj->y += obj->addy;
                obj->err -= obj->delx;
            }
        }
    } else {
        obj->y += steps * obj->addy;
        for (int i = 0; i < steps; i++) {
            obj->err += obj->delx;
            if (obj->err > 0) {
                obj->x += obj->addx;
                obj->err -= obj->dely;
            }
        }
    }
    obj->maxloop -= steps;
    if (obj->maxloop <= 0) obj->done = 1;
}

// ---- the ship's look, the display, the palette ------------------------------------------

void VUL_GetShipPic(void)
{
    // Two waves are flown in the other ship, which shows flash frames while it fires.
    bool other = (cur_game == 1 && game_wave[1] == 7) || (cur_game == 2 && game_wave[2] == 2);
    for (int k = 0; k < SHIP_FRAMES; k++) {
        curship[k] = other ? dship[k] : lship[k];
        curship[SHIP_FRAMES + k] = other ? fship[k] : lship[k];
    }
    for (int id : curship)
        GLB_CacheItem(id);
}

void VUL_DisplayStats(void)
{
    int super = OBJS_GetAmt(OBJ_SUPERSHIELD);
    int shield = OBJS_GetAmt(OBJ_SHIELD);

    if (super != g_oldsuper) {
        DrawBar(kSuperBarX, super);
        g_oldsuper = super;
    }
    if (shield != g_oldshield) DrawBar(kShieldBarX, shield);

    if (shield <= 0) {
        if (!godmode) ShipDestroyed();
    } else if (startendwave != -1) {
        // The wave is over: the ship centres itself and climbs out of the screen.
        if (startendwave == kFlyOutStart) {
            IPT_PauseControl(1);
            SND_Patch(kFxFlyOut, kPanCentre);
        }
        if (startendwave <= kFlyOutStart - 1) {
            int dx = playerx <= 151 ? kFlyOutSide : playerx <= 168 ? 0 : -kFlyOutSide;
            IPT_FMovePlayer(dx, kFlyOutClimb);
        }
    }

    if (shield <= kShieldWarnLevel && !godmode) {
        if ((gl_cnt & 7) == 0) {
            warn_blink ^= 1;
            if (warn_blink && warn_damage != 0) {
                warn_damage--;
                if (haptic && control == CONTROL_JOYSTICK) IPT_CalJoyRumbleHigh();
            }
        }
        if (g_oldshield > shield && super <= 0 && OBJS_LoseObj()) {
            SND_Patch(kFxItemLost, kPanCentre);
            warn_damage = 2;
        }
        if (warn_blink) {
            if (warn_damage != 0) PutCentred(ITM_WARN_DAMAGE, 173);
            if (startendwave == -1) SND_Patch(kFxWarning, kPanCentre);
            PutCentred(ITM_WARN_SHIELD, 182);
        }
    }

    g_oldshield = shield;
    OBJS_DisplayStats();

    char text[16];
    M_snprintf(text, sizeof(text), "%08u", static_cast<unsigned>(plr.score));
    GFX_PutSprite(numbers[10], kScoreLabelX, kStatsY);
    PutNumber(text, kScoreX, kStatsY);

    if (demo_mode == 1) DEMO_DisplayStats();

    if (debugflag) {
        int diff = cur_game >= 0 && cur_game < 4 ? plr.diff[cur_game] : 0;
        M_snprintf(text, sizeof(text), "%02u", static_cast<unsigned>(diff));
        GFX_PutSprite(numbers[10], 18, kStatsY);
        PutNumber(text, 27, kStatsY);
        for (int k = 0; k < 16; k++)
            GFX_ColorBox(32 + 8 * k, 0, 8, 8, kAnimColours + k);
    }
}

void VUL_PaletteStuff(void)
{
    auto& [cnt, palcnt, glow1, glow2, blink, wblink] = palanim;
    if (!(cnt++ & 1)) return;

    auto colour = [](int c) { return gpal + 3 * c; };
    auto reference = [](int c) { return palette + 3 * c; };
    // Colours first..first+4 each take the next one's value; the first goes to the end.
    auto rotate = [&](int first) {
        uint8_t keep[3];
        memcpy(keep, colour(first), 3);
        memmove(colour(first), colour(first + 1), 3 * 4);
        memcpy(colour(first + 4), keep, 3);
    };
    auto set = [&](int c, const uint8_t* rgb) { memcpy(colour(c), rgb, 3); };
    static constexpr uint8_t black[3] = {0, 0, 0};

    if (palcnt & 3) {
        rotate(240);
        if (palcnt & 1) rotate(245);
    }
    auto glow = [&](int c, int step) {
        for (int k = 0; k < 3; k++) {
            int v = reference(c)[k] - glowtable[step];
            colour(c)[k] = static_cast<uint8_t>(v < 0 ? 0 : v);
        }
    };
    glow(250, glow1);
    glow1 = (glow1 + 1) % 20;
    glow(251, glow2);
    glow2 = (glow2 + 1) % 20;
    if (palcnt & 1) {
        set(252, blink & 1 ? reference(252) : black);
        set(253, blink & 1 ? black : reference(253));
        blink++;
    }
    set(254, wrand() % 3 == 0 ? reference(254) : black);
    set(255, wblink > 2 ? black : reference(255));
    wblink = (wblink + 1) % 6;
    GFX_SetPalette(gpal, kAnimColours);
    palcnt++;
}

// ---- the mission loop -------------------------------------------------------------------

int Do_Game(void)
{
    draw_player = 1;
    fadeflag = 0;
    wsrand(game_wave[cur_game] << 10);
    // Everything that decides when the random stream is drawn from starts afresh, so a
    // wave replays the same whatever was flown before it.
    gl_cnt = 0;
    palanim = kPalAnimStart;

    KBD_Clear();
    IMS_StartAck();
    PTR_SetGameFlag(1);
    PTR_Settouchmouseb1off(0);

    playerx = SHIP_STARTX;
    playery = SHIP_STARTY;
    // Level and at rest, whatever the last wave left: a recording starts the same way
    // whatever was flown before it.
    IPT_Level();
    ClearButtons();
    if (demo_mode == 0) {
        PTR_SetPos(SHIP_STARTX, SHIP_STARTY);
        IPT_Start();
    }

    VUL_GetShipPic();
    BONUS_Clear();
    OBJS_StartWave();
    ANIMS_Clear();
    SHOTS_Clear();
    ESHOT_Clear();

    memcpy(gpal, palette, sizeof(gpal));
    GFX_FadeOut(0, 0, 0, 2);
    memset(displaybuffer, 0, SCREENSIZE);
    memset(displayscreen, 0, SCREENSIZE);

    int lastframe = GFX_GetFrameCount();
    g_flash = 0;
    g_oldsuper = g_oldshield = startendwave = -1;

    if (demo_flag == 1) DEMO_StartRec();

    const int32_t score_at_start = plr.score;
    IMS_StartAck();
    ClearButtons();
    held_change = held_bomb = 0;
    int first = 1;
    int result = 0;

    for (;;) {
        Hook(GAME_FRAME_START);
        num_gshadows = num_shadows = 0;
        IPT_MovePlayer();

        if (KBD_IsKey(SC_F1)) {
            SWD_SetClearFlag(0);
            IPT_End();
            HELP_Win("OVERVW06_TXT");
            memset(displayscreen, 0, SCREENSIZE);
            IPT_Start();
            Resume();
        }
        if (KBD_IsKey(SC_P) || JOY_IsKey(JOY_START)) {
            while (IMS_IsAck()) {
            }
            SWD_SetClearFlag(0);
            ClearSideBars();
            WIN_Pause();
            Resume();
        }
        if (godmode && KBD_IsKey(SC_F8)) debugflag ^= 1;

        if (DEMO_Think()) break; // the played-back demo has run out

        // Any press stops a played-back demo, unless the demo itself holds those buttons.
        if (demo_mode == 2 && IMS_IsAck() && !buttons[BUTTON_CHANGESPECIAL] &&
            !buttons[BUTTON_MEGABOMB] && !buttons[BUTTON_SPARE]) {
            result = 1;
            break;
        }

        if (lastscan >= SC_1 && lastscan <= SC_MINUS) {
            OBJS_MakeSpecial(kSpecialByKey[lastscan - SC_1]);
            lastscan = 0;
        }

        if (buttons[BUTTON_FIRE]) {
            OBJS_Use(OBJ_GUN1);
            OBJS_Use(OBJ_GUN2);
            OBJS_Use(OBJ_GUN3);
            buttons[BUTTON_FIRE] = 0;
            if (plr.sweapon != -1) OBJS_Use(plr.sweapon);
        }
        if (buttons[BUTTON_CHANGESPECIAL]) {
            buttons[BUTTON_CHANGESPECIAL] = 0;
            if (!held_change) {
                SND_Patch(kFxChangeSpecial, kPanCentre);
                OBJS_GetNext();
            }
            held_change = 1;
        } else {
            held_change = 0;
        }
        if (buttons[BUTTON_MEGABOMB]) {
            buttons[BUTTON_MEGABOMB] = 0;
            if (!held_bomb) OBJS_Use(OBJ_MEGABOMB);
            held_bomb = 1;
        } else {
            held_bomb = 0;
        }

        if (startendwave != -1) {
            if (startendwave == 0) end_wave = 1;
            startendwave--;
        }
        gl_cnt++;

        TILE_Think();
        ENEMY_Think();
        ESHOT_Think();
        BONUS_Think();
        SHOTS_Think();
        ANIMS_Think();
        OBJS_Think();
        Hook(GAME_FRAME_THOUGHT);

        int ship = curship[g_flash + playerpic];
        if (draw_player) SHADOW_Add(ship, playerx, playery);

        TILE_Display();
        SHADOW_DisplayGround();
        ENEMY_DisplayGround();
        SHADOW_DisplaySky();
        ANIMS_DisplayGround();
        ENEMY_DisplaySky();
        SHOTS_Display();
        BONUS_Display();
        ANIMS_DisplaySky();

        if (draw_player) {
            FLAME_Down(player_cx - o_engine[playerpic] - 3, player_cy + 15, 4, gl_cnt % 2);
            FLAME_Down(player_cx + o_engine[playerpic] - 2, player_cy + 15, 4, gl_cnt % 2);
            if (const uint8_t* pic = ANIMS_GetSprite(ship)) GFX_PutSprite(pic, playerx, playery);
        }
        g_flash = 0;

        ANIMS_DisplayHigh();
        ESHOT_Display();

        if (fadeflag) {
            ClearSideBars();
            if (fadecnt < kFlashFrames) {
                retraceflag = 0;
                GFX_FadeFrame(gpal, fadecnt, 20);
                g_mapleft = shakes[fadecnt] + MAP_LEFT;
                fadecnt++;
            } else {
                g_mapleft = MAP_LEFT;
                GFX_SetPalette(gpal, 0);
                fadeflag = 0;
                g_oldsuper = g_oldshield = -1;
            }
        } else if (!first) {
            VUL_PaletteStuff();
        }

        VUL_DisplayStats();
        Hook(GAME_FRAME_DRAWN);

        // Waiting for the frame's time: the counter sleeps until each tick and pumps the
        // events that came meanwhile.
        for (;;) {
            int now = GFX_GetFrameCount();
            if (now - lastframe >= kTicksPerFrame) {
                lastframe = now;
                break;
            }
        }
        Hook(GAME_FRAME_PACED);

        if (fadeflag)
            TILE_ShakeScreen();
        else
            TILE_DisplayScreen();
        Hook(GAME_FRAME_SHOWN);

        if (startfadeflag) {
            // A near-white flash that fades back while the field shakes.
            SND_Patch(kFxGroundExplosion, kPanCentre);
            SND_Patch(kFxExplosion, kPanCentre);
            retraceflag = 1;
            GFX_FadeOut(63, 60, 60, 1);
            GFX_FadeStart();
            retraceflag = 0;
            startfadeflag = 0;
            fadeflag = 1;
            fadecnt = 0;
        }

        // Backspace trades all the money for the last special weapon and shields, every
        // frame it is held.
        if (keyboard[SC_BACKSPACE]) {
            OBJS_Add(OBJ_LASTSPECIAL);
            for (int i = 0; i < 3; i++)
                OBJS_Add(OBJ_SHIELD);
            plr.score = 0;
        }

        if (first) GFX_FadeIn(gpal, 64);

        if (keyboard[SC_X] && keyboard[SC_ALT]) {
            ClearSideBars();
            SWD_SetClearFlag(0);
            IPT_End();
            WIN_AskExit();
            IPT_Start();
            Resume();
        }

        if (KBD_IsKey(SC_ESCAPE) || JOY_IsKey(JOY_BACK)) {
            if (godmode) end_wave = 1;
            if (demo_mode == 2) {
                result = 1;
                break;
            }
            if (demo_mode == 1) break; // the recording ends as a completed wave
            SWD_SetClearFlag(0);
            IPT_End();
            ClearSideBars();
            if (WIN_AskBool("Abort Mission ?")) {
                plr.score = score_at_start;
                result = 1;
                break;
            }
            IPT_Start();
            Resume();
        }

        first = 0;
        if (end_wave) break;
    }

    GFX_FadeOut(0, 0, 0, 32);
    VUL_FreeMap();
    end_wave = 0;
    PTR_SetGameFlag(0);
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    IPT_PauseControl(0);
    GFX_DisplayUpdate();
    GFX_SetPalette(palette, 0);
    IPT_End();
    if (demo_flag == 1) DEMO_SaveFile();
    return result;
}
