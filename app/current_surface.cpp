#include "current_surface.h"

unsigned currentSurface = 0;
