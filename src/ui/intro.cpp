#include "ui/intro.h"

#include <cstring>

#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/imsapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/movie.h"
#include "ui/windows.h"

namespace
{

// Effects the scenes start.
constexpr int kFxTheme = 0;
constexpr int kFxExplosion = 8;
constexpr int kFxFlyby = 13;
constexpr int kFxJet = 17;
constexpr int kFxAlarm = 23;
constexpr int kFxCockpit = 24;
constexpr int kFxRumble = 25;
constexpr int kFxGunFar = 26;
constexpr int kFxGunNear = 27;
constexpr int kCentre = 127;

constexpr int kSongCreditsEnd = 97;
constexpr int kSongOpening = 86;

// Writes `count` plain frames over consecutive items into the table from `first` on: shown
// at `speed`, no effects, restarting the background sound when it has stopped.
void Frames(int first, int item, int count, int speed)
{
    for (int i = 0; i < count; i++) {
        FRAME& f = frm[first + i];
        f = FRAME{};
        f.speed = speed;
        f.remaining = count - 1 - i;
        f.item = item + i;
        f.unused1[0] = -1;
        f.sound = -1;
    }
}

void Sound(int frame, int effect, int pos)
{
    frm[frame].sound = effect;
    frm[frame].sound_pos = pos;
}

// A gun or blast somewhere left of centre, as the explosion scene spreads them.
int Scattered(void)
{
    return 110 + wrand() % 40;
}

int Play(int passes)
{
    return MOVIE_Play(frm, passes, palette) == MOVIE_INTERRUPTED;
}

void ClearShown(void)
{
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    GFX_DisplayUpdate();
}

// How the endings close: a long fade to black, a cleared screen, the palette back.
void EndingOut(void)
{
    GFX_FadeOut(0, 0, 0, 120);
    ClearShown();
    GFX_SetPalette(palette, 0);
}

// Waits `ticks` timer ticks; true as soon as the player acknowledges.
bool Hold(int ticks)
{
    int start = GFX_GetFrameCount();
    while (GFX_GetFrameCount() - start < ticks)
        if (IMS_CheckAck()) return true;
    return false;
}

// Nothing held from the step before, and a fresh acknowledge wait for the next.
void Settle(void)
{
    while (IMS_IsAck())
        GFX_GetFrameCount();
    IMS_StartAck();
}

// A credits picture and its palette, loaded and checked; false (and nothing held) when
// either is damaged, so a broken data set skips the page instead of drawing garbage.
struct PAGE {
    int pic, pal;
    const uint8_t* picture;
    const uint8_t* colours;
};

bool OpenPage(PAGE& p)
{
    p.picture = GLB_LockItem(p.pic);
    p.colours = GLB_LockItem(p.pal);
    int picsize = GLB_ItemSize(p.pic), palsize = GLB_ItemSize(p.pal);
    if (p.picture && p.colours && picsize > 0 && palsize >= PALETTE_SIZE &&
        GFX_CheckPic(p.picture, size_t(picsize)))
        return true;
    GLB_UnlockItem(p.pic);
    GLB_UnlockItem(p.pal);
    return false;
}

void ClosePage(const PAGE& p)
{
    GLB_UnlockItem(p.pic);
    GLB_UnlockItem(p.pal);
    GLB_FreeItem(p.pic);
    GLB_FreeItem(p.pal);
}

void ShowPage(const PAGE& p)
{
    GFX_PutImage(p.picture, 0, 0, false);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    GFX_DisplayUpdate();
    GFX_FadeIn(p.colours, 64);
}

void ClearBoth(void)
{
    memset(displayscreen, 0, SCREENSIZE);
    memset(displaybuffer, 0, SCREENSIZE);
}

} // namespace

// ---- the pieces ------------------------------------------------------------------------------

int INTRO_City(void)
{
    Frames(0, ITM_SCENE_CITY, 30, 8);
    frm[0].open_effect = MOVIE_FADEIN;
    frm[0].open_steps = 128;
    Sound(4, kFxFlyby, 210);
    Sound(9, kFxFlyby, 100);
    int cut = Play(1);
    if (!cut) SND_StopPatches();
    return cut;
}

int INTRO_Side1(void)
{
    Frames(0, ITM_SCENE_SIDE1, 20, 18);
    MOVIE_BPatch(kFxJet);
    return Play(2);
}

int INTRO_Pilot(void)
{
    Frames(0, ITM_SCENE_PILOT, 21, 10);
    MOVIE_BPatch(kFxCockpit);
    return Play(1);
}

int INTRO_Side2(void)
{
    Frames(0, ITM_SCENE_SIDE1, 20, 18);
    MOVIE_BPatch(kFxJet);
    if (Play(1)) return 1;
    // The guns open up from the third frame of the second part.
    Frames(0, ITM_SCENE_SIDE2, 20, 18);
    for (int i = 2; i < 20; i++)
        Sound(i, kFxGunNear, kCentre);
    int cut = Play(1);
    SND_StopPatches();
    return cut;
}

int INTRO_Explosion(void)
{
    Frames(0, ITM_SCENE_EXPLOSION, 22, 12);
    for (int i = 2; i <= 8; i++)
        Sound(i, kFxGunFar, Scattered());
    Sound(9, kFxExplosion, Scattered());
    for (int i = 11; i <= 21; i += 2)
        Sound(i, kFxExplosion, kCentre);
    // The blast burns out to an orange glow.
    frm[21].close_effect = MOVIE_FADEOUT;
    frm[21].close_steps = 60;
    frm[21].red = 63;
    frm[21].green = 28;
    frm[21].blue = 3;
    MOVIE_BPatch(kFxRumble);
    return Play(1);
}

int INTRO_Base(void)
{
    if (!gameflag[1]) return 0;
    Frames(0, ITM_SCENE_BASE, 30, 10);
    frm[0].open_effect = MOVIE_FADEIN;
    frm[0].open_steps = 128;
    return Play(1);
}

int INTRO_Landing(void)
{
    Frames(0, ITM_SCENE_LANDING, 33, 10);
    frm[32].open_effect = MOVIE_FADEOUT;
    frm[32].open_steps = 64;
    frm[32].close_effect = MOVIE_SETPAL;
    return Play(1);
}

int INTRO_Death2(void)
{
    Frames(0, ITM_SCENE_DEATH2, 6, 3);
    if (Play(8)) return 1;
    GFX_FadeOut(0, 0, 0, 100);
    ClearShown();
    return 0;
}

int INTRO_Game1End(void)
{
    Frames(0, ITM_SCENE_GAME1END, 5, 4);
    if (Play(8)) return 1;
    EndingOut();
    return 0;
}

int INTRO_Game2End(void)
{
    Frames(0, ITM_SCENE_GAME2END, 25, 4);
    Sound(22, kFxExplosion, kCentre);
    Sound(24, kFxExplosion, kCentre);
    if (Play(1)) return 1;
    EndingOut();
    return 0;
}

int INTRO_Game3End(void)
{
    Frames(0, ITM_SCENE_GAME3END, 39, 8);
    Sound(30, kFxExplosion, 100);
    Sound(32, kFxExplosion, 100);
    MOVIE_BPatch(kFxJet);
    if (Play(1)) return 1;
    EndingOut();
    return 0;
}

// ---- the sequences ---------------------------------------------------------------------------

int INTRO_PlayMain(void)
{
    for (int (*piece)(void) : {INTRO_City, INTRO_Side1, INTRO_Pilot, INTRO_Side2, INTRO_Explosion})
        if (piece()) return 1;
    return 0;
}

int INTRO_Death(void)
{
    Frames(0, ITM_SCENE_DEATH, 30, 11);
    if (Play(1)) return 1;
    return INTRO_Death2();
}

void INTRO_EndGame(int episode)
{
    IMS_StartAck();
    if (episode < 0 || episode > 3 || !gameflag[episode]) return;
    Settle();
    if (episode == 0)
        INTRO_Game1End();
    else if (episode == 1)
        INTRO_Game2End();
    else
        INTRO_Game3End();
    if (gameflag[1]) {
        Settle();
        INTRO_Base();
    }
    Settle();
    INTRO_Landing();
    Settle();
    WIN_WinGame(episode);
}

void INTRO_Credits(void)
{
    PAGE first{ITM_CREDITS_PIC1, ITM_CREDITS_PAL1, nullptr, nullptr};
    if (OpenPage(first)) {
        GFX_FadeOut(0, 0, 0, 5);
        ShowPage(first);
        // On a birthday of the team the greeting plays instead of the title song.
        const bool greeting = bday_num != -1 && dig_flag;
        if (greeting)
            SND_Patch(kFxTheme, kCentre);
        else
            SND_PlaySong(kSongCreditsEnd, 0, 0);
        IMS_StartAck();
        bool acked = false;
        for (int step = 0; step < 30 && !acked; step++)
            acked = Hold(4);
        if (greeting) {
            while (SND_IsPatchPlaying(kFxTheme)) {
                GFX_GetFrameCount();
                I_GetNeedResize(true);
            }
        } else {
            while (!acked && SND_IsSongPlaying()) {
                acked = IMS_CheckAck();
                I_GetNeedResize(true);
            }
        }
        GFX_FadeOut(0, 0, 0, 63);
        ClosePage(first);
    }
    SND_PlaySong(-1, 0, 1);
    ClearBoth();

    PAGE second{ITM_CREDITS_PIC2, ITM_CREDITS_PAL2, nullptr, nullptr};
    if (OpenPage(second)) {
        ShowPage(second);
        GLB_CacheItem(ITM_Id(0, kSongOpening));
        IMS_StartAck();
        for (int step = 0; step <= 64; step++) {
            if (step == 1 || step == 40) SND_Patch(kFxAlarm, kCentre);
            if (step == 45) SND_PlaySong(kSongOpening, 1, 1);
            bool acked = Hold(3);
            if (step > 0 && (acked || keyboard[SC_ESCAPE])) break;
        }
        GFX_FadeOut(0, 0, 0, 63);
        ClosePage(second);
    }
    ClearShown();
    GFX_SetPalette(palette, 0);
    IMS_StartAck();
}
