// Services of the application shell that the ASCII board database reader
// and writer call. pelvane.exe takes them from the shell; native programs
// and the tests take them from the headless stand-ins.
#pragma once
#include <cstdint>

#include "db/shellsvc.h" // UserAbort, BusyFeedback

// Shows the text in the modeless progress message window (created on first
// use, else its text replaced); an empty or null text closes the window.
// The placement is the window's position code (0: the default).
void ShowProgressMessage(int32_t placement, const char* text);

// The keep-all switch (ChainKeepAll of the database) is set by the shell
// while the File menu's "Open without optimize..." command runs its load;
// the reader only reads it.

// The error alert with a file-system error code (32: the file could not be
// opened as a stream).
void ShowErrorAlert(int32_t code);
