// The design extent and the compaction the shell calls around validation.
#pragma once
#include <cstdint>

// While the design is valid, recomputes the design extent in the header as
// the union of the boxes of every component; of every board obstacle
// without flag 0x800 and every obstacle a component carries (its own or its
// symbol's, without flag 0x800), measured where that component places it;
// of every board text without flag 0x40 and every text of a component,
// measured where the component places it. Empty (inverted) boxes never
// count. Without a valid design nothing changes.
void DbExtent();

// Mode 0: recomputes the design extent (DbExtent) and answers 0. Mode 1:
// counts the objects whose box is not wholly within 0..0x3FFFFFFE on both
// axes (components, connections, and the obstacles and texts DbExtent
// measures, those left out of the extent included), writes an activity-log
// line for each and answers the count; 0 without a valid design.
int32_t DbCompact(int32_t mode);

// The upper end of the location range every object is expected in.
enum : int32_t { kDbLocationMax = 0x3FFFFFFE };
