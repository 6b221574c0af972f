// A window's erase colour and erasing a port's content.
//
// Guarantees: a window's erase colour is kept in its root pane's surface
// list; a pane without a list has no colour, (0xFFFF, 0xFFFF, 0xFFFF);
// erasing keeps the current port, its focus and its background colour.
#pragma once
#include "toolbox/core/drawingstate.h"

struct PaneRecord;
struct PortRecord;
struct RegionRecord;
struct WindowObject;

// The current state's background becomes the window's erase colour.
void StoreWindowBackColour(PortRecord* port);
// The native window's own erase colour (what the system erases with).
void SetPortEraseColour(PortRecord* port, ColourRGB16 colour);
// The erase colour of the current state's window, when it is one.
void StoreCurrentWindowBackColour();
ColourRGB16 WindowBackColour(PortRecord* port);
// Unless drawing is focused on this pane in the current state, the pane
// list's erase colour (or none) becomes the background; with save the
// background before is written to out and out answered, else null.
ColourRGB16* ApplyWindowBackColour(PaneRecord* pane, bool save, ColourRGB16* out);
// Erases the port's content: a port without drawing surfaces its bounds; a
// window whose list erases its own background (surface flag 64) draws its
// surface background; else the main surface's rectangle in the erase
// colour.
void EraseWindowContent(WindowObject* port, const RegionRecord* update);
