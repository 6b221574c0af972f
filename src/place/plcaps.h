// Small parts beside their partners: every class-2048 part of the model
// goes beside a larger part that carries its two nets, one small part per
// partner. Runs at the end of a Proximity Place run on the open model.
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"

enum : int32_t {
    kErrPlCapsPool = 3622010,    // owner of the lists' pool
    kErrPlCapsModel = 3622090,   // the model is not open
    kErrPlCapsNodes = 3622190,   // the model has no node table
    kErrPlCapsPartner = 3622240, // a partner used twice
};

struct PlSmallPart {
    int16_t comp, partner, netA, netB, axis, span, lowMargin, highMargin;
};
struct PlPartner {
    int16_t comp, pins, uses, axis, shape;
};

void PlaceCaps();
// Places one small part against the partner list (used entries leave it).
void PlaceCapsOne(PlSmallPart& s, std::vector<PlPartner>& partners);
// A spot for s beside p, or false.
bool PlaceCapsSpot(const PlSmallPart& s, const PlPartner& p, int32_t* x, int32_t* y);
