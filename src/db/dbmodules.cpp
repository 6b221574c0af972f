// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/attrs.h"
#include "db/db.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/table23.h"
#include "db/thru.h"

void DbRegisterBuiltins() {
    NameRegister();
    AttrRegister();
    LayerRegister();
    ThruRegister();
    ColorRegister();
    Table23Register();
}
