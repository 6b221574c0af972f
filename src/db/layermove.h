// Moving and deleting layers: the layer table and every record that names
// a layer (colours, thru-code pads, nets, corners, obstacles, texts and the
// per-layer tables of the sweeps) change together.
#pragma once
#include <cstdint>

// Makes layer `to` a copy of layer `from` (both 0..30) everywhere: its
// record, mirror references, colour entries, thru-code pads, the corners of
// connections (all but the last of each), obstacles, texts and the four
// per-layer entries of the nine sweeps.
void LayerMove(int32_t from, int32_t to);
// Removes layer n (1..count) and moves the layers above it down one place.
// Its colour entries, obstacles and texts are deleted, mirror references to
// it become 0 and connection segments on it become unrouted (layer 0): two
// consecutive corners on it lose the second, but never the connection's
// last corner. Answers 0 and changes nothing with 2 layers or fewer, else 1.
int32_t LayerDelete(int32_t n);
