// Fixture of the rule-check tests: the preparation boards of the router
// (two layers, grid 1,500, a 40 x 40 window over 0..60,000, parts of round,
// rectangular, oblong and square pads, one or two via types) with the
// checker installed, and helpers that store copper, enter objects into the
// object table, and read markers and maze cells.
#pragma once
#include <string>
#include <vector>

#include "db/markers.h"
#include "router/maze.h"
#include "router/mzgrid.h"
#include "router/prepfixture.h"
#include "rules/drcerror.h"
#include "rules/rulesinstall.h"

class RuleTest : public PrepTest {
  protected:
    void SetUp() override {
        PrepTest::SetUp();
        RulesInstall();
        DrcErrorCount = 0;
        CheckOptions = 0;
        MzFlags = 0;
    }
    void TearDown() override {
        g_verbose = 0;
        DebugSetTraceReceiver(nullptr);
        PrepTest::TearDown();
    }

    static std::vector<ErrorMarker> Markers() {
        std::vector<ErrorMarker> out;
        for (int32_t n = 1; n <= MarkerCount(); ++n) {
            ErrorMarker m;
            MarkerGet(n, &m);
            out.push_back(m);
        }
        return out;
    }
    // The maze cell at the database point on the layer.
    static int32_t Cell(int32_t x, int32_t y, int32_t layer) {
        return MazeGet(MzX(x), MzY(y), layer);
    }
};
