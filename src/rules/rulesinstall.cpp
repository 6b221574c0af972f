// Installs the rule checker's procedures through the router's service
// table; services the checker does not provide yet keep their provisional
// bodies.
#include "rules/rulesinstall.h"

#include "rules/ruleadapt.h"

void RulesInstall() {
    RuleServices s{};
    RuleServicesInstall(&s);
    DrcMode = kDrcFail;
}
