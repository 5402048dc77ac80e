// Engine flames: columns of pixels brightened through light tables.
#pragma once

void FLAME_Init(void);
void FLAME_InitShades(void);
void FLAME_Up(int x, int y, int width, int flip);
void FLAME_Down(int x, int y, int width, int flip);
