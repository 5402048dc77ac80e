// Enemy shots. A stand-in with the module's final interface: no enemy fires yet.
#pragma once

void ESHOT_Init(void);
void ESHOT_Clear(void);
void ESHOT_Think(void);
void ESHOT_Display(void);
