// The region engine's sweeps. Both operations cut the plane at every band
// edge of their inputs; within each horizontal slice the spans are one
// sorted list, combined by a sweep over the span edges, and a slice whose
// spans equal the band above it extends that band.
#include "toolbox/core/regionbands.h"

#include <algorithm>

namespace {

struct Span {
    int32_t left, right;
    bool operator==(const Span& o) const { return left == o.left && right == o.right; }
};
typedef std::vector<Span> Spans;

// The cut positions, sorted and each once.
void SortUnique(std::vector<int32_t>* edges) {
    std::sort(edges->begin(), edges->end());
    edges->erase(std::unique(edges->begin(), edges->end()), edges->end());
}

bool Keep(int32_t mode, bool inA, bool inB) {
    switch (mode) {
    case kRegionAnd:
        return inA && inB;
    case kRegionOr:
        return inA || inB;
    case kRegionXor:
        return inA != inB;
    case kRegionDiff:
        return inA && !inB;
    default:
        return inA;
    }
}

bool Covers(const Spans& spans, int32_t x) {
    auto it = std::upper_bound(spans.begin(), spans.end(), x,
                               [](int32_t v, const Span& s) { return v < s.right; });
    return it != spans.end() && it->left <= x;
}

// Sorted, disjoint, non-touching spans of a (mode) b; both inputs sorted
// and disjoint.
void CombineSpans(const Spans& a, const Spans& b, int32_t mode, Spans* out) {
    out->clear();
    std::vector<int32_t> xs;
    xs.reserve(2 * (a.size() + b.size()));
    for (const Span& s : a)
        xs.insert(xs.end(), {s.left, s.right});
    for (const Span& s : b)
        xs.insert(xs.end(), {s.left, s.right});
    SortUnique(&xs);
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        if (!Keep(mode, Covers(a, xs[i]), Covers(b, xs[i]))) continue;
        if (!out->empty() && out->back().right == xs[i])
            out->back().right = xs[i + 1];
        else
            out->push_back({xs[i], xs[i + 1]});
    }
}

// Appends one slice to a canonical list, merging it into the band above
// when that band ends at `top` with the same spans.
void AppendSlice(RegionRects* out, size_t* lastBand, int32_t top, int32_t bottom,
                 const Spans& spans) {
    if (spans.empty()) return;
    size_t bandStart = *lastBand;
    if (bandStart < out->size() && (*out)[bandStart].bottom == top &&
        out->size() - bandStart == spans.size()) {
        bool same = true;
        for (size_t i = 0; i < spans.size() && same; ++i)
            same = (*out)[bandStart + i].left == spans[i].left &&
                   (*out)[bandStart + i].right == spans[i].right;
        if (same) {
            for (size_t i = bandStart; i < out->size(); ++i)
                (*out)[i].bottom = bottom;
            return;
        }
    }
    *lastBand = out->size();
    for (const Span& s : spans)
        out->push_back({top, s.left, bottom, s.right});
}

// The spans of the band of a canonical list that covers y (empty when none).
void SpansAt(const RegionRects& rects, size_t* cursor, int32_t y, Spans* out) {
    out->clear();
    while (*cursor < rects.size() && rects[*cursor].bottom <= y)
        ++*cursor;
    for (size_t i = *cursor; i < rects.size() && rects[i].top <= y && rects[i].bottom > y; ++i)
        out->push_back({rects[i].left, rects[i].right});
}

} // namespace

void RegionRectsFromRects(const Rect32* rects, size_t count, RegionRects* out) {
    out->clear();
    std::vector<int32_t> ys;
    for (size_t i = 0; i < count; ++i) {
        if (Rect32IsEmpty(&rects[i])) continue;
        ys.insert(ys.end(), {rects[i].top, rects[i].bottom});
    }
    SortUnique(&ys);
    size_t lastBand = 0;
    Spans raw, spans, none;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        raw.clear();
        for (size_t i = 0; i < count; ++i) {
            const Rect32& r = rects[i];
            if (!Rect32IsEmpty(&r) && r.top <= ys[k] && r.bottom > ys[k])
                raw.push_back({r.left, r.right});
        }
        std::sort(raw.begin(), raw.end(),
                  [](const Span& x, const Span& y) { return x.left < y.left; });
        spans.clear();
        for (const Span& s : raw) {
            if (!spans.empty() && s.left <= spans.back().right)
                spans.back().right = std::max(spans.back().right, s.right);
            else
                spans.push_back(s);
        }
        AppendSlice(out, &lastBand, ys[k], ys[k + 1], spans);
    }
}

void RegionRectsCombine(const RegionRects& a, const RegionRects& b, int32_t mode,
                        RegionRects* out) {
    out->clear();
    if (mode == kRegionCopy) {
        *out = a;
        return;
    }
    std::vector<int32_t> ys;
    for (const Rect32& r : a)
        ys.insert(ys.end(), {r.top, r.bottom});
    for (const Rect32& r : b)
        ys.insert(ys.end(), {r.top, r.bottom});
    SortUnique(&ys);
    size_t cursorA = 0, cursorB = 0, lastBand = 0;
    Spans spansA, spansB, result;
    for (size_t k = 0; k + 1 < ys.size(); ++k) {
        SpansAt(a, &cursorA, ys[k], &spansA);
        SpansAt(b, &cursorB, ys[k], &spansB);
        CombineSpans(spansA, spansB, mode, &result);
        AppendSlice(out, &lastBand, ys[k], ys[k + 1], result);
    }
}
