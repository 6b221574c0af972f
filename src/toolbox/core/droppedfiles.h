// Dropped files turned into start-up requests of kind 3: one request per
// file that exists, carrying the window, the file's index and the count.
#pragma once
#include <cstdint>

typedef bool (*FileExistsProc)(const char* path);

// Queues the requests (names above kStartupPathLimit characters and files
// that do not exist are skipped); the number queued.
int32_t QueueDroppedFileRequests(void* window, const char* const* names, int32_t count,
                                 FileExistsProc exists);
