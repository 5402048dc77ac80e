// The desktop behind the windows and the main loop that draws it and hands input to the
// window on top.
#pragma once

void TXT_SetDesktopTitle(const char* title);
// Draws the desktop, every window bottom first, and the help line of the top window.
void TXT_DrawDesktop(void);
// Hands every waiting input event to the window on top.
void TXT_DispatchEvents(void);
// Draws and dispatches until every window is closed or TXT_ExitMainLoop is called.
void TXT_GUIMainLoop(void);
void TXT_ExitMainLoop(void);
// Whether the user closed the toolkit's window (the main loop then ended).
bool TXT_QuitRequested(void);
void TXT_SetQuitRequested(bool quit);
