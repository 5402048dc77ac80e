// Pickups dropped by dying enemies and collected by the ship.
#pragma once

void BONUS_Init(void);
void BONUS_Clear(void);
void BONUS_Add(int kind, int x, int y);
void BONUS_Think(void);
void BONUS_Display(void);
