// Renumbering by position. The component table is sorted by name before
// and after the run; the selection is carried across the first sort by
// record id. The group table grows in blocks of 2,001 entries from its
// pool; bands are lists of 16-byte nodes pushed at their heads and sorted
// by repeated neighbour exchanges, so equal keys keep their list order.
#include "place/plrename.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/names.h"
#include "db/pool.h"
#include "place/plaltattr.h"

namespace {

struct RenameEntry {
    int16_t comp;
    int16_t oldNumber;
    int16_t newNumber;
    int16_t numbered;
    int32_t cx, cy;
};

struct BandNode {
    BandNode* next;
    int32_t entry;
    int32_t cx, cy;
};

struct Group {
    std::string prefix;
    std::vector<RenameEntry*> blocks;
    int32_t count = 0;
};

struct RenameRun {
    int32_t groupPool = 0, bandPool = 0;
    int32_t order = 0, direction = 0;
    std::set<std::string> taken; // names the renumbered set must not take
};

RenameEntry& EntryAt(Group& g, int32_t i) {
    return g.blocks[size_t(i / kRenameBlockEntries)][i % kRenameBlockEntries];
}

void Append(RenameRun& run, Group& g, const RenameEntry& e) {
    if (g.count % kRenameBlockEntries == 0)
        g.blocks.push_back(
            static_cast<RenameEntry*>(PoolAlloc(kRenameBlockEntries * int32_t(sizeof(RenameEntry)),
                                                run.groupPool, kErrRenameGroupPool)));
    EntryAt(g, g.count++) = e;
}

bool Rows(int32_t direction) {
    return direction == kRenameRowsUp || direction == kRenameRowsDown;
}

// True when node a must come after node b.
bool After(int32_t order, const BandNode* a, const BandNode* b) {
    switch (order) {
    case kRenameOrderRight:
        return a->cx > b->cx;
    case kRenameOrderLeft:
        return a->cx < b->cx;
    case kRenameOrderDown:
        return a->cy < b->cy;
    case kRenameOrderUp:
        return a->cy > b->cy;
    default:
        return false;
    }
}

void SortBand(int32_t order, BandNode* head) {
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (BandNode* n = head; n && n->next; n = n->next)
            if (After(order, n, n->next)) {
                std::swap(n->entry, n->next->entry);
                std::swap(n->cx, n->next->cx);
                std::swap(n->cy, n->next->cy);
                exchanged = true;
            }
    }
}

std::string NameOf(const std::string& prefix, int32_t number) {
    return number == 0 ? prefix : prefix + std::to_string(number);
}

void Rename(const Group& g, const RenameEntry& e) {
    const std::string text = NameOf(g.prefix, e.newNumber);
    if (!NameFits(text.c_str()) || text.size() > size_t(kNameMaxChars)) return;
    Component comp;
    AltSave(kRecComponent, e.comp, &comp);
    const NameId id = NameIntern(text.c_str());
    if (id == comp.name) return;
    Attribute a;
    if (!AltAttrFind(kRenameAttrKind, kRenameAttrSub, e.comp, 0, &a)) {
        std::memset(&a, 0, sizeof a);
        a.kind = kRenameAttrKind;
        a.key1Type = kRenameAttrSub;
        a.key2Type = kRenameAttrByte2;
        a.key1 = e.comp;
        a.value1 = int32_t(comp.name);
        a.value2 = comp.recordId;
        AltPut(kRecAttribute, PlAltAttrIndex(a), 0, &a);
    }
    comp.name = id;
    AltPut(kRecComponent, e.comp, 0, &comp);
}

void FinishGroup(RenameRun& run, Group& g) {
    if (g.count < 1) ErrReport(kErrRenameEmptyGroup, 0);
    const DbHeader& h = DbHdr();
    const bool rows = Rows(run.direction);
    int32_t grid = rows ? h.grid3Y : h.grid3X;
    if (grid == 0) grid = h.routeGrid;
    int64_t lo = INT64_MAX, hi = INT64_MIN, sizes = 0;
    for (int32_t i = 0; i < g.count; ++i) {
        Component c;
        AltSave(kRecComponent, EntryAt(g, i).comp, &c);
        const int32_t cmin = rows ? c.minY : c.minX, cmax = rows ? c.maxY : c.maxX;
        lo = cmin < lo ? cmin : lo;
        hi = cmax > hi ? cmax : hi;
        sizes += int64_t(cmax) - cmin;
    }
    int64_t pitch = sizes / g.count + 2 * int64_t(grid);
    if (pitch < 1) pitch = 1;
    const int64_t bands = (hi - lo) / pitch + 1;
    if (bands > kRenameBandMax) {
        for (int32_t i = 0; i < g.count; ++i)
            run.taken.insert(NameOf(g.prefix, EntryAt(g, i).oldNumber));
        return;
    }
    auto** heads = static_cast<BandNode**>(PoolAlloc(
        int32_t((bands + 1) * int64_t(sizeof(BandNode*))), run.bandPool, kErrRenameBandPool));
    std::memset(heads, 0, size_t(bands + 1) * sizeof(BandNode*));
    int32_t n = 0;
    for (int32_t i = 0; i < g.count; ++i) {
        RenameEntry& e = EntryAt(g, i);
        if (e.newNumber > n) n = e.newNumber;
        if (!e.numbered) continue;
        const int64_t band = ((rows ? e.cy : e.cx) - lo) / pitch;
        auto* node = static_cast<BandNode*>(
            PoolAlloc(int32_t(sizeof(BandNode)), run.bandPool, kErrRenameBandNode));
        *node = BandNode{heads[band], i, e.cx, e.cy};
        heads[band] = node;
    }
    const bool reverse = run.direction == kRenameRowsDown || run.direction == kRenameColumnsLeft;
    for (int64_t k = 0; k < bands; ++k) {
        BandNode* head = heads[reverse ? bands - 1 - k : k];
        SortBand(run.order, head);
        for (BandNode* node = head; node; node = node->next) {
            RenameEntry& e = EntryAt(g, node->entry);
            if (!e.numbered) ErrReport(kErrRenameUnflagged, e.comp);
            do
                ++n;
            while (n <= kRenameNumberMax && run.taken.count(NameOf(g.prefix, n)));
            // Past the cap a component keeps its name.
            e.newNumber = n <= kRenameNumberMax ? int16_t(n) : e.oldNumber;
        }
    }
    for (int32_t i = 0; i < g.count; ++i) {
        const RenameEntry& e = EntryAt(g, i);
        if (e.numbered && e.newNumber != e.oldNumber) Rename(g, e);
        run.taken.insert(NameOf(g.prefix, e.newNumber));
    }
}

} // namespace

int32_t CompNameSplit(char* text) {
    const size_t length = std::strlen(text);
    if (length > size_t(kNameMaxChars)) ErrReport(kErrRenameLongName, int32_t(length));
    size_t start = length;
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9')
        --start;
    if (start == length || start == 0) return 0;
    int32_t number = 0;
    for (size_t i = start; i < length && number <= kRenameNumberMax; ++i)
        number = number * 10 + (text[i] - '0');
    if (number > kRenameNumberMax) number = kRenameNumberMax;
    text[start] = 0;
    return number;
}

void PlRenameComps(int32_t order, int32_t direction, const uint8_t* mask) {
    RenameRun run;
    run.order = order;
    run.direction = direction;
    if (order == 0 || direction == 0) {
        run.order = kRenameOrderUp;
        run.direction = kRenameColumnsRight;
    }
    // The selection by record id across the sort.
    std::unordered_set<int32_t> selected;
    if (mask)
        for (int32_t c = 1; c <= CompCount(); ++c)
            if (mask[c]) {
                Component comp;
                AltSave(kRecComponent, c, &comp);
                selected.insert(comp.recordId);
            }
    CompSort(0);
    run.groupPool = PoolOpen(kErrRenameGroupPool);
    run.bandPool = PoolOpen(kErrRenameBandPool);
    if (!run.groupPool || !run.bandPool) ErrOutOfMemory(kErrRenameGroupPool);
    AltPush();
    std::vector<Group> groups;
    std::unordered_map<std::string, size_t> byPrefix;
    char text[kNameMaxChars + 1];
    for (int32_t c = 1; c <= CompCount(); ++c) {
        Component comp;
        AltSave(kRecComponent, c, &comp);
        NameToText(comp.name, kNameMaxChars, text);
        const std::string name = text;
        const int32_t number = CompNameSplit(text);
        auto [it, fresh] = byPrefix.emplace(text, groups.size());
        if (fresh) groups.push_back(Group{text, {}, 0});
        const bool numbered = !mask || selected.count(comp.recordId);
        RenameEntry e{int16_t(c),
                      int16_t(number),
                      int16_t(numbered ? 0 : number),
                      int16_t(numbered),
                      int32_t((int64_t(comp.minX) + comp.maxX) / 2),
                      int32_t((int64_t(comp.minY) + comp.maxY) / 2)};
        Append(run, groups[it->second], e);
        if (!numbered) run.taken.insert(name);
    }
    for (Group& g : groups)
        FinishGroup(run, g);
    AltPop(true);
    CompSort(0);
    PoolClose(run.bandPool);
    PoolClose(run.groupPool);
}
