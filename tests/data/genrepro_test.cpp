// The generator as a program: the same sources give the same bytes, and a mistake in a
// source is reported with its file and line instead of making a broken data set.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace
{

const std::string kGenerator = VULTAR_BINARY_DIR "/tools/gen/vultar_gen";
const std::string kSources = VULTAR_SOURCE_DIR "/data";

int Generate(const std::string& sources, const std::string& out, const std::string& log)
{
    std::string cmd =
        kGenerator + " --data '" + sources + "' --out '" + out + "' >'" + log + "' 2>&1";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// Placements of 31 gunships, one every four rows from row 131 up.
const std::string& Patrols()
{
    static const std::string text = [] {
        std::string t = "[enemies]\n";
        for (int k = 0; k < 31; k++)
            t += std::to_string(131 - 4 * k) + " " + std::to_string(2 + k % 5) + " gunship\n";
        return t;
    }();
    return text;
}

} // namespace

TEST(Generator, AnotherRunWritesTheSameBytes)
{
    // The build made its archives in a run of its own; a second run from the same sources
    // must match them byte for byte.
    vt::TempHome home;
    std::string a = home.dir() + "/a", log = home.dir() + "/log";
    ASSERT_EQ(Generate(kSources, a, log), 0) << vt::ReadTextFile(log);
    for (int n = 0; n < 5; n++) {
        std::string name = "/FILE000" + std::to_string(n) + ".GLB";
        std::vector<uint8_t> again = vt::ReadFileBytes(a + name);
        EXPECT_FALSE(again.empty()) << name;
        EXPECT_EQ(again, vt::ReadFileBytes(VULTAR_BINARY_DIR "/data" + name)) << name;
    }
    EXPECT_FALSE(fs::exists(a + "/FILE0000.GLB.tmp"));
}

TEST(Generator, TheArchiveToolFindsNothingWrong)
{
    std::string cmd = VULTAR_BINARY_DIR "/tools/glbtool/glbtool verify";
    for (int n = 0; n < 5; n++)
        cmd += " " VULTAR_BINARY_DIR "/data/FILE000" + std::to_string(n) + ".GLB";
    cmd += " >/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

TEST(Generator, MistakesInTheSourcesNameTheirPlace)
{
    vt::TempHome home;
    std::string src = home.dir() + "/src", out = home.dir() + "/out", log = home.dir() + "/log";
    struct Case {
        const char* file;
        const char* find; // nullptr: replace the whole file
        const char* replace;
        const char* message;
    };
    const Case cases[] = {
        // A map character the legend does not explain.
        {"maps/e1w3.txt", "[map]\n", "[map]\n..Q......\n", "maps/e1w3.txt:"},
        // A colour component out of range.
        {"palette.txt", "color 64  63 18 40", "color 64  64 18 40", "palette.txt:"},
        // An enemy type nobody defined.
        {"maps/e2w1.txt", "[enemies]\n", "[enemies]\n100 4 nobody\n", "no enemy 'nobody'"},
        // A wave whose last enemy would not come on every level.
        {"maps/e1w1.txt", "[enemies]\n", "[enemies]\n0 4 dart hard\n", "last enemy"},
        // Gunships patrol until they are shot down: one every four rows piles up past
        // the 30 the game holds, although no two of them come in together.
        {"maps/e1w1.txt", "[enemies]\n", Patrols().c_str(), "in play at once"},
        // A map row one cell short.
        {"maps/e3w2.txt", "[map]\n", "[map]\n........\n", "maps/e3w2.txt:"},
        // A legend naming a ground the episode does not have.
        {"tiles/e2.txt", ".  sand\n", ".  lava\n", "no ground 'lava'"},
        // A destructible road.
        {"tiles/e1.txt", "=  grass   road\n", "=  grass   road 5 5\n", "roads cannot be destroyed"},
        // An animation type the enemy code refuses.
        {"enemies/e4.txt", "enemy dart fighter\n", "enemy dart fighter\n  animtype 3\n",
         "animtype"},
        // A glyph taller than its font.
        {"fonts/small.txt", "glyph A\n", "glyph A\n#\n#\n#\n#\n#\n#\n#\n", "taller than the font"},
        // A colour set twice.
        {"palette.txt", "color 0    0  0  0  black\n", "color 0    0  0  0  black\ncolor 3 1 1 1\n",
         "set twice"},
        // A help page with nothing but comments.
        {"help/VUL1_TXT.txt", nullptr, "; nothing here yet\n", "VUL1_TXT"},
        // A recorded demo cut short.
        {"demos/e2d3.dem", nullptr, "not a demo", "demos/e2d3.dem"},
    };
    for (const Case& c : cases) {
        fs::remove_all(src);
        fs::copy(kSources, src, fs::copy_options::recursive);
        std::string text = vt::ReadTextFile(src + "/" + c.file);
        if (c.find) {
            size_t at = text.find(c.find);
            ASSERT_NE(at, std::string::npos) << c.file;
            text.replace(at, strlen(c.find), c.replace);
        } else {
            text = c.replace; // the whole file
        }
        vt::WriteTextFile(src + "/" + c.file, text);
        EXPECT_EQ(Generate(src, out, log), 1) << c.file;
        EXPECT_NE(vt::ReadTextFile(log).find(c.message), std::string::npos)
            << vt::ReadTextFile(log);
        EXPECT_FALSE(fs::exists(out + "/FILE0004.GLB")) << "archives written from broken sources";
    }
}
