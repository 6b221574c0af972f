// The rule-service table, the checker's table every install and reset falls
// back to, and the provisional bodies. The stitch buffer is one pool piece
// of the router's first zone.
#include "router/rulesvc.h"

#include "db/pool.h"
#include "router/drcstand.h"
#include "router/mzinit.h"
#include "router/stitchstand.h"

namespace {

enum : ErrCode {
    kErrStitchAlloc = 2166090,
};

uint8_t* s_stitch = nullptr;
std::vector<RuleServiceCall> s_calls;

enum : int32_t {
    kMissingDrcCheckAlt = 1,
    kMissingDrcRemoveViolations = 2,
    kMissingDrcAll = 3,
    kMissingCornerNotAcute = 4,
    kMissingCleanAlt = 5,
};

int32_t MissingDrcCheckAlt(int32_t) {
    ErrReport(kErrRuleServiceMissing, kMissingDrcCheckAlt);
}

void MissingDrcRemoveViolations() {
    ErrReport(kErrRuleServiceMissing, kMissingDrcRemoveViolations);
}

void MissingCleanAlt() {
    ErrReport(kErrRuleServiceMissing, kMissingCleanAlt);
}

void MissingDrcAll() {
    ErrReport(kErrRuleServiceMissing, kMissingDrcAll);
}

bool MissingCornerNotAcute(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
    ErrReport(kErrRuleServiceMissing, kMissingCornerNotAcute);
}

void ProvDFMClean() {
    RuleServiceRecord("DFMClean");
}

int32_t ProvStitchAlloc() {
    int32_t pool = MzZonePool(1);
    if (!pool) return 0;
    s_stitch = static_cast<uint8_t*>(PoolAlloc(kStitchBytes, pool, kErrStitchAlloc));
    return s_stitch ? 1 : 0;
}

void ProvStitchRelease() {
    s_stitch = nullptr;
}

const RuleServices kProvisional = {
    &StandDrcCheckConn,      &MissingDrcCheckAlt, &MissingCleanAlt,   &MissingDrcRemoveViolations,
    &MissingDrcAll,          &ProvDFMClean,       &StandClearAllVias, &StandClearAllJumpers,
    &StandStitchStraightSeg, &StandStitchDiagSeg, &ProvStitchAlloc,   &ProvStitchRelease,
    &MissingCornerNotAcute,
};

template <typename F> void Take(F& field, F given, F provisional) {
    field = given ? given : provisional;
}

// What installs and resets fall back to: the provisional bodies under the
// checker's.
RuleServices s_checker = kProvisional;

} // namespace

RuleServices g_ruleServices = kProvisional;
int16_t g_sweepRunFlag = 0;
uint16_t DfmFlags = 0;
int16_t DrcMode = 0;

namespace {

void Overlay(RuleServices& g, const RuleServices* s, const RuleServices& p) {
    Take(g.DrcCheckConn, s->DrcCheckConn, p.DrcCheckConn);
    Take(g.DrcCheckAlt, s->DrcCheckAlt, p.DrcCheckAlt);
    Take(g.CleanAlt, s->CleanAlt, p.CleanAlt);
    Take(g.DrcRemoveViolations, s->DrcRemoveViolations, p.DrcRemoveViolations);
    Take(g.DrcAll, s->DrcAll, p.DrcAll);
    Take(g.DFMClean, s->DFMClean, p.DFMClean);
    Take(g.ClearAllVias, s->ClearAllVias, p.ClearAllVias);
    Take(g.ClearAllJumpers, s->ClearAllJumpers, p.ClearAllJumpers);
    Take(g.stitchStraightSeg, s->stitchStraightSeg, p.stitchStraightSeg);
    Take(g.stitchDiagSeg, s->stitchDiagSeg, p.stitchDiagSeg);
    Take(g.StitchAlloc, s->StitchAlloc, p.StitchAlloc);
    Take(g.StitchRelease, s->StitchRelease, p.StitchRelease);
    Take(g.CornerNotAcute, s->CornerNotAcute, p.CornerNotAcute);
}

} // namespace

void RuleServicesInstall(const RuleServices* s) {
    if (!s) {
        g_ruleServices = s_checker;
        return;
    }
    Overlay(g_ruleServices, s, s_checker);
}

void RuleServicesInstallChecker(const RuleServices* s) {
    s_checker = kProvisional;
    if (s) Overlay(s_checker, s, kProvisional);
    g_ruleServices = s_checker;
}

void RuleServiceRecord(const char* name) {
    s_calls.push_back(RuleServiceCall{name, g_sweepRunFlag, DfmFlags});
}

const RuleServices& RuleServicesProvisional() {
    return kProvisional;
}

uint8_t* StitchBuffer() {
    return s_stitch;
}

const std::vector<RuleServiceCall>& RuleServiceCalls() {
    return s_calls;
}

void RuleServicesTestReset() {
    g_ruleServices = s_checker;
    g_sweepRunFlag = 0;
    DfmFlags = 0;
    DrcMode = 1; // the resting value
    s_stitch = nullptr;
    s_calls.clear();
}
