// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/attrs.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/layers.h"
#include "db/markers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/packages.h"
#include "db/placestrat.h"
#include "db/plotrep.h"
#include "db/sweeps.h"
#include "db/symbols.h"
#include "db/table23.h"
#include "db/thru.h"

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
    NetRegister();
    ConnRegister();
    MarkerRegister();
    SweepRegister();
    DbScaleRegister();
    PlaceStratRegister();
    ReportRegister();
}
