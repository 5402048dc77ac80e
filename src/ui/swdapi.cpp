#include "ui/swdapi.h"

static int clearflag = 1;

void SWD_Install(int) {}
void SWD_End(void) {}

void SWD_SetClearFlag(int flag)
{
    clearflag = flag;
}
