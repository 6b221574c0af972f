// The port procedure of window-object windows: key commands, dialog keys
// and close requests first, then the routing of native records to the
// panes (mouse to the pane under the point and to the tracking pane, keys
// to the focus pane, updates, activation and the cursor pane).
//
// Guarantees: every pane is found again by id after a message to another
// pane, and a record for a port whose root pane is gone goes nowhere.
#pragma once
#include <cstdint>

#include "toolbox/core/oseventqueue.h"

struct PortRecord;

// The layer's what codes of native records at port level.
enum : uint16_t {
    kPortWhatDrag = 16,
    kPortWhatGrow = 17,
    kPortWhatMinimise = 23,
    kPortWhatClickOutside = 24,
    kPortWhatClickSurface = 25,
    kPortWhatMouseMoved = 34,
};

int32_t PortEventProc(PortRecord* port, OsEventRecord* record);
int32_t PortRecordDefault(PortRecord* port, OsEventRecord* record);
