// Windows for the window tests: a small writer of window items (header, field records,
// text buffers after the records), archives holding them with a font, pictures and text
// items, and a frame buffer with recognisable colour tables.
#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "ui/swdapi.h"

namespace swdt
{

constexpr uint8_t kBg = 250;

struct FieldSpec {
    int opt = FLD_BUTTON, id = 0, hotkey = 0, input_opt = 0;
    std::string item, font = "FONT";
    int fontcolor = 100, maxchars = 0, picflag = 0, color = 40, lite = 60, mark = 0;
    int saveflag = 0, bevel = 0, select = 1, x = 0, y = 0, lx = 20, ly = 10;
    std::string text;
};

struct WinSpec {
    int arrowkeys = 1, id = 7, type = 3;
    std::string pic;
    int picflag = 0, lock = 0, firstfld = -1, color = 20, x = 40, y = 30, lx = 200, ly = 120;
    int shadow = 0;
    std::vector<FieldSpec> f;
};

inline void Put(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = static_cast<uint8_t>(uint32_t(v) >> (8 * i));
}

inline void PutName(std::vector<uint8_t>& b, size_t at, const std::string& s)
{
    for (size_t i = 0; i < s.size() && i < 15; i++)
        b[at + i] = static_cast<uint8_t>(s[i]);
}

// The item as the layout describes it: texts follow all the records in field order.
inline std::vector<uint8_t> MakeWindow(const WinSpec& w)
{
    const size_t recs = 120 + 148 * w.f.size();
    size_t texts = 0;
    for (const FieldSpec& f : w.f)
        texts += size_t(std::max(f.maxchars, 0));
    std::vector<uint8_t> b(recs + texts, 0);
    Put(b, 8, w.arrowkeys);
    Put(b, 24, w.id);
    Put(b, 28, w.type);
    PutName(b, 48, w.pic);
    Put(b, 64, -1);
    Put(b, 68, w.picflag);
    Put(b, 72, w.lock);
    Put(b, 76, 120);
    Put(b, 84, w.firstfld);
    Put(b, 92, w.color);
    Put(b, 96, static_cast<int32_t>(w.f.size()));
    Put(b, 100, w.x);
    Put(b, 104, w.y);
    Put(b, 108, w.lx);
    Put(b, 112, w.ly);
    Put(b, 116, w.shadow);
    size_t text = recs;
    for (size_t i = 0; i < w.f.size(); i++) {
        const FieldSpec& f = w.f[i];
        size_t r = 120 + 148 * i;
        Put(b, r, f.opt);
        Put(b, r + 4, f.id);
        Put(b, r + 8, f.hotkey);
        Put(b, r + 24, f.input_opt);
        PutName(b, r + 48, f.item);
        Put(b, r + 64, -1);
        PutName(b, r + 68, f.font);
        Put(b, r + 88, f.fontcolor);
        Put(b, r + 92, f.maxchars);
        Put(b, r + 96, f.picflag);
        Put(b, r + 100, f.color);
        Put(b, r + 104, f.lite);
        Put(b, r + 108, f.mark);
        Put(b, r + 112, f.saveflag);
        Put(b, r + 116, f.bevel);
        Put(b, r + 120, f.select);
        Put(b, r + 124, f.x);
        Put(b, r + 128, f.y);
        Put(b, r + 132, f.lx);
        Put(b, r + 136, f.ly);
        Put(b, r + 140, static_cast<int32_t>(text - r));
        for (size_t k = 0; k < f.text.size() && k + 1 < size_t(std::max(f.maxchars, 0)); k++)
            b[text + k] = static_cast<uint8_t>(f.text[k]);
        text += size_t(std::max(f.maxchars, 0));
    }
    return b;
}

// Archive 1 holds: 0 the font, 1 a 6x4 plain picture of colour 70, 2 a 6x4 sprite of
// colour 80, 3 a 2x2 texture, 4 a 30x20 picture of colour 90, 5 a text item, then the
// windows handed to Build from index 10 on.
class SwdTest : public ::testing::Test
{
  protected:
    void SetUp() override {}

    void Build(const std::vector<std::vector<uint8_t>>& windows, const std::string& text = "HELLO")
    {
        GLB_Shutdown();
        std::vector<GLB_WRITEITEM> a0 = {{"ZERO", {1, 2, 3, 4}, false}};
        std::vector<GLB_WRITEITEM> a1 = {
            {"FONT", vt::MakeBlockFont(1), false},
            {"PIC", vt::MakePic(6, 4, std::vector<uint8_t>(24, 70)), false},
            {"SPR", vt::MakeSprite(6, 4, std::vector<uint8_t>(24, 80)), false},
            {"TEX", vt::MakePic(2, 2, {11, 12, 13, 14}), false},
            {"BIG", vt::MakePic(30, 20, std::vector<uint8_t>(600, 90)), false},
            {"TEXT", std::vector<uint8_t>(text.begin(), text.end()), false},
        };
        while (a1.size() < 10)
            a1.push_back({"", {1, 2, 3, 4}, false});
        for (size_t i = 0; i < windows.size(); i++)
            a1.push_back({"W" + std::to_string(i), windows[i], false});
        vt::WriteArchive(home.dir() + "/FILE0000.GLB", a0);
        vt::WriteArchive(home.dir() + "/FILE0001.GLB", a1);
        if (old_cwd.empty()) old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(home.dir());
        ASSERT_EQ(GLB_InitSystem((home.dir() + "/x").c_str(), 2, nullptr), 2);
        GFX_InitSystem();
        fontspacing = 1;
        for (int i = 0; i < 256; i++) {
            ltable[i] = static_cast<uint8_t>(i + 1);
            dtable[i] = static_cast<uint8_t>(i - 1);
            gtable[i] = static_cast<uint8_t>(i / 2);
        }
        Clear();
        usekb_flag = 1;
        SWD_Install(0);
        SWD_SetClearFlag(0);
    }

    void TearDown() override
    {
        SWD_End();
        GLB_Shutdown();
        lastscan = lastascii = 0;
        memset(keyboard, 0, sizeof(keyboard));
        mouseb1 = mouse_b1_ack = 0;
        if (!old_cwd.empty()) std::filesystem::current_path(old_cwd);
    }

    static int Win(int n) { return (1 << 16) | (10 + n); }
    static void Clear() { memset(displaybuffer, kBg, SCREENSIZE); }

    // One dialog step with the given key (and character) waiting.
    SWD_DLG Step(int key = 0, int ascii = 0)
    {
        lastscan = key;
        lastascii = ascii;
        SWD_DLG d{};
        SWD_Dialog(&d);
        return d;
    }

    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    std::filesystem::path old_cwd;
};

} // namespace swdt
