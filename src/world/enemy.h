// Enemies: placement from the map, movement, animation, damage.
#pragma once

#include "game/game.h"

// An enemy in play. The effects module follows an enemy through its mover point and
// notices it has gone when its item becomes -1.
struct SPRITE_SHIP_S {
    SPRITE_SHIP_S* prev;
    SPRITE_SHIP_S* next;
    int item;
    MOVEOBJ move;
};
