// The window items of the generated data set: each one loads with the field numbers,
// types and sizes its screen relies on, and every button of every window is reached and
// pressed by the keyboard alone, by the mouse alone (in a real game window) and by a
// controller alone; the pointer areas answer the mouse.
#include <algorithm>
#include <filesystem>
#include <set>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/inputtest.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "testutil/testutil.h"
#include "ui/swdapi.h"

namespace
{

struct WindowRole {
    const char* name;
    int item;
    bool master;
    std::vector<int> buttons; // fields the screen waits for presses of
    std::vector<int> areas;   // pointer areas (mouse view areas)
};

const std::vector<WindowRole>& Roles()
{
    static const std::vector<WindowRole> roles = {
        {"main menu", ITM_WIN_MAINMENU, true, {1, 2, 3, 4, 5, 6}, {}},
        {"new pilot", ITM_WIN_NEWPILOT, false, {1, 2}, {4, 5, 6}},
        {"hangar", ITM_WIN_HANGAR, true, {}, {2, 3, 4, 5}},
        {"ship's computer", ITM_WIN_COMPUTER, true, {3, 4, 5, 6, 7, 8, 9, 10, 11}, {}},
        {"loading", ITM_WIN_LOADING, true, {}, {}},
        {"options", ITM_WIN_OPTIONS, false, {6, 7}, {}},
        {"yes/no", ITM_WIN_ASK, false, {6, 7}, {}},
        {"difficulty", ITM_WIN_DIFFICULTY, false, {6, 7, 8, 9, 10}, {}},
        {"message", ITM_WIN_MESSAGE, false, {}, {}},
        {"help", ITM_WIN_HELP, false, {5, 6, 7}, {}},
        {"credits", ITM_WIN_CREDITS, true, {}, {}},
        {"victory", ITM_WIN_VICTORY, false, {}, {}},
        {"load pilot", ITM_WIN_LOADPILOT, false, {2, 3, 4, 5, 6}, {}},
        {"store", ITM_WIN_STORE, true, {2, 3, 4, 5, 6}, {14, 15, 16, 17, 18, 19, 20}},
    };
    return roles;
}

class WindowData : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        data = std::string(VULTAR_BINARY_DIR) + "/data";
        if (!std::filesystem::exists(data + "/FILE0000.GLB")) GTEST_SKIP() << "no data set";
    }

    void SetUp() override
    {
        if (!std::filesystem::exists(data + "/FILE0000.GLB")) GTEST_SKIP() << "no data set";
        vt::InitInputPlatform();
        ASSERT_GT(GLB_InitSystem((data + "/x").c_str(), 5, nullptr), 1);
        GFX_InitSystem();
        pal = GLB_LockItem(ITM_PALETTE);
        fullscreen = 0;
        aspect_ratio_correct = 0;
        window_width = 640;
        window_height = 400;
        GFX_InitVideo(pal);
        ASSERT_NE(I_GetWindow(), nullptr);
        KBD_Install();
        control = CONTROL_MOUSE;
        joy_ipt_MenuNew = 0;
        usekb_flag = 1;
        SWD_Install(0);
        SWD_SetClearFlag(1);
    }

    void TearDown() override
    {
        SWD_End();
        IPT_CloJoy(1);
        closewindow();
        I_ShutdownGraphics();
        GLB_Shutdown();
        joy_ipt_MenuNew = 0;
        memset(joyinput, 0, sizeof(joyinput));
        memset(keyboard, 0, sizeof(keyboard));
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    int Open(const WindowRole& r)
    {
        int h = r.master ? SWD_InitMasterWindow(r.item) : SWD_InitWindow(r.item);
        EXPECT_GE(h, 0) << r.name;
        SWD_ShowAllWindows();
        SWD_DLG d{};
        SWD_Dialog(&d); // the report of the new window
        return h;
    }

    SWD_DLG Step()
    {
        SWD_DLG d{};
        SWD_Dialog(&d);
        return d;
    }

    SWD_DLG Key(SDL_Scancode sc)
    {
        vt::PushKey(sc, true);
        vt::PushKey(sc, false);
        return Step();
    }

    // Moves the system mouse onto a screen point (the window shows 320x200 at twice the
    // size) and clicks.
    SWD_DLG Click(int x, int y)
    {
        SDL_WarpMouseInWindow(I_GetWindow(), 2 * x + 1, 2 * y + 1);
        vt::Pump();
        EXPECT_EQ(cur_mx, x);
        EXPECT_EQ(cur_my, y);
        vt::PushMouseButton(SDL_BUTTON_LEFT, true);
        vt::PushMouseButton(SDL_BUTTON_LEFT, false);
        return Step();
    }

    static std::string data;
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    uint8_t* pal = nullptr;
};

std::string WindowData::data;

TEST_F(WindowData, EveryWindowHasTheFieldsItsScreenUses)
{
    for (const WindowRole& r : Roles()) {
        int h = Open(r);
        SWIN* w = SWD_GetWindow(h);
        ASSERT_NE(w, nullptr) << r.name;
        for (int b : r.buttons) {
            ASSERT_LT(b, w->numflds) << r.name;
            const SFIELD& f = w->flds[size_t(b)];
            EXPECT_TRUE(f.opt == FLD_BUTTON || f.opt == FLD_INPUT) << r.name << " field " << b;
            EXPECT_GT(f.lx, 0);
            EXPECT_NE(f.fontid, -1) << r.name << " field " << b << " has no font";
        }
        for (int a : r.areas) {
            ASSERT_LT(a, w->numflds) << r.name;
            EXPECT_EQ(w->flds[size_t(a)].opt, FLD_MOUSEVIEW) << r.name << " field " << a;
        }
        // Every text the screens write fits its field's buffer.
        auto room = [&](int field) { return SWD_SetFieldText(h, field, nullptr) - 1; };
        switch (r.item) {
        case ITM_WIN_NEWPILOT:
            EXPECT_EQ(room(1), 19) << "a pilot's name holds 19 characters";
            EXPECT_EQ(room(2), 11) << "a call sign holds 11 characters";
            EXPECT_GE(room(3), 23);
            break;
        case ITM_WIN_HANGAR:
            EXPECT_GE(room(1), 11);
            break;
        case ITM_WIN_LOADING:
            EXPECT_GE(room(9), 13);
            EXPECT_GE(room(10), 12);
            break;
        case ITM_WIN_OPTIONS:
            EXPECT_GE(room(6), 11);
            EXPECT_GE(w->flds[11].lx, 128);
            EXPECT_GE(w->flds[12].lx, 128);
            break;
        case ITM_WIN_ASK:
            EXPECT_GE(room(5), 40);
            break;
        case ITM_WIN_MESSAGE:
            EXPECT_GE(room(5), 31);
            break;
        case ITM_WIN_HELP:
            EXPECT_EQ(w->flds[8].opt, FLD_TEXT);
            EXPECT_NE(w->flds[8].picflag, 0) << "the page is a text item";
            EXPECT_GE(room(9), 9);
            break;
        case ITM_WIN_LOADPILOT:
            EXPECT_GE(room(9), 19);
            EXPECT_GE(room(10), 11);
            EXPECT_GE(room(12), 10);
            break;
        case ITM_WIN_STORE:
            EXPECT_GE(room(1), 11);
            EXPECT_GE(room(8), 18);
            EXPECT_GE(room(9), 7);
            EXPECT_GE(room(10), 10);
            EXPECT_GE(room(12), 6);
            EXPECT_GE(room(13), 3);
            EXPECT_NE(SWD_GetFieldItem(h, 2), -1) << "previous-item button has its picture";
            EXPECT_NE(SWD_GetFieldItem(h, 3), -1) << "next-item button has its picture";
            break;
        default:
            break;
        }
        SWD_DestroyWindow(h);
        EXPECT_EQ(active_window, -1) << r.name;
    }
}

TEST_F(WindowData, ButtonsShowTheirTextAndTheFocus)
{
    for (const WindowRole& r : Roles()) {
        int h = Open(r);
        SWIN* w = SWD_GetWindow(h);
        for (int b : r.buttons) {
            const SFIELD& f = w->flds[size_t(b)];
            if (f.opt != FLD_BUTTON || !f.text[0]) continue;
            int x, y, lx, ly;
            SWD_GetFieldXYL(h, b, &x, &y, &lx, &ly);
            auto ink = [&] {
                int n = 0;
                for (int j = y; j < y + ly; j++)
                    for (int i = x; i < x + lx; i++)
                        n += displaybuffer[j * SCREENWIDTH + i] == f.fontcolor;
                return n;
            };
            EXPECT_GT(ink(), 10) << r.name << " field " << b << " shows no text";
            EXPECT_NE(f.color, f.fontcolor) << r.name << " field " << b;
            // The focus lightens the button but keeps the text on top.
            std::vector<uint8_t> before(displaybuffer, displaybuffer + SCREENSIZE);
            SWD_SetActiveField(h, b);
            Step();
            EXPECT_EQ(f.state, 1) << r.name << " field " << b;
            EXPECT_GT(ink(), 10) << r.name << " field " << b;
            EXPECT_NE(memcmp(before.data(), displaybuffer, SCREENSIZE), 0)
                << r.name << " field " << b << ": the focus is not shown";
        }
        SWD_DestroyWindow(h);
    }
}

TEST_F(WindowData, KeyboardReachesAndPressesEveryButton)
{
    for (const WindowRole& r : Roles()) {
        if (r.buttons.empty()) continue;
        int h = Open(r);
        std::set<int> pressed;
        for (int i = 0; i < 3 * SWD_GetWindow(h)->numflds; i++) {
            SWD_DLG d = Key(SDL_SCANCODE_RETURN);
            EXPECT_EQ(d.cur_act, ACT_FIELD) << r.name;
            EXPECT_EQ(d.cur_cmd, F_SELECT) << r.name;
            pressed.insert(d.field);
            Key(SDL_SCANCODE_TAB);
        }
        for (int b : r.buttons)
            EXPECT_TRUE(pressed.count(b)) << r.name << ": Tab and Enter never pressed " << b;
        SWD_DestroyWindow(h);
    }
}

TEST_F(WindowData, ArrowKeysReachEveryButtonOfTheMenusAndQuestions)
{
    for (const WindowRole& r : Roles()) {
        if (r.buttons.empty()) continue;
        int h = Open(r);
        if (!SWD_GetWindow(h)->arrowkeys) {
            SWD_DestroyWindow(h);
            continue;
        }
        std::set<int> seen = {Step().field};
        for (SDL_Scancode sc : {SDL_SCANCODE_DOWN, SDL_SCANCODE_UP, SDL_SCANCODE_RIGHT})
            for (int i = 0; i < 2 * SWD_GetWindow(h)->numflds; i++)
                seen.insert(Key(sc).field);
        for (int b : r.buttons)
            EXPECT_TRUE(seen.count(b)) << r.name << ": arrows never reach " << b;
        SWD_DestroyWindow(h);
    }
}

TEST_F(WindowData, MouseAlonePressesEveryButtonAndFindsEveryArea)
{
    for (const WindowRole& r : Roles()) {
        int h = Open(r);
        for (int b : r.buttons) {
            int x, y, lx, ly;
            SWD_GetFieldXYL(h, b, &x, &y, &lx, &ly);
            SWD_DLG d = Click(x + lx / 2, y + ly / 2);
            EXPECT_EQ(d.cur_act, ACT_FIELD) << r.name << " field " << b;
            EXPECT_EQ(d.cur_cmd, F_SELECT) << r.name << " field " << b;
            EXPECT_EQ(d.field, b) << r.name;
        }
        for (int a : r.areas) {
            int x, y, lx, ly;
            SWD_GetFieldXYL(h, a, &x, &y, &lx, &ly);
            SWD_DLG d = Click(x + lx / 2, y + ly / 2);
            EXPECT_EQ(d.viewactive, 1) << r.name << " area " << a;
            EXPECT_EQ(d.viewfield, a) << r.name << " area " << a;
        }
        SWD_DestroyWindow(h);
    }
}

TEST_F(WindowData, ControllerAloneReachesAndPressesEveryButton)
{
    joy_ipt_MenuNew = 1;
    // The test's window never has the input focus; the controller must still be heard.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    vt::VirtualPad pad;
    vt::Pump();
    ASSERT_NE(ControllerHandles[0], nullptr);
    // A press of a pad button, let go once the dialog shows a field pressed (it waits for
    // the release) or after a few steps.
    auto tap = [&](SDL_GameControllerButton b) {
        clock.advance(300);
        pad.Press(b);
        int pumps = 0;
        pad.onpump = [&] {
            bool down = false;
            if (SWIN* w = SWD_GetWindow(active_window))
                for (const SFIELD& f : w->flds)
                    down = down || f.state == 2;
            if (down || ++pumps > 50) pad.Release(b);
        };
        SWD_DLG d = Step();
        pad.onpump = nullptr;
        pad.Release(b);
        clock.advance(300);
        Step();
        return d;
    };
    for (const WindowRole& r : Roles()) {
        if (r.buttons.empty()) continue;
        int h = Open(r);
        std::set<int> pressed;
        const bool arrows = SWD_GetWindow(h)->arrowkeys;
        for (int i = 0; i < 2 * SWD_GetWindow(h)->numflds; i++) {
            SWD_DLG d = tap(SDL_CONTROLLER_BUTTON_START);
            EXPECT_EQ(d.cur_cmd, F_SELECT) << r.name;
            pressed.insert(d.field);
            if (arrows) {
                tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
            } else {
                // Screens without arrow focus move it themselves after a press (the new
                // pilot's name leads to the call sign).
                auto it = std::find(r.buttons.begin(), r.buttons.end(), d.field);
                if (it != r.buttons.end() && it + 1 != r.buttons.end())
                    SWD_SetActiveField(h, *(it + 1));
            }
        }
        for (int b : r.buttons)
            EXPECT_TRUE(pressed.count(b)) << r.name << ": the controller never pressed " << b;
        SWD_DestroyWindow(h);
    }
    IPT_CloJoy(1);
}

} // namespace
