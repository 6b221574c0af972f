// The toolbox's information box and error alert over MessageBoxA: a
// task-modal box owned by the application's top window and titled with
// the application's name, shown only once the toolbox runs (the main frame
// exists), with pending mouse and key events discarded first.
#include <windows.h>

#include <string>

#include "toolbox/core/alerts.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/ui/errortext.h"
#include "toolbox/ui/modalscript_win32.h"

namespace {

// Mouse down, mouse up and key down events.
constexpr uint16_t kAlertFlushMask = 56;

} // namespace

int32_t ShowMessageAlert(const char* text) {
    if (!FrameWindowHandle()) return 0;
    FlushOsEvents(kAlertFlushMask, 0);
    ModalScriptArmMessageBox();
    int answer = MessageBoxA(DialogOwnerWindow(), text ? text : "", ApplicationName(),
                             MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    ModalScriptDisarmMessageBox();
    return answer;
}

int32_t ShowErrorAlert(int32_t code) {
    std::string text = ErrorAlertText(code);
    if (text.empty()) return 0;
    return ShowMessageAlert(text.c_str());
}
