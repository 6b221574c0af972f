// The shell's handler on the application-level receiver: switching to and
// from the background, the menu-tracking count, the application's own
// menus, the mouse-up that ends a content click, menu commands and the
// modifier keys.
//
// Guarantees: the tracking count never goes below 0; the port of the last
// content click is sent one mouse-up and then forgotten; a menu command is
// carried out only for a menu record the menu layer knows, and only while
// the front window is this layer's.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/eventreceiver.h"

constexpr uint32_t kAppMenuCreator = FourCC("Quor");
constexpr uint32_t kAppMenuTag = FourCC("APPM");
constexpr uint32_t kMenuContextUpdate = 1; // 'mctx' bit 0
// 'mctx' bits a carried-out menu command passes on.
constexpr uint32_t kMenuContextBit17 = 1u << 17;
constexpr uint32_t kMenuContextBit18 = 1u << 18;
// 'hcmd' attribute: the command comes from a menu.
constexpr uint32_t kCommandFromMenu = 1;
// 'keyb' 4 and the record it sends to the front window's port.
constexpr uint32_t kKeyModifiersChangedKind = 4;
constexpr uint16_t kPortWhatModifiersChanged = 36;

// What the handler asks of other layers; each defaults to nothing.
struct ShellAppProcs {
    // The clipboard's suspend (1) / resume (0) hook.
    void (*suspendResume)(uint8_t background);
    void (*hideHelpTag)();
    // Sends a mouse-up (what 2) to the port of the last content click and
    // forgets it.
    void (*endContentClick)(EventObject event);
    void (*updateCursor)();
};
void SetShellAppProcs(const ShellAppProcs* procs);
// The installed procedures (to change one entry and keep the others).
const ShellAppProcs& ShellApp();

int32_t ShellApplicationHandler(EventCallRef* call, EventObject event, void* userData);
int32_t ShellMenuTrackingCount();
bool ShellInBackground();
// Clears the count and the background byte (tests).
void ResetShellAppState();
