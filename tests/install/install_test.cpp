// Installs this build into a temporary prefix, as a user or a distribution package would,
// and checks the installed game, its manual pages and its desktop files.
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "game/usage.h"
#include "testutil/testutil.h"

namespace
{

namespace fs = std::filesystem;

class InstallTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        prefix = home.dir() + "/prefix";
        work = home.dir() + "/work";
        fs::create_directories(work);
        vt::CommandRun r = vt::RunCommand(std::string(VULTAR_CMAKE_COMMAND) + " --install " +
                                          VULTAR_BINARY_DIR + " --prefix " + prefix);
        ASSERT_EQ(r.status, 0) << r.out;
    }

    // Runs an installed program from the empty working directory, with the test's own
    // per-user folder and no display or sound.
    vt::CommandRun Installed(const std::string& args)
    {
        return vt::RunCommand("cd " + work + " && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                              prefix + "/" + args);
    }

    static bool Has(const std::string& text, const std::string& part)
    {
        return text.find(part) != std::string::npos;
    }

    vt::TempHome home;
    std::string prefix, work;
};

// The archives are nowhere but in P/share/vultar/: not in the working directory, not in the
// per-user folder. Once they have been read the game takes the demo file, refuses it as
// empty and ends, as a timedemo does.
TEST_F(InstallTest, InstalledGameReadsItsArchivesFromTheSharedFolder)
{
    for (int n = 0; n < 5; n++)
        EXPECT_TRUE(fs::exists(prefix + "/share/vultar/FILE000" + std::to_string(n) + ".GLB"));
    vt::WriteTextFile(work + "/empty.dem", "");

    vt::CommandRun r = Installed("bin/vultar TIMEDEMO empty.dem");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "Loading Graphics\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "DEMO empty.dem refused: not a demo file\n")) << r.out;
    EXPECT_FALSE(Has(r.out, "NOT FOUND")) << r.out;

    // Without the shared folder the same run finds no data at all.
    fs::rename(prefix + "/share/vultar", prefix + "/share/elsewhere");
    r = Installed("bin/vultar TIMEDEMO empty.dem");
    EXPECT_TRUE(Has(r.out, "All game data files NOT FOUND cannot proceed !!\n")) << r.out;
    EXPECT_FALSE(Has(r.out, "Loading Graphics")) << r.out;
}

// --help and --version answer before anything opens: not even the per-user folder, which
// the game makes first thing on a normal start, comes into being.
TEST_F(InstallTest, HelpAndVersionPrintAndLeaveBeforeAnythingOpens)
{
    vt::CommandRun version = Installed("bin/vultar --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vultar 0.8.2\n"));

    vt::CommandRun help = Installed("bin/vultar REC x.dem --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vultar [REC FILE | PLAY FILE | TIMEDEMO FILE]\n"))
        << help.out;
    EXPECT_FALSE(Has(help.out, "VULTAR: V1.2"));
    EXPECT_FALSE(fs::exists(home.dataPath()));
}

// The installed manual pages format without a warning and explain every word, key, file
// and variable the installed game's --help does.
TEST_F(InstallTest, ManualPagesMatchTheHelp)
{
    vt::CommandRun help = Installed("bin/vultar --help");
    for (const char* page : {"man6/vultar.6.gz", "man1/glbtool.1.gz", "man1/scenetool.1.gz"}) {
        std::string path = prefix + "/share/man/" + page;
        vt::CommandRun warn =
            vt::RunCommand("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l " + path + " >/dev/null");
        EXPECT_EQ(warn.status, 0) << page;
        EXPECT_EQ(warn.out, "") << page;
    }
    vt::CommandRun man =
        vt::RunCommand("LC_ALL=C MANWIDTH=200 man -l " + prefix + "/share/man/man6/vultar.6.gz");
    ASSERT_EQ(man.status, 0);
    for (const MAN_SECTION& s : vul_manual.sections)
        for (const MAN_ITEM& item : s.items) {
            std::string term;
            for (const char* c = item.term; *c; c++)
                if (*c != '{' && *c != '}') term += *c;
            EXPECT_TRUE(Has(help.out, "  " + term)) << term;
            EXPECT_TRUE(Has(man.out, term)) << term;
        }
}

// Width and height from a PNG file's header.
std::pair<int, int> PngSize(const std::string& path)
{
    std::vector<uint8_t> b = vt::ReadFileBytes(path);
    if (b.size() < 24 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return {0, 0};
    auto be32 = [&](size_t at) {
        return b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    };
    return {be32(16), be32(20)};
}

TEST_F(InstallTest, DesktopEntryIconsAndMetainfoValidate)
{
    std::string desktop = prefix + "/share/applications/vultar.desktop";
    vt::CommandRun r = vt::RunCommand("desktop-file-validate " + desktop);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    r = vt::RunCommand("appstream-util validate-relax --nonet " + prefix +
                       "/share/metainfo/vultar.metainfo.xml");
    EXPECT_EQ(r.status, 0) << r.out;

    // The entry starts the installed program and names the installed icon.
    std::string entry = vt::ReadTextFile(desktop);
    EXPECT_TRUE(Has(entry, "\nExec=vultar\n"));
    EXPECT_TRUE(Has(entry, "\nIcon=vultar\n"));
    EXPECT_TRUE(Has(entry, "\nCategories=Game;ActionGame;\n"));
    EXPECT_TRUE(fs::exists(prefix + "/bin/vultar"));
    for (int size : {32, 64, 128, 256}) {
        std::string s = std::to_string(size);
        std::string icon = prefix + "/share/icons/hicolor/" + s + "x" + s + "/apps/vultar.png";
        EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
    }
}

} // namespace
