// The definition procedures of the self-drawn controls: the toolbox's own
// (icon button, toggle triangle, user pane, icon, popup button) and the
// registered ones.
#pragma once
#include <cstdint>

#include "toolbox/core/reclist.h"

// The user pane's drawing procedure ('draw'): (control, part).
typedef void (*UserPaneDrawProc)(ToolboxControlRecord* control, int16_t part);

// The procedure of a self-drawn kind (kDefinition...) for a definition
// number; null when none is registered.
ControlDefinitionProc ControlDefinitionFor(int32_t kind, int32_t definitionNumber);
