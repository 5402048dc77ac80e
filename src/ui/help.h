// Help pages.
#pragma once

void HELP_Init(void);
