// Windows loaded from the archives and drawn into the frame buffer, and the dialog loop
// that moves the focus between their fields and reports presses.
//
// A window item is a 120-byte header followed by 148-byte field records and the fields'
// text buffers. Loading checks every size and offset and keeps a working copy; the item
// itself stays locked until the window is destroyed. Windows live in a table of twelve
// slots and are addressed by their slot (the handle); fields by their index in the
// window's list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int SWD_MAXWINS = 12;
constexpr int SWD_HEADERSIZE = 120;
constexpr int SWD_FIELDSIZE = 148;
constexpr int SWD_LABELLEN = 16;
// Limits of a window item: more fields or longer texts than these mark a damaged item.
constexpr int SWD_MAXFIELDS = 256;
constexpr int SWD_MAXCHARS = 4096;

// Field types.
enum {
    FLD_OFF = 0,   // empty record, skipped everywhere
    FLD_TEXT,      // text, or a text item drawn with markup
    FLD_BUTTON,    // button
    FLD_INPUT,     // text entry
    FLD_MARK,      // check box
    FLD_BOX,       // filled box
    FLD_DRAGBAR,   // drag bar
    FLD_SUNKEN,    // sunken frame
    FLD_RAISED,    // raised frame
    FLD_PICTURE,   // scaled picture
    FLD_VIEW,      // view area
    FLD_MOUSEVIEW, // mouse view area
    FLD_TYPES
};

// Background kinds of windows and fields.
enum { PIC_NONE = 0, PIC_TEXTURE, PIC_PICTURE, PIC_SEETHRU, PIC_GLASS };

// Text entry filters.
enum { INPUT_ANY = 0, INPUT_UPPER, INPUT_DIGITS };

struct SFIELD {
    int32_t opt, id, hotkey, kbfocus, input_opt, state;
    char item_name[SWD_LABELLEN];
    int32_t item;
    char font_name[SWD_LABELLEN];
    int32_t fontid, fontcolor, maxchars, picflag, color, lite, mark, saveflag, bevel, select;
    int32_t x, y, lx, ly, txtoff;
    std::vector<char> text;     // maxchars bytes (at least one), always terminated
    std::vector<uint8_t> sback; // the screen under the field, as a plain picture
};

struct SWIN {
    int32_t arrowkeys, flag, id, type;
    char picname[SWD_LABELLEN];
    int32_t item, picflag, lock, fldofs, firstfld, color, numflds, x, y, lx, ly, shadow;
    std::vector<SFIELD> flds;
};

// What one dialog step did.
struct SWD_DLG {
    int32_t window, field;
    int32_t cur_act, cur_cmd; // action class and command
    int32_t keypress;
    int32_t id, type; // of the active window
    int32_t x, y, height, width;
    int32_t reserved;
    int32_t viewactive, viewfield, view_x, view_y;
};

// Action classes and commands of SWD_DLG.
enum { ACT_NONE = 0, ACT_FIELD = 1, ACT_WINDOW = 2, ACT_REDRAW = 4, ACT_SHOW = 5 };
enum {
    F_DOWN = 1,
    F_UP,
    F_NEXT,
    F_PREV,
    F_RIGHT,
    F_LEFT,
    F_FIRST,
    F_LAST,
    F_TOP,
    F_SELECT,
    F_VIEW,
    F_MOUSEVIEW
};
enum { W_NEW = 0, W_NEXT = 14, W_MOVE = 15, W_CLEAR = 16, W_CLEAR2 = 17 };

extern int active_window, active_field, master_window, prev_window;
extern int g_button_flag; // 0: buttons ignore keys (the screen reads them itself)
// Set at start-up from the control type: buttons show the keyboard focus from the start
// (keyboard, or a controller driving the menus) instead of after the first key.
extern int usekb_flag;
extern int obj_x, obj_y, obj_width, obj_height;

// ---- reading items ---------------------------------------------------------------------
// Reads a window item into a working copy; false (and nothing kept) when any size, count
// or offset does not fit the item. Pure: looks nothing up and locks nothing.
bool SWD_ParseWindow(const uint8_t* item, size_t size, SWIN* out);

// ---- life ------------------------------------------------------------------------------
void SWD_Install(int movebuf);
void SWD_End(void);
// The handle of the loaded window, or -1 when the table is full or the item is damaged.
int SWD_InitWindow(int item);
int SWD_InitMasterWindow(int item);
void SWD_DestroyWindow(int handle);
// The window in a slot, null for a handle out of range or a free slot.
SWIN* SWD_GetWindow(int handle);

// ---- drawing ---------------------------------------------------------------------------
int SWD_ShowAllWindows(void);
void SWD_PutWin(int handle);
void SWD_ShowAllFields(SWIN* win);
void SWD_PutField(SWIN* win, SFIELD* fld);
void SWD_SetClearFlag(int flag);
void SWD_SetViewDrawHook(void (*fn)(void));
void SWD_SetWinDrawFunc(int handle, void (*fn)(SWD_DLG*));
void SWD_FillText(const uint8_t* font, int item, int color, int x, int y, int lx, int ly);
void SWD_ShadeButton(int state, int x, int y, int lx, int ly);
int SWD_FindWindow(int x, int y);
void SWD_GetObjAreaInfo(int handle);

// ---- fields and windows ----------------------------------------------------------------
// Text copies are bounded by the field's buffer and by the caller's: at most
// min(maxchars, outsize) - 1 characters, always terminated. Each returns the field's
// maxchars, or 0 for a wrong handle or field.
int SWD_SetFieldText(int handle, int field, const char* text);
int SWD_GetFieldText(int handle, int field, char* out, size_t outsize);
int SWD_SetFieldValue(int handle, int field, int value);
int SWD_GetFieldValue(int handle, int field);
int SWD_SetFieldItem(int handle, int field, int item);
int SWD_GetFieldItem(int handle, int field);
int SWD_SetFieldItemName(int handle, int field, const char* name);
int SWD_GetFieldItemName(int handle, int field, char* out, size_t outsize);
void SWD_SetFieldMark(int handle, int field, int mark);
int SWD_GetFieldMark(int handle, int field);
void SWD_SetFieldSelect(int handle, int field, int select);
int SWD_SetFieldInputOpt(int handle, int field, int opt);
int SWD_GetFieldInputOpt(int handle, int field);
void SWD_GetFieldXYL(int handle, int field, int* x, int* y, int* lx, int* ly);
void SWD_GetWindowXYL(int handle, int* x, int* y, int* lx, int* ly);
int SWD_SetWindowID(int handle, int id);
int SWD_GetWindowID(int handle);
int SWD_SetWindowType(int handle, int type);
int SWD_GetWindowType(int handle);
void SWD_SetWindowLock(int handle, int lock);
int SWD_SetWindowFlag(int handle, int flag);
void SWD_SetWindowPtr(int handle);
void SWD_SetFieldPtr(int handle, int field);

// ---- the dialog loop -------------------------------------------------------------------
void SWD_Dialog(SWD_DLG* dlg);
void SWD_SetActiveField(int handle, int field);
void SWD_SetActiveWindow(int handle);
int SWD_GetNextWindow(void);
int SWD_IsButtonDown(void);
void SWD_ClearAllButtons(void);
void SWD_DoButton(SWIN* win, SFIELD* fld);
void SWD_FieldInput(SWIN* win, SFIELD* fld);
