// The system side of the event loop: the mouse, the keyboard state, the
// native message queue and its wait, mouse capture and process exit. Each
// procedure comes from the installed OsInputSource or, for a null field,
// from the system (osinput_win32.cpp / osinput_posix.cpp), so the loop's
// logic runs and is tested the same way in both builds.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

// A wait without a time limit.
constexpr uint32_t kOsWaitNoLimit = 0xFFFFFFFFu;

// Native window messages the portable rules look at.
constexpr uint32_t kOsMsgKeyDown = 0x0100;
constexpr uint32_t kOsMsgKeyUp = 0x0101;
constexpr uint32_t kOsMsgChar = 0x0102;
constexpr uint32_t kOsMsgNcLeftDown = 0x00A1;
constexpr uint32_t kOsMsgNcMiddleDouble = 0x00A9;
constexpr uint32_t kOsMsgLeftDown = 0x0201;
constexpr uint32_t kOsMsgMiddleDouble = 0x0209;

struct OsInputSource {
    // The mouse in the frame's client coordinates.
    void (*mouseClient)(Point32* out);
    // The screen mouse position (for mouse-moved detection).
    void (*mouseScreen)(Point32* out);
    // ModifierBits from the keyboard state.
    uint16_t (*keyModifiers)();
    // Whether the button (0 primary, 1 secondary, 2 middle) is held down.
    bool (*buttonDown)(int32_t button);
    // Empties the native message queue (MessagePump).
    void (*pump)();
    // Whether a native message waits in the queue.
    bool (*messageQueued)();
    // Whether a mouse button message waits in the queue.
    bool (*buttonMessageQueued)();
    // Sleeps until a message arrives or `ms` pass (kOsWaitNoLimit: no timer).
    void (*waitMessage)(uint32_t ms);
    // VkKeyScanA of a character: virtual key in the low byte, -1 for none.
    int16_t (*keyScan)(uint8_t character);
    void (*captureMouse)(void* window);
    void (*releaseMouse)();
    void (*exitProcess)(int32_t code);
};

// Installs the procedures of `source` (copied); null fields, or a null
// source, fall back to the system's own.
void SetOsInputSource(const OsInputSource* source);

void OsMouseClient(Point32* out);
void OsMouseScreen(Point32* out);
uint16_t KeyModifiers();
bool OsButtonDown(int32_t button);
void MessagePump();
bool OsMessageQueued();
bool OsButtonMessageQueued();
// Counts every return from the system wait (see OsWaitReturnCount).
void OsWaitMessage(uint32_t ms);
int16_t OsKeyScan(uint8_t character);
void OsCaptureMouse(void* window);
void OsReleaseMouse();
void OsExitProcess(int32_t code);
// Returns from the system wait since the process started.
uint32_t OsWaitReturnCount();

// The frame window and its MDI client (null until the frame exists): mouse
// points are local to the frame's client area, and the pump translates the
// MDI system keys on the client.
void SetOsFrameWindows(void* frame, void* mdiClient);
void* OsFrameWindow();
void* OsMdiClientWindow();
// WM_QUIT was taken from the queue: the next removing wait that finds
// nothing else ends the process.
void OsNoteQuitSeen();
bool OsQuitSeen();
// Forgets a WM_QUIT seen (tests).
void OsClearQuitSeen();
// Whether the pump is dispatching a paint message.
bool InPaintDispatch();
void OsPaintDispatchEnter();
void OsPaintDispatchLeave();

// The system's procedures.
void PlatformMouseClient(Point32* out);
void PlatformMouseScreen(Point32* out);
uint16_t PlatformKeyModifiers();
bool PlatformButtonDown(int32_t button);
void PlatformMessagePump();
bool PlatformMessageQueued();
bool PlatformButtonMessageQueued();
void PlatformWaitMessage(uint32_t ms);
int16_t PlatformKeyScan(uint8_t character);
void PlatformCaptureMouse(void* window);
void PlatformReleaseMouse();
void PlatformExitProcess(int32_t code);
