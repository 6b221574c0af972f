// The one call that puts the rule checker in place of the router's
// provisional rule services. Every program and test that links the checker
// makes it once before routing.
#pragma once

// Installs the checker's services and sets DrcMode to its resting value 1.
void RulesInstall();
