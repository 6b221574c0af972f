// Stand-ins for the shell and toolbox services that the portable core calls
// (fatal display, alerts, confirmations, warnings, files, resources), for
// native programs and for tests. Never linked into pelvane.exe. The
// services themselves are declared in db/shellsvc.h and
// toolbox/core/resource.h; this header holds what only the stand-ins offer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "db/shellsvc.h"
#include "toolbox/core/memblock.h"

// The fatal display calls this hook, when one is installed, instead of
// ending the process; a hook must not return (tests install one that
// throws). Null restores the default: print, log, emergency save, exit.
typedef void (*HeadlessFatalHook)(int32_t code, const char* detail);
void HeadlessSetFatalHook(HeadlessFatalHook hook);

// The emergency save the default fatal road runs before it exits (none at
// first; the design files install the backup writer).
typedef void (*HeadlessEmergencySave)();
void HeadlessSetEmergencySave(HeadlessEmergencySave save);

// Test-only: returns pools, scratch stack, catalogue cache, flags, units,
// run options and the recorded alerts to their start state.
void HeadlessReset();

// Texts the alert stand-ins received, oldest first.
enum HeadlessMessageKind {
    kHeadlessAlert,   // AlertMessage (not recorded in quiet mode)
    kHeadlessConfirm, // ConfirmMessage (not recorded in quiet mode)
    kHeadlessShow,    // ShowMessageAlert
    kHeadlessWarning, // WarningShow
};
const std::vector<std::string>& HeadlessMessages(HeadlessMessageKind kind);

// The answer ConfirmMessage gives outside quiet mode (yes at first).
void HeadlessSetConfirmAnswer(bool yes);

// The folder ApplicationFolderSpec reports; empty or null: the folder of
// the running executable (the start state).
void HeadlessSetApplicationFolder(const char* folder);

// Resource registry: (type, number) -> bytes. The packed catalogue and
// font register themselves on first use; a registration replaces what was
// there (the bytes are copied). Unregistering hides a resource; reset
// brings the built-in ones back.
void HeadlessRegisterResource(uint32_t type, int32_t number, const void* bytes, int32_t size);
void HeadlessUnregisterResource(uint32_t type, int32_t number);
// A new relocatable block with a copy of the bytes, or null when missing.
RelocatableBlock HeadlessLoadResource(uint32_t type, int32_t number);
// The program's string table (StringResourceLoad); the generated table
// registers its strings on first use.
void HeadlessRegisterString(int32_t id, const char* text);
// Test-only: the registry with the built-in resources alone.
void HeadlessResourcesReset();

// Platform helpers of the stand-ins.
std::string HeadlessExecutableFolder();
int32_t HeadlessTruncateFile(void* stdioFile, int64_t length);

// ---- shell state stand-ins ------------------------------------------------------

// The idle task SetIdleTask installed (null none).
IdleTaskProc HeadlessIdleTask();
// The oldest command PostAppCommand queued, taken off the queue; 0 when
// none is queued.
int32_t HeadlessNextCommand();
// The cursor kind SetCursorKind set last.
int32_t HeadlessCursorKind();
// One line per display call with its arguments, oldest first
// ("StatusLineUpdate(4)").
const std::vector<std::string>& HeadlessShellCalls();
// While on, the display calls are counted and not recorded (a routing run
// of the driver keeps its memory and time); off in the start state.
void HeadlessSetShellCallsCountOnly(bool on);
// Display calls made since the start state, recorded or not.
int64_t HeadlessShellCallCount();
// The open design's file record (null: none).
void HeadlessSetDesignFile(const FileSpec* spec);
// The visible area ZoomTo computed last: minimum x, minimum y, maximum x,
// maximum y.
void HeadlessVisibleArea(int32_t out[4]);
// Back to the start state: no idle task, hook or queued command, cursor 0,
// the front window a Route view with tool state 0, option words 0, no
// design file, no recorded calls. HeadlessReset calls it.
void HeadlessShellReset();
void HeadlessSetVisibleArea(const int32_t area[4]);

// The emergency save: while a design is valid, rejects the edits of the
// journal levels still open (an operation the error cut short) and writes
// "Backup_Err.ZID" with BackupWrite into the open design's folder (else
// the application's folder): the file holds every committed change.
// Drivers install it with HeadlessSetEmergencySave. The file written last
// is answered by HeadlessEmergencyBackupFile (null before one was written).
void HeadlessEmergencyBackup();
const FileSpec* HeadlessEmergencyBackupFile();
