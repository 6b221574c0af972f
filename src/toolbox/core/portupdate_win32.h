// Pending updates of ports, in port coordinates, over their native
// windows, and drawing pending updates at once.
#pragma once
#include "toolbox/core/nativezorder_win32.h"
#include "toolbox/core/portrecord.h"

NativeWindowRecord* NativeRecordOfPort(PortRecord* port);
void InvalidateNativeRegion(NativeWindowRecord* record, const RegionRecord* region);
void InvalidatePortRect(PortRecord* port, const Rect32* rect);
void ValidatePortRegion(PortRecord* port, const RegionRecord* region);
void ValidatePort(PortRecord* port);
// The pending update (after collecting the system's) in port coordinates.
void PortUpdateRegionLocal(PortRecord* port, RegionRecord* out);
// The pending update as it stands, in port coordinates.
void PortPendingUpdateLocal(PortRecord* port, RegionRecord* out);
void ResizePort(PortRecord* port, int32_t width, int32_t height);
// Sends an update event for the port's window when its update is pending.
void UpdatePortNow(PortRecord* port);
// Receives and dispatches pending update and activation events until none
// is left or an update concerns a window without a port.
void UpdateWindowsNow();
