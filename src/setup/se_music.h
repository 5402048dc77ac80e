// The setup's music device menu and its port menus.
#pragma once

// Opens "Select Music Playback Device"; devices that need a port lead on to its menu.
void SE_MusicMenu(void);
