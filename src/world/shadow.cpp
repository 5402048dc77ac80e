#include "world/shadow.h"

int num_shadows;
int num_gshadows;

void SHADOW_Init(void) {}
void SHADOW_MakeShades(void) {}
void SHADOW_Add(int, int, int) {}
void SHADOW_GAdd(int, int, int) {}
void SHADOW_DisplayGround(void) {}
void SHADOW_DisplaySky(void) {}
void SHADOW_Draw(const uint8_t*, int, int) {}
