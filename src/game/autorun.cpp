// The autopilot's campaign, played through the game's own screens. A frame hook looks at
// the window in front each time a frame is shown and, once it has stood a few frames,
// answers it the way a player would: a press on a field, a key, a click where the pointer
// is. The mission frames are watched for the wave's figures; the autopilot flies them.
#include "game/autorun.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "game/autopilot.h"
#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"
#include "res/itemtable.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/enemy.h"
#include "world/objects.h"
#include "world/tile.h"

namespace
{

constexpr int kKeyS = 31;
constexpr int kNone = -1, kMission = 0;
// Fields of the screens the campaign passes.
constexpr int kMenuNewPilot = 1, kMenuLoadPilot = 2;
constexpr int kNameField = 1, kCallsignField = 2;
constexpr int kDiffFirst = 6;
constexpr int kHangarFly = 2, kHangarStore = 3, kHangarLeave = 4;
constexpr int kComputerGo = 11;
constexpr int kAskYes = 6, kAskNo = 7;
constexpr int kLoadThis = 5;
constexpr int kStorePrice = 9, kStorePicture = 7;
// Frames a screen stands before it is answered (the loading screen stands one only).
constexpr int kSettle = 4;
// Store steps without finding the item wanted before the pilot gives up and leaves.
constexpr int kStoreSteps = 30;

struct DRIVER {
    const AUTO_RUN* run;
    std::vector<AUTO_WAVE>* waves;
    int settle, pending_click, store_steps;
    int menu;         // the main menu's answer: new or load pilot
    bool shopped;     // the store was visited since the last wave
    bool want_save;   // save in the hangar next
    bool want_leave;  // leave the hangar (to load the pilot again, or at the end)
    bool stop;        // the campaign is over
    bool in_store;    //
    int32_t store_in; // money when the store was entered
    int32_t spent;    // in the store since the last wave
    std::string bought;
    bool mission;      // mission frames are being shown
    int episodes_done; //
    int since_reload;  // waves flown since the pilot was last loaded
    size_t checked;    // waves whose landing the hangar has looked at
    int attract;       // the attract mode: not wanted, awaited in the menu, showing
    bool menu_seen;    // the main menu stood while the attract mode was awaited
    long attract_frames;
};
DRIVER drv;
AUTO_SEEN seen;
std::atomic<long> progress;
int last_id = kNone; // the window in front at the last picture
enum { ATTRACT_NONE, ATTRACT_AWAIT, ATTRACT_ON };

int ActiveId(void)
{
    if (SWD_GetWindow(active_window)) {
        const int id = SWD_GetWindowID(active_window);
        // While the shopkeeper speaks the store's display is empty: not ready for a deal.
        char price[16] = "";
        SWD_GetFieldText(active_window, kStorePrice, price, sizeof(price));
        return id == ITM_WIN_STORE && !price[0] ? kNone : id;
    }
    return do_game ? kMission : kNone;
}

void PressField(int field)
{
    SWD_SetActiveField(active_window, field);
    lastscan = SC_ENTER;
}

void PointAndClick(int field)
{
    SWD_SetFieldPtr(active_window, field);
    drv.pending_click = 2;
}

const char* ItemName(int type)
{
    static constexpr const char* names[OBJ_NUMTYPES] = {
        "gun 1",      "gun 2",      "gun 3",      "special 3",    "special 4",  "special 5",
        "special 6",  "special 7",  "special 8",  "special 9",    "special 10", "mega bomb",
        "special 12", "special 13", "special 14", "super shield", "shield",     "boss gauge"};
    return type >= 0 && type < OBJ_NUMTYPES && names[type] ? names[type] : "?";
}

void Store(void)
{
    const int want = AUTO_NextPurchase();
    const int shown = SWD_GetFieldItem(active_window, kStorePicture) - ITM_STOREPICS;
    if (want == -1 || drv.store_steps > kStoreSteps) {
        lastscan = SC_ESCAPE;
        return;
    }
    if (shown == want) {
        if (!drv.bought.empty()) drv.bought += ", ";
        drv.bought += ItemName(want);
        drv.store_steps = 0;
        lastscan = SC_ENTER;
    } else {
        drv.store_steps++;
        lastscan = SC_RIGHT;
    }
}

void Hangar(void)
{
    if (drv.want_save) {
        lastscan = kKeyS;
        return;
    }
    if (drv.want_leave || drv.stop) {
        PointAndClick(kHangarLeave);
        return;
    }
    if (!drv.shopped) {
        PointAndClick(kHangarStore);
        return;
    }
    PointAndClick(kHangarFly);
}

void Answer(int id)
{
    switch (id) {
    case ITM_WIN_MAINMENU:
        PressField(drv.menu);
        break;
    case ITM_WIN_NEWPILOT:
        SWD_SetFieldText(active_window, kNameField, drv.run->name);
        SWD_SetFieldText(active_window, kCallsignField, drv.run->callsign);
        PressField(kCallsignField);
        break;
    case ITM_WIN_DIFFICULTY:
        PressField(kDiffFirst + std::clamp(drv.run->difficulty, 0, 3));
        break;
    case ITM_WIN_LOADPILOT:
        PressField(kLoadThis);
        break;
    case ITM_WIN_HANGAR:
        Hangar();
        break;
    case ITM_WIN_STORE:
        Store();
        break;
    case ITM_WIN_ASK:
        PressField(drv.want_save ? kAskYes : kAskNo);
        drv.want_save = false;
        break;
    case ITM_WIN_COMPUTER:
        PressField(kComputerGo);
        break;
    case ITM_WIN_LOADING:
        if (!drv.run->demodir.empty()) {
            char name[64];
            snprintf(name, sizeof(name), "/e%dw%d.dem", cur_game + 1, game_wave[cur_game] + 1);
            DEMO_SetFileName((drv.run->demodir + name).c_str());
            demo_flag = 1;
        }
        break;
    default:
        break;
    }
}

// The first picture after a wave's frames: its recording is written and the figures of
// the wave are final.
void MissionOver(void)
{
    drv.mission = false;
    if (demo_flag == 1) {
        DEMO_SaveFile();
        demo_flag = 0;
    }
    demo_mode = 0;
    if (drv.waves->empty()) return;
    const AUTO_WAVE& w = drv.waves->back();
    drv.since_reload++;
    if (drv.run->progress) {
        printf("episode %d wave %d %-8s %-8s shield %3d  enemies %3d/%-3d ground %3d  buildings "
               "%3d/%-3d  money %+8d  spent %7d  frames %5d\n",
               w.game + 1, w.wave + 1, AUTO_DiffName(w.diff), w.survived ? "survived" : "LOST",
               w.shield, w.killed, w.came, w.groundkilled, w.razed, w.buildings, w.earned, w.spent,
               w.frames);
        fflush(stdout);
    }
    const int flown = static_cast<int>(drv.waves->size());
    if (drv.run->waves > 0 && flown >= drv.run->waves) drv.stop = true;
    if (w.survived) drv.want_save = true;
}

// A picture of the attract mode: once it has shown enough of them, a key is held down
// (pressed again each picture, as a held key repeats) until the mode gives way.
void AttractPicture(void)
{
    seen.attract_frames++;
    if (++drv.attract_frames <= drv.run->attract_press) return;
    lastscan = SC_ESCAPE;
    kbd_ack = 1;
}

// While the attract mode is awaited or showing, the driver answers nothing; true then.
bool Attract(int id)
{
    if (drv.attract == ATTRACT_AWAIT) {
        if (id == ITM_WIN_MAINMENU) {
            drv.menu_seen = true;
            return true;
        }
        if (!drv.menu_seen) return false;
        drv.attract = ATTRACT_ON;
        drv.attract_frames = 0;
    }
    if (id != ITM_WIN_MAINMENU) {
        AttractPicture();
        return true;
    }
    // The menu is back: the key is let go and the menu answered as usual.
    drv.attract = ATTRACT_NONE;
    lastscan = 0;
    kbd_ack = 0;
    seen.attract++;
    progress++;
    return false;
}

void FrameHook(void (*copy)(void))
{
    copy();
    const int id = ActiveId();
    if (id == ITM_WIN_MAINMENU && last_id != id) {
        seen.menus++;
        progress++;
    }
    last_id = id;
    if (drv.attract != ATTRACT_NONE && Attract(id)) {
        drv.settle = 0;
        return;
    }
    if (drv.pending_click && --drv.pending_click == 0) mouse_b1_ack = 1;
    if (drv.mission && id != kMission) MissionOver();
    if (drv.in_store && id != ITM_WIN_STORE && id != kNone) {
        drv.in_store = false;
        drv.spent += drv.store_in - plr.score;
    }
    if (id == ITM_WIN_STORE && !drv.in_store) {
        drv.in_store = true;
        drv.shopped = true;
        seen.stores++;
        progress++;
        drv.store_in = plr.score;
        drv.store_steps = 0;
    }
    if (id == ITM_WIN_HANGAR && drv.checked < drv.waves->size()) {
        drv.checked = drv.waves->size();
        // Back in the hangar: an episode that ended sends the pilot out to be loaded again.
        const AUTO_WAVE& w = drv.waves->back();
        if (w.survived && (cur_game != w.game || game_wave[cur_game] == 0) && !drv.stop) {
            if (cur_game != w.game) drv.episodes_done++;
            if (drv.run->waves == 0 && drv.episodes_done >= 4) drv.stop = true;
            drv.want_leave = true;
        }
        if (drv.run->reload_every > 0 && drv.since_reload >= drv.run->reload_every)
            drv.want_leave = true;
    }
    if (id == kNone || id == kMission) {
        drv.settle = 0;
        return;
    }
    if (++drv.settle < (id == ITM_WIN_LOADING ? 1 : kSettle)) return;
    drv.settle = 0;
    Answer(id);
}

// Buildings that pay when destroyed, standing at the wave's start; and those destroyed
// (a destroyed cell shows its wreck, so it no longer looks destructible).
int CountBuildings(bool razed)
{
    int n = 0;
    for (int c = 0; c < MAP_CELLS; c++)
        if (razed ? tdead[c] != 0 : titems[c] != eitems[c] && money[c] > 0) n++;
    return n;
}

void MissionHook(int point)
{
    if (demo_mode == 2) {
        // A demo of the attract mode: not a wave of the campaign.
        if (point == GAME_FRAME_START && gl_cnt == 0) {
            seen.demos++;
            progress++;
        }
        if (point == GAME_FRAME_SHOWN && drv.attract == ATTRACT_ON) AttractPicture();
        return;
    }
    if (point == GAME_FRAME_START && gl_cnt == 0) {
        progress++;
        drv.mission = true;
        AUTO_WAVE w{};
        w.game = cur_game;
        w.wave = game_wave[cur_game];
        w.diff = curplr_diff;
        w.money_start = plr.score;
        w.spent = drv.spent;
        w.bought = drv.bought;
        w.buildings = CountBuildings(false);
        for (int t = OBJ_FIRSTSPECIAL; t <= OBJ_LASTSPECIAL; t++)
            if (t != OBJ_MEGABOMB && OBJS_GetTotal(t) > 0) w.specials++;
        drv.spent = 0;
        drv.bought.clear();
        drv.shopped = false;
        drv.waves->push_back(w);
    }
    if (point != GAME_FRAME_SHOWN || drv.waves->empty()) return;
    AUTO_WAVE& w = drv.waves->back();
    if (!drv.run->shotdir.empty() && drv.run->shotevery > 0 && gl_cnt % drv.run->shotevery == 0) {
        uint8_t rgb[768];
        for (int i = 0; i < 768; i++)
            rgb[i] = static_cast<uint8_t>(gpal[i] << 2 | gpal[i] >> 4);
        char name[64];
        snprintf(name, sizeof(name), "/e%dw%d-%05d.png", w.game + 1, w.wave + 1, gl_cnt);
        I_WritePNGFile((drv.run->shotdir + name).c_str(), displayscreen, SCREENWIDTH, SCREENHEIGHT,
                       rgb);
    }
    w.shield = OBJS_GetAmt(OBJ_SHIELD);
    w.survived = w.shield > 0;
    w.came = enemy_tally.came;
    w.killed = enemy_tally.killed;
    w.groundkilled = enemy_tally.groundkilled;
    w.frames = gl_cnt;
    w.money_end = plr.score;
    w.earned = w.money_end - w.money_start;
    if ((gl_cnt & 15) == 0 || end_wave || startendwave == 0) w.razed = CountBuildings(true);
}

} // namespace

const char* AUTO_DiffName(int diff)
{
    static constexpr const char* names[4] = {"training", "easy", "medium", "hard"};
    return diff >= 0 && diff < 4 ? names[diff] : "?";
}

AUTO_SEEN AUTO_Seen(void)
{
    return seen;
}

long AUTO_Progress(void)
{
    return progress;
}

std::vector<AUTO_WAVE> AUTO_Campaign(const AUTO_RUN& run)
{
    std::vector<AUTO_WAVE> waves;
    drv = DRIVER{};
    drv.run = &run;
    drv.waves = &waves;
    drv.menu = kMenuNewPilot;
    drv.attract = run.attract_press >= 0 ? ATTRACT_AWAIT : ATTRACT_NONE;

    auto* old_frame = game_framehook;
    game_framehook = MissionHook;
    GFX_SetFrameHook(FrameHook);
    AUTO_Enable(1);
    demo_flag = 0;
    godmode = 0;
    ingameflag = 0;
    VUL_ClearPlayer();

    // Every pass: a pilot made or loaded, then flown until it leaves the hangar or dies.
    for (int pass = 0; pass < 400 && !drv.stop; pass++) {
        WIN_MainMenu();
        if (drv.menu == kMenuLoadPilot && !waves.empty() && !waves.back().survived) {
            // The wave was lost: the pilot as last saved moves on past it.
            int ended;
            if (WIN_WaveWon(&ended) == WAVE_EPISODEEND) drv.episodes_done++;
            if (run.waves == 0 && drv.episodes_done >= 4) drv.stop = true;
            drv.want_save = true;
        }
        drv.want_leave = false;
        drv.since_reload = 0;
        drv.shopped = false;
        WIN_MainLoop();
        if (drv.mission) MissionOver();
        ingameflag = 0;
        drv.menu = kMenuLoadPilot;
    }

    AUTO_Enable(0);
    GFX_SetFrameHook(nullptr);
    game_framehook = old_frame;
    demo_flag = 0;
    demo_mode = 0;
    return waves;
}

// ---- attract demos ----------------------------------------------------------------------

namespace
{

// The wave ends once the recording is full: the rest would not be seen.
void RecordHook(int point)
{
    if (point == GAME_FRAME_SHOWN && gl_cnt > 0 && demo_mode != 1) end_wave = 1;
}

} // namespace

bool AUTO_RecordDemo(int game, int wave, const std::string& path)
{
    FILE* probe = fopen(path.c_str(), "wb");
    if (!probe) return false;
    fclose(probe);
    auto* old_frame = game_framehook;
    game_framehook = RecordHook;
    AUTO_Enable(1);
    godmode = 0;
    cur_game = game;
    game_wave[game] = wave;
    DEMO_MakePlayer(game);
    VUL_LoadMap();
    DEMO_SetFileName(path.c_str());
    demo_flag = 1;
    Do_Game();
    demo_flag = 0;
    demo_mode = 0;
    AUTO_Enable(0);
    game_framehook = old_frame;
    VUL_ClearPlayer();
    return true;
}

// ---- the report -----------------------------------------------------------------------------

namespace
{

// A small picture to draw the plot on: palette colours by index.
enum { C_PAPER, C_INK, C_GRID, C_MONEY, C_SHIELD, C_LOST, C_EPISODE, C_COLOURS };
constexpr uint8_t kPlotPalette[C_COLOURS][3] = {{255, 255, 255}, {30, 30, 30},  {225, 225, 225},
                                                {30, 140, 60},   {40, 90, 200}, {210, 40, 40},
                                                {150, 150, 150}};

// Letters three pixels wide and five high, a row of three bits each, top row first.
int Glyph(char c)
{
    static constexpr struct {
        char c;
        int bits;
    } font[] = {
        {'0', 075557}, {'1', 026227}, {'2', 061247}, {'3', 071717}, {'4', 055711}, {'5', 074716},
        {'6', 034757}, {'7', 071244}, {'8', 075757}, {'9', 075711}, {'A', 025755}, {'B', 065656},
        {'C', 034443}, {'D', 065556}, {'E', 074647}, {'F', 074644}, {'G', 034553}, {'H', 055755},
        {'I', 072227}, {'K', 055655}, {'L', 044447}, {'M', 057755}, {'N', 065555}, {'O', 025552},
        {'P', 065644}, {'R', 065655}, {'S', 034216}, {'T', 072222}, {'U', 055557}, {'V', 055522},
        {'W', 055775}, {'Y', 055222}, {'-', 000700}, {'.', 000002}, {'%', 051245}, {'/', 011244},
        {'+', 002720}, {':', 002020}, {'(', 012221}, {')', 042224}, {',', 000024},
    };
    for (const auto& g : font)
        if (g.c == c) return g.bits;
    return 0;
}

struct CANVAS {
    int w, h;
    std::vector<uint8_t> px;
    void Dot(int x, int y, int c)
    {
        if (x >= 0 && x < w && y >= 0 && y < h) px[size_t(y) * w + x] = uint8_t(c);
    }
    void Box(int x, int y, int bw, int bh, int c)
    {
        for (int j = 0; j < bh; j++)
            for (int i = 0; i < bw; i++)
                Dot(x + i, y + j, c);
    }
    void Line(int x0, int y0, int x1, int y1, int c)
    {
        int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
        for (;;) {
            Dot(x0, y0, c);
            Dot(x0, y0 + 1, c);
            if (x0 == x1 && y0 == y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    // Text in capitals, two pixels a dot.
    void Text(int x, int y, const char* s, int c)
    {
        for (; *s; s++, x += 8) {
            int bits = Glyph(static_cast<char>(toupper(static_cast<unsigned char>(*s))));
            for (int row = 0; row < 5; row++)
                for (int col = 0; col < 3; col++)
                    if (bits >> ((4 - row) * 3 + (2 - col)) & 1)
                        Box(x + 2 * col, y + 2 * row, 2, 2, c);
        }
    }
};

bool WritePlot(const std::vector<AUTO_WAVE>& waves, const char* title, const std::string& path)
{
    CANVAS cv{800, 360, {}};
    cv.px.assign(size_t(cv.w) * cv.h, C_PAPER);
    const int left = 90, right = cv.w - 60, top = 50, bottom = cv.h - 60;
    const int n = std::max<int>(1, static_cast<int>(waves.size()));
    int32_t most = 1;
    for (const AUTO_WAVE& w : waves)
        most = std::max({most, w.money_start, w.money_end});
    // The money scale in round steps.
    int32_t step = 1;
    while (step * 10 < most)
        step *= 10;
    if (step * 5 < most)
        step *= 5;
    else if (step * 2 < most)
        step *= 2;
    const int32_t scale = (most + step - 1) / step * step;
    auto wx = [&](double i) { return left + int((right - left) * (i + 0.5) / n); };
    auto my = [&](int64_t m) { return bottom - int((bottom - top) * m / scale); };
    auto sy = [&](int s) { return bottom - (bottom - top) * s / 100; };

    char text[64];
    for (int32_t m = 0; m <= scale; m += step) {
        cv.Box(left, my(m), right - left, 1, C_GRID);
        snprintf(text, sizeof(text), "%d", m);
        cv.Text(left - 8 - 8 * int(strlen(text)), my(m) - 5, text, C_MONEY);
    }
    for (int s = 0; s <= 100; s += 25) {
        snprintf(text, sizeof(text), "%d", s);
        cv.Text(right + 8, sy(s) - 5, text, C_SHIELD);
    }
    cv.Box(left, top, 1, bottom - top + 1, C_INK);
    cv.Box(left, bottom, right - left + 1, 1, C_INK);
    cv.Box(right, top, 1, bottom - top + 1, C_INK);
    // Episodes apart, lost waves marked under the axis.
    for (int i = 0; i < static_cast<int>(waves.size()); i++) {
        const AUTO_WAVE& w = waves[i];
        if (i == 0 || waves[i - 1].game != w.game || (w.wave == 0 && waves[i - 1].wave != 0)) {
            int x = wx(i - 0.5);
            if (i > 0) cv.Box(x, top, 1, bottom - top, C_EPISODE);
            snprintf(text, sizeof(text), "E%d %s", w.game + 1, AUTO_DiffName(w.diff));
            cv.Text(x + 4, bottom + 10, text, C_INK);
        }
        if (!w.survived) cv.Box(wx(i) - 3, bottom + 26, 7, 7, C_LOST);
    }
    for (int i = 0; i < static_cast<int>(waves.size()); i++) {
        const AUTO_WAVE& w = waves[i];
        if (i > 0) {
            cv.Line(wx(i - 1), my(waves[i - 1].money_end), wx(i), my(w.money_end), C_MONEY);
            cv.Line(wx(i - 1), sy(waves[i - 1].shield), wx(i), sy(w.shield), C_SHIELD);
        }
        cv.Box(wx(i) - 2, my(w.money_end) - 2, 5, 5, C_MONEY);
        cv.Box(wx(i) - 2, sy(w.shield) - 2, 5, 5, C_SHIELD);
    }
    cv.Text(left, 12, title, C_INK);
    cv.Text(left, 30, "MONEY AFTER EACH WAVE", C_MONEY);
    cv.Text(left + 200, 30, "SHIELD AT THE END OF EACH WAVE (RIGHT SCALE)", C_SHIELD);
    cv.Text(left, cv.h - 20, "LOST WAVES", C_INK);
    cv.Box(left + 88, cv.h - 20, 7, 7, C_LOST);

    uint8_t rgb[768] = {};
    memcpy(rgb, kPlotPalette, sizeof(kPlotPalette));
    return I_WritePNGFile(path.c_str(), cv.px.data(), cv.w, cv.h, rgb);
}

struct SUM {
    int waves, survived, came, killed, groundkilled, buildings, razed, frames;
    int64_t earned, spent;
    void Add(const AUTO_WAVE& w)
    {
        waves++;
        survived += w.survived;
        came += w.came;
        killed += w.killed;
        groundkilled += w.groundkilled;
        buildings += w.buildings;
        razed += w.razed;
        frames += w.frames;
        earned += w.earned;
        spent += w.spent;
    }
};

void SumRow(FILE* f, const char* what, const SUM& s)
{
    fprintf(
        f,
        "| **%s** | | **%d/%d survived** | | **%d/%d** | **%d** | **%d/%d** | **%lld** | **%lld** "
        "| | **%d** | |\n",
        what, s.survived, s.waves, s.killed, s.came, s.groundkilled, s.razed, s.buildings,
        static_cast<long long>(s.earned), static_cast<long long>(s.spent), s.frames);
}

} // namespace

bool AUTO_WriteReport(const std::vector<AUTO_WAVE>& waves, const char* title, const std::string& md,
                      const std::string& png)
{
    bool ok = true;
    if (!png.empty()) ok = WritePlot(waves, title, png) && ok;
    if (md.empty()) return ok;
    FILE* f = fopen(md.c_str(), "w");
    if (!f) return false;
    fprintf(f, "## %s\n\n", title);
    fprintf(f,
            "| episode | wave | result | shield | enemies shot down / came | of them on the ground "
            "| buildings destroyed | money earned | spent before | money after | frames | bought "
            "before |\n");
    fprintf(f, "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    SUM episode{}, all{};
    for (size_t i = 0; i < waves.size(); i++) {
        const AUTO_WAVE& w = waves[i];
        fprintf(f, "| %d %s | %d | %s | %d | %d/%d | %d | %d/%d | %d | %d | %d | %d | %s |\n",
                w.game + 1, AUTO_DiffName(w.diff), w.wave + 1, w.survived ? "survived" : "**lost**",
                w.shield, w.killed, w.came, w.groundkilled, w.razed, w.buildings, w.earned, w.spent,
                w.money_end, w.frames, w.bought.empty() ? "" : w.bought.c_str());
        episode.Add(w);
        all.Add(w);
        const bool last =
            i + 1 == waves.size() || waves[i + 1].game != w.game || waves[i + 1].diff != w.diff;
        if (last) {
            char what[32];
            snprintf(what, sizeof(what), "episode %d", w.game + 1);
            SumRow(f, what, episode);
            episode = {};
        }
    }
    SumRow(f, "campaign", all);
    if (!png.empty()) {
        const size_t slash = png.find_last_of('/');
        fprintf(f, "\n![%s](%s)\n", title,
                png.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
    }
    ok = fclose(f) == 0 && ok;
    return ok;
}
