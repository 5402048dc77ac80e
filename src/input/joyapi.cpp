#include "input/joyapi.h"

void IPT_CloJoy(int) {}
