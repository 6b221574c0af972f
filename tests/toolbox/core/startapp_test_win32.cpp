// The start-up test application under Wine: a first copy with files on
// its line, a second copy's hand-over (the first un-minimised), hostile
// hand-over messages sent to the first copy's frame, the refusal of an old
// system version (Wine's per-program version), and the idle loop's
// wake-ups. Every case starts its own
// copies with a mutex of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "toolbox/core/handover.h"

#include "support/startapp_log_win32.h"

namespace {

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 50;

struct Scratch {
    std::string folder;
    explicit Scratch(const char* name) {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string File(const char* name) const {
        std::string path = folder + "\\" + name;
        std::ofstream(path) << "x";
        return path;
    }
    std::string Path(const char* name) const { return folder + "\\" + name; }
    ~Scratch() {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((folder + "\\" + data.cFileName).c_str());
            while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }
};

class AppCopy {
  public:
    AppCopy(const std::string& mutex, const std::string& log, const std::string& title,
            const std::string& arguments, bool idle = false) {
        SetEnvironmentVariableA("PLV_APP_MUTEX", mutex.c_str());
        SetEnvironmentVariableA("PLV_APP_LOG", log.c_str());
        SetEnvironmentVariableA("PLV_APP_TITLE", title.c_str());
        SetEnvironmentVariableA("PLV_APP_IDLE", idle ? "1" : nullptr);
        std::string command = "\"" + TestFolder() + "\\plv_startapp.exe\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi_) != 0;
        for (const char* v : {"PLV_APP_MUTEX", "PLV_APP_LOG", "PLV_APP_TITLE", "PLV_APP_IDLE"})
            SetEnvironmentVariableA(v, nullptr);
    }
    ~AppCopy() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(pi_.hProcess, 9);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool Started() const { return started_; }
    // The exit code, or -2 when it did not end in time. Messages are
    // pumped meanwhile: the second copy's broadcast waits for every
    // top-level window, this test program's own among them.
    int ExitCode(DWORD waitMs = kWaitMs) {
        bool ended = false;
        for (DWORD start = GetTickCount(); !ended && GetTickCount() - start < waitMs;) {
            DWORD r = MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, kPollMs, QS_ALLINPUT);
            ended = r == WAIT_OBJECT_0;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        if (!ended) return -2;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return int(code);
    }

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

bool LogHas(const std::string& log, const std::string& line) {
    for (const std::string& l : LogLines(log))
        if (l == line) return true;
    return false;
}

bool WaitForLine(const std::string& log, const std::string& line) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(kPollMs))
        if (LogHas(log, line)) return true;
    return false;
}

HWND WaitForFrame(const std::string& title) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(kPollMs))
        if (HWND frame = FindWindowA(nullptr, title.c_str())) return frame;
    return nullptr;
}

std::string Unique(const char* what) {
    return std::string("plv_") + what + "_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(GetTickCount());
}

TEST(WineStartApp, TheFirstCopyQueuesItsFilesAndTakesASecondCopysLineUnminimised) {
    Scratch scratch("plv_start_");
    std::string a = scratch.File("a.zid"), b = scratch.File("b.zid"), c = scratch.File("c.zid");
    std::string log = scratch.Path("log.txt"), mutex = Unique("first"), title = Unique("frame");
    AppCopy first(mutex, log, title, "\"" + a + "\" " + b + " " + scratch.Path("missing.zid"));
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForLine(log, "open " + b));
    EXPECT_EQ(LogLines(log), (std::vector<std::string>{"ready", "open " + a, "open " + b}));
    HWND frame = WaitForFrame(title);
    ASSERT_NE(frame, nullptr);
    ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(frame));
    AppCopy second(mutex, log, title, "-p " + c);
    EXPECT_EQ(second.ExitCode(), 1);
    EXPECT_TRUE(WaitForLine(log, "print " + c));
    bool restored = false;
    for (DWORD start = GetTickCount(); !restored && GetTickCount() - start < kWaitMs;
         Sleep(kPollMs))
        restored = !IsIconic(frame);
    EXPECT_TRUE(restored);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.ExitCode(), 0);
    EXPECT_TRUE(LogHas(log, "end"));
    // COM runs from before the main routine until the loop ended.
    EXPECT_TRUE(LogHas(log, "com started then stopped"));
}

void SendPiece(HWND frame, UINT message, uint32_t flags, const std::string& text) {
    ATOM atom = GlobalAddAtomA(text.c_str());
    SendMessageA(frame, message, WPARAM(flags), LPARAM(atom));
    if (atom) GlobalDeleteAtom(atom);
}

TEST(WineStartApp, HostileHandOverMessagesQueueNothingAndAValidOneStillWorks) {
    Scratch scratch("plv_hostile_");
    std::string h = scratch.File("h.zid"), c = scratch.File("c.zid");
    std::string log = scratch.Path("log.txt"), mutex = Unique("hostile"), title = Unique("frame");
    AppCopy first(mutex, log, title, "");
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForLine(log, "open-application"));
    HWND frame = WaitForFrame(title);
    ASSERT_NE(frame, nullptr);
    UINT message = RegisterWindowMessageA(mutex.c_str());
    const uint32_t mark = kHandOverMark << kHandOverMarkShift;
    std::string line = "app -p " + h;
    auto length = [](const std::string& s) { return uint32_t(s.size()) + kHandOverLengthExtra; };
    // A piece without a first piece.
    SendPiece(frame, message, mark | kHandOverLast, line);
    // A first piece announcing length 0, then a 200-character piece.
    SendPiece(frame, message, mark | kHandOverFirst, "");
    SendPiece(frame, message, mark | kHandOverLast, line + std::string(200 - line.size(), ' '));
    // More text than announced.
    SendPiece(frame, message, mark | kHandOverFirst | kHandOverLast | 8, line);
    // Another mark in the high word.
    SendPiece(frame, message, (0xBEEFu << 16) | kHandOverFirst | kHandOverLast | length(line),
              line);
    AppCopy second(mutex, log, title, "-p " + c);
    EXPECT_EQ(second.ExitCode(), 1);
    EXPECT_TRUE(WaitForLine(log, "print " + c));
    for (const std::string& l : LogLines(log))
        EXPECT_EQ(l.find("h.zid"), std::string::npos) << l;
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.ExitCode(), 0);
}

TEST(WineStartApp, TheIdleLoopWakesForTheTaskAndLittleElse) {
    Scratch scratch("plv_idle_");
    std::string log = scratch.Path("log.txt"), mutex = Unique("idle"), title = Unique("frame");
    AppCopy app(mutex, log, title, "", true);
    ASSERT_TRUE(app.Started());
    std::string report;
    for (DWORD start = GetTickCount(); report.empty() && GetTickCount() - start < kWaitMs;
         Sleep(kPollMs))
        for (const std::string& l : LogLines(log))
            if (l.rfind("idle ", 0) == 0) report = l;
    ASSERT_FALSE(report.empty());
    unsigned wakeups = 0, firings = 0;
    ASSERT_EQ(std::sscanf(report.c_str(), "idle wakeups %u firings %u", &wakeups, &firings), 2);
    std::printf("%s\n", report.c_str());
    constexpr unsigned kFew = 6;
    EXPECT_EQ(firings, 1u);
    EXPECT_LE(wakeups, firings + kFew);
    HWND frame = WaitForFrame(title);
    ASSERT_NE(frame, nullptr);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.ExitCode(), 0);
}

// Wine's per-program version of the test application, removed again at
// the end of the case.
struct ProgramVersion {
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\plv_startapp.exe";
    explicit ProgramVersion(const char* version) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                           DWORD(std::strlen(version) + 1));
            RegCloseKey(key);
        }
    }
    ~ProgramVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
};

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
    return TRUE;
}

TEST(WineStartApp, AnOldSystemVersionIsRefusedWithTheErrorBox) {
    Scratch scratch("plv_version_");
    std::string log = scratch.Path("log.txt"), mutex = Unique("version"), title = Unique("frame");
    ProgramVersion version("win95");
    AppCopy app(mutex, log, title, "");
    ASSERT_TRUE(app.Started());
    HWND box = nullptr;
    for (DWORD start = GetTickCount(); !box && GetTickCount() - start < kWaitMs; Sleep(kPollMs))
        box = FindWindowA("#32770", "XP Application");
    ASSERT_NE(box, nullptr);
    std::vector<std::string> texts;
    EnumChildWindows(box, &CollectText, LPARAM(&texts));
    bool found = false;
    for (const std::string& t : texts)
        found = found || t == "This application will not run on operating systems prior to "
                              "Windows 98 or Windows NT 4.0";
    EXPECT_TRUE(found);
    EXPECT_EQ(FindWindowA(nullptr, title.c_str()), nullptr); // no frame was made
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.ExitCode(), 1);
    EXPECT_TRUE(LogLines(log).empty());
}

} // namespace
