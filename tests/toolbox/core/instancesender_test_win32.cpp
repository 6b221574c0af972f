#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process_win32.h"
#include "toolbox/core/applicationstart.h"
#include "toolbox/core/handover.h"

namespace {

constexpr char kMutexVariable[] = "PLV_INSTANCE_MUTEX";

struct Seen {
    uint32_t flags;
    std::string text;
};

std::vector<Seen>& SeenMessages() {
    static std::vector<Seen> seen;
    return seen;
}

UINT g_message = 0;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_message && message == g_message) {
        char text[kHandOverAtomBuffer] = {};
        GlobalGetAtomNameA(ATOM(lParam), text, sizeof text);
        SeenMessages().push_back({uint32_t(wParam), text});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs the child case while pumping messages, so the child's broadcast is
// answered; its exit code, or -2 when it had to be ended.
int RunPumping(const char* suite, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command = std::string("\"") + path + "\" --gtest_filter=" + suite + "." + name;
    SetEnvironmentVariableA(kChildCaseVariable, name);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildCaseVariable, nullptr);
    if (!started) return -1;
    DWORD end = GetTickCount() + kChildCaseParentWaitMs;
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (GetTickCount() > end) {
            TerminateProcess(pi.hProcess, kChildCaseWatchdogExit);
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return int(code);
}

TEST(WineInstanceChild, SecondCopyHandsItsLineOver) {
    if (!IsChildCase("SecondCopyHandsItsLineOver")) GTEST_SKIP();
    StartChildCaseWatchdog();
    char mutex[128] = {};
    GetEnvironmentVariableA(kMutexVariable, mutex, sizeof mutex);
    SingleInstanceCheck(mutex);
    ExitProcess(kChildCaseFailedExit); // the check must not return here
}

TEST(WineInstance, ASecondCopySendsItsLineAndExitsWithOne) {
    std::string mutexName = "plv-instance-" + std::to_string(GetCurrentProcessId());
    HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());
    ASSERT_NE(mutex, nullptr);
    g_message = RegisterWindowMessageA(mutexName.c_str());
    WNDCLASSA wc{};
    wc.lpfnWndProc = &RecorderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PlvInstanceRecorder";
    RegisterClassA(&wc);
    HWND recorder = CreateWindowA("PlvInstanceRecorder", "recorder", WS_OVERLAPPED, 0, 0, 10, 10,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(recorder, nullptr);
    SetEnvironmentVariableA(kMutexVariable, mutexName.c_str());
    SeenMessages().clear();
    int code = RunPumping("WineInstanceChild", "SecondCopyHandsItsLineOver");
    SetEnvironmentVariableA(kMutexVariable, nullptr);
    EXPECT_EQ(code, kSecondCopyExitCode);
    // The child's line: the quoted program and its filter, one piece.
    ASSERT_EQ(SeenMessages().size(), 1u);
    const Seen& s = SeenMessages()[0];
    EXPECT_EQ(s.flags >> kHandOverMarkShift, kHandOverMark);
    EXPECT_EQ(s.flags & (kHandOverFirst | kHandOverLast), kHandOverFirst | kHandOverLast);
    EXPECT_EQ(s.flags & kHandOverLengthMask, s.text.size() + kHandOverLengthExtra);
    EXPECT_NE(s.text.find("SecondCopyHandsItsLineOver"), std::string::npos);
    DestroyWindow(recorder);
    UnregisterClassA("PlvInstanceRecorder", wc.hInstance);
    CloseHandle(mutex);
}

} // namespace
