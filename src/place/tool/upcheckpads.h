// The rule check of a moved component's pads (DrcCheckCompPads of the rule
// checker), reached through one procedure slot: the checker installs its
// body; until then a provisional body passes every component.
#pragma once
#include <cstdint>

typedef int32_t (*UpCompPadsCheck)(int32_t comp);
// Installs the check (null: the provisional body).
void UpCompPadsCheckInstall(UpCompPadsCheck check);
// 1 when the component's pads pass the design rules where it stands.
int32_t DrcCheckCompPads(int32_t comp);
