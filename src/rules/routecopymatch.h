// Finding where a route copy goes: the pin whose pad lies under a point,
// and the connections that join a copy's pins. A full copy (both pins)
// matches a connection joining exactly those two pins, turned round when
// they come in the other order; a partial copy (start pin only) matches a
// connection starting at that pin, turned round when needed, whose first
// segment is still unrouted. Connections flagged NotSelected or NoRipup
// never match.
#pragma once
#include <cstdint>

#include "db/records.h"

// A component and pin; comp 0 is no pin.
struct CopyPin {
    int32_t comp = 0, pin = 0;
};

// The pin whose pad on the layer (layer 1 for 0) contains the point: 1
// with *out set, else 0.
int32_t padAtPoint(int32_t x, int32_t y, int32_t layer, CopyPin* out);
// 1 when the connection (possibly reversed in place) takes the copy; `to`
// with comp 0 asks for a partial copy.
int32_t connMatchesPads(Conn* conn, const CopyPin& from, const CopyPin& to);
// The first connection at or after index `first` that connMatchesPads
// accepts, read through the journal into *work (as matched); 0 when none.
int32_t findConnByPads(const CopyPin& from, const CopyPin& to, int32_t first, Conn* work);
