// The RunOptions block and the physical-memory figure.
#pragma once
#include <cstdint>

enum : int32_t {
    kRunOptionsBytes = 26,
    kRunOptQuiet = 1, // byte 1: quiet mode (an "Auto" menu run works)
};

// The block of one-byte run options; null until ParseInit.
extern uint8_t* g_runOptions;

// True while the quiet byte is set.
bool RunOptionsQuiet();

// Allocate the zeroed 26-byte block through the toolbox; a failure is
// out-of-memory error 37812. Both names do the same.
void ParseInit();
void RunOptionsAlloc();
// Frees the block.
void ParseClose();

// The installed physical memory in bytes, read once and kept; at most
// 4,294,967,295.
uint32_t ComMemGetPhysical();

// Test-only: frees the block and forgets the physical-memory figure.
void RunOptionsTestReset();
