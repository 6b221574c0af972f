// The three score terms every placement pass minimises, on the model:
// wire W (weighted net lengths), overlap X (box overlaps, broken area
// obstacles, boxes leaving the placement area) and group Y (spread of
// groups). Terms and totals are 64-bit; each total is divided by the
// model's score divisor. The last length of every net is cached with the
// previous one for undo.
#pragma once
#include <cstdint>

enum : int32_t {
    kPlAreaPenalty = 100000, // a broken area obstacle, a box outside the area
    kPlAlignWeight = 500,    // align term of two parts on one axis
};

// Attribute kinds read by the area obstacle rules (first key a component).
enum : int32_t {
    kPlAttrGroupLimit = 6,
    kPlAttrHeightLimit = 5,
    kPlAttrKeyComp = 9,
};

// The run option bits (bit 4: half-perimeter wire measure).
void PlSetRunOptions(int32_t options);

// The wire measure of a net in placement units (0 without pin points).
int64_t PlNetMeasure(int32_t net);
// Measures the net again, keeping the previous length for undo; answers
// weight x length.
int64_t PlNetWire(int32_t net);
// Puts back the length before the last PlNetWire of the net.
void PlNetWireUndo(int32_t net);

// Per-component terms, undivided.
int64_t PlCompOverlap(int32_t comp);
int64_t PlCompGroup(int32_t comp);

// Totals, each divided by the score divisor.
int64_t PlScoreWire();
int64_t PlScoreOverlap();
int64_t PlScoreGroup();

// The bond of a net: 0 when excluded or its weight byte is 0, else
// WT / 10 + 1.
int32_t PlNetWeight(int32_t net);
// Alignment of two components' pins (used by the placement tree's cost).
double PlAlignScore(int32_t a, int32_t b);
