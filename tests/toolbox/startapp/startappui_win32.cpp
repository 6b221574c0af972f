// The start-up test application with the drawing layer linked: the layer
// installs its start-up entries, the shell starts, and the application
// logs what the start reached (fonts listed, cursors loaded, the default
// drawing settings, the clipboard hooks, the program folder's alias) and
// a "ready" line; WM_CLOSE to the frame ends it with exit code 0. The log
// path, mutex name and frame title come from the environment.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/startapp_log_win32.h"
#include "toolbox/core/applicationstart.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/cursor.h"
#include "toolbox/ui/filealias.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/textscrap.h"

namespace {

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

} // namespace

int32_t AppMain() {
    InstallDrawingLayer();
    InitApplicationShell(nullptr, 0);
    Log("fonts " + std::string(YesNo(FontCount() > 0)));
    Log("cursors " + std::to_string(CursorCacheCount()));
    Log("settings font " + std::to_string(ToolboxGlobalBlock().defaultSettings.fontNumber));
    Log("suspend hook " +
        std::string(YesNo(ShellApp().suspendResume == &SuspendResumeClipboardHook)));
    Log("text length " +
        std::string(YesNo(ShellText().clipboardTextLength == &ClipboardTextLength)));
    FileSpec folder{};
    Log("alias " + std::string(FileAliasResolve(ShellProgramFolderAlias(), &folder) == 0
                                   ? folder.folder
                                   : "none"));
    return RunLoggedApplication();
}

int main() {
    return StartFromEnvironment();
}
