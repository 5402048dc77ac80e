// Finding and loading the SoundFont of the SoundFont back-end.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sound/mputsf.h"
#include "testutil/testutil.h"

namespace
{

namespace fs = std::filesystem;

class SoundFontTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(home.dataPath());
        workdir = home.dir() + "/work";
        fs::create_directories(workdir);
        old_cwd = fs::current_path();
        fs::current_path(workdir);
        gm = SYN_DefaultSoundFont();
        ASSERT_NE(gm, nullptr) << "the General MIDI SoundFont package is missing";
    }
    void TearDown() override { fs::current_path(old_cwd); }
    std::string Find(const char* name)
    {
        char path[600] = "";
        EXPECT_TRUE(TSF_FindSoundFont(name, path, sizeof(path)));
        return path;
    }

    vt::TempHome home;
    std::string workdir;
    fs::path old_cwd;
    const char* gm = nullptr;
};

TEST_F(SoundFontTest, TheDataFolderComesFirstThenTheWorkingDirectoryThenGeneralMidi)
{
    EXPECT_EQ(Find("Mine.sf2"), gm);
    vt::WriteTextFile(workdir + "/Mine.sf2", "x");
    EXPECT_EQ(Find("Mine.sf2"), "Mine.sf2");
    vt::WriteTextFile(home.dataPath() + "Mine.sf2", "x");
    EXPECT_EQ(Find("Mine.sf2"), home.dataPath() + "Mine.sf2");
    EXPECT_EQ(Find(""), gm);
}

TEST_F(SoundFontTest, AFileThatIsNoSoundFontFallsBackToGeneralMidi)
{
    fs::copy_file(gm, home.dataPath() + "Real.sf2");
    vt::WriteTextFile(home.dataPath() + "Broken.sf2", "not a SoundFont at all");
    SOFTSYNTH syn;
    char path[600];
    ASSERT_TRUE(TSF_LoadSoundFont(&syn, "Real.sf2", path, sizeof(path)));
    EXPECT_EQ(std::string(path), home.dataPath() + "Real.sf2");
    SYN_Close(&syn);
    ASSERT_TRUE(TSF_LoadSoundFont(&syn, "Broken.sf2", path, sizeof(path)));
    EXPECT_STREQ(path, gm);
    // The synthesiser answers: a note renders as sound.
    SYN_Message(&syn, 0x90, 60, 110);
    std::vector<int16_t> out(4096 * 2);
    SYN_Render(&syn, out.data(), 4096);
    int peak = 0;
    for (int16_t s : out)
        peak = std::max(peak, std::abs(int(s)));
    EXPECT_GT(peak, 500);
    SYN_Close(&syn);
}

} // namespace
