#include "textui/txt_capture.h"

#include "game/m_misc.h"
#include "textui/txt_controls.h"
#include "textui/txt_gui.h"
#include "textui/txt_main.h"
#include "textui/txt_window.h"

const char txt_no_controller_message[] = "Please connect a controller first!";

// The widest name each kind can show.
static constexpr int kKeyWidth = 8, kMouseWidth = 12, kJoyWidth = 10;

const char* TXT_MouseButtonName(int button, char* buf, size_t len)
{
    switch (button) {
    case 0:
        M_StringCopy(buf, "LEFT BUTTON", len);
        break;
    case 1:
        M_StringCopy(buf, "RIGHT BUTTON", len);
        break;
    case 2:
        M_StringCopy(buf, "MID BUTTON", len);
        break;
    default:
        if (button < 0)
            M_StringCopy(buf, "NONE", len);
        else
            M_snprintf(buf, len, "BUTTON %i", button + 1);
        break;
    }
    return buf;
}

const char* TXT_JoystickButtonName(int button, char* buf, size_t len)
{
    if (button < 0)
        M_StringCopy(buf, "NONE", len);
    else
        M_snprintf(buf, len, "BUTTON %i", button + 1);
    return buf;
}

static void ValueName(const TXT_CAPTURE* c, char* buf, size_t len)
{
    switch (c->kind) {
    case TXT_CAPTURE_KEY:
        TXT_GetKeyDescription(*c->var, buf, len);
        break;
    case TXT_CAPTURE_MOUSE:
        TXT_MouseButtonName(*c->var, buf, len);
        break;
    case TXT_CAPTURE_JOY:
        TXT_JoystickButtonName(*c->var, buf, len);
        break;
    }
}

static void CaptureSizeCalc(TXT_WIDGET* w)
{
    switch (static_cast<TXT_CAPTURE*>(w)->kind) {
    case TXT_CAPTURE_KEY:
        w->w = kKeyWidth;
        break;
    case TXT_CAPTURE_MOUSE:
        w->w = kMouseWidth;
        break;
    case TXT_CAPTURE_JOY:
        w->w = kJoyWidth;
        break;
    }
    w->h = 1;
}

static void CaptureDraw(TXT_WIDGET* w)
{
    char name[32];
    ValueName(static_cast<TXT_CAPTURE*>(w), name, sizeof(name));
    TXT_SetAttr(w->focused ? TXT_ATTR_FOCUS : TXT_ATTR_FIELD);
    TXT_GotoXY(w->x, w->y);
    TXT_PutsPadded(name, w->w);
}

// The value a prompt takes from an input code, or -1 when the code is not for it.
static int CodeValue(const TXT_CAPTURE* c, int code)
{
    switch (c->kind) {
    case TXT_CAPTURE_KEY:
        if (code <= 0 || code >= TXT_MOUSE_BASE || !TXT_IsNamedKey(code)) return -1;
        return code;
    case TXT_CAPTURE_MOUSE:
        if (!TXT_IsMouseCode(code) || code >= TXT_MOUSE_SCROLLUP) return -1;
        return code - TXT_MOUSE_BASE;
    case TXT_CAPTURE_JOY:
        return TXT_IsJoyCode(code) ? code - TXT_JOY_BASE : -1;
    }
    return -1;
}

static void PromptClosed(TXT_WIDGET*, void* capture)
{
    static_cast<TXT_CAPTURE*>(capture)->prompt = nullptr;
}

static bool PromptListener(TXT_WINDOW* window, int code, void* data)
{
    auto* c = static_cast<TXT_CAPTURE*>(data);
    if (code == KEY_ESCAPE) {
        TXT_CloseWindow(window);
        return true;
    }
    int value = CodeValue(c, code);
    if (value >= 0 && (!c->accept || c->accept(value))) {
        *c->var = value;
        TXT_CloseWindow(window);
        TXT_EmitSignal(c, "changed");
    }
    // Everything else waits for a usable key or button.
    return true;
}

void TXT_OpenCapturePrompt(TXT_CAPTURE* c)
{
    if (c->prompt) return;
    if (c->kind == TXT_CAPTURE_JOY && TXT_ControllerCount() == 0) {
        TXT_MessageBox("Error", txt_no_controller_message);
        return;
    }
    static const char* const texts[] = {
        "Press the new key...",
        "Press the new mouse button...",
        "Press the new button on the controller...",
    };
    TXT_WINDOW* prompt = TXT_NewWindow(nullptr);
    TXT_AddWidget(prompt, TXT_NewStrut(0, 1));
    TXT_WIDGET* label = TXT_NewLabel(texts[c->kind]);
    TXT_SetWidgetAlign(label, TXT_HORIZ_CENTER);
    TXT_AddWidget(prompt, label);
    TXT_AddWidget(prompt, TXT_NewStrut(0, 1));
    TXT_WINDOW_ACTION* cancel = TXT_NewWindowAbortAction(prompt, "Cancel");
    TXT_SetWindowAction(prompt, TXT_HORIZ_CENTER, cancel);
    TXT_SetWindowListener(prompt, PromptListener, c);
    TXT_SignalConnect(prompt, "closed", PromptClosed, c);
    c->prompt = prompt;
}

static bool CaptureKeyPress(TXT_WIDGET* w, int key)
{
    if (key != KEY_ENTER) return false;
    TXT_OpenCapturePrompt(static_cast<TXT_CAPTURE*>(w));
    return true;
}

static void CaptureMousePress(TXT_WIDGET* w, int, int, int code)
{
    if (code == TXT_MOUSE_LEFT) TXT_OpenCapturePrompt(static_cast<TXT_CAPTURE*>(w));
}

static bool CaptureSelectable(TXT_WIDGET*)
{
    return true;
}

static void CaptureDestroy(TXT_WIDGET* w)
{
    auto* c = static_cast<TXT_CAPTURE*>(w);
    // An open prompt must not call back into a widget that is gone.
    if (c->prompt) {
        TXT_SetWindowListener(c->prompt, nullptr, nullptr);
        c->prompt->signals.clear();
        TXT_CloseWindow(c->prompt);
    }
    delete c;
}

static const TXT_WIDGET_CLASS txt_capture_class = {
    .selectable = CaptureSelectable,
    .size_calc = CaptureSizeCalc,
    .draw = CaptureDraw,
    .keypress = CaptureKeyPress,
    .destroy = CaptureDestroy,
    .mouse_press = CaptureMousePress,
};

static TXT_CAPTURE* NewCapture(TXT_CAPTURE_KIND kind, int* var)
{
    auto* c = new TXT_CAPTURE;
    TXT_InitWidget(c, &txt_capture_class);
    c->kind = kind;
    c->var = var;
    return c;
}

TXT_CAPTURE* TXT_NewKeyInput(int* var)
{
    return NewCapture(TXT_CAPTURE_KEY, var);
}

TXT_CAPTURE* TXT_NewMouseInput(int* var)
{
    return NewCapture(TXT_CAPTURE_MOUSE, var);
}

TXT_CAPTURE* TXT_NewJoystickInput(int* var)
{
    return NewCapture(TXT_CAPTURE_JOY, var);
}

void TXT_SetCaptureFilter(TXT_CAPTURE* capture, bool (*accept)(int value))
{
    capture->accept = accept;
}
