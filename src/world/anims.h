// One-shot animations on three layers.
#pragma once

void ANIMS_Init(void);
