// Windows: loading window items into the table, drawing them, their fields and text items
// with markup, and the accessors the screens use. The dialog loop is in swddlg.cpp.
#include "ui/swdapi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "game/m_misc.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "res/glbapi.h"
#include "ui/swdint.h"

int active_window = -1, active_field = -1, master_window = -1, prev_window = -1;
int g_button_flag = 1;
int usekb_flag;
int obj_x, obj_y, obj_width, obj_height;

SWD_SLOT g_wins[SWD_MAXWINS];
void (*winfuncs[SWD_MAXWINS])(SWD_DLG*);
void (*fldfuncs[SWD_FLDFUNCS])(SWIN*, SFIELD*);
SWD_MEMORY swd_mem;

namespace
{

int clearscreenflag = 1;
void (*viewdraw)(void);
std::unique_ptr<uint8_t[]> movebuffer;

// The text-markup state of SWD_FillText.
int textcmd_x, textcmd_y, textcmd_x2, textcmd_y2;
int textdraw_x, textdraw_y, textcolor;
constexpr int kLineMax = 84; // the line buffer, terminator included
char textfill[kLineMax];

[[noreturn]] void swd_Fatal(void)
{
    exit(0);
}

int32_t Rd(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

constexpr int32_t kCoordMax = 1 << 15;

const uint8_t* FontOf(const SFIELD* f)
{
    return f->fontid == -1 ? nullptr : GLB_GetItem(f->fontid);
}

int FontHeight(const uint8_t* font)
{
    return Rd(font);
}

int TextLen(const uint8_t* font, const char* s)
{
    return GFX_StrPixelLen(font, s, static_cast<int>(strlen(s)));
}

// A picture item that may be drawn: locked and checked, else -1 (and not kept locked).
int LockPicture(int id)
{
    if (id == -1) return -1;
    int size = GLB_ItemSize(id);
    if (size <= 0) return -1;
    const uint8_t* p = GLB_LockItem(id);
    if (!GFX_CheckPic(p, size_t(size))) {
        GLB_UnlockItem(id);
        return -1;
    }
    return id;
}

int LockFont(const char* name)
{
    if (!name[0]) return -1;
    int id = GLB_GetItemID(name);
    if (id == -1) return -1;
    int size = GLB_ItemSize(id);
    if (size <= 0) return -1;
    const uint8_t* p = GLB_LockItem(id);
    if (!GFX_CheckFont(p, size_t(size))) {
        GLB_UnlockItem(id);
        return -1;
    }
    return id;
}

// A field's own item: a text item for type 1, else a picture.
int LockFieldItem(const SFIELD& f, int id)
{
    if (id == -1) return -1;
    if (f.opt != FLD_TEXT) return LockPicture(id);
    if (GLB_ItemSize(id) <= 0) return -1;
    GLB_LockItem(id);
    return id;
}

bool IsSprite(const uint8_t* pic)
{
    return Rd(pic) == 0;
}

void Release(int id)
{
    if (id != -1) GLB_UnlockItem(id);
}

} // namespace

// ---- life ------------------------------------------------------------------------------

uint8_t* SWD_MoveBuffer(void)
{
    return movebuffer.get();
}

void SWD_Install(int movebuf)
{
    for (SWD_SLOT& s : g_wins)
        s = SWD_SLOT{};
    for (auto& f : winfuncs)
        f = nullptr;
    for (auto& f : fldfuncs)
        f = nullptr;
    viewdraw = nullptr;
    movebuffer.reset();
    if (movebuf) movebuffer = std::make_unique<uint8_t[]>(SCREENSIZE);
    fldfuncs[FLD_BUTTON] = SWD_DoButton;
    fldfuncs[FLD_MARK] = SWD_DoButton;
    fldfuncs[FLD_DRAGBAR] = SWD_DoButton;
    fldfuncs[FLD_INPUT] = SWD_FieldInput;
    active_window = active_field = master_window = prev_window = -1;
    clearscreenflag = 1;
    g_button_flag = 1;
    swd_mem = SWD_MEMORY{};
}

void SWD_End(void)
{
    for (int i = 0; i < SWD_MAXWINS; i++)
        if (g_wins[i].inuse) SWD_DestroyWindow(i);
    for (SWD_SLOT& s : g_wins)
        s = SWD_SLOT{};
    for (auto& f : fldfuncs)
        f = nullptr;
    movebuffer.reset();
    active_window = active_field = master_window = prev_window = -1;
}

SWIN* SWD_GetWindow(int handle)
{
    if (handle < 0 || handle >= SWD_MAXWINS || !g_wins[handle].inuse) return nullptr;
    return g_wins[handle].win.get();
}

SFIELD* SWD_Field(int handle, int field)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w || field < 0 || field >= static_cast<int>(w->flds.size())) return nullptr;
    return &w->flds[size_t(field)];
}

void SWD_ForgetHighlight(bool clearstate)
{
    if (clearstate)
        if (SFIELD* f = SWD_Field(swd_mem.lastwin, swd_mem.lastfld)) f->state = 0;
    swd_mem.lastwin = swd_mem.lastfld = -1;
}

int SWD_InitWindow(int item)
{
    PTR_ResetJoyStick();
    swd_mem.old_win = swd_mem.old_field = -1;
    swd_mem.kbactive = swd_mem.highlight_flag = swd_mem.fi_joy_count = 0;
    SWD_ForgetHighlight(true);

    // A free slot first, so that a full table costs nothing.
    int handle = -1;
    for (int i = 0; i < SWD_MAXWINS && handle < 0; i++)
        if (!g_wins[i].inuse) handle = i;
    if (handle < 0) return -1;

    int size = GLB_ItemSize(item);
    if (size <= 0) return -1;
    const uint8_t* data = GLB_LockItem(item);
    auto win = std::make_unique<SWIN>();
    if (!SWD_ParseWindow(data, size_t(size), win.get())) {
        GLB_UnlockItem(item);
        return -1;
    }

    prev_window = active_window;
    active_window = handle;
    SWD_SLOT& s = g_wins[handle];
    s.item = item;
    s.inuse = 1;
    s.viewflag = 0;
    win->flag = 1;
    active_field = win->firstfld;

    if (win->picflag != PIC_NONE) {
        int id = GLB_GetItemID(win->picname);
        if (id == -1) swd_Fatal(); // our own data names only pictures it has
        win->item = LockPicture(id);
    }
    for (SFIELD& f : win->flds) {
        if (f.opt == FLD_OFF) continue;
        if (f.opt == FLD_MOUSEVIEW) s.viewflag = 1;
        if (f.opt == FLD_INPUT)
            f.kbfocus = 1;
        else if (f.opt == FLD_BUTTON || f.opt == FLD_MARK || f.opt == FLD_BOX ||
                 f.opt == FLD_DRAGBAR)
            f.kbfocus = usekb_flag && f.select ? 1 : 0;
        else
            f.kbfocus = 0;
        f.state = 0;
        f.fontid = LockFont(f.font_name);
        f.item = -1;
        if (f.picflag != PIC_NONE && f.item_name[0])
            f.item = LockFieldItem(f, GLB_GetItemID(f.item_name));
        if (f.saveflag) {
            f.sback.assign(size_t(f.lx) * size_t(f.ly) + GFX_PIC_HEADER, 0);
            f.sback[0] = 1; // a plain picture
        }
    }
    s.win = std::move(win);
    return handle;
}

int SWD_InitMasterWindow(int item)
{
    int h = SWD_InitWindow(item);
    if (h >= 0) master_window = h;
    return h;
}

// The nearest shown window below `from` (after slot 0 comes slot 11), or -1.
int SWD_FindShownBelow(int from, bool skipmaster)
{
    for (int n = 1; n <= SWD_MAXWINS; n++) {
        int i = ((from - n) % SWD_MAXWINS + SWD_MAXWINS) % SWD_MAXWINS;
        if (skipmaster && i == master_window) continue;
        if (g_wins[i].inuse && g_wins[i].win->flag) return i;
    }
    return -1;
}

void SWD_DestroyWindow(int handle)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return; // a wrong handle is refused
    PTR_ResetJoyStick();
    for (SFIELD& f : w->flds) {
        if (f.opt == FLD_OFF) continue;
        Release(f.item);
        Release(f.fontid);
        f.item = f.fontid = -1;
    }
    Release(w->item);
    GLB_UnlockItem(g_wins[handle].item);
    g_wins[handle] = SWD_SLOT{};
    winfuncs[handle] = nullptr;
    if (master_window == handle) master_window = -1;
    if (swd_mem.lastwin == handle) swd_mem.lastwin = swd_mem.lastfld = -1;

    swd_mem.kbactive = swd_mem.highlight_flag = 0;
    SWD_ForgetHighlight(true);
    const int old = active_window;
    active_window = -1;
    int found = SWD_FindShownBelow(old < 0 ? handle : old, false);
    if (found >= 0) {
        active_window = found;
        SWIN* nw = g_wins[found].win.get();
        active_field = nw->firstfld;
        if (SFIELD* f = SWD_Field(found, active_field)) swd_mem.kbactive = f->kbfocus ? 1 : 0;
    } else {
        active_field = -1;
    }
    bool back = false;
    if (prev_window >= 0 && SWD_GetWindow(prev_window)) {
        active_window = prev_window;
        active_field = g_wins[prev_window].win->firstfld;
        back = true;
    }
    prev_window = found;
    if (found >= 0 || back) SWD_ShowAllWindows();
}

// ---- drawing ---------------------------------------------------------------------------

int SWD_ShowAllWindows(void)
{
    if (active_window < 0) return 0;
    if (clearscreenflag && (master_window < 0 || !viewdraw)) memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    if (master_window >= 0 && g_wins[master_window].inuse) SWD_PutWin(master_window);
    if (viewdraw) viewdraw();
    for (int i = 0; i < SWD_MAXWINS; i++)
        if (g_wins[i].inuse && i != active_window && i != master_window) SWD_PutWin(i);
    if (movebuffer) memcpy(movebuffer.get(), displaybuffer, SCREENSIZE);
    if (active_window != master_window && SWD_GetWindow(active_window)) SWD_PutWin(active_window);
    return 1;
}

void SWD_PutWin(int handle)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w || !w->flag) return;
    const uint8_t* pic = w->item != -1 ? GLB_GetItem(w->item) : nullptr;
    if (w->shadow) {
        if (w->picflag == PIC_SEETHRU && pic && IsSprite(pic)) {
            GFX_ShadeShape(GFX_DARK, pic, w->x - 8, w->y + 8);
        } else {
            GFX_ShadeArea(GFX_DARK, w->x - 8, w->y + 8, 8, w->ly - 8);
            GFX_ShadeArea(GFX_DARK, w->x - 8, w->y + w->ly, w->lx, 8);
        }
    }
    switch (w->picflag) {
    case PIC_NONE:
        GFX_ColorBox(w->x, w->y, w->lx, w->ly, w->color);
        if (w->lx <= SCREENWIDTH - 1 && w->ly <= SCREENHEIGHT - 1)
            GFX_LightBox(1, w->x, w->y, w->lx, w->ly);
        break;
    case PIC_TEXTURE:
        if (!pic) break;
        GFX_PutTexture(pic, w->x, w->y, w->lx, w->ly);
        GFX_LightBox(1, w->x, w->y, w->lx, w->ly);
        break;
    case PIC_PICTURE:
    case PIC_SEETHRU:
        if (pic) GFX_PutImage(pic, w->x, w->y, w->picflag == PIC_SEETHRU);
        break;
    case PIC_GLASS:
        if (w->color == 0) {
            GFX_ShadeArea(GFX_DARK, w->x, w->y, w->lx, w->ly);
            GFX_LightBox(1, w->x, w->y, w->lx, w->ly);
        }
        break;
    default:
        break;
    }
    GFX_MarkUpdate(w->x, w->y, w->lx, w->ly);
    if (!w->flds.empty()) SWD_ShowAllFields(w);
    if (winfuncs[handle]) {
        SWD_GetObjAreaInfo(handle);
        SWD_DLG d{};
        d.window = active_window;
        d.field = active_field;
        d.id = w->id;
        d.type = w->type;
        d.x = obj_x;
        d.y = obj_y;
        d.height = obj_height;
        d.width = obj_width;
        winfuncs[handle](&d);
    }
}

void SWD_ShowAllFields(SWIN* w)
{
    for (SFIELD& f : w->flds) {
        if (f.opt == FLD_OFF) continue;
        int x = w->x + f.x, y = w->y + f.y;
        if (f.saveflag && !f.sback.empty()) {
            uint8_t* b = f.sback.data();
            memset(b + GFX_PIC_HEADER, 0, f.sback.size() - GFX_PIC_HEADER);
            const int32_t head[5] = {1, 0, 0, f.lx, f.ly};
            memcpy(b, head, sizeof(head));
            GFX_GetScreen(b + GFX_PIC_HEADER, x, y, f.lx, f.ly);
        }
        if (f.bevel) {
            const uint8_t* pic = f.item != -1 && f.opt != FLD_TEXT ? GLB_GetItem(f.item) : nullptr;
            if ((f.picflag & 3) == PIC_SEETHRU && pic && IsSprite(pic))
                GFX_ShadeShape(GFX_DARK, pic, x - 1, y + 1);
            else
                GFX_LightBox(1, x - 1, y + 1, f.lx, f.ly);
        }
        SWD_PutField(w, &f);
    }
}

namespace
{

// The text of a field centred in it; pressed buttons move it down and left by a pixel.
void CentredText(const SFIELD* f, int x, int y, const uint8_t* font)
{
    if (f->maxchars <= 1 || !font) return;
    int tx = x + ((f->lx - TextLen(font, f->text.data())) >> 1);
    int ty = y + ((f->ly - FontHeight(font)) >> 1);
    if (f->state == 2 && f->opt != FLD_DRAGBAR) {
        ty++;
        if (tx > 0) tx--;
    }
    GFX_Print(tx, ty, f->text.data(), font, f->fontcolor);
}

bool IsActive(const SWIN* w)
{
    return SWD_GetWindow(active_window) == w;
}

} // namespace

void SWD_PutField(SWIN* w, SFIELD* f)
{
    if (!w || !f || f->opt == FLD_OFF) return;
    const int x = w->x + f->x, y = w->y + f->y;
    const uint8_t* font = FontOf(f);
    if (f->saveflag && !f->sback.empty()) GFX_PutImage(f->sback.data(), x, y, false);
    const int kind = f->picflag & 3;
    bool overlay = f->opt != FLD_INPUT;
    if (kind != PIC_NONE) {
        if (f->item == -1) return;
        if (f->opt == FLD_TEXT) {
            SWD_FillText(font, f->item, f->fontcolor, x, y, f->lx, f->ly);
        } else {
            const uint8_t* pic = GLB_GetItem(f->item);
            const bool masked = kind == PIC_SEETHRU;
            switch (f->opt) {
            case FLD_BUTTON:
                if (kind == PIC_TEXTURE) {
                    GFX_PutTexture(pic, x, y, f->lx, f->ly);
                    SWD_ShadeButton(f->state, x, y, f->lx, f->ly);
                } else {
                    GFX_PutImage(pic, x, y, masked);
                }
                CentredText(f, x, y, font);
                break;
            case FLD_MARK:
            case FLD_BOX:
                GFX_PutImage(pic, x, y, masked);
                break;
            case FLD_DRAGBAR:
                if (kind == PIC_TEXTURE) {
                    GFX_PutTexture(pic, x, y, f->lx, f->ly);
                    GFX_LightBox(1, x, y, f->lx, f->ly);
                } else {
                    GFX_PutImage(pic, x, y, masked);
                }
                if (!IsActive(w)) GFX_ShadeArea(GFX_GREY, x, y, f->lx, f->ly);
                CentredText(f, x, y, font);
                break;
            case FLD_PICTURE:
                if (kind == PIC_TEXTURE) {
                    GFX_PutTexture(pic, x, y, f->lx, f->ly);
                    overlay = false;
                } else if (Rd(pic + 12) > f->lx || Rd(pic + 16) > f->ly) {
                    GFX_ScalePic(pic, x, y, f->lx, f->ly, masked);
                } else {
                    GFX_PutImage(pic, x, y, masked);
                }
                break;
            default:
                break;
            }
        }
        if (overlay && f->state) {
            const uint8_t* pic = f->opt != FLD_TEXT ? GLB_GetItem(f->item) : nullptr;
            if (kind == PIC_PICTURE && pic && IsSprite(pic))
                GFX_ShadeShape(f->state == 2 ? GFX_DARK : GFX_LIGHT, pic, x, y);
            else
                GFX_ShadeArea(f->state == 2 ? GFX_DARK : GFX_LIGHT, x, y, f->lx, f->ly);
            if (f->opt == FLD_BUTTON || f->opt == FLD_DRAGBAR) CentredText(f, x, y, font);
        }
        GFX_MarkUpdate(x, y, f->lx, f->ly);
        return;
    }

    switch (f->opt) {
    case FLD_TEXT:
        if (f->maxchars && font) GFX_Print(x, y, f->text.data(), font, f->fontcolor);
        break;
    case FLD_BUTTON:
        if (f->picflag != PIC_GLASS) {
            GFX_ColorBox(x, y, f->lx, f->ly, f->color);
            SWD_ShadeButton(f->state, x, y, f->lx, f->ly);
        }
        CentredText(f, x, y, font);
        break;
    case FLD_INPUT: {
        GFX_ColorBox(x, y, f->lx, f->ly, f->state ? f->lite : f->color);
        if (!font) break;
        int ty = y + ((f->ly - FontHeight(font)) >> 1);
        if (f->maxchars) GFX_Print(x + 1, ty, f->text.data(), font, f->fontcolor);
        int len = TextLen(font, f->text.data());
        if (f->state && len + 2 < f->lx)
            GFX_VLine(x + len + 1, y + 1, FontHeight(font) - 1, f->fontcolor);
        break;
    }
    case FLD_MARK:
        GFX_ColorBox(x, y, f->lx, f->ly, f->color);
        GFX_LightBox(1, x, y, f->lx, f->ly);
        GFX_ColorBox(x + 2, y + 2, f->lx - 4, f->ly - 4, 0);
        if (f->mark) {
            GFX_ColorBox(x + 3, y + 3, f->lx - 6, f->ly - 6, f->lite);
            SWD_ShadeButton(f->state, x + 3, y + 3, f->lx - 6, f->ly - 6);
        } else {
            GFX_ColorBox(x + 3, y + 3, f->lx - 6, f->ly - 6, 0);
        }
        break;
    case FLD_BOX:
        if (f->picflag == PIC_GLASS) break;
        GFX_ColorBox(x, y, f->lx, f->ly, f->lite);
        GFX_LightBox(1, x, y, f->lx, f->ly);
        GFX_ColorBox(x + 2, y + 2, f->lx - 4, f->ly - 4, f->lite);
        GFX_ColorBox(x + 3, y + 3, f->lx - 6, f->ly - 6, f->lite);
        SWD_ShadeButton(f->state, x + 3, y + 3, f->lx - 6, f->ly - 6);
        break;
    case FLD_DRAGBAR:
        if (f->picflag != PIC_GLASS) GFX_ColorBox(x, y, f->lx, f->ly, f->color);
        CentredText(f, x, y, font);
        if (!IsActive(w)) {
            GFX_ShadeArea(GFX_DARK, x, y, f->lx, f->ly);
            if (f->color)
                for (int row = 0; row < f->ly; row += 2)
                    GFX_HShadeLine(GFX_DARK, x, y + row, f->lx);
        }
        break;
    case FLD_SUNKEN:
        if (f->color) GFX_ShadeArea(GFX_DARK, x + 1, y, f->lx - 1, f->ly - 1);
        GFX_LightBox(2, x, y, f->lx, f->ly);
        if (!f->color) GFX_ColorBox(x + 1, y + 1, f->lx - 2, f->ly - 2, 0);
        break;
    case FLD_RAISED:
        GFX_ShadeArea(GFX_LIGHT, x + 1, y, f->lx - 1, f->ly - 1);
        GFX_LightBox(1, x, y, f->lx, f->ly);
        if (!f->color) GFX_ColorBox(x + 1, y + 1, f->lx - 2, f->ly - 2, 0);
        break;
    default:
        break;
    }
    if (overlay && f->state) {
        GFX_ShadeArea(f->state == 2 ? GFX_DARK : GFX_LIGHT, x, y, f->lx, f->ly);
        if (f->opt == FLD_BUTTON) CentredText(f, x, y, font);
    }
    GFX_MarkUpdate(x, y, f->lx, f->ly);
}

void SWD_SetClearFlag(int flag)
{
    clearscreenflag = flag;
}

void SWD_SetViewDrawHook(void (*fn)(void))
{
    viewdraw = fn;
}

void SWD_SetWinDrawFunc(int handle, void (*fn)(SWD_DLG*))
{
    if (!fn || !SWD_GetWindow(handle)) return;
    winfuncs[handle] = fn;
}

void SWD_ShadeButton(int state, int x, int y, int lx, int ly)
{
    const int right = x + lx - 1;
    if (state == 2) {
        GFX_HShadeLine(GFX_DARK, x, y, lx);
        GFX_VShadeLine(GFX_DARK, right, y + 1, ly - 1);
        return;
    }
    if (state == 1) {
        GFX_HShadeLine(GFX_LIGHT, x + 2, y, lx - 2);
        GFX_VShadeLine(GFX_LIGHT, right, y + 1, ly - 3);
    }
    GFX_HShadeLine(GFX_LIGHT, x + 1, y, lx - 1);
    GFX_VShadeLine(GFX_LIGHT, right, y + 1, ly - 2);
    GFX_HShadeLine(GFX_DARK, x, y + ly - 1, lx);
    GFX_VShadeLine(GFX_DARK, x, y, ly - 1);
}

namespace
{

// Copies the next line of a text item into textfill (cut to its size) and skips the line
// end: every byte below 32 as a signed character. Returns the position after it.
size_t GetLine(const uint8_t* text, size_t size, size_t pos)
{
    size_t n = 0;
    while (pos < size && static_cast<int8_t>(text[pos]) >= 32) {
        if (n < kLineMax - 1) textfill[n++] = static_cast<char>(text[pos]);
        pos++;
    }
    textfill[n] = 0;
    while (pos < size && static_cast<int8_t>(text[pos]) < 32)
        pos++;
    return pos;
}

// The words of a command line; only its first 81 bytes count.
int Words(char (*words)[kLineMax], int most)
{
    char line[82];
    M_StringCopy(line, textfill, sizeof(line));
    int n = 0;
    char* save = nullptr;
    for (char* t = strtok_r(line, "\n\v\r \t,;\b", &save); t && n < most;
         t = strtok_r(nullptr, "\n\v\r \t,;\b", &save))
        M_StringCopy(words[n++], t, kLineMax);
    return n;
}

bool Number(const char* s, int* v)
{
    char* end = nullptr;
    long n = strtol(s, &end, 10);
    if (end == s || n < -kCoordMax || n > kCoordMax) return false;
    *v = static_cast<int>(n);
    return true;
}

// Carries out a command line; false when the line is no command.
bool Command(void)
{
    char w[4][kLineMax];
    int n = Words(w, 4);
    if (n == 0) return false;
    int a = 0, b = 0;
    const bool has1 = n > 1 && Number(w[1], &a);
    if (!strcmp(w[0], "TEXT_COLOR")) {
        if (has1 && a >= 0 && a <= 255) textcolor = a;
    } else if (!strcmp(w[0], "TEXT_POS")) {
        if (has1 && n > 2 && Number(w[2], &b) && a <= textcmd_x2 && b <= textcmd_y2) {
            textdraw_x = textcmd_x + a;
            textdraw_y = textcmd_y + b;
        }
    } else if (!strcmp(w[0], "TEXT_RIGHT")) {
        if (has1 && a <= textcmd_x2) textdraw_x += a;
    } else if (!strcmp(w[0], "TEXT_DOWN")) {
        if (has1 && a <= textcmd_y2) textdraw_y += a;
    } else if (!strcmp(w[0], "TEXT_IMAGE")) {
        if (n < 2) return true;
        int id = GLB_GetItemID(w[1]);
        if (id == -1) return true;
        int px = textdraw_x, py = textdraw_y, dx = 0, dy = 0;
        if (n > 3 && Number(w[2], &dx) && Number(w[3], &dy)) {
            px = textcmd_x + dx;
            py = textcmd_y + dy;
        }
        if (px > textcmd_x2 || py > textcmd_y2) return true;
        int size = GLB_ItemSize(id);
        const uint8_t* pic = size > 0 ? GLB_GetItem(id) : nullptr;
        if (!pic || !GFX_CheckPic(pic, size_t(size))) return true;
        textdraw_y = py;
        textdraw_x = px + Rd(pic + 12) + 1;
        GFX_PutImage(pic, px, py, false);
        GLB_FreeItem(id);
    } else {
        return false;
    }
    return true;
}

} // namespace

void SWD_FillText(const uint8_t* font, int item, int color, int x, int y, int lx, int ly)
{
    if (item == -1 || !font) return;
    int size = GLB_ItemSize(item);
    if (size <= 0) return;
    const uint8_t* text = GLB_GetItem(item);
    textcmd_x = x;
    textcmd_y = y;
    textcmd_x2 = x + lx - 1;
    textcmd_y2 = y + ly - 1;
    textdraw_x = x;
    textdraw_y = y;
    textcolor = color;
    const int step = FontHeight(font) + 3;
    for (size_t pos = 0; pos < size_t(size);) {
        pos = GetLine(text, size_t(size), pos);
        if (Command()) continue;
        // The picture drawn above may have pushed the text out of the cache.
        text = GLB_GetItem(item);
        GFX_Print(textdraw_x, textdraw_y, textfill, font, textcolor);
        textdraw_y += step;
    }
}

int SWD_FindWindow(int x, int y)
{
    auto inside = [x, y](const SWIN* w) {
        return w && w->flag && x > w->x && x < w->x + w->lx && y > w->y && y < w->y + w->ly;
    };
    if (inside(SWD_GetWindow(active_window))) return active_window;
    for (int i = 0; i < SWD_MAXWINS; i++)
        if (inside(SWD_GetWindow(i))) return i;
    return -1;
}

void SWD_GetObjAreaInfo(int handle)
{
    obj_x = obj_y = obj_width = obj_height = 0;
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return;
    for (const SFIELD& f : w->flds)
        if (f.opt == FLD_VIEW) {
            obj_x = f.x;
            obj_y = f.y;
            obj_width = f.lx;
            obj_height = f.ly;
            return;
        }
}

// ---- fields and windows ----------------------------------------------------------------

int SWD_SetFieldText(int handle, int field, const char* text)
{
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return 0;
    // The buffer always has room for the terminator, even with maxchars 0.
    M_StringCopy(f->text.data(), text ? text : "", f->text.size());
    return f->maxchars;
}

int SWD_GetFieldText(int handle, int field, char* out, size_t outsize)
{
    if (out && outsize) out[0] = 0;
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return 0;
    if (out && outsize) M_StringCopy(out, f->text.data(), std::min(outsize, f->text.size()));
    return f->maxchars;
}

int SWD_SetFieldValue(int handle, int field, int value)
{
    char num[16];
    snprintf(num, sizeof(num), "%d", value);
    return SWD_SetFieldText(handle, field, num);
}

int SWD_GetFieldValue(int handle, int field)
{
    SFIELD* f = SWD_Field(handle, field);
    return f ? atoi(f->text.data()) : 0;
}

int SWD_SetFieldItem(int handle, int field, int item)
{
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return -1;
    Release(f->item);
    f->item = -1;
    if (item != -1) f->item = LockFieldItem(*f, item);
    return f->item;
}

int SWD_GetFieldItem(int handle, int field)
{
    SFIELD* f = SWD_Field(handle, field);
    return f ? f->item : -1;
}

int SWD_SetFieldItemName(int handle, int field, const char* name)
{
    SFIELD* f = SWD_Field(handle, field);
    if (!f || !name || !name[0]) return -1;
    int id = GLB_GetItemID(name);
    if (id == -1) return -1;
    Release(f->item);
    f->item = LockFieldItem(*f, id);
    M_StringCopy(f->item_name, name, sizeof(f->item_name));
    return f->item;
}

int SWD_GetFieldItemName(int handle, int field, char* out, size_t outsize)
{
    if (out && outsize) out[0] = 0;
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return -1;
    if (out && outsize) M_StringCopy(out, f->item_name, std::min(outsize, sizeof(f->item_name)));
    return f->item;
}

void SWD_SetFieldMark(int handle, int field, int mark)
{
    if (SFIELD* f = SWD_Field(handle, field)) f->mark = mark;
}

int SWD_GetFieldMark(int handle, int field)
{
    SFIELD* f = SWD_Field(handle, field);
    return f ? f->mark : 0;
}

void SWD_SetFieldSelect(int handle, int field, int select)
{
    if (SFIELD* f = SWD_Field(handle, field)) f->select = select;
}

int SWD_SetFieldInputOpt(int handle, int field, int opt)
{
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return 0;
    int old = f->input_opt;
    f->input_opt = opt;
    return old;
}

int SWD_GetFieldInputOpt(int handle, int field)
{
    SFIELD* f = SWD_Field(handle, field);
    return f ? f->input_opt : 0;
}

void SWD_GetFieldXYL(int handle, int field, int* x, int* y, int* lx, int* ly)
{
    SWIN* w = SWD_GetWindow(handle);
    SFIELD* f = SWD_Field(handle, field);
    if (!f) return;
    if (x) *x = w->x + f->x;
    if (y) *y = w->y + f->y;
    if (lx) *lx = f->lx;
    if (ly) *ly = f->ly;
}

void SWD_GetWindowXYL(int handle, int* x, int* y, int* lx, int* ly)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return;
    if (x) *x = w->x;
    if (y) *y = w->y;
    if (lx) *lx = w->lx;
    if (ly) *ly = w->ly;
}

int SWD_SetWindowID(int handle, int id)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return 0;
    int old = w->id;
    w->id = id;
    return old;
}

int SWD_GetWindowID(int handle)
{
    SWIN* w = SWD_GetWindow(handle);
    return w ? w->id : 0;
}

int SWD_SetWindowType(int handle, int type)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return 0;
    int old = w->type;
    w->type = type;
    return old;
}

int SWD_GetWindowType(int handle)
{
    SWIN* w = SWD_GetWindow(handle);
    return w ? w->type : 0;
}

void SWD_SetWindowLock(int handle, int lock)
{
    if (SWIN* w = SWD_GetWindow(handle)) w->lock = lock;
}

int SWD_SetWindowFlag(int handle, int flag)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w) return 0;
    w->flag = flag;
    int found = SWD_FindShownBelow(active_window < 0 ? handle : active_window, false);
    if (found >= 0) {
        active_window = found;
        active_field = g_wins[found].win->firstfld;
    } else {
        active_window = active_field = -1;
    }
    SWD_ForgetHighlight(true);
    return w->id;
}

void SWD_SetWindowPtr(int handle)
{
    SWD_SetFieldPtr(handle, active_field);
}

void SWD_SetFieldPtr(int handle, int field)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!ptractive || !w) return;
    if (SFIELD* f = SWD_Field(handle, field))
        PTR_SetPos(w->x + f->x + f->lx / 2, w->y + f->y + f->ly / 2);
    else
        PTR_SetPos(w->x + w->lx / 2, w->y + w->ly / 2);
}
