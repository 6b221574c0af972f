// The main loop, modal loops and loop levels: each loop receives events,
// sends them to the application's receiver and releases them until its
// own end flag is set. Loops nest; ending an outer loop while an inner one
// runs ends only the outer one, once the inner one has returned.
#pragma once
#include <cstdint>

#include "toolbox/core/eventreceiver.h"

constexpr int32_t kModalNoLoop = -5618;
constexpr int32_t kEventWaitListCount = 10;
// The innermost level, for EndEventLoopLevel.
constexpr int32_t kInnermostLevel = -1;

// Loop level flags.
constexpr uint32_t kLevelRunning = 1;
constexpr uint32_t kLevelEnded = 2;

struct EventLoopLevel {
    EventLoopLevel* next;
    void* window; // null for the application
    int32_t token;
    uint32_t flags;
    int16_t dispatchDepth;
};

// The ten kinds the main loop waits for; modal loops leave out the last
// ('eppc', 1).
extern const EventTypeSpec EventWaitList[kEventWaitListCount];

void RunEventLoop();
void EventLoopQuit();
int32_t EventLoopStep(double timeoutSeconds, const EventTypeSpec* types, int32_t count);
int32_t RunModalLoopForWindow(void* window);
int32_t QuitModalLoopForWindow(void* window);
bool CurrentLoopEnded();

EventLoopLevel* RunEventLoopLevel(void* window, int32_t* token, bool run);
int32_t EndEventLoopLevel(int32_t token, bool endAllAbove);
EventLoopLevel* InnermostLoopLevel();
// The window layer raises the innermost level's depth around a dispatch.
void LoopDispatchEnter();
void LoopDispatchLeave();
// Called when a dispatch leaves the innermost level's depth at 0 (null:
// none); the window layer sends its postponed mouse-moved record there.
void SetDispatchDepthZeroProc(void (*procedure)());

// Passes everything on; a click in the menu bar with the primary button
// first runs menu-bar tracking.
int32_t MenuBarClickHandler(EventCallRef* call, EventObject event, void* userData);
// Routes events of the application's receiver to windows, the focus or
// the application level.
int32_t ToolboxReceiverHandler(EventCallRef* call, EventObject event, void* userData);
// Installs the loop's timer-task and focus providers and the routing
// handler (once).
void InstallEventLoopHandlers();
// Clears the loop state (tests): the once-per-process mark, the quit flag,
// the modal records and the levels.
void ResetEventLoopState();
