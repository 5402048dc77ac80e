// Acknowledge waits and the waits for a key or button to be let go, with events arriving
// while the game pumps.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "gfx/gfxapi.h"
#include "input/imsapi.h"
#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

class AckTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        IPT_CloJoy(1);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        IPT_LoadPrefs();
        control = CONTROL_KEYBOARD;
        IMS_StartAck();
        mouseb1 = mouseb2 = mouseb3 = 0;
        // A controller whose only job is to count the game's pumps and act on a schedule.
        ticker = std::make_unique<vt::VirtualPad>();
        vt::Pump();
        ticker->onpump = [this] {
            pumps++;
            auto [first, last] = schedule.equal_range(pumps);
            for (auto it = first; it != last; ++it)
                it->second();
            // A wait that never ends is a failure, not a hung test run.
            if (pumps > 1000000) {
                fprintf(stderr, "the game is still waiting after a million pumps\n");
                std::abort();
            }
        };
    }
    void TearDown() override
    {
        ticker.reset();
        IPT_CloJoy(1);
        vt::Pump();
    }

    // Runs `what` during the n-th pump from now.
    void At(int n, std::function<void()> what) { schedule.emplace(pumps + n, std::move(what)); }

    vt::TempHome home; // the pump may write (screenshots): never into the real home
    vt::FakeClock clock{1000, 1};
    std::unique_ptr<vt::VirtualPad> ticker;
    int pumps = 0;
    std::multimap<int, std::function<void()>> schedule;
};

TEST_F(AckTest, CheckAckSeesPressesSinceTheStartOnly)
{
    EXPECT_EQ(IMS_CheckAck(), 0);
    vt::PushMouseButton(SDL_BUTTON_LEFT, true);
    vt::PushMouseButton(SDL_BUTTON_LEFT, false);
    EXPECT_EQ(IMS_CheckAck(), 1); // the press latched though the button is up again
    IMS_StartAck();
    EXPECT_EQ(IMS_CheckAck(), 0);

    vt::PushMouseButton(SDL_BUTTON_MIDDLE, true);
    EXPECT_EQ(IMS_CheckAck(), 0); // the middle button does not acknowledge
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, false);

    vt::PushKey(SDL_SCANCODE_Q, true);
    EXPECT_EQ(IMS_CheckAck(), 1);
    vt::PushKey(SDL_SCANCODE_Q, false);
    EXPECT_EQ(IMS_CheckAck(), 0); // a key counts while held

    ticker->Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(IMS_CheckAck(), 1);
    ticker->Release(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(IMS_CheckAck(), 0);
}

TEST_F(AckTest, IsAckTakesAWaitingKeyAndReportsHeldButtons)
{
    vt::PushKey(SDL_SCANCODE_Q, true);
    vt::PushKey(SDL_SCANCODE_Q, false);
    EXPECT_EQ(IMS_IsAck(), 1);
    EXPECT_EQ(lastscan, 0);
    EXPECT_EQ(IMS_IsAck(), 0);

    vt::PushMouseButton(SDL_BUTTON_RIGHT, true);
    EXPECT_EQ(IMS_IsAck(), 1);
    EXPECT_EQ(IMS_IsAck(), 1);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, false);
    EXPECT_EQ(IMS_IsAck(), 0);

    ticker->Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(IMS_IsAck(), 1);
    ticker->Release(SDL_CONTROLLER_BUTTON_START);
    ticker->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767); // a stick is no acknowledge
    EXPECT_EQ(IMS_IsAck(), 0);
}

TEST_F(AckTest, KeyWaitsReportOnePressPerHold)
{
    // P goes down and is let go five pumps later: one press, reported after the release.
    vt::PushKey(SDL_SCANCODE_P, true);
    vt::Pump();
    int start = pumps;
    At(5, [] { vt::PushKey(SDL_SCANCODE_P, false); });
    At(2, [] { vt::PushKey(SDL_SCANCODE_P, true, true); }); // auto-repeat meanwhile
    EXPECT_EQ(KBD_IsKey(25), 1);
    EXPECT_GE(pumps - start, 5);
    EXPECT_EQ(keyboard[25], 0);
    EXPECT_EQ(lastscan, 0);
    EXPECT_EQ(lastascii, 0);
    EXPECT_EQ(KBD_IsKey(25), 0);
    EXPECT_EQ(KBD_IsKey(-1), 0);
    EXPECT_EQ(KBD_IsKey(256), 0);

    vt::PushKey(SDL_SCANCODE_F1, true);
    vt::Pump();
    At(3, [] { vt::PushKey(SDL_SCANCODE_F1, false); });
    KBD_Wait(SC_F1);
    EXPECT_EQ(keyboard[SC_F1], 0);
    EXPECT_EQ(lastscan, 0);
}

TEST_F(AckTest, ControllerButtonWaitReportsOnePressPerHold)
{
    ticker->Press(SDL_CONTROLLER_BUTTON_START);
    vt::Pump();
    int start = pumps;
    At(4, [this] { ticker->Release(SDL_CONTROLLER_BUTTON_START); });
    EXPECT_EQ(JOY_IsKey(JOY_START), 1);
    EXPECT_GE(pumps - start, 4);
    EXPECT_EQ(JOY_IsKey(JOY_START), 0);
}

TEST_F(AckTest, TimedWaitRunsOutAfter55TicksPerUnit)
{
    uint32_t t0 = clock.now();
    EXPECT_EQ(IMS_WaitTimed(2), 0);
    // 110 ticks of the 70 Hz counter: a little over 1.57 s.
    uint32_t waited = clock.now() - t0;
    EXPECT_GE(waited, 110u * 1000 / 70 - 15);
    EXPECT_LE(waited, 110u * 1000 / 70 + 30);
    EXPECT_EQ(IMS_WaitTimed(0), 0);
}

TEST_F(AckTest, TimedWaitEndsOnAPressAndReturnsOnceButtonsAreLetGo)
{
    // A key ends the wait at once; the key table is left clear behind it.
    At(40, [] { vt::PushKey(SDL_SCANCODE_SPACE, true); });
    uint32_t t0 = clock.now();
    EXPECT_EQ(IMS_WaitTimed(10), 1);
    EXPECT_LT(clock.now() - t0, 1000u);
    EXPECT_GE(pumps, 40);
    EXPECT_EQ(keyboard[SC_SPACE], 0);
    EXPECT_EQ(lastscan, 0);
    vt::PushKey(SDL_SCANCODE_SPACE, false);
    vt::Pump();

    // A mouse button or controller button is waited for until it is let go.
    At(30, [] { vt::PushMouseButton(SDL_BUTTON_LEFT, true); });
    At(50, [] { vt::PushMouseButton(SDL_BUTTON_LEFT, false); });
    int start = pumps;
    EXPECT_EQ(IMS_WaitTimed(10), 1);
    EXPECT_GE(pumps - start, 50);
    EXPECT_EQ(mouseb1, 0);

    At(30, [this] { ticker->Press(SDL_CONTROLLER_BUTTON_A); });
    At(70, [this] { ticker->Release(SDL_CONTROLLER_BUTTON_A); });
    start = pumps;
    EXPECT_EQ(IMS_WaitTimed(10), 1);
    EXPECT_GE(pumps - start, 70);
    EXPECT_EQ(JOY_GetInput(), 0);
}

TEST_F(AckTest, TimedWaitIsNotCutShortByAPressFromBeforeIt)
{
    // The click that opened a message box must not close it at once.
    vt::PushMouseButton(SDL_BUTTON_LEFT, true);
    vt::PushMouseButton(SDL_BUTTON_LEFT, false);
    vt::PushKey(SDL_SCANCODE_RETURN, true);
    vt::Pump();
    ASSERT_EQ(mouse_b1_ack, 1);
    At(10, [] { vt::PushKey(SDL_SCANCODE_RETURN, false); });
    EXPECT_EQ(IMS_WaitTimed(1), 0);
}

} // namespace
