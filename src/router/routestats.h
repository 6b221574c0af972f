// The summary of a routing run: two lines (connections routed in the
// elapsed time, and the routed total of the design) to the activity log
// and, outside quiet mode, an alert.
#pragma once
#include <cstdint>

// MzFlags2 bits named in the test-option line.
enum : uint16_t {
    kMzTest1 = 0x1000,
    kMzTest2 = 0x2000,
};

enum : int32_t {
    kStatMaxLine = 128,      // longest summary line
    kStatHoursAbove = 7200,  // seconds above which the time is in hours
    kStatMinutesAbove = 120, // ... in minutes
    kTicksPerSecond = 60,
    kSecondsPerMinute = 60,
    kSecondsPerHour = 3600,
};

// The router's statistics option word (0 by default): when on, the summary
// also logs that the sweep ended and the test-option line.
extern int16_t g_statOptions;

// Writes the two summary lines and shows them.
void showStatistics();
// The test-option line by MzFlags2's Test1 and Test2 bits.
const char* StatTestOptionText();
// Logs the test-option line (then the statistics hook, which is empty).
void StatLogTestOptions();
