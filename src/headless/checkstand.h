// What the stand-ins of the check sweeps' shell services (rules/checkshell.h)
// offer tests: the counts of beeps and front-window repaints, and the
// context-menu steps in the order they were called.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

int32_t HeadlessBeepCount();
int32_t HeadlessInvalidateCount();
const std::vector<std::string>& HeadlessContextSteps();
// Test-only: counts and steps back to zero.
void HeadlessCheckShellReset();
