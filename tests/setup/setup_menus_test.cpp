// The setup's menus driven by pushed key presses and clicks, and what "Save Settings"
// leaves in the preference file.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/prefapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "setup/se_input.h"
#include "setup/se_main.h"
#include "setup/se_prefapi.h"
#include "testutil/testutil.h"
#include "textui/txt_script.h"
#include "textui/txt_toolkit.h"

namespace
{

constexpr int kAbsent = -999;

class SetupTest : public ::testing::Test
{
  protected:
    void SetUp() override { std::filesystem::create_directories(home.dataPath()); }
    void TearDown() override
    {
        TXT_CloseAllWindows();
        TXT_Shutdown();
        SDL_Quit();
    }

    void WriteIni(const std::string& text) { home.writeSetup(text); }

    // A value from the file as it now is; kAbsent when the key is not there.
    int Ini(const char* section, const char* key)
    {
        SE_INI_InitPreference(VUL_GetSetupPath());
        return SE_INI_GetPreferenceLong(section, key, kAbsent);
    }

    void RunSetup()
    {
        ASSERT_EQ(TXT_Init(0), 1);
        ::Setup();
        EXPECT_EQ(script.Remaining(), 0u) << "the setup ended before its script";
    }

    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    vt::TxtScript script;
};

// A file as an earlier run of the setup would leave it.
const char kExistingIni[] = "\r\n[Setup]\r\nDetail=0\r\nControl=1\r\nsetup_menu=1\r\n"
                            "\r\n[Music]\r\nVolume=60\r\nCardType=8\r\nMidiPort=330\r\n"
                            "\r\n[SoundFX]\r\nVolume=70\r\nCardType=2\r\nChannels=3\r\n"
                            "\r\n[Keyboard]\r\nMoveUp=17\r\nMoveDn=31\r\nMoveLeft=30\r\n"
                            "MoveRight=32\r\nFire=57\r\nFireSp=29\r\nChangeSp=56\r\n"
                            "\r\n[Mouse]\r\nFire=1\r\nFireSp=0\r\nChangeSp=2\r\n";

// The highlighted text on the screen (the widget with the focus), without trailing blanks.
std::string Focused()
{
    for (int y = 0; y < TXT_SCREEN_H; y++) {
        std::string row = vt::ScreenRow(y), text;
        for (int x = 0; x < TXT_SCREEN_W; x++)
            if (vt::AttrAt(x, y) == TXT_ATTR_FOCUS) text += row[x];
        if (!text.empty()) return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    return "";
}

TEST_F(SetupTest, FirstRunChainGoesOnThroughAbortsAndSavesTheDefaults)
{
    // No file: controller type, music, effects, then the main menu. Each abort moves on;
    // aborting the controller type settles on the keyboard.
    script.Then([] { EXPECT_TRUE(vt::ScreenHas("Select Controller Type")); })
        .Keys({SDL_SCANCODE_ESCAPE})
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Select Music Playback Device"));
            EXPECT_TRUE(vt::ScreenHas("Control Type  : Keyboard"));
        })
        .Keys({SDL_SCANCODE_ESCAPE})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Select Sound FX Device")); })
        .Keys({SDL_SCANCODE_ESCAPE})
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Main Menu"));
            EXPECT_EQ(Focused(), "Save Settings");
            EXPECT_TRUE(vt::ScreenHas(" Save Current Settings as Defaults"));
        })
        .Keys({SDL_SCANCODE_RETURN});
    RunSetup();

    EXPECT_EQ(TXT_WindowCount(), 0) << "saving closes the menu and the information";
    EXPECT_EQ(Ini("Setup", "Control"), 0) << "the keyboard is written as 0";
    EXPECT_EQ(Ini("Setup", "Detail"), 1);
    EXPECT_EQ(Ini("Setup", "setup_menu"), 1);
    // Escaping the device menus keeps the first run's defaults: the game has sound.
    EXPECT_EQ(Ini("Music", "CardType"), 8);
    EXPECT_EQ(Ini("Music", "MidiPort"), 330);
    EXPECT_EQ(Ini("SoundFX", "CardType"), 5);
    EXPECT_EQ(Ini("SoundFX", "Channels"), 4);
    EXPECT_EQ(Ini("SoundFX", "BasePort"), 220);
    const char* keys[] = {"MoveUp", "MoveDn", "MoveLeft", "MoveRight",
                          "Fire",   "FireSp", "ChangeSp", "MegaFire"};
    const int scans[] = {72, 80, 75, 77, 29, 56, 57, 54};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(Ini("Keyboard", keys[i]), scans[i]) << keys[i];
    EXPECT_EQ(Ini("Mouse", "ChangeSp"), 2);
    EXPECT_EQ(Ini("JoyStick", "MegaFire"), 3);
    EXPECT_EQ(Ini("Video", "fullscreen"), 1);
    EXPECT_EQ(Ini("Video", "txt_fullscreen"), 0);
    EXPECT_EQ(Ini("Video", "force_software_renderer"), 1);
}

TEST_F(SetupTest, FirstRunChainFollowsEachDeviceIntoItsSettings)
{
    // The first run's devices are preselected (and named in the information already).
    script.ClickOn("Mouse")
        .Then([] { EXPECT_EQ(Focused(), "General Midi"); })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Available MIDI Ports")); })
        .ClickOn("336")
        .Then([] { EXPECT_EQ(Focused(), "Sound Blaster"); })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { EXPECT_EQ(Focused(), "220") << "the usual port is preselected"; })
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}) // 240
        .Then([] { EXPECT_EQ(Focused(), "7"); })
        .Keys({SDL_SCANCODE_UP, SDL_SCANCODE_RETURN}) // IRQ 5
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Available DMA Channels")); })
        .Keys({SDL_SCANCODE_UP, SDL_SCANCODE_RETURN}) // DMA 0
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Number of Digital Channels"));
            EXPECT_TRUE(vt::ScreenHas("Will play four Digital sound effects at a time"));
        })
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}) // Five
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Music Card    : General Midi"));
            EXPECT_TRUE(vt::ScreenHas("Sound FX Card : Sound Blaster"));
        })
        .ClickOn("Save Settings");
    RunSetup();

    EXPECT_EQ(Ini("Setup", "Control"), 1);
    EXPECT_EQ(Ini("Music", "CardType"), 8);
    EXPECT_EQ(Ini("Music", "Volume"), 85);
    EXPECT_EQ(Ini("Music", "MidiPort"), 336);
    EXPECT_EQ(Ini("Music", "BasePort"), kAbsent);
    EXPECT_EQ(Ini("SoundFX", "CardType"), 5);
    EXPECT_EQ(Ini("SoundFX", "BasePort"), 240);
    EXPECT_EQ(Ini("SoundFX", "Irq"), 5);
    EXPECT_EQ(Ini("SoundFX", "Dma"), 0) << "DMA channel 0 is written as 0";
    EXPECT_EQ(Ini("SoundFX", "Channels"), 5);
    EXPECT_EQ(Ini("SoundFX", "MidiPort"), kAbsent);
}

TEST_F(SetupTest, AbortingAnEffectSubMenuEndsTheChainAtTheMainMenu)
{
    script
        .Keys({SDL_SCANCODE_RETURN}) // Keyboard
        .ClickOn("Adlib")            // needs no port
        .ClickOn("UltraSound")       // straight to the channel count
        .Keys({SDL_SCANCODE_ESCAPE}) // abort it
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Main Menu"));
            EXPECT_EQ(TXT_WindowCount(), 2);
        })
        .Keys({SDL_SCANCODE_RETURN});
    RunSetup();
    EXPECT_EQ(Ini("Music", "CardType"), 2);
    EXPECT_EQ(Ini("Music", "MidiPort"), kAbsent);
    EXPECT_EQ(Ini("SoundFX", "CardType"), 3);
    EXPECT_EQ(Ini("SoundFX", "BasePort"), 220);
    EXPECT_EQ(Ini("SoundFX", "Dma"), 1);
    EXPECT_EQ(Ini("SoundFX", "Channels"), kAbsent) << "no count was chosen";
}

TEST_F(SetupTest, NoneIsWrittenAsZeroAndUntouchedSectionsStayAsTheyWere)
{
    WriteIni(kExistingIni);
    script
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Control Type  : Mouse"));
            EXPECT_TRUE(vt::ScreenHas("Music Card    : General Midi"));
            EXPECT_TRUE(vt::ScreenHas("Sound FX Card : Adlib"));
            EXPECT_EQ(Focused(), "Select Music Card");
        })
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { EXPECT_EQ(Focused(), "General Midi") << "the current card"; })
        .ClickOn("NONE")
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Music Card    : None")); })
        .ClickOn("Save Settings");
    RunSetup();

    EXPECT_EQ(Ini("Music", "CardType"), 0);
    EXPECT_EQ(Ini("Music", "Volume"), 85);
    EXPECT_EQ(Ini("Music", "MidiPort"), kAbsent);
    EXPECT_EQ(Ini("Setup", "Control"), 1) << "no controller type chosen: kept";
    EXPECT_EQ(Ini("Setup", "Detail"), 0) << "the game's detail level is kept";
    EXPECT_EQ(Ini("SoundFX", "Volume"), 70);
    // The keyboard window was never accepted: the section is exactly as it was.
    EXPECT_EQ(Ini("Keyboard", "MoveUp"), 17);
    EXPECT_EQ(Ini("Keyboard", "Fire"), 57);
    EXPECT_EQ(Ini("Keyboard", "MegaFire"), kAbsent);
    EXPECT_EQ(Ini("Mouse", "Fire"), 1);
    EXPECT_EQ(Ini("JoyStick", "Fire"), kAbsent);
}

TEST_F(SetupTest, AMidiPortReplacesAnEarlierBasePort)
{
    WriteIni("\r\n[Music]\r\nCardType=5\r\nBasePort=220\r\nIrq=7\r\nDma=1\r\n");
    script.ClickOn("Select Music Card")
        .ClickOn("WaveBlaster")
        .ClickOn("300")
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(Ini("Music", "CardType"), 6);
    EXPECT_EQ(Ini("Music", "MidiPort"), 300);
    EXPECT_EQ(Ini("Music", "BasePort"), kAbsent);
    EXPECT_EQ(Ini("Music", "Irq"), kAbsent);
    EXPECT_EQ(Ini("Music", "Dma"), kAbsent);
}

TEST_F(SetupTest, KeyboardLayoutIsSavedAsScanCodesWithTheMegaBombKey)
{
    WriteIni(kExistingIni);
    script.ClickOn("Controller Config")
        .ClickOn("Setup New Keyboard Layout")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Keyboard Configuration"));
            EXPECT_TRUE(vt::ScreenHas("F10=Accept"));
        })
        .Keys({SDL_SCANCODE_RETURN}) // the first row, Up, has the focus
        .Keys({SDL_SCANCODE_UP})     // Up = the up arrow
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Fire main weapons")); })
        .Keys({SDL_SCANCODE_RETURN})
        // Fire takes Alt, which Mega Bomb had: the two swap, so no action loses its key.
        .Keys({SDL_SCANCODE_LALT})
        .Keys({SDL_SCANCODE_F10})
        .Keys({SDL_SCANCODE_ESCAPE}) // leave Controller Configuration
        .ClickOn("Save Settings");
    RunSetup();

    EXPECT_EQ(Ini("Keyboard", "MoveUp"), 72);
    EXPECT_EQ(Ini("Keyboard", "MoveDn"), 31);
    EXPECT_EQ(Ini("Keyboard", "Fire"), 56);
    EXPECT_EQ(Ini("Keyboard", "FireSp"), 29);
    EXPECT_EQ(Ini("Keyboard", "ChangeSp"), 57);
    EXPECT_EQ(Ini("Keyboard", "MegaFire"), 54);
}

TEST_F(SetupTest, KeysTheGameKeepsForItselfAreRefusedWithTheReason)
{
    WriteIni(kExistingIni);
    script.ClickOn("Controller Config")
        .ClickOn("Setup New Keyboard Layout")
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_F12})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("F12 takes screenshots in the game")); })
        .Keys({SDL_SCANCODE_ESCAPE}) // closes the message; the prompt still waits
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Press the new key...")); })
        .Keys({SDL_SCANCODE_P})
        .Then([] { EXPECT_TRUE(vt::ScreenHas("P pauses the game")); })
        .Keys({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_W})
        .Keys({SDL_SCANCODE_F10, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(Ini("Keyboard", "MoveUp"), 17) << "W, the first key that could be bound";
}

TEST_F(SetupTest, AbortedKeyboardWindowChangesNothing)
{
    WriteIni(kExistingIni);
    std::string before = vt::ReadTextFile(home.dataPath() + "setup.ini");
    script.ClickOn("Controller Config")
        .ClickOn("Setup New Keyboard Layout")
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_W})
        .Keys({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_ESCAPE});
    RunSetup();
    EXPECT_EQ(writeflagkey, 0);
    EXPECT_EQ(vt::ReadTextFile(home.dataPath() + "setup.ini"), before) << "nothing saved";
}

TEST_F(SetupTest, MouseButtonsBeyondTheThirdAreRefused)
{
    WriteIni(kExistingIni);
    script.ClickOn("Controller Config")
        .ClickOn("Configure Mouse Button Layout")
        .Keys({SDL_SCANCODE_RETURN})
        .Then([] { vt::PushMouseButton(SDL_BUTTON_X1, 0, 0); })
        .Then([] { EXPECT_TRUE(vt::ScreenHas("BUTTON 4")); })
        .Keys({SDL_SCANCODE_F10})
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Error"));
            EXPECT_TRUE(
                vt::ScreenHas("Only LEFT BUTTON, RIGHT BUTTON and MID BUTTON are supported!"));
            EXPECT_TRUE(vt::ScreenHas("Please reconfigure mouse buttons before save!"));
            EXPECT_EQ(writeflagmouse, 0);
        })
        .Keys({SDL_SCANCODE_RETURN}) // close the message: the layout is still open to fix
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Mouse Configuration")); })
        .Keys({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(se_mouse_error, std::string("Only LEFT BUTTON, RIGHT BUTTON and MID BUTTON are "
                                          "supported!\nPlease reconfigure mouse buttons before "
                                          "save!"));
    EXPECT_EQ(Ini("Mouse", "Fire"), 1) << "the refused layout was not saved";
}

TEST_F(SetupTest, MouseLayoutIsSavedWhenValid)
{
    WriteIni(kExistingIni);
    script.ClickOn("Controller Config")
        .ClickOn("Configure Mouse Button Layout")
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}) // Mega Bomb
        .Then([] { vt::PushMouseButton(SDL_BUTTON_RIGHT, 0, 0); })         // swaps with Fire
        .Keys({SDL_SCANCODE_F10, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(Ini("Mouse", "Fire"), 2);
    EXPECT_EQ(Ini("Mouse", "FireSp"), 0);
    EXPECT_EQ(Ini("Mouse", "ChangeSp"), 1);
}

TEST_F(SetupTest, EachMouseButtonDoesTheActionTheSetupGaveIt)
{
    // Fire on the right button, change weapon on the middle one, the mega bomb on the left.
    WriteIni(kExistingIni); // Fire right, FireSp left, ChangeSp middle
    script.ClickOn("Controller Config")
        .ClickOn("Configure Mouse Button Layout")
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN})             // Change Weapon
        .Then([] { vt::PushMouseButton(SDL_BUTTON_MIDDLE, 0, 0); }) // swaps with Mega Bomb
        .Keys({SDL_SCANCODE_F10, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();

    // The game reads the same file and is played with the mouse.
    ASSERT_EQ(INI_InitPreference(VUL_GetSetupPath()), 1);
    IPT_LoadPrefs();
    control = CONTROL_MOUSE;
    touchmode = 0;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    struct PRESS {
        Uint8 button;
        int action;
    };
    for (PRESS p : {PRESS{SDL_BUTTON_LEFT, BUTTON_MEGABOMB}, PRESS{SDL_BUTTON_RIGHT, BUTTON_FIRE},
                    PRESS{SDL_BUTTON_MIDDLE, BUTTON_CHANGESPECIAL}}) {
        for (bool down : {true, false}) {
            SDL_Event ev{};
            ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            ev.button.button = p.button;
            ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
            SDL_PushEvent(&ev);
            I_GetEvent();
            for (int& b : buttons)
                b = 0;
            IPT_GetMouse();
            for (int b = 0; b < NUM_BUTTONS; b++)
                EXPECT_EQ(buttons[b], down && b == p.action)
                    << "mouse button " << int(p.button) << (down ? " down" : " up") << ", latch "
                    << b;
        }
    }
}

TEST_F(SetupTest, ControllerButtonsBeyondTheFourthAreRefused)
{
    WriteIni("\r\n[JoyStick]\r\nFire=6\r\nFireSp=1\r\nChangeSp=2\r\n");
    script.ClickOn("Controller Config")
        .ClickOn("Configure Joystick Button Layout")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Joystick/Gamepad Config"));
            EXPECT_TRUE(vt::ScreenHas("BUTTON 7"));
        })
        .Keys({SDL_SCANCODE_RETURN}) // no controller here
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Please connect a controller first!")); })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_F10})
        .Then([] {
            EXPECT_TRUE(
                vt::ScreenHas("Only BUTTON 1, BUTTON 2, BUTTON 3 and BUTTON 4 are supported!"));
            EXPECT_TRUE(vt::ScreenHas("Please reconfigure joystick/gamepad buttons before save!"));
        })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(writeflagjoy, 0);
    EXPECT_EQ(Ini("JoyStick", "Fire"), 6) << "left as it was";
}

TEST_F(SetupTest, AdditionalFeaturesAreSaved)
{
    WriteIni(kExistingIni);
    script.ClickOn("Additional Features")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Text Mode Fullscreen"));
            EXPECT_FALSE(vt::ScreenHas("ALSA Output Port")) << "only with system MIDI";
            EXPECT_TRUE(vt::ScreenHas("SoundFont.sf2"));
        })
        .ClickOn("Text Mode Fullscreen")
        .ClickOn("Software Renderer")
        .ClickOn("Exact FM Synthesis")
        .ClickOn("System MIDI")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("ALSA Output Port: "));
            EXPECT_TRUE(vt::ScreenHas("Core Audio DLS Synthesizer"));
            EXPECT_FALSE(vt::ScreenHas("Core MIDI Port")) << "only without the DLS synthesizer";
        })
        .ClickOn("Core Audio DLS Synthesizer")
        .Then([] { EXPECT_TRUE(vt::ScreenHas("Core MIDI Port: ")); })
        .Then([] {
            // The port box sits just left of its default note.
            int x, y;
            ASSERT_TRUE(vt::FindOnScreen(" (Default = 128:0)", &x, &y));
            vt::PushClick(x - 2, y);
        })
        .Then([] { vt::PushText("3"); })
        .Keys({SDL_SCANCODE_RETURN})
        .ClickOn("SoundFont.sf2")
        .Keys({SDL_SCANCODE_HOME})
        .Then([] { vt::PushText("/usr/share/sounds/"); })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE})
        .ClickOn("Save Settings");
    RunSetup();
    EXPECT_EQ(Ini("Video", "txt_fullscreen"), 1);
    EXPECT_EQ(Ini("Video", "force_software_renderer"), 0) << "on unless the file says otherwise";
    EXPECT_EQ(Ini("Music", "opl_exact"), 1) << "off unless the file says otherwise";
    EXPECT_EQ(Ini("Setup", "sys_midi"), 1);
    EXPECT_EQ(Ini("Setup", "core_dls_synth"), 0);
    EXPECT_EQ(Ini("Setup", "alsa_output_client"), 128);
    EXPECT_EQ(Ini("Setup", "alsa_output_port"), 3);
    char font[128];
    SE_INI_GetPreference("Setup", "SoundFont", font, sizeof(font), "");
    EXPECT_STREQ(font, "/usr/share/sounds/SoundFont.sf2");
}

TEST_F(SetupTest, AFailedSaveIsReportedAndTheMenuStays)
{
    // A folder where the file should be: nothing can be written there.
    std::filesystem::create_directories(home.dataPath() + "setup.ini");
    script.Then([] { EXPECT_TRUE(vt::ScreenHas("Main Menu")); })
        .ClickOn("Save Settings")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("The settings could not be written to"));
            EXPECT_EQ(TXT_WindowCount(), 3) << "the message over the menu and the information";
        })
        .Keys({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE});
    RunSetup();
    EXPECT_EQ(TXT_WindowCount(), 0);
}

TEST_F(SetupTest, SettingsReadWithDefaultsAndNamedInTheLabels)
{
    WriteIni("\r\n[Music]\r\nCardType=1\r\n\r\n[SoundFX]\r\nCardType=1\r\n");
    GetSetupSettings();
    EXPECT_EQ(setupflag, 0);
    EXPECT_EQ(se_cfg_control, 3);
    EXPECT_EQ(std::string(se_control_label), "None" + std::string(24, ' '));
    EXPECT_EQ(std::string(se_music_label), "None" + std::string(24, ' ')) << "no music on 1";
    EXPECT_EQ(std::string(se_fx_label), "PC Speaker" + std::string(18, ' '));
    EXPECT_EQ(key_up, KEY_UPARROW);
    EXPECT_EQ(key_fire, KEY_RCTRL);
    EXPECT_EQ(key_mega, ' ');
    EXPECT_EQ(se_alsaclient, 128);
    EXPECT_EQ(se_core_dls_synth, 1);
    EXPECT_EQ(se_sys_midi, 0);
    EXPECT_STREQ(se_soundfont, "SoundFont.sf2");

    std::filesystem::remove(home.dataPath() + "setup.ini");
    GetSetupSettings();
    EXPECT_EQ(setupflag, 1);
    EXPECT_EQ(writesetupflag, 1);
}

TEST_F(SetupTest, AcceptedKeysTheToolCannotNameKeepTheirScanCodes)
{
    // Scan code 100 is no key the tool knows; accepting the layout must not turn it into 0.
    WriteIni("\r\n[Keyboard]\r\nFire=100\r\n");
    GetSetupSettings();
    EXPECT_EQ(key_fire, 0);
    ASSERT_EQ(TXT_Init(0), 1);
    SE_KeyboardWindow();
    TXT_WindowInput(TXT_TopWindow(), KEY_F10);
    EXPECT_EQ(writeflagkey, 1);
    EXPECT_EQ(key_fire_convert, 100);
    EXPECT_EQ(key_up_convert, 72);
}

// The game's own reading of keys: SDL scancode to PC scan code (0 and 224: not a key the
// game tells apart).
struct GAMEKEY {
    SDL_Scancode sdl;
    int scan;
};

constexpr GAMEKEY kGameKeys[] = {
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_NONUSHASH, 0},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_F11, 86},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_PRINTSCREEN, 224},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_PAUSE, 224},
    {SDL_SCANCODE_INSERT, 82},
    {SDL_SCANCODE_HOME, 71},
    {SDL_SCANCODE_PAGEUP, 73},
    {SDL_SCANCODE_DELETE, 83},
    {SDL_SCANCODE_END, 79},
    {SDL_SCANCODE_PAGEDOWN, 81},
    {SDL_SCANCODE_RIGHT, 77},
    {SDL_SCANCODE_LEFT, 75},
    {SDL_SCANCODE_DOWN, 80},
    {SDL_SCANCODE_UP, 72},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_KP_DIVIDE, 224},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_ENTER, 28},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_RCTRL, 29},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_RALT, 56},
};

TEST_F(SetupTest, AKeyChosenInTheSetupIsTheKeyTheGameReads)
{
    ASSERT_EQ(TXT_Init(0), 1);
    for (const GAMEKEY& k : kGameKeys) {
        vt::PushKey(k.sdl);
        int key = TXT_GetChar();
        int expect = k.scan == 224 ? 0 : k.scan;
        EXPECT_EQ(SE_KeyToScan(key), expect) << SDL_GetScancodeName(k.sdl);
        if (expect) {
            EXPECT_EQ(SE_ScanToKey(expect), key) << SDL_GetScancodeName(k.sdl);
        }
        EXPECT_EQ(TXT_GetChar(), -1);
    }
    // Each key code stands for one scan code only.
    for (int scan = 1; scan < 128; scan++)
        if (scantokey[scan]) {
            EXPECT_EQ(SE_KeyToScan(scantokey[scan]), scan) << scan;
        }
    EXPECT_EQ(SE_ScanToKey(-1), 0);
    EXPECT_EQ(SE_ScanToKey(500), 0);
    EXPECT_EQ(scantokey[1], 27);
    EXPECT_EQ(scantokey[14], 127);
    EXPECT_EQ(scantokey[75], 172);
    EXPECT_EQ(scantokey[80], 175);
    EXPECT_EQ(scantokey[68], 196);
    EXPECT_EQ(scantokey[88], 216);
}

} // namespace
