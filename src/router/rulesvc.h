// What the router asks of the rule checker and the copper clean-up: one
// table of procedures under the services' own names, installed by the rule
// checker (RuleServicesInstallChecker) and reached through the inline
// callers below. Services the checker leaves out run on provisional bodies:
// the stitch buffer is real; the connection check runs on the gathering
// (see drcstand.h); DFMClean is recorded; the stitching calls move nothing
// (see stitchstand.h). The level check, the clean-up of the level, the
// whole-board check, violation removal and CornerNotAcute have no
// provisional body: calling them before the checker is installed is an
// internal error. The whole-board check and violation removal are recorded
// on the seam whichever body serves them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kStitchPoints = 2001, // a window 1,000 grid points tall: 2,001 half-grid points
    kStitchPointBytes = 24,
    kStitchBytes = kStitchPoints * kStitchPointBytes, // 48,024
    kDrcModeMax = 3,
    kDfmFlagsCleanup = 62, // the route loop's clean-up pass
};

// Argument checks of the clearance calls.
enum : ErrCode {
    kErrDrcFirstCorner = 2166080,
    kErrDrcMode = 2166081,
    kErrDrcLastCorner = 2166082,
    kErrRuleServiceMissing = 2166091, // a service the checker must provide was called without it
};

struct RuleServices {
    int32_t (*DrcCheckConn)(int32_t obj, const Conn* conn, int32_t first, int32_t last);
    int32_t (*DrcCheckAlt)(int32_t mode);
    void (*CleanAlt)();
    void (*DrcRemoveViolations)();
    void (*DrcAll)();
    void (*DFMClean)();
    int32_t (*ClearAllVias)(Conn* conn);
    int32_t (*ClearAllJumpers)(Conn* conn);
    int32_t (*stitchStraightSeg)(Conn* path, int32_t transposed, int32_t segment);
    int32_t (*stitchDiagSeg)(Conn* path, int32_t segment);
    int32_t (*StitchAlloc)();
    void (*StitchRelease)();
    bool (*CornerNotAcute)(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
};

// Installs the services (copied); null fields, or a null table, take the
// checker's bodies (RuleServicesInstallChecker), else the provisional ones.
void RuleServicesInstall(const RuleServices* services);
// Installs the rule checker's bodies (copied; null fields keep the
// provisional ones) and makes them what every later install and reset
// falls back to.
void RuleServicesInstallChecker(const RuleServices* services);
// The provisional bodies.
const RuleServices& RuleServicesProvisional();
extern RuleServices g_ruleServices;

// The checker's state the router sets: the sweep-run flag, the DFM option
// word and the rule mode.
extern int16_t g_sweepRunFlag;
extern uint16_t DfmFlags;
extern int16_t DrcMode;

// The stitch point buffer the provisional StitchAlloc took (null none).
uint8_t* StitchBuffer();

// A call recorded on the seam (DrcAll, DrcRemoveViolations) or by the
// provisional DFMClean.
struct RuleServiceCall {
    std::string name;
    int32_t sweepRunFlag;
    int32_t dfmFlags;
};
const std::vector<RuleServiceCall>& RuleServiceCalls();
void RuleServiceRecord(const char* name);

inline int32_t DrcCheckConn(int32_t obj, const Conn* conn, int32_t first, int32_t last) {
    return g_ruleServices.DrcCheckConn(obj, conn, first, last);
}
inline int32_t DrcCheckAlt(int32_t mode) {
    return g_ruleServices.DrcCheckAlt(mode);
}
inline void CleanAlt() {
    g_ruleServices.CleanAlt();
}
inline void DrcRemoveViolations() {
    RuleServiceRecord("DrcRemoveViolations");
    g_ruleServices.DrcRemoveViolations();
}
inline void DrcAll() {
    RuleServiceRecord("DrcAll");
    g_ruleServices.DrcAll();
}
inline void DFMClean() {
    g_ruleServices.DFMClean();
}
inline int32_t ClearAllVias(Conn* conn) {
    return g_ruleServices.ClearAllVias(conn);
}
inline int32_t ClearAllJumpers(Conn* conn) {
    return g_ruleServices.ClearAllJumpers(conn);
}
inline int32_t stitchStraightSeg(Conn* path, int32_t transposed, int32_t segment) {
    return g_ruleServices.stitchStraightSeg(path, transposed, segment);
}
inline int32_t stitchDiagSeg(Conn* path, int32_t segment) {
    return g_ruleServices.stitchDiagSeg(path, segment);
}
inline int32_t StitchAlloc() {
    return g_ruleServices.StitchAlloc();
}
inline void StitchRelease() {
    g_ruleServices.StitchRelease();
}
inline bool CornerNotAcute(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return g_ruleServices.CornerNotAcute(x, y, x1, y1, x2, y2);
}
