// Music: the song sequencer, the fader and the back-end table.
#pragma once

// Clocks music from the millisecond counter; called from every event pump.
void MUS_Poll(void);
