// The shell's handler on the application-level receiver: switching to and
// from the background, the menu-tracking count, the application's own
// menus and the mouse-up that ends a content click.
//
// Guarantees: the tracking count never goes below 0; the port of the last
// content click is sent one mouse-up and then forgotten.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/eventreceiver.h"

constexpr uint32_t kAppMenuCreator = FourCC("Quor");
constexpr uint32_t kAppMenuTag = FourCC("APPM");
constexpr uint32_t kMenuContextUpdate = 1; // 'mctx' bit 0

// What the handler asks of other layers; each defaults to nothing.
struct ShellAppProcs {
    // The clipboard's suspend (1) / resume (0) hook.
    void (*suspendResume)(uint8_t background);
    void (*hideHelpTag)();
    // Sends a mouse-up (what 2) to the port of the last content click and
    // forgets it.
    void (*endContentClick)();
    void (*updateCursor)();
};
void SetShellAppProcs(const ShellAppProcs* procs);

int32_t ShellApplicationHandler(EventCallRef* call, EventObject event, void* userData);
int32_t ShellMenuTrackingCount();
bool ShellInBackground();
// Clears the count and the background byte (tests).
void ResetShellAppState();
