#include "setup/se_input.h"

#include <cstring>
#include <iterator>

#include "setup/se_main.h"
#include "textui/txt_toolkit.h"

// clang-format off
const std::array<int, 128> scantokey = {
    0,             KEY_ESCAPE,     '1',            '2',          '3',           '4',         '5',          '6',
    '7',           '8',            '9',            '0',          '-',           '=',         KEY_BACKSPACE, KEY_TAB,
    'q',           'w',            'e',            'r',          't',           'y',         'u',          'i',
    'o',           'p',            '[',            ']',          KEY_ENTER,     KEY_RCTRL,   'a',          's',
    'd',           'f',            'g',            'h',          'j',           'k',         'l',          ';',
    '\'',          '`',            KEY_LSHIFT,     '\\',         'z',           'x',         'c',          'v',
    'b',           'n',            'm',            ',',          '.',           '/',         KEY_RSHIFT,   KEY_KPMULTIPLY,
    KEY_RALT,      ' ',            KEY_CAPSLOCK,   KEY_F1,       KEY_F2,        KEY_F3,      KEY_F4,       KEY_F5,
    KEY_F6,        KEY_F7,         KEY_F8,         KEY_F9,       KEY_F10,       KEY_NUMLOCK, KEY_SCRLCK,   KEY_HOME,
    KEY_UPARROW,   KEY_PGUP,       KEY_KPMINUS,    KEY_LEFTARROW, KEY_KP5,      KEY_RIGHTARROW, KEY_KPPLUS, KEY_END,
    // The game reads F11 as scan code 86, so F11 lives there rather than at its usual 87.
    KEY_DOWNARROW, KEY_PGDN,       KEY_INS,        KEY_DEL,      0,             0,           KEY_F11,      0,
    KEY_F12,       0,              0,              0,            0,             0,           0,            0,
    0,             0,              0,              0,            0,             0,           0,            0,
    0,             0,              0,              0,            0,             0,           0,            0,
    0,             0,              0,              0,            0,             0,           0,            0,
    0,             0,              0,              0,            0,             0,           0,            0,
};
// clang-format on

int SE_ScanToKey(int scan)
{
    return scan >= 0 && scan < static_cast<int>(scantokey.size()) ? scantokey[scan] : 0;
}

int SE_KeyToScan(int key)
{
    if (key == 0) return 0;
    for (size_t i = 0; i < scantokey.size(); i++)
        if (scantokey[i] == key) return static_cast<int>(i);
    return 0;
}

const char se_mouse_error[] = "Only LEFT BUTTON, RIGHT BUTTON and MID BUTTON are supported!\n"
                              "Please reconfigure mouse buttons before save!";
const char se_joy_error[] = "Only BUTTON 1, BUTTON 2, BUTTON 3 and BUTTON 4 are supported!\n"
                            "Please reconfigure joystick/gamepad buttons before save!";

// The highest button number the game can bind: three mouse buttons, four controller ones.
static constexpr int kMaxMouseButton = 2;
static constexpr int kMaxJoyButton = 3;

// ---- controller type

static const SE_CHOICE control_types[] = {
    {"Keyboard", SE_CONTROL_KEYBOARD, " Use Keyboard for All Controls"},
    {"Mouse", SE_CONTROL_MOUSE, " Use Mouse for Main control"},
    {"Joystick", SE_CONTROL_JOYSTICK, " Use Joystick for Main control"},
};

static void ControlChosen(int value)
{
    if (value != SE_ABORTED) {
        se_control = value;
        SE_UpdateInfo();
    } else if (SE_InFirstRunChain()) {
        // A first run needs some controller: the keyboard always works.
        se_control = SE_CONTROL_KEYBOARD;
        SE_UpdateInfo();
    }
    if (SE_InFirstRunChain()) SE_ChainAfterControl();
}

void SE_ControllerTypeMenu(void)
{
    int current = se_control            ? se_control
                  : se_cfg_control == 0 ? SE_CONTROL_KEYBOARD
                                        : se_cfg_control;
    SE_SelectionMenu("Select Controller Type", control_types,
                     static_cast<int>(std::size(control_types)), current, ControlChosen);
}

// ---- the layout windows

// A window of rows, each a label and a capture widget bound to a working copy of the
// settings, so that Abort leaves the settings as they were. Giving one action the value
// another already has swaps the two, so no binding is ever lost.
struct LAYOUT {
    int count;
    int edit[7];
    int prev[7];
    TXT_CAPTURE* widgets[7];
};

static LAYOUT keyboard_layout, mouse_layout, joy_layout;

static void LayoutChanged(TXT_WIDGET* w, void* data)
{
    auto* layout = static_cast<LAYOUT*>(data);
    int changed = -1;
    for (int i = 0; i < layout->count; i++)
        if (layout->widgets[i] == w) changed = i;
    if (changed < 0) return;
    for (int i = 0; i < layout->count; i++)
        if (i != changed && layout->edit[i] == layout->edit[changed])
            layout->edit[i] = layout->prev[changed];
    for (int i = 0; i < layout->count; i++)
        layout->prev[i] = layout->edit[i];
}

// Room between a row's name and its key or button.
static constexpr int kLayoutGap = 2;

static void AddLayoutRow(TXT_TABLE* table, LAYOUT* layout, int index, const char* label,
                         TXT_CAPTURE* capture, const char* help)
{
    int name_w = static_cast<int>(strlen(label)) + kLayoutGap;
    if (table->fixed_widths.empty() || table->fixed_widths[0] < name_w)
        TXT_SetColumnWidths(table, {name_w, 0});
    layout->widgets[index] = capture;
    TXT_SetWidgetHelp(capture, help);
    TXT_SignalConnect(capture, "changed", LayoutChanged, layout);
    TXT_AddWidgets(table, TXT_NewLabel(label), capture);
}

static void InitLayout(LAYOUT* layout, std::initializer_list<int> values)
{
    layout->count = 0;
    for (int v : values) {
        layout->edit[layout->count] = layout->prev[layout->count] = v;
        layout->count++;
    }
}

static TXT_WINDOW* LayoutWindow(const char* title, TXT_WIDGET_SIGNAL_FUNC accept)
{
    TXT_WINDOW* window = TXT_NewWindow(title);
    TXT_InitTable(window, 2);
    SE_SetAction(window, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(window), " Press ESC to Abort");
    SE_SetAction(window, TXT_HORIZ_CENTER, TXT_NewWindowSelectAction(window, "Select"),
                 " Press ENTER to Select");
    TXT_WINDOW_ACTION* ok = TXT_NewWindowAction(KEY_F10, "Accept");
    TXT_SignalConnect(ok, "pressed", accept, window);
    SE_SetAction(window, TXT_HORIZ_RIGHT, ok, " Press F10 to Accept");
    return window;
}

// Keys the game keeps for itself in flight: an action bound to one would never fire, or
// would open help or pause the game instead.
static const struct {
    int key;
    const char* why;
} kReservedKeys[] = {
    {KEY_F12, "F12 takes screenshots in the game and cannot be bound."},
    {KEY_F1, "F1 opens the help in the game and cannot be bound."},
    {'p', "P pauses the game and cannot be bound."},
};

static bool BindableKey(int key)
{
    for (const auto& r : kReservedKeys)
        if (key == r.key) {
            TXT_MessageBox("Error", r.why);
            return false;
        }
    return SE_KeyToScan(key) != 0;
}

// A key that has no scan code (a setting the tool cannot show) keeps the scan code it had.
static int Convert(int key, int old_scan)
{
    int scan = SE_KeyToScan(key);
    return scan ? scan : old_scan;
}

static void KeyboardAccept(TXT_WIDGET*, void* window)
{
    int* keys[] = {&key_up, &key_down, &key_left, &key_right, &key_fire, &key_special, &key_mega};
    int* converted[] = {&key_up_convert,    &key_down_convert, &key_left_convert,
                        &key_right_convert, &key_fire_convert, &key_special_convert,
                        &key_mega_convert};
    for (int i = 0; i < 7; i++) {
        *keys[i] = keyboard_layout.edit[i];
        *converted[i] = Convert(*keys[i], *converted[i]);
    }
    writeflagkey = 1;
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

void SE_KeyboardWindow(void)
{
    LAYOUT* layout = &keyboard_layout;
    InitLayout(layout, {key_up, key_down, key_left, key_right, key_fire, key_special, key_mega});
    TXT_WINDOW* window = LayoutWindow("Keyboard Configuration", KeyboardAccept);
    static const struct {
        const char* label;
        const char* help;
    } rows[7] = {
        {" Up", "Move ship forward"},
        {" Down", "Move ship backwards"},
        {" Left", "Move ship to the left"},
        {" Right", "Move ship to the right"},
        {" Fire", "Fire main weapons"},
        {" Change Special", "Change to next available special weapon"},
        {" Mega Bomb", "Launch a Mega Bomb"},
    };
    TXT_AddWidgets(window, TXT_NewSeparator("Movement"), TXT_TABLE_OVERFLOW_RIGHT);
    for (int i = 0; i < 7; i++) {
        if (i == 4) TXT_AddWidgets(window, TXT_NewSeparator("Action"), TXT_TABLE_OVERFLOW_RIGHT);
        TXT_CAPTURE* capture = TXT_NewKeyInput(&layout->edit[i]);
        TXT_SetCaptureFilter(capture, BindableKey);
        AddLayoutRow(window, layout, i, rows[i].label, capture, rows[i].help);
    }
}

static void MouseAccept(TXT_WIDGET*, void* window)
{
    for (int i = 0; i < 3; i++) {
        if (mouse_layout.edit[i] > kMaxMouseButton) {
            writeflagmouse = 0;
            TXT_MessageBox("Error", se_mouse_error);
            return;
        }
    }
    mouse_fire = mouse_layout.edit[0];
    mouse_firesp = mouse_layout.edit[1];
    mouse_changesp = mouse_layout.edit[2];
    writeflagmouse = 1;
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

void SE_MouseWindow(void)
{
    LAYOUT* layout = &mouse_layout;
    InitLayout(layout, {mouse_fire, mouse_firesp, mouse_changesp});
    TXT_WINDOW* window = LayoutWindow("Mouse Configuration", MouseAccept);
    AddLayoutRow(window, layout, 0, " Fire", TXT_NewMouseInput(&layout->edit[0]),
                 "Fire main weapons");
    AddLayoutRow(window, layout, 1, " Change Weapon", TXT_NewMouseInput(&layout->edit[1]),
                 "Change to next available special weapon");
    AddLayoutRow(window, layout, 2, " Mega Bomb", TXT_NewMouseInput(&layout->edit[2]),
                 "Launch a Mega Bomb");
}

static void JoystickAccept(TXT_WIDGET*, void* window)
{
    for (int i = 0; i < 3; i++) {
        if (joy_layout.edit[i] > kMaxJoyButton) {
            writeflagjoy = 0;
            TXT_MessageBox("Error", se_joy_error);
            return;
        }
    }
    joy_fire = joy_layout.edit[0];
    joy_firesp = joy_layout.edit[1];
    joy_changesp = joy_layout.edit[2];
    writeflagjoy = 1;
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

void SE_JoystickWindow(void)
{
    LAYOUT* layout = &joy_layout;
    InitLayout(layout, {joy_fire, joy_firesp, joy_changesp});
    TXT_WINDOW* window = LayoutWindow("Joystick/Gamepad Config", JoystickAccept);
    AddLayoutRow(window, layout, 0, "    Fire", TXT_NewJoystickInput(&layout->edit[0]),
                 "Fire main weapons");
    AddLayoutRow(window, layout, 1, "    Change Special", TXT_NewJoystickInput(&layout->edit[1]),
                 "Change to the next available special weapon");
    AddLayoutRow(window, layout, 2, "    Mega", TXT_NewJoystickInput(&layout->edit[2]),
                 "Fires a Mega Bomb");
}

// ---- controller configuration menu

static void OpenKeyboard(TXT_WIDGET*, void*)
{
    SE_KeyboardWindow();
}

static void OpenMouse(TXT_WIDGET*, void*)
{
    SE_MouseWindow();
}

static void OpenJoystick(TXT_WIDGET*, void*)
{
    SE_JoystickWindow();
}

void SE_ControllerConfigMenu(void)
{
    TXT_WINDOW* window = TXT_NewWindow("Controller Configuration");
    TXT_AddWidgets(window, TXT_NewButton2("Setup New Keyboard Layout", OpenKeyboard, nullptr),
                   TXT_NewButton2("Configure Mouse Button Layout", OpenMouse, nullptr),
                   TXT_NewButton2("Configure Joystick Button Layout", OpenJoystick, nullptr));
    SE_SetAction(window, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(window), " Press ESC to Abort");
    SE_SetAction(window, TXT_HORIZ_RIGHT, TXT_NewWindowSelectAction(window, "Accept"),
                 " Press ENTER to Accept");
}
