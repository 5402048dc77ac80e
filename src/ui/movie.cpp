#include "ui/movie.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/imsapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "sound/fx.h"

FRAME frm[MOVIE_MAXFRAMES];
int back_patch = -1;

constexpr size_t kRunHeader = 8;
constexpr int kCentre = 127;

static unsigned Word(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

void ANIM_Render(const uint8_t* list, size_t size)
{
    if (!list) return;
    size_t pos = 0;
    while (pos + kRunHeader <= size) {
        const uint8_t* rec = list + pos;
        if (Word(rec) == 0) break;
        size_t at = Word(rec + 4);
        size_t len = Word(rec + 6);
        pos += kRunHeader;
        // A run cut off by the end of the item gives what it has and ends the list.
        size_t have = std::min(len, size - pos);
        if (at < SCREENSIZE)
            memcpy(displaybuffer + at, list + pos, std::min(have, SCREENSIZE - at));
        if (have < len) break;
        pos += len;
    }
}

static void PutWord(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

std::vector<uint8_t> ANIM_Encode(const uint8_t* prev, const uint8_t* cur)
{
    std::vector<uint8_t> out;
    std::vector<uint8_t> base;
    if (!prev) {
        std::array<int, 256> count{};
        for (int i = 0; i < SCREENSIZE; i++)
            count[cur[i]]++;
        uint8_t fill =
            static_cast<uint8_t>(std::max_element(count.begin(), count.end()) - count.begin());
        out.push_back(fill);
        base.assign(SCREENSIZE, fill);
        prev = base.data();
    }
    constexpr size_t kMaxRun = 0xFFFF;
    size_t i = 0;
    while (i < SCREENSIZE) {
        if (prev[i] == cur[i]) {
            i++;
            continue;
        }
        size_t start = i, end = i + 1; // [start, end) changes
        for (size_t j = end; j < SCREENSIZE && j - start < kMaxRun;) {
            if (prev[j] != cur[j]) {
                end = ++j;
            } else if (j - end >= kRunHeader) {
                break; // a gap this long is cheaper as a new run
            } else {
                j++;
            }
        }
        PutWord(out, 1);
        PutWord(out, 0);
        PutWord(out, static_cast<unsigned>(start));
        PutWord(out, static_cast<unsigned>(end - start));
        out.insert(out.end(), cur + start, cur + end);
        i = end;
    }
    out.insert(out.end(), kRunHeader, 0);
    return out;
}

void MOVIE_ShowFrame(const uint8_t* list, size_t size)
{
    ANIM_Render(list, size);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
}

void MOVIE_BPatch(int effect)
{
    back_patch = effect;
    SND_Patch(effect, kCentre);
}

static void StopBackground(void)
{
    if (back_patch != -1) SND_StopPatch(back_patch);
    back_patch = -1;
}

static void ClearScreen(void)
{
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    GFX_DisplayUpdate();
}

static void KeepBackground(void)
{
    if (back_patch != -1 && !SND_IsPatchPlaying(back_patch)) SND_Patch(back_patch, kCentre);
}

// A frame's item, held locked from loading until release.
struct Loaded {
    int id = -1;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

static Loaded Load(int id)
{
    Loaded l;
    l.id = id;
    l.data = GLB_LockItem(id);
    int size = GLB_ItemSize(id);
    l.size = l.data && size > 0 ? static_cast<size_t>(size) : 0;
    return l;
}

static void Release(Loaded& l)
{
    if (l.id == -1) return;
    GLB_UnlockItem(l.id);
    GLB_FreeItem(l.id);
    l = Loaded{};
}

// Applies the frame's picture and its effects; the item is released by the caller.
static void PlayFrame(const FRAME& f, const uint8_t* list, size_t size, bool first,
                      const uint8_t* palette)
{
    switch (f.open_effect) {
    case MOVIE_FADEOUT:
        GFX_FadeOut(f.red, f.green, f.blue, f.open_steps);
        ClearScreen();
        break;
    case MOVIE_CLEAR:
        ClearScreen();
        break;
    case MOVIE_FADEIN:
        if (first) GFX_FadeOut(0, 0, 0, 2);
        MOVIE_ShowFrame(list, size);
        GFX_WaitUpdate(f.speed);
        GFX_FadeIn(palette, f.open_steps);
        break;
    default:
        MOVIE_ShowFrame(list, size);
        GFX_WaitUpdate(f.speed);
        break;
    }

    if (f.hold <= 0) {
        KeepBackground();
    } else if (back_patch != -1) {
        int start = GFX_GetFrameCount();
        while (GFX_GetFrameCount() - start < f.hold)
            KeepBackground();
    }

    if (f.sound != -1) SND_Patch(f.sound, f.sound_pos);

    switch (f.close_effect) {
    case MOVIE_FADEIN:
        GFX_FadeIn(palette, f.open_steps);
        break;
    case MOVIE_FADEOUT:
        GFX_FadeOut(f.red, f.green, f.blue, f.close_steps);
        break;
    case MOVIE_SETPAL:
        GFX_SetPalette(palette, 0);
        break;
    case MOVIE_CLEAR:
        ClearScreen();
        break;
    default:
        break;
    }
}

int MOVIE_Play(const FRAME* frames, int passes, const uint8_t* palette)
{
    memset(displaybuffer, 0, SCREENSIZE);
    IMS_StartAck();
    for (int pass = 0; pass < passes; pass++) {
        if (pass > 0) memset(displaybuffer, 0, SCREENSIZE);
        I_GetEvent();
        Loaded item = Load(frames[0].item);
        const uint8_t* list = item.data;
        size_t size = item.size;
        // The first frame of a pass starts from a frame buffer of one colour.
        if (size > 0) {
            memset(displaybuffer, list[0], SCREENSIZE);
            list++;
            size--;
        }
        for (int i = 0;; i++) {
            const FRAME& f = frames[i];
            PlayFrame(f, list, size, i == 0, palette);
            Release(item);
            if (f.remaining <= 0 || i + 1 >= MOVIE_MAXFRAMES) break;
            if (IMS_CheckAck()) {
                IMS_StartAck();
                KBD_Clear();
                GFX_FadeOut(0, 0, 0, 16);
                ClearScreen();
                GFX_SetPalette(palette, 0);
                StopBackground();
                return MOVIE_INTERRUPTED;
            }
            I_GetEvent();
            item = Load(frames[i + 1].item);
            list = item.data;
            size = item.size;
        }
    }
    StopBackground();
    return 0;
}
