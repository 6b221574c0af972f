// Dropped-file requests through the start-up request queue.
#include "toolbox/core/droppedfiles.h"

#include <cstring>

#include "toolbox/core/startuprequest.h"

int32_t QueueDroppedFileRequests(void* window, const char* const* names, int32_t count,
                                 FileExistsProc exists) {
    int32_t queued = 0;
    for (int32_t i = 0; i < count; ++i) {
        const char* name = names[i];
        if (!name || std::strlen(name) > size_t(kStartupPathLimit) || !exists(name)) continue;
        StartupRequest* request =
            MakeStartupRequest(kStartupDroppedFile, name, window, int16_t(i), int16_t(count));
        if (!request) continue;
        if (QueueStartupRequest(kStartupDroppedFile, request))
            ++queued;
        else
            FreeStartupBlock(request);
    }
    return queued;
}
