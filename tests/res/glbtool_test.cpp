// glbtool end to end: pack, list, extract and pack again give back the same items and the
// same archive; verify and pack complain about what is wrong and say so in the exit status.
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "res/glbapi.h"
#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace
{

using ToolRun = vt::CommandRun;

ToolRun Tool(const std::string& args)
{
    return vt::RunCommand(std::string(GLBTOOL_PATH) + " " + args);
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i++)
        v[i] = static_cast<uint8_t>(seed * 31 + i * 13);
    return v;
}

class GlbtoolTest : public ::testing::Test
{
  protected:
    void SetUp() override { dir = home.dir() + "/"; }
    vt::TempHome home;
    std::string dir;
};

TEST_F(GlbtoolTest, PackListExtractPackGivesBackTheSameBytes)
{
    std::vector<uint8_t> pal = Pattern(768, 1), odd = Pattern(13, 2), big = Pattern(70001, 3);
    vt::WriteFileBytes(dir + "pal.bin", pal);
    vt::WriteFileBytes(dir + "odd.bin", odd);
    fs::create_directories(dir + "sub");
    vt::WriteFileBytes(dir + "sub/big file.bin", big);
    vt::WriteTextFile(dir + "in.lst", "# a test set\n"
                                      "\n"
                                      "plain     PALETTE  pal.bin\n"
                                      "scrambled \"TWO WORDS\" odd.bin\r\n"
                                      "label     MARK\n"
                                      "scrambled \"\"  \"sub/big file.bin\"\n"
                                      "label     \"q\\\"\\x01\"\n");

    ToolRun r = Tool("pack " + dir + "FILE0002.GLB " + dir + "in.lst");
    ASSERT_EQ(r.status, 0) << r.out;

    r = Tool("list " + dir + "FILE0002.GLB");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("0x020000         768  no         PALETTE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0x020001          13  yes        \"TWO WORDS\""), std::string::npos);
    EXPECT_NE(r.out.find("0x020003       70001  yes        \"\""), std::string::npos);
    r = Tool("list " + dir + "FILE0002.GLB --slot 0x7");
    EXPECT_NE(r.out.find("0x070002           0  no         MARK"), std::string::npos) << r.out;

    r = Tool("extract " + dir + "FILE0002.GLB " + dir + "out");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(vt::ReadFileBytes(dir + "out/00000_PALETTE.bin"), pal);
    EXPECT_EQ(vt::ReadFileBytes(dir + "out/00001_TWO_WORDS.bin"), odd);
    EXPECT_EQ(vt::ReadFileBytes(dir + "out/00003.bin"), big);

    r = Tool("pack " + dir + "again.glb " + dir + "out/items.lst");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(vt::ReadFileBytes(dir + "again.glb"), vt::ReadFileBytes(dir + "FILE0002.GLB"));

    // And the game reads what the tool wrote.
    GLB_InitSystem(dir.c_str(), 3, nullptr);
    EXPECT_EQ(GLB_GetItemID("TWO WORDS"), 0x20001);
    EXPECT_EQ(GLB_GetItemID("q\"\x01"), 0x20004);
    EXPECT_TRUE(GLB_IsLabel(0x20002));
    std::vector<uint8_t> got(70001);
    GLB_ReadItem(0x20003, got.data());
    EXPECT_EQ(got, big);
    GLB_Shutdown();
}

TEST_F(GlbtoolTest, VerifyReportsEveryProblem)
{
    vt::WriteFileBytes(dir + "a.bin", Pattern(500, 1));
    vt::WriteFileBytes(dir + "b.bin", Pattern(500, 2));
    vt::WriteTextFile(dir + "in.lst", "plain A a.bin\nplain B b.bin\nlabel A\nlabel \" X\"\n");
    ASSERT_EQ(Tool("pack " + dir + "good.glb " + dir + "in.lst").status, 0);

    ToolRun r = Tool("verify " + dir + "good.glb");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("ok, 4 entries"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("note: entry 2: label A repeats entry 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("note: entry 3: label \" X\" begins with a blank"), std::string::npos);

    // Cut inside the first item: both items now run past the end.
    std::vector<uint8_t> bytes = vt::ReadFileBytes(dir + "good.glb");
    bytes.resize(28 + 4 * 28 + 100);
    vt::WriteFileBytes(dir + "cut.glb", bytes);
    // Cut inside the directory.
    bytes.resize(28 + 28 + 10);
    vt::WriteFileBytes(dir + "dir.glb", bytes);
    bytes.resize(20);
    vt::WriteFileBytes(dir + "short.glb", bytes);

    r = Tool("verify " + dir + "cut.glb " + dir + "dir.glb " + dir + "short.glb " + dir +
             "good.glb");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("cut.glb: entry 0: item data does not lie inside the file (offset 140, "
                         "length 500, file 240 bytes)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("cut.glb: entry 1: item data"), std::string::npos);
    EXPECT_NE(r.out.find("dir.glb: directory of 4 entries runs past the end of the file; "
                         "only 1 fit"),
              std::string::npos);
    EXPECT_NE(r.out.find("short.glb: file is 20 bytes, shorter than the 28-byte header"),
              std::string::npos);
    EXPECT_NE(r.out.find("good.glb: ok"), std::string::npos);

    // Extracting a damaged archive keeps what is sound and says it was damaged.
    r = Tool("extract " + dir + "cut.glb " + dir + "cutout");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(vt::ReadTextFile(dir + "cutout/items.lst").find("label      A\n"), std::string::npos);
}

TEST_F(GlbtoolTest, PackRefusesBadListsWithoutWritingAnything)
{
    vt::WriteFileBytes(dir + "a.bin", Pattern(10, 1));
    struct Case {
        const char* list;
        const char* complaint;
    } cases[] = {
        {"plain SIXTEEN_CHARS_XX a.bin\n", "in.lst:1: label longer than 15"},
        {"label OK\nplain A missing.bin\n", "in.lst:2: cannot read"},
        {"packed A a.bin\n", "in.lst:1: unknown entry kind 'packed'"},
        {"plain \"A a.bin\n", "in.lst:1: quote not closed"},
        {"plain A\n", "in.lst:1: expected: plain LABEL FILE"},
    };
    for (const Case& c : cases) {
        vt::WriteTextFile(dir + "in.lst", c.list);
        ToolRun r = Tool("pack " + dir + "out.glb " + dir + "in.lst");
        EXPECT_EQ(r.status, 2) << c.list;
        EXPECT_NE(r.out.find(c.complaint), std::string::npos) << r.out;
        EXPECT_FALSE(fs::exists(dir + "out.glb"));
    }
    EXPECT_EQ(Tool("frobnicate").status, 2);
    ToolRun help = Tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("scrambled  LABEL FILE"), std::string::npos);
}

} // namespace
