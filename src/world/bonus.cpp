#include "world/bonus.h"

void BONUS_Init(void) {}
void BONUS_Clear(void) {}
void BONUS_Add(int, int, int) {}
void BONUS_Think(void) {}
void BONUS_Display(void) {}
