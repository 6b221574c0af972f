// Internal errors, warnings and traces. Every internal check failure goes
// through ErrReport and ends in the fatal display; none of these fail.
#pragma once
#include <cstdint>

typedef int32_t ErrCode; // source module x 1000 + site

[[noreturn]] void ErrReport(ErrCode code, int32_t number);
[[noreturn]] void ErrFatal(ErrCode code);
[[noreturn]] void ErrOutOfMemory(ErrCode code);
void ExpectFail(ErrCode code);
void ExpectAlt(ErrCode code, int32_t depth);
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void WarnPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugSetFlags(uint8_t verbose, uint8_t fatal);
void DebugSink(const char* text);
void RouteHook();
int32_t DebugHook();

// The verbose and the debug (strict) flag of the application state.
extern uint8_t g_verbose;
extern uint8_t g_debug;
