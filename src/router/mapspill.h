// The object map's overflow lists: a cell whose three slots cannot take
// another object without losing one spills its content into a list of its
// own, so a cell never drops an object. Such a cell holds the spill tag in
// slot 0 and its list's first chunk number in slots 1 and 2 (low and high
// half). A list is a chain of chunks of six values (entries, merged net
// references and the edge, as slots hold them; 0 a free place) taken from
// one table that lives as long as the map and is cleared by each refill;
// emptied chunks go to a free chain and are taken again first.
//
// Guarantees: a list holds every value put in it until that value is taken
// out; a value is never held twice; walking a list touches only its own
// chunks and allocates nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum : int32_t {
    kSpillChunkValues = 6,
    kSpillNone = -1, // the end of a chain
};

// Slot 0 of a spilled cell (no entry or net reference takes this value).
constexpr int16_t kMapSpillTag = INT16_MIN;

struct SpillChunk {
    int16_t value[kSpillChunkValues];
    int32_t next;
};

// The chunk table; index 0 is the first chunk.
extern std::vector<SpillChunk> g_spill;

// Forgets every list (the map is refilled or freed).
void SpillReset();
// A new list holding the non-zero values of the three slots; its first chunk.
int32_t SpillOpen(const int16_t* slots);
// Puts the value in the list unless it or `cover` (the value's merged net
// reference, 0 none) is there already.
void SpillPut(int32_t head, int16_t value, int16_t cover);
// Takes every place holding the value out; the number of values left, or
// -1 when the value was not there.
int32_t SpillTake(int32_t head, int16_t value);
// The number of values the list holds; with up to `max` of them copied to
// out (the edge first) when out is given.
int32_t SpillValues(int32_t head, int16_t* out, int32_t max);
// Gives the list's chunks back to the free chain.
void SpillFree(int32_t head);

inline bool MapCellSpilled(const int16_t* slots) {
    return slots[0] == kMapSpillTag;
}
inline int32_t MapCellSpillHead(const int16_t* slots) {
    return int32_t(uint32_t(uint16_t(slots[1])) | (uint32_t(uint16_t(slots[2])) << 16));
}

// Calls f(value) on every value the list holds.
template <class F>
inline void SpillEach(int32_t head, F&& f) {
    for (int32_t k = head; k != kSpillNone;) {
        const SpillChunk& ch = g_spill[size_t(k)];
        for (int32_t j = 0; j < kSpillChunkValues; ++j)
            if (ch.value[j]) f(ch.value[j]);
        k = ch.next;
    }
}

// Calls f(value) on every object value a cell holds, spilled or not.
template <class F>
inline void MapCellEach(const int16_t* slots, F&& f) {
    if (MapCellSpilled(slots)) {
        SpillEach(MapCellSpillHead(slots), f);
        return;
    }
    if (slots[0]) f(slots[0]);
    if (slots[1]) f(slots[1]);
    if (slots[2]) f(slots[2]);
}
