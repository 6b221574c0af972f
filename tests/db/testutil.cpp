#include "testutil.h"

#include <atomic>
#include <chrono>

#include "db/err.h"

std::vector<std::string> TraceCapture::lines;

namespace {
void Receive(const char* text) {
    TraceCapture::lines.push_back(text);
}
std::atomic<int> s_folderSerial{0};
} // namespace

TraceCapture::TraceCapture() {
    lines.clear();
    DebugSetTraceReceiver(&Receive);
}

TraceCapture::~TraceCapture() {
    DebugSetTraceReceiver(nullptr);
}

TempAppFolder::TempAppFolder() {
    std::string leaf = "plv_db_test_" +
                       std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) +
                       "_" + std::to_string(s_folderSerial++);
    path_ = std::filesystem::temp_directory_path() / leaf;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    HeadlessSetApplicationFolder(path_.string().c_str());
}

TempAppFolder::~TempAppFolder() {
    HeadlessSetApplicationFolder(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempAppFolder::ReadFile(const char* name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
