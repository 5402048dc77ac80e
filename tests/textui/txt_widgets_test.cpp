// The widget toolkit driven as a user drives it: SDL events pushed while the main loop
// runs, with the screen read back between steps.
#include <gtest/gtest.h>

#include <cstring>

#include "testutil/testutil.h"
#include "textui/txt_script.h"
#include "textui/txt_toolkit.h"

namespace
{

class TxtWidgetsTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(TXT_Init(0), 1); }
    void TearDown() override
    {
        TXT_CloseAllWindows();
        TXT_Shutdown();
        SDL_Quit();
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    vt::TxtScript script;
};

void Count(TXT_WIDGET*, void* counter)
{
    ++*static_cast<int*>(counter);
}

void CloseWindowOf(TXT_WIDGET*, void* window)
{
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

TEST_F(TxtWidgetsTest, ArrowsMoveBetweenSelectableWidgetsAndEnterPresses)
{
    int pressed[3] = {};
    TXT_WINDOW* w = TXT_NewWindow("Menu");
    TXT_AddWidgets(w, TXT_NewButton2("First", Count, &pressed[0]), TXT_NewLabel("a label"),
                   TXT_NewSeparator("Group"), TXT_NewButton2("Second", Count, &pressed[1]),
                   TXT_NewButton2("Third", Count, &pressed[2]));
    // Down skips the label and separator; Down past the end stays; Up past the top stays;
    // Tab past the end comes round to the first.
    script.Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN})
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_SPACE})
        .Keys({SDL_SCANCODE_UP, SDL_SCANCODE_UP, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN})
        .Keys({SDL_SCANCODE_TAB, SDL_SCANCODE_TAB, SDL_SCANCODE_TAB, SDL_SCANCODE_RETURN})
        .Then([&] {
            EXPECT_EQ(pressed[0], 2);
            EXPECT_EQ(pressed[1], 1);
            EXPECT_EQ(pressed[2], 1);
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
    EXPECT_EQ(TXT_WindowCount(), 0);
}

TEST_F(TxtWidgetsTest, FocusedButtonIsHighlightedAndItsHelpShown)
{
    TXT_WINDOW* w = TXT_NewWindow("Menu");
    TXT_BUTTON* a = TXT_NewButton("Alpha");
    TXT_BUTTON* b = TXT_NewButton("Beta");
    TXT_SetWidgetHelp(b, " Help for beta");
    TXT_AddWidgets(w, a, b);
    TXT_SelectWidget(w, b);
    TXT_DrawDesktop();
    int x, y;
    ASSERT_TRUE(vt::FindOnScreen("Beta", &x, &y));
    EXPECT_EQ(vt::AttrAt(x, y), TXT_ATTR_FOCUS);
    ASSERT_TRUE(vt::FindOnScreen("Alpha", &x, &y));
    EXPECT_NE(vt::AttrAt(x, y), TXT_ATTR_FOCUS);
    EXPECT_EQ(vt::ScreenRow(TXT_SCREEN_H - 1).rfind(" Help for beta", 0), 0u)
        << vt::ScreenRow(TXT_SCREEN_H - 1);

    // A window opened on top takes the focus: nothing below shows as focused.
    TXT_WINDOW* top = TXT_NewWindow("Top");
    TXT_SetWindowPosition(top, TXT_HORIZ_LEFT, TXT_VERT_TOP, 0, 1);
    TXT_AddWidget(top, TXT_NewButton("Gamma"));
    TXT_DrawDesktop();
    ASSERT_TRUE(vt::FindOnScreen("Beta", &x, &y));
    EXPECT_NE(vt::AttrAt(x, y), TXT_ATTR_FOCUS);
    EXPECT_FALSE(b->focused);
    TXT_CloseWindow(top);
    TXT_FreeClosedWindows();
    EXPECT_TRUE(b->focused);
}

TEST_F(TxtWidgetsTest, ActionsRunByKeyAndByClickAndAWindowMayCloseItself)
{
    int accepted = 0, closed = 0;
    TXT_WINDOW* w = TXT_NewWindow("Actions");
    TXT_AddWidget(w, TXT_NewButton("Button"));
    TXT_WINDOW_ACTION* ok = TXT_NewWindowAction(KEY_F10, "Accept");
    TXT_SignalConnect(ok, "pressed", Count, &accepted);
    TXT_SetWindowAction(w, TXT_HORIZ_RIGHT, ok);
    TXT_SetWindowAction(w, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(w));
    TXT_SignalConnect(w, "closed", Count, &closed);
    script.Keys({SDL_SCANCODE_F10})
        .ClickOn("F10=Accept")
        .Then([&] {
            EXPECT_EQ(accepted, 2);
            EXPECT_TRUE(vt::ScreenHas("ESC=Abort"));
        })
        .Keys({SDL_SCANCODE_ESCAPE});
    TXT_GUIMainLoop();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(TXT_WindowIsOpen(w));
}

TEST_F(TxtWidgetsTest, ClosingAWindowFromItsOwnButtonIsSafe)
{
    // The button's callback frees nothing under the toolkit's feet: the window goes away
    // only after the event is handled (the sanitizer build checks the memory).
    TXT_WINDOW* w = TXT_NewWindow("Self");
    TXT_AddWidget(w, TXT_NewButton2("Close me", CloseWindowOf, w));
    script.Keys({SDL_SCANCODE_RETURN});
    TXT_GUIMainLoop();
    EXPECT_EQ(TXT_WindowCount(), 0);
}

TEST_F(TxtWidgetsTest, TablesKeepColumnsAndLetWidgetsSpanThem)
{
    TXT_WINDOW* w = TXT_NewWindow("Table");
    TXT_InitTable(w, 2);
    TXT_BUTTON* left = TXT_NewButton("L");
    TXT_BUTTON* right = TXT_NewButton("R");
    TXT_AddWidgets(w, TXT_NewSeparator("A wide group title"), TXT_TABLE_OVERFLOW_RIGHT,
                   TXT_NewLabel("Long label text"), left, TXT_NewLabel("x"), right);
    TXT_LayoutWindow(w);
    EXPECT_EQ(left->x, right->x) << "one column, one left edge";
    EXPECT_EQ(left->y + 1, right->y);
    EXPECT_GE(w->w, static_cast<int>(strlen("A wide group title")) + 4);

    // Right from the label column has nothing selectable; Down goes to the next row.
    EXPECT_EQ(TXT_GetSelectedWidget(w), left);
    TXT_WindowInput(w, KEY_DOWNARROW);
    EXPECT_EQ(TXT_GetSelectedWidget(w), right);
    TXT_WindowInput(w, KEY_LEFTARROW);
    EXPECT_EQ(TXT_GetSelectedWidget(w), right);
}

TEST_F(TxtWidgetsTest, ConditionalWidgetsComeAndGoWithTheirSetting)
{
    int on = 0, value = 7;
    TXT_WINDOW* w = TXT_NewWindow("Cond");
    TXT_CHECKBOX* box = TXT_NewCheckBox("Show more", &on);
    TXT_INPUTBOX* more = TXT_NewIntInputBox(&value, 3);
    TXT_BUTTON* last = TXT_NewButton("Last");
    TXT_AddWidgets(w, box,
                   TXT_NewConditional(&on, 1, TXT_NewHorizBox(TXT_NewLabel("More: "), more)), last);
    TXT_LayoutWindow(w);
    int hidden_h = w->h;
    EXPECT_EQ(last->y, box->y + 1) << "a hidden row takes no room";
    TXT_WindowInput(w, KEY_DOWNARROW);
    EXPECT_EQ(TXT_GetSelectedWidget(w), last) << "a hidden widget cannot take the focus";

    TXT_WindowInput(w, KEY_UPARROW);
    TXT_WindowInput(w, KEY_ENTER); // ticks the box
    EXPECT_EQ(on, 1);
    TXT_LayoutWindow(w);
    EXPECT_EQ(w->h, hidden_h + 1);
    TXT_WindowInput(w, KEY_DOWNARROW);
    EXPECT_EQ(TXT_GetSelectedWidget(w), more);

    // Hiding the row under the focus moves the focus away from it.
    on = 0;
    TXT_LayoutWindow(w);
    EXPECT_NE(TXT_GetSelectedWidget(w), more);
    EXPECT_FALSE(more->focused);
}

TEST_F(TxtWidgetsTest, CheckBoxesToggleByKeyAndClick)
{
    int flag = 0, changes = 0;
    TXT_WINDOW* w = TXT_NewWindow("Check");
    TXT_CHECKBOX* box = TXT_NewCheckBox("Fullscreen", &flag);
    TXT_SignalConnect(box, "changed", Count, &changes);
    TXT_AddWidget(w, box);
    script.Keys({SDL_SCANCODE_SPACE})
        .Then([&] {
            EXPECT_EQ(flag, 1);
            EXPECT_TRUE(vt::ScreenHas("[X] Fullscreen"));
        })
        .ClickOn("Fullscreen")
        .Then([&] {
            EXPECT_EQ(flag, 0);
            EXPECT_EQ(changes, 2);
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
}

TEST_F(TxtWidgetsTest, IntegerBoxTakesDigitsOnlyUpToItsSize)
{
    int value = 128;
    TXT_WINDOW* w = TXT_NewWindow("Int");
    TXT_INPUTBOX* box = TXT_NewIntInputBox(&value, 3);
    TXT_AddWidgets(w, box, TXT_NewButton("Next"));
    script
        .Keys({SDL_SCANCODE_RETURN}) // the first digit typed replaces the number
        .Then([] { vt::PushText("5x"); })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([&] {
            EXPECT_EQ(value, 5) << "x is no digit";
            EXPECT_FALSE(box->editing);
        })
        .Keys({SDL_SCANCODE_4}) // typing a digit starts a new number too
        .Then([] { vt::PushText("2"); })
        .Then([&] { EXPECT_EQ(box->buffer, "42"); })
        .Keys({SDL_SCANCODE_ESCAPE})
        .Then([&] {
            EXPECT_EQ(value, 5) << "Escape drops the edit";
            EXPECT_NE(TXT_TopWindow(), nullptr) << "and does not close the window";
        })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_END}) // a moved cursor edits in place
        .Then([] { vt::PushText("123"); })
        .Keys({SDL_SCANCODE_DOWN}) // moving on keeps the edit
        .Then([&] {
            EXPECT_EQ(value, 512) << "three digits at most";
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
}

TEST_F(TxtWidgetsTest, TextBoxEditsInPlaceWithinItsLimit)
{
    char buf[12] = "Sound.sf2";
    TXT_WINDOW* w = TXT_NewWindow("Text");
    TXT_INPUTBOX* box = TXT_NewInputBox(buf, sizeof(buf), 6);
    TXT_AddWidget(w, box);
    script.Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_HOME})
        .Then([] { vt::PushText("My"); })
        .Keys({SDL_SCANCODE_END, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_BACKSPACE,
               SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_BACKSPACE})
        .Then([] { vt::PushText("bankXYZ"); }) // only room for 11 characters
        .Keys({SDL_SCANCODE_RETURN})
        .Then([&] {
            EXPECT_STREQ(buf, "MySoundbank");
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
}

TEST_F(TxtWidgetsTest, KeyCaptureTakesTheNextAcceptedKey)
{
    int key = KEY_UPARROW, changes = 0;
    TXT_WINDOW* w = TXT_NewWindow("Keys");
    TXT_CAPTURE* capture = TXT_NewKeyInput(&key);
    TXT_SetCaptureFilter(capture, [](int k) { return k != 'z'; });
    TXT_SignalConnect(capture, "changed", Count, &changes);
    TXT_AddWidget(w, capture);
    script.Then([] { EXPECT_TRUE(vt::ScreenHas("UP")); })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Press the new key")); })
        .Keys({SDL_SCANCODE_Z}) // refused by the filter: still waiting
        .Keys({SDL_SCANCODE_LCTRL})
        .Then([&] {
            EXPECT_EQ(key, KEY_RCTRL);
            EXPECT_EQ(changes, 1);
            EXPECT_TRUE(vt::ScreenHas("CTRL"));
        })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE}) // a cancelled prompt changes nothing
        .Then([&] {
            EXPECT_EQ(key, KEY_RCTRL);
            EXPECT_EQ(TXT_WindowCount(), 1);
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
}

TEST_F(TxtWidgetsTest, MouseCaptureTakesAnyButtonAndNamesIt)
{
    int button = 0;
    TXT_WINDOW* w = TXT_NewWindow("Mouse");
    TXT_AddWidget(w, TXT_NewMouseInput(&button));
    script.Then([] { EXPECT_TRUE(vt::ScreenHas("LEFT BUTTON")); })
        .ClickOn("LEFT BUTTON") // clicking opens the prompt; the click itself is no answer
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Press the new mouse button"));
            vt::PushMouseButton(SDL_BUTTON_RIGHT, 0, 0);
        })
        .Then([&] {
            EXPECT_EQ(button, 1);
            EXPECT_TRUE(vt::ScreenHas("RIGHT BUTTON"));
        })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { vt::PushMouseButton(SDL_BUTTON_X2, 0, 0); })
        .Then([&] {
            EXPECT_EQ(button, 4);
            EXPECT_TRUE(vt::ScreenHas("BUTTON 5"));
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
    char name[16];
    EXPECT_STREQ(TXT_MouseButtonName(2, name, sizeof(name)), "MID BUTTON");
}

TEST_F(TxtWidgetsTest, ControllerPromptNeedsAController)
{
    int button = 0;
    TXT_WINDOW* w = TXT_NewWindow("Pad");
    TXT_AddWidget(w, TXT_NewJoystickInput(&button));
    ASSERT_EQ(TXT_ControllerCount(), 0);
    script.Then([] { EXPECT_TRUE(vt::ScreenHas("BUTTON 1")); })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Please connect a controller first!"));
            EXPECT_FALSE(vt::ScreenHas("Press the new button"));
        })
        .Keys({SDL_SCANCODE_ESCAPE}) // closes the message
        .Then([&] {
            EXPECT_EQ(TXT_TopWindow(), w);
            TXT_CloseWindow(w);
        });
    TXT_GUIMainLoop();
}

TEST_F(TxtWidgetsTest, ControllerButtonsMoveAroundWindows)
{
    int pressed = 0;
    TXT_WINDOW* w = TXT_NewWindow("Pad");
    TXT_AddWidgets(w, TXT_NewButton("One"), TXT_NewButton2("Two", Count, &pressed));
    TXT_SetWindowAction(w, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(w));
    script
        .Then([] {
            vt::PushControllerButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
            vt::PushControllerButton(SDL_CONTROLLER_BUTTON_A);
        })
        .Then([&] {
            EXPECT_EQ(pressed, 1);
            vt::PushControllerButton(SDL_CONTROLLER_BUTTON_B);
        });
    TXT_GUIMainLoop();
    EXPECT_FALSE(TXT_WindowIsOpen(w));
}

TEST_F(TxtWidgetsTest, MessageBoxShowsEveryLineAndClosesOnEnter)
{
    TXT_MessageBox("Error", "First line!\nSecond line?");
    script
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Error"));
            EXPECT_TRUE(vt::ScreenHas("First line!"));
            EXPECT_TRUE(vt::ScreenHas("Second line?"));
        })
        .Keys({SDL_SCANCODE_RETURN});
    TXT_GUIMainLoop();
    EXPECT_EQ(TXT_WindowCount(), 0);
}

TEST_F(TxtWidgetsTest, ClosingTheToolkitWindowEndsTheLoop)
{
    TXT_NewWindow("Any");
    TXT_SetQuitRequested(false);
    script.Then([] { vt::PushQuit(); });
    TXT_GUIMainLoop();
    EXPECT_TRUE(TXT_QuitRequested());
}

TEST_F(TxtWidgetsTest, WindowsStayOnScreenWhereverTheyArePlaced)
{
    TXT_WINDOW* w = TXT_NewWindow("Placed");
    TXT_AddWidget(w, TXT_NewLabel("A label of a good length, to be placed"));
    for (auto [h, v, x, y] : {std::tuple{TXT_HORIZ_LEFT, TXT_VERT_TOP, -20, -5},
                              {TXT_HORIZ_RIGHT, TXT_VERT_BOTTOM, 200, 100},
                              {TXT_HORIZ_CENTER, TXT_VERT_TOP, 40, 2}}) {
        TXT_SetWindowPosition(w, h, v, x, y);
        TXT_LayoutWindow(w);
        EXPECT_GE(w->frame_x, 0);
        EXPECT_GE(w->frame_y, 1) << "the title bar stays clear";
        EXPECT_LE(w->frame_x + w->frame_w + 2, TXT_SCREEN_W) << "shadow included";
        EXPECT_LE(w->frame_y + w->frame_h + 1, TXT_SCREEN_H - 1) << "the help line stays clear";
    }
    EXPECT_EQ(w->frame_x + w->frame_w / 2, 40) << "centred on the column asked for";
    EXPECT_EQ(w->frame_y, 2);
}

} // namespace
