// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/attrs.h"
#include "db/comprepair.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/layers.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/texts.h"
#include "db/thru.h"

namespace {

// The obstacles and texts of deleted components and symbols go; the others
// follow their owners' new numbers.
void OwnedByComps(const int16_t* map, int32_t count) {
    ObsCompRenumber(map, count);
    TextCompRenumber(map, count);
}
void OwnedBySyms(const int16_t* map, int32_t count) {
    ObsSymRenumber(map, count);
    TextSymRenumber(map, count);
}

} // namespace

void DbRegisterBuiltins() {
    NameRegister();
    AttrRegister();
    LayerRegister();
    ThruRegister();
    ColorRegister();
    Table23Register();
    SymRegister();
    PkgRegister();
    CompRegister();
    SweepRegister();
    DbScaleRegister();
    PlaceStratRegister();
    ReportRegister();
    NetRegister();
    ConnRegister();
    MarkerRegister();
    // Tables that scaling and layer moves walk record by record.
    DbTableSetCount(kRecNet, &NetCount);
    DbTableSetCount(kRecConn, &ConnCount);
    DbTableSetCount(kRecErrorMarker, &MarkerCount);
    ObsRegister();
    TextRegister();
    DbTableSetCount(kRecObstacle, &ObsCount);
    DbTableSetCount(kRecBoardText, &TextCount);
    CompSetOwnerRenumberHook(&OwnedByComps);
    SymSetOwnerRenumberHook(&OwnedBySyms);
    // The validation repairs of components.
    CompRepairRegister();
}
