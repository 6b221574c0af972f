// What the stand-ins of the check sweeps' shell services (rules/checkshell.h)
// offer tests: the counts of beeps and front-window repaints, and the
// context-menu steps in the order they were called, the painted map cells
// and the front window's active layer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

int32_t HeadlessBeepCount();
int32_t HeadlessInvalidateCount();
const std::vector<std::string>& HeadlessContextSteps();
// One PaintMapCell call.
struct HeadlessPaintedCell {
    int32_t x, y, code;
};
const std::vector<HeadlessPaintedCell>& HeadlessPaintedCells();
void HeadlessSetActiveLayer(int32_t layer);
// Test-only: counts, steps and painted cells cleared, active layer 1.
void HeadlessCheckShellReset();
