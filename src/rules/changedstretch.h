// The changed stretch of a connection: the corner range of a new image
// that differs from the stored record, found from the start and from the
// end. Shared by the checks of a journal level and by the clean-up's
// installation. Only corners both images have are compared, so images of
// different corner counts never read past the shorter one, and the range
// always lies within the new image with first <= last.
#pragma once
#include <cstdint>

#include "db/records.h"

// The stretch of `now` (n corners) that differs from `stored` (m corners).
// From the start, corner i differs when its via type, or the point of the
// next corner with this corner's layer and width, differ (corner 0 also by
// its own point); first = the first such corner, or min(n, m) - 1. From the
// end, corners aligned at the two ends, corner i differs when its via
// type, or the point of the previous corner with that corner's layer and
// width, differ (the last corner also by its own point); last = the last
// such corner, or n - min(n, m). Then last = max(last, first). Answers
// false, with the range untouched, when n = m and nothing differs (an
// empty stretch); true otherwise. An empty new image (n = 0) is false.
bool ChangedStretch(const Conn* now, const Conn* stored, int32_t* first, int32_t* last);
