// Start-up requests: open-application, open, print and dropped-file
// requests queued for the event loop, which delivers them as high-level
// events, plus the frame-close hook and the process facts of the start.
//
// Guarantees: requests are delivered in order of arrival; a delivered
// request stays at the head until the next wait frees it, so its event may
// still read it; a request the queue refuses stays the caller's.
#pragma once
#include <cstdint>

constexpr uint16_t kStartupQueued = 256;
constexpr uint16_t kStartupDelivered = 257;

constexpr uint16_t kStartupOpenApplication = 0;
constexpr uint16_t kStartupOpenDocument = 1;
constexpr uint16_t kStartupPrintDocument = 2;
constexpr uint16_t kStartupDroppedFile = 3;

// The longest path a request carries, without its terminator.
constexpr int32_t kStartupPathLimit = 255;

struct StartupRequest {
    StartupRequest* next;
    uint16_t state;
    uint16_t kind;
};

// The payload of a dropped-file request.
struct StartupDrop {
    void* window;
    int16_t index;
    int16_t count;
};

// A zeroed request block with `payload` bytes after the header; null
// without memory.
StartupRequest* AllocStartupBlock(uint32_t payload);
void FreeStartupBlock(StartupRequest* request);
// The payload: the path of kinds 1 and 2, the drop record of kind 3.
char* StartupRequestPath(StartupRequest* request);
StartupDrop* StartupRequestDrop(StartupRequest* request);
// A request of kind 1, 2 (path) or 3 (window, index, count, path); null
// without memory or for a path longer than kStartupPathLimit.
StartupRequest* MakeStartupRequest(uint16_t kind, const char* path, void* window, int16_t index,
                                   int16_t count);

// Appends the request (then owned by the queue) when the system event mask
// admits high-level events; false otherwise (the caller keeps it).
bool QueueStartupRequest(uint16_t kind, StartupRequest* request);
// Frees delivered requests at the head; the first remaining one or null.
StartupRequest* FirstStartupRequest();
int32_t StartupRequestCount();
// Frees every queued request (tests).
void ClearStartupRequests();

typedef int32_t (*FrameCloseHook)();
void SetFrameCloseHook(FrameCloseHook hook);
// The hook's result, 0 when none is installed.
int32_t CallFrameCloseHook();

void ProgramExit();
void SetCurrentProcessIdValue(uint32_t id);
uint32_t CurrentProcessIdValue();
