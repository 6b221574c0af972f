// Test support: running a native program of the build (the driver, a
// board generator) with its output captured in a file of the test folder.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif

// A path in double quotes for the command line.
inline std::string QuotedPath(const std::filesystem::path& p) {
    return "\"" + p.string() + "\"";
}

// Runs program with args, its standard output into log; answers the exit
// code (-1 when it did not exit) and the output in *printed.
inline int RunProgram(const char* program, const std::string& args,
                      const std::filesystem::path& log, std::string* printed = nullptr) {
    const int status =
        std::system(("\"" + std::string(program) + "\" " + args + " > " + QuotedPath(log)).c_str());
    if (printed) {
        std::ifstream in(log, std::ios::binary);
        *printed = std::string(std::istreambuf_iterator<char>(in), {});
    }
#ifndef _WIN32
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    return status;
#endif
}
