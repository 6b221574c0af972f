// Fixture of the via, jumper and stitch clearing tests: the rule-check
// board with U1 at (15,000, 15,000) (pads of radius 1,800 on both layers,
// no net), the goal record pointing at a connection of net 1, the shove
// words cleared, and the trace lines caught.
#pragma once
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/pool.h"
#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "router/urstate.h"
#include "router/viamap.h"
#include "rules/viaclear.h"
#include "rulefixture.h"

class ClearTest : public RuleTest {
  protected:
    void SetUp() override {
        RuleTest::SetUp();
        g_shove = ShoveState{};
        s_traces.clear();
    }
    void TearDown() override {
        g_shove = ShoveState{};
        HeadlessAbortAfter(-1);
        UserAbortReset();
        RuleTest::TearDown();
    }
    void Open(const std::string& body = "*COMP U1 [15000, 15000] Symbol=1\r\n", int32_t vias = 1) {
        OpenBoard(body, vias);
        ASSERT_EQ(MapAll(), 1);
    }
    // The connection of net 1 stored and entered as the goal's connection.
    int32_t Goal1(std::initializer_list<CrnSpec> corners, int32_t srcLayer = 1,
                  int32_t dstLayer = 1) {
        const int32_t n = StoreConn(1, corners);
        const int32_t e = AddConn(n);
        MzGoal* g = Goal();
        g->objIndex = int16_t(e);
        g->srcLayer = int16_t(srcLayer);
        g->dstLayer = int16_t(dstLayer);
        g->goalWidth = 10;
        g->forceFast = 0;
        g->pass = 0;
        return n;
    }
    static void Catch() {
        g_verbose = 1;
        DebugSetTraceReceiver([](const char* t) { s_traces.emplace_back(t); });
    }
    static bool Traced(const std::string& text) {
        for (const std::string& t : s_traces)
            if (t.find(text) != std::string::npos) return true;
        return false;
    }
    static inline std::vector<std::string> s_traces;
};
