// Pickups.
#pragma once

void BONUS_Init(void);
