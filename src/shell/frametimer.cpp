// The frame timer. Keeps the reference time, the route-time flag, the
// modified seconds since the last backup, the posted flag and the suspend
// count. Guarantees: the timer posts its command at most once until that
// command has run; time is accounted in whole seconds and never twice
// (the reference moves with every accounting, including the one a
// deactivation runs before it stops the timer); only time during which the
// design is modified counts toward the backup interval.
#include "shell/frametimer.h"

#include "db/dbheader.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/records.h"
#include "shell/placeholders.h"
#include "shell/postcmd.h"
#include "shell/shellhost.h"
#include "shell/shellids.h"

namespace {

struct TimerState {
    int64_t reference = 0;
    bool routeStep = false;
    int64_t backupSeconds = 0;
    bool posted = false;
    int32_t suspendCount = 0;
    bool installed = false;
};
TimerState s;

void AutoBackup() {
    ShellHost& host = Host();
    host.ProgressMessage(LangString(kMsgAutoBackup));
    uint32_t shown = host.Ticks();
    FileMenuCommand(kCmdBackup);
    while (host.Ticks() - shown < uint32_t(kBackupShowTicks)) {
    }
    host.ProgressMessage(nullptr);
}

void Account() {
    int64_t now = Host().LocalSeconds();
    if (now == s.reference) return;
    int64_t elapsed = now - s.reference;
    s.reference = now;
    DbHeader& h = DbHdr();
    if (!h.valid) return;
    if (s.routeStep) {
        h.timeUsed += int32_t(elapsed);
        s.routeStep = false;
        StatusLineParts(kStatusRouting);
    }
    if (h.backupMinutes < 0) ErrReport(kErrBackupInterval, kErrBackupIntervalDetail);
    if (!h.modified) return;
    s.backupSeconds += elapsed;
    if (h.backupMinutes != 0 && s.backupSeconds > int64_t(h.backupMinutes) * kSecondsPerMinute)
        AutoBackup();
}

} // namespace

void TimeStampReset() {
    s.reference = Host().LocalSeconds();
}

void FrameTimer(int32_t mode) {
    if (mode == kFrameTimerCall) {
        if (s.suspendCount > 0 || Host().FrontIsModalDialog() || s.posted) return;
        s.posted = true;
        ShellPostFrameCommand(kCmdTimerWork);
        return;
    }
    // Whatever this call does, the timer may post again afterwards.
    if (s.suspendCount == 0 && !Host().FrontIsModalDialog()) Account();
    s.posted = false;
}

int32_t FrameTimerSuspend(int32_t activate) {
    if (!s.installed) return s.suspendCount;
    if (activate) {
        if (s.suspendCount == 0) return 0;
        if (--s.suspendCount == 0) Host().SetFrameTimerInterval(kFrameTimerMs);
        return s.suspendCount;
    }
    if (s.suspendCount == 0) {
        // The time up to the deactivation counts: account, then suspend.
        FrameTimer(kFrameTimerAccount);
        Host().SetFrameTimerInterval(kTimerStopped);
    }
    return ++s.suspendCount;
}

void FrameTimerSetInstalled(bool installed) {
    s.installed = installed;
}

void FrameTimerRouteStep() {
    s.routeStep = true;
}

void FrameTimerBackupReset() {
    s.backupSeconds = 0;
}

void FrameTimerReset() {
    s = TimerState{};
}

int32_t FrameTimerBackupSeconds() {
    return int32_t(s.backupSeconds);
}
