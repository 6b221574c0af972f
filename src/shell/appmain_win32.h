// The program's frame on the toolbox: the Windows entry, the main routine
// that registers the shell's callbacks and request handlers, the start-up
// proper and the hand-over to the event loop.
#pragma once
#include <cstdint>

#include "toolbox/core/applicationstart.h"

int32_t AppWinMain(void* instance);
int32_t AppRun();
int32_t AppInit();
