// The stack of saved background colours, and saving one state's background
// into a block.
//
// Guarantees: the stack holds kBackStackSlots colours; deeper pushes are
// only counted and their pops restore nothing; a pop of an empty stack does
// nothing.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"

constexpr int32_t kBackStackSlots = 32;

void PushBackgroundColour();
void PopBackgroundColour();
int32_t BackgroundStackDepth();

// Copies the state's background into the block, or into a new one when
// none is given; null without memory.
ColourRGB16* SaveBackgroundColour(const DrawingState* state, ColourRGB16* block);
// Puts the block's colour back into the state (the current state stays
// current) and frees the block when asked.
void RestoreBackgroundColour(DrawingState* state, ColourRGB16* block, bool free);
