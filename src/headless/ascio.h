// Stand-ins for the shell services that the design files call (progress
// message, busy feedback, keep-all switch) and a file specification backed
// by memory, with what only the stand-ins offer to tests and drivers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "db/shellsvc.h"

// The text ShowProgressMessage received last ("" after it was closed) and
// every text it received since the last reset, oldest first, joined by
// "|".
const char* HeadlessProgressText();
const char* HeadlessProgressHistory();
// Calls of BusyFeedback since the last reset.
int32_t HeadlessBusyCount();
// Back to the start state: no progress text, no busy calls, keep-all 0,
// no error alerts, no abort.
void HeadlessAscioReset();

// The codes ShowErrorAlert received since the last reset, oldest first.
const std::vector<int32_t>& HeadlessErrorAlerts();
// UserAbort answers true from the (polls + 1)-th poll on; a negative count
// (the start state) never aborts.
void HeadlessAbortAfter(int32_t polls);
// Whether UserAbort has answered true (latched until UserAbortReset),
// without counting a poll: the driver's view of the Escape key.
bool HeadlessAbortLatched();

// A file specification whose file is the given bytes (copied; the previous
// memory file is forgotten). FileSpecOpenStream opens it for reading.
void HeadlessMemoryFileSpec(const void* bytes, size_t size, const char* name, FileSpec* out);
// The stream over the memory file when spec names it (null otherwise);
// FileSpecOpenStream asks here first.
std::FILE* HeadlessOpenMemoryFile(const FileSpec* spec, const char* mode);
// Platform part: a read stream over bytes that stay valid while it is open.
std::FILE* HeadlessMemoryStream(const void* bytes, size_t size);
// Platform part: an empty read-write file of this process alone, deleted
// when closed (null when none can be made).
std::FILE* HeadlessTempFile();
