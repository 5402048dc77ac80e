// Game controllers through the platform's virtual controllers: slots and hot plug, the
// input table, axis scaling, rumble and menu navigation.
#include <memory>
#include <vector>

#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

class ControllerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        IPT_CloJoy(1);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        IPT_LoadPrefs();
        control = CONTROL_KEYBOARD;
        g_drawcursor = 0;
        joy_ack = 0;
    }
    void TearDown() override
    {
        IPT_CloJoy(1);
        pads.clear();
        vt::Pump();
    }

    // Plugs a controller in and lets the game notice it.
    vt::VirtualPad& Plug()
    {
        pads.push_back(std::make_unique<vt::VirtualPad>());
        vt::Pump();
        return *pads.back();
    }

    int OpenSlots()
    {
        int n = 0;
        for (SDL_GameController* c : ControllerHandles)
            if (c) n++;
        return n;
    }

    vt::TempHome home; // the pump may write (screenshots): never into the real home
    vt::FakeClock clock{1000, 1};
    std::vector<std::unique_ptr<vt::VirtualPad>> pads;
};

TEST_F(ControllerTest, EveryButtonHasItsEntryAndPressesSetTheAcknowledge)
{
    auto& pad = Plug();
    ASSERT_EQ(OpenSlots(), 1);
    ASSERT_NE(ControllerHandles[0], nullptr);

    const std::pair<SDL_GameControllerButton, int> table[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, JOY_DPADUP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, JOY_DPADDOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, JOY_DPADLEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, JOY_DPADRIGHT},
        {SDL_CONTROLLER_BUTTON_START, JOY_START},
        {SDL_CONTROLLER_BUTTON_BACK, JOY_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, JOY_SHOULDERLEFT},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, JOY_SHOULDERRIGHT},
        {SDL_CONTROLLER_BUTTON_A, JOY_A},
        {SDL_CONTROLLER_BUTTON_B, JOY_B},
        {SDL_CONTROLLER_BUTTON_X, JOY_X},
        {SDL_CONTROLLER_BUTTON_Y, JOY_Y},
    };
    for (auto [button, entry] : table) {
        SCOPED_TRACE(SDL_GameControllerGetStringForButton(button));
        pad.Press(button);
        vt::Pump();
        for (int i = 0; i < JOY_NUMINPUTS; i++)
            EXPECT_EQ(joyinput[0][i], i == entry ? 1 : 0) << "entry " << i;
        EXPECT_EQ(joy_ack, 1);
        EXPECT_EQ(JOY_GetInput(), 1);
        EXPECT_EQ(JOY_GetButton(entry), 1);
        pad.Release(button);
        vt::Pump();
        EXPECT_EQ(joyinput[0][entry], 0);
        EXPECT_EQ(joy_ack, 0);
        EXPECT_EQ(JOY_GetInput(), 0);
    }
    // Buttons the game has no entry for still count as a press for the acknowledge.
    pad.Press(SDL_CONTROLLER_BUTTON_GUIDE);
    vt::Pump();
    EXPECT_EQ(joy_ack, 1);
    EXPECT_EQ(JOY_GetInput(), 0);
}

TEST_F(ControllerTest, AxesAreScaledFromTheEdgeOfTheDeadZone)
{
    auto& pad = Plug();
    struct CASE {
        Sint16 raw;
        int x, y; // steering scale
        int px;   // pointer scale
    };
    const CASE cases[] = {
        {0, 0, 0, 0},         {7999, 0, 0, 0},   {8000, 0, 0, 0},
        {-7999, 0, 0, 0},     {-8000, 0, 0, 0},  {20000, 4, 3, 1},
        {-20000, -4, -3, -1}, {32767, 10, 8, 4}, {-32768, -10, -8, -4},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.raw);
        g_drawcursor = 0;
        pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, c.raw);
        pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTY, c.raw);
        vt::Pump();
        EXPECT_EQ(JOY_GetAxis(JOY_LEFTX), c.x);
        EXPECT_EQ(JOY_GetAxis(JOY_LEFTY), c.y);

        // With the pointer on screen the stick moves it gently, the same on both axes.
        g_drawcursor = 1;
        pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, c.raw == 0 ? 1 : 0);
        vt::Pump();
        pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, c.raw);
        vt::Pump();
        EXPECT_EQ(JOY_GetAxis(JOY_LEFTX), c.px);
        EXPECT_EQ(JOY_GetAxis(JOY_LEFTY), c.px);
    }
    g_drawcursor = 0;

    EXPECT_EQ(JOY_GetAxis(JOY_TRIGRIGHT), 0);
    pad.SetAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MAX);
    vt::Pump();
    EXPECT_EQ(JOY_GetAxis(JOY_TRIGRIGHT), 4);
    EXPECT_EQ(JOY_GetAxis(JOY_TRIGLEFT), 0);
    // Sticks and triggers are not button input.
    EXPECT_EQ(JOY_GetInput(), 0);
}

TEST_F(ControllerTest, MappedButtonsFollowTheChosenButtonNumbers)
{
    auto& pad = Plug();
    j_lookup[0] = SDL_CONTROLLER_BUTTON_Y;
    j_lookup[2] = SDL_CONTROLLER_BUTTON_RIGHTSTICK;
    j_lookup[3] = SDL_CONTROLLER_BUTTON_A;
    pad.Press(SDL_CONTROLLER_BUTTON_Y);
    pad.Press(SDL_CONTROLLER_BUTTON_RIGHTSTICK);
    vt::Pump();
    EXPECT_EQ(JOY_GetMappedButton(0), 1);
    EXPECT_EQ(JOY_GetMappedButton(1), 0);
    EXPECT_EQ(JOY_GetMappedButton(2), 1);
    EXPECT_EQ(JOY_GetMappedButton(3), 0);
    EXPECT_EQ(JOY_GetMappedButton(4), 0);
}

TEST_F(ControllerTest, TwoControllersEitherButtonCountsAndTheFirstMovedAxisWins)
{
    auto& one = Plug();
    auto& two = Plug();
    ASSERT_EQ(OpenSlots(), 2);

    two.Press(SDL_CONTROLLER_BUTTON_B);
    vt::Pump();
    EXPECT_EQ(JOY_GetButton(JOY_B), 1);
    EXPECT_EQ(joyinput[0][JOY_B], 0);

    two.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    vt::Pump();
    EXPECT_EQ(JOY_GetAxis(JOY_LEFTX), 10);
    one.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    vt::Pump();
    EXPECT_EQ(JOY_GetAxis(JOY_LEFTX), -10);
}

TEST_F(ControllerTest, HotPlugFillsAndEmptiesSlotsAndNeverOpensOneControllerTwice)
{
    auto& first = Plug();
    first.Press(SDL_CONTROLLER_BUTTON_A);
    vt::Pump();
    ASSERT_EQ(JOY_GetButton(JOY_A), 1);

    // Opening again (as every added controller makes the game do) keeps one slot each.
    IPT_CalJoy();
    IPT_CalJoy();
    EXPECT_EQ(OpenSlots(), 1);

    for (int i = 0; i < 3; i++)
        Plug();
    EXPECT_EQ(OpenSlots(), 4);
    auto& fifth = Plug();
    EXPECT_EQ(OpenSlots(), 4);

    // Pulling the first one forgets what it held, and the waiting fifth takes its slot.
    first.Unplug();
    vt::Pump();
    EXPECT_EQ(JOY_GetButton(JOY_A), 0);
    EXPECT_EQ(OpenSlots(), 4);
    ASSERT_NE(ControllerHandles[0], nullptr);
    EXPECT_EQ(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(ControllerHandles[0])),
              fifth.id);

    // With nobody waiting a pulled controller leaves its slot empty.
    pads[1]->Unplug();
    vt::Pump();
    EXPECT_EQ(ControllerHandles[1], nullptr);
    EXPECT_EQ(OpenSlots(), 3);

    IPT_CloJoy(1);
    EXPECT_EQ(OpenSlots(), 0);
}

TEST_F(ControllerTest, RumbleReachesEveryControllerAtThreeStrengths)
{
    auto& one = Plug();
    auto& two = Plug();
    IPT_CalJoyRumbleLow();
    EXPECT_EQ(one.rumblelow, 16383);
    EXPECT_EQ(one.rumblehigh, 16383);
    EXPECT_EQ(two.rumblelow, 16383);
    IPT_CalJoyRumbleMedium();
    EXPECT_EQ(one.rumblelow, 32766);
    EXPECT_EQ(two.rumblehigh, 32766);
    IPT_CalJoyRumbleHigh();
    EXPECT_EQ(one.rumblehigh, 49149);
    EXPECT_EQ(two.rumblelow, 49149);

    // Each shake lasts a second: a length of 0 would shake until the next one.
    static std::vector<uint32_t> lengths;
    lengths.clear();
    auto real = joy_rumble;
    joy_rumble = [](SDL_GameController*, uint16_t, uint16_t, uint32_t ms) {
        lengths.push_back(ms);
        return 0;
    };
    IPT_CalJoyRumbleMedium();
    joy_rumble = real;
    EXPECT_EQ(lengths, (std::vector<uint32_t>{1000, 1000}));
}

TEST_F(ControllerTest, NoControllerMeansNoInput)
{
    EXPECT_EQ(JOY_GetInput(), 0);
    EXPECT_EQ(JOY_GetAxis(JOY_LEFTX), 0);
    EXPECT_EQ(JOY_MapsInput(), 0);
    EXPECT_EQ(JOY_IsKey(JOY_START), 0);
    EXPECT_EQ(JOY_GetButton(-1), 0);
    EXPECT_EQ(JOY_GetAxis(JOY_NUMINPUTS), 0);
    IPT_CalJoyRumbleHigh(); // nothing to shake
}

TEST_F(ControllerTest, MenuNavigationGivesOneKeyEvery200Milliseconds)
{
    auto& pad = Plug();
    clock.setAutoStep(0);
    pad.Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    vt::Pump();
    EXPECT_EQ(JOY_MapsInput(), SC_RIGHT);
    clock.advance(199);
    EXPECT_EQ(JOY_MapsInput(), 0);
    clock.advance(1);
    EXPECT_EQ(JOY_MapsInput(), SC_RIGHT);
    pad.Release(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);

    // First match wins: directions before buttons.
    const std::pair<SDL_GameControllerButton, int> buttons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, SC_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SC_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, SC_UP},
        {SDL_CONTROLLER_BUTTON_A, SC_ENTER},
        {SDL_CONTROLLER_BUTTON_START, SC_ENTER},
        {SDL_CONTROLLER_BUTTON_B, SC_ESCAPE},
        {SDL_CONTROLLER_BUTTON_BACK, SC_ESCAPE},
        {SDL_CONTROLLER_BUTTON_X, SC_DELETE},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SC_CTRL},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SC_F1},
        {SDL_CONTROLLER_BUTTON_Y, 0},
    };
    for (auto [button, code] : buttons) {
        SCOPED_TRACE(SDL_GameControllerGetStringForButton(button));
        pad.Press(button);
        pad.Press(SDL_CONTROLLER_BUTTON_Y);
        vt::Pump();
        clock.advance(200);
        EXPECT_EQ(JOY_MapsInput(), code);
        pad.Release(button);
        pad.Release(SDL_CONTROLLER_BUTTON_Y);
    }

    pad.Press(SDL_CONTROLLER_BUTTON_A);
    pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    vt::Pump();
    clock.advance(200);
    EXPECT_EQ(JOY_MapsInput(), SC_UP);
    pad.SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    vt::Pump();
    clock.advance(200);
    EXPECT_EQ(JOY_MapsInput(), SC_RIGHT);
}

} // namespace
