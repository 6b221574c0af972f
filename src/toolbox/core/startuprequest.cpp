// The start-up request queue (a singly linked list in order of arrival)
// and the small process facts kept beside it.
#include "toolbox/core/startuprequest.h"

#include <cstdlib>
#include <cstring>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"

namespace {
StartupRequest* g_first = nullptr;
FrameCloseHook g_frameCloseHook = nullptr;
uint32_t g_processId = 0;

constexpr size_t kPathOffset = sizeof(StartupRequest);
constexpr size_t kDropPathOffset = sizeof(StartupRequest) + sizeof(StartupDrop);
} // namespace

StartupRequest* AllocStartupBlock(uint32_t payload) {
    return static_cast<StartupRequest*>(std::calloc(1, sizeof(StartupRequest) + payload));
}

void FreeStartupBlock(StartupRequest* request) {
    std::free(request);
}

char* StartupRequestPath(StartupRequest* request) {
    char* base = reinterpret_cast<char*>(request);
    return base + (request->kind == kStartupDroppedFile ? kDropPathOffset : kPathOffset);
}

StartupDrop* StartupRequestDrop(StartupRequest* request) {
    return reinterpret_cast<StartupDrop*>(reinterpret_cast<char*>(request) + kPathOffset);
}

StartupRequest* MakeStartupRequest(uint16_t kind, const char* path, void* window, int16_t index,
                                   int16_t count) {
    size_t length = path ? std::strlen(path) : 0;
    if (length > size_t(kStartupPathLimit)) return nullptr;
    size_t extra = kind == kStartupDroppedFile ? sizeof(StartupDrop) : 0;
    StartupRequest* request = AllocStartupBlock(uint32_t(extra + length + 1));
    if (!request) return nullptr;
    request->kind = kind;
    if (kind == kStartupDroppedFile)
        *StartupRequestDrop(request) = StartupDrop{window, index, count};
    if (length) std::memcpy(StartupRequestPath(request), path, length);
    return request;
}

bool QueueStartupRequest(uint16_t kind, StartupRequest* request) {
    if (!request || !(GetSystemEventMask() & kOsMaskHighLevel)) return false;
    request->kind = kind;
    request->state = kStartupQueued;
    request->next = nullptr;
    StartupRequest** link = &g_first;
    while (*link)
        link = &(*link)->next;
    *link = request;
    return true;
}

StartupRequest* FirstStartupRequest() {
    while (g_first && g_first->state == kStartupDelivered) {
        StartupRequest* done = g_first;
        g_first = done->next;
        FreeStartupBlock(done);
    }
    return g_first;
}

int32_t StartupRequestCount() {
    int32_t n = 0;
    for (StartupRequest* r = g_first; r; r = r->next)
        ++n;
    return n;
}

void ClearStartupRequests() {
    while (g_first) {
        StartupRequest* next = g_first->next;
        FreeStartupBlock(g_first);
        g_first = next;
    }
}

void SetFrameCloseHook(FrameCloseHook hook) {
    g_frameCloseHook = hook;
}
int32_t CallFrameCloseHook() {
    return g_frameCloseHook ? g_frameCloseHook() : 0;
}
void ProgramExit() {
    OsExitProcess(0);
}
void SetCurrentProcessIdValue(uint32_t id) {
    g_processId = id;
}
uint32_t CurrentProcessIdValue() {
    return g_processId;
}
