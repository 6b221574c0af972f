// What the start-up test applications and the tests that run them share:
// the environment's values, the application's log of one line per event,
// and the folder the test programs lie in.
#pragma once
#include <windows.h>
// after windows.h
#include <objbase.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "toolbox/core/applicationstart.h"
#include "toolbox/core/shellcommands.h"

inline std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

// Appends a line to the log named by PLV_APP_LOG.
inline void Log(const std::string& line) {
    if (FILE* f = std::fopen(Environment("PLV_APP_LOG").c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

inline std::vector<std::string> LogLines(const std::string& log) {
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The folder of the running program (the test programs lie together).
inline std::string TestFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

// Whether COM is started on this thread: a balanced second start answers
// S_FALSE when it is.
inline const char* ComState() {
    HRESULT result = CoInitialize(nullptr);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == S_FALSE ? "started" : "stopped";
}

// The test application's loop: "ready", the application's loop, the
// state of COM before and after the loop, "end".
inline int32_t RunLoggedApplication() {
    std::string before = ComState();
    Log("ready");
    RunApplication();
    Log("com " + before + " then " + ComState());
    Log("end");
    return 0;
}

// The test application's entry: ApplicationStart with the frame title and
// the mutex name from the environment.
inline int StartFromEnvironment() {
    std::string title = Environment("PLV_APP_TITLE");
    std::string mutex = Environment("PLV_APP_MUTEX");
    return ApplicationStart(GetModuleHandleA(nullptr), title.c_str(), 0, mutex.c_str());
}
