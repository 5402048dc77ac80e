#include "world/anims.h"

void ANIMS_Init(void) {}
void ANIMS_Clear(void) {}
int ANIMS_Register(int, int, int, int, int, int) { return 0; }
void ANIMS_CachePics(void) {}
void ANIMS_FreePics(void) {}
ANIMS_S* ANIMS_StartAnim(int, int, int) { return nullptr; }
ANIMS_S* ANIMS_StartGAnim(int, int, int) { return nullptr; }
ANIMS_S* ANIMS_StartAAnim(int, int, int) { return nullptr; }
ANIMS_S* ANIMS_StartEAnim(SPRITE_SHIP_S*, int, int, int) { return nullptr; }
void ANIMS_Think(void) {}
void ANIMS_DisplayGround(void) {}
void ANIMS_DisplaySky(void) {}
void ANIMS_DisplayHigh(void) {}
