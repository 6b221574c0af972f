// The application shell's start: the toolbox started with the
// application's name and menu bar, the shell's procedures installed into
// the window, menu and event layers, and the request dispatch wired.
//
// Guarantees: systems older than Windows 98 and Windows NT 4.0 are refused
// with an error box and exit code 1 before any window is made; the start
// runs once per process.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"

constexpr char kDefaultApplicationName[] = "XP Application";
constexpr int32_t kShellHandleSlots = 1024;
constexpr int16_t kKeyLeftArrow = 37;
constexpr int16_t kKeyRightArrow = 39;
constexpr int32_t kRefusedExitCode = 1;
constexpr int32_t kShellColourCount = 16;

// One entry of the shell's default colour table: the colour's index and
// its 0xRRGGBB value.
struct ShellColour {
    uint8_t index;
    uint32_t rgb;
};

// barId 0: no menu bar.
void InitApplicationShell(const char* name, int32_t barId);
const char* ApplicationName();
// The portable part of the start, after the toolbox start-up made the
// frame: MenusInitialise without the frame, the shell's resources and
// procedures, fonts and drawing, and the application's bar (0: none).
void StartShellAfterFrame(int32_t barId);
// The clipboard's suspend/resume hook and clipboard text length the
// drawing layer gave the start-up, installed into the shell (without them
// the shell keeps its own: nothing done, no text).
void InstallClipboardHooks();
// The shell's resources: a folder alias of the program's folder, the quit
// request as the frame-close hook, the shell's procedures (the cursor
// brought up to date by the application handler among them), key
// commands, the invert-monochrome flag, the default colours, the edit-text
// control definition (17) and the control layer's others, and the drop
// handler on the application-level receiver.
void InitShellResources();
const ShellColour* ShellColourTable();
// The alias InitShellResources kept (null when none could be made).
RelocatableBlock ShellProgramFolderAlias();
// The default background colour (0xRRGGBB), the system's button face once
// the Win32 start read it.
uint32_t ShellBackgroundColour();
void SetShellBackgroundColour(uint32_t rgb);
