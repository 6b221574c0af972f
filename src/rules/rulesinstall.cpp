// Installs the rule checker's procedures through the router's service
// table: the connection rule check, the level check, the whole-board check
// of the space-check pass, violation removal, the corner test, the clean-up of
// journal changes, the via and jumper clearing, the segment stitching and the stitch buffer;
// services the checker does not provide yet keep their provisional bodies.
#include "rules/rulesinstall.h"

#include "rules/cleanitem.h"
#include "rules/cornernotacute.h"
#include "rules/drcboard.h"
#include "rules/drcconn.h"
#include "rules/ruleadapt.h"
#include "rules/viaclear.h"

void RulesInstall() {
    RuleServices s{};
    s.DrcCheckConn = &DrcCheckConnRules;
    s.DrcCheckAlt = &DrcCheckAltRules;
    s.DrcAll = &DrcAllSpaceCheck;
    s.DrcRemoveViolations = &DrcRemoveViolationsRules;
    s.CornerNotAcute = &CornerNotAcuteRules;
    s.ClearAllVias = &ClearAllViasRules;
    s.ClearAllJumpers = &ClearAllJumpersRules;
    s.stitchStraightSeg = &stitchStraightSegRules;
    s.stitchDiagSeg = &stitchDiagSegRules;
    s.StitchAlloc = &StitchAllocRules;
    s.StitchRelease = &StitchReleaseRules;
    s.CleanAlt = &CleanAltRules;
    RuleServicesInstallChecker(&s);
    DrcMode = kDrcFail;
}
