// Acknowledge waits: has the player pressed something?
#pragma once

void IMS_StartAck(void);
