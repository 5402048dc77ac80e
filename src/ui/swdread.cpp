// Reading window items: every count, size and offset is checked against the item before
// anything is copied out of it.
#include <algorithm>
#include <cstring>

#include "gfx/gfxapi.h"
#include "ui/swdapi.h"

namespace
{

int32_t Rd(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

void Label(char* out, const uint8_t* in)
{
    memcpy(out, in, SWD_LABELLEN);
    out[SWD_LABELLEN - 1] = 0;
}

// Only these field types carry a text buffer.
bool Carries(int opt)
{
    return opt == FLD_TEXT || opt == FLD_BUTTON || opt == FLD_INPUT || opt == FLD_DRAGBAR;
}

// Positions and sizes far beyond the screen are allowed (drawing clips), but not so far
// that adding them up could overflow.
constexpr int32_t kCoordMax = 1 << 15;
bool Coord(int32_t v)
{
    return v > -kCoordMax && v < kCoordMax;
}
bool Size(int32_t v)
{
    return v >= 0 && v < kCoordMax;
}

} // namespace

bool SWD_ParseWindow(const uint8_t* item, size_t size, SWIN* out)
{
    if (!item || size < SWD_HEADERSIZE) return false;
    SWIN w{};
    w.arrowkeys = Rd(item + 8);
    w.flag = Rd(item + 12);
    w.id = Rd(item + 24);
    w.type = Rd(item + 28);
    Label(w.picname, item + 48);
    w.item = -1;
    w.picflag = Rd(item + 68);
    w.lock = Rd(item + 72);
    w.fldofs = Rd(item + 76);
    w.firstfld = Rd(item + 84);
    w.color = Rd(item + 92);
    w.numflds = Rd(item + 96);
    w.x = Rd(item + 100);
    w.y = Rd(item + 104);
    w.lx = Rd(item + 108);
    w.ly = Rd(item + 112);
    w.shadow = Rd(item + 116);
    if (w.fldofs < SWD_HEADERSIZE || size_t(w.fldofs) > size) return false;
    if (w.numflds < 0 || w.numflds > SWD_MAXFIELDS) return false;
    const size_t recend = size_t(w.fldofs) + size_t(w.numflds) * SWD_FIELDSIZE;
    if (recend > size) return false;
    if (!Coord(w.x) || !Coord(w.y) || !Size(w.lx) || !Size(w.ly)) return false;
    if (w.firstfld < -1 || w.firstfld >= w.numflds) return false;
    if (w.picflag < PIC_NONE || w.picflag > PIC_GLASS) return false;

    w.flds.resize(size_t(w.numflds));
    for (int i = 0; i < w.numflds; i++) {
        const uint8_t* r = item + w.fldofs + size_t(i) * SWD_FIELDSIZE;
        SFIELD& f = w.flds[size_t(i)];
        f.opt = Rd(r);
        f.id = Rd(r + 4);
        f.hotkey = Rd(r + 8);
        f.kbfocus = 0;
        f.input_opt = Rd(r + 24);
        f.state = 0;
        Label(f.item_name, r + 48);
        f.item = -1;
        Label(f.font_name, r + 68);
        f.fontid = -1;
        f.fontcolor = Rd(r + 88);
        f.maxchars = Rd(r + 92);
        f.picflag = Rd(r + 96);
        f.color = Rd(r + 100);
        f.lite = Rd(r + 104);
        f.mark = Rd(r + 108);
        f.saveflag = Rd(r + 112);
        f.bevel = Rd(r + 116);
        f.select = Rd(r + 120);
        f.x = Rd(r + 124);
        f.y = Rd(r + 128);
        f.lx = Rd(r + 132);
        f.ly = Rd(r + 136);
        f.txtoff = Rd(r + 140);
        if (f.opt < FLD_OFF || f.opt >= FLD_TYPES) return false;
        if (f.opt == FLD_OFF) {
            f.maxchars = 0;
            f.text.assign(1, 0);
            continue;
        }
        if (!Coord(f.x) || !Coord(f.y) || !Size(f.lx) || !Size(f.ly)) return false;
        if (f.picflag < 0 || f.picflag > 7) return false;
        if (f.saveflag && int64_t{f.lx} * f.ly + GFX_PIC_HEADER > SCREENSIZE) return false;
        if (!Carries(f.opt)) f.maxchars = 0;
        if (f.maxchars < 0 || f.maxchars > SWD_MAXCHARS) return false;
        f.text.assign(size_t(std::max(f.maxchars, 1)), 0);
        if (f.maxchars > 0) {
            // The text lies inside the item, after all the field records.
            int64_t at = int64_t(r - item) + f.txtoff;
            if (at < int64_t(recend) || at + f.maxchars > int64_t(size)) return false;
            memcpy(f.text.data(), item + at, size_t(f.maxchars));
            f.text.back() = 0;
        }
    }
    *out = std::move(w);
    return true;
}
