// Installs the rule checker's procedures through the router's service
// table: the connection rule check; services the checker does not provide
// yet keep their provisional bodies.
#include "rules/rulesinstall.h"

#include "rules/cleanitem.h"
#include "rules/drcconn.h"
#include "rules/ruleadapt.h"

void RulesInstall() {
    RuleServices s{};
    s.DrcCheckConn = &DrcCheckConnRules;
    s.CleanAlt = &CleanAltRules;
    RuleServicesInstall(&s);
    DrcMode = kDrcFail;
}
