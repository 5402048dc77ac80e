// Engine flames.
#pragma once

void FLAME_Init(void);
void FLAME_InitShades(void);
