// Board-side mirroring: the mirror twins of symbols and thru codes, moving
// a component to the other side of the board, and mirroring obstacles and
// texts.
#pragma once
#include <cstdint>

#include "db/records.h"

// Location codes of mirroring's errors.
enum : int32_t {
    kErrTwinSymbol = 5228017,   // SymMirrorTwin: symbol outside 1..count
    kErrTwinPinThru = 5228047,  // SymMirrorTwin: a pin's thru code outside 1..count
    kErrTwinThru = 5228052,     // ThruMirrorTwin: thru code outside 1..count
    kErrTwinMirror = 5228057,   // ThruMirrorTwin: a mirror layer above the layer count
    kErrTwinShapes = 5228058,   // ThruMirrorTwin: a shape count above 4
    kErrMirrorSymbol = 5228046, // CompMirror: no symbol to make a twin of
};

// Mirrors an obstacle about the line x = a: its layer becomes that layer's
// mirror layer when it has one, every point's x becomes 2a - x and the two
// arc-direction bits of every point are exchanged; the box follows.
void ObsMirror(Obstacle* record, int32_t a);

// Mirrors a text about x = 0: its layer becomes the mirror layer when there
// is one, x becomes -x, the mirrored bit of its flags is flipped; the box
// follows.
void TextMirror(BoardText* record);

// The mirror twin of symbol s: the symbol whose name is s's name without a
// trailing "-M", or with "-M" appended. When there is none it is made under
// that name: s's pins with x negated and their thru codes replaced by their
// twins, s's obstacles and texts copied to it and mirrored (footprint
// detail texts are copied as they are), copies named with "-M" appended
// (the next free name when taken). Answers the twin's index.
int32_t SymMirrorTwin(int32_t s);

// The mirror twin of thru code t: the thru code named like t without a
// trailing "-M", or with "-M" appended; otherwise t's pads as seen from the
// other side (each layer takes the pads of its mirror layer with the x
// offsets negated and the left and right extents exchanged, a rotation r
// not 0 becoming 21,600 - r). When that equals t on every layer, t is its
// own twin; otherwise it is added under the twin name (the next free name
// when taken). Answers the twin's index.
int32_t ThruMirrorTwin(int32_t t);

// Moves component c to the other board side inside the caller's journal
// level: symbol and other-side symbol exchange (a missing twin is made),
// header flag 4 is set, a non-zero angle becomes 21,600 - angle, flag 0x200
// flips, and the component's own obstacles and texts are mirrored about
// x = 0; all changes go into the journal.
void CompMirror(int32_t c);
