// The installed ShellHost and the posted-command record.
#include "shell/shellhost.h"

#include <cstdlib>

namespace {
ShellHost* s_host = nullptr;
}

void ShellHostInstall(ShellHost* host) {
    s_host = host;
}

ShellHost& Host() {
    if (!s_host) std::abort(); // the program installs its host before any event
    return *s_host;
}

bool ShellHostInstalled() {
    return s_host != nullptr;
}

PostedCommand MakeCommandEvent(int32_t command, int32_t windowId) {
    PostedCommand r{};
    r.kind = kPostedEventKind;
    r.subKind = kPostedSubKind;
    r.command = command;
    r.value = 0;
    r.windowId = windowId;
    return r;
}
