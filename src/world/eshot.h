// Enemy shots.
#pragma once

void ESHOT_Init(void);
