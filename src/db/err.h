// Internal errors, warnings and traces. Every internal check failure goes
// through ErrReport and ends in the fatal display, unless an error trap is
// open (below), which receives it instead; none of these fail.
#pragma once
#include <cstddef>
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

// ---- error traps -------------------------------------------------------------
// A long run that can give up a piece of work and go on (the router's
// loop) opens a trap around each step: while one is open, ErrReport and
// ErrFatal throw ErrTrapped to it instead of taking the fatal road. Running
// out of memory, the failed EXPECTs of strict mode and every error raised
// while no trap is open end the program as before.
struct ErrTrapped {
    ErrCode code;
    int32_t number;  // ErrReport's number
    bool hasNumber;  // false for ErrFatal (no detail)
};

// Opens a trap for its lifetime; traps nest.
class ErrTrapScope {
public:
    ErrTrapScope();
    ~ErrTrapScope();
    ErrTrapScope(const ErrTrapScope&) = delete;
    ErrTrapScope& operator=(const ErrTrapScope&) = delete;
};
// Traps open now.
int32_t ErrTrapDepth();

// The verbose and the debug (strict) flag of the application state.
extern uint8_t g_verbose;
extern uint8_t g_debug;

// Longest trace DebugPrint hands on, longest warning WarnPrint keeps.
enum : int32_t { kTraceMaxChars = 200, kWarnMaxChars = 100 };

// The detail text of ErrReport: the number (a signed 16-bit value) in
// decimal, and below -1,000 also ", " and the same 16 bits read unsigned
// ("-25536, 40000").
void ErrDetailText(int32_t number, char* out, size_t size);

// The fatal display's line: "Error code " with the code as seven digits,
// zero-filled, a point before the last three, then " (detail)" when the
// detail is not empty: "Error code 5255.009 (5)".
void ErrFormatText(ErrCode code, const char* detail, char* out, size_t size);

// The trace sink discards what it receives; a receiver installed here sees
// every trace line first (null removes it). Used by tests and debugging.
typedef void (*TraceReceiver)(const char* text);
void DebugSetTraceReceiver(TraceReceiver receiver);
