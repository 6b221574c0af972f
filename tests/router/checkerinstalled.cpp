// The router's tests run on the rule checker's services: it is installed
// once for the program, and every reset of the router's state keeps it.
#include <gtest/gtest.h>

#include "rules/rulesinstall.h"

namespace {

class CheckerInstalled : public ::testing::Environment {
  public:
    void SetUp() override { RulesInstall(); }
};

const ::testing::Environment* const kInstalled =
    ::testing::AddGlobalTestEnvironment(new CheckerInstalled);

} // namespace
