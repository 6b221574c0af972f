// Stand-ins of the shell services the design files call, and the memory
// file specification.
#include "db/chains.h"
#include "headless/ascio.h"

#include <cstring>
#include <string>
#include <vector>

#include "files/ascshell.h"

namespace {

std::string s_progress;
std::string s_history;
int32_t s_busy = 0;
std::vector<char> s_memory;
std::vector<int32_t> s_errorAlerts;
int32_t s_abortAfter = -1;
int32_t s_polls = 0;
bool s_aborted = false; // latched until UserAbortReset
const char kMemoryFolder[] = "\x01memory";

} // namespace

int32_t ShowProgressMessage(int32_t, const char* text) {
    s_progress = text ? text : "";
    if (!s_history.empty()) s_history += "|";
    s_history += s_progress;
    return 1;
}

void BusyFeedback(int32_t) {
    ++s_busy;
}

const char* HeadlessProgressText() {
    return s_progress.c_str();
}

const char* HeadlessProgressHistory() {
    return s_history.c_str();
}

int32_t HeadlessBusyCount() {
    return s_busy;
}

void HeadlessAscioReset() {
    s_progress.clear();
    s_history.clear();
    s_busy = 0;
    ChainSetKeepAll(false);
    s_errorAlerts.clear();
    s_abortAfter = -1;
    s_polls = 0;
    s_aborted = false;
}

int32_t ShowErrorAlert(int32_t code) {
    s_errorAlerts.push_back(code);
    return 1;
}

bool UserAbort() {
    if (s_aborted) return true;
    if (s_abortAfter < 0) return false;
    s_aborted = s_polls++ >= s_abortAfter;
    return s_aborted;
}

bool HeadlessAbortLatched() {
    return s_aborted;
}

void UserAbortReset() {
    s_aborted = false;
    s_polls = 0;
}

const std::vector<int32_t>& HeadlessErrorAlerts() {
    return s_errorAlerts;
}

void HeadlessAbortAfter(int32_t polls) {
    s_abortAfter = polls;
    s_polls = 0;
    s_aborted = false;
}

void HeadlessMemoryFileSpec(const void* bytes, size_t size, const char* name, FileSpec* out) {
    std::memset(out, 0, sizeof *out);
    s_memory.assign(static_cast<const char*>(bytes), static_cast<const char*>(bytes) + size);
    std::snprintf(out->folder, sizeof out->folder, "%s", kMemoryFolder);
    std::snprintf(out->name, sizeof out->name, "%s", name ? name : "");
}

std::FILE* HeadlessOpenMemoryFile(const FileSpec* spec, const char* mode) {
    if (std::strcmp(spec->folder, kMemoryFolder) != 0) return nullptr;
    if (!mode || mode[0] != 'r') return nullptr;
    return HeadlessMemoryStream(s_memory.data(), s_memory.size());
}
