// Control settings from setup.ini, including damaged ones.
#include <filesystem>

#include "game/prefapi.h"
#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

class ControlPrefsTest : public ::testing::Test
{
  protected:
    void Load(const std::string& text)
    {
        std::string path = home.dir() + "/setup.ini";
        vt::WriteTextFile(path, text);
        ASSERT_EQ(INI_InitPreference(path.c_str()), 1);
        IPT_LoadPrefs();
    }
    vt::TempHome home;
};

TEST_F(ControlPrefsTest, SettingsAreReadFromTheirSections)
{
    Load("\r\n[Setup]\r\nDetail=0\r\nControl=2\r\nHaptic=0\r\njoy_ipt_MenuNew=1\r\n"
         "\r\n[Keyboard]\r\nMoveUp=17\r\nMoveDn=31\r\nMoveLeft=30\r\nMoveRight=32\r\n"
         "Fire=57\r\nFireSp=29\r\nChangeSp=56\r\nMegaFire=42\r\n"
         "\r\n[Mouse]\r\nFire=2\r\nFireSp=0\r\nChangeSp=3\r\n"
         "\r\n[JoyStick]\r\nFire=10\r\nFireSp=9\r\nChangeSp=0\r\nMegaFire=1\r\n");
    EXPECT_EQ(opt_detail, 0);
    EXPECT_EQ(control, CONTROL_JOYSTICK);
    EXPECT_EQ(haptic, 0);
    EXPECT_EQ(joy_ipt_MenuNew, 1);
    EXPECT_EQ((std::array{k_Up, k_Down, k_Left, k_Right}), (std::array{17, 31, 30, 32}));
    EXPECT_EQ((std::array{k_Fire, k_FireSp, k_ChangeSp, k_Mega}), (std::array{57, 29, 56, 42}));
    // Fire on the middle button, change special on the left, the mega bomb on a fourth
    // button the mouse does not have: left changes, right does nothing, middle fires.
    EXPECT_EQ((std::array{m_lookup[0], m_lookup[1], m_lookup[2]}), (std::array{1, -1, 0}));
    EXPECT_EQ((std::array{j_lookup[0], j_lookup[1], j_lookup[2], j_lookup[3]}),
              (std::array{10, 9, 0, 1}));
}

TEST_F(ControlPrefsTest, MissingOrOutOfRangeValuesFallBackToTheDefaults)
{
    // Values that would index past the key table, the latches or the controller's buttons.
    Load("[Keyboard]\r\nMoveUp=999\r\nMoveDn=-3\r\nFire=0\r\nMegaFire=abc\r\n"
         "[Mouse]\r\nFire=4\r\nFireSp=-1\r\n"
         "[JoyStick]\r\nFire=21\r\nMegaFire=-7\r\n");
    EXPECT_EQ(control, CONTROL_KEYBOARD);
    EXPECT_EQ(haptic, 1);
    EXPECT_EQ(opt_detail, 1);
    EXPECT_EQ((std::array{k_Up, k_Down, k_Left, k_Right}), (std::array{72, 80, 75, 77}));
    EXPECT_EQ((std::array{k_Fire, k_FireSp, k_ChangeSp, k_Mega}), (std::array{29, 56, 57, 54}));
    EXPECT_EQ((std::array{m_lookup[0], m_lookup[1], m_lookup[2]}), (std::array{0, 1, 2}));
    EXPECT_EQ((std::array{j_lookup[0], j_lookup[1], j_lookup[2], j_lookup[3]}),
              (std::array{0, 1, 2, 3}));
}

} // namespace
