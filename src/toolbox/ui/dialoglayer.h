// Installs the dialog layer's procedures into the window layer's table
// (keys, focus, item behaviours, dismissal, disposal of items).
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"

void InstallDialogLayer();

// A mouse down in an item at a point of the dialog (event 16 to the item
// procedure; its default handling tracks the item).
void DialogItemMouseDown(WindowObject* dialog, DialogItemRecord* item, Point16 point, int32_t part,
                         uint16_t modifiers);
// Raised while an item's control tracks the mouse, so that the press the
// tracking gives the native control passes through.
void SetItemTracking(bool on);
