// Credits and cut-scenes: each scene writes its frames into the shared table and plays
// it with the frame player. Every scene returns non-zero when the player cut it short.
#pragma once

// The two credits pictures, shown once at start-up.
void INTRO_Credits(void);
// The opening sequence: city, side view, pilot, side view, explosion; stops at the first
// piece that was cut short.
int INTRO_PlayMain(void);
// After the ship was lost: the wreck, then the pilot's end unless cut short.
int INTRO_Death(void);
// After the last wave of a full episode (episodes counted from 0): its ending, the base,
// the landing and the victory picture.
void INTRO_EndGame(int episode);

// The pieces.
int INTRO_City(void);
int INTRO_Side1(void);
int INTRO_Pilot(void);
int INTRO_Side2(void);
int INTRO_Explosion(void);
// Only with the second episode's archive; otherwise nothing is shown.
int INTRO_Base(void);
// After a won wave and after each demo.
int INTRO_Landing(void);
int INTRO_Death2(void);
int INTRO_Game1End(void);
int INTRO_Game2End(void);
int INTRO_Game3End(void);
