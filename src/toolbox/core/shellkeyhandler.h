// The shell's handler on the application's receiver, in front of the
// toolbox's own: registered key commands, Control keys that are no menu
// key equivalent, and the core requests.
//
// Guarantees: keys reach the key commands only while the front window is
// this layer's (or there is none); a Control key that no key command and
// no menu takes is consumed after the menus are brought up to date, so no
// window sees it; a menu key equivalent is passed on to the toolbox.
#pragma once
#include <cstdint>

#include "toolbox/core/eventreceiver.h"

// True with no front window or a front window of this layer.
bool FrontWindowIsOurs();
// A key-down record of the key event ((key code << 8) | character, the
// modifiers) matched against the registered key commands.
bool KeyCommandHook(EventObject keyEvent);
int32_t ShellKeyHandler(EventCallRef* call, EventObject event, void* userData);
