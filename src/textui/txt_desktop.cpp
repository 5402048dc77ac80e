#include "textui/txt_desktop.h"

#include <string>

#include "textui/txt_gui.h"
#include "textui/txt_main.h"
#include "textui/txt_window.h"

static std::string desktop_title;
static bool main_loop_running;
static bool quit_requested;

void TXT_SetDesktopTitle(const char* title)
{
    desktop_title = title ? title : "";
}

void TXT_DrawDesktop(void)
{
    TXT_WINDOW* top = TXT_TopWindow();
    for (int i = 0; i < TXT_WindowCount(); i++)
        TXT_LayoutWindow(TXT_GetWindow(i));
    TXT_DrawDesktopBackground(desktop_title.c_str(), top ? TXT_WindowHelp(top) : "");
    for (int i = 0; i < TXT_WindowCount(); i++)
        TXT_DrawWindow(TXT_GetWindow(i));
}

void TXT_DispatchEvents(void)
{
    int code;
    while ((code = TXT_GetChar()) != -1) {
        if (code == TXT_QUIT) {
            quit_requested = true;
            main_loop_running = false;
            return;
        }
        TXT_WINDOW* top = TXT_TopWindow();
        if (!top) continue;
        // The window may be new since the last drawing: place it before hit-testing.
        TXT_LayoutWindow(top);
        TXT_WindowInput(top, code);
        TXT_FreeClosedWindows();
        if (!main_loop_running) return;
    }
}

void TXT_GUIMainLoop(void)
{
    main_loop_running = true;
    while (main_loop_running && TXT_WindowCount() > 0) {
        TXT_DrawDesktop();
        TXT_UpdateScreen();
        TXT_Sleep(0);
        TXT_DispatchEvents();
    }
    main_loop_running = false;
}

void TXT_ExitMainLoop(void)
{
    main_loop_running = false;
}

bool TXT_QuitRequested(void)
{
    return quit_requested;
}

void TXT_SetQuitRequested(bool quit)
{
    quit_requested = quit;
}
