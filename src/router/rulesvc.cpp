// The rule-service table and its provisional bodies. The stitch buffer is
// one pool piece of the router's first zone; CornerNotAcute takes the dot
// product of the two legs in 64-bit arithmetic.
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

void Record(const char* name) {
    RuleServiceRecord(name);
}

void ProvDrcRemoveViolations() {
    Record("DrcRemoveViolations");
}

void ProvDrcAll() {
    Record("DrcAll");
}

// Until the clean-up is installed DFMClean only leaves its recording.
void DFMCleanHook() {
    Record("DFMClean");
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

bool ProvCornerNotAcute(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int64_t ax = int64_t(x1) - x, ay = int64_t(y1) - y;
    int64_t bx = int64_t(x2) - x, by = int64_t(y2) - y;
    return ax * bx + ay * by <= 0;
}

const RuleServices kProvisional = {
    &StandDrcCheckConn,       &StandDrcCheckAlt,     &StandCleanAlt,
    &ProvDrcRemoveViolations, &ProvDrcAll,           &DFMCleanHook,
    &StandClearAllVias,       &StandClearAllJumpers, &StandStitchStraightSeg,
    &StandStitchDiagSeg,      &ProvStitchAlloc,      &ProvStitchRelease,
    &ProvCornerNotAcute,
};

template <typename F> void Take(F& field, F given, F provisional) {
    field = given ? given : provisional;
}

} // namespace

RuleServices g_ruleServices = kProvisional;
int16_t g_sweepRunFlag = 0;
uint16_t DfmFlags = 0;
int16_t DrcMode = 0;

void RuleServicesInstall(const RuleServices* s) {
    if (!s) {
        g_ruleServices = kProvisional;
        return;
    }
    const RuleServices& p = kProvisional;
    RuleServices& g = g_ruleServices;
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

const RuleServices& RuleServicesProvisional() {
    return kProvisional;
}

uint8_t* StitchBuffer() {
    return s_stitch;
}

void RuleServiceRecord(const char* name) {
    s_calls.push_back(RuleServiceCall{name, g_sweepRunFlag, DfmFlags});
}

const std::vector<RuleServiceCall>& RuleServiceCalls() {
    return s_calls;
}

void RuleServicesTestReset() {
    g_ruleServices = kProvisional;
    g_sweepRunFlag = 0;
    DfmFlags = 0;
    DrcMode = 0;
    s_stitch = nullptr;
    s_calls.clear();
}
