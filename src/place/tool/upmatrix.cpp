// Matrix Place of the placement tool: the selection's components go into
// the cells of the board's Matrix obstacles (each stored through the
// journal), then the swap improvement runs over the selection unless the
// strategy's matrix word turns it off. Without a Matrix the journal's
// images go back into the placement tree and nothing moves.
#include <memory>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "db/obstacles.h"
#include "db/placestrat.h"
#include "place/plmatrix.h"
#include "place/plpair.h"
#include "place/plswap.h"
#include "place/pltree.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"

namespace {

enum : uint16_t {
    kMatrixFillAll = 0x200, // matrix word: every cell takes the next goal untested
    kMatrixNoSwap = 0x100,  // matrix word: no swap improvement afterwards
};
enum : int32_t {
    kMatrixFillUntested = 512,
    kMatrixMinPoints = 2,
};

// Stores every Matrix obstacle of at least two points through the
// journal; answers how many.
int32_t StoreMatrices() {
    auto record = std::make_unique<uint8_t[]>(kRecordImageMax);
    Obstacle* o = reinterpret_cast<Obstacle*>(record.get());
    int32_t found = 0;
    for (int32_t k = 1; k <= ObsCount(); ++k) {
        const Obstacle* r = ObsRef(k);
        if (r->head.kind != kObsMatrix || r->head.count < kMatrixMinPoints) continue;
        AltSave(kRecObstacle, k, o);
        AltPut(kRecObstacle, k, 0, o);
        ++found;
    }
    return found;
}

} // namespace

int32_t UpMatrixPlace() {
    PlaceHost& host = PlHost();
    if (AltDepth() != 1) ErrReport(kErrUpOneLevel, AltDepth());
    PlTreeMapAlt(1);
    DbHeader header;
    DbGetHeader(&header);
    UpMarkSelected();
    if (StoreMatrices() == 0) {
        host.AlertMessage(LangString(kMsgNoMatrix));
        PlTreeMapAlt(0);
        return 0;
    }
    PlaceStrategy s;
    PlaceStratGet(&s);
    host.SetCursorKind(1);
    PlMatrix((s.word138 & kMatrixFillAll) ? kMatrixFillUntested : 0);
    if (!(s.word138 & kMatrixNoSwap)) PlSwapImprove(g_up.selected, s.states[0]);
    header.flags |= kUpHeaderBits;
    DbPutHeader(&header);
    host.upResetDrawState();
    CompHook(0);
    if (AltDepth() != 1) ErrReport(kErrUpOneLevel, AltDepth());
    host.DrawAlt(kUpDrawCommitted);
    PlTreeMapAlt(0);
    AltPop(true);
    g_up.selCount = 0;
    host.menuEnableCommand(kUpUndo, kMenuEnabled);
    PlNetPinTable();
    host.SetCursorKind(2);
    host.SetToolEventHook(nullptr);
    return 1;
}
