// The event loop under Wine with real windows and messages. Cases that run
// the main loop run one per process: the parent case starts this test
// program again for the child case alone and checks its exit code; the
// child has its own watchdog that ends it with a failure code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolbox/core/eventloop.h"
#include "toolbox/core/eventwait.h"
#include "toolbox/core/inputmessage.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowclass.h"

namespace {

constexpr char kChildVariable[] = "PLV_LOOP_CHILD";
constexpr DWORD kChildWatchdogMs = 20000;
constexpr DWORD kParentWaitMs = 30000;
constexpr int kWatchdogExit = 3;
constexpr int kCheckFailedExit = 4;
// The deadline, the windows' start-up messages and the last round.
constexpr uint32_t kStartupWakeups = 12;

bool IsChild(const char* name) {
    char value[64] = {};
    return GetEnvironmentVariableA(kChildVariable, value, sizeof(value)) > 0 &&
           std::string(value) == name;
}

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(kChildWatchdogMs);
    std::fprintf(stderr, "watchdog: the case did not end\n");
    ExitProcess(kWatchdogExit);
}

int RunChild(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string command = std::string("\"") + path + "\" --gtest_filter=WineLoopChild." + name;
    SetEnvironmentVariableA(kChildVariable, name);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        SetEnvironmentVariableA(kChildVariable, nullptr);
        return -1;
    }
    SetEnvironmentVariableA(kChildVariable, nullptr);
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, kParentWaitMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, kWatchdogExit);
        code = DWORD(-2);
    } else {
        GetExitCodeProcess(pi.hProcess, &code);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return int(code);
}

void StartChild() {
    MemInit(0, -1);
    SetHeapErrorHandler(&SilentHeapErrorHandler);
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    SetMainFrameParameters(nullptr, 0, 40, 40, 900, 700, true);
}

void ShowWindows() {
    Rect16 box{20, 20, 220, 320};
    NativeWindowRecord* document = nullptr;
    NativeWindowRecord* floating = nullptr;
    CreateNativeWindowOfType(6, kOptionCloseBox, &box, &document);
    Rect16 small{60, 400, 160, 560};
    CreateNativeWindowOfType(5, kOptionCloseBox, &small, &floating);
    if (document) ShowWindow(NativeWindowOf(document), SW_SHOW);
    if (floating) ShowWindow(NativeWindowOf(floating), SW_SHOWNOACTIVATE);
}

void Quit(TimerTask*, void*) {
    EventLoopQuit();
}
int g_firings = 0;
void Count(TimerTask*, void*) {
    ++g_firings;
}

TEST(WineLoopChild, SleepsUntilTheDeadline) {
    if (!IsChild("SleepsUntilTheDeadline")) GTEST_SKIP() << "runs in its own process";
    StartChild();
    ASSERT_TRUE(CreateMainFrame());
    ShowWindows();
    TimerTask* quit = nullptr;
    ASSERT_EQ(InstallTimerTask(2000, 0, &Quit, nullptr, &quit), 0);
    uint32_t before = OsWaitReturnCount();
    RunEventLoop();
    uint32_t returns = OsWaitReturnCount() - before;
    std::printf("wait returns: %u\n", returns);
    if (returns > kStartupWakeups) ExitProcess(kCheckFailedExit);
}

TEST(WineLoopChild, RepeatingTaskWakesOncePerFiring) {
    if (!IsChild("RepeatingTaskWakesOncePerFiring")) GTEST_SKIP() << "runs in its own process";
    StartChild();
    ASSERT_TRUE(CreateMainFrame());
    TimerTask* tick = nullptr;
    TimerTask* quit = nullptr;
    ASSERT_EQ(InstallTimerTask(250, 0, &Count, nullptr, &tick), 0);
    ASSERT_EQ(InstallTimerTask(2100, 0, &Quit, nullptr, &quit), 0);
    uint32_t before = OsWaitReturnCount();
    RunEventLoop();
    uint32_t returns = OsWaitReturnCount() - before;
    std::printf("firings: %d, wait returns: %u\n", g_firings, returns);
    if (g_firings < 8 || returns > uint32_t(g_firings) + kStartupWakeups)
        ExitProcess(kCheckFailedExit);
}

TEST(WineLoopChild, QuitSeenEndsTheProcessWithCodeZero) {
    if (!IsChild("QuitSeenEndsTheProcessWithCodeZero")) GTEST_SKIP() << "runs in its own process";
    StartChild();
    ASSERT_TRUE(CreateMainFrame());
    PostQuitMessage(0);
    EventTypeSpec keys{kEventClassKeyboard, kKeyDownKind};
    EventObject event = nullptr;
    EventReceiveNext(1, &keys, 1.0, true, &event);
    ExitProcess(kCheckFailedExit); // the wait should have ended the process
}

TEST(WineLoopChild, ModifiersAndButtonsFromRealInput) {
    if (!IsChild("ModifiersAndButtonsFromRealInput")) GTEST_SKIP() << "runs in its own process";
    StartChild();
    ASSERT_TRUE(CreateMainFrame());
    // Keyboard input goes to the foreground thread: the frame must be in
    // front before the first key. The display server's keymap can arrive
    // after a key was sent and release the modifiers it does not hold, so
    // the presses are sent again until the thread's state holds both.
    constexpr DWORD kSettleMs = 5000;
    for (DWORD start = GetTickCount();
         GetForegroundWindow() != FrameWindowHandle() && GetTickCount() - start < kSettleMs;) {
        SetForegroundWindow(FrameWindowHandle());
        MessagePump();
    }
    auto key = [](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof(in));
    };
    constexpr uint16_t kBoth = kModShift | kModControl;
    // One round of waiting for the state before the presses are sent again.
    constexpr DWORD kRoundMs = 250;
    auto settle = [&](uint16_t wanted, DWORD bound) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < bound;) {
            MessagePump();
            if ((KeyModifiers() & kBoth) == wanted) return;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    };
    for (DWORD start = GetTickCount();
         (KeyModifiers() & kBoth) != kBoth && GetTickCount() - start < kSettleMs;) {
        key(VK_SHIFT, false);
        key(VK_CONTROL, false);
        settle(kBoth, kRoundMs);
    }
    EXPECT_EQ(KeyModifiers() & kBoth, kBoth);
    key(VK_CONTROL, true);
    key(VK_SHIFT, true);
    settle(0, kSettleMs);
    EXPECT_EQ(KeyModifiers() & (kModShift | kModControl), 0);
    // A queued up of the button answers "no longer down" before the state.
    PostOsEvent(kOsWhatMouseUp, kOsButtonLeft);
    EXPECT_FALSE(PollMouseStillDown(kOsButtonLeft));
    EXPECT_TRUE(PollMouseReleased(kOsButtonLeft));
    EXPECT_FALSE(PollMouseStillDown(kOsButtonLeft));
    if (::testing::Test::HasFailure()) ExitProcess(kCheckFailedExit);
}

TEST(WineLoop, QuitSeenEndsTheProcessWithCodeZero) {
    EXPECT_EQ(RunChild("QuitSeenEndsTheProcessWithCodeZero"), 0);
}

TEST(WineLoop, ModifiersAndButtonsFromRealInput) {
    EXPECT_EQ(RunChild("ModifiersAndButtonsFromRealInput"), 0);
}

TEST(WineLoop, MainLoopSleepsUntilTheDeadline) {
    EXPECT_EQ(RunChild("SleepsUntilTheDeadline"), 0);
}

TEST(WineLoop, RepeatingTaskWakesTheLoopOncePerFiring) {
    EXPECT_EQ(RunChild("RepeatingTaskWakesOncePerFiring"), 0);
}

} // namespace
