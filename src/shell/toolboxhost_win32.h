// The shell's host over the toolbox's windows: the program installs it at
// start-up. Windows are found again by sequence number for every call.
#pragma once
#include "shell/shellhost.h"

// Installs the toolbox host (one per process) as the shell's host.
void ToolboxShellHostInstall();

struct ViewTimer;
// The frame timer the host re-arms and stops (AppRun installs it).
void ToolboxFrameTimerSet(ViewTimer* timer);
