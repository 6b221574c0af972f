// Small shared steps of the route loop's files: the pass word in hand, the
// board-shown test, the quiet byte, and putting the gap in hand back (the
// connection re-read, redrawn and its gap mapped again).
#pragma once
#include <cstdint>

// The PassFlags word of MzGoal's pass in CurSweep.
uint16_t LoopPassFlags();
// 1 when the front window shows the board.
bool LoopBoardShown();
// Sets or clears the quiet byte of RunOptions (nothing before it exists).
void LoopSetQuiet(bool on);
// Re-reads MzGoal's connection into ConnPath, redraws its gap normally and
// maps the gap back into the object map.
void LoopRereadGap();
// The change of the open level repainted (board shown), the windows told,
// its change in complete connections added to the routed count, the level
// committed.
void LoopCommitShown();
