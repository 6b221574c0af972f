// The file operations on file specifications and open handles, over
// KERNEL32.
//
// Every operation on a FileSpec makes the FileSpec's folder the process's current
// folder for its one system call and makes the folder that was current
// before current again, whatever the outcome. The previous folder is read
// into a buffer of the size the system asks for, so a long current folder
// is restored too; when it cannot be read at all, the folder is not
// changed and the call names the file by its full path. A drive root is
// remembered as "C:" and restored as "C:\" (the drive's root, not the
// drive's current folder). System error codes pass through unchanged.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "toolbox/core/filespec.h"
#include "toolbox/core/timetext.h"

namespace {

constexpr char kBackslash = '\\';
// A type text keeps at most this many characters.
constexpr int32_t kTypeChars = kFileSpecTypeSize - 1;
// The longest folder or folder-and-name a FileSpec can name.
constexpr size_t kMaxFolderChars = size_t(kFileSpecFolderSize) - 1;

int32_t LastError() {
    DWORD e = GetLastError();
    return e ? int32_t(e) : kFileErrAccessDenied;
}

// A folder as SetCurrentDirectoryA takes it: a bare drive gets its
// backslash, so that it enters the drive's root.
std::string EnterableFolder(const char* folder) {
    std::string f = folder;
    if (f.size() == 2 && f[1] == ':') f += kBackslash;
    return f;
}

// The current folder without its trailing backslash; false when it cannot
// be read.
bool CurrentFolder(std::string& out) {
    DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return false;
    std::string buf(need, '\0');
    DWORD got = GetCurrentDirectoryA(need, buf.data());
    if (got == 0 || got >= need) return false;
    buf.resize(got);
    if (!buf.empty() && buf.back() == kBackslash) buf.pop_back();
    out = buf;
    return true;
}

// One system call in the FileSpec's folder. Target() names the file for the
// call: the bare name in the entered folder, or the full path when the
// previous folder could not be read.
class InFolder {
  public:
    explicit InFolder(const FileSpec* spec) {
        if (FileSpecIsEmpty(spec)) {
            error_ = kFileErrPathNotFound;
            return;
        }
        if (!CurrentFolder(previous_)) {
            target_ = std::string(spec->folder) + kBackslash + spec->name;
            return;
        }
        if (!SetCurrentDirectoryA(EnterableFolder(spec->folder).c_str())) {
            error_ = LastError();
            return;
        }
        entered_ = true;
        target_ = spec->name;
    }
    ~InFolder() {
        if (entered_) SetCurrentDirectoryA(EnterableFolder(previous_.c_str()).c_str());
    }
    int32_t Error() const { return error_; }
    const char* Target() const { return target_.empty() ? "." : target_.c_str(); }

  private:
    std::string previous_;
    std::string target_;
    bool entered_ = false;
    int32_t error_ = 0;
};

bool IsExistingFolder(const std::string& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesA(EnterableFolder(path.c_str()).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(FileHandle handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

} // namespace

int32_t FileSpecValidate(const FileSpec* spec, char* prev) {
    if (prev) prev[0] = 0;
    if (FileSpecIsEmpty(spec)) return kFileErrPathNotFound;
    std::string current;
    if (prev && CurrentFolder(current) && current.size() < size_t(kFileSpecFolderSize))
        std::memcpy(prev, current.c_str(), current.size() + 1);
    if (!SetCurrentDirectoryA(EnterableFolder(spec->folder).c_str())) return LastError();
    return 0;
}

bool FileSpecExists(const FileSpec* spec, bool* isFolder) {
    if (isFolder) *isFolder = false;
    InFolder in(spec);
    if (in.Error()) return false;
    DWORD a = GetFileAttributesA(in.Target());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    if (isFolder) *isFolder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

int32_t CreateFileSpec(FileSpec* spec, const char* creator, const char* type, int32_t) {
    StoreFourCharCode(creator, spec->creator);
    CopyBounded(spec->type, type ? type : "", kTypeChars);
    InFolder in(spec);
    if (in.Error()) return in.Error();
    HANDLE h = CreateFileA(in.Target(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    CloseHandle(h);
    return 0;
}

int32_t DeleteFileSpec(const FileSpec* spec) {
    InFolder in(spec);
    if (in.Error()) return in.Error();
    return DeleteFileA(in.Target()) ? 0 : LastError();
}

int32_t OpenFileSpecHandle(const FileSpec* spec, int32_t readOnly, FileHandle* out) {
    *out = nullptr;
    InFolder in(spec);
    if (in.Error()) return in.Error();
    DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD share = readOnly ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    HANDLE h = CreateFileA(in.Target(), access, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    *out = h;
    return 0;
}

std::FILE* OpenFileSpecCFile(const FileSpec* spec, const char* mode) {
    InFolder in(spec);
    if (in.Error()) return nullptr;
    return std::fopen(in.Target(), mode);
}

// Always closes when asked, also after a failed flush; the first error
// wins.
int32_t CloseFileHandle(FileHandle handle, int32_t close, int32_t flush) {
    if (!IsFile(handle)) return kFileErrBadHandle;
    int32_t result = 0;
    if (flush && !FlushFileBuffers(handle)) {
        int32_t err = LastError();
        if (!(close && err == kFileErrAccessDenied)) result = err;
    }
    if (close && !CloseHandle(handle) && !result) result = LastError();
    return result;
}

int32_t ReadFileBytes(FileHandle handle, void* buffer, int32_t* count) {
    if (*count <= 0) {
        *count = 0;
        return 0;
    }
    DWORD want = DWORD(*count), got = 0;
    BOOL ok = ReadFile(handle, buffer, want, &got, nullptr);
    *count = int32_t(got);
    if (!ok) return LastError();
    return got < want ? kFileErrEndOfFile : 0;
}

int32_t WriteFileBytes(FileHandle handle, const void* buffer, int32_t* count) {
    if (*count <= 0) {
        *count = 0;
        return 0;
    }
    DWORD put = 0;
    BOOL ok = WriteFile(handle, buffer, DWORD(*count), &put, nullptr);
    *count = int32_t(put);
    return ok ? 0 : LastError();
}

int32_t GetFilePosition(FileHandle handle, int32_t* position) {
    *position = 0;
    LARGE_INTEGER zero = {}, at = {};
    if (!SetFilePointerEx(handle, zero, &at, FILE_CURRENT)) return LastError();
    *position = int32_t(at.QuadPart);
    return 0;
}

int32_t SetFilePosition(FileHandle handle, int32_t offset, int32_t relative) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(handle, to, nullptr, relative ? FILE_CURRENT : FILE_BEGIN)
               ? 0
               : LastError();
}

int32_t GetFileLength(FileHandle handle, int32_t* length) {
    *length = 0;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size)) return LastError();
    *length = int32_t(size.QuadPart);
    return 0;
}

int32_t SetFileLength(FileHandle handle, int32_t length) {
    int32_t at = 0;
    if (int32_t err = GetFilePosition(handle, &at)) return err;
    int32_t err = SetFilePosition(handle, length, 0);
    if (!err && !SetEndOfFile(handle)) err = LastError();
    if (err || at < length) SetFilePosition(handle, at, 0);
    return err;
}

int32_t MoveFileSpec(const FileSpec* spec, const char* newName) {
    InFolder in(spec);
    if (in.Error()) return in.Error();
    return MoveFileA(in.Target(), newName) ? 0 : LastError();
}

int32_t FileSpecPathText(const FileSpec* spec, char* out, int32_t folderOnly, int32_t size) {
    if (out && size > 0) out[0] = 0;
    if (!IsExistingFolder(spec->folder)) return 0;
    std::string parts[3] = {spec->folder, std::string(1, kBackslash),
                            folderOnly ? std::string() : std::string(spec->name)};
    size_t need = 1;
    bool fits = out != nullptr;
    for (const std::string& part : parts) {
        need += part.size();
        if (fits && need <= size_t(size > 0 ? size : 0))
            std::strcat(out, part.c_str());
        else
            fits = false;
    }
    return int32_t(need);
}

int32_t FileSpecFolderText(const FileSpec* spec, char* out, int32_t size) {
    return FileSpecPathText(spec, out, 1, size);
}

bool EnterSubfolderSpec(const FileSpec* spec, FileSpec* out) {
    std::string path = std::string(spec->folder) + kBackslash + spec->name;
    bool ok = path.size() <= kMaxFolderChars && IsExistingFolder(path);
    if (ok)
        std::memcpy(out->folder, path.c_str(), path.size() + 1);
    else
        out->folder[0] = 0;
    return ok;
}

bool FolderLeafName(const char* path, char* out) {
    out[0] = 0;
    if (!path || !IsExistingFolder(path)) return false;
    const char* slash = std::strrchr(path, kBackslash);
    CopyBounded(out, slash ? slash + 1 : path, kFileSpecNameSize - 1);
    return true;
}
