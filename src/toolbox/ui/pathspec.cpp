// Making file specifications from paths: absolute, relative to a base
// folder, drive-relative, UNC, with "." and ".." components.
//
// Guarantees: a failed resolution leaves all 544 bytes of the FileSpec zero; a
// path that cannot be joined (a ".." above its root, an empty component, a
// drive letter followed by a bare name) resolves to an empty FileSpec with the
// result true, so that callers find it empty. The prefix of a UNC path
// ("\\server\share\") is a floor: ".." never climbs into it. A folder that
// does not fit its 258-byte field, or a name over 255 characters, fails.
#include <cstring>
#include <string>

#include "toolbox/core/filespec.h"
#include "toolbox/ui/pathspec.h"

namespace {

constexpr char kBackslash = '\\';
constexpr char kColon = ':';
// "X:\": a drive letter, its colon and the root's backslash.
constexpr size_t kDrivePrefix = 3;

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool BeginsWithDrive(const char* p) {
    return IsLetter(p[0]) && p[1] == kColon;
}

// Length of the UNC prefix "\\server\share\" of p, or 0 when p is none.
size_t UncPrefixLength(const char* p) {
    if (p[0] != kBackslash || p[1] != kBackslash) return 0;
    const char* server = p + 2;
    const char* serverEnd = std::strchr(server, kBackslash);
    if (!serverEnd || serverEnd == server) return 0;
    const char* share = serverEnd + 1;
    const char* shareEnd = std::strchr(share, kBackslash);
    if (!shareEnd || shareEnd == share) return 0;
    return size_t(shareEnd - p) + 1;
}

// Removes the last component of path (which ends with sep); false when
// there is none above the floor.
bool GoUp(std::string& path, char sep, size_t floor) {
    if (path.size() < 2) return false;
    size_t before = path.rfind(sep, path.size() - 2);
    if (before == std::string::npos || before + 1 < floor) return false;
    path.resize(before + 1);
    return true;
}

// Fills out from a joined path: the name after the last backslash, the
// folder before it, the type from the name's last dot on.
bool StoreSpec(const std::string& full, FileSpec* out) {
    size_t slash = full.rfind(kBackslash);
    std::string folder = slash == std::string::npos ? full : full.substr(0, slash);
    std::string name = slash == std::string::npos ? std::string() : full.substr(slash + 1);
    if (folder.size() >= size_t(kFileSpecFolderSize) || name.size() >= size_t(kFileSpecNameSize))
        return false;
    std::memcpy(out->folder, folder.c_str(), folder.size() + 1);
    std::memcpy(out->name, name.c_str(), name.size() + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        std::string type = name.substr(dot, size_t(kFileSpecTypeSize) - 1);
        std::memcpy(out->type, type.c_str(), type.size() + 1);
    }
    return true;
}

} // namespace

bool JoinPathText(std::string& path, const char* rest, char sep, size_t floor) {
    if (path.empty() || path.back() != sep) {
        path.clear();
        return false;
    }
    if (sep == kBackslash) {
        if (std::strchr(rest, kColon)) {
            path = rest;
            return true;
        }
        if (rest[0] == kBackslash) {
            if (BeginsWithDrive(path.c_str()))
                path.resize(2);
            else
                path.clear();
            path += rest;
            return true;
        }
    }
    const char* p = rest;
    while (const char* end = std::strchr(p, sep)) {
        std::string component(p, size_t(end - p));
        p = end + 1;
        bool ok = true;
        if (component == "..")
            ok = GoUp(path, sep, floor);
        else if (component == ".")
            continue;
        else if (component.empty())
            ok = sep == kBackslash ? false : GoUp(path, sep, floor);
        else
            path += component + sep;
        if (!ok) {
            path.clear();
            return false;
        }
    }
    path += p;
    return true;
}

bool JoinPathComponents(char* path, int32_t capacity, const char* rest, char sep, int32_t floor) {
    std::string joined = path;
    bool ok = JoinPathText(joined, rest, sep, size_t(floor > 0 ? floor : 0));
    if (ok && joined.size() >= size_t(capacity)) ok = false;
    if (!ok) {
        if (capacity > 0) path[0] = 0;
        return false;
    }
    std::memcpy(path, joined.c_str(), joined.size() + 1);
    return true;
}

bool FileSpecIsEmpty(const FileSpec* spec) {
    return spec->folder[0] == 0;
}

void StoreFourCharCode(const char* code, char* out) {
    std::memset(out, 0, 5);
    for (int i = 0; i < 4 && code && code[i]; ++i)
        out[i] = code[i];
}

bool ResolvePath(const char* base, const char* path, FileSpec* out) {
    std::memset(out, 0, sizeof *out);
    if (!path || !path[0]) return false;
    std::string prefix;
    std::string rest;
    size_t floor = 0;
    if (size_t unc = UncPrefixLength(path)) {
        prefix.assign(path, unc);
        rest = path + unc;
        floor = unc;
    } else if (!BeginsWithDrive(path)) {
        if (!base || !BeginsWithDrive(base)) return false;
        std::string kept = path[0] == kBackslash ? std::string(base, 2) : std::string(base);
        std::string full = kept + kBackslash + (path[0] == kBackslash ? path + 1 : path);
        prefix = full.substr(0, kDrivePrefix);
        rest = full.size() > kDrivePrefix ? full.substr(kDrivePrefix) : std::string();
    } else {
        size_t n = std::strlen(path);
        if (n == 2 || (n == 3 && path[2] == kBackslash)) {
            if (StoreSpec(path, out)) return true;
            std::memset(out, 0, sizeof *out);
            return false;
        }
        prefix.assign(path, kDrivePrefix);
        rest = path + kDrivePrefix;
    }
    std::string joined = prefix;
    if (!JoinPathText(joined, rest.c_str(), kBackslash, floor)) return true;
    if (StoreSpec(joined, out)) return true;
    std::memset(out, 0, sizeof *out);
    return false;
}

bool ResolveFolderPath(const char* base, const char* path, char* outFolder) {
    FileSpec scratch;
    bool ok = ResolvePath(base, path, &scratch);
    std::memcpy(outFolder, scratch.folder, sizeof scratch.folder);
    return ok;
}
