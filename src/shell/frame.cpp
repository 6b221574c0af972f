// The frame's start and end. Keeps the started and messages-ready flags,
// the shut-down hook and the two guards of the fatal road; the guards make
// a fatal error raised inside the road (or a second emergency save) end the
// process at once, with no second alert.
#include "shell/frame.h"

#include <cstdlib>

#include "db/dblog.h"
#include "db/lang.h"
#include "db/pool.h"
#include "files/backupemergency.h"
#include "shell/shellhost.h"
#include "toolbox/core/alerts.h"

namespace {

enum : int32_t { kFatalTextMax = 300 };

struct FrameFlags {
    bool started = false;
    bool messagesReady = false;
    ShutdownHook hook = nullptr;
    int32_t emergencyGuard = 1;
    int32_t fatalGuard = 1;
};
FrameFlags s;

[[noreturn]] void DefaultEnd(int32_t code) {
    std::_Exit(code);
}
ProcessEndProc s_end = &DefaultEnd;

[[noreturn]] void End(int32_t code) {
    s_end(code);
    std::_Exit(code); // an end procedure that returns still ends
}

} // namespace

int32_t MessagesInit(ShutdownHook hook) {
    LangInit();
    if (!PoolInit()) {
        if (ShellHostInstalled())
            Host().Alert(LangString(kMsgExtendedMemory));
        else
            ShowMessageAlert(LangString(kMsgExtendedMemory));
        return 0;
    }
    MessagesReady(hook);
    return 1;
}

void MessagesReady(ShutdownHook hook) {
    s.messagesReady = true;
    s.hook = hook;
}

void SwClose() {
    s.messagesReady = false;
    DebugHook();
    s.hook = nullptr;
}

void FrameShutDown() {
    DebugPrint("FrameShutDown:");
    DebugPrint("FrameShutDown: Ready to do SwClose");
    if (s.started) {
        s.started = false;
        SwClose();
    }
    DebugPrint("FrameShutDown: SwClose done");
    DebugPrint("FrameShutDown: done.");
}

void FrameSetStarted(bool started) {
    s.started = started;
}

bool FrameStarted() {
    return s.started;
}

int32_t EmergencyShutdown(int32_t) {
    if (s.emergencyGuard == 0) End(kExitFatal);
    s.emergencyGuard = 0;
    BackupEmergency();
    FrameShutDown();
    return 0;
}

void FatalRoad(ErrCode code, const char* detail) {
    if (s.fatalGuard == 0) End(kExitFatal);
    s.fatalGuard = 0;
    char text[kFatalTextMax];
    ErrFormatText(code, detail ? detail : "", text, sizeof text);
    ShowMessageAlert(text);
    LogWrite(text);
    if (s.hook) s.hook(kShutdownFatal);
    SwClose();
    End(kExitFatal);
}

void FrameSetProcessEnd(ProcessEndProc end) {
    s_end = end ? end : &DefaultEnd;
}

void FrameReset() {
    s = FrameFlags{};
    s_end = &DefaultEnd;
}
