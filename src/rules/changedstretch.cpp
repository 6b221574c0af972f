// Corner comparison of the changed stretch; see changedstretch.h.
#include "rules/changedstretch.h"

#include <algorithm>

namespace {

bool SamePoint(const Crn& a, const Crn& b) {
    return a.x == b.x && a.y == b.y;
}

bool SameSegment(const Crn& a, const Crn& b) {
    return a.layer == b.layer && a.width == b.width;
}

} // namespace

bool ChangedStretch(const Conn* now, const Conn* stored, int32_t* first, int32_t* last) {
    const int32_t n = now->head.count, m = stored->head.count;
    if (n < 1) return false;
    const int32_t common = std::min(n, std::max(m, int32_t(0)));
    if (common < 1) {
        *first = 0;
        *last = n - 1;
        return true;
    }
    const Crn* a = now->crn;
    const Crn* b = stored->crn;
    int32_t f = common - 1;
    bool found = false;
    for (int32_t i = 0; i < common && !found; ++i) {
        bool differs = a[i].via != b[i].via || (i == 0 && !SamePoint(a[0], b[0]));
        if (i + 1 < common)
            differs = differs || !SamePoint(a[i + 1], b[i + 1]) || !SameSegment(a[i], b[i]);
        if (differs) {
            f = i;
            found = true;
        }
    }
    int32_t l = n - common;
    bool foundBack = false;
    for (int32_t k = 0; k < common && !foundBack; ++k) {
        const int32_t i = n - 1 - k, j = m - 1 - k;
        bool differs = a[i].via != b[j].via || (k == 0 && !SamePoint(a[i], b[j]));
        if (k + 1 < common)
            differs = differs || !SamePoint(a[i - 1], b[j - 1]) || !SameSegment(a[i - 1], b[j - 1]);
        if (differs) {
            l = i;
            foundBack = true;
        }
    }
    if (n == m && !found && !foundBack) return false;
    *first = f;
    *last = std::clamp(std::max(l, f), int32_t(0), n - 1);
    return true;
}
