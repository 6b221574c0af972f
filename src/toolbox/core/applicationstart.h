// The process start: one running instance per mutex name, the command
// line turned into queued requests, and the application's main routine.
//
// Guarantees: a second copy always ends with exit code 1, whether its line
// was handed over or not; the first copy queues a handed-over line exactly
// like its own and comes to the front; COM is initialised before the main
// routine runs, so its end after the loop is always matched.
#pragma once
#include <cstdint>

// The application's main routine.
int32_t AppMain();

// Answers AppMain's result.
int32_t ApplicationStart(void* instance, const char* name, int32_t frameOption,
                         const char* mutexName);
// Registers the hand-over message; in a second copy hands the command line
// over and exits with 1; in the first creates and keeps the mutex.
void SingleInstanceCheck(const char* mutexName);
// The frame's handler of the hand-over message (flags: the low word).
void InstanceMessageReceive(uint16_t atom, uint32_t flags);
// AllowSetForegroundWindow when the system has it; 0 otherwise.
int32_t AllowForegroundAny(uint32_t value);
// Installs the command-line procedures over the file system and the
// foreground.
void InstallCommandLineProcs();
// The second copy's exit code.
constexpr int32_t kSecondCopyExitCode = 1;
