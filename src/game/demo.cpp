#include "game/demo.h"

#include "game/m_misc.h"

int demo_mode;

static char demo_name[256];

void DEMO_SetFileName(const char* name)
{
    M_StringCopy(demo_name, name, sizeof(demo_name));
}

void DEMO_LoadFile(void) {}

int DEMO_Play(void)
{
    return 0;
}
