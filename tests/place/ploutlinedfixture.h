// Fixture of the shoving, clearing and improvement tests: a board of two
// layers with a two-pin part whose Place outline is 1,400 by 1,600, placed
// by position and flags.
#pragma once
#include "plfixture.h"

class PlOutlinedTest : public PlaceTest {
  protected:
    // The board outline from the origin and the routing grid.
    void Board(int32_t width, int32_t height, int32_t routeGrid) {
        SetHeader(1, routeGrid);
        AddRect(kObsBoardOutline, 0, 0, 0, width, height);
        r2 = RowSymbol("R2", 2, 1000, int16_t(both));
        AddRect(kObsPlaceOutline, r2, -700, -300, 700, 1300);
    }
    int32_t At(int32_t x, int32_t y, uint16_t flags = 0) {
        Part p;
        p.x = x;
        p.y = y;
        p.flags = flags;
        return AddPart(r2, p);
    }
    int32_t r2 = 0;
};
