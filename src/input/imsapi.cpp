#include "input/imsapi.h"

void IMS_StartAck(void) {}
