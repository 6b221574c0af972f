// The shell's entries on real windows and event objects: the application
// event handler (posted commands), the menu-command callback, the board
// window's event procedure, and posting, sending and walking windows over
// the toolbox. The toolbox host uses them; the program's start-up installs
// the first three.
#pragma once
#include <cstdint>

#include "shell/shellhost.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/windowevent.h"

constexpr uint32_t kPostedEventClass = FourCC("AppC");
constexpr uint32_t kPostedEventKindAppC = 1;
constexpr uint32_t kPostedParamName = FourCC("EVNT");
constexpr uint32_t kPostedParamType = FourCC("EVNT");
constexpr int16_t kPostedPriority = 0;

// 0 when it ran a posted command (or consumed a mouse-down), -9874 for
// what it leaves.
int32_t FrameAppEvent(EventCallRef* call, EventObject event, void* userData);
// The toolbox's command hook: nonzero when the command was handled.
int32_t FrameCommandCallback(WindowObject* window, const WindowEvent* event);
// The board window's procedure: the view record is the window's user data.
int32_t BoardWindowEvent(WindowObject* window, WindowEvent* event);

// An 'AppC' event with the record as its 'EVNT' parameter, queued at
// priority 0; the toolbox result.
int32_t PostCommandEvent(const PostedCommand& record);
// The record to the window's procedure while the window exists (its port
// made current); kSendWindowGone when it does not.
int32_t SendRecordToWindow(int32_t window, PostedCommand* record);
// The open top-level windows from the front, with their minimised states.
int32_t TopWindowsFromFront(int32_t* ids, bool* minimised, int32_t capacity);
