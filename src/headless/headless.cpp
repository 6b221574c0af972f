// The shell's fatal display, alerts, confirmations and warnings, as
// stand-ins that print to stderr and record what they were given.
#include "headless/headless.h"

#include <cstdio>
#include <cstdlib>

#include "db/dblog.h"
#include "db/err.h"
#include "db/hdrunits.h"
#include "db/lang.h"
#include "db/memstat.h"
#include "db/pool.h"
#include "db/runopt.h"
#include "db/shellsvc.h"

namespace {

HeadlessFatalHook s_fatalHook = nullptr;
HeadlessEmergencySave s_emergencySave = nullptr;
bool s_inFatal = false;
bool s_confirmAnswer = true;
std::vector<std::string> s_messages[4];

} // namespace

void HeadlessSetFatalHook(HeadlessFatalHook hook) {
    s_fatalHook = hook;
}

void HeadlessSetEmergencySave(HeadlessEmergencySave save) {
    s_emergencySave = save;
}

void FatalErrorAlert(ErrCode code, const char* detail) {
    if (!detail) detail = "";
    if (s_fatalHook) {
        s_fatalHook(code, detail);
        std::abort(); // a hook must not return
    }
    // An error raised while one is handled ends the process at once.
    if (s_inFatal) std::_Exit(3);
    s_inFatal = true;
    char line[256];
    ErrFormatText(code, detail, line, sizeof line);
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
    LogAppend(line, "");
    if (s_emergencySave) s_emergencySave();
    std::exit(3);
}

void AlertMessage(const char* text) {
    if (RunOptionsQuiet()) return;
    std::fprintf(stderr, "Alert: %s\n", text);
    s_messages[kHeadlessAlert].push_back(text);
}

bool ConfirmMessage(const char* text) {
    if (RunOptionsQuiet()) return true;
    s_messages[kHeadlessConfirm].push_back(text);
    return s_confirmAnswer;
}

int32_t ShowMessageAlert(const char* text) {
    std::fprintf(stderr, "Message: %s\n", text);
    s_messages[kHeadlessShow].push_back(text);
    return 1;
}

void WarningShow(const char* text) {
    s_messages[kHeadlessWarning].push_back(text);
}

const std::vector<std::string>& HeadlessMessages(HeadlessMessageKind kind) {
    return s_messages[kind];
}

void HeadlessSetConfirmAnswer(bool yes) {
    s_confirmAnswer = yes;
}

void HeadlessReset() {
    PoolTestReset();
    LangTestReset();
    RunOptionsTestReset();
    HeaderUnitsReset();
    MemStatusSetOverride(nullptr);
    DebugSetFlags(0, 0);
    DebugSetTraceReceiver(nullptr);
    HeadlessResourcesReset();
    HeadlessSetApplicationFolder(nullptr);
    HeadlessShellReset();
    s_confirmAnswer = true;
    s_inFatal = false;
    for (auto& list : s_messages)
        list.clear();
}
