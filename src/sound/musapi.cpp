#include "sound/musapi.h"

void MUS_Poll(void) {}
