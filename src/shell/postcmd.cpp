// Posting, sending and broadcasting commands through the host.
#include "shell/postcmd.h"

#include "db/dbheader.h"
#include "db/records.h"
#include "shell/dispatch.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"

namespace {
enum : int32_t { kBroadcastLimit = 256 };
}

int32_t ShellPostAppCommand(int32_t command) {
    return Host().Post(MakeCommandEvent(command, g_shell.boardWindow));
}

int32_t ShellPostFrameCommand(int32_t command) {
    return Host().Post(MakeCommandEvent(command, 0));
}

int32_t SendWindowCommand(int32_t command) {
    if (!g_shell.boardWindow) return 0;
    PostedCommand record = MakeCommandEvent(command, g_shell.boardWindow);
    int32_t answer = Host().SendToWindow(g_shell.boardWindow, &record);
    return answer == kSendWindowGone ? 0 : answer;
}

void ShellBroadcastCommand(int32_t command) {
    int32_t ids[kBroadcastLimit];
    bool minimised[kBroadcastLimit];
    int32_t count = Host().WindowsFromFront(ids, minimised, kBroadcastLimit);
    if (command == kCmdDataChanged) DbHdr().modified = 1;
    AppWindow* cur = gCurWin;
    int32_t curWindow = cur && cur->view ? cur->view->window : 0;
    bool curLive = cur && cur->live == 1;
    for (int32_t i = 0; i < count; ++i) {
        if (minimised[i]) continue;
        if (ids[i] == curWindow && command == kCmdDataChanged) continue;
        if (ids[i] == curWindow && command == kCmdHighlight && !curLive) continue;
        PostedCommand record = MakeCommandEvent(command, ids[i]);
        Host().SendToWindow(ids[i], &record); // a window gone meanwhile is skipped
    }
}

void DispatchPostedCommand(const PostedCommand& record) {
    if (record.windowId != 0) {
        PostedCommand copy = record;
        Host().SendToWindow(record.windowId, &copy);
        return;
    }
    if (record.kind == kPostedEventKind && record.subKind == kPostedSubKind)
        FrameCommand(record.command);
}
