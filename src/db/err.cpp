#include "db/err.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "db/altjournal.h"
#include "db/dblog.h"
#include "db/lang.h"
#include "db/shellsvc.h"

uint8_t g_verbose = 0;
uint8_t g_debug = 0;

namespace {
TraceReceiver s_traceReceiver = nullptr;
int32_t s_trapDepth = 0;
const int32_t kNotEnoughRam = 38290;
} // namespace

void ErrDetailText(int32_t number, char* out, size_t size) {
    // The detail is a signed 16-bit value.
    int16_t n = int16_t(number);
    if (n < -1000)
        std::snprintf(out, size, "%d, %u", int(n), unsigned(uint16_t(n)));
    else
        std::snprintf(out, size, "%d", int(n));
}

void ErrFormatText(ErrCode code, const char* detail, char* out, size_t size) {
    char digits[24];
    int n = std::snprintf(digits, sizeof digits, "%07ld", long(code));
    if (n < 3) n = 3;
    if (detail && detail[0])
        std::snprintf(out, size, "Error code %.*s.%s (%s)", n - 3, digits, digits + n - 3, detail);
    else
        std::snprintf(out, size, "Error code %.*s.%s", n - 3, digits, digits + n - 3);
}

ErrTrapScope::ErrTrapScope() {
    ++s_trapDepth;
}

ErrTrapScope::~ErrTrapScope() {
    --s_trapDepth;
}

int32_t ErrTrapDepth() {
    return s_trapDepth;
}

void ErrReport(ErrCode code, int32_t number) {
    if (s_trapDepth > 0) throw ErrTrapped{code, number, true};
    char detail[32];
    ErrDetailText(number, detail, sizeof detail);
    FatalErrorAlert(code, detail);
}

void ErrFatal(ErrCode code) {
    if (s_trapDepth > 0) throw ErrTrapped{code, 0, false};
    FatalErrorAlert(code, "");
}

void ErrOutOfMemory(ErrCode code) {
    // The catalogue may itself be what could not be loaded; its own text is
    // used whenever it is there.
    char text[LANG_TEXT_MAX + 1];
    if (!LangIsLoaded() || !LangGetString(kNotEnoughRam, LANG_TEXT_MAX, text))
        std::strcpy(text, "Not enough RAM");
    FatalErrorAlert(code, text);
}

void ExpectFail(ErrCode code) {
    if (g_debug) FatalErrorAlert(code, "Failed EXPECT");
}

void ExpectAlt(ErrCode code, int32_t depth) {
    if (g_debug) FatalErrorAlert(code, "Failed EXPECT_ALT");
    // Without the strict flag the journal is brought to the expected depth.
    AltAdjustDepth(depth);
}

void DebugPrint(const char* format, ...) {
    char text[kTraceMaxChars + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    DebugSink(text);
}

void WarnPrint(const char* format, ...) {
    char text[kWarnMaxChars + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    DebugSink("**** FlashFormat ****");
    DebugSink(text);
    LogAppend("*** Warning:", text);
    WarningShow(text);
}

void DebugSetFlags(uint8_t verbose, uint8_t fatal) {
    g_verbose = verbose;
    g_debug = fatal;
}

void DebugSetTraceReceiver(TraceReceiver receiver) {
    s_traceReceiver = receiver;
}

void DebugSink(const char* text) {
    if (s_traceReceiver) s_traceReceiver(text);
}

void RouteHook() {}

int32_t DebugHook() {
    return 1;
}
