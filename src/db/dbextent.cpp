// The design extent: the union of what the design shows on the board, and
// the compaction the shell calls around validation, which reports the
// objects outside the location range.
#include "db/dbextent.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/dblog.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/pool.h"
#include "db/texts.h"

namespace {

struct Box {
    int32_t minX, minY, maxX, maxY;
};

bool Empty(const Box& b) {
    return b.minX > b.maxX || b.minY > b.maxY;
}

// An object's name, or its number when it has no name.
void Label(NameId name, int32_t n, char* out) {
    NameToText(name, kTextChars - 1, out);
    if (out[0] == 0) std::snprintf(out, kTextChars, "%ld", long(n));
}

// What the walk hands on for every object: its kind word, its name or
// number, its box and whether the extent takes it.
struct Visit {
    const char* kind;
    char label[kTextChars];
    Box box;
    bool inExtent;
};

// Visits every component, every board obstacle and text, and every
// obstacle and text a component carries (placed by that component);
// connections too when asked.
template <typename F> void WalkObjects(bool withConns, F&& visit) {
    Visit v;
    const int32_t comps = CompCount();
    for (int32_t c = 1; c <= comps; ++c) {
        const Component* comp = CompRef(c);
        v.kind = "Component";
        NameToText(comp->name, kTextChars - 1, v.label);
        v.box = {comp->minX, comp->minY, comp->maxX, comp->maxY};
        v.inExtent = true;
        visit(v);
    }
    if (withConns) {
        const int32_t conns = ConnCount();
        for (int32_t n = 1; n <= conns; ++n) {
            const Conn* conn = ConnRef(n);
            if (!conn) continue;
            v.kind = "Connection";
            std::snprintf(v.label, sizeof v.label, "%ld", long(n));
            v.box = {conn->head.minX, conn->head.minY, conn->head.maxX, conn->head.maxY};
            v.inExtent = false;
            visit(v);
        }
    }
    for (int32_t o = ObsBoardFirst(); o != 0; o = ObsNext(o)) {
        const ObsHead& h = ObsRef(o)->head;
        v.kind = "Obstacle";
        Label(h.name, o, v.label);
        v.box = {h.minX, h.minY, h.maxX, h.maxY};
        v.inExtent = !(h.flags & kObsNoExtent);
        visit(v);
    }
    for (int32_t t = TextBoardFirst(); t != 0; t = TextNext(t)) {
        const BoardText* text = TextRef(t);
        v.kind = "Text";
        Label(text->name, t, v.label);
        v.box = {text->minX, text->minY, text->maxX, text->maxY};
        v.inExtent = !(text->flags & kTextFlagNoExtent);
        visit(v);
    }
    // What components carry lies in their own frame: each is measured where
    // the component places it.
    auto* placed = static_cast<Obstacle*>(ScratchPush());
    for (int32_t c = 1; c <= comps; ++c) {
        const Component* comp = CompRef(c);
        for (int32_t o = CompObsFirst(c); o != 0; o = ObsNext(o)) {
            const Obstacle* rec = ObsRef(o);
            ObsCopy(placed, rec);
            ObsPlace(placed, comp->x, comp->y, comp->angle);
            const ObsHead& h = placed->head;
            v.kind = "Obstacle";
            Label(h.name, o, v.label);
            v.box = {h.minX, h.minY, h.maxX, h.maxY};
            v.inExtent = !(h.flags & kObsNoExtent);
            visit(v);
        }
        for (int32_t t = CompTextFirst(c); t != 0; t = TextNext(t)) {
            BoardText text = *TextRef(t);
            TextPlace(&text, comp->x, comp->y, comp->angle);
            v.kind = "Text";
            Label(text.name, t, v.label);
            v.box = {text.minX, text.minY, text.maxX, text.maxY};
            v.inExtent = true;
            visit(v);
        }
    }
    ScratchPop(placed);
}

bool InRange(int32_t v) {
    return v >= 0 && v <= kDbLocationMax;
}

} // namespace

void DbExtent() {
    if (!DbIsValid()) return;
    Box e{INT_MAX, INT_MAX, -INT_MAX, -INT_MAX};
    WalkObjects(false, [&](const Visit& v) {
        if (!v.inExtent || Empty(v.box)) return;
        if (v.box.minX < e.minX) e.minX = v.box.minX;
        if (v.box.minY < e.minY) e.minY = v.box.minY;
        if (v.box.maxX > e.maxX) e.maxX = v.box.maxX;
        if (v.box.maxY > e.maxY) e.maxY = v.box.maxY;
    });
    DbHeader& h = DbHdr();
    h.extMinX = e.minX;
    h.extMinY = e.minY;
    h.extMaxX = e.maxX;
    h.extMaxY = e.maxY;
}

int32_t DbCompact(int32_t mode) {
    if (mode == 0) {
        DbExtent();
        return 0;
    }
    if (!DbIsValid()) return 0;
    int32_t count = 0;
    WalkObjects(true, [&](const Visit& v) {
        if (Empty(v.box)) return;
        if (InRange(v.box.minX) && InRange(v.box.minY) && InRange(v.box.maxX) &&
            InRange(v.box.maxY))
            return;
        ++count;
        char line[2 * kTextChars + 80];
        std::snprintf(line, sizeof line, "%s %s at [%ld,%ld] [%ld,%ld]", v.kind, v.label,
                      long(v.box.minX), long(v.box.minY), long(v.box.maxX), long(v.box.maxY));
        LogAppend("Outside the location range: ", line);
    });
    return count;
}
