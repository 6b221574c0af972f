// Installs the rule checker's procedures as the router's rule services:
// the connection rule check, the level check, the whole-board check of the
// space-check pass, violation removal and the corner test; services the
// checker does not provide yet keep their provisional bodies.
#include "rules/rulesinstall.h"

#include "rules/cornernotacute.h"
#include "rules/drcboard.h"
#include "rules/drcconn.h"
#include "rules/ruleadapt.h"

void RulesInstall() {
    RuleServices s{};
    s.DrcCheckConn = &DrcCheckConnRules;
    s.DrcCheckAlt = &DrcCheckAltRules;
    s.DrcAll = &DrcAllSpaceCheck;
    s.DrcRemoveViolations = &DrcRemoveViolationsRules;
    s.CornerNotAcute = &CornerNotAcuteRules;
    RuleServicesInstallChecker(&s);
    DrcMode = kDrcFail;
}
