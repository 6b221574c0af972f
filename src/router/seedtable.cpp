// Queued seed cells in an open-addressing hash table (linear probing, at
// most half full). Memory grows only when a gap queues more seeds than any
// before it; a start clears only the slots the last seeding used.
#include "router/seedtable.h"

#include <cstddef>
#include <vector>

namespace {

constexpr uint64_t kEmpty = ~uint64_t(0);
constexpr std::size_t kInitialSlots = 1024;

struct Slot {
    uint64_t key = kEmpty;
    int32_t bucket = 0;
};

std::vector<Slot> g_slots;
std::vector<uint32_t> g_used; // slots in use, for clearing
bool g_active = false;

uint64_t Key(int32_t x, int32_t y, int32_t layer, int32_t side) {
    return (uint64_t(uint16_t(x)) << 32) | (uint64_t(uint16_t(y)) << 16) |
           (uint64_t(uint8_t(layer)) << 1) | uint64_t(side ? 1 : 0);
}

std::size_t Hash(uint64_t key, std::size_t mask) {
    key ^= key >> 29;
    key *= 0xBF58476D1CE4E5B9ull;
    key ^= key >> 32;
    return std::size_t(key) & mask;
}

std::size_t Find(uint64_t key) {
    std::size_t mask = g_slots.size() - 1;
    std::size_t i = Hash(key, mask);
    while (g_slots[i].key != kEmpty && g_slots[i].key != key)
        i = (i + 1) & mask;
    return i;
}

void Grow() {
    std::vector<Slot> old;
    old.swap(g_slots);
    g_slots.assign(old.empty() ? kInitialSlots : old.size() * 2, Slot{});
    g_used.clear();
    for (const Slot& s : old)
        if (s.key != kEmpty) {
            std::size_t i = Find(s.key);
            g_slots[i] = s;
            g_used.push_back(uint32_t(i));
        }
}

} // namespace

void SeedTableStart() {
    if (g_slots.empty()) Grow();
    for (uint32_t i : g_used)
        g_slots[i].key = kEmpty;
    g_used.clear();
    g_active = true;
}

void SeedTableStop() {
    g_active = false;
}

bool SeedTableActive() {
    return g_active;
}

void SeedTableNote(int32_t x, int32_t y, int32_t layer, int32_t side, int32_t bucket) {
    if (!g_active) return;
    if ((g_used.size() + 1) * 2 > g_slots.size()) Grow();
    uint64_t key = Key(x, y, layer, side);
    std::size_t i = Find(key);
    if (g_slots[i].key == kEmpty) {
        g_slots[i] = Slot{key, bucket};
        g_used.push_back(uint32_t(i));
    } else if (bucket < g_slots[i].bucket) {
        g_slots[i].bucket = bucket;
    }
}

bool SeedTableHas(int32_t x, int32_t y, int32_t layer, int32_t side, int32_t bucket) {
    std::size_t i = Find(Key(x, y, layer, side));
    return g_slots[i].key != kEmpty && g_slots[i].bucket <= bucket;
}

void SeedTableRelease() {
    g_slots = {};
    g_used = {};
    g_active = false;
}
