// The "Auto" menu's check runs in portable code: the options, the first
// enabled sweep strategy made current, the router opened on its start
// window, and the check sweep started. The shell's menu calls them, and so
// does the headless driver.
#pragma once
#include <cstdint>

enum : int32_t {
    kMsgAllSweepsDone = 50101, // "All sweeps completed (or disabled)"
    kDfmFlagsDefault = 62,
};

// The DRC (cde 0) or CDE (cde 1) run; noDialog 1 skips the options dialog
// and checks with the whole-board check only.
void autoCheck(int32_t cde, int32_t noDialog);
// The DFM run (30244) or the test-point run (30298).
void autoCheckDFM(int32_t command);
