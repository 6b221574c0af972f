// The summary of a routing run. The elapsed time is whole seconds since the
// run started; the design's total counts every connection not left out of
// the statistics, and a connection is routed when it is complete: every
// segment routed and its ends on their pins.
#include "router/routestats.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "db/conns.h"
#include "db/dblog.h"
#include "db/lang.h"
#include "db/runopt.h"
#include "db/shellsvc.h"
#include "router/completion.h"
#include "router/loopstate.h"
#include "router/urmsg.h"
#include "router/urstate.h"
#include "toolbox/core/ticks.h"

namespace {

const char kSweepEnded[] = "Sweep completed (or interrupted)";

// Formats the catalogue message with the arguments into out.
template <typename... Args> void Format(char* out, int32_t number, Args... args) {
    char format[LANG_TEXT_MAX + 1];
    LangGetStringChecked(number, LANG_TEXT_MAX, format);
    if constexpr (sizeof...(Args) == 0) {
        std::snprintf(out, kStatMaxLine, "%s", format);
    } else {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        std::snprintf(out, kStatMaxLine, format, args...);
#pragma GCC diagnostic pop
    }
}

} // namespace

int16_t g_statOptions = 0;

const char* StatTestOptionText() {
    const bool t1 = MzFlags2 & kMzTest1, t2 = MzFlags2 & kMzTest2;
    if (t1 && t2) return "Test Options 1 & 2 enabled";
    if (t1) return "Test 1 Option enabled";
    if (t2) return "Test 2 Option enabled";
    return "No Test Options enabled";
}

void StatLogTestOptions() {
    LogWrite(StatTestOptionText());
}

void showStatistics() {
    if (g_debug) DebugPrint("showStatistics: calculating");
    if (g_statOptions) {
        LogWrite(kSweepEnded);
        StatLogTestOptions();
    }
    const uint32_t seconds = TicksSince(g_loop.runStartTicks) / kTicksPerSecond;
    int32_t counted = 0, routed = 0;
    const int32_t conns = ConnCount();
    for (int32_t c = 1; c <= conns; ++c) {
        const Conn* record = ConnRef(c);
        if (!record || (record->head.flags & kConnNotSelected)) continue;
        ++counted;
        if (ConnComplete(record)) ++routed;
    }
    const int32_t n = Goal() ? Goal()->routedCount : 0;
    char line1[kStatMaxLine], line2[kStatMaxLine];
    if (n < 1)
        Format(line1, kMsgNoneRouted);
    else if (seconds > kStatHoursAbove)
        Format(line1, kMsgRoutedHours, int(n), double(seconds) / double(kSecondsPerHour));
    else if (seconds > kStatMinutesAbove)
        Format(line1, kMsgRoutedMinutes, int(n), double(seconds) / double(kSecondsPerMinute));
    else
        Format(line1, kMsgRoutedSeconds, int(n), long(seconds));
    if (counted == 0)
        Format(line2, kMsgNoneSelected);
    else
        Format(line2, kMsgTotal, int(routed), int(counted), long(int64_t(routed) * 100 / counted));
    LogWrite(line1);
    LogWrite(line2);
    if (!RunOptionsQuiet()) {
        char alert[2 * kStatMaxLine + 2];
        std::snprintf(alert, sizeof alert, "%s\r%s", line1, line2);
        AlertMessage(alert);
    }
}
