// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/attrs.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/obstacles.h"
#include "db/packages.h"
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
    ObsRegister();
    TextRegister();
    CompSetOwnerRenumberHook(&OwnedByComps);
    SymSetOwnerRenumberHook(&OwnedBySyms);
}
