// The corner test: octilinear legs compared by the signs of their
// components. Between two of the eight unit directions the product of the
// sign vectors is at most 0 exactly when they are 90 degrees or more apart.
#include "rules/cornernotacute.h"

namespace {

int32_t Sign(int64_t v) {
    return (v > 0) - (v < 0);
}

int64_t Abs(int64_t v) {
    return v < 0 ? -v : v;
}

bool Octilinear(int64_t dx, int64_t dy) {
    return dx == 0 || dy == 0 || Abs(dx) == Abs(dy);
}

} // namespace

bool CornerNotAcuteRules(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t ux = int64_t(x1) - x, uy = int64_t(y1) - y;
    const int64_t vx = int64_t(x2) - x, vy = int64_t(y2) - y;
    if (!Octilinear(ux, uy) || !Octilinear(vx, vy)) return false;
    if ((ux == 0 && uy == 0) || (vx == 0 && vy == 0)) return true; // a zero leg turns either way
    return Sign(ux) * Sign(vx) + Sign(uy) * Sign(vy) <= 0;
}
