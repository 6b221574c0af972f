// The native window's erase colour: the system erases the window with it.
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/ui/windowbackcolour.h"

void SetPortEraseColour(PortRecord* port, ColourRGB16 colour) {
    auto* record = port ? static_cast<NativeWindowRecord*>(port->nativeWindow) : nullptr;
    if (record)
        SetNativeEraseColour(record, int16_t(colour.red), int16_t(colour.green),
                             int16_t(colour.blue));
}
