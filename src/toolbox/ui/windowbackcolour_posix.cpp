// Without native windows there is no system erase colour to set.
#include "toolbox/ui/windowbackcolour.h"

void SetPortEraseColour(PortRecord*, ColourRGB16) {}
