// Services of the application shell and of the toolbox's file layer that
// the core calls. pelvane.exe takes them from the shell and the toolbox;
// native programs and the tests take them from the headless stand-ins.
#pragma once
#include <cstdint>
#include <cstdio>

#include "db/err.h"
#include "toolbox/core/alerts.h"
#include "toolbox/core/filespec.h"

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

// Receives each warning after it has been written to the activity log.
void WarningShow(const char* text);

// ---- files ------------------------------------------------------------------

// The file layer (FileSpec, FileHandle and their operations) and the
// toolbox's alerts have one declaration each in the toolbox core.
