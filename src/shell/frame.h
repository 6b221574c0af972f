// The frame around the event loop: the start-up flags, the orderly
// shut-down (at most once), and the fatal road with its emergency save.
// The process's end is one replaceable procedure so that the road can be
// followed in tests.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : int32_t {
    kExitNormal = 0,
    kExitFatal = 3,       // a fatal internal error
    kExitStartFailed = 2, // the start-up could not complete
    kShutdownFatal = 6,   // the shut-down hook's reason on a fatal error
    kMsgExtendedMemory = 32950, // "Error initializing extended memory"
};

typedef int32_t (*ShutdownHook)(int32_t reason);
typedef void (*ProcessEndProc)(int32_t code);

// Loads the catalogue and creates the pools; 1, or 0 after the alert
// "Error initializing extended memory".
int32_t MessagesInit(ShutdownHook hook);
// The catalogue and pools are ready: the flag is set and the hook installed.
void MessagesReady(ShutdownHook hook);
void SwClose();
// Orderly close: its four trace lines; SwClose only while started.
void FrameShutDown();
void FrameSetStarted(bool started);
bool FrameStarted();
// The shut-down hook: the emergency save, then FrameShutDown. A second
// entry ends the process at once.
int32_t EmergencyShutdown(int32_t reason);
// The fatal road: "Error code " with the code and detail in the message
// box and the activity log, the shut-down hook with reason 6, SwClose, end
// with exit code 3. An error raised on the road ends the process at once.
[[noreturn]] void FatalRoad(ErrCode code, const char* detail);

// The end of the process (ExitProcess by default).
void FrameSetProcessEnd(ProcessEndProc end);
// Test-only: the start state.
void FrameReset();
