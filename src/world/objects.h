// The pilot's inventory and money.
#pragma once

void OBJS_Init(void);
void OBJS_Clear(void);
