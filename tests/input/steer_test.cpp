// Steering the ship and the action latches, from each device through the event pump.
#include <memory>
#include <vector>

#include "game/demo.h"
#include "game/game.h"
#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

class SteerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        IPT_CloJoy(1);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        IPT_LoadPrefs();
        KBD_Clear();
        control = CONTROL_KEYBOARD;
        demo_mode = 0;
        startendwave = -1;
        touchmode = 0;
        mouseb1 = mouseb2 = mouseb3 = 0;
        PlaceShip(144, 100);
        ClearButtons();
    }
    void TearDown() override
    {
        ipt_start = 0;
        IPT_CloJoy(1);
        pad.reset();
        vt::Pump();
    }

    // Puts the ship somewhere at rest and level, with no step in hand.
    void PlaceShip(int x, int y)
    {
        playerx = x;
        playery = y;
        control_pause = 1;
        IPT_FMovePlayer(0, 0); // settles the banking's idea of the last position
        control_pause = 0;
        g_addx = g_addy = 0;
        playerpic = playerbasepic;
    }

    static void ClearButtons()
    {
        for (int& b : buttons)
            b = 0;
    }

    // Runs n frames of steering and returns the horizontal steps taken.
    static std::vector<int> FramesX(int n)
    {
        std::vector<int> steps;
        for (int i = 0; i < n; i++) {
            vt::Pump();
            IPT_MovePlayer();
            steps.push_back(g_addx);
        }
        return steps;
    }
    static std::vector<int> FramesY(int n)
    {
        std::vector<int> steps;
        for (int i = 0; i < n; i++) {
            vt::Pump();
            IPT_MovePlayer();
            steps.push_back(g_addy);
        }
        return steps;
    }

    vt::TempHome home; // the pump may write (screenshots): never into the real home
    vt::FakeClock clock{1000, 1};
    std::unique_ptr<vt::VirtualPad> pad;
};

using Steps = std::vector<int>;

TEST_F(SteerTest, KeysAccelerateReverseAtTwoAndHalveTheStepOnRelease)
{
    vt::PushKey(SDL_SCANCODE_LEFT, true);
    EXPECT_EQ(FramesX(11), (Steps{-2, -3, -4, -5, -6, -7, -8, -9, -10, -10, -10}));

    vt::PushKey(SDL_SCANCODE_LEFT, false);
    EXPECT_EQ(FramesX(5), (Steps{-5, -2, -1, 0, 0}));

    // A reversal starts again at two instead of slowing down through zero.
    PlaceShip(144, 100);
    g_addx = -6;
    vt::PushKey(SDL_SCANCODE_RIGHT, true);
    EXPECT_EQ(FramesX(3), (Steps{2, 3, 4}));
    vt::PushKey(SDL_SCANCODE_RIGHT, false);
    g_addx = 10;
    EXPECT_EQ(FramesX(5), (Steps{5, 2, 1, 0, 0}));

    // Up and down top out at eight.
    vt::PushKey(SDL_SCANCODE_DOWN, true);
    PlaceShip(144, 0);
    EXPECT_EQ(FramesY(9), (Steps{2, 3, 4, 5, 6, 7, 8, 8, 8}));
    vt::PushKey(SDL_SCANCODE_DOWN, false);
    vt::PushKey(SDL_SCANCODE_UP, true);
    EXPECT_EQ(FramesY(2), (Steps{-2, -3}));
    vt::PushKey(SDL_SCANCODE_UP, false);
}

TEST_F(SteerTest, LeftBeatsRightAndUpBeatsDown)
{
    for (SDL_Scancode sc :
         {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN})
        vt::PushKey(sc, true);
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(g_addx, -2);
    EXPECT_EQ(g_addy, -2);
}

TEST_F(SteerTest, RedefinedKeysSteer)
{
    k_Left = 30; // A
    vt::PushKey(SDL_SCANCODE_LEFT, true);
    vt::PushKey(SDL_SCANCODE_A, true);
    EXPECT_EQ(FramesX(2), (Steps{-2, -3}));
    vt::PushKey(SDL_SCANCODE_A, false);
    EXPECT_EQ(FramesX(1), (Steps{-1}));
}

TEST_F(SteerTest, TheShipStaysOnTheFieldUnlessTheWaveIsEnding)
{
    PlaceShip(8, 3);
    g_addx = -10;
    g_addy = -8;
    control_pause = 1;
    IPT_MovePlayer();
    EXPECT_EQ(playerx, 5);
    EXPECT_EQ(playery, 0);
    EXPECT_EQ(g_addx, 0);
    EXPECT_EQ(g_addy, 0);
    EXPECT_EQ(player_cx, 21);
    EXPECT_EQ(player_cy, 16);

    IPT_FMovePlayer(10, 8);
    IPT_FMovePlayer(400, 400);
    EXPECT_EQ(playerx, 282);
    EXPECT_EQ(playery, 160);

    // Flying out at the end of a wave: nothing holds the ship back.
    startendwave = 30;
    PlaceShip(150, 2);
    control_pause = 1;
    for (int i = 0; i < 3; i++)
        IPT_FMovePlayer(0, -4);
    EXPECT_EQ(playery, -10);
    EXPECT_EQ(g_addy, -4);
}

TEST_F(SteerTest, PausedControlTakesTheForcedStepAndOtherwiseTheDeviceWins)
{
    vt::PushKey(SDL_SCANCODE_LEFT, true);
    vt::Pump();
    control_pause = 1;
    IPT_FMovePlayer(8, -4);
    EXPECT_EQ(playerx, 152);
    EXPECT_EQ(playery, 96);

    control_pause = 0;
    IPT_FMovePlayer(8, -4);
    EXPECT_EQ(g_addx, -2); // the held key's step replaced the forced one
    EXPECT_EQ(playerx, 150);
}

TEST_F(SteerTest, DemoPlaybackLeavesTheShipToTheDemo)
{
    demo_mode = 2;
    vt::PushKey(SDL_SCANCODE_LEFT, true);
    vt::Pump();
    IPT_MovePlayer();
    IPT_FMovePlayer(5, 5);
    EXPECT_EQ(playerx, 144);
    EXPECT_EQ(playery, 100);
}

TEST_F(SteerTest, BankingLeansOneFramePerFrameUpToThreeAndLevelsOut)
{
    control_pause = 1;
    std::vector<int> pics;
    auto fly = [&pics](int dx, int frames) {
        for (int i = 0; i < frames; i++) {
            IPT_FMovePlayer(dx, 0);
            pics.push_back(playerpic);
        }
    };
    // 12 pixels a frame or more lean three frames, 8..11 two.
    fly(-12, 5);
    fly(0, 4);
    fly(10, 4);
    EXPECT_EQ(pics, (std::vector<int>{4, 5, 6, 6, 6, 5, 4, 3, 3, 2, 1, 1, 1}));

    // A slow drift banks only as far as its speed allows: 4..7 pixels a frame lean one frame.
    PlaceShip(144, 100);
    control_pause = 1;
    pics.clear();
    for (int i = 0; i < 3; i++) {
        IPT_FMovePlayer(5, 0);
        pics.push_back(playerpic);
    }
    EXPECT_EQ(pics, (std::vector<int>{2, 2, 2}));
}

TEST_F(SteerTest, MouseStepsFollowThePointerWithACrawlBelowEightPixelsRightOrDown)
{
    control = CONTROL_MOUSE;
    struct CASE {
        int dx, dy; // pointer relative to the ship's centre
        int sx, sy; // resulting step
    };
    const CASE cases[] = {
        {0, 0, 0, 0}, {5, 5, 1, 1},     {-5, -5, -5, -5},     {7, 7, 1, 1},       {8, 8, 8, 8},
        {9, 9, 9, 9}, {30, 30, 10, 10}, {-30, -30, -10, -10}, {-10, -8, -10, -8}, {1, -1, 1, -1},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        PlaceShip(144, 100);
        cur_mx = 160 + c.dx;
        cur_my = 116 + c.dy;
        IPT_MovePlayer();
        EXPECT_EQ(xm, c.dx);
        EXPECT_EQ(ym, c.dy);
        EXPECT_EQ(g_addx, c.sx);
        EXPECT_EQ(g_addy, c.sy);
    }
}

TEST_F(SteerTest, MouseButtonsSetTheirChosenLatchesAndTouchesTheirOwn)
{
    control = CONTROL_MOUSE;
    cur_mx = 160;
    cur_my = 116;
    m_lookup[0] = BUTTON_MEGABOMB;
    m_lookup[1] = BUTTON_FIRE;
    m_lookup[2] = BUTTON_SPARE;

    vt::PushMouseButton(SDL_BUTTON_LEFT, true);
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 1);
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);
    vt::PushMouseButton(SDL_BUTTON_LEFT, false);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, true);
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, true);
    ClearButtons();
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(buttons[BUTTON_FIRE], 1);
    EXPECT_EQ(buttons[BUTTON_SPARE], 1);
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 0);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, false);
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, false);
    vt::Pump();

    // On a touch screen the finger's button is the latch of the same number.
    ClearButtons();
    vt::PushMouseButton(SDL_BUTTON_RIGHT, true, true);
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(touchmode, 1);
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 1);
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, false, true);
    vt::Pump();
}

TEST_F(SteerTest, ControllerDpadSteersLikeKeysAndTheStickOverrides)
{
    control = CONTROL_JOYSTICK;
    joy_ipt_MenuNew = 1; // keeps the pointer out of it
    pad = std::make_unique<vt::VirtualPad>();
    vt::Pump();

    pad->Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(FramesX(3), (Steps{-2, -3, -4}));
    pad->Release(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    pad->Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(FramesX(2), (Steps{2, 3}));
    pad->Release(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(FramesX(3), (Steps{1, 0, 0}));

    pad->Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(g_addx, 10);
    EXPECT_EQ(g_addy, -8);
    pad->Release(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
}

TEST_F(SteerTest, ControllerButtonsTriggersAndShouldersSetLatches)
{
    control = CONTROL_JOYSTICK;
    joy_ipt_MenuNew = 1;
    pad = std::make_unique<vt::VirtualPad>();
    vt::Pump();

    pad->Press(SDL_CONTROLLER_BUTTON_B); // FireSp by default: the second latch
    vt::Pump();
    IPT_MovePlayer();
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 1);
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);
    pad->Release(SDL_CONTROLLER_BUTTON_B);

    const std::pair<SDL_GameControllerAxis, int> triggers[] = {
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, BUTTON_FIRE},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, BUTTON_CHANGESPECIAL},
    };
    for (auto [axis, latch] : triggers) {
        ClearButtons();
        pad->SetAxis(axis, SDL_JOYSTICK_AXIS_MAX);
        vt::Pump();
        IPT_MovePlayer();
        EXPECT_EQ(buttons[latch], 1);
        pad->SetAxis(axis, SDL_JOYSTICK_AXIS_MIN);
    }
    const std::pair<SDL_GameControllerButton, int> shoulders[] = {
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, BUTTON_MEGABOMB},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, BUTTON_SPARE},
    };
    for (auto [button, latch] : shoulders) {
        ClearButtons();
        pad->Press(button);
        vt::Pump();
        IPT_MovePlayer();
        EXPECT_EQ(buttons[latch], 1);
        pad->Release(button);
    }
}

TEST_F(SteerTest, LosingTheFocusLetsGoOfEverythingHeld)
{
    // Fire held on the mouse, the keyboard and a controller, then the window loses the
    // focus (Alt+Tab) and the releases go elsewhere.
    auto window_event = [](Uint8 what) {
        SDL_Event ev{};
        ev.type = SDL_WINDOWEVENT;
        ev.window.event = what;
        SDL_PushEvent(&ev);
    };
    pad = std::make_unique<vt::VirtualPad>();
    vt::Pump();
    vt::PushMouseButton(SDL_BUTTON_LEFT, true);
    vt::PushKey(SDL_SCANCODE_LCTRL, true);
    pad->Press(SDL_CONTROLLER_BUTTON_A);
    vt::Pump();
    ASSERT_NE(mouseb1, 0);
    ASSERT_EQ(keyboard[k_Fire], 1);
    ASSERT_EQ(JOY_GetMappedButton(BUTTON_FIRE), 1);

    window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    vt::Pump();
    EXPECT_EQ(mouseb1, 0);
    EXPECT_EQ(keyboard[k_Fire], 0);
    EXPECT_EQ(JOY_GetMappedButton(BUTTON_FIRE), 0);
    for (int c : {CONTROL_MOUSE, CONTROL_KEYBOARD, CONTROL_JOYSTICK}) {
        control = c;
        ClearButtons();
        IPT_GetMouse();
        IPT_GetJoyStick();
        EXPECT_EQ(buttons[BUTTON_FIRE], 0) << "control " << c;
    }
    // A release that still arrives is taken, and the focus comes back.
    vt::PushMouseButton(SDL_BUTTON_LEFT, false);
    window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    vt::Pump();
    EXPECT_EQ(mouseb1, 0);
    pad->Release(SDL_CONTROLLER_BUTTON_A);
    vt::PushKey(SDL_SCANCODE_LCTRL, false);
    vt::Pump();
}

TEST_F(SteerTest, ActionKeysAreSampledEvery38MillisecondsWhilePlaying)
{
    clock.setAutoStep(0);
    vt::Pump(); // starts the sampling beat
    vt::PushKey(SDL_SCANCODE_LCTRL, true);
    vt::PushKey(SDL_SCANCODE_SPACE, true);
    clock.advance(38);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 0); // not playing: nothing is latched

    ipt_start = 1;
    clock.advance(38);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 1);
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 1); // the ChangeSp key (Space) releases the bomb
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 0);

    ClearButtons();
    clock.advance(37);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);
    clock.advance(1);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 1);

    // After a long stall one sample is taken, then the beat resumes from there.
    ClearButtons();
    clock.advance(5000);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 1);
    ClearButtons();
    vt::Pump();
    clock.advance(20);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);

    // Latches are only ever set here; releasing the key leaves them for the mission loop.
    clock.advance(38);
    vt::Pump();
    vt::PushKey(SDL_SCANCODE_LCTRL, false);
    clock.advance(38);
    vt::Pump();
    EXPECT_EQ(buttons[BUTTON_FIRE], 1);
    vt::PushKey(SDL_SCANCODE_SPACE, false);
    vt::Pump();
}

TEST_F(SteerTest, PlayBracketsGrabTheMouseAndTakeThePointerAway)
{
    EXPECT_FALSE(IPT_MouseGrab());
    IPT_Start();
    EXPECT_TRUE(IPT_MouseGrab());
    EXPECT_EQ(ipt_start, 1);
    EXPECT_EQ(g_drawcursor, 0);
    IPT_End();
    EXPECT_FALSE(IPT_MouseGrab());
    EXPECT_EQ(ipt_start, 0);
}

} // namespace
