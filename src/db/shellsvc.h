// Services of the application shell and of the toolbox's file layer that
// the core calls. pelvane.exe takes them from the shell and the toolbox;
// native programs and the tests take them from the headless stand-ins.
#pragma once
#include <cstdint>
#include <cstdio>

#include "db/err.h"

// ---- shell ------------------------------------------------------------------

// Shows "Error code " with the code (see ErrFormatText) and the detail, then
// takes the fatal road: a line in the activity log, the emergency save when
// a design is open, shut-down, end of the process. A second call while one
// is handled ends the process at once.
[[noreturn]] void FatalErrorAlert(ErrCode code, const char* detail);

// A message alert; skipped in quiet mode (the quiet byte of RunOptions).
void AlertMessage(const char* text);

// A yes/no question; true for yes; yes without asking in quiet mode.
bool ConfirmMessage(const char* text);

// A task-modal information box; returns when it is dismissed.
void ShowMessageAlert(const char* text);

// Receives each warning after it has been written to the activity log.
void WarningShow(const char* text);

// ---- files ------------------------------------------------------------------

// A file specification: the folder (full path, no trailing separator), the
// file type as text, the creator code as text and the file name. Copied by
// value; all texts zero-terminated.
struct FileSpec {
    char folder[258];
    char type[24];
    char creator[6];
    char name[256];
};

// An open file; opaque.
typedef void* FileHandle;

// The application's folder, with the application's name as the file name;
// callers put their own file name in.
void ApplicationFolderSpec(FileSpec* out);

// True when the file exists; isFolder (may be null) tells a folder.
bool FileSpecExists(const FileSpec* spec, bool* isFolder);

// Creates the file when it does not exist (an existing file is left as it
// is); type and creator are four-character codes. 0 or a system error code.
int32_t OpenFileSpec(FileSpec* spec, uint32_t creator, uint32_t type, int32_t flag);

// Opens the file as a buffered stream in the given mode ("r", "wb", "a",
// ...); null when it cannot be opened.
std::FILE* FileSpecOpenStream(const FileSpec* spec, const char* mode);

// Opens an existing file for reading (readOnly) or reading and writing;
// 0 on success, the handle null on failure.
int32_t OpenFileSpecHandle(const FileSpec* spec, int32_t readOnly, FileHandle* out);

// Sets the end of the file. 0 or a system error code.
int32_t SetFileLength(FileHandle handle, int32_t length);

// With flush, flushes the file's buffers; with close, closes the handle.
int32_t CloseFileHandle(FileHandle handle, int32_t close, int32_t flush);
