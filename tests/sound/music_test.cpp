// The sequencer and the fader, checked against the operations a recording back-end gets.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "sound/fx.h"
#include "sound/musapi.h"
#include "soundtest.h"
#include "testutil/testutil.h"

namespace
{

using st::Cat;
using st::Delay;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kDelay = 0x80;

Bytes Ev(int type, int ch, bool delay = false)
{
    return {static_cast<uint8_t>((delay ? kDelay : 0) | (type << 4) | ch)};
}
Bytes NoteOn(int ch, int note, int vel, bool delay = false)
{
    return Cat({Ev(MUS_EV_PLAY, ch, delay),
                {static_cast<uint8_t>(note | 0x80), static_cast<uint8_t>(vel)}});
}
Bytes NoteOnRunning(int ch, int note, bool delay = false)
{
    return Cat({Ev(MUS_EV_PLAY, ch, delay), {static_cast<uint8_t>(note)}});
}
Bytes Ctrl(int ch, int ctrl, int value, bool delay = false)
{
    return Cat(
        {Ev(MUS_EV_CONTROL, ch, delay), {static_cast<uint8_t>(ctrl), static_cast<uint8_t>(value)}});
}
Bytes End()
{
    return Ev(MUS_EV_END, 0);
}

int Count(const std::vector<std::string>& ops, const std::string& start)
{
    return static_cast<int>(st::Matching(ops, start).size());
}

class MusicTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fx_freq = 44100;
        MUS_SetVolume(127);
        MUS_InitDevice(&st::recorder, 0);
        MUS_ServiceFader(); // settle the volume bookkeeping
        st::Take();
        st::mixed_frames = 0;
    }
    void TearDown() override
    {
        MUS_StopSong(0);
        MUS_DeInit();
        st::Take();
    }
    void Play(const Bytes& song, int loop = 0, int fade = 0)
    {
        song_ = song;
        MUS_PlaySong(song_.data(), loop, fade);
        st::Take();
    }
    Bytes song_;
};

TEST_F(MusicTest, DelaysCountTicksAndVelocityRunsOn)
{
    Play(st::Song(
        Cat({NoteOn(0, 60, 100, true), Delay(200), NoteOnRunning(0, 62, true), Delay(1), End()})));
    MUS_Service();
    EXPECT_EQ(st::Take(), std::vector<std::string>{"on 0 60 100"});
    for (int t = 1; t < 200; t++)
        MUS_Service();
    EXPECT_TRUE(st::Take().empty());
    MUS_Service(); // 200 ticks (2.86 s) after the first note
    EXPECT_EQ(st::Take(), std::vector<std::string>{"on 0 62 100"});
    EXPECT_TRUE(MUS_SongPlaying());
    MUS_Service();
    EXPECT_FALSE(MUS_SongPlaying()); // no loop: the end of the score ends the song
}

TEST_F(MusicTest, EventsReachTheBackEndAsOperations)
{
    Bytes events = Cat({Ctrl(1, MUS_CTRL_PROGRAM, 33),
                        Ctrl(1, MUS_CTRL_PAN, 20),
                        Ctrl(1, MUS_CTRL_VOLUME, 90),
                        Ctrl(1, MUS_CTRL_EXPRESSION, 5),
                        Ev(MUS_EV_PITCH, 1),
                        {200},
                        Ev(MUS_EV_SYSTEM, 1),
                        {12},
                        NoteOn(1, 40, 77),
                        Ev(MUS_EV_RELEASE, 1),
                        {0x80 | 40},
                        Ctrl(1, MUS_CTRL_NOTESOFF, 0),
                        Ctrl(1, MUS_CTRL_RESET, 0),
                        Ev(5, 1),
                        Ev(7, 1, true),
                        Delay(3),
                        End()});
    Play(st::Song(events));
    MUS_Service();
    std::vector<std::string> want = {"prog 1 33",   "ctrl 1 4 20", "ctrl 1 3 90", "bend 1 200",
                                     "ctrl 1 12 0", "on 1 40 77",  "off 1 40",    "alloff 1 0",
                                     "alloff 1 0",  "ctrl 1 3 77"};
    EXPECT_EQ(st::Take(), want);
}

TEST_F(MusicTest, ALoopRestartsWithEveryChannelReset)
{
    Play(st::Song(Cat({Ctrl(0, MUS_CTRL_VOLUME, 80), NoteOn(0, 60, 90, true), Delay(5), End()}), 2),
         1);
    MUS_Service();
    st::Take();
    for (int t = 0; t < 5; t++)
        MUS_Service();
    auto ops = st::Take();
    // The reset: the primary channels and percussion get their controllers reset and the
    // default volume; every channel is silenced; then the score plays from its start.
    std::vector<std::string> head(ops.begin(), ops.begin() + 6);
    std::vector<std::string> want = {"ctrl 0 14 0", "ctrl 0 3 100", "alloff 0 0",
                                     "ctrl 1 14 0", "ctrl 1 3 100", "alloff 1 0"};
    EXPECT_EQ(head, want);
    EXPECT_EQ(Count(ops, "ctrl 15 14 0"), 1);
    EXPECT_EQ(Count(ops, "ctrl 2 14"), 0);
    EXPECT_EQ(Count(ops, "alloff"), 16);
    EXPECT_EQ(ops[ops.size() - 2], "ctrl 0 3 80");
    EXPECT_EQ(ops.back(), "on 0 60 90");
    EXPECT_TRUE(MUS_SongPlaying());
}

TEST_F(MusicTest, BrokenScoresEndInsteadOfSpinning)
{
    // Looping without any delay would restart for ever within one tick.
    Play(st::Song(Cat({NoteOn(0, 60, 90), End()})), 1);
    MUS_Service();
    EXPECT_FALSE(MUS_SongPlaying());
    // A score that runs out without an end event, and one cut in the middle of an event.
    Play(st::Song(NoteOn(0, 60, 90)), 1);
    MUS_Service();
    EXPECT_FALSE(MUS_SongPlaying());
    Play(st::Song(Bytes{0x94, 3}), 0);
    MUS_Service();
    EXPECT_FALSE(MUS_SongPlaying());

    Bytes good = st::Song(End());
    EXPECT_TRUE(MUS_CheckSong(good.data(), static_cast<int>(good.size())));
    EXPECT_FALSE(MUS_CheckSong(good.data(), static_cast<int>(good.size()) - 1));
    EXPECT_FALSE(MUS_CheckSong(good.data(), 9));
    Bytes early = good;
    early[6] = 4; // first event inside the header
    EXPECT_FALSE(MUS_CheckSong(early.data(), static_cast<int>(early.size())));
}

TEST_F(MusicTest, FadeOutLengthFollowsTheUserVolume)
{
    Bytes song = st::Song(Cat({NoteOn(0, 60, 90, true), Delay(100), End()}));
    for (auto [volume, ticks] : {std::pair{127, 58}, {50, 51}, {10, 11}}) {
        MUS_SetVolume(volume);
        MUS_ServiceFader();
        Play(song, 1);
        MUS_StopSong(1);
        int n = 0;
        while (MUS_SongPlaying() && n < 1000) {
            MUS_ServiceFader();
            n++;
        }
        EXPECT_EQ(n, ticks) << "from volume " << volume;
        auto ops = st::Take();
        EXPECT_EQ(Count(ops, "ctrl 15 10 0"), 1);
        EXPECT_EQ(Count(ops, "ctrl 7 11 0"), 1);
    }
    // With the music turned down to nothing there is nothing to fade: it stops at once.
    MUS_SetVolume(0);
    Play(song, 1);
    MUS_StopSong(1);
    EXPECT_FALSE(MUS_SongPlaying());
}

TEST_F(MusicTest, FadeInStopsAtTheUserVolume)
{
    MUS_SetVolume(60);
    MUS_ServiceFader();
    Play(st::Song(Cat({Ctrl(0, MUS_CTRL_VOLUME, 127, true), Delay(100), End()}), 1), 1, 1);
    EXPECT_EQ(music_vol, 0);
    for (int t = 0; t < 100; t++) {
        MUS_Service();
        MUS_ServiceFader();
    }
    EXPECT_EQ(music_vol, 60);
    EXPECT_FALSE(music_fading);
    auto ops = st::Take();
    int highest = 0;
    for (const auto& op : st::Matching(ops, "ctrl 0 3 "))
        highest = std::max(highest, std::stoi(op.substr(9)));
    EXPECT_EQ(highest, 60);
}

TEST_F(MusicTest, VolumeChangesAreResentOnlyWhereTheyChange)
{
    MUS_SetVolume(50);
    MUS_ServiceFader();
    Play(st::Song(Cat({Ctrl(0, MUS_CTRL_VOLUME, 100), Ctrl(1, MUS_CTRL_VOLUME, 40),
                       Ctrl(2, MUS_CTRL_VOLUME, 127, true), Delay(1000), End()}),
                  3));
    MUS_Service();
    EXPECT_EQ(st::Take(), (std::vector<std::string>{"ctrl 0 3 50", "ctrl 1 3 40", "ctrl 2 3 50"}));

    MUS_SetVolume(100);
    MUS_ServiceFader();
    EXPECT_EQ(st::Take(),
              (std::vector<std::string>{"ctrl 0 3 100", "ctrl 2 3 100", "ctrl 15 3 100"}));
    MUS_ServiceFader();
    EXPECT_TRUE(st::Take().empty());
    MUS_SetVolume(30);
    MUS_ServiceFader();
    EXPECT_EQ(st::Take(), (std::vector<std::string>{"ctrl 0 3 30", "ctrl 1 3 30", "ctrl 2 3 30",
                                                    "ctrl 15 3 30"}));
}

TEST_F(MusicTest, TheMillisecondClockRunsSeventyTicksASecondWithoutDrift)
{
    MUS_DeInit();
    vt::FakeClock clock(5000);
    MUS_InitDevice(&st::recorder, 0);
    // One note per tick.
    Play(st::Song(Cat({NoteOn(0, 60, 90, true), Delay(1), End()})), 1);
    clock.advance(1000);
    MUS_Poll();
    EXPECT_EQ(Count(st::Take(), "on "), 70);
    for (int s = 0; s < 59; s++) {
        clock.advance(1000);
        MUS_Poll();
    }
    EXPECT_EQ(Count(st::Take(), "on "), 59 * 70);
    // A long gap without a pump is caught up at the next one.
    clock.advance(10000);
    MUS_Poll();
    EXPECT_EQ(Count(st::Take(), "on "), 700);
}

TEST_F(MusicTest, TheOutputClockPlacesTicksOnExactFrames)
{
    MUS_DeInit();
    MUS_InitDevice(&st::recorder_mix, 0);
    Play(st::Song(
        Cat({NoteOn(0, 60, 90, true), Delay(200), NoteOn(0, 62, 90, true), Delay(50), End()})));
    std::vector<int16_t> buf(512 * 2);
    while (st::mixed_frames < 44100 * 4)
        MUS_Mix(buf.data(), 512);
    ASSERT_EQ(st::ops.size(), 2u);
    // 44,100 / 70 = 630 frames a tick; the first tick ends the first 630 frames.
    EXPECT_EQ(st::op_frames[0], 630);
    EXPECT_EQ(st::op_frames[1], 630 * 201);
    // At 48,000 Hz a tick is 685 5/7 frames, and the music is mixed in runs up to the next
    // tick of any clock: tick n still ends on the first frame F with 70 F >= 48,000 n.
    MUS_DeInit();
    fx_freq = 48000;
    MUS_InitDevice(&st::recorder_mix, 0);
    st::mixed_frames = 0;
    Play(st::Song(
        Cat({NoteOn(0, 60, 90, true), Delay(200), NoteOn(0, 62, 90, true), Delay(50), End()})));
    while (st::mixed_frames < 48000 * 4)
        MUS_Mix(buf.data(), 500);
    ASSERT_EQ(st::ops.size(), 2u);
    EXPECT_EQ(st::op_frames[0], 686);
    EXPECT_EQ(st::op_frames[1], 137829); // 48,000 x 201 / 70 = 137,828 4/7
    fx_freq = 44100;
    // A frame clock with no device that mixes does nothing.
    MUS_DeInit();
    MUS_InitDevice(&st::recorder, 0);
    long before = st::mixed_frames;
    MUS_Mix(buf.data(), 512);
    EXPECT_EQ(st::mixed_frames, before);
}

} // namespace
