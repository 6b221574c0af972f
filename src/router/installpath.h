// Path installation: a found path (ConnPath) is put into the board inside
// one journal level with rip-up and re-route of the routed segments of
// other connections it crosses (the hops of MzGoal), shoved into place,
// straightened, cleaned and checked, and the level is committed or
// rejected with the object map restored. Whatever the outcome, ConnPath
// afterwards holds the connection as the journal then sees it, mapped, and
// the journal is back at the depth it had before.
#pragma once
#include <cstdint>

#include "db/err.h"

enum : ErrCode {
    kErrInstallDepth = 53398, // the installation's level must be open
};

// Router option bits of MzFlags and MzFlags2 read by the installation.
enum : uint16_t {
    kMzShowHop = 0x0010,
    kMzMapTest = 0x0100,
    kMzNoCleanup = 0x0800,
    kMzForceRipFail = 0x1000,
    kMz2FastAltcheck = 0x0001,
};

enum : int32_t {
    kCmdDesignChanged = 30050, // broadcast after a committed change
};

// Installs ConnPath for MzGoal's connection; 1 committed, 0 rejected.
int32_t InstallPath();
// The body of the installation inside the open level; 1 success.
int32_t processPath();
// Installs the change a routing-window tool made in the current journal
// level; 1 accepted, 0 refused.
int32_t urInstallManualPath();
// Checks the object map against the connections of the loaded window and
// logs every routed segment whose midpoint cell lacks it.
void mapTest();
