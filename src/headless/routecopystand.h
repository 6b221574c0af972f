// What the stand-ins of the route copy's shell services
// (rules/routecopyshell.h) offer tests: the picked rectangle and the query
// point to answer, how often each was asked for, and every drag picture
// drawn, with its corners and pen mode.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

// One DrawPathSegments call: the corners (x, y, layer) and the pen mode.
struct HeadlessDrawnPath {
    std::vector<std::array<int32_t, 3>> corners;
    int32_t penMode;
};

void HeadlessSetPickedRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void HeadlessSetQueryPoint(int32_t x, int32_t y);
int32_t HeadlessPickedRectAsks();
int32_t HeadlessQueryPointAsks();
const std::vector<HeadlessDrawnPath>& HeadlessDrawnPaths();
// Test-only: rectangle and point 0, counts and pictures cleared.
void HeadlessRouteCopyShellReset();
