// Services of the application shell that the ASCII board database reader
// and writer call. pelvane.exe takes them from the shell; native programs
// and the tests take them from the headless stand-ins.
#pragma once
#include <cstdint>

// ShowProgressMessage and ShowErrorAlert (32: the file could not be
// opened as a stream).
#include "toolbox/core/alerts.h"
#include "db/shellsvc.h" // UserAbort, BusyFeedback

// The keep-all switch (ChainKeepAll of the database) is set by the shell
// while the File menu's "Open without optimize..." command runs its load;
// the reader only reads it.

