// Help pages.
#pragma once

void HELP_Init(void);
// Shows help, opening at the page with the given label.
void HELP_Win(const char* label);
