// The slot table of the editing entries; empty until the editing and
// placement installs fill it.
#include "shell/edithandlers.h"

EditHandlers g_editHandlers{};
