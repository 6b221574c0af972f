// Driving a long run headless: the loop holds no state of its own; the
// abort key is read without counting a poll.
#include "headless/rundrive.h"

#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "headless/headless.h"

namespace {
enum : int32_t { kCmdLetGoRun = 30026 }; // the board window's let-go command
}

void HeadlessDriveRun(void (*onCommand)(int32_t command, void* context), void* context) {
    for (;;) {
        if (IdleTaskProc task = HeadlessIdleTask()) {
            task();
            if (HeadlessAbortLatched() && HeadlessIdleTask() && ToolEventHook)
                ToolEventHook(kCmdLetGoRun);
            continue;
        }
        const int32_t command = HeadlessNextCommand();
        if (command == 0) return;
        if (onCommand) onCommand(command, context);
    }
}
