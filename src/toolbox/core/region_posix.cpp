// Regions natively: no system region is ever made, so nothing is cached.
#include "toolbox/core/region.h"

void RegionDropNative(RegionRecord*) {}
