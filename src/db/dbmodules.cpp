// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/comps.h"
#include "db/db.h"
#include "db/packages.h"
#include "db/symbols.h"
#include "db/table23.h"

void DbRegisterBuiltins() {
    Table23Register();
    SymRegister();
    PkgRegister();
    CompRegister();
}
