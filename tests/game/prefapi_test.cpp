#include <array>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/prefapi.h"
#include "setup/se_prefapi.h"
#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace
{

class PrefTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        path = home.dir() + "/setup.ini";
        INI_InitPreference(path.c_str());
    }

    void Put(const std::string& text) { vt::WriteTextFile(path, text); }
    std::string File() const { return vt::ReadTextFile(path); }
    ino_t Inode() const
    {
        struct stat st;
        return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    std::string Get(const char* section, const char* key, const char* def = "<default>")
    {
        char buf[256];
        INI_GetPreference(section, key, buf, sizeof(buf), def);
        return buf;
    }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(home.dir()))
            names.push_back(e.path().filename().string());
        return names;
    }

    vt::TempHome home;
    std::string path;
};

const std::string kTwoSections = "\r\n[Setup]\r\nDetail=1\r\nControl=0\r\n"
                                 "\r\n[Music]\r\nVolume=85\r\nCardType=8\r\n";

// ---------------------------------------------------------------------------------------
// Reading

TEST_F(PrefTest, TypedReadersConvertTheText)
{
    Put("[T]\r\nL=42\r\nNeg=-17\r\nPart=12abc\r\nWord=abc\r\nH=ff\r\nHx=0x1A\r\n"
        "Hneg=fffffffe\r\nHbad=zz\r\nB1=1yes\r\nB0=0\r\nBT=TRUE\r\nBF=FALSE\r\nBt=true\r\n"
        "B2=2\r\nBTx=TRUEX\r\nS=some text with = signs\r\n");
    EXPECT_EQ(INI_GetPreferenceLong("T", "L", 5), 42);
    EXPECT_EQ(INI_GetPreferenceLong("T", "Neg", 5), -17);
    EXPECT_EQ(INI_GetPreferenceLong("T", "Part", 5), 12);
    EXPECT_EQ(INI_GetPreferenceLong("T", "Word", 5), 0);
    EXPECT_EQ(INI_GetPreferenceHex("T", "H", 5), 255);
    EXPECT_EQ(INI_GetPreferenceHex("T", "Hx", 5), 26);
    EXPECT_EQ(INI_GetPreferenceHex("T", "Hneg", 5), -2);
    EXPECT_EQ(INI_GetPreferenceHex("T", "Hbad", 5), 0);
    EXPECT_EQ(INI_GetPreferenceBool("T", "B1", 0), 1);
    EXPECT_EQ(INI_GetPreferenceBool("T", "B0", 1), 0);
    EXPECT_EQ(INI_GetPreferenceBool("T", "BT", 0), 1);
    EXPECT_EQ(INI_GetPreferenceBool("T", "BF", 1), 0);
    EXPECT_EQ(INI_GetPreferenceBool("T", "Bt", 1), 0) << "only upper-case TRUE is true";
    EXPECT_EQ(INI_GetPreferenceBool("T", "B2", 0), 2);
    EXPECT_EQ(INI_GetPreferenceBool("T", "BTx", 1), 0);
    EXPECT_EQ(Get("T", "S"), "some text with = signs");

    // Missing keys give the default; a Bool default is only ever TRUE or FALSE.
    EXPECT_EQ(INI_GetPreferenceLong("T", "none", 127), 127);
    EXPECT_EQ(INI_GetPreferenceHex("T", "none", 0x1234), 0x1234);
    EXPECT_EQ(INI_GetPreferenceBool("T", "none", 5), 1);
    EXPECT_EQ(INI_GetPreferenceBool("T", "none", 0), 0);
    EXPECT_EQ(Get("T", "none"), "<default>");
    EXPECT_EQ(Get("T", "none", nullptr), "");
}

TEST_F(PrefTest, EmptyValueIsReadAsEmptyNotAsTheDefault)
{
    Put("\r\n[Music]\r\nVolume=\r\nBare\r\n");
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 0);
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Bare", 127), 0);
    EXPECT_EQ(INI_GetPreferenceHex("Music", "Volume", 127), 0);
    EXPECT_EQ(INI_GetPreferenceBool("Music", "Volume", 1), 0);
    EXPECT_EQ(Get("Music", "Volume"), "");
}

TEST_F(PrefTest, ParsingTraps)
{
    Put("Orphan=1\r\n"
        "[Music]\r\n"
        "[Setup\r\n"
        "Lost=2\r\n"
        "\r\n[Setup]\r\n"
        "Control =1\r\n"
        "==Detail=4=5\r\n"
        ";Comment=6\r\n"
        "Dup=first\r\n"
        "Dup=second\r\n"
        "[setup]\r\n"
        "Case=7\r\n"
        "[Setup]\r\n"
        "Later=8\n");
    // Before the first header nothing belongs to any section.
    EXPECT_EQ(INI_GetPreferenceLong("", "Orphan", -1), -1);
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Orphan", -1), -1);
    // "[Setup" is no header: its following line still belongs to Music.
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Lost", -1), 2);
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Lost", -1), -1);
    // Blanks belong to the key.
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Control", -1), -1);
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Control ", -1), 1);
    // Leading '=' signs are skipped; later ones belong to the value.
    EXPECT_EQ(Get("Setup", "Detail"), "4=5");
    EXPECT_EQ(INI_GetPreferenceLong("Setup", ";Comment", -1), 6);
    EXPECT_EQ(Get("Setup", "Dup"), "first");
    // Names are case-sensitive, and only the first section of a name is searched.
    EXPECT_EQ(INI_GetPreferenceLong("setup", "Case", -1), 7);
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Case", -1), -1);
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Later", -1), -1);
}

TEST_F(PrefTest, ByteOrderMarkDoesNotHideTheFirstHeader)
{
    Put("\xEF\xBB\xBF[Setup]\r\nDetail=3\r\n");
    EXPECT_EQ(INI_GetPreferenceLong("Setup", "Detail", 1), 3);
    EXPECT_EQ(INI_PutPreferenceLong("Setup", "Detail", 4), 1);
    EXPECT_EQ(File(), "\xEF\xBB\xBF[Setup]\r\nDetail=4\r\n");
}

TEST_F(PrefTest, LongLinesAreReadInPiecesOf127)
{
    std::string first = "Long=" + std::string(122, 'x'); // exactly one piece
    Put("[S]\r\n" + first + "Tail=9\r\n" + "k=" + std::string(125, 'y') + "[Other]\r\nZ=1\r\n" +
        std::string(127, 'w') + "\r\nAfter=3\r\n");
    EXPECT_EQ(Get("S", "Long"), std::string(122, 'x'));
    EXPECT_EQ(INI_GetPreferenceLong("S", "Tail", -1), 9);
    // The rest of an overlong line can even pass for a header.
    EXPECT_EQ(INI_GetPreferenceLong("Other", "Z", -1), 1);
    // A line of exactly 127 characters does not swallow the next one.
    EXPECT_EQ(INI_GetPreferenceLong("Other", "After", -1), 3);
}

TEST_F(PrefTest, ReadsStayInsideTheirBuffers)
{
    Put("[T]\r\nS=abcdefgh\r\nBig=12345678901234567890\r\nHuge=99999999999\r\n"
        "Tiny=-99999999999\r\nHbig=123456789\r\n");
    char buf[4] = "zz";
    EXPECT_EQ(INI_GetPreference("T", "S", buf, sizeof(buf), nullptr), buf);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(INI_GetPreference("T", "missing", buf, sizeof(buf), "defaultlong"), buf);
    EXPECT_STREQ(buf, "def");
    EXPECT_EQ(INI_GetPreference(nullptr, "S", buf, sizeof(buf), "d"), nullptr);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(INI_GetPreference("T", "S", nullptr, 4, "d"), nullptr);
    EXPECT_EQ(INI_GetPreference("T", "S", buf, 0, "d"), nullptr);
    EXPECT_EQ(INI_GetPreferenceLong(nullptr, "S", 5), 0);
    EXPECT_EQ(INI_GetPreferenceBool("T", nullptr, 1), 0);

    // Numbers beyond an int stop at its limits instead of wrapping around.
    EXPECT_EQ(INI_GetPreferenceLong("T", "Big", 0), INT_MAX);
    EXPECT_EQ(INI_GetPreferenceLong("T", "Huge", 0), INT_MAX);
    EXPECT_EQ(INI_GetPreferenceLong("T", "Tiny", 0), INT_MIN);
    EXPECT_EQ(INI_GetPreferenceHex("T", "Hbig", 0), -1);
}

TEST_F(PrefTest, MissingOrUnusableFileGivesDefaults)
{
    EXPECT_EQ(INI_InitPreference(path.c_str()), 0);
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 127);
    Put("[Music]\r\nVolume=3\r\n");
    EXPECT_EQ(INI_InitPreference(nullptr), 1) << "a null path keeps the current file";
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 3);

    // A folder where the file should be is no file.
    std::string dir = home.dir() + "/folder.ini";
    fs::create_directory(dir);
    INI_InitPreference(dir.c_str());
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 127);
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 0);

    // A path too long to remember is dropped rather than cut short.
    std::string longpath = home.dir() + "/" + std::string(kIniPathMax, 'p');
    EXPECT_EQ(INI_InitPreference(longpath.c_str()), 0);
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 0);
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 127);
}

// ---------------------------------------------------------------------------------------
// Writing: the exact bytes

TEST_F(PrefTest, ChangedValueIsRewrittenInPlace)
{
    Put(kTwoSections);
    EXPECT_EQ(INI_PutPreferenceLong("Setup", "Detail", 12345), 1);
    EXPECT_EQ(File(), "\r\n[Setup]\r\nDetail=12345\r\nControl=0\r\n"
                      "\r\n[Music]\r\nVolume=85\r\nCardType=8\r\n");

    Put(kTwoSections);
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 7), 1);
    std::string after = File();
    EXPECT_EQ(after.size(), kTwoSections.size() - 1);
    EXPECT_EQ(after, "\r\n[Setup]\r\nDetail=1\r\nControl=0\r\n"
                     "\r\n[Music]\r\nVolume=7\r\nCardType=8\r\n");

    // Blank lines just before the replaced line go with it; other blank lines stay.
    Put("[S]\r\nA=1\r\n\r\n\n\r\nB=2\r\nC=3\r\n\r\n[T]\r\n");
    EXPECT_EQ(INI_PutPreference("S", "B", "five"), 1);
    EXPECT_EQ(File(), "[S]\r\nA=1\r\nB=five\r\nC=3\r\n\r\n[T]\r\n");
}

TEST_F(PrefTest, SameValueLeavesTheFileUntouched)
{
    Put(kTwoSections);
    ino_t before = Inode();
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 85), 1);
    EXPECT_EQ(File(), kTwoSections);
    EXPECT_EQ(Inode(), before) << "an unchanged file must not be rewritten";

    // The stored value is compared only up to a further '='.
    Put("[Music]\r\nVolume=85=old\r\n");
    before = Inode();
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 85), 1);
    EXPECT_EQ(File(), "[Music]\r\nVolume=85=old\r\n");
    EXPECT_EQ(Inode(), before);
}

TEST_F(PrefTest, NewKeyGoesAfterTheSectionsLastKeyLine)
{
    Put(kTwoSections);
    EXPECT_EQ(INI_PutPreferenceLong("Setup", "Haptic", 1), 1);
    EXPECT_EQ(File(), "\r\n[Setup]\r\nDetail=1\r\nControl=0\r\nHaptic=1\r\n"
                      "\r\n[Music]\r\nVolume=85\r\nCardType=8\r\n");

    // An empty section takes it right after its header.
    Put("[A]\r\n\r\n[B]\r\n");
    EXPECT_EQ(INI_PutPreference("A", "k", "v"), 1);
    EXPECT_EQ(File(), "[A]\r\nk=v\r\n\r\n[B]\r\n");

    // In the last section, blank lines at the end of the file give way to the new line.
    Put("[A]\r\nx=1\r\n\r\n\r\n");
    EXPECT_EQ(INI_PutPreference("A", "y", "2"), 1);
    EXPECT_EQ(File(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST_F(PrefTest, NewSectionIsAppended)
{
    EXPECT_EQ(INI_PutPreferenceLong("Video", "fullscreen", 1), 1) << "the first write creates";
    EXPECT_EQ(File(), "\r\n[Video]\r\nfullscreen=1\r\n");

    Put(kTwoSections);
    EXPECT_EQ(INI_PutPreferenceBool("Video", "flag", 1), 1);
    EXPECT_EQ(File(), kTwoSections + "\r\n[Video]\r\nflag=TRUE\r\n");

    // A name that only looks like the section's does not count.
    Put("[Setup\r\n[setup]\r\n");
    EXPECT_EQ(INI_PutPreference("Setup", "k", "v"), 1);
    EXPECT_EQ(File(), "[Setup\r\n[setup]\r\n\r\n[Setup]\r\nk=v\r\n");
}

TEST_F(PrefTest, DeletingKeys)
{
    Put("[S]\r\nA=1\r\n\r\nB=2\r\nC=3\r\n");
    EXPECT_EQ(INI_DeletePreference("S", "B"), 1);
    EXPECT_EQ(File(), "[S]\r\nA=1\r\nC=3\r\n");
    EXPECT_EQ(INI_PutPreferenceLong("S", "A", -1), 1);
    EXPECT_EQ(File(), "[S]\r\nC=3\r\n");
    EXPECT_EQ(INI_PutPreferenceHex("S", "C", -1), 1);
    EXPECT_EQ(File(), "[S]\r\n");

    // A key with an empty value is deleted too, not taken as already holding "nothing".
    Put("[Music]\r\nVolume=\r\nCardType=8\r\n");
    EXPECT_EQ(INI_PutPreference("Music", "Volume", ""), 1);
    EXPECT_EQ(File(), "[Music]\r\nCardType=8\r\n");

    // Deleting a key that is not there changes nothing...
    ino_t before = Inode();
    EXPECT_EQ(INI_DeletePreference("Music", "MidiPort"), 1);
    EXPECT_EQ(File(), "[Music]\r\nCardType=8\r\n");
    EXPECT_EQ(Inode(), before);
    // ...except that a missing section still gets its header.
    EXPECT_EQ(INI_DeletePreference("SoundFX", "MidiPort"), 1);
    EXPECT_EQ(File(), "[Music]\r\nCardType=8\r\n\r\n[SoundFX]\r\n");
}

TEST_F(PrefTest, LinesWithoutLineEndAreNotRunInto)
{
    Put("[S]\r\nA=1");
    EXPECT_EQ(INI_PutPreference("S", "B", "2"), 1);
    EXPECT_EQ(File(), "[S]\r\nA=1\r\nB=2\r\n");

    Put("[S]");
    EXPECT_EQ(INI_PutPreference("S", "B", "2"), 1);
    EXPECT_EQ(File(), "[S]\r\nB=2\r\n");

    // A line of exactly one piece is followed by its line end as a blank piece.
    std::string full = std::string(127, 'w');
    Put("[S]\r\n" + full + "\r\n\r\nB=2\r\n");
    EXPECT_EQ(INI_PutPreference("S", "B", "3"), 1);
    EXPECT_EQ(File(), "[S]\r\n" + full + "\r\nB=3\r\n");
    EXPECT_EQ(INI_DeletePreference("S", "B"), 1);
    EXPECT_EQ(File(), "[S]\r\n" + full + "\r\n");
}

TEST_F(PrefTest, WritesThatWouldNotReadBackAreRefused)
{
    Put(kTwoSections);
    std::string longvalue(127 - 4, 'v'); // "Key=" + value is one piece exactly
    EXPECT_EQ(INI_PutPreference(nullptr, "k", "v"), 0);
    EXPECT_EQ(INI_PutPreference("", "k", "v"), 0);
    EXPECT_EQ(INI_PutPreference("S", nullptr, "v"), 0);
    EXPECT_EQ(INI_PutPreference("S", "k", nullptr), 0);
    EXPECT_EQ(INI_PutPreference("S", "", "v"), 0);
    EXPECT_EQ(INI_PutPreference("Se]t", "k", "v"), 0);
    EXPECT_EQ(INI_PutPreference("Se\nt", "k", "v"), 0);
    EXPECT_EQ(INI_PutPreference("S", "k=x", "v"), 0);
    EXPECT_EQ(INI_PutPreference("S", "[k", "v"), 0);
    EXPECT_EQ(INI_PutPreference("S", "k", "v\r\n[Setup]"), 0);
    EXPECT_EQ(INI_PutPreference("S", "Key", (longvalue + "v").c_str()), 0);
    EXPECT_EQ(INI_DeletePreference(nullptr, "k"), 0);
    EXPECT_EQ(File(), kTwoSections);

    EXPECT_EQ(INI_PutPreference("S", "Key", longvalue.c_str()), 1);
    EXPECT_EQ(Get("S", "Key"), longvalue);
}

TEST_F(PrefTest, TypedWritersReadBack)
{
    EXPECT_EQ(INI_PutPreferenceHex("H", "ff", 255), 1);
    EXPECT_EQ(INI_PutPreferenceHex("H", "neg", -2), 1);
    EXPECT_EQ(INI_PutPreferenceLong("L", "neg", -123), 1);
    EXPECT_EQ(INI_PutPreferenceBool("B", "t", 7), 1);
    EXPECT_EQ(INI_PutPreferenceBool("B", "f", 0), 1);
    EXPECT_EQ(File(), "\r\n[H]\r\nff=ff\r\nneg=fffffffe\r\n\r\n[L]\r\nneg=-123\r\n"
                      "\r\n[B]\r\nt=TRUE\r\nf=FALSE\r\n");
    EXPECT_EQ(INI_GetPreferenceHex("H", "neg", 0), -2);
    EXPECT_EQ(INI_GetPreferenceLong("L", "neg", 0), -123);
    EXPECT_EQ(INI_GetPreferenceBool("B", "t", 0), 1);
}

// ---------------------------------------------------------------------------------------
// Writing: never losing the file

TEST_F(PrefTest, WritesLeaveNoTemporaryFileBehind)
{
    // A temporary file left by an earlier crash is cleared away too.
    vt::WriteTextFile(path + ".tmp", "half written");
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(INI_PutPreferenceLong("Setup", "Detail", i), 1);
    EXPECT_EQ(INI_DeletePreference("Setup", "Detail"), 1);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"setup.ini"});
}

TEST_F(PrefTest, FailedWriteKeepsTheOldFile)
{
    Put(kTwoSections);
    // Let the file system refuse anything longer than a few bytes, as a full disk would;
    // this works even for root, who may write into read-only folders.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldsig)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = old;
    tight.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    int result = INI_PutPreferenceLong("Music", "Volume", 100);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldsig);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(File(), kTwoSections);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"setup.ini"});
}

TEST_F(PrefTest, FileThatCannotBeCreatedMakesWritesFail)
{
    std::string nowhere = home.dir() + "/missing/setup.ini";
    INI_InitPreference(nowhere.c_str());
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 0);
    EXPECT_EQ(INI_DeletePreference("Music", "Volume"), 0);
    EXPECT_FALSE(fs::exists(home.dir() + "/missing"));
}

TEST_F(PrefTest, ReadOnlyFolderOrFileKeepsTheOldFile)
{
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::string ro = home.dir() + "/ro";
    fs::create_directory(ro);
    vt::WriteTextFile(ro + "/setup.ini", kTwoSections);
    chmod(ro.c_str(), 0555);
    INI_InitPreference((ro + "/setup.ini").c_str());
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 0);
    chmod(ro.c_str(), 0755);
    EXPECT_EQ(vt::ReadTextFile(ro + "/setup.ini"), kTwoSections);

    // A read-only file in a writable folder is not replaced either.
    chmod((ro + "/setup.ini").c_str(), 0444);
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 0);
    EXPECT_EQ(vt::ReadTextFile(ro + "/setup.ini"), kTwoSections);
}

TEST_F(PrefTest, ReplacingKeepsPermissionsAndLinks)
{
    Put(kTwoSections);
    chmod(path.c_str(), 0640);
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 1), 1);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A linked preference file is written where the link points.
    std::string link = home.dir() + "/link.ini";
    fs::create_symlink(path, link);
    INI_InitPreference(link.c_str());
    EXPECT_EQ(INI_PutPreferenceLong("Music", "Volume", 2), 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 0), 2);
    EXPECT_EQ(File(), "\r\n[Setup]\r\nDetail=1\r\nControl=0\r\n"
                      "\r\n[Music]\r\nVolume=2\r\nCardType=8\r\n");
}

// ---------------------------------------------------------------------------------------
// Defaults

TEST_F(PrefTest, DefaultFileBytes)
{
    VUL_WriteDefaultSetup();
    EXPECT_EQ(File(), "\r\n[Setup]\r\n"
                      "Detail=1\r\nControl=0\r\nHaptic=1\r\njoy_ipt_MenuNew=0\r\nsys_midi=1\r\n"
                      "winmm_mpu_device=0\r\ncore_dls_synth=1\r\ncore_midi_port=0\r\n"
                      "alsa_output_client=128\r\nalsa_output_port=0\r\n"
                      "SoundFont=SoundFont.sf2\r\nsetup_menu=1\r\n"
                      "\r\n[Music]\r\nVolume=85\r\nCardType=8\r\nMidiPort=330\r\n"
                      "\r\n[SoundFX]\r\nVolume=85\r\nCardType=5\r\nBasePort=220\r\nIrq=7\r\n"
                      "Dma=1\r\nChannels=4\r\n"
                      "\r\n[Keyboard]\r\nMoveUp=72\r\nMoveDn=80\r\nMoveLeft=75\r\n"
                      "MoveRight=77\r\nFire=29\r\nFireSp=56\r\nChangeSp=57\r\nMegaFire=54\r\n"
                      "\r\n[Mouse]\r\nFire=0\r\nFireSp=1\r\nChangeSp=2\r\n"
                      "\r\n[JoyStick]\r\nFire=0\r\nFireSp=1\r\nChangeSp=2\r\nMegaFire=3\r\n"
                      "\r\n[Video]\r\nfullscreen=1\r\naspect_ratio_correct=1\r\n"
                      "txt_fullscreen=0\r\nforce_software_renderer=1\r\n");
}

TEST_F(PrefTest, DefaultsOverAnOldFileMatchKeyByKeyWrites)
{
    // The defaults as a fresh file lists them, in order.
    VUL_WriteDefaultSetup();
    std::vector<std::array<std::string, 3>> table;
    std::string section, fresh = File();
    for (size_t pos = 0, end; (end = fresh.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        std::string line = fresh.substr(pos, end - pos);
        if (line.empty()) continue;
        size_t eq = line.find('=');
        if (line[0] == '[')
            section = line.substr(1, line.size() - 2);
        else
            table.push_back({section, line.substr(0, eq), line.substr(eq + 1)});
    }
    ASSERT_EQ(table.size(), 40u);

    const std::string old = "\r\n[Video]\r\nfullscreen=0\r\n\r\n[Setup]\r\nDetail=2\r\n"
                            "Extra=x\r\n\r\n[Music]\r\nVolume=\r\n";
    Put(old);
    VUL_WriteDefaultSetup();
    std::string batched = File();

    Put(old);
    for (const auto& [s, k, v] : table)
        INI_PutPreference(s.c_str(), k.c_str(), v.c_str());
    EXPECT_EQ(batched, File());
    EXPECT_NE(batched.find("Extra=x\r\n"), std::string::npos) << "unknown keys are kept";
}

// ---------------------------------------------------------------------------------------
// The setup tool's copy

TEST_F(PrefTest, SetupToolCopyBehavesTheSameOnItsOwnFile)
{
    std::string data = home.dataPath();
    EXPECT_EQ(std::string(VUL_DataPath()), data);
    EXPECT_EQ(std::string(VUL_GetSetupPath()), data + "SETUP.INI");
    vt::WriteTextFile(data + "setup.ini", kTwoSections);
    EXPECT_EQ(std::string(VUL_GetSetupPath()), data + "setup.ini");

    // Both front ends on different files at once, each keeping its own.
    Put(kTwoSections);
    EXPECT_EQ(SE_INI_InitPreference(VUL_GetSetupPath()), 1);
    EXPECT_EQ(SE_INI_PutPreferenceLong("Music", "Volume", 7), 1);
    EXPECT_EQ(SE_INI_PutPreferenceHex("Setup", "Mask", 0xbeef), 1);
    EXPECT_EQ(SE_INI_PutPreferenceBool("Setup", "Flag", 1), 1);
    EXPECT_EQ(SE_INI_DeletePreference("Setup", "Control"), 1);
    EXPECT_EQ(SE_INI_PutPreference("Video", "mode", "big"), 1);
    EXPECT_EQ(SE_INI_PutPreference("Video", "mode", nullptr), 0);
    EXPECT_EQ(vt::ReadTextFile(data + "setup.ini"),
              "\r\n[Setup]\r\nDetail=1\r\nMask=beef\r\nFlag=TRUE\r\n"
              "\r\n[Music]\r\nVolume=7\r\nCardType=8\r\n\r\n[Video]\r\nmode=big\r\n");
    EXPECT_EQ(File(), kTwoSections);

    EXPECT_EQ(SE_INI_GetPreferenceLong("Music", "Volume", 127), 7);
    EXPECT_EQ(SE_INI_GetPreferenceHex("Setup", "Mask", 0), 0xbeef);
    EXPECT_EQ(SE_INI_GetPreferenceBool("Setup", "Flag", 0), 1);
    EXPECT_EQ(SE_INI_GetPreferenceLong("Setup", "Control", 3), 3);
    char buf[8];
    EXPECT_STREQ(SE_INI_GetPreference("Video", "mode", buf, sizeof(buf), "x"), "big");
    EXPECT_EQ(INI_GetPreferenceLong("Music", "Volume", 127), 85);
}

TEST(PrefDataPath, NoDataFolderEndsTheProgram)
{
    EXPECT_EXIT(
        {
            unsetenv("XDG_DATA_HOME");
            unsetenv("HOME");
            VUL_DataPath();
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
