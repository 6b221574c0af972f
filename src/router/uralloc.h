// Opening and closing the router on the current board. UrAlloc refuses a
// board the router cannot work on (too many routing layers, a routing
// window smaller than its overlap, a routing area too large for the
// machine's memory) before anything is allocated; UrClose may be called
// any number of times, open or not.
#pragma once
#include <cstdint>

enum : int32_t {
    kUrMaxRoutingLayers = 4,         // layers with the routing-enable bit
    kUrMaxMazeLayers = 16,           // maze layers a via move code can name
    kUrMemoryReserveBytes = 6291456, // physical memory kept back from the router
    kUrMinWindowStep = 1,            // grid units a window must advance by
};

// 1 when the router is open, 0 when refused (a message is then on the
// message line or pending on the front window).
int32_t UrAlloc();
// Closes the router: objects stale, display restored, router memory
// released, flags cleared, MzGoal's state idle. MzGoal and ConnPath stay.
void UrClose();
