// The ranking of the component picks: the first hit on the window's
// active layer wins and ends the ranking; once the best hit lies on both
// sides (side layer 0) only an active-layer hit replaces it; otherwise the
// smaller distance wins and equal distances keep the earlier component.
#pragma once
#include <cstdint>

#include "db/records.h"

struct UpPickRank {
    int32_t best = 0, bestDist = 0, bestSide = 0;
    bool onActive = false; // an active-layer hit ended the ranking

    // Offers component c at distance d with its side layer.
    void Offer(int32_t c, int32_t d, int32_t side, int32_t activeLayer);
};

// 1 when (x, y) lies in the component's box (borders included); *d is the
// distance from the box centre.
bool UpBoxHit(const Component& r, int32_t x, int32_t y, int32_t* d);
