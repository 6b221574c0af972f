// The router's loaded objects: the object table entries and the object map
// of the current window, built lazily and at most once per window. Loading
// is linear in the board's objects and the map cells they cover.
#pragma once
#include <cstdint>

// The loading box, in the order of the header's display box.
struct UrLoadBox {
    int32_t minX, maxX, minY, maxY;
};

// 1 while the object map of the current window was built successfully; 0
// when stale or when the window could not be loaded (overload).
extern int16_t g_windowLoaded;

// 1 when the objects and the map are ready (or nothing needs loading), 0
// when not (a message is then on the message line). The argument is not
// used.
int32_t UrObjValidate(int32_t flag);
// Marks objects and map stale.
void urObjInvalidate();

// The smallest box over the maze extent and the header's display box.
UrLoadBox UrLoadingBox();
// Append the obstacles, the pads and the connections whose box overlaps
// the loading box (edges touching count) to the object table.
void obsAdd(const UrLoadBox& box);
void urPadsAdd(const UrLoadBox& box);
void urConnsAdd(const UrLoadBox& box);
