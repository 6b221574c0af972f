// The table modules of the database, registered on first use. Each table
// module adds its registration here.
#include "db/db.h"
#include "db/table23.h"

void DbRegisterBuiltins() {
    Table23Register();
}
