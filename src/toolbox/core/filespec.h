// File specifications and open files: the one declaration of the file
// layer's services. A FileSpec names a file by folder and name and carries
// its type text and creator code; every operation on a FileSpec reports the
// system's error codes unchanged, plus the layer's own codes below.
//
// pelvane.exe takes the operations that touch the file system from the
// toolbox (toolbox/ui/*_win32.cpp); native programs and the tests of the
// core take them from the headless stand-ins. The path arithmetic
// (ResolvePath and its helpers) is portable and lives in toolbox/ui.
#pragma once
#include <cstdint>
#include <cstdio>

// Field sizes of a FileSpec, each including its terminating zero.
constexpr int32_t kFileSpecFolderSize = 258;
constexpr int32_t kFileSpecTypeSize = 24;
constexpr int32_t kFileSpecCreatorSize = 6;
constexpr int32_t kFileSpecNameSize = 256;

// A file specification (544 bytes, copied by value; texts zero-terminated
// in the system's ANSI code page). folder: full path without a trailing
// backslash ("C:" for a drive alone), empty when the FileSpec names no file;
// type: the extension with its dot (".ZID") or a four-character code
// ("TEXT", "Fldr"); creator: a four-character code and a zero, or empty;
// name: the file name in the folder, empty for the folder itself.
struct FileSpec {
    char folder[kFileSpecFolderSize];
    char type[kFileSpecTypeSize];
    char creator[kFileSpecCreatorSize];
    char name[kFileSpecNameSize];
};
static_assert(sizeof(FileSpec) == 544, "FileSpec is 544 bytes");

// An open native file; opaque, pointer-sized.
typedef void* FileHandle;

// Results of the file layer besides the system's codes.
constexpr int32_t kFileOk = 0;
constexpr int32_t kFileErrNotFound = 2;
constexpr int32_t kFileErrPathNotFound = 3;
constexpr int32_t kFileErrAccessDenied = 5;
constexpr int32_t kFileErrBadHandle = 6;
constexpr int32_t kFileErrNoMemory = 8;
constexpr int32_t kFileErrEndOfFile = 38;
constexpr int32_t kFileErrCancelled = 995;
// The layer's own codes carry bit 29 so that they never meet a system code.
constexpr int32_t kToolboxOwnCode = 0x20000000;
constexpr int32_t kFileErrPathTooLong = kToolboxOwnCode + 10003;

// ---- portable (toolbox/ui) --------------------------------------------------

// True when the FileSpec names nothing (its folder is empty).
bool FileSpecIsEmpty(const FileSpec* spec);

// Stores a four-character code given as four characters in reading order:
// the characters up to the first zero, zero-padded, and a zero byte
// (5 bytes written). A first zero character gives the empty code.
void StoreFourCharCode(const char* code, char* out);

// Fills the FileSpec out from path, relative to base (may be null) when the path has
// no drive. True on success; false zeroes all of the FileSpec. A path that
// climbs above its root, holds an empty component or is drive-relative
// resolves to an empty FileSpec with the result true.
bool ResolvePath(const char* base, const char* path, FileSpec* out);

// ResolvePath into a scratch FileSpec; copies its folder (258 bytes) out.
bool ResolveFolderPath(const char* base, const char* path, char* outFolder);

// Appends rest to path (which must end with sep) one component at a time
// into path (capacity bytes). sep is '\\' or ':'. floor: the length of a
// prefix that ".." may not cut into (0: none). False empties the path.
bool JoinPathComponents(char* path, int32_t capacity, const char* rest, char sep, int32_t floor);

// ---- the file system (toolbox/ui/*_win32.cpp; natively src/headless) -------

// Makes the FileSpec's folder current; prev (258 bytes, may be null) receives
// the folder that was current. 3 for an empty FileSpec.
int32_t FileSpecValidate(const FileSpec* spec, char* prev);
bool FileSpecExists(const FileSpec* spec, bool* isFolder);
// Stores the creator and type in the FileSpec, then creates the file when it
// does not exist; 0 when it exists afterwards.
int32_t CreateFileSpec(FileSpec* spec, const char* creator, const char* type, int32_t script);
int32_t DeleteFileSpec(const FileSpec* spec);
int32_t OpenFileSpecHandle(const FileSpec* spec, int32_t readOnly, FileHandle* out);
std::FILE* OpenFileSpecCFile(const FileSpec* spec, const char* mode);
int32_t CloseFileHandle(FileHandle handle, int32_t close, int32_t flush);
int32_t ReadFileBytes(FileHandle handle, void* buffer, int32_t* count);
int32_t WriteFileBytes(FileHandle handle, const void* buffer, int32_t* count);
int32_t GetFilePosition(FileHandle handle, int32_t* position);
int32_t SetFilePosition(FileHandle handle, int32_t offset, int32_t relative);
int32_t GetFileLength(FileHandle handle, int32_t* length);
int32_t SetFileLength(FileHandle handle, int32_t length);
int32_t MoveFileSpec(const FileSpec* spec, const char* newName);
int32_t FileSpecPathText(const FileSpec* spec, char* out, int32_t folderOnly, int32_t size);
int32_t FileSpecFolderText(const FileSpec* spec, char* out, int32_t size);
bool EnterSubfolderSpec(const FileSpec* spec, FileSpec* out);
bool FolderLeafName(const char* path, char* out);
// The folder of the program's executable, name "Pelvane".
void ApplicationFolderSpec(FileSpec* out);

// ---- the core's names -------------------------------------------------------

// Creates the file when missing; type and creator as 32-bit codes.
inline int32_t OpenFileSpec(FileSpec* spec, uint32_t creator, uint32_t type, int32_t flag) {
    char c[5] = {char(creator >> 24), char(creator >> 16), char(creator >> 8), char(creator), 0};
    char t[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    return CreateFileSpec(spec, c, t, flag);
}

inline std::FILE* FileSpecOpenStream(const FileSpec* spec, const char* mode) {
    return OpenFileSpecCFile(spec, mode);
}
