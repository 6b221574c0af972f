// The modal flag, depth and menu-bar-update flag: process-wide values.
#include "toolbox/core/modalstate.h"

namespace {

uint8_t g_modalFlag = 0;
int32_t g_modalDepth = 0;
uint8_t g_menuBarUpdate = 0;

} // namespace

uint8_t ModalFlag() {
    return g_modalFlag;
}

uint8_t SetModalFlag(uint8_t value) {
    uint8_t previous = g_modalFlag;
    g_modalFlag = value;
    return previous;
}

int32_t ModalDepth() {
    return g_modalDepth;
}

void SetModalDepth(int32_t depth) {
    g_modalDepth = depth;
}

uint8_t MenuBarUpdateFlag() {
    return g_menuBarUpdate;
}

void SetMenuBarUpdateFlag(uint8_t value) {
    g_menuBarUpdate = value;
}
