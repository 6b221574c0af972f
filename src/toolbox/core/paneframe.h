// Pane frames: the single frame of a framed pane, the three-dimensional
// frame of a child pane with a double frame, and the focus ring outside a
// framed pane's frame.
//
// Guarantees: hidden and unframed panes get no frame; root and hidden
// panes get no focus ring.
#pragma once
#include "toolbox/core/panetree.h"

// The width of the ring a three-dimensional frame takes inside the pane
// rectangle.
constexpr int16_t kPaneFrameRingWidth = 2;

// The pane's rectangle for frames: its window rectangle grown by 1 at the
// bottom and right.
Rect16 PaneFrameRect(const PaneRecord* pane);
void DrawPaneFrame(PaneRecord* pane);
// With show the focus ring around the framed pane (outside its frame);
// without it the ring's area is erased and the frame drawn again.
void DrawPaneFocusRing(PaneRecord* pane, bool show);
