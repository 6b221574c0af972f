// Commands between windows: posting a command for later (to the board
// window or to the application), sending one to the board window at once,
// broadcasting one to every open window, and running a posted command when
// the event loop hands it back.
#pragma once
#include <cstdint>

#include "shell/shellhost.h"

// Posts to the board window (0 when there is none); the toolbox result.
int32_t ShellPostAppCommand(int32_t command);
// Posts to the application (FrameCommand runs it); the toolbox result.
int32_t ShellPostFrameCommand(int32_t command);
// The board window procedure's answer, 0 without a board window.
int32_t SendWindowCommand(int32_t command);
// Every open window from the front but the minimised ones; 30050 first
// marks the design modified and skips the current view's window; 30056
// skips it unless that view is live. The windows are collected first and
// each is looked up again before it gets the command, so a handler may
// close windows meanwhile.
void ShellBroadcastCommand(int32_t command);
// A posted record back from the event loop: to its window while that still
// exists, to FrameCommand when it names none; dropped otherwise.
void DispatchPostedCommand(const PostedCommand& record);
