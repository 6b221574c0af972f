// Test support for Wine cases that run the main loop: each runs in a
// process of its own. The parent case starts this test program again for
// the child case alone (its name in an environment variable) and checks
// the exit code; the child runs a watchdog that ends it with a failure code.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

constexpr char kChildCaseVariable[] = "PLV_CHILD_CASE";
constexpr DWORD kChildCaseWatchdogMs = 20000;
constexpr DWORD kChildCaseParentWaitMs = 30000;
constexpr int kChildCaseWatchdogExit = 3;
constexpr int kChildCaseFailedExit = 4;

inline bool IsChildCase(const char* name) {
    char value[128] = {};
    return GetEnvironmentVariableA(kChildCaseVariable, value, sizeof(value)) > 0 &&
           std::string(value) == name;
}

inline DWORD WINAPI ChildCaseWatchdog(LPVOID) {
    Sleep(kChildCaseWatchdogMs);
    std::fprintf(stderr, "watchdog: the case did not end\n");
    ExitProcess(kChildCaseWatchdogExit);
}

inline void StartChildCaseWatchdog() {
    CreateThread(nullptr, 0, &ChildCaseWatchdog, nullptr, 0, nullptr);
}

// Runs suite.name in a new process; its exit code, -1 when it could not
// start, -2 when it had to be ended.
inline int RunChildCase(const char* suite, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string command = std::string("\"") + path + "\" --gtest_filter=" + suite + "." + name;
    SetEnvironmentVariableA(kChildCaseVariable, name);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildCaseVariable, nullptr);
    if (!started) return -1;
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, kChildCaseParentWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, kChildCaseWatchdogExit);
        code = DWORD(-2);
    } else {
        GetExitCodeProcess(pi.hProcess, &code);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return int(code);
}
