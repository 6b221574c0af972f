// The serpentine window walk (see windowwalk.h).
#include "router/windowwalk.h"

#include <algorithm>
#include <climits>

namespace {

enum : uint8_t { kDirCodeMask = 0x1F };

void SetDir(uint8_t* current, uint8_t code) {
    *current = uint8_t((*current & ~kDirCodeMask) | code);
}

int32_t MoveBy(const WalkAxis& a, int64_t by) {
    *a.pos = int32_t(std::clamp<int64_t>(int64_t(*a.pos) + by, INT32_MIN, INT32_MAX));
    return 1;
}

// Back at the start: the window bounds become the start window's, so that
// the other side of the start is walked only when the start window does
// not already reach the board's edge there.
void BackToStart(WalkAxis* a) {
    const int64_t shift = int64_t(a->start) - *a->pos;
    a->winMin = int32_t(std::clamp<int64_t>(a->winMin + shift, INT32_MIN, INT32_MAX));
    a->winMax = int32_t(std::clamp<int64_t>(a->winMax + shift, INT32_MIN, INT32_MAX));
    *a->pos = a->start;
}

// The leg towards higher values, falling back to the lower side of the
// start; 0 when the axis is done.
int32_t LegPlus(WalkAxis a, uint8_t* current, uint8_t configured) {
    if (a.winMax < a.boardMax) return MoveBy(a, a.step);
    BackToStart(&a);
    SetDir(current, a.minus);
    if (configured == a.minus) return 0;
    if (!(a.boardMin < a.winMin)) {
        // Nothing below the start: the next row starts upwards again.
        SetDir(current, a.plus);
        return 0;
    }
    return MoveBy(a, -a.step);
}

} // namespace

int32_t WalkStep(WalkAxis a, uint8_t* current, uint8_t configured) {
    if ((*current & kDirCodeMask) == a.plus) return LegPlus(a, current, configured);
    if (a.boardMin < a.winMin) return MoveBy(a, -a.step);
    BackToStart(&a);
    SetDir(current, a.plus);
    if (configured == a.plus) return 0;
    return LegPlus(a, current, configured);
}
