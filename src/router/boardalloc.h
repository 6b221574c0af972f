// The router's set-up for one board and sweep: the working records, the
// router flags derived from the current sweep, and the router memory.
#pragma once
#include <cstdint>

// 1 on success; 0 when the router memory could not be built (the router
// is then closed again and the user told).
int32_t BoardAlloc();
