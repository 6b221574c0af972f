// The choice of the next components: the candidates that still need
// placing, ranked by a 32-bit key (larger first) built from pin count,
// the weight of nets shared with placed and with selected components,
// the placement state and two flags. The per-component net lists it
// builds are kept until PlCompNetsFree (the placement model's end).
#pragma once
#include <cstdint>
#include <vector>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kErrPlNextPool = 3610010, // owner of the ranking's pool
};

enum : int32_t {
    kPlNextMax = 4000,             // candidates the tool asks for
    kPlNextPinClassMax = 15,       // bits 0-3
    kPlNextPlacedWeightMax = 4095, // bits 4-15
    kPlNextChosenWeightMax = 1023, // bits 16-25
    kPlNextPlacedShift = 4,
    kPlNextChosenShift = 16,
    kPlNextStateShift = 27,
    kPlNextFlag80Bit = 1 << 29,
    kPlNextMemberBit = 1 << 30,
};

// Placement states in bits 27-28.
enum : int32_t {
    kPlNextStateOffBoard = 1,
    kPlNextStateUnplaced = 2,
    kPlNextStateClustered = 3,
};

// Per-net flag bits of one ranking.
enum : uint8_t {
    kPlNetTouchesChosen = 1, // a component of the current level
    kPlNetTouchesPlaced = 2,
};

enum : uint16_t { kPlCompNextFlag80 = 0x0080 };

// The nets of each component's connections (each once), leaving out
// NOROUTE nets and nets of style bit 0; built when missing.
const std::vector<std::vector<int16_t>>& PlCompNets();
void PlCompNetsFree();

// The component's box is off the board (0 for a component without symbol).
bool PlCompOffBoard(const Component* r);
// Whether a component is worth offering.
bool PlNextQualifies(const Component* r);
// The ranking key of component c against the per-net flags (1..net count).
uint32_t PlNextKey(int32_t c, const std::vector<uint8_t>& netFlags);
// Writes at most max component indices into out, best first; answers how
// many (0 when nothing qualifies).
int32_t PlNext(int16_t* out, int32_t max);
