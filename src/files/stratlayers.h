// The layers the default sweeps route on. The sweep run routes only sweeps
// of at most two used layers, so a design of more than two layers gets its
// routing layers spread over the default sweeps two at a time: the outer
// pair (the component sides) in the first sweeps, then each inner layer
// beside its nearer component side, so that vias join it to the pads, for
// what the outer pair left. A design of one or two layers keeps the
// defaults as they are.
#pragma once
#include <cstdint>

#include "db/records.h"

// The routing layers of a design in stack order, with its component sides.
struct SweepLayerStack {
    int32_t layerCount = 0; // the design's layer count
    int32_t count = 0;      // routing layers in layer[]
    uint8_t layer[kMaxLayers] = {};
    uint8_t top = 0, bottom = 0; // the outer pair; 0 when there is none
};

enum : int32_t {
    kSweepOuterFirst = 1, // sweeps 1..3 route on the outer pair
    kSweepOuterLast = 3,
    kInnerSweepSlots = 4, // sweeps that take the inner layers
    // Inner layers the default sweeps cover (two in each inner sweep): a
    // design of more than ten routing layers routes the rest only through
    // a strategy of its own.
    kMaxInnerLayers = 2 * kInnerSweepSlots,
};
// The sweeps that take the inner layers, in order.
extern const int32_t kInnerSweeps[kInnerSweepSlots];

// The stack of the design in hand: routing layers are layers 1..count
// whose flags have none of the not-routable bits; the top is the first of
// them, the bottom its mirror layer when that is another routing layer,
// else the last of them.
SweepLayerStack StrategyStack();
// The stack of a design of count layers whose layers 1..count all route,
// with layer 1 and layer count as its component sides.
SweepLayerStack StrategyPlainStack(int32_t count);

// Sets the per-layer enables of default sweep n (0..8) for the stack. A
// design of at most two layers, and sweep 0 (the interactive strategy),
// are left as they are. Otherwise every other sweep enables at most two
// routing layers: sweeps 1..3 and any sweep without inner layers the outer
// pair, the inner sweeps their share of the inner layers (one inner layer
// and its nearer component side while the inner layers fit the inner
// sweeps one each, else two inner layers each); an inner sweep that has no
// enabled pass among its defaults (sweeps 7 and 8) gets the maze pass of
// "Next 2" or "Next 3" and routes the whole board at once.
void StrategyLayers(Sweep* sweep, int32_t n, const SweepLayerStack& stack);

// For a design just read: every sweep whose strategy set no layer enable
// (bit n of sweepsWithLayers clear) gets the enables of StrategyLayers for
// the design's stack.
void StrategyApplyLayers(uint32_t sweepsWithLayers);
