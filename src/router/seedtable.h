// The table of queued seed cells: while a gap's ends are seeded (after a
// queue reset, before the first pop), every seed queued is recorded by
// (x, y, layer, side) with the lowest bucket it was queued in, so the
// duplicate test of a new seed is one look-up instead of a scan of the
// buckets. The table answers exactly as the scan would; whenever it could
// not (a node was stolen from a bucket, a node was pushed without a key, or
// the expansion began), it says so and the caller scans.
#pragma once
#include <cstdint>

// Empties the table and starts recording (a queue reset).
void SeedTableStart();
// Stops recording until the next start: the scan answers from now on.
void SeedTableStop();
// True while the table answers for the queue.
bool SeedTableActive();
// Records a seed queued in `bucket`.
void SeedTableNote(int32_t x, int32_t y, int32_t layer, int32_t side, int32_t bucket);
// True when a seed of this cell and side is queued in a bucket at most
// `bucket`. Only meaningful while SeedTableActive().
bool SeedTableHas(int32_t x, int32_t y, int32_t layer, int32_t side, int32_t bucket);
// Frees the table's memory.
void SeedTableRelease();
