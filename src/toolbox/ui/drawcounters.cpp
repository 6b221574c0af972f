// The drawing counters.
#include "toolbox/ui/drawcounters.h"

namespace {
DrawCounters g_counters{};
}

DrawCounters& DrawingCounters() {
    return g_counters;
}

void ResetDrawingCounters() {
    int32_t held = g_counters.contextsHeld;
    g_counters = DrawCounters{};
    g_counters.contextsHeld = held;
    g_counters.mostContextsHeld = held;
}
