// The dialog loop: focus moves by arrows and Tab, hot keys, the first arrow press, text
// entry by keyboard and controller, presses reported on release, the mouse.
#include "input/inputtest.h"
#include "ui/swd_fixture.h"

namespace swdt
{
namespace
{

class DialogTest : public SwdTest
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        KBD_Install();
        // The pointer follows the controller stick, so tests place it themselves.
        control = CONTROL_JOYSTICK;
        joy_ipt_MenuNew = 0;
    }
    void TearDown() override
    {
        joy_ipt_MenuNew = 0;
        memset(joyinput, 0, sizeof(joyinput));
        SwdTest::TearDown();
    }
    void PointAt(int x, int y)
    {
        cur_mx = old_joy_x = x;
        cur_my = old_joy_y = y;
    }
    // Opens window 0 and takes the report of the window change.
    int Open()
    {
        int h = SWD_InitWindow(Win(0));
        EXPECT_EQ(h, 0);
        SWD_DLG d = Step();
        EXPECT_EQ(d.cur_act, ACT_WINDOW);
        EXPECT_EQ(d.cur_cmd, W_NEW);
        return h;
    }
    SFIELD& F(int i) { return SWD_GetWindow(active_window)->flds[size_t(i)]; }
};

FieldSpec Button(int id, int x, int y)
{
    FieldSpec f;
    f.id = id;
    f.x = x;
    f.y = y;
    return f;
}

// Five fields: 0 at the top, 1 and 2 the same distance below it (30 down, 30 across),
// 3 lowest, 4 a label that cannot take the focus but has the hot key A.
WinSpec Grid()
{
    WinSpec w;
    w.firstfld = 0;
    FieldSpec label = Button(9, 50, 20);
    label.opt = FLD_TEXT;
    label.select = 0;
    label.hotkey = 30;
    w.f = {Button(0, 50, 10), Button(1, 20, 40), Button(2, 80, 40), Button(3, 50, 80), label};
    return w;
}

TEST_F(DialogTest, ArrowsMoveToTheNearestFieldWithTiesToTheEarlierRecord)
{
    Build({MakeWindow(Grid())});
    Open();
    SWD_DLG d = Step(SC_DOWN);
    EXPECT_EQ(d.cur_act, ACT_FIELD);
    EXPECT_EQ(d.cur_cmd, F_DOWN);
    EXPECT_EQ(d.field, 1) << "1 and 2 are both 60 away";
    EXPECT_EQ(Step(SC_DOWN).field, 3);
    EXPECT_EQ(Step(SC_DOWN).field, 0) << "nothing below: back to the first field";
    EXPECT_EQ(Step(SC_UP).field, 3) << "nothing above: the last focusable field";
    EXPECT_EQ(Step(SC_UP).field, 0) << "0, 1 and 2 are all 70 above 3";
    EXPECT_EQ(Step(SC_RIGHT).field, 1);
    EXPECT_EQ(Step(SC_RIGHT).field, 2);
    EXPECT_EQ(Step(SC_LEFT).field, 1);
}

TEST_F(DialogTest, TabFollowsTheOrderNumbersAndWraps)
{
    Build({MakeWindow(Grid())});
    Open();
    EXPECT_EQ(Step(15).field, 1);
    EXPECT_EQ(Step(15).field, 2);
    EXPECT_EQ(Step(15).field, 3);
    EXPECT_EQ(Step(15).field, 0) << "after the highest number: the first field";
    keyboard[SC_LSHIFT] = 1;
    SWD_DLG d = Step(15);
    EXPECT_EQ(d.cur_cmd, F_PREV);
    EXPECT_EQ(d.field, 3) << "before the lowest number: the last focusable field";
    EXPECT_EQ(Step(15).field, 2);
}

TEST_F(DialogTest, ArrowsOnlyReportedInWindowsWithoutArrowKeys)
{
    WinSpec w = Grid();
    w.arrowkeys = 0;
    Build({MakeWindow(w)});
    Open();
    SWD_DLG d = Step(SC_DOWN);
    EXPECT_EQ(d.cur_act, ACT_NONE);
    EXPECT_EQ(d.keypress, SC_DOWN);
    EXPECT_EQ(d.field, 0);
}

TEST_F(DialogTest, FirstArrowOnlyShowsTheHighlight)
{
    usekb_flag = 0; // pointer-style: buttons show no focus until a key is used
    Build({MakeWindow(Grid())});
    usekb_flag = 0;
    Open();
    EXPECT_EQ(F(0).state, 0);
    SWD_DLG d = Step(SC_DOWN);
    EXPECT_EQ(d.cur_cmd, F_TOP);
    EXPECT_EQ(d.field, 0);
    Step();
    EXPECT_EQ(F(0).state, 1) << "the highlight appears at the next step";
    EXPECT_EQ(Step(SC_DOWN).field, 1);
    Step();
    EXPECT_EQ(F(0).state, 0);
    EXPECT_EQ(F(1).state, 1);
}

TEST_F(DialogTest, HotKeysPressFieldsThatCannotTakeTheFocus)
{
    Build({MakeWindow(Grid())});
    Open();
    SWD_DLG d = Step(30, 'a');
    EXPECT_EQ(d.cur_act, ACT_FIELD);
    EXPECT_EQ(d.cur_cmd, F_SELECT);
    EXPECT_EQ(d.field, 4);
    EXPECT_EQ(F(4).mark, 1) << "every press flips the mark";
    // Keys do nothing while the active field has no handler (the label).
    EXPECT_EQ(Step(30).cur_act, ACT_NONE);
}

TEST_F(DialogTest, EnterPressesTheFieldWithTheFocus)
{
    Build({MakeWindow(Grid())});
    Open();
    Step(SC_DOWN);
    SWD_DLG d = Step(SC_ENTER);
    EXPECT_EQ(d.cur_cmd, F_SELECT);
    EXPECT_EQ(d.field, 1);
    EXPECT_EQ(d.x, 20);
    EXPECT_EQ(d.y, 40);
    EXPECT_EQ(d.width, 20);
    EXPECT_EQ(d.height, 10);
    EXPECT_EQ(d.id, 7);
    EXPECT_EQ(d.type, 3);
}

TEST_F(DialogTest, StoreStyleWindowsReadKeysThemselves)
{
    Build({MakeWindow(Grid())});
    Open();
    g_button_flag = 0;
    EXPECT_EQ(Step(SC_ENTER).cur_act, ACT_NONE);
    EXPECT_EQ(Step(SC_DOWN).field, 0);
    g_button_flag = 1;
}

// Held input is let go after a few pumps of the event queue; what the field showed while
// it was held is recorded.
struct Holder {
    vt::VirtualPad pad;
    int pumps = 0;
    int seen = -1;
    void Hold(int* flag, SFIELD* f)
    {
        *flag = 1;
        pad.onpump = [this, flag, f] {
            if (++pumps == 3) {
                seen = f->state;
                *flag = 0;
            }
        };
    }
};

TEST_F(DialogTest, PressesAreReportedOnRelease)
{
    Build({MakeWindow(Grid())});
    Open();
    Holder h;
    h.Hold(&keyboard[SC_ENTER], &F(0));
    SWD_DLG d = Step(SC_ENTER);
    EXPECT_GE(h.pumps, 3) << "the step waited for the release";
    EXPECT_EQ(h.seen, 2) << "drawn pressed while held";
    EXPECT_EQ(d.cur_cmd, F_SELECT);
    EXPECT_EQ(F(0).state, 1) << "highlighted again after the release";
}

TEST_F(DialogTest, MousePressesTheFieldUnderThePointer)
{
    WinSpec w = Grid();
    // A drag bar that cannot be selected lies over field 3; the mouse goes through it.
    FieldSpec bar = Button(8, 40, 75);
    bar.opt = FLD_DRAGBAR;
    bar.select = 0;
    bar.lx = 60;
    bar.ly = 30;
    w.f.insert(w.f.begin() + 3, bar);
    Build({MakeWindow(w)});
    Open();
    PointAt(40 + 50 + 5, 30 + 80 + 5); // inside field 3 (now record 4) and the bar
    Holder h;
    h.Hold(&mouseb1, &F(4));
    SWD_DLG d = Step();
    EXPECT_EQ(h.seen, 2);
    EXPECT_EQ(d.cur_act, ACT_FIELD);
    EXPECT_EQ(d.cur_cmd, F_SELECT);
    EXPECT_EQ(d.field, 4);
    // The right and bottom edges reach one pixel past the field.
    PointAt(40 + 50 + 21, 30 + 10 + 11);
    mouse_b1_ack = 1; // a click shorter than a step
    d = Step();
    EXPECT_EQ(d.field, 0);
    EXPECT_EQ(d.cur_cmd, F_SELECT);
    PointAt(40 + 50 + 22, 30 + 10);
    mouse_b1_ack = 1;
    EXPECT_EQ(Step().cur_act, ACT_NONE);
}

TEST_F(DialogTest, ViewAreasReportThePointer)
{
    WinSpec w = Grid();
    FieldSpec view = Button(20, 100, 60);
    view.opt = FLD_MOUSEVIEW;
    view.lx = 30;
    view.ly = 15;
    w.f.push_back(view);
    Build({MakeWindow(w)});
    Open();
    PointAt(40 + 110, 30 + 70);
    SWD_DLG d = Step();
    EXPECT_EQ(d.viewactive, 1);
    EXPECT_EQ(d.viewfield, 5);
    EXPECT_EQ(d.view_x, 100);
    EXPECT_EQ(d.view_y, 60);
    mouse_b1_ack = 1;
    d = Step();
    EXPECT_EQ(d.cur_cmd, F_MOUSEVIEW);
    EXPECT_EQ(d.field, 0) << "the focus stays";
    PointAt(10, 10);
    EXPECT_EQ(Step().viewactive, 0);
}

// ---- text entry ---------------------------------------------------------------------------

WinSpec Entry(int maxchars, int lx, int input_opt = INPUT_ANY)
{
    WinSpec w;
    w.firstfld = 0;
    FieldSpec f;
    f.opt = FLD_INPUT;
    f.maxchars = maxchars;
    f.lx = lx;
    f.input_opt = input_opt;
    w.f = {f, Button(1, 0, 30)};
    return w;
}

std::string Text()
{
    char t[64];
    SWD_GetFieldText(active_window, 0, t, sizeof(t));
    return t;
}

TEST_F(DialogTest, TextEntryHoldsOneCharacterLessThanItsBuffer)
{
    Build({MakeWindow(Entry(9, 200, INPUT_UPPER))});
    Open();
    for (char c : std::string("abcdefghij")) {
        SWD_DLG d = Step(30, c); // the scan code does not matter, the character does
        EXPECT_EQ(d.cur_act, ACT_SHOW);
    }
    EXPECT_EQ(Text(), "ABCDEFGH");
}

TEST_F(DialogTest, TextEntryStopsAtTheFieldsWidth)
{
    Build({MakeWindow(Entry(20, 30))});
    Open();
    for (char c : std::string("ABCDEFG"))
        Step(30, c);
    EXPECT_EQ(Text(), "ABCD") << "five characters are 30 pixels: as wide as the field";
}

TEST_F(DialogTest, TextEntryFiltersAndEditing)
{
    Build({MakeWindow(Entry(12, 200, INPUT_DIGITS))});
    Open();
    for (char c : std::string("a1-x2 "))
        Step(30, c);
    EXPECT_EQ(Text(), "1-2");
    Step(SC_BACKSPACE);
    EXPECT_EQ(Text(), "1-");
    keyboard[SC_CTRL] = 1;
    Step(48, 'b'); // Ctrl with another key types nothing
    EXPECT_EQ(Text(), "1-");
    SWD_DLG d = Step(21, 'y');
    EXPECT_EQ(d.cur_act, ACT_SHOW);
    EXPECT_EQ(Text(), "");
    keyboard[SC_CTRL] = 0;
    // Backspace on an empty text leaves it empty.
    Step(SC_BACKSPACE);
    Step(SC_BACKSPACE);
    EXPECT_EQ(Text(), "");
    Step(30, '7');
    EXPECT_EQ(Text(), "7");
    // Tab still leaves the entry.
    EXPECT_EQ(Step(15).field, 1);
}

TEST_F(DialogTest, ControllerTypesByCycling)
{
    WinSpec w = Entry(4, 200);
    w.arrowkeys = 0; // else the stick would also move the focus
    Build({MakeWindow(w)});
    joy_ipt_MenuNew = 1;
    Open();
    auto stick = [this](int dir) {
        clock.advance(300); // past the controller's repeat delay
        joyinput[0][JOY_LEFTY] = dir;
        SWD_DLG d = Step();
        joyinput[0][JOY_LEFTY] = 0;
        return d;
    };
    auto button = [this](int b) {
        joyinput[0][b] = 1;
        Step();
        joyinput[0][b] = 0;
        clock.advance(300);
        Step();
    };
    stick(1);
    EXPECT_EQ(Text(), "A");
    stick(-1);
    EXPECT_EQ(Text(), "B");
    button(JOY_A); // accept: the next step starts a new character
    stick(1);
    EXPECT_EQ(Text(), "BA");
    button(JOY_Y);
    EXPECT_EQ(Text(), "BA ");
    button(JOY_X);
    button(JOY_X);
    button(JOY_X);
    EXPECT_EQ(Text(), "");
    button(JOY_X); // deleting from an empty text
    EXPECT_EQ(Text(), "");
    // A step of the cycle on an empty text starts a new character.
    stick(1);
    EXPECT_EQ(Text(), "A");
    // Cycling wraps between 0 and Z.
    SWD_SetFieldText(active_window, 0, "0");
    stick(1);
    EXPECT_EQ(Text(), "Z");
    stick(-1);
    EXPECT_EQ(Text(), "0");
    // A full buffer makes room for the next character.
    SWD_SetFieldText(active_window, 0, "XYZ");
    button(JOY_A);
    stick(1);
    EXPECT_EQ(Text(), "XYA");
}

// ---- windows ------------------------------------------------------------------------------

TEST_F(DialogTest, AltTabSwitchesToTheNextShownWindowUnlessLocked)
{
    Build({MakeWindow(Grid())});
    ASSERT_EQ(SWD_InitWindow(Win(0)), 0);
    ASSERT_EQ(SWD_InitWindow(Win(0)), 1);
    Step();
    keyboard[SC_ALT] = 1;
    SWD_DLG d = Step(15);
    EXPECT_EQ(d.cur_act, ACT_WINDOW);
    EXPECT_EQ(d.cur_cmd, W_NEXT);
    EXPECT_EQ(active_window, 0);
    EXPECT_EQ(Step(15).cur_cmd, W_NEW) << "the next step reports the change";
    SWD_SetWindowLock(0, 1);
    Step(15);
    EXPECT_EQ(active_window, 0);
    keyboard[SC_ALT] = 0;
}

TEST_F(DialogTest, DragBarsMoveTheWindowWhileTheButtonIsHeld)
{
    WinSpec w = Grid();
    FieldSpec bar = Button(8, 0, 0);
    bar.opt = FLD_DRAGBAR;
    bar.lx = 200;
    bar.ly = 8;
    w.f.push_back(bar);
    Build({MakeWindow(w)});
    SWD_End();
    SWD_Install(1); // with the copy of the screen that dragging needs
    Open();
    PointAt(40 + 50, 30 + 4);
    vt::VirtualPad pad;
    int pumps = 0;
    mouseb1 = 1;
    pad.onpump = [&] {
        pumps++;
        if (pumps == 5) PointAt(40 + 50 + 30, 30 + 4 + 20);
        if (pumps == 10) mouseb1 = 0;
    };
    SWD_DLG d = Step();
    EXPECT_EQ(d.cur_act, ACT_WINDOW);
    EXPECT_EQ(d.cur_cmd, W_MOVE);
    int x = 0, y = 0;
    SWD_GetWindowXYL(0, &x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(F(5).state, 0);
}

TEST_F(DialogTest, HidingTheActiveWindowActivatesTheOneBelow)
{
    Build({MakeWindow(Grid())});
    ASSERT_EQ(SWD_InitWindow(Win(0)), 0);
    ASSERT_EQ(SWD_InitWindow(Win(0)), 1);
    SWD_SetWindowID(1, 44);
    EXPECT_EQ(SWD_SetWindowFlag(1, 0), 44);
    EXPECT_EQ(active_window, 0);
    EXPECT_EQ(SWD_FindWindow(100, 100), 0);
    EXPECT_EQ(SWD_FindWindow(40, 100), -1) << "the edge is outside";
}

} // namespace
} // namespace swdt
