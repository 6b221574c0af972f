// The overflow lists of crowded object-map cells: one chunk table, a free
// chain of emptied chunks, and the list operations. A value goes to its
// list's first free place; a list with none grows by a chunk at its tail.
// Clearing the table keeps its storage, so refills allocate nothing new
// until a window spills more than any before it.
#include "router/mapspill.h"

#include "router/objmap.h"
#include "router/objtable.h"

std::vector<SpillChunk> g_spill;

namespace {

int32_t s_free = kSpillNone;

int32_t TakeChunk() {
    int32_t k;
    if (s_free != kSpillNone) {
        k = s_free;
        s_free = g_spill[size_t(k)].next;
    } else {
        k = int32_t(g_spill.size());
        g_spill.emplace_back();
    }
    SpillChunk& ch = g_spill[size_t(k)];
    for (int16_t& v : ch.value)
        v = 0;
    ch.next = kSpillNone;
    return k;
}

} // namespace

void SpillReset() {
    g_spill.clear();
    s_free = kSpillNone;
}

int32_t SpillOpen(const int16_t* slots) {
    const int32_t head = TakeChunk();
    SpillChunk& ch = g_spill[size_t(head)];
    int32_t n = 0;
    for (int32_t j = 0; j < kMapCellSlots; ++j)
        if (slots[j]) ch.value[n++] = slots[j];
    return head;
}

void SpillPut(int32_t head, int16_t value, int16_t cover) {
    int32_t freeChunk = kSpillNone, freeAt = 0, tail = head;
    for (int32_t k = head; k != kSpillNone; k = g_spill[size_t(k)].next) {
        const SpillChunk& ch = g_spill[size_t(k)];
        for (int32_t j = 0; j < kSpillChunkValues; ++j) {
            const int16_t v = ch.value[j];
            if (v == value || (cover != 0 && v == cover)) return;
            if (v == 0 && freeChunk == kSpillNone) {
                freeChunk = k;
                freeAt = j;
            }
        }
        tail = k;
    }
    if (freeChunk == kSpillNone) {
        freeChunk = TakeChunk(); // may move the table: the tail is found by number
        g_spill[size_t(tail)].next = freeChunk;
        freeAt = 0;
    }
    g_spill[size_t(freeChunk)].value[freeAt] = value;
}

int32_t SpillTake(int32_t head, int16_t value) {
    int32_t left = 0;
    bool hit = false;
    for (int32_t k = head; k != kSpillNone; k = g_spill[size_t(k)].next)
        for (int16_t& v : g_spill[size_t(k)].value) {
            if (v == value) {
                v = 0;
                hit = true;
            }
            left += v != 0;
        }
    return hit ? left : -1;
}

int32_t SpillValues(int32_t head, int16_t* out, int32_t max) {
    int32_t n = 0;
    bool edge = false;
    SpillEach(head, [&](int16_t v) {
        if (v == kObjEdgeEntry) edge = true;
        ++n;
    });
    if (!out) return n;
    int32_t k = 0;
    if (edge && k < max) out[k++] = kObjEdgeEntry;
    SpillEach(head, [&](int16_t v) {
        if (v != kObjEdgeEntry && k < max) out[k++] = v;
    });
    return n;
}

void SpillFree(int32_t head) {
    int32_t k = head;
    while (g_spill[size_t(k)].next != kSpillNone)
        k = g_spill[size_t(k)].next;
    g_spill[size_t(k)].next = s_free;
    s_free = head;
}
