// Stand-ins of the route copy's shell services: the picked rectangle and
// the query point answer what a test set (all 0 at first) and count the
// asks; every drag picture is recorded corner by corner.
#include "headless/routecopystand.h"

#include "rules/routecopyshell.h"

namespace {
PickRect s_rect{};
int32_t s_queryX = 0, s_queryY = 0;
int32_t s_rectAsks = 0, s_pointAsks = 0;
std::vector<HeadlessDrawnPath> s_drawn;
} // namespace

PickRect FrontPickedRect() {
    ++s_rectAsks;
    return s_rect;
}
void FrontQueryPoint(int32_t* x, int32_t* y) {
    ++s_pointAsks;
    *x = s_queryX;
    *y = s_queryY;
}
void DrawPathSegments(const Conn* path, int32_t penMode) {
    HeadlessDrawnPath d{{}, penMode};
    for (int32_t i = 0; i < path->head.count; ++i)
        d.corners.push_back({path->crn[i].x, path->crn[i].y, int32_t(path->crn[i].layer)});
    s_drawn.push_back(d);
}

void HeadlessSetPickedRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    s_rect = PickRect{x1, y1, x2, y2};
}
void HeadlessSetQueryPoint(int32_t x, int32_t y) {
    s_queryX = x;
    s_queryY = y;
}
int32_t HeadlessPickedRectAsks() {
    return s_rectAsks;
}
int32_t HeadlessQueryPointAsks() {
    return s_pointAsks;
}
const std::vector<HeadlessDrawnPath>& HeadlessDrawnPaths() {
    return s_drawn;
}
void HeadlessRouteCopyShellReset() {
    s_rect = PickRect{};
    s_queryX = s_queryY = 0;
    s_rectAsks = s_pointAsks = 0;
    s_drawn.clear();
}
