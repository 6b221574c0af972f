// Counters of the drawing back end's work: GDI objects created and device
// contexts taken, and the most device contexts held at once. Cheap, kept
// in both builds (natively they stay 0).
#pragma once
#include <cstdint>

struct DrawCounters {
    int32_t pensCreated;
    int32_t brushesCreated;
    int32_t fontsCreated;
    int32_t contextsTaken;
    int32_t contextsHeld;
    int32_t mostContextsHeld;
};

DrawCounters& DrawingCounters();
void ResetDrawingCounters();
