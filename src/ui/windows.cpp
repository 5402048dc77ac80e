// Menu screens and the campaign loop: the main menu with its attract mode, the new pilot,
// the hangar, the ship's computer, the loading screen, options, the message boxes and
// questions, the victory picture and the credits page.
#include "ui/windows.h"

#include <algorithm>
#include <cstring>

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/imsapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "sound/musapi.h"
#include "ui/help.h"
#include "ui/intro.h"
#include "ui/store.h"
#include "ui/swdapi.h"
#include "world/objects.h"
#include "world/tile.h"

int ingameflag;
int hangto;
int d_count;
int opt_vol[2];
int g_x, g_y, g_lx, g_ly;

const int id_pics[PLR_PORTRAITS] = {ITM_PORTRAITS, ITM_PORTRAITS + 3, ITM_PORTRAITS + 1,
                                    ITM_PORTRAITS + 2};

namespace
{

constexpr int SC_TAB = 15, SC_S = 31, SC_D = 32, SC_X = 45, SC_Z = 44, SC_Q = 16, SC_O = 24;
constexpr int SC_F2 = 60, SC_HOME = 71, SC_PGUP = 73, SC_END = 79, SC_PGDN = 81;
constexpr int kFxWindow = 20, kFxClick = 12, kFxSwitch = 14;
constexpr int kSongCredits[3] = {84, 85, 83};
constexpr int kSongMenu = 87, kSongMenuInGame = 86, kSongHangar = 88, kSongDeath = 93;
constexpr int kIdleTicks = 4000;

// Mission songs by episode and wave; the fourth episode flies to the first one's songs.
constexpr int songsg1[ITM_WAVES] = {96, 90, 92, 95, 94, 90, 91, 92, 94};
constexpr int songsg2[ITM_WAVES] = {91, 90, 92, 96, 94, 90, 96, 89, 94};
constexpr int songsg3[ITM_WAVES] = {96, 92, 89, 95, 94, 90, 91, 92, 94};
// Waves of an episode by the pilot's difficulty (training flies four).
constexpr int diff_wrap[4] = {4, 9, 9, 9};
constexpr const char* detail_names[2] = {"LOW DETAIL", "HIGH DETAIL"};
const int sid_pics[PLR_PORTRAITS] = {ITM_PORTRAITS, ITM_PORTRAITS + 3, ITM_PORTRAITS + 1,
                                     ITM_PORTRAITS + 2};

// The pilot's difficulty in the current episode, a value out of range counting as medium
// as it does for the enemies.
int PilotDiff(void)
{
    int d = cur_game >= 0 && cur_game < 4 ? plr.diff[cur_game] : 2;
    return d >= 0 && d <= 3 ? d : 2;
}

int CurGame(void)
{
    return cur_game >= 0 && cur_game < 4 ? cur_game : 0;
}

bool Pressed(const SWD_DLG& d, int field)
{
    return d.cur_act == ACT_FIELD && d.cur_cmd == F_SELECT && d.field == field;
}

bool AltX(void)
{
    return keyboard[SC_ALT] && keyboard[SC_X];
}

// A controller button counted as a menu click when controller menus are off.
bool JoyClick(void)
{
    return !joy_ipt_MenuNew && JOY_IsKey(JOY_A);
}

// A click on a pointer area: the dialog step reports it, or it is still waiting.
bool AreaClick(const SWD_DLG& d)
{
    return (d.cur_act == ACT_FIELD && d.cur_cmd == F_MOUSEVIEW) || mouse_b1_ack || JoyClick();
}

// One pass of a screen's loop: the dialog step, then the window kept in shape.
void Step(SWD_DLG* dlg)
{
    SWD_Dialog(dlg);
    I_GetNeedResize(false);
    GFX_DisplayUpdate();
}

void Redraw(void)
{
    SWD_ShowAllWindows();
    GFX_DisplayUpdate();
}

void ClearScreen(void)
{
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    GFX_DisplayUpdate();
}

// Leaving a full-screen window: faded out, destroyed, the screen cleared.
void CloseScreen(int window, int steps)
{
    PTR_DrawCursor(0);
    GFX_FadeOut(0, 0, 0, steps);
    SWD_DestroyWindow(window);
    ClearScreen();
    GFX_SetPalette(palette, 0);
}

// Waits for the next tick of the frame counter.
void NextTick(void)
{
    int start = GFX_GetFrameCount();
    while (GFX_GetFrameCount() == start) {
    }
}

void WaitRelease(void)
{
    while (IMS_IsAck()) {
        GFX_DisplayUpdate();
    }
}

// The training's victory picture between a short fade out and a fade in.
void Victory(int item)
{
    GFX_FadeOut(0, 0, 0, 2);
    int w = SWD_InitWindow(ITM_WIN_VICTORY);
    if (w < 0) return;
    SWD_SetFieldItem(w, 2, item);
    Redraw();
    GFX_FadeIn(palette, 16);
    IMS_WaitTimed(30);
    SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
}

} // namespace

const char* const sector_names[4] = {"BRAVO SECTOR", "TANGO SECTOR", "OUTER REGIONS", "DEEP SPACE"};

int WIN_WaveCount(void)
{
    return diff_wrap[PilotDiff()];
}

void WIN_WaveText(char* buf, size_t len)
{
    int wave = game_wave[CurGame()];
    // A wave past the last one (the god-mode wave keys reach them) is final as well.
    M_snprintf(buf, len, wave + 1 >= WIN_WaveCount() ? "FINAL WAVE %d" : "WAVE %d", wave + 1);
}

int WIN_NextEpisode(int game)
{
    // Every episode whose archive is here, in turn, the fourth one included.
    for (int i = 1; i <= 4; i++) {
        int next = (game + i) % 4;
        if (gameflag[next]) return next;
    }
    return 0;
}

void WIN_StartingKit(void)
{
    OBJS_Add(OBJ_GUN1);
    for (int i = 0; i < 3; i++)
        OBJS_Add(OBJ_SHIELD);
    plr.score = 10000;
}

int WIN_WaveWon(int* ended)
{
    const int game = CurGame();
    const int d = PilotDiff();
    *ended = game;
    if (game_wave[game] < diff_wrap[d] - 1) {
        game_wave[game]++;
        return WAVE_NEXT;
    }

    // Whether the episode was flown in full is decided by the difficulty it was flown at,
    // before the raise below: a finished training is not the episode's end.
    const bool full = diff_wrap[d] > 8;
    if (d == 0) {
        if (plr.trainflag) {
            plr.diff[game] = 1;
        } else {
            // The reward for finishing training, given once: a fresh start with money.
            OBJS_Init();
            plr.trainflag = 1;
            plr.sweapon = -1;
            WIN_StartingKit();
            plr.diff[game] = std::min(plr.diff[game] + 1, 3);
            for (int& e : plr.diff)
                if (e == 0) e = 1;
        }
    } else if (d == 1 || d == 2) {
        plr.diff[game] = d + 1;
    }
    game_wave[game] = 0;

    if (full) {
        cur_game = WIN_NextEpisode(game);
    } else {
        game_wave[0] = game_wave[1] = game_wave[2] = 0;
        cur_game = gameflag[0] ? 0 : WIN_NextEpisode(0);
    }
    VUL_SetPlayerDiff();
    return full ? WAVE_EPISODEEND : WAVE_TRAININGEND;
}

void WIN_PlayWaveSong(void)
{
    int wave = game_wave[CurGame()];
    if (wave < 0 || wave >= ITM_WAVES) wave = 0;
    const int* songs = cur_game == 1 ? songsg2 : cur_game == 2 ? songsg3 : songsg1;
    SND_PlaySong(songs[wave], 1, 1);
}

// ---- boxes and questions -------------------------------------------------------------------

void WIN_Msg(const char* msg)
{
    int w = SWD_InitWindow(ITM_WIN_MESSAGE);
    if (w < 0) return;
    SWD_SetFieldText(w, 5, msg);
    Redraw();
    SND_Patch(kFxWindow, 127);
    IMS_WaitTimed(10);
    SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
    KBD_Clear();
}

void WIN_Pause(void)
{
    int w = SWD_InitWindow(ITM_WIN_MESSAGE);
    if (w >= 0) {
        SWD_SetFieldText(w, 5, "GAME PAUSED");
        Redraw();
    }
    SND_Patch(kFxWindow, 127);
    IMS_StartAck();
    while (!IMS_CheckAck())
        GFX_DisplayUpdate();
    if (w >= 0) SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
    JOY_IsKey(JOY_START);
    JOY_IsKey(JOY_BACK);
    KBD_Clear();
    IMS_StartAck();
}

int WIN_AskBool(const char* question)
{
    KBD_Clear();
    int w = SWD_InitWindow(ITM_WIN_ASK);
    if (w < 0) return 0;
    SWD_SetFieldText(w, 5, question);
    SWD_SetActiveField(w, 6);
    Redraw();
    SND_Patch(kFxWindow, 127);
    const int shown = g_drawcursor;
    SWD_SetFieldPtr(w, 6);
    PTR_DrawCursor(1);

    int answer = -1;
    SWD_DLG dlg{};
    while (answer < 0) {
        Step(&dlg);
        if (keyboard[SC_ESCAPE] || JOY_IsKey(JOY_BACK)) answer = 0;
        if (Pressed(dlg, 6)) answer = 1;
        if (Pressed(dlg, 7)) answer = 0;
    }
    SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
    PTR_DrawCursor(shown);
    KBD_Clear();
    return answer;
}

int WIN_AskExit(void)
{
    if (WIN_AskBool("EXIT TO DOS")) VUL_QuitGame();
    return 0;
}

int WIN_AskDiff(void)
{
    KBD_Clear();
    int w = SWD_InitWindow(ITM_WIN_DIFFICULTY);
    if (w < 0) return -1;
    SWD_SetActiveField(w, 8);
    Redraw();
    SWD_SetFieldPtr(w, 8);
    PTR_DrawCursor(1);
    int answer = -2;
    SWD_DLG dlg{};
    while (answer == -2) {
        Step(&dlg);
        if (keyboard[SC_ESCAPE] || JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B)) answer = -1;
        if (AltX()) WIN_AskExit();
        for (int f = 6; f <= 9; f++)
            if (Pressed(dlg, f)) answer = f - 6;
        if (Pressed(dlg, 10)) answer = -1;
    }
    SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
    KBD_Clear();
    if (answer == 0) WIN_Msg("TRAIN MODE plays 4 of 9 levels!");
    return answer;
}

// ---- the pictures between the screens -----------------------------------------------------

void WIN_WinGame(int episode)
{
    if (episode < 0 || episode > 3) return;
    // The first three episodes' pictures stand in a row; the fourth episode's is found by its
    // label in that episode's archive, and an archive without it shows the third's.
    int pic = ITM_VICTORY + std::min(episode, 2);
    if (episode == 3) {
        int own = GLB_GetItemID(ITM_VICTORY4_LABEL);
        if (own >= 0 && GLB_ItemSize(own) > 0) pic = own;
    }
    Victory(pic);
}

int WIN_Credits(void)
{
    static int song;
    SND_PlaySong(kSongCredits[song], 1, 1);
    song = (song + 1) % 3;
    KBD_Clear();
    GFX_FadeOut(0, 0, 0, 16);
    int w = SWD_InitWindow(ITM_WIN_CREDITS);
    Redraw();
    GFX_FadeIn(palette, 16);
    int r = IMS_WaitTimed(25);
    GFX_FadeOut(0, 0, 0, 16);
    if (w >= 0) SWD_DestroyWindow(w);
    memset(displayscreen, 0, SCREENSIZE);
    ClearScreen();
    GFX_SetPalette(palette, 0);
    KBD_Clear();
    return r;
}

// ---- loading screen ------------------------------------------------------------------------

void WIN_LoadComp(void)
{
    int w = SWD_InitMasterWindow(ITM_WIN_LOADING);
    if (w < 0) return;
    SWD_GetFieldXYL(w, 11, &g_x, &g_y, &g_lx, &g_ly);
    SWD_SetFieldText(w, 9, sector_names[CurGame()]);
    char text[32];
    WIN_WaveText(text, sizeof(text));
    SWD_SetFieldText(w, 10, text);
    Redraw();
    GFX_FadeIn(palette, 8);
    SWD_SetClearFlag(0);
    SWD_DestroyWindow(w);
    SWD_SetClearFlag(1);
}

void WIN_SetLoadLevel(int percent)
{
    percent = std::clamp(percent, 0, 100);
    int w = std::min(((percent * ((g_lx * 65536) / 100)) / 65536) + 1, g_lx);
    GFX_ColorBox(g_x, g_y, w, g_ly, 85);
    GFX_DisplayUpdate();
}

void WIN_EndLoad(void)
{
    GFX_FadeOut(0, 0, 0, 16);
    ClearScreen();
    GFX_SetPalette(palette, 0);
}

// ---- options -------------------------------------------------------------------------------

void WIN_OptDraw(SWD_DLG* dlg)
{
    // Field rectangles come in screen coordinates.
    int x, y, lx, ly;
    const uint8_t* knob = GLB_GetItem(ITM_KNOB);
    for (int i = 0; i < 2; i++) {
        SWD_GetFieldXYL(dlg->window, 11 + i, &x, &y, &lx, &ly);
        GFX_PutSprite(knob, x + opt_vol[i] - 2, y);
    }
}

int WIN_OptStep(int vol, int delta)
{
    return std::clamp(vol + delta, 0, 127);
}

void WIN_Opts(void)
{
    opt_vol[0] = music_volume;
    opt_vol[1] = fx_volume;
    int w = SWD_InitWindow(ITM_WIN_OPTIONS);
    if (w < 0) return;
    SWD_SetWindowPtr(w);
    SWD_SetFieldText(w, 6, detail_names[opt_detail ? 1 : 0]);
    SWD_SetWinDrawFunc(w, WIN_OptDraw);
    Redraw();
    SND_Patch(kFxWindow, 127);

    int row = 0, marker = 0;
    SWD_DLG dlg{};
    for (;;) {
        Step(&dlg);
        if (AltX()) WIN_AskExit();
        bool press6 = Pressed(dlg, 6), done = Pressed(dlg, 7);
        int key = dlg.keypress;
        if (key == SC_ESCAPE || keyboard[SC_ESCAPE]) {
            JOY_IsKey(JOY_B);
            JOY_IsKey(JOY_BACK);
            done = true;
        }
        if (key == SC_ENTER && marker && row == 0) press6 = true;
        bool changed = false;
        if (key == SC_UP || key == SC_DOWN) {
            if (marker) row = std::clamp(row + (key == SC_UP ? -1 : 1), 0, 2);
            marker = 1;
            for (int i = 0; i < 3; i++)
                SWD_SetFieldItem(w, 3 + i, i == row ? ITM_ROWMARKER : -1);
            SND_Patch(kFxWindow, 127);
            changed = true;
        }
        if ((key == SC_LEFT || key == SC_RIGHT) && marker && row > 0) {
            opt_vol[row - 1] = WIN_OptStep(opt_vol[row - 1], key == SC_LEFT ? -8 : 8);
            if (row == 2) {
                fx_volume = opt_vol[1];
                SND_Patch(kFxWindow, 127);
            }
            changed = true;
        }
        if (mouseb1 || JoyClick()) {
            for (int i = 0; i < 2; i++) {
                int x, y, lx, ly;
                SWD_GetFieldXYL(w, 11 + i, &x, &y, &lx, &ly);
                if (cur_mx >= x && cur_mx <= x + lx && cur_my >= y && cur_my <= y + ly) {
                    opt_vol[i] = std::clamp(cur_mx - x, 0, 127);
                    if (i == 1) fx_volume = opt_vol[1];
                    changed = true;
                }
            }
        }
        if (changed && music_volume != opt_vol[0]) {
            music_volume = opt_vol[0];
            MUS_SetVolume(opt_vol[0]);
        }
        if (press6) {
            opt_detail = !opt_detail;
            SWD_SetFieldText(w, 6, detail_names[opt_detail ? 1 : 0]);
            SND_Patch(kFxWindow, 127);
            changed = true;
        }
        if (changed) Redraw();
        if (done) break;
    }
    music_volume = opt_vol[0];
    fx_volume = opt_vol[1];
    INI_PutPreferenceLong("Music", "Volume", music_volume);
    INI_PutPreferenceLong("SoundFX", "Volume", fx_volume);
    INI_PutPreferenceLong("Setup", "Detail", opt_detail);
    SND_Patch(kFxWindow, 127);
    SWD_SetWinDrawFunc(w, nullptr);
    SWD_DestroyWindow(w);
    GFX_DisplayUpdate();
    KBD_Clear();
}

// ---- attract mode --------------------------------------------------------------------------

int WIN_DemoDelay(int reset)
{
    static int count;
    if (reset) {
        count = 0;
        return 0;
    }
    NextTick();
    return ++count >= kIdleTicks;
}

void WIN_MainAuto(int start)
{
    static constexpr int demos[9] = {ITM_DEMOS1, ITM_DEMOS1 + 1, ITM_DEMOS1 + 2,
                                     ITM_DEMOS2, ITM_DEMOS2 + 1, ITM_DEMOS2 + 2,
                                     ITM_DEMOS3, ITM_DEMOS3 + 1, ITM_DEMOS3 + 2};
    const int shown = g_drawcursor;
    PTR_DrawCursor(0);
    const bool g1 = gameflag[1], g23 = gameflag[2] || gameflag[3];
    const int cycle = !g1 && !g23 ? 5 : (g1 && g23 ? 11 : 8);
    int pos = std::clamp(start, 0, cycle - 1);
    // Steps that show nothing (a demo that is not here) are passed over; a whole cycle of
    // them ends the mode rather than spinning.
    for (int idle = 0; idle < cycle; pos = (pos + 1) % cycle) {
        int stopped = 0;
        if (pos == 0) {
            SND_CacheGFX();
            SND_PlaySong(kSongMenuInGame, 1, 1);
            stopped = INTRO_PlayMain();
            idle = 0;
        } else if (pos == 1) {
            stopped = WIN_Credits();
            idle = 0;
        } else {
            // Episode 2's demos follow episode 1's; the third archive's come last.
            int d = pos - 2;
            if (cycle == 8 && !g1 && d >= 3) d += 3;
            if (d < 9 && DEMO_GLBFile(demos[d])) {
                stopped = DEMO_Play();
                idle = 0;
            } else {
                idle++;
            }
        }
        if (stopped) break;
    }
    PTR_DrawCursor(shown);
    KBD_Clear();
    GLB_FreeAll();
    SND_CacheIFX();
}

// ---- main menu -----------------------------------------------------------------------------

namespace
{

int OpenMainMenu(void)
{
    int w = SWD_InitMasterWindow(ITM_WIN_MAINMENU);
    if (w < 0) return w;
    if (ingameflag) {
        SWD_SetFieldSelect(w, 7, 1);
        SWD_SetFieldItem(w, 7, ITM_RETURNPIC);
        SWD_SetFieldText(w, 8, "");
    } else {
        SWD_SetFieldSelect(w, 7, 0);
        SWD_SetFieldItem(w, 7, -1);
    }
    return w;
}

void MenuIn(int w, int song, int steps)
{
    Redraw();
    SND_PlaySong(song, 1, 1);
    GFX_FadeIn(palette, steps);
    SND_CacheIFX();
    SWD_SetWindowPtr(w);
    PTR_DrawCursor(1);
}

} // namespace

void WIN_MainMenu(void)
{
    const uint8_t saved = ltable[0];
    if (demo_flag == 1) return;
    ltable[0] = 0;
    KBD_Clear();
    PTR_DrawCursor(0);
    d_count = 0;

    int w = OpenMainMenu();
    if (w < 0) exit(0);
    MenuIn(w, ingameflag ? kSongMenuInGame : kSongMenu, 10);

    SWD_DLG dlg{};
    for (;;) {
        SWD_Dialog(&dlg);
        I_GetNeedResize(false);
        GFX_DisplayUpdate();
        int attract = -1;
        // The attract mode replaces the pilot in play, so it is offered only without one.
        if (!ingameflag && (keyboard[SC_D] || JOY_IsKey(JOY_Y))) attract = 2;
        NextTick();
        if (++d_count > kIdleTicks - 1 && !ingameflag) attract = 0;
        if (attract >= 0) {
            PTR_DrawCursor(0);
            GFX_FadeOut(0, 0, 0, 3);
            SWD_DestroyWindow(w);
            memset(displayscreen, 0, SCREENSIZE);
            ClearScreen();
            WIN_MainAuto(attract);
            w = OpenMainMenu();
            if (w < 0) exit(0);
            d_count = 0;
            GLB_FreeAll();
            MenuIn(w, kSongMenu, 16);
            continue;
        }
        if (AltX()) WIN_AskExit();
        if (ingameflag && (keyboard[SC_ESCAPE] || JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B))) break;
        if (keyboard[SC_F1] || JOY_IsKey(JOY_SHOULDERRIGHT)) {
            HELP_Win("HELP1_TXT");
        }
        if (mouseb1 || mouseb2 || dlg.keypress || JoyClick()) d_count = 0;
        if (dlg.cur_act != ACT_FIELD || dlg.cur_cmd != F_SELECT) continue;
        d_count = 0;
        bool leave = false;
        switch (dlg.field) {
        case 1:
            if (WIN_Register()) {
                leave = true;
            } else {
                SWD_DestroyWindow(w);
                w = OpenMainMenu();
                MenuIn(w, kSongMenu, 16);
            }
            break;
        case 2: {
            int r = VUL_LoadWin();
            if (r == -1) WIN_Msg("No Pilots to Load");
            if (r == 1) {
                ingameflag = 0;
                leave = true;
            }
            break;
        }
        case 3:
            WIN_Opts();
            break;
        case 4:
            HELP_Win("VUL1_TXT");
            break;
        case 5:
            PTR_DrawCursor(0);
            WIN_Credits();
            Redraw();
            SND_PlaySong(kSongMenu, 1, 1);
            PTR_DrawCursor(1);
            break;
        case 6:
            WIN_AskExit();
            break;
        case 7:
            leave = ingameflag != 0;
            break;
        default:
            break;
        }
        if (leave) break;
    }
    CloseScreen(w, 16);
    ltable[0] = saved;
    hangto = 0;
}

// ---- new pilot -----------------------------------------------------------------------------

namespace
{

void RegLabel(int w, const char* text)
{
    char cur[32];
    SWD_GetFieldText(w, 3, cur, sizeof(cur));
    if (strcmp(cur, text) == 0) return;
    SWD_SetFieldText(w, 3, text);
    Redraw();
}

} // namespace

int WIN_Register(void)
{
    PTR_DrawCursor(0);
    SND_PlaySong(kSongHangar, 1, 1);
    KBD_Clear();
    GFX_FadeOut(0, 0, 0, 16);
    PLAYEROBJ p{};
    p.sweapon = -1;
    for (int& d : p.diff)
        d = 2;

    int w = SWD_InitWindow(ITM_WIN_NEWPILOT);
    if (w < 0) return 0;
    SWD_SetFieldItem(w, 0, sid_pics[p.id_pic]);
    SWD_SetActiveField(w, 1);
    Redraw();
    GFX_FadeIn(palette, 16);
    SWD_SetFieldPtr(w, 5);
    PTR_DrawCursor(1);

    int result = 0;
    SWD_DLG dlg{};
    auto next_pic = [&]() {
        p.id_pic = (p.id_pic + 1) % PLR_PORTRAITS;
        SWD_SetFieldItem(w, 0, sid_pics[p.id_pic]);
        Redraw();
    };
    for (;;) {
        bool finish = false, abort = false;
        Step(&dlg);
        if (keyboard[SC_ESCAPE] || JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B)) abort = true;
        if (AltX()) WIN_AskExit();
        if (dlg.keypress == SC_CTRL || dlg.keypress == SC_ALT) next_pic();
        if (dlg.keypress == SC_F1) HELP_Win("NEWPLAY1_TXT");
        const bool click = AreaClick(dlg);
        if (dlg.viewactive) {
            switch (dlg.viewfield) {
            case 5:
                RegLabel(w, "   CHANGE ID PICTURE");
                if (click) {
                    mouse_b1_ack = 0;
                    next_pic();
                }
                break;
            case 6:
                RegLabel(w, "ENTER NAME AND CALLSIGN");
                break;
            case 4:
                RegLabel(w, "        EXIT");
                if (click) {
                    mouse_b1_ack = 0;
                    finish = true;
                }
                break;
            default:
                RegLabel(w, " ");
            }
        } else {
            RegLabel(w, " ");
        }
        SWD_GetFieldText(w, 1, p.name, sizeof(p.name));
        SWD_GetFieldText(w, 2, p.callsign, sizeof(p.callsign));
        if (Pressed(dlg, 1) && p.name[0] && dlg.keypress == SC_ENTER) {
            SWD_SetActiveField(w, 2);
        }
        if (Pressed(dlg, 2)) {
            if (!p.name[0]) {
                SWD_SetActiveField(w, 1);
            } else if (!p.callsign[0]) {
                SWD_SetActiveField(w, 2);
            } else if (dlg.keypress == SC_ENTER || keyboard[SC_ENTER]) {
                finish = true;
            }
        }
        // Escape always leaves, whatever the fields hold.
        if (abort) break;
        if (!finish) continue;
        if (!p.name[0] || !p.callsign[0]) {
            SWD_SetActiveField(w, p.name[0] ? 2 : 1);
            continue;
        }
        if (VUL_IsSaveFile(&p)) {
            WIN_Msg("Pilot NAME and CALLSIGN Used !");
            continue;
        }
        int d = WIN_AskDiff();
        if (d < 0) {
            WIN_Msg("PLAYER ABORTED!");
            break;
        }
        // The slot is found before the pilot in play is given up: a full set of pilot
        // files leaves the running game as it was.
        if (!VUL_FFSaveFile()) {
            WIN_Msg("ERROR : YOU MUST DELETE A PILOT");
            break;
        }
        const int slot = filepos;
        plr = p;
        filepos = slot;
        plr.diff[0] = plr.diff[1] = plr.diff[2] = d;
        plr.trainflag = d != 0;
        plr.storeflag = d == 0;
        cur_game = 0;
        for (int& g : game_wave)
            g = 0;
        VUL_SetPlayerDiff();
        WIN_StartingKit();
        if (godmode) {
            plr.score = 886543;
            for (int i = 0; i < 4; i++)
                OBJS_Add(OBJ_MEGABOMB);
            OBJS_Add(OBJ_BOSSGAUGE);
            for (int t = 1; t <= 15; t++)
                OBJS_Add(t);
        }
        OBJS_GetNext();
        ingameflag = 0;
        result = 1;
        break;
    }
    CloseScreen(w, 16);
    hangto = 0;
    return result;
}

// ---- hangar --------------------------------------------------------------------------------

int WIN_Hangar(void)
{
    static constexpr const char* labels[4] = {"FLY MISSION", "SUPPLY ROOM", "EXIT HANGAR",
                                              "SAVE PILOT"};
    PTR_DrawCursor(0);
    KBD_Clear();
    if (plr.storeflag) {
        plr.storeflag = 0;
        return 3;
    }
    GFX_FadeOut(0, 0, 0, 16);
    int w = SWD_InitMasterWindow(ITM_WIN_HANGAR);
    if (w < 0) return -99;
    SND_PlaySong(kSongHangar, 1, 1);
    Redraw();
    GFX_FadeIn(palette, 16);
    int sel = hangto == 1 ? 2 : 3;
    SWD_SetActiveField(w, sel);
    hangto = 1;
    SWD_SetFieldPtr(w, sel);
    PTR_DrawCursor(1);

    auto ask_save = [&]() {
        char q[64];
        M_snprintf(q, sizeof(q), "Save %s - %s ?", plr.name, plr.callsign);
        if (WIN_AskBool(q)) VUL_SavePlayer();
    };
    int result = 0, pass = 0, area = -1;
    SWD_DLG dlg{};
    while (result == 0) {
        if (++pass % 5 == 0) {
            SWD_SetFieldItem(w, 0, wrand() % 3 == 0 ? ITM_HANGARPIC : -1);
            Redraw();
        } else {
            NextTick();
        }
        Step(&dlg);
        if (keyboard[SC_ESCAPE] || JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B)) {
            result = -99;
            break;
        }
        if (AltX()) WIN_AskExit();
        const int key = dlg.keypress;
        bool choose = false;
        if (key == SC_TAB || key == SC_UP || key == SC_LEFT || key == SC_RIGHT || key == SC_DOWN) {
            int step = key == SC_RIGHT || key == SC_DOWN ? 3 : 1;
            sel = 2 + (sel - 2 + step) % 4;
            KBD_Wait(key);
            SWD_SetFieldPtr(w, sel);
        }
        if (key == SC_ENTER || key == SC_SPACE) choose = true;
        if (key == SC_S || key == SC_F2) ask_save();
        if (key == SC_F1) HELP_Win("HANGHLP1_TXT");
        if (AreaClick(dlg)) {
            mouse_b1_ack = 0;
            choose = true;
        }
        const int now = dlg.viewactive ? dlg.viewfield : -1;
        if (now != area) {
            area = now;
            SWD_SetFieldText(w, 1, area >= 2 && area <= 5 ? labels[area - 2] : " ");
            Redraw();
        }
        if (!choose || area < 2 || area > 5) continue;
        sel = area;
        switch (area) {
        case 2:
            SND_Patch(kFxClick, 60);
            WaitRelease();
            result = 2;
            break;
        case 3:
            SND_Patch(kFxClick, 127);
            result = 3;
            break;
        case 4:
            SND_Patch(kFxClick, 200);
            result = -99;
            break;
        case 5:
            WaitRelease();
            ask_save();
            WaitRelease();
            break;
        }
    }
    CloseScreen(w, 16);
    return result;
}

// ---- ship's computer -----------------------------------------------------------------------

int WIN_ShipComp(void)
{
    // Entry 0 of the light and dark tables is zeroed while the screen is up and put back
    // however it is left.
    const uint8_t lsave = ltable[0], dsave = dtable[0];
    ltable[0] = dtable[0] = 0;
    GLB_FreeAll();
    PTR_DrawCursor(0);
    SND_PlaySong(kSongHangar, 1, 1);
    KBD_Clear();
    GFX_FadeOut(0, 0, 0, 16);
    cur_diff &= ~7;

    int w = SWD_InitMasterWindow(ITM_WIN_COMPUTER);
    if (w < 0) {
        ltable[0] = lsave;
        dtable[0] = dsave;
        return 0;
    }
    GLB_LockItem(ITM_SWITCH_ON);
    GLB_LockItem(ITM_SWITCH_OFF);
    SWD_SetActiveField(w, 11);
    SWD_SetFieldPtr(w, 11);
    int sw[3] = {0, 0, 0}, armed = 0;
    for (int i = 0; i < 3; i++)
        SWD_SetFieldItem(w, i, ITM_SWITCH_OFF);
    if (bday_flag) {
        SWD_SetFieldItem(w, 0, ITM_SWITCH_ON);
        SWD_SetFieldItem(w, 2, ITM_SWITCH_ON);
        SND_Patch(kFxSwitch, 127);
        sw[0] = sw[1] = sw[2] = armed = 1;
    }
    Redraw();
    GFX_FadeIn(palette, 16);
    PTR_DrawCursor(1);

    const bool cheat = godmode || demo_flag == 1;
    int result = -1;
    SWD_DLG dlg{};
    while (result < 0) {
        Step(&dlg);
        if (AltX()) WIN_AskExit();
        const int key = dlg.keypress;
        if (key == SC_F1) HELP_Win("COMPHLP1_TXT");
        if (key == SC_ESCAPE || keyboard[SC_ESCAPE]) {
            result = 0;
            break;
        }
        bool start = false;
        if (key >= SC_Q && key <= SC_O) {
            if (cheat) game_wave[CurGame()] = key - SC_Q;
            start = true;
        }
        if (cheat && key >= SC_Z && key <= SC_Z + 2) cur_game = key - SC_Z;
        if (dlg.cur_act == ACT_FIELD && dlg.cur_cmd == F_SELECT) {
            switch (dlg.field) {
            case 3:
                result = 0;
                break;
            case 4:
                cur_game = 0;
                start = true;
                break;
            case 5:
            case 10: {
                int g = dlg.field == 5 ? 1 : 2;
                if (gameflag[g]) {
                    cur_game = g;
                    start = true;
                } else {
                    result = 0;
                }
                break;
            }
            case 11:
                start = true;
                break;
            case 6:
                armed = 1;
                break;
            case 7:
            case 8:
            case 9:
                if (armed) {
                    int i = dlg.field - 7;
                    sw[i] ^= 1;
                    SWD_SetFieldItem(w, i, sw[i] ? ITM_SWITCH_ON : ITM_SWITCH_OFF);
                    Redraw();
                }
                break;
            }
        }
        if (start && gameflag[CurGame()]) {
            for (int f : {4, 5, 10, 11})
                SWD_SetFieldText(w, f, "");
            result = 1;
        }
    }
    ltable[0] = lsave;
    dtable[0] = dsave;
    PTR_DrawCursor(0);
    GFX_FadeOut(0, 0, 0, 8);
    SWD_DestroyWindow(w);
    ClearScreen();
    GFX_SetPalette(palette, 0);
    if ((armed && sw[0] && sw[1] && sw[2]) || bday_flag) {
        cur_diff |= 7;
        SND_Patch(kFxSwitch, 127);
    }
    hangto = 1;
    GLB_UnlockItem(ITM_SWITCH_ON);
    GLB_UnlockItem(ITM_SWITCH_OFF);
    return result;
}

// ---- the campaign --------------------------------------------------------------------------

int WIN_MainLoop(void)
{
    ingameflag = 1;
    SND_PlaySong(kSongHangar, 1, 1);
    for (;;) {
        if (demo_flag != 1) {
            int h = WIN_Hangar();
            if (h == 3) {
                STORE_Enter();
                hangto = 1;
                continue;
            }
            if (h != 2) return h;
        }
        if (!WIN_ShipComp()) continue;
        if (demo_flag == 1) DEMO_MakePlayer(cur_game);
        WIN_PlayWaveSong();
        WIN_LoadComp();
        VUL_LoadMap();
        retraceflag = 0;
        int r = Do_Game();
        retraceflag = 1;
        if (OBJS_GetAmt(OBJ_SHIELD) <= 0) break;
        if (r != 0) continue;
        int ended;
        switch (WIN_WaveWon(&ended)) {
        case WAVE_EPISODEEND:
            INTRO_EndGame(ended);
            break;
        case WAVE_TRAININGEND:
            Victory(ITM_VICTORY_TRAINING);
            break;
        default:
            INTRO_Landing();
            break;
        }
    }
    ingameflag = 0;
    SND_PlaySong(kSongDeath, 1, 1);
    return INTRO_Death();
}
