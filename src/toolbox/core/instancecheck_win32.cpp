// Single instance over a named mutex and the registered hand-over message,
// and the file-system and foreground procedures of command lines.
//
// The second copy broadcasts its line in pieces of global atoms, deleting
// each atom after its send. The first copy reads every atom into a buffer
// of kHandOverAtomBuffer bytes before joining, so a long atom text cannot
// overrun anything, and every directory search handle is closed.
#include <windows.h>

#include <cstring>
#include <string>

#include "toolbox/core/applicationstart.h"
#include "toolbox/core/commandline.h"
#include "toolbox/core/handover.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/systemversion_win32.h"

namespace {

HANDLE g_mutex = nullptr;
HandOverJoiner g_joiner{};
constexpr DWORD kForegroundMajor = 5;

bool FindLongName(const char* path, char* name, int32_t room) {
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    size_t length = std::strlen(data.cFileName);
    if (int32_t(length) >= room) return false;
    std::memcpy(name, data.cFileName, length + 1);
    return true;
}

// The frame comes to the front (restored when minimised) when the front
// window is an MDI child or there is none; else the front popup does. A
// minimised frame is restored even while it holds the foreground.
void ActivateApplication() {
    HWND frame = FrameWindowHandle();
    if (frame && IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
    HWND active = GetForegroundWindow();
    DWORD process = 0;
    if (active) GetWindowThreadProcessId(active, &process);
    if (process == GetCurrentProcessId()) return;
    HWND front = GetActiveWindow();
    HWND target = !front || IsMdiChildWindow(front) || front == frame ? frame : front;
    if (!target) return;
    if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
    SetForegroundWindow(target);
}

void SendLine(UINT message, const char* line) {
    int32_t length = int32_t(std::strlen(line));
    int32_t pieces = HandOverPieceCount(length);
    for (int32_t i = 0; i < pieces; ++i) {
        char piece[kHandOverPieceLimit + 1];
        int32_t from = i * kHandOverPieceLimit;
        int32_t n = length - from < kHandOverPieceLimit ? length - from : kHandOverPieceLimit;
        std::memcpy(piece, line + from, size_t(n > 0 ? n : 0));
        piece[n > 0 ? n : 0] = 0;
        uint32_t flags = HandOverFlags(length, i);
        if ((flags & kHandOverLast) && SystemIsNtFrom(kForegroundMajor))
            AllowForegroundAny(ASFW_ANY);
        ATOM atom = GlobalAddAtomA(piece);
        SendMessageA(HWND_BROADCAST, message, WPARAM(flags), LPARAM(atom));
        if (atom) GlobalDeleteAtom(atom);
    }
}

} // namespace

void InstallCommandLineProcs() {
    CommandLineProcs procs{&FindLongName, &ActivateApplication};
    SetCommandLineProcs(&procs);
}

int32_t AllowForegroundAny(uint32_t value) {
    typedef BOOL(WINAPI * AllowProc)(DWORD);
    static AllowProc proc = [] {
        HMODULE user = GetModuleHandleA("User32.dll");
        return user ? reinterpret_cast<AllowProc>(
                          reinterpret_cast<void*>(GetProcAddress(user, "AllowSetForegroundWindow")))
                    : nullptr;
    }();
    return proc ? int32_t(proc(value)) : 0;
}

void InstanceMessageReceive(uint16_t atom, uint32_t flags) {
    char text[kHandOverAtomBuffer] = {};
    GlobalGetAtomNameA(ATOM(atom), text, kHandOverAtomBuffer);
    text[kHandOverAtomBuffer - 1] = 0;
    char* line = HandOverAppend(&g_joiner, (kHandOverMark << kHandOverMarkShift) | flags, text);
    if (!line) return;
    QueueCommandLineRequests(line, true);
    HandOverFree(line);
}

void SingleInstanceCheck(const char* mutexName) {
    UINT message = RegisterWindowMessageA(mutexName);
    SetInstanceMessageProc(
        message, [](ATOM atom, uint32_t flags) { InstanceMessageReceive(uint16_t(atom), flags); });
    HANDLE existing = OpenMutexA(SYNCHRONIZE, FALSE, mutexName);
    if (existing) {
        CloseHandle(existing);
        const char* line = GetCommandLineA();
        if (HandOverFits(int32_t(std::strlen(line)))) SendLine(message, line);
        ExitProcess(kSecondCopyExitCode);
    }
    if (!g_mutex) g_mutex = CreateMutexA(nullptr, FALSE, mutexName);
}
