// Helpers shared by the core's tests.
#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless/headless.h"
#include "support/fatal.h"

// Collects the trace lines DebugSink receives while it lives.
struct TraceCapture {
    TraceCapture();
    ~TraceCapture();
    static std::vector<std::string> lines;
};

// A fresh empty folder, made the application folder; removed afterwards.
class TempAppFolder {
  public:
    TempAppFolder();
    ~TempAppFolder();
    const std::filesystem::path& path() const { return path_; }
    std::string ReadFile(const char* name) const;

  private:
    std::filesystem::path path_;
};
