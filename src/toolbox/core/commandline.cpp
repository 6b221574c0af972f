// Command lines and their requests. The long form of a path is built from
// the end: each lookup names the last component of what is left, which is
// then cut, until the drive root or the network prefix remains.
#include "toolbox/core/commandline.h"

#include <cstring>
#include <string>

#include "toolbox/core/startuprequest.h"

namespace {

bool NoFile(const char*, char*, int32_t) {
    return false;
}
void NoActivation() {}

CommandLineProcs g_procs{&NoFile, &NoActivation};

bool HasWildcard(const char* path) {
    return std::strpbrk(path, "*?") != nullptr;
}

} // namespace

void SetCommandLineProcs(const CommandLineProcs* procs) {
    g_procs = procs ? *procs : CommandLineProcs{};
    if (!g_procs.findName) g_procs.findName = &NoFile;
    if (!g_procs.activate) g_procs.activate = &NoActivation;
}

bool IsCommandLineBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool CommandLineWord(const char** cursor, char* out, int32_t room) {
    const char* p = *cursor;
    while (*p && IsCommandLineBlank(*p))
        ++p;
    int32_t n = 0;
    bool quoted = false;
    out[0] = 0;
    if (!*p) {
        *cursor = p;
        return false;
    }
    for (; *p && (quoted || !IsCommandLineBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        out[n++] = *p;
        if (n >= room - 1) {
            *cursor = p;
            out[0] = 0;
            return false;
        }
    }
    out[n] = 0;
    *cursor = p;
    return true;
}

int32_t UncPrefixLength(const char* path) {
    if (path[0] != '\\' || path[1] != '\\') return 0;
    const char* server = path + 2;
    const char* slash = std::strchr(server, '\\');
    if (!slash || slash == server) return 0;
    const char* share = slash + 1;
    const char* end = std::strchr(share, '\\');
    if (!end || end == share) return 0;
    return int32_t(end - path) + 1;
}

bool LongPathName(const char* path, char* out, int32_t room) {
    if (room <= 0) return false;
    out[0] = 0;
    const char* colon = std::strchr(path, ':');
    const char* start = colon && colon > path ? colon - 1 : std::strchr(path, '\\');
    if (!start) return false;
    std::string work(start);
    std::string root;
    if (colon && colon > path)
        root = work.size() > 2 && work[2] == '\\' ? work.substr(0, 3) : work.substr(0, 2);
    else if (int32_t unc = UncPrefixLength(work.c_str()))
        root = work.substr(0, size_t(unc));
    else
        root = "\\";
    std::string result;
    std::string name(size_t(room), '\0');
    while (work.size() > root.size()) {
        if (!g_procs.findName(work.c_str(), name.data(), room)) return false;
        std::string found(name.c_str());
        result = result.empty() ? found : found + "\\" + result;
        if (int32_t(result.size() + root.size()) >= room) return false;
        size_t cut = work.rfind('\\');
        work = cut == std::string::npos || cut + 1 <= root.size() ? root : work.substr(0, cut);
    }
    result = root + result;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

bool ResolveExistingFile(char* path, int32_t room) {
    if (HasWildcard(path)) return false;
    std::string longForm(size_t(room), '\0');
    if (!LongPathName(path, longForm.data(), room)) return false;
    std::strcpy(path, longForm.c_str());
    return true;
}

bool QueueCommandLineRequests(const char* line, bool activate) {
    const char* cursor = line;
    char word[kCommandLineWordRoom];
    uint16_t kind = kStartupOpenDocument;
    bool queued = false;
    bool program = true;
    while (CommandLineWord(&cursor, word, kCommandLineWordRoom)) {
        if (program) {
            program = false;
            continue;
        }
        if (std::strcmp(word, kPrintSwitch) == 0) {
            kind = kStartupPrintDocument;
            continue;
        }
        if (!ResolveExistingFile(word, kCommandLineWordRoom)) continue;
        StartupRequest* request = MakeStartupRequest(kind, word, nullptr, 0, 0);
        if (!request) continue;
        if (QueueStartupRequest(kind, request))
            queued = true;
        else
            FreeStartupBlock(request);
    }
    if (activate) g_procs.activate();
    return queued;
}
