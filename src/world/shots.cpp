#include "world/shots.h"

void SHOTS_Init(void) {}
void SHOTS_Clear(void) {}

int SHOTS_PlayerShoot(int)
{
    return 0;
}

void SHOTS_Think(void) {}
void SHOTS_Display(void) {}
