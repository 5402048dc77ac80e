// The tone-effect player and the MIDI messages of the system MIDI output.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sound/fx.h"
#include "sound/gssapi.h"
#include "sound/mpuwinmm.h"
#include "soundtest.h"
#include "testutil/testutil.h"

namespace
{

std::vector<std::string> msgs;

void Hook(int status, int d1, int d2)
{
    char buf[32];
    snprintf(buf, sizeof(buf), "%02X %d %d", status, d1, d2);
    msgs.push_back(buf);
}

std::vector<std::string> TakeMsgs()
{
    std::vector<std::string> out;
    out.swap(msgs);
    return out;
}

TEST(MidiOutput, ChannelsControllersAndBendAreMapped)
{
    MPU_SetMessageHook(Hook);
    MPU_KeyOn(15, 36, 100); // percussion goes to MIDI channel 9
    MPU_KeyOn(9, 60, 90);   // and channel 9 moves up to 10
    MPU_KeyOn(8, 60, 90);
    MPU_KeyOff(14, 61);
    MPU_Controller(0, MUS_CTRL_VOLUME, 99);
    MPU_Controller(0, MUS_CTRL_MONO, 1); // nothing sent
    MPU_Controller(0, MUS_CTRL_RESET, 0);
    MPU_Controller(2, MUS_CTRL_PAN, 10);
    MPU_PitchBend(3, 128);
    MPU_PitchBend(3, 255);
    MPU_PitchBend(3, 0);
    MPU_ProgramChange(15, 200);
    MPU_AllNotesOff(10, 5);
    std::vector<std::string> want = {"99 36 100", "9A 60 90", "98 60 90", "8F 61 64",
                                     "B0 7 99",   "B0 121 0", "B2 10 10", "E3 0 64",
                                     "E3 64 127", "E3 0 0",   "C9 72 0",  "BB 123 0"};
    EXPECT_EQ(TakeMsgs(), want);
    for (int c = 0; c < 15; c++)
        EXPECT_GE(MPU_MapController(c) == -1, c == 12 || c == 13);
    MPU_SetMessageHook(nullptr);
}

TEST(TonePlayer, StepsBecomeNotesOnChannelFourteen)
{
    vt::TempHome home;
    vt::FakeClock clock(1000);
    MPU_SetMessageHook(Hook);
    GSS_Init(6, 0); // a MIDI effect device: the system MIDI output
    TakeMsgs();

    // Two in-tune steps of one note, the same note a little sharp, a rest, a new note.
    auto patch = st::Tone({3, 3, 4, 0, 9}, 0, 81);
    int h = GSS_PlayPatch(patch.data(), 64, 128, 100, 2);
    ASSERT_NE(h, -1);
    EXPECT_EQ(h & 0xC000, 0x4000);
    EXPECT_TRUE(GSS_PatchIsPlaying(h));

    std::vector<std::vector<std::string>> steps;
    for (int s = 0; s < 7; s++) {
        clock.advance(s == 0 ? 8 : 7); // 140 steps a second: one every 7.14 ms
        MUS_Poll();
        steps.push_back(TakeMsgs());
    }
    // The first step sets pan, bank, program and bend, then plays note ((3 - 1) >> 1) + 29.
    EXPECT_EQ(steps[0], (std::vector<std::string>{"BF 10 32", "BF 0 0", "CF 81 0", "EF 64 63",
                                                  "EF 64 63", "9F 30 100"}));
    EXPECT_TRUE(steps[1].empty());
    EXPECT_EQ(steps[2], std::vector<std::string>{"EF 64 79"}); // same note, only the bend
    EXPECT_EQ(steps[3], std::vector<std::string>{"8F 30 64"});
    EXPECT_EQ(steps[4], (std::vector<std::string>{"EF 64 63", "9F 33 100"}));
    EXPECT_EQ(steps[5], std::vector<std::string>{"8F 33 64"}); // the end releases it
    EXPECT_FALSE(GSS_PatchIsPlaying(h));

    // A more important effect (higher number here) is not replaced by a less important one.
    int big = GSS_PlayPatch(patch.data(), 127, 128, 100, 5);
    EXPECT_EQ(GSS_PlayPatch(patch.data(), 127, 128, 100, 4), -1);
    int same = GSS_PlayPatch(patch.data(), 127, 128, 100, 5);
    EXPECT_NE(same, -1);
    EXPECT_NE(same, big);
    {
        // Stopping ends the play at once: the patch may be freed straight after, and the
        // player must not read it on its next step.
        auto doomed = st::Tone({3, 3, 4, 0, 9}, 0, 81);
        same = GSS_PlayPatch(doomed.data(), 127, 128, 100, 5);
        EXPECT_NE(same, -1);
        EXPECT_NE(same, big);
        GSS_StopPatch(same);
        EXPECT_FALSE(GSS_PatchIsPlaying(same));
    }
    clock.advance(8);
    MUS_Poll();
    EXPECT_FALSE(GSS_PatchIsPlaying(same));
    // A silent patch holds the player without a sound.
    auto silent = st::Tone({5, 5});
    silent[0] = 2;
    int held = GSS_PlayPatch(silent.data(), 127, 128, 100, 1);
    clock.advance(100);
    MUS_Poll();
    EXPECT_TRUE(GSS_PatchIsPlaying(held));
    EXPECT_TRUE(st::Matching(TakeMsgs(), "9").empty());
    GSS_StopPatch(held);
    EXPECT_FALSE(GSS_PatchIsPlaying(held));
    GSS_DeInit();
    MPU_SetMessageHook(nullptr);
}

} // namespace
