#include "world/enemy.h"

#include "world/tile.h"

// Frames from the last enemy's end to the end of the wave.
static constexpr int kEndCountdown = 60;

static int end_started;

void ENEMY_LoadLib(void) {}

void ENEMY_LoadSprites(void)
{
    end_started = 0;
}

void ENEMY_FreeSprites(void) {}

void ENEMY_Clear(void)
{
    end_started = 0;
}

void ENEMY_Think(void)
{
    // Until enemies come into play, the wave is over when the far end of the map is in view.
    if (!scroll_flag && !end_started && startendwave == -1) {
        startendwave = kEndCountdown;
        end_started = 1;
    }
}

void ENEMY_DisplayGround(void) {}
void ENEMY_DisplaySky(void) {}

int ENEMY_GetBaseDamage(void)
{
    return 0;
}

int ENEMY_DamageAll(int, int, int)
{
    return 0;
}
int ENEMY_DamageGround(int, int, int)
{
    return 0;
}
int ENEMY_DamageAir(int, int, int)
{
    return 0;
}
SPRITE_SHIP_S* ENEMY_DamageEnergy(int, int, int)
{
    return nullptr;
}
SPRITE_SHIP_S* ENEMY_GetRandom(void)
{
    return nullptr;
}
SPRITE_SHIP_S* ENEMY_GetRandomAir(void)
{
    return nullptr;
}
SPRITE_SHIP_S* ENEMY_First(void)
{
    return nullptr;
}
SPRITE_SHIP_S* ENEMY_Next(SPRITE_SHIP_S*)
{
    return nullptr;
}
