// Shadows of the ship and the enemies.
#pragma once

void SHADOW_Init(void);
void SHADOW_MakeShades(void);
