// The start-up with the drawing layer linked, under Wine: the start
// reaches the layer's fonts, cursors, default settings, clipboard hooks
// and the program folder's alias, and the frame's close still ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/startapp_log_win32.h"

namespace {

constexpr DWORD kWaitMs = 15000;
constexpr DWORD kPollMs = 50;

std::string Lower(std::string s) {
    CharLowerBuffA(s.data(), DWORD(s.size()));
    while (!s.empty() && s.back() == '\\')
        s.pop_back();
    return s;
}

TEST(WineLayerStart, TheStartReachesTheDrawingLayersServices) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string id = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    std::string log = std::string(temp) + "plv_layerstart_" + id + ".txt";
    std::string title = "plv_layerframe_" + id;
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("PLV_APP_MUTEX", ("plv_layerstart_" + id).c_str());
    SetEnvironmentVariableA("PLV_APP_LOG", log.c_str());
    SetEnvironmentVariableA("PLV_APP_TITLE", title.c_str());
    std::string command = "\"" + TestFolder() + "\\plv_startappui.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    for (const char* v : {"PLV_APP_MUTEX", "PLV_APP_LOG", "PLV_APP_TITLE"})
        SetEnvironmentVariableA(v, nullptr);
    bool ready = false;
    for (DWORD start = GetTickCount(); !ready && GetTickCount() - start < kWaitMs; Sleep(kPollMs)) {
        std::vector<std::string> lines = LogLines(log);
        ready = !lines.empty() && lines.back() == "ready";
    }
    std::vector<std::string> lines = LogLines(log);
    ASSERT_TRUE(ready) << (lines.empty() ? "no log" : lines.back());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "fonts yes");
    // The I-beam, both crosses and the wait cursor are loaded.
    EXPECT_GE(std::stoi(lines[1].substr(8)), 4) << lines[1];
    EXPECT_EQ(lines[2], "settings font 1"); // the system font of a fresh state
    EXPECT_EQ(lines[3], "suspend hook yes");
    EXPECT_EQ(lines[4], "text length yes");
    EXPECT_EQ(Lower(lines[5]), Lower("alias " + TestFolder()));
    HWND frame = nullptr;
    for (DWORD start = GetTickCount(); !frame && GetTickCount() - start < kWaitMs; Sleep(kPollMs))
        frame = FindWindowA(nullptr, title.c_str());
    ASSERT_NE(frame, nullptr);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, kWaitMs), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    if (code != 0) TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(LogLines(log).back(), "end");
    DeleteFileA(log.c_str());
}

} // namespace
