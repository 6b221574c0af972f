// Background colour stack: kBackStackSlots slots and a depth counter that
// also counts pushes beyond the slots. A pop tests the depth before it
// decrements it, so only pops of pushes that found a slot restore.
#include "toolbox/ui/backstack.h"

#include <new>

#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"

namespace {
ColourRGB16 g_slots[kBackStackSlots];
int32_t g_depth = 0;
} // namespace

void PushBackgroundColour() {
    if (g_depth < kBackStackSlots) g_slots[g_depth] = CurrentState()->settings.background;
    ++g_depth;
}

void PopBackgroundColour() {
    if (g_depth <= 0) return;
    if (g_depth <= kBackStackSlots) StoreBackgroundColour(g_slots[g_depth - 1]);
    --g_depth;
}

int32_t BackgroundStackDepth() {
    return g_depth;
}

ColourRGB16* SaveBackgroundColour(const DrawingState* state, ColourRGB16* block) {
    if (!block) block = new (std::nothrow) ColourRGB16;
    if (block) *block = state->settings.background;
    return block;
}

void RestoreBackgroundColour(DrawingState* state, ColourRGB16* block, bool free) {
    if (!block) return;
    DrawingState* current = CurrentState();
    MakeStateCurrent(state);
    StoreBackgroundColour(*block);
    MakeStateCurrent(current);
    if (free) delete block;
}
