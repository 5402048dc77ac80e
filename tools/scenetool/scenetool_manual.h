// scenetool's help text and manual page, from one description.
#pragma once

#include "game/manual.h"

extern const MAN_PAGE scenetool_manual;
