// The clearance bodies of the rule checker's provisional calls, built on
// the gathering: a connection's routed segments and vias inside the
// routing window must keep their clearances to other nets' pads,
// connections, vias, obstacles and the Board outline. Widths, angles and
// same-net rules are left to the rule checker proper.
#pragma once
#include <cstdint>

#include "db/records.h"

int32_t StandDrcCheckConn(int32_t entry, const Conn* record, int32_t first, int32_t last);
int32_t StandClearAllVias(Conn* record);
int32_t StandClearAllJumpers(Conn* record);
