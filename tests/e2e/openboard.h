// The router opened in one window covering the whole board: sweep 0's BOX
// is made to cover the design extent (within the largest window the sweep
// record takes), the maze placed on it and the objects loaded.
#pragma once
#include <algorithm>
#include <cstdint>

#include <gtest/gtest.h>

#include "db/dbheader.h"
#include "db/sweeps.h"
#include "router/loopstate.h"
#include "router/objvalidate.h"
#include "router/uralloc.h"
#include "db/shellsvc.h"

inline void OpenRouterOverBoard() {
    enum : int32_t { kBoxMaxX = 500, kBoxMaxY = 1000, kBoxRoom = 40 };
    DbHeader h;
    DbGetHeader(&h);
    h.sweep = 0;
    DbPutHeader(&h);
    Sweep& s = *SweepSlot(0);
    const int32_t g = h.routeGrid;
    s.box[0] = int16_t(std::min<int32_t>(kBoxMaxX, (h.extMaxX - h.extMinX) / g + kBoxRoom));
    s.box[1] = int16_t(std::min<int32_t>(kBoxMaxY, (h.extMaxY - h.extMinY) / g + kBoxRoom));
    s.box[2] = s.box[3] = 0;
    ASSERT_EQ(UrAlloc(), 1);
    ZoomTo((h.extMinX + h.extMaxX) / 2, (h.extMinY + h.extMaxY) / 2, h.extMaxX - h.extMinX,
           h.extMaxY - h.extMinY);
    ASSERT_EQ(UrObjValidate(1), 1);
    ASSERT_EQ(g_windowLoaded, 1);
}
