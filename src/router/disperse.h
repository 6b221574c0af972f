// The fan-out of surface-mount pads to vias ("dispersion"): the ordered
// list of pads a DISBURSE pass works through, the fan-out of one pad (a
// short stub from the pad to a via, found in rounds of widening searches),
// the spreading of that stub to every other open connection of the pin,
// and the error marker of a pad that could not be fanned out.
//
// Every change goes through the open journal level of the caller; nothing
// is stored directly and nothing is mapped here.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "router/loopstate.h"

enum : int32_t {
    kDispersePadsMax = 2400, // candidate pads of one component
    kDisperseRoundsMax = 6,  // rounds of the fan-out search
    kDisperseMarkerType = 16,
    kDisperseMarkerLimit = 8000, // marker count + journal images + 1 stays below this
};

enum : ErrCode {
    kErrDispersePads = 2192001,    // more than 2,400 pads on one component
    kErrDisperseNotPad = 2192002,  // a list entry that is not a pad
    kErrDisperseComp = 2192003,    // component out of range
    kErrDispersePin = 2192004,     // pin out of range
    kErrDisperseNet = 2192005,     // net out of range
    kErrDisperseOutside = 2192006, // a pad outside the maze extent
    kErrDisperseGrid = 2192007,    // the fan-out grid overflows while doubling
    kErrDisperseDir = 2192008,     // an unknown direction code
};

// Builds the list of candidate pads in the pool, ordered by component (fine
// pitch and many pins first) and within a component nearest its centre
// first (pads of a net with a required layer first of all); adds the pad
// count to the goal's remaining count. Null when no pad qualifies.
DisperseNode* DisperseRank(int32_t pool);
// Prepends the component's candidate pads to *head (ascending by key).
void DispersionRank(int32_t comp, int32_t pool, DisperseNode** head);
// 1 when the pad is fanned out now, already was, or needs nothing; 0 when
// no via type gave a fan-out.
int32_t DispersePin(int32_t entry);
// 1 when a connection of the pin already runs pad, segments, via (*out the
// pattern: cut after the corner that follows the via, whose segment is left
// unrouted); else 0 with the count of the pin's open connections, the entry
// of the first and that connection reduced to its two ends in *out.
int32_t isDispersed(int32_t comp, int32_t pin, int32_t net, int32_t* count, int32_t* exampleEntry,
                    Conn* out);
// Gives every other open connection of the pattern's pin the pattern's stub.
void copyDispersion(const Conn* pattern);
// Tries the via types in turn; on success *conn is the stub pad, bends,
// via, far end. 1 or 0.
int32_t DisperseFindPath(int32_t exampleEntry, Conn* conn);
// Adds (add 1) or deletes the pad's dispersion marker through the journal.
void DisperseError(int32_t comp, int32_t pin, int32_t add);
