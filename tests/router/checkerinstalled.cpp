// The router's tests run on the rule checker's connection check, level
// check, clean-up of the level, whole-board check, violation removal and
// corner test (the router keeps no provisional body for the last five); the
// clearing and stitching keep the provisional bodies these tests were
// written against.
// Installed once for the program; every reset of the router's state keeps it.
#include <gtest/gtest.h>

#include "router/rulesvc.h"
#include "rules/cleanitem.h"
#include "rules/cornernotacute.h"
#include "rules/drcboard.h"
#include "rules/drcconn.h"

namespace {

class CheckerInstalled : public ::testing::Environment {
  public:
    void SetUp() override {
        RuleServices s{};
        s.DrcCheckConn = &DrcCheckConnRules;
        s.DrcCheckAlt = &DrcCheckAltRules;
        s.DrcAll = &DrcAllSpaceCheck;
        s.DrcRemoveViolations = &DrcRemoveViolationsRules;
        s.CornerNotAcute = &CornerNotAcuteRules;
        s.CleanAlt = &CleanAltRules;
        RuleServicesInstallChecker(&s);
        DrcMode = 1;
    }
};

const ::testing::Environment* const kInstalled =
    ::testing::AddGlobalTestEnvironment(new CheckerInstalled);

} // namespace
