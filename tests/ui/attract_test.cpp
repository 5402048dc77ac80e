// The attract mode on a data set whose second archive has lost its demos (an archive of
// the player's own from before it held any): those steps are passed over and the next
// demo that is there plays, not the one played before.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/archive_read.h"
#include "game/demo.h"
#include "game/game.h"
#include "res/glbwrite.h"
#include "res/itemtable.h"
#include "testutil/gamestart.h"
#include "ui/windows.h"

namespace
{

namespace fs = std::filesystem;

struct PLAYED {
    int game, wave;
    bool operator==(const PLAYED&) const = default;
};
std::ostream& operator<<(std::ostream& os, const PLAYED& p)
{
    return os << "episode " << p.game << " wave " << p.wave;
}
std::vector<PLAYED> played;

// Notes the demo each shown frame belongs to, and stops it as a key press would.
void EachFrame(int point)
{
    if (point != GAME_FRAME_SHOWN) return;
    const PLAYED now{cur_game, game_wave[cur_game]};
    if (played.empty() || !(played.back() == now)) played.push_back(now);
    // Escape held as the frame's keys are looked at, let go at the next look.
    keyboard[SC_ESCAPE] = 1;
    vt::PushKey(SDL_SCANCODE_ESCAPE, false);
}

// The episode and wave a demo item holds, read from the archive file itself.
PLAYED DemoHeader(const std::string& archive, int index)
{
    std::string why;
    std::vector<ArchiveItem> items = ReadArchive(archive, &why);
    EXPECT_GT(items.size(), size_t(index)) << why;
    if (items.size() <= size_t(index) || items[index].data.size() < 8) return {-1, -1};
    const std::vector<uint8_t>& d = items[index].data;
    return {d[4] | d[5] << 8, d[6] | d[7] << 8};
}

TEST(AttractMode, ADemoThatIsNotThereIsPassedOverForTheNextOne)
{
    const std::string real = VULTAR_BINARY_DIR "/data/";
    vt::TempHome tmp;
    const std::string data = tmp.dir() + "/data/";
    fs::create_directories(data);
    for (const char* name : {"FILE0000.GLB", "FILE0001.GLB", "FILE0003.GLB", "FILE0004.GLB"})
        if (fs::exists(real + name)) fs::create_symlink(real + name, data + name);
    // The second archive with its three demo items left empty.
    std::string why;
    std::vector<ArchiveItem> items = ReadArchive(real + "FILE0002.GLB", &why);
    ASSERT_FALSE(items.empty()) << why;
    std::vector<GLB_WRITEITEM> copy;
    for (size_t i = 0; i < items.size(); i++) {
        const int id = ITM_Id(2, int(i));
        const bool demo = id >= ITM_DEMOS2 && id < ITM_DEMOS2 + 3;
        copy.push_back(
            {items[i].label, demo ? std::vector<uint8_t>{} : items[i].data, items[i].flags == 1});
    }
    vt::WriteArchive(data + "FILE0002.GLB", copy);

    vt::StartGame(data.c_str());
    vt::FakeClock clock{1000, 1};
    for (int& flag : gameflag)
        flag = 1;
    const PLAYED first = DemoHeader(real + "FILE0001.GLB", ITM_DEMOS1 & 0xFFFF);
    const PLAYED third = DemoHeader(real + "FILE0003.GLB", ITM_DEMOS3 & 0xFFFF);
    ASSERT_NE(first, third) << "the two demos must be told apart";

    // The first archive's demo was the one played last: it is what the player holds.
    ASSERT_TRUE(DEMO_GLBFile(ITM_DEMOS1));
    game_framehook = EachFrame;
    // With every episode here the cycle has eleven steps; the sixth to eighth are the
    // second archive's demos and the ninth the first of the third archive's.
    WIN_MainAuto(5);
    game_framehook = nullptr;
    keyboard[SC_ESCAPE] = 0;
    ASSERT_EQ(played.size(), 1u) << "the key press ends the attract mode";
    EXPECT_EQ(played[0], third);
}

} // namespace
