// The window items every screen opens, and their artwork: full-screen scenes for the main
// menu, hangar, ship's computer, loading screen and store, riveted panels for the dialogs,
// the small pictures the screens put into fields (switches, store buttons, markers).
//
// Buttons are drawn by the game itself (a box, a bevel for their state and the centred
// text in the medium font), so they stay readable and show focus the same way everywhere;
// the scenes only draw what lies around them.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "res/itemfmt.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

// ---- window items -------------------------------------------------------------------------

// Field types and picture kinds as the window reader numbers them.
enum { TEXT = 1, BUTTON, INPUT, MARK, BOX, DRAGBAR, SUNKEN, RAISED, PICTURE, VIEW, AREA };
enum { NOPIC = 0, TEXTURE, PIC, SEETHRU, GLASS = 4 };

struct WField {
    int opt = 0, id = 0, hotkey = 0, input_opt = 0;
    std::string item, font = "MEDIUM_FNT";
    int fontcolor = 0, maxchars = 0, picflag = NOPIC, color = 0, lite = 0;
    int saveflag = 0, bevel = 0, select = 0, x = 0, y = 0, lx = 0, ly = 0;
    std::string text;
};

struct WWin {
    int arrowkeys = 1, id = 0, type = 0;
    std::string pic;
    int picflag = NOPIC, firstfld = -1, color = 0, x = 0, y = 0, lx = 320, ly = 200, shadow = 0;
    std::vector<WField> f;
};

void PutName(Bytes& b, size_t at, const std::string& s)
{
    if (s.size() > 15) GEN_Fail("window label '%s' is longer than 15", s.c_str());
    for (size_t i = 0; i < s.size(); i++)
        b[at + i] = static_cast<uint8_t>(s[i]);
}

Bytes WindowBytes(const WWin& w)
{
    const size_t recs = 120 + 148 * w.f.size();
    size_t texts = 0;
    for (const WField& f : w.f)
        texts += size_t(f.maxchars);
    Bytes b(recs + texts, 0);
    auto put = [&b](size_t at, int32_t v) { ITEM_PutLong(b, at, v); };
    put(8, w.arrowkeys);
    put(24, w.id);
    put(28, w.type);
    PutName(b, 48, w.pic);
    put(64, -1);
    put(68, w.picflag);
    put(76, 120);
    put(84, w.firstfld);
    put(92, w.color);
    put(96, static_cast<int32_t>(w.f.size()));
    put(100, w.x);
    put(104, w.y);
    put(108, w.lx);
    put(112, w.ly);
    put(116, w.shadow);
    size_t text = recs;
    for (size_t i = 0; i < w.f.size(); i++) {
        const WField& f = w.f[i];
        const size_t r = 120 + 148 * i;
        if (f.opt == 0) continue;
        if (f.text.size() + 1 > size_t(std::max(f.maxchars, 1)) && !f.text.empty())
            GEN_Fail("window %d field %zu: text '%s' does not fit", w.id, i, f.text.c_str());
        put(r, f.opt);
        put(r + 4, f.id);
        put(r + 8, f.hotkey);
        put(r + 24, f.input_opt);
        PutName(b, r + 48, f.item);
        put(r + 64, -1);
        PutName(b, r + 68, f.font);
        put(r + 84, -1);
        put(r + 88, f.fontcolor);
        put(r + 92, f.maxchars);
        put(r + 96, f.picflag);
        put(r + 100, f.color);
        put(r + 104, f.lite);
        put(r + 112, f.saveflag);
        put(r + 116, f.bevel);
        put(r + 120, f.select);
        put(r + 124, f.x);
        put(r + 128, f.y);
        put(r + 132, f.lx);
        put(r + 136, f.ly);
        put(r + 140, static_cast<int32_t>(text - r));
        for (size_t k = 0; k < f.text.size(); k++)
            b[text + k] = static_cast<uint8_t>(f.text[k]);
        text += size_t(f.maxchars);
    }
    return b;
}

// Field makers in the house look.
uint8_t Ink()
{
    return P().c("grey", 14);
}

WField Button(int id, int x, int y, int lx, int ly, const std::string& text, int hotkey = 0)
{
    WField f;
    f.opt = BUTTON;
    f.id = id;
    f.hotkey = hotkey;
    f.fontcolor = Ink();
    f.maxchars = std::max<int>(static_cast<int>(text.size()) + 1, 12);
    f.color = P().c("steel", 6);
    f.select = 1;
    f.bevel = 1;
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = ly;
    f.text = text;
    return f;
}

WField Label(int x, int y, int lx, const std::string& text, int maxchars, uint8_t colour)
{
    WField f;
    f.opt = TEXT;
    f.fontcolor = colour;
    f.maxchars = std::max<int>(maxchars, static_cast<int>(text.size()) + 1);
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = 9;
    f.text = text;
    return f;
}

WField Holder(int opt, int x, int y, int lx, int ly, const std::string& item = "")
{
    WField f;
    f.opt = opt;
    f.picflag = PIC;
    f.item = item;
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = ly;
    return f;
}

WField Area(int id, int x, int y, int lx, int ly, int select = 0)
{
    WField f;
    f.opt = AREA;
    f.id = id;
    f.select = select;
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = ly;
    return f;
}

WField Entry(int id, int x, int y, int lx, int maxchars, int input_opt)
{
    WField f;
    f.opt = INPUT;
    f.id = id;
    f.input_opt = input_opt;
    f.fontcolor = P().c("gold", 4);
    f.maxchars = maxchars;
    f.color = P().c("steel", 1);
    f.lite = P().c("water", 4);
    f.select = 1;
    f.bevel = 1;
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = 13;
    return f;
}

WField Frame(int x, int y, int lx, int ly)
{
    WField f;
    f.opt = SUNKEN;
    f.x = x;
    f.y = y;
    f.lx = lx;
    f.ly = ly;
    return f;
}

// A title bar across the top of a dialog.
WField Title(int lx, const std::string& text)
{
    WField f;
    f.opt = DRAGBAR;
    f.fontcolor = P().c("gold", 4);
    f.maxchars = static_cast<int>(text.size()) + 1;
    f.color = P().c("water", 4);
    f.x = 4;
    f.y = 4;
    f.lx = lx - 8;
    f.ly = 13;
    f.text = text;
    return f;
}

// A dialog of the riveted panel texture, centred, with a drop shadow.
WWin Dialog(int id, int lx, int ly)
{
    WWin w;
    w.id = id;
    w.pic = "PANEL_TEX";
    w.picflag = TEXTURE;
    w.lx = lx;
    w.ly = ly;
    w.x = (320 - lx) / 2;
    w.y = (200 - ly) / 2;
    w.shadow = 1;
    return w;
}

void Set(WWin& w, size_t index, const WField& f)
{
    if (w.f.size() <= index) w.f.resize(index + 1);
    w.f[index] = f;
}

// Scan codes of the hot keys.
enum {
    K_1 = 2,
    K_Q = 16,
    K_W,
    K_E,
    K_R,
    K_T,
    K_Y,
    K_U,
    K_I,
    K_O,
    K_P,
    K_A = 30,
    K_S,
    K_D,
    K_F,
    K_G,
    K_H,
    K_J,
    K_K,
    K_L,
    K_Z = 44,
    K_X,
    K_C,
    K_V,
    K_B,
    K_N,
    K_M
};

Bytes MainMenu()
{
    WWin w;
    w.id = 65586;
    w.pic = "MENU_PIC";
    w.picflag = PIC;
    w.firstfld = 1;
    Set(w, 0, Frame(96, 60, 128, 136));
    const char* names[6] = {"NEW PILOT", "LOAD PILOT", "OPTIONS", "GAME HELP", "CREDITS", "EXIT"};
    const int keys[6] = {K_N, K_L, K_O, K_H, K_C, K_E};
    for (int i = 0; i < 6; i++)
        Set(w, size_t(i) + 1, Button(i + 1, 102, 66 + i * 18, 116, 15, names[i], keys[i]));
    WField ret = Holder(BUTTON, 100, 175, 120, 18);
    ret.id = 7;
    ret.hotkey = K_R;
    Set(w, 7, ret);
    const std::string idle = "NO MISSION UNDER WAY";
    WField note = Label(0, 180, 120, idle, 24, P().c("steel", 9));
    note.x = 160 - FONT_Width(FONT_Get("medium"), idle) / 2;
    Set(w, 8, note);
    return WindowBytes(w);
}

Bytes NewPilot()
{
    WWin w = Dialog(65591, 240, 136);
    w.arrowkeys = 0;
    w.firstfld = 1;
    WField portrait = Holder(PICTURE, 14, 26, 64, 72);
    portrait.bevel = 1;
    Set(w, 0, portrait);
    Set(w, 1, Entry(1, 90, 40, 136, 20, 0));
    Set(w, 2, Entry(2, 90, 72, 136, 12, 1));
    WField hint = Label(14, 120, 200, " ", 24, P().c("gold", 3));
    Set(w, 3, hint);
    Set(w, 4, Area(4, 176, 100, 52, 16));
    Set(w, 5, Area(5, 12, 24, 68, 76));
    Set(w, 6, Area(6, 88, 28, 140, 60));
    Set(w, 7, Title(240, "NEW PILOT"));
    Set(w, 8, Label(90, 30, 80, "NAME", 8, Ink()));
    Set(w, 9, Label(90, 62, 80, "CALL SIGN", 12, Ink()));
    WField exit = Button(9, 176, 100, 52, 16, "EXIT");
    exit.opt = RAISED; // the exit plate: the pointer area above makes it work
    exit.select = 0;
    exit.maxchars = 0;
    exit.text.clear();
    Set(w, 10, exit);
    Set(w, 11, Label(190, 104, 40, "EXIT", 6, Ink()));
    return WindowBytes(w);
}

Bytes Hangar()
{
    WWin w;
    w.id = 65588;
    w.pic = "HANGAR_PIC";
    w.picflag = PIC;
    w.arrowkeys = 0;
    w.firstfld = 3;
    Set(w, 0, Holder(PICTURE, 128, 4, 64, 32));
    WField label = Label(0, 186, 120, " ", 16, P().c("gold", 4));
    label.x = 118;
    Set(w, 1, label);
    Set(w, 2, Area(2, 104, 40, 112, 110, 1)); // the ship on the runway door
    Set(w, 3, Area(3, 10, 60, 66, 100, 1));   // the supply room door
    Set(w, 4, Area(4, 244, 60, 66, 100, 1));  // the way out
    Set(w, 5, Area(5, 230, 160, 74, 24, 1));  // the records terminal
    return WindowBytes(w);
}

Bytes Computer()
{
    WWin w;
    w.id = 65587;
    w.pic = "COMPUTER_PIC";
    w.picflag = PIC;
    w.firstfld = 11;
    for (int i = 0; i < 3; i++)
        Set(w, size_t(i), Holder(PICTURE, 40 + i * 36, 138, 16, 24));
    Set(w, 3, Button(8, 200, 176, 50, 15, "BACK", K_B));
    Set(w, 4, Button(1, 196, 30, 100, 15, "BRAVO", K_1));
    Set(w, 5, Button(2, 196, 50, 100, 15, "TANGO", K_1 + 1));
    Set(w, 6, Button(4, 24, 176, 116, 15, "ARM SWITCHES", K_A));
    for (int i = 0; i < 3; i++) {
        WField sw = Button(5 + i, 36 + i * 36, 134, 24, 32, "");
        sw.picflag = GLASS;
        sw.maxchars = 0;
        sw.bevel = 0;
        sw.saveflag = 1;
        Set(w, size_t(7 + i), sw);
    }
    Set(w, 10, Button(3, 196, 70, 100, 15, "OUTER", K_1 + 2));
    WField go = Button(0, 258, 168, 52, 23, "LAUNCH", K_L);
    go.color = P().c("rust", 7);
    Set(w, 11, go);
    return WindowBytes(w);
}

Bytes Loading()
{
    WWin w;
    w.id = 65600;
    w.pic = "LOADING_PIC";
    w.picflag = PIC;
    w.firstfld = -1;
    Set(w, 9, Label(138, 134, 150, "BRAVO SECTOR", 16, P().c("gold", 4)));
    Set(w, 10, Label(138, 148, 150, "WAVE 1", 16, P().c("gold", 4)));
    WField bar = Frame(60, 170, 200, 10);
    Set(w, 11, bar);
    return WindowBytes(w);
}

Bytes Options()
{
    WWin w = Dialog(65599, 220, 120);
    w.arrowkeys = 1;
    w.firstfld = 6;
    Set(w, 0, Title(220, "OPTIONS"));
    Set(w, 1, Label(24, 28, 60, "DETAIL", 8, Ink()));
    Set(w, 2, Label(24, 52, 60, "MUSIC", 8, Ink()));
    for (int i = 0; i < 3; i++)
        Set(w, size_t(3 + i), Holder(PICTURE, 10, 28 + i * 24, 8, 8));
    Set(w, 6, Button(6, 80, 25, 100, 15, "HIGH DETAIL", K_D));
    Set(w, 7, Button(7, 80, 98, 60, 15, "DONE", K_Q));
    Set(w, 8, Label(24, 76, 60, "EFFECTS", 8, Ink()));
    Set(w, 9, Frame(78, 50, 132, 10));
    Set(w, 10, Frame(78, 74, 132, 10));
    WField music = Holder(VIEW, 80, 51, 128, 8);
    music.picflag = NOPIC;
    Set(w, 11, music);
    WField fx = music;
    fx.y = 75;
    fx.opt = AREA;
    Set(w, 12, fx);
    return WindowBytes(w);
}

Bytes Ask()
{
    WWin w = Dialog(65589, 260, 70);
    w.firstfld = 6;
    Set(w, 0, Title(260, "QUESTION"));
    Set(w, 4, Frame(8, 20, 244, 17));
    Set(w, 5, Label(12, 24, 236, "EXIT TO DOS", 44, Ink()));
    Set(w, 6, Button(6, 60, 46, 60, 15, "YES", K_Y));
    Set(w, 7, Button(7, 140, 46, 60, 15, "NO", K_N));
    return WindowBytes(w);
}

Bytes Difficulty()
{
    WWin w = Dialog(65597, 160, 138);
    w.firstfld = 8;
    Set(w, 0, Title(160, "DIFFICULTY"));
    const char* names[5] = {"TRAINING", "EASY", "MEDIUM", "HARD", "CANCEL"};
    const int keys[5] = {K_T, K_E, K_M, K_H, K_C};
    for (int i = 0; i < 5; i++) {
        WField b =
            Button((i + 3) % 5, 30, 24 + i * 21 + (i == 4 ? 4 : 0), 100, 15, names[i], keys[i]);
        if (i == 4) b.color = P().c("rust", 6);
        Set(w, size_t(6 + i), b);
    }
    return WindowBytes(w);
}

Bytes Message()
{
    WWin w = Dialog(65594, 260, 34);
    Set(w, 4, Frame(6, 6, 248, 22));
    WField m = Label(12, 12, 236, "GAME PAUSED", 40, P().c("gold", 4));
    Set(w, 5, m);
    return WindowBytes(w);
}

Bytes Help()
{
    WWin w;
    w.id = 65592;
    w.pic = "PANEL_TEX";
    w.picflag = TEXTURE;
    w.firstfld = 7;
    Set(w, 0, Title(320, "GAME HELP"));
    Set(w, 1, Frame(6, 20, 308, 154));
    Set(w, 5, Button(1, 150, 179, 50, 15, "PREV", K_P));
    Set(w, 6, Button(2, 206, 179, 50, 15, "NEXT", K_N));
    Set(w, 7, Button(0, 262, 179, 50, 15, "DONE", K_D));
    WField page = Holder(TEXT, 12, 26, 296, 147);
    page.fontcolor = Ink();
    page.font = "MEDIUM_FNT";
    Set(w, 8, page);
    Set(w, 9, Label(12, 182, 100, "PAGE : 01", 12, P().c("gold", 4)));
    return WindowBytes(w);
}

Bytes Credits()
{
    WWin w;
    w.id = 65596;
    w.pic = "WCREDITS_PIC";
    w.picflag = PIC;
    return WindowBytes(w);
}

Bytes Victory()
{
    WWin w = Dialog(65598, 184, 118);
    Set(w, 0, Title(184, "VICTORY"));
    Set(w, 1, Frame(10, 22, 164, 84));
    Set(w, 2, Holder(PICTURE, 12, 24, 160, 80));
    return WindowBytes(w);
}

Bytes LoadPilot()
{
    WWin w = Dialog(65593, 250, 150);
    w.firstfld = 5;
    Set(w, 0, Title(250, "LOAD PILOT"));
    WField portrait = Holder(PICTURE, 14, 26, 64, 72);
    portrait.bevel = 1;
    Set(w, 1, portrait);
    Set(w, 2, Button(4, 50, 106, 40, 15, "NEXT", K_N));
    Set(w, 3, Button(3, 6, 106, 40, 15, "PREV", K_P));
    Set(w, 4, Button(1, 100, 128, 60, 15, "DELETE", K_D));
    Set(w, 5, Button(0, 10, 128, 80, 15, "LOAD", K_L));
    Set(w, 6, Button(2, 170, 128, 70, 15, "BACK", K_B));
    Set(w, 7, Label(92, 28, 80, "NAME", 8, Ink()));
    Set(w, 8, Label(92, 56, 80, "CALL SIGN", 12, Ink()));
    Set(w, 9, Label(96, 40, 148, "", 20, P().c("gold", 4)));
    Set(w, 10, Label(96, 68, 148, "", 12, P().c("gold", 4)));
    Set(w, 11, Label(92, 84, 80, "SCORE", 8, Ink()));
    Set(w, 12, Label(96, 96, 148, "", 12, P().c("gold", 4)));
    return WindowBytes(w);
}

Bytes Store()
{
    WWin w;
    w.id = 65585;
    w.pic = "STORE_PIC";
    w.picflag = PIC;
    w.firstfld = 5;
    WField portrait = Holder(PICTURE, 10, 10, 64, 72);
    portrait.bevel = 1;
    Set(w, 0, portrait);
    Set(w, 1, Label(12, 88, 64, "", 12, P().c("gold", 4)));
    WField prev = Holder(BUTTON, 112, 86, 24, 16, "STORE_PREV");
    prev.id = 2;
    prev.select = 1;
    Set(w, 2, prev);
    WField next = Holder(BUTTON, 184, 86, 24, 16, "STORE_NEXT");
    next.id = 3;
    next.select = 1;
    Set(w, 3, next);
    for (int i = 0; i < 3; i++) {
        WField b = Holder(BUTTON, 64 + i * 72, 150, 48, 18);
        b.id = (i + 4) % 5; // from the deal button: sell mode, the arrows, buy mode
        b.select = 1;
        Set(w, size_t(4 + i), b);
    }
    Set(w, 7, Holder(PICTURE, 112, 16, 96, 64));
    Set(w, 8, Label(98, 182, 124, " ", 20, P().c("gold", 4)));
    Set(w, 9, Label(168, 108, 40, "", 8, P().c("gold", 4)));
    Set(w, 10, Label(238, 22, 74, "", 11, P().c("gold", 4)));
    Set(w, 11, Label(112, 120, 56, "OWNED", 8, Ink()));
    Set(w, 12, Label(112, 108, 56, "COST", 8, Ink()));
    Set(w, 13, Label(168, 120, 40, "", 4, P().c("gold", 4)));
    Set(w, 14, Area(14, 64, 150, 48, 18));
    Set(w, 15, Area(15, 112, 86, 24, 16));
    Set(w, 16, Area(16, 184, 86, 24, 16));
    Set(w, 17, Area(17, 112, 16, 96, 64));
    Set(w, 18, Area(18, 136, 150, 48, 18));
    Set(w, 19, Area(19, 208, 150, 48, 18));
    Set(w, 20, Area(20, 284, 56, 32, 92));
    return WindowBytes(w);
}

} // namespace

Bytes WINDOW_Item(int id)
{
    switch (id) {
    case ITM_WIN_STORE:
        return Store();
    case ITM_WIN_MAINMENU:
        return MainMenu();
    case ITM_WIN_COMPUTER:
        return Computer();
    case ITM_WIN_HANGAR:
        return Hangar();
    case ITM_WIN_ASK:
        return Ask();
    case ITM_WIN_NEWPILOT:
        return NewPilot();
    case ITM_WIN_HELP:
        return Help();
    case ITM_WIN_LOADPILOT:
        return LoadPilot();
    case ITM_WIN_MESSAGE:
        return Message();
    case ITM_WIN_CREDITS:
        return Credits();
    case ITM_WIN_DIFFICULTY:
        return Difficulty();
    case ITM_WIN_VICTORY:
        return Victory();
    case ITM_WIN_OPTIONS:
        return Options();
    case ITM_WIN_LOADING:
        return Loading();
    default:
        GEN_Fail("no window item for id %d", id);
    }
}

// ---- artwork ------------------------------------------------------------------------------

namespace
{

// A vertical run of a ramp from level l0 at the top to l1 at the bottom, dithered.
void VGrad(Image& img, int x, int y, int w, int h, const char* ramp, double l0, double l1,
           int seed = 1)
{
    for (int j = 0; j < h; j++) {
        double l = l0 + (l1 - l0) * j / std::max(1, h - 1);
        for (int i = 0; i < w; i++) {
            double d = (GEN_Hash(x + i, y + j, seed) & 255) / 256.0;
            img.set(x + i, y + j, P().c(ramp, static_cast<int>(l + d)));
        }
    }
}

// A rectangle of one ramp with bevelled edges: the inside at `level` (a pixel in sixteen
// one step lighter when `flecked`), the top and left edges `top` steps from it, the bottom
// and right edges `bottom` steps from it.
void Bevel(Image& img, int x, int y, int w, int h, const char* ramp, int level, int top, int bottom,
           bool flecked)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int l = level + (flecked && (GEN_Hash(x + i, y + j, 7) & 15) == 0 ? 1 : 0);
            if (i == 0 || j == 0) l = level + top;
            if (i == w - 1 || j == h - 1) l = level + bottom;
            img.set(x + i, y + j, P().c(ramp, l));
        }
}

// A raised metal plate with a light top-left edge, a dark bottom-right edge and rivets.
void Plate(Image& img, int x, int y, int w, int h, const char* ramp, int level, bool rivets = true)
{
    Bevel(img, x, y, w, h, ramp, level, 4, -3, true);
    if (!rivets || w < 16 || h < 16) return;
    for (int cy : {y + 4, y + h - 5})
        for (int cx : {x + 4, x + w - 5}) {
            img.set(cx, cy, P().c(ramp, level + 5));
            img.set(cx + 1, cy + 1, P().c(ramp, level - 3));
        }
}

// A sunken well: dark inside with a dark top-left and light bottom-right edge.
void Well(Image& img, int x, int y, int w, int h, const char* ramp, int level)
{
    Bevel(img, x, y, w, h, ramp, level, -2, 3, false);
}

void Text(Image& img, const char* font, int x, int y, const std::string& s, uint8_t c,
          bool shadow = true)
{
    const Font& f = FONT_Get(font);
    if (shadow) FONT_Print(img, f, x + 1, y + 1, s, P().c("grey", 1));
    FONT_Print(img, f, x, y, s, c);
}

void CText(Image& img, const char* font, int cx, int y, const std::string& s, uint8_t c,
           bool shadow = true)
{
    Text(img, font, cx - FONT_Width(FONT_Get(font), s) / 2, y, s, c, shadow);
}

void Stars(Image& img, int h, int seed)
{
    for (int y = 0; y < h; y++)
        for (int x = 0; x < img.w; x++) {
            uint32_t r = GEN_Hash(x, y, seed);
            if (r % 173 == 0) img.set(x, y, P().c("grey", 8 + static_cast<int>(r >> 9) % 7));
        }
}

// Hills: everything below a fractal ridge line around `base` in one colour.
void Ridge(Image& img, int base, int amp, uint8_t c, int seed)
{
    for (int x = 0; x < img.w; x++) {
        int top = base - static_cast<int>(amp * GEN_Fractal(x, 0, 320, seed, 4));
        for (int y = std::max(top, 0); y < img.h; y++)
            img.set(x, y, c);
    }
}

// Diagonal warning stripes in a rectangle.
void Hazard(Image& img, int x, int y, int w, int h)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            img.set(x + i, y + j, ((x + i + y + j) / 4) % 2 ? P().c("gold", 3) : P().c("grey", 2));
}

Image Menu()
{
    Image img(320, 200);
    VGrad(img, 0, 0, 320, 150, "violet", 0, 6);
    Stars(img, 120, 11);
    IMG_Disc(img, 262, 38, 13, P().c("ice", 12));
    IMG_Disc(img, 258, 35, 3, P().c("ice", 9));
    IMG_Disc(img, 266, 44, 2, P().c("ice", 9));
    Ridge(img, 150, 40, P().c("violet", 3), 31);
    Ridge(img, 168, 30, P().c("violet", 2), 32);
    VGrad(img, 0, 182, 320, 18, "steel", 1, 0);
    // City lights along the far shore.
    for (int x = 0; x < 320; x++)
        if (GEN_Hash(x, 1, 77) % 9 == 0) img.set(x, 175 + GEN_Hash(x, 2, 77) % 5, 254);
    // A fighter climbing past on either side.
    IMG_Blit(img, SHIP_Large(64, -25, 20), 14, 80);
    IMG_Blit(img, SHIP_Large(40, 20, -15), 256, 110);
    // The title.
    const Font& big = FONT_Get("large");
    int tw = FONT_Width(big, "VULTAR");
    FONT_Print(img, big, 160 - tw / 2 + 2, 12, "VULTAR", P().c("grey", 1));
    FONT_Print(img, big, 160 - tw / 2, 10, "VULTAR", P().c("gold", 0));
    CText(img, "small", 160, 34, "STRIKE FORCE OF THE OUTER REGIONS", P().c("ice", 10));
    // The console behind the buttons.
    Plate(img, 92, 54, 136, 144, "steel", 4);
    CText(img, "small", 160, 46, "MAIN MENU", P().c("gold", 4));
    return img;
}

Image Door(int w, int h, const char* ramp)
{
    Image d(w, h);
    Plate(d, 0, 0, w, h, ramp, 6);
    for (int y = 6; y < h - 6; y += 12)
        for (int x = 3; x < w - 3; x++)
            d.set(x, y, P().c(ramp, 3));
    Well(d, w / 2 - 10, 10, 20, 14, "water", 3);
    return d;
}

Image Sign(int w, int h, const std::string& s, bool lit)
{
    Image img(w, h);
    Plate(img, 0, 0, w, h, "steel", 2, false);
    Well(img, 2, 2, w - 4, h - 4, lit ? "fire" : "steel", lit ? 2 : 1);
    const Font& f = FONT_Get("medium");
    int x = w / 2 - FONT_Width(f, s) / 2, y = (h - 9) / 2;
    if (lit) {
        // Neon tubes: a soft glow around bright letters.
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if (dx || dy) FONT_Print(img, f, x + dx, y + dy, s, P().c("fire", 5));
        FONT_Print(img, f, x, y, s, P().c("fire", 14));
    } else {
        FONT_Print(img, f, x, y, s, P().c("rust", 4));
    }
    return img;
}

Image HangarScene()
{
    Image img(320, 200);
    // Back wall of steel panels.
    VGrad(img, 0, 0, 320, 150, "steel", 2, 5, 21);
    for (int x = 0; x < 320; x += 32)
        for (int y = 0; y < 150; y++) {
            img.set(x, y, P().c("steel", 1));
            img.set(x + 1, y, P().c("steel", 7));
        }
    // Roof trusses.
    for (int x = 0; x < 320; x += 4) {
        img.set(x, 40 - (x / 4) % 10, P().c("steel", 1));
        img.set(x, 30 + (x / 4) % 10, P().c("steel", 1));
    }
    IMG_Rect(img, 0, 40, 320, 2, P().c("steel", 1));
    // The open runway door: night sky, runway lights running off into the distance.
    Hazard(img, 98, 36, 124, 116);
    VGrad(img, 104, 42, 112, 106, "water", 1, 6, 22);
    for (int y = 42; y < 118; y++)
        for (int x = 104; x < 216; x++)
            if (GEN_Hash(x, y, 23) % 97 == 0) img.set(x, y, P().c("grey", 9 + (x + y) % 5));
    IMG_Rect(img, 104, 120, 112, 28, P().c("grey", 3));
    for (int k = 0; k < 6; k++) {
        int y = 122 + k * 4 + k * k / 3;
        img.set(160 - 4 - k * 5, y, 251);
        img.set(160 + 4 + k * 5, y, 251);
    }
    // Floor with guide lines toward the door.
    VGrad(img, 0, 150, 320, 50, "steel", 3, 1, 24);
    for (int k = -5; k <= 5; k++)
        IMG_Line(img, 160 + k * 14, 150, 160 + k * 60, 199, P().c("steel", 5));
    IMG_Line(img, 160, 150, 160, 199, P().c("gold", 3));
    // The ship on its pad.
    IMG_Disc(img, 160, 104, 30, P().c("steel", 2));
    IMG_Blit(img, SHIP_Large(72, 0, 0), 124, 68);
    // Supply room door with its sign; the exit door; the records terminal.
    IMG_Blit(img, Sign(66, 14, "SUPPLY", true), 10, 44);
    IMG_Blit(img, Door(66, 100, "rust"), 10, 60);
    IMG_Blit(img, Sign(66, 14, "EXIT", false), 244, 44);
    for (int j = 3; j < 11; j++)
        for (int i = 3; i < 63; i++)
            if (img.at(244 + i, 44 + j) == P().c("rust", 4)) img.set(244 + i, 44 + j, 253);
    IMG_Blit(img, Door(66, 100, "olive"), 244, 60);
    Plate(img, 230, 160, 74, 24, "steel", 5);
    Well(img, 236, 164, 40, 16, "toxic", 2);
    Text(img, "small", 240, 169, "SAVE", P().c("toxic", 12), false);
    for (int k = 0; k < 3; k++)
        img.set(284 + k * 5, 170, k == 1 ? 252 : 253);
    // The unlit sign the flicker lights up, and the plate for the label.
    IMG_Blit(img, Sign(64, 32, "HANGAR", false), 128, 4);
    Well(img, 110, 182, 100, 15, "steel", 1);
    return img;
}

Image ComputerArt()
{
    Image img(320, 200);
    Plate(img, 0, 0, 320, 200, "steel", 4);
    // The screen: a sector map on a green grid.
    Well(img, 8, 8, 180, 112, "toxic", 1);
    for (int y = 10; y < 118; y++)
        for (int x = 10; x < 186; x++) {
            if ((x - 10) % 16 == 0 || (y - 10) % 16 == 0) img.set(x, y, P().c("toxic", 4));
            if (y % 2 == 0 && img.at(x, y) == P().c("toxic", 1)) img.set(x, y, P().c("toxic", 0));
        }
    Text(img, "medium", 16, 14, "SHIP'S COMPUTER", P().c("toxic", 13), false);
    const int sx[3] = {50, 98, 150}, sy[3] = {92, 56, 84};
    const char* names[3] = {"BRAVO", "TANGO", "OUTER"};
    for (int i = 0; i < 3; i++) {
        IMG_Disc(img, sx[i], sy[i], 6, P().c("toxic", 6));
        IMG_Disc(img, sx[i], sy[i], 3, 253);
        CText(img, "small", sx[i], sy[i] + 9, names[i], P().c("toxic", 12), false);
    }
    IMG_Line(img, sx[0], sy[0], sx[1], sy[1], P().c("toxic", 8));
    IMG_Line(img, sx[1], sy[1], sx[2], sy[2], P().c("toxic", 8));
    // The sector buttons' panel.
    Plate(img, 190, 8, 122, 112, "steel", 3);
    CText(img, "small", 251, 16, "SECTORS", P().c("gold", 4));
    Text(img, "small", 198, 96, "CHOOSE A SECTOR", P().c("steel", 12), false);
    Text(img, "small", 198, 104, "OR LAUNCH AT ONCE", P().c("steel", 12), false);
    // Switch plate: three slots with their numbers.
    Plate(img, 8, 124, 180, 70, "steel", 3);
    Text(img, "small", 16, 127, "ARMED DIFFICULTY", P().c("gold", 4));
    for (int i = 0; i < 3; i++) {
        Well(img, 36 + i * 36, 134, 24, 32, "steel", 1);
        CText(img, "small", 48 + i * 36, 167, std::string(1, static_cast<char>('1' + i)),
              P().c("steel", 13));
    }
    IMG_Disc(img, 156, 150, 8, P().c("fire", 3));
    IMG_Disc(img, 156, 150, 5, 252);
    // Launch corner.
    Plate(img, 192, 124, 120, 70, "steel", 3);
    Hazard(img, 254, 164, 60, 31);
    Text(img, "small", 200, 130, "WAVE LAUNCH", P().c("gold", 4));
    return img;
}

Image LoadingArt()
{
    Image img(320, 200);
    VGrad(img, 0, 0, 320, 200, "water", 0, 5, 41);
    Stars(img, 100, 42);
    Ridge(img, 120, 24, P().c("water", 2), 43);
    IMG_Blit(img, SHIP_Large(96, 0, 0), 112, 20);
    const Font& big = FONT_Get("large");
    int tw = FONT_Width(big, "STAND BY");
    FONT_Print(img, big, 160 - tw / 2 + 2, 102, "STAND BY", P().c("grey", 1));
    FONT_Print(img, big, 160 - tw / 2, 100, "STAND BY", P().c("gold", 0));
    Plate(img, 56, 128, 208, 56, "steel", 3);
    Text(img, "medium", 70, 134, "SECTOR", P().c("steel", 13));
    Text(img, "medium", 70, 148, "MISSION", P().c("steel", 13));
    CText(img, "small", 160, 188, "LOADING THE BATTLEFIELD", P().c("ice", 10));
    return img;
}

Image Shopkeeper()
{
    Image k(64, 100);
    // Body, arms on the counter, head with a cap and a moustache.
    for (int y = 30; y < 100; y++)
        for (int x = 8; x < 56; x++) {
            int dx = std::abs(x - 32);
            if (dx < 16 + (y - 30) / 6) k.set(x, y, P().c("olive", 5 + (x < 32 ? 2 : 0)));
        }
    for (int y = 30; y < 60; y++)
        k.set(32, y, P().c("olive", 3));
    // Arms resting on the counter, an apron and a bow tie.
    for (int t = -2; t <= 2; t++) {
        IMG_Line(k, 14 + t, 36, 8 + t, 88, P().c("olive", 4));
        IMG_Line(k, 50 + t, 36, 56 + t, 88, P().c("olive", 3));
    }
    IMG_Disc(k, 8, 90, 4, P().c("skin", 9));
    IMG_Disc(k, 56, 90, 4, P().c("skin", 8));
    IMG_Rect(k, 22, 56, 20, 44, P().c("grey", 12));
    IMG_Rect(k, 22, 56, 20, 2, P().c("grey", 9));
    IMG_Rect(k, 28, 31, 8, 4, P().c("fire", 6));
    IMG_Rect(k, 28, 22, 8, 10, P().c("skin", 7));
    IMG_Disc(k, 32, 16, 11, P().c("skin", 9));
    IMG_Disc(k, 29, 13, 7, P().c("skin", 11));
    IMG_Rect(k, 20, 4, 24, 6, P().c("rust", 6));
    IMG_Rect(k, 16, 9, 32, 3, P().c("rust", 4));
    k.set(28, 15, P().c("grey", 1));
    k.set(36, 15, P().c("grey", 1));
    IMG_Rect(k, 26, 20, 12, 3, P().c("earth", 3));
    IMG_Outline(k, P().c("grey", 1));
    return k;
}

Image StoreScene()
{
    Image img(320, 200);
    VGrad(img, 0, 0, 320, 140, "earth", 3, 6, 51);
    // Shelves with crates and canisters behind the counter.
    for (int s = 0; s < 3; s++) {
        int y = 36 + s * 34;
        IMG_Rect(img, 0, y, 104, 4, P().c("sand", 7));
        IMG_Rect(img, 212, y, 72, 4, P().c("sand", 7));
        for (int k = 0; k < 8; k++) {
            int x = 4 + k * 12 + (s * 5) % 7;
            uint32_t r = GEN_Hash(k, s, 52);
            int h = 10 + r % 12;
            if (x > 92) continue;
            Plate(img, x, y - h, 10, h, r % 2 ? "olive" : "steel", 6, false);
        }
        for (int k = 0; k < 5; k++) {
            int x = 216 + k * 13;
            int h = 8 + GEN_Hash(k, s, 53) % 10;
            Plate(img, x, y - h, 11, h, "rust", 7, false);
        }
    }
    // The keeper behind the counter, the exit door beside him.
    IMG_Blit(img, Shopkeeper(), 220, 46);
    IMG_Blit(img, Door(32, 92, "olive"), 284, 56);
    Well(img, 284, 44, 32, 10, "steel", 1);
    CText(img, "small", 300, 46, "EXIT", 253, false);
    // The display and its panel.
    Plate(img, 104, 8, 112, 124, "steel", 4);
    Well(img, 110, 14, 100, 68, "water", 1);
    Well(img, 108, 104, 104, 26, "steel", 1);
    // Portrait frame, score plate.
    Plate(img, 4, 4, 76, 100, "steel", 4);
    Plate(img, 232, 4, 84, 32, "steel", 4);
    Text(img, "small", 238, 10, "SCORE", P().c("steel", 12), false);
    // The counter.
    VGrad(img, 0, 140, 320, 60, "sand", 8, 4, 54);
    for (int x = 0; x < 320; x++) {
        img.set(x, 140, P().c("sand", 13));
        img.set(x, 141, P().c("sand", 11));
        for (int y = 146; y < 200; y += 9)
            if ((GEN_Hash(x / 40, y, 55) & 1) == 0) img.set(x, y, P().c("sand", 3));
    }
    Well(img, 58, 146, 204, 26, "earth", 2);
    Well(img, 96, 178, 128, 18, "steel", 1);
    return img;
}

Image CreditsPage()
{
    Image img(320, 200);
    VGrad(img, 0, 0, 320, 200, "violet", 0, 3, 61);
    Stars(img, 200, 62);
    const Font& big = FONT_Get("large");
    int tw = FONT_Width(big, "VULTAR");
    FONT_Print(img, big, 160 - tw / 2, 8, "VULTAR", P().c("gold", 0));
    const char* lines[][2] = {
        {"PROGRAMMING", "THE VULTAR DEVELOPERS"},
        {"ARTWORK", "DRAWN BY THE DATA GENERATOR"},
        {"MUSIC AND SOUND", "COMPOSED FOR THIS GAME"},
        {"TESTING", "EVERY PILOT WHO FLEW"},
    };
    int y = 40;
    for (auto& l : lines) {
        CText(img, "small", 160, y, l[0], P().c("ice", 9));
        CText(img, "medium", 160, y + 9, l[1], P().c("grey", 14));
        y += 30;
    }
    CText(img, "medium", 160, 180, "THANK YOU FOR PLAYING", P().c("gold", 4));
    return img;
}

Image Arrow(bool right)
{
    Image img(24, 16);
    Plate(img, 0, 0, 24, 16, "steel", 6, false);
    for (int j = 0; j < 9; j++) {
        int half = j < 5 ? j : 8 - j;
        for (int i = 0; i <= half; i++) {
            int x = right ? 9 + i : 14 - i;
            img.set(x, 4 + j, P().c("gold", i == half ? 2 : 4));
        }
    }
    return img;
}

Image Switch(bool on)
{
    Image img(16, 24);
    Plate(img, 0, 0, 16, 24, "steel", 5, false);
    IMG_Disc(img, 8, 12, 4, P().c("steel", 1));
    // The lever toward the top when on, toward the bottom when off.
    int tip = on ? 3 : 20;
    IMG_Line(img, 7, 12, 7, tip, P().c("steel", 12));
    IMG_Line(img, 8, 12, 8, tip, P().c("steel", 9));
    IMG_Disc(img, 7.5, tip, 2, P().c("steel", 13));
    img.set(13, on ? 3 : 20, on ? 253 : 252);
    img.set(13, on ? 4 : 21, on ? 253 : 252);
    return img;
}

Image StoreButton(int which)
{
    static const char* text[6] = {"BUY", "BUY", "SELL", "SELL", "BUY IT", "SELL IT"};
    const bool lit = which == 0 || which == 2 || which >= 4;
    const char* ramp = which >= 4 ? "rust" : lit ? "olive" : "steel";
    Image img(48, 18);
    Plate(img, 0, 0, 48, 18, ramp, lit ? 7 : 4, false);
    CText(img, "medium", 24, 5, text[which], lit ? P().c("gold", 4) : P().c("steel", 9));
    if (lit && which < 4) {
        img.set(4, 8, 253);
        img.set(4, 9, 253);
    }
    return img;
}

Image ReturnButton()
{
    Image img(120, 18);
    Plate(img, 0, 0, 120, 18, "olive", 7, false);
    CText(img, "medium", 60, 5, "RETURN TO GAME", P().c("gold", 4));
    return img;
}

Image RowMarker()
{
    Image img(8, 8);
    for (int j = 0; j < 7; j++) {
        int half = j < 4 ? j : 6 - j;
        for (int i = 0; i <= half; i++)
            img.set(1 + i, j, P().c("gold", i == half ? 2 : 4));
    }
    return img;
}

Image Knob()
{
    Image img(5, 9);
    IMG_Rect(img, 0, 0, 5, 9, P().c("steel", 4));
    IMG_Rect(img, 0, 0, 4, 8, P().c("steel", 13));
    IMG_Rect(img, 1, 1, 3, 7, P().c("steel", 9));
    return img;
}

Image Portrait(int who)
{
    // Head and shoulders in a flight suit and helmet; each pilot with their own colours.
    static const char* helmets[4] = {"steel", "rust", "olive", "water"};
    static const int skins[4] = {9, 6, 11, 8};
    Image img(64, 72);
    VGrad(img, 0, 0, 64, 72, who % 2 ? "violet" : "water", 3, 7, 70 + who);
    const char* helmet = helmets[who % 4];
    const int skin = skins[who % 4];
    // Shoulders and collar.
    for (int y = 50; y < 72; y++)
        for (int x = 0; x < 64; x++) {
            int dx = std::abs(x - 32);
            if (dx < 14 + (y - 50) * 2) img.set(x, y, P().c("olive", dx < 6 ? 4 : 6 + (x < 32)));
        }
    IMG_Rect(img, 27, 44, 10, 10, P().c("skin", skin - 2));
    // Face, then the helmet over the top of the head.
    for (int y = 14; y < 52; y++)
        for (int x = 14; x < 50; x++) {
            double dx = (x - 32) / 14.0, dy = (y - 32) / 19.0;
            if (dx * dx + dy * dy < 1) img.set(x, y, P().c("skin", skin + (x < 30 ? 1 : 0)));
        }
    for (int y = 6; y < 34; y++)
        for (int x = 12; x < 52; x++) {
            double dx = (x - 32) / 20.0, dy = (y - 30) / 24.0;
            if (dx * dx + dy * dy < 1 && (y < 24 || std::abs(x - 32) > 15))
                img.set(x, y, P().c(helmet, 8 + (x < 28 ? 3 : 0) - (y > 26 ? 2 : 0)));
        }
    IMG_Rect(img, 18, 21, 28, 3, P().c(helmet, 4)); // visor rim
    if (who == 3) {
        IMG_Rect(img, 19, 24, 26, 8, P().c("fire", 9)); // visor down
        IMG_Rect(img, 21, 25, 8, 2, P().c("fire", 13));
    } else {
        IMG_Rect(img, 24, 30, 5, 2, P().c("grey", 14));
        IMG_Rect(img, 35, 30, 5, 2, P().c("grey", 14));
        img.set(26, 30, P().c("grey", 1));
        img.set(37, 30, P().c("grey", 1));
        IMG_Rect(img, 23, 27, 6, 1, P().c("earth", 3));
        IMG_Rect(img, 35, 27, 6, 1, P().c("earth", 3));
    }
    IMG_Line(img, 32, 32, 31, 38, P().c("skin", skin - 3));
    IMG_Rect(img, 28, 42, 8, 1, P().c("skin", skin - 4));
    if (who == 1) IMG_Rect(img, 27, 40, 10, 2, P().c("earth", 2)); // a moustache
    // Microphone boom and a badge on the suit.
    IMG_Line(img, 14, 34, 24, 44, P().c("steel", 3));
    IMG_Disc(img, 25, 44, 1.5, P().c("steel", 2));
    IMG_Disc(img, 44, 62, 3, P().c("gold", 3));
    IMG_Outline(img, P().c("grey", 1));
    return img;
}

// The fourth episode's victory: the fleet climbing out past a ringed giant into open space,
// the horizon the curve of the world left behind.
Image DeepSpaceVictory()
{
    Image img(160, 80);
    VGrad(img, 0, 0, 160, 80, "water", 0, 4, 84);
    Stars(img, 80, 85);
    // The ringed planet: the far half of the ring, the globe lit from the left, the near half.
    auto ring = [&](bool front) {
        for (double t = 0; t < 6.283; t += 0.004) {
            double rx = 31 * std::cos(t), ry = 6 * std::sin(t);
            if ((ry > 0) != front) continue;
            double x = 124 + rx * 0.96 - ry * 0.28, y = 50 + ry * 0.96 + rx * 0.28;
            int band = (GEN_Hash(static_cast<int>(t * 40), 0, 86) & 3) == 0 ? 1 : 3;
            img.set(static_cast<int>(x), static_cast<int>(y), P().c("sand", 9 + band));
            img.set(static_cast<int>(x), static_cast<int>(y) + 1, P().c("sand", 7 + band));
        }
    };
    ring(false);
    for (int y = 32; y < 69; y++)
        for (int x = 106; x < 143; x++) {
            double dx = (x - 124) / 17.0, dy = (y - 50) / 17.0;
            if (dx * dx + dy * dy >= 1) continue;
            double lit = 0.6 - 0.55 * dx - 0.35 * dy + (GEN_Hash(x, y, 87) & 255) / 1024.0;
            int stripe = static_cast<int>((y - 50 + 3 * dx) / 4) & 1;
            img.set(x, y,
                    P().c("violet", std::clamp(static_cast<int>(2 + lit * 9) + stripe, 1, 13)));
        }
    ring(true);
    // The world below: a dark curve with a thin lit rim of air.
    for (int x = 0; x < 160; x++) {
        double dx = (x - 40) / 150.0;
        int top = 62 + static_cast<int>(90 * dx * dx);
        for (int y = std::max(top, 0); y < 80; y++) {
            int l = y == top ? 12 : y == top + 1 ? 8 : 1 + ((GEN_Hash(x, y, 88) & 7) == 0);
            img.set(x, y, P().c(y <= top + 1 ? "ice" : "water", l));
            // The lights of the cities on the night side.
            if (y > top + 3 && GEN_Hash(x, y, 89) % 61 == 0) img.set(x, y, P().c("gold", 2));
        }
    }
    IMG_Blit(img, SHIP_Large(40, -20, 30), 18, 22);
    IMG_Blit(img, SHIP_Large(24, -20, 30), 52, 40);
    CText(img, "medium", 80, 6, "DEEP SPACE", P().c("gold", 4));
    CText(img, "small", 96, 20, "CLEARED", P().c("grey", 14));
    return img;
}

// Victory pictures: 0..2 the first three episodes, 3 the training, 4 the fourth episode.
Image VictoryArt(int which)
{
    if (which == 4) return DeepSpaceVictory();
    static const char* title[4] = {"BRAVO SECTOR", "TANGO SECTOR", "OUTER REGIONS", "TRAINING"};
    Image img(160, 80);
    VGrad(img, 0, 0, 160, 80, which == 2 ? "violet" : "fire", which == 2 ? 2 : 4, 12, 80 + which);
    IMG_Disc(img, 120, 62, 16, P().c("fire", 14));
    Ridge(img, 66, 12, P().c("earth", 2), 81 + which);
    IMG_Blit(img, SHIP_Large(40, -20, 30), 18, 22);
    IMG_Blit(img, SHIP_Large(24, -20, 30), 52, 40);
    CText(img, "medium", 80, 6, title[which % 4], P().c("gold", 4));
    CText(img, "small", 96, 20, which == 3 ? "FLIGHT SCHOOL PASSED" : "CLEARED", P().c("grey", 14));
    return img;
}

Image KeeperSays(int which)
{
    static const char* say[4][2] = {{"WELCOME,", "PILOT!"},
                                    {"YOU CAN'T", "AFFORD THAT"},
                                    {"NOTHING", "TO SELL"},
                                    {"NO ROOM", "FOR MORE"}};
    Image img(96, 64);
    VGrad(img, 0, 0, 96, 64, "water", 1, 3, 90);
    Image k = Shopkeeper();
    IMG_Blit(img, k, -14, 22);
    // The speech bubble with its tail toward the keeper.
    for (int y = 4; y < 34; y++)
        for (int x = 26; x < 93; x++)
            if (!((x == 26 || x == 92) && (y == 4 || y == 33))) img.set(x, y, P().c("grey", 14));
    for (int k2 = 0; k2 < 6; k2++)
        IMG_Line(img, 30 + k2, 33, 22, 40, P().c("grey", 14));
    for (int l = 0; l < 2; l++)
        CText(img, "small", 59, 8 + l * 12, say[which % 4][l], P().c("grey", 1), false);
    return img;
}

} // namespace

Image WINDOW_Picture(const std::string& what, int param)
{
    if (what == "winpic.menu") return Menu();
    if (what == "winpic.hangar") return HangarScene();
    if (what == "winpic.computer") return ComputerArt();
    if (what == "winpic.loading") return LoadingArt();
    if (what == "winpic.store") return StoreScene();
    if (what == "winpic.credits") return CreditsPage();
    if (what == "winpic.arrow") return Arrow(param != 0);
    if (what == "ui.switch") return Switch(param != 0);
    if (what == "ui.storebutton") return StoreButton(param % 6);
    if (what == "ui.hangar") return Sign(64, 32, "HANGAR", true);
    if (what == "ui.returnpic") return ReturnButton();
    if (what == "ui.rowmarker") return RowMarker();
    if (what == "ui.knob") return Knob();
    if (what == "ui.portrait") return Portrait(param);
    if (what == "victory") return VictoryArt(param);
    if (what == "store.keeper") return KeeperSays(param);
    GEN_Fail("no window picture for '%s'", what.c_str());
}
