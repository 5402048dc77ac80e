// Acknowledge waits: has the player pressed something?
#pragma once

// Forgets earlier presses: the key table and every acknowledge latch.
void IMS_StartAck(void);
// Pumps once; 1 when a key, controller button or left/right mouse button was pressed
// since the last IMS_StartAck.
int IMS_CheckAck(void);
// Pumps once; 1 while controller buttons or mouse buttons are held or a key press is
// waiting (which it takes).
int IMS_IsAck(void);
// Waits up to count x 55 frame ticks (about 0.79 s each) for a press; 1 when one came.
// Either way it returns only once nothing is held any more.
int IMS_WaitTimed(int count);
