// Stand-in menu screens and the campaign loop.
#include "ui/windows.h"

#include <algorithm>
#include <cstring>

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/imsapi.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/help.h"
#include "ui/intro.h"
#include "ui/standin.h"
#include "world/objects.h"
#include "world/tile.h"

int ingameflag;
int hangto;

namespace
{

constexpr int SC_Y = 21, SC_N = 49, SC_D = 32, SC_X = 45, SC_TAB = 15;
constexpr int kFxWindow = 20;
constexpr int kSongMenu = 87, kSongDeath = 93;

// Mission songs by episode and wave; the fourth episode flies to the first one's songs.
constexpr int songsg1[ITM_WAVES] = {96, 90, 92, 95, 94, 90, 91, 92, 94};
constexpr int songsg2[ITM_WAVES] = {91, 90, 92, 96, 94, 90, 96, 89, 94};
constexpr int songsg3[ITM_WAVES] = {96, 92, 89, 95, 94, 90, 91, 92, 94};
// Waves of an episode by the pilot's difficulty (training flies four).
constexpr int diff_wrap[4] = {4, 9, 9, 9};
// The attract demos of archives 1, 2 and 3.
constexpr int kDemoItems[3] = {ITM_DEMOS1, ITM_DEMOS2, ITM_DEMOS3};

// Menu colours.
constexpr int kTitle = 79, kText = 140, kChosen = 255, kDim = 134;

int g_x, g_y, g_lx, g_ly; // the loading bar

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

// A button of the stand-in screens.
struct BUTTON {
    int x, y, w, h;
    const char* text;
};

bool Inside(const BUTTON& b, int x, int y)
{
    return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
}

void DrawButton(const BUTTON& b, bool chosen)
{
    GFX_ColorBox(b.x, b.y, b.w, b.h, chosen ? 136 : 130);
    GFX_LightBox(chosen ? 2 : 1, b.x, b.y, b.w, b.h);
    UI_PrintCentred(UI_MEDIUM, b.x + b.w / 2, b.y + (b.h - 9) / 2, b.text,
                    chosen ? kChosen : kText);
    GFX_MarkUpdate(b.x, b.y, b.w, b.h);
}

// The title screen's backdrop: a night sky over the landscape's colours.
void DrawBackdrop(void)
{
    for (int y = 0; y < SCREENHEIGHT; y++) {
        int c = y < 120 ? 96 + y / 20 : 128 + (SCREENHEIGHT - y) / 16;
        memset(displaybuffer + ylookup[y], c, SCREENWIDTH);
    }
    // Stars from a fixed pattern, so the screen is the same every time.
    uint32_t s = 12345;
    for (int i = 0; i < 90; i++) {
        s = s * 1103515245u + 12345u;
        int x = (s >> 8) % SCREENWIDTH, y = (s >> 20) % 110;
        displaybuffer[ylookup[y] + x] = static_cast<uint8_t>(i % 7 ? 9 : 14);
    }
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
}

// The victory picture of an episode, or of a finished training.
void Victory(int item)
{
    GFX_FadeOut(0, 0, 0, 2);
    memset(displaybuffer, 0, SCREENSIZE);
    DrawBackdrop();
    UI_Box(item == ITM_VICTORY_TRAINING ? "TRAINING COMPLETE" : "EPISODE COMPLETE",
           "WELL DONE, PILOT");
    GFX_FadeIn(palette, 16);
    IMS_WaitTimed(30);
    UI_Show();
}

} // namespace

void WIN_WinGame(int episode)
{
    if (episode < 0 || episode > 3) return;
    Victory(episode < 3 ? ITM_VICTORY + episode : ITM_VICTORY + 2);
}

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

void WIN_MainMenu(void)
{
    if (demo_flag == 1) {
        // Recording: straight to the first available episode.
        for (cur_game = 0; cur_game < 3 && !gameflag[cur_game]; cur_game++) {
        }
        return;
    }

    BUTTON items[5];
    int games[5];
    int count = 0;
    static char labels[4][32];
    for (int e = 0; e < 4; e++) {
        if (!gameflag[e]) continue;
        M_snprintf(labels[e], sizeof(labels[e]), "EPISODE %d  %s", e + 1, sector_names[e]);
        games[count] = e;
        items[count] = {80, 92 + 20 * count, 160, 16, labels[e]};
        count++;
    }
    games[count] = -1;
    items[count] = {80, 92 + 20 * count, 160, 16, "QUIT"};
    count++;

    int chosen = 0;
    auto draw = [&](void) {
        DrawBackdrop();
        UI_PrintCentred(UI_LARGE, SCREENWIDTH / 2, 24, "VULTAR", kTitle);
        UI_PrintCentred(UI_SMALL, SCREENWIDTH / 2, 62, "CHOOSE A SECTOR TO FLY", kText);
        for (int i = 0; i < count; i++)
            DrawButton(items[i], i == chosen);
        UI_PrintCentred(UI_SMALL, SCREENWIDTH / 2, 190, "D  DEMOS     F1  HELP     ALT+X  QUIT",
                        kDim);
    };

    KBD_Clear();
    PTR_DrawCursor(0);
    SND_PlaySong(kSongMenu, 1, 1);
    draw();
    UI_Show();
    GFX_FadeIn(palette, 10);
    SND_CacheIFX();
    PTR_SetPos(items[0].x + items[0].w / 2, items[0].y + items[0].h / 2);
    PTR_DrawCursor(1);
    mouse_b1_ack = 0;

    int idle = 0, lastframe = GFX_GetFrameCount();
    constexpr int kIdleTicks = 4000;
    for (;;) {
        UI_Show();
        int now = GFX_GetFrameCount();
        idle += now - lastframe;
        lastframe = now;

        int pick = -1;
        int key = UI_TakeKey();
        int mx, my;
        if (key || mouseb1 || mouseb2) idle = 0;
        if (keyboard[SC_X] && keyboard[SC_ALT]) {
            WIN_AskExit();
            draw();
            continue;
        }
        switch (key) {
        case SC_UP:
        case SC_LEFT:
            chosen = (chosen + count - 1) % count;
            break;
        case SC_DOWN:
        case SC_RIGHT:
        case SC_TAB:
            chosen = (chosen + 1) % count;
            break;
        case SC_ENTER:
        case SC_SPACE:
            pick = chosen;
            break;
        case SC_ESCAPE:
            WIN_AskExit();
            draw();
            break;
        case SC_F1:
            HELP_Win("HELP1_TXT");
            draw();
            break;
        default:
            break;
        }
        if (JOY_IsKey(JOY_A)) pick = chosen;
        // The button under the pointer is the chosen one while the mouse moves over it.
        for (int i = 0; i < count; i++)
            if (Inside(items[i], cur_mx, cur_my) && i != chosen && g_drawcursor) {
                static int lastmx = -1, lastmy = -1;
                if (cur_mx != lastmx || cur_my != lastmy) chosen = i;
                lastmx = cur_mx;
                lastmy = cur_my;
            }
        if (UI_TakeClick(&mx, &my)) {
            idle = 0;
            for (int i = 0; i < count; i++)
                if (Inside(items[i], mx, my)) pick = chosen = i;
        }
        for (int i = 0; i < count; i++)
            DrawButton(items[i], i == chosen);

        if (key == SC_D || idle >= kIdleTicks) {
            PTR_DrawCursor(0);
            GFX_FadeOut(0, 0, 0, 3);
            WIN_MainAuto(0);
            SND_PlaySong(kSongMenu, 1, 1);
            draw();
            UI_Show();
            GFX_FadeIn(palette, 16);
            PTR_DrawCursor(1);
            idle = 0;
            lastframe = GFX_GetFrameCount();
            continue;
        }
        if (pick < 0) continue;
        if (games[pick] == -1) {
            WIN_AskExit();
            draw();
            continue;
        }
        cur_game = games[pick];
        break;
    }

    PTR_DrawCursor(0);
    GFX_FadeOut(0, 0, 0, 16);
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    UI_Show();
    GFX_SetPalette(palette, 0);
    hangto = 0;
}

void WIN_MainAuto(int start)
{
    PTR_DrawCursor(0);
    for (int step = start, tries = 0; tries < 9; step = (step + 1) % 9, tries++) {
        int archive = step / 3 + 1;
        if (!gameflag[archive - 1]) continue;
        if (!DEMO_GLBFile(kDemoItems[archive - 1] + step % 3)) continue;
        if (DEMO_Play()) break; // a press stops the demos
        tries = 0;
    }
    KBD_Clear();
    GLB_FreeAll();
    SND_CacheIFX();
}

int WIN_MainLoop(void)
{
    ingameflag = 1;
    for (int g = 0; g < 4; g++)
        game_wave[g] = 0;
    DEMO_MakePlayer(cur_game);

    for (;;) {
        if (demo_flag == 1) DEMO_MakePlayer(cur_game);
        WIN_PlayWaveSong();
        WIN_LoadComp();
        VUL_LoadMap();
        retraceflag = 0;
        int r = Do_Game();
        retraceflag = 1;

        if (OBJS_GetAmt(OBJ_SHIELD) <= 0) {
            ingameflag = 0;
            SND_PlaySong(kSongDeath, 1, 1);
            return INTRO_Death();
        }
        if (r != 0) {
            ingameflag = 0;
            return 0;
        }
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
}

void WIN_Pause(void)
{
    UI_Box("GAME PAUSED", "PRESS ANY KEY");
    SND_Patch(kFxWindow, 127);
    IMS_StartAck();
    while (!IMS_CheckAck())
        UI_Show();
    UI_Show();
    JOY_IsKey(JOY_START);
    JOY_IsKey(JOY_BACK);
    KBD_Clear();
    IMS_StartAck();
}

void WIN_Msg(const char* msg)
{
    UI_Box(msg, "PRESS ANY KEY");
    SND_Patch(kFxWindow, 127);
    IMS_StartAck();
    while (!IMS_CheckAck())
        UI_Show();
    UI_Show();
    KBD_Clear();
    IMS_StartAck();
}

int WIN_AskBool(const char* question)
{
    KBD_Clear();
    constexpr int w = 220, h = 70;
    const int x = (SCREENWIDTH - w) / 2, y = (SCREENHEIGHT - h) / 2;
    BUTTON yes = {x + 30, y + 42, 60, 16, "YES"}, no = {x + w - 90, y + 42, 60, 16, "NO"};
    int focus = 1; // 1 yes, 0 no
    auto draw = [&](void) {
        UI_Panel(x, y, w, h);
        UI_PrintCentred(UI_MEDIUM, SCREENWIDTH / 2, y + 14, question, kTitle);
        DrawButton(yes, focus == 1);
        DrawButton(no, focus == 0);
        GFX_MarkUpdate(x, y, w, h);
    };
    draw();
    UI_Show();
    SND_Patch(kFxWindow, 127);
    int shown = g_drawcursor;
    PTR_SetPos(yes.x + yes.w / 2, yes.y + yes.h / 2);
    PTR_DrawCursor(1);
    mouse_b1_ack = 0;

    int answer = -1;
    while (answer < 0) {
        UI_Show();
        int key = UI_TakeKey(), mx, my;
        switch (key) {
        case SC_LEFT:
        case SC_RIGHT:
        case SC_TAB:
            focus ^= 1;
            draw();
            break;
        case SC_ENTER:
        case SC_SPACE:
            answer = focus;
            break;
        case SC_Y:
            answer = 1;
            break;
        case SC_N:
        case SC_ESCAPE:
            answer = 0;
            break;
        default:
            break;
        }
        if (JOY_IsKey(JOY_BACK)) answer = 0;
        if (JOY_IsKey(JOY_A)) answer = focus;
        if (UI_TakeClick(&mx, &my)) {
            if (Inside(yes, mx, my)) answer = 1;
            if (Inside(no, mx, my)) answer = 0;
        }
    }
    PTR_DrawCursor(shown);
    UI_Show();
    KBD_Clear();
    return answer;
}

int WIN_AskExit(void)
{
    if (WIN_AskBool("EXIT TO DOS")) VUL_QuitGame();
    return 0;
}

void WIN_LoadComp(void)
{
    memset(displaybuffer, 0, SCREENSIZE);
    DrawBackdrop();
    constexpr int w = 200, h = 80;
    const int x = (SCREENWIDTH - w) / 2, y = (SCREENHEIGHT - h) / 2;
    UI_Panel(x, y, w, h);
    UI_PrintCentred(UI_MEDIUM, SCREENWIDTH / 2, y + 12, sector_names[CurGame()], kTitle);
    char text[32];
    WIN_WaveText(text, sizeof(text));
    UI_PrintCentred(UI_MEDIUM, SCREENWIDTH / 2, y + 30, text, kText);
    g_x = x + 20;
    g_y = y + 54;
    g_lx = w - 40;
    g_ly = 8;
    GFX_ColorBox(g_x - 1, g_y - 1, g_lx + 2, g_ly + 2, 0);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    UI_Show();
    GFX_FadeIn(palette, 8);
}

void WIN_SetLoadLevel(int percent)
{
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    int w = ((percent * ((g_lx * 65536) / 100)) / 65536) + 1;
    if (w > g_lx) w = g_lx;
    GFX_ColorBox(g_x, g_y, w, g_ly, 85);
    UI_Show();
}

void WIN_EndLoad(void)
{
    GFX_FadeOut(0, 0, 0, 16);
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    UI_Show();
    GFX_SetPalette(palette, 0);
}
