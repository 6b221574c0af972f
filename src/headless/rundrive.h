// The board window's part of a long run, for native drivers and tests: the
// installed idle task called in a tight loop (no sleeping), the let-go
// command handed to the tool event hook after a step in which the abort
// key fired, and the posted commands taken when no task is installed.
#pragma once
#include <cstdint>

// Drives until neither a task nor a command remains. Each posted command
// goes to onCommand (null: commands are dropped); a task step that fired
// the abort key is followed by the let-go command to the hook.
void HeadlessDriveRun(void (*onCommand)(int32_t command, void* context), void* context);
