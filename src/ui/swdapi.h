// Windows loaded from the archives and drawn into the frame buffer.
#pragma once

void SWD_Install(int moveflag);
void SWD_End(void);
