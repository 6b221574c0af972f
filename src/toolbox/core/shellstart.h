// The application shell's start: the toolbox started with the
// application's name and menu bar, the shell's procedures installed into
// the window, menu and event layers, and the request dispatch wired.
//
// Guarantees: systems older than Windows 98 and Windows NT 4.0 are refused
// with an error box and exit code 1 before any window is made; the start
// runs once per process.
#pragma once
#include <cstdint>

constexpr char kDefaultApplicationName[] = "XP Application";
constexpr int32_t kShellHandleSlots = 1024;
constexpr int16_t kKeyLeftArrow = 37;
constexpr int16_t kKeyRightArrow = 39;
constexpr int32_t kRefusedExitCode = 1;

// barId 0: no menu bar.
void InitApplicationShell(const char* name, int32_t barId);
const char* ApplicationName();
// The portable part of the start: the shell's procedures, key commands,
// the invert-monochrome flag and the request handlers on the receivers.
void InstallShellProcedures();
