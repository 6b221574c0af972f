// Fixture of the DFM clean-up tests: the rule-check board (grid 1,500, a
// window over 0..60,000) with the real phases in place, helpers that store
// and load connections with their ends, read the phase titles shown, and
// replace the rule check of the commits by one that records each trial.
#pragma once
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "headless/headless.h"
#include "router/rulesvc.h"
#include "rules/dfm.h"
#include "clearfixture.h"

class DfmTest : public ClearTest {
  protected:
    void SetUp() override {
        ClearTest::SetUp();
        g_dfmPhases = DfmPhasesReal();
        DfmFlags = 0;
        lastTryFlag = 0;
        s_trials.clear();
        s_refuse = 0;
        HeadlessShellReset();
    }
    void TearDown() override {
        g_dfmPhases = DfmPhasesReal();
        DfmFlags = 0;
        lastTryFlag = 0;
        ClearTest::TearDown();
    }

    // A connection of net stored with its ends and loaded into the router.
    static int32_t Loaded(int32_t net, std::initializer_list<CrnSpec> corners, int32_t fromComp = 0,
                          int32_t fromPin = 0, int32_t toComp = 0, int32_t toPin = 0,
                          int32_t width = 10, int32_t flags = 0) {
        Conn c = ConnOf(net, corners, width, flags);
        c.head.fromComp = int16_t(fromComp);
        c.head.fromPin = int16_t(fromPin);
        c.head.toComp = int16_t(toComp);
        c.head.toPin = int16_t(toPin);
        const int32_t n = ConnAdd();
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        const int32_t e = AddConn(n);
        const Conn* s = ConnRef(n);
        ConnMap(s, e, 0, s->head.count - 1, 0);
        return n;
    }
    static Conn Stored(int32_t n) {
        Conn c{};
        ConnGet(n, &c);
        return c;
    }
    static std::vector<std::string> Titles() {
        std::vector<std::string> out;
        for (const std::string& s : HeadlessShellCalls())
            if (s.rfind("MsgResult(", 0) == 0) out.push_back(s.substr(10, s.size() - 11));
        return out;
    }

    // The commits' rule check replaced: every trial image is recorded; the
    // first s_refuse trials are refused, later ones pass.
    static void RecordTrials(int32_t refuse) {
        s_refuse = refuse;
        s_trials.clear();
        auto record = [](int32_t) -> int32_t {
            Conn c{};
            AltItemHeader h;
            AltGet(AltCount(), &h, &c);
            s_trials.push_back(c);
            return int32_t(s_trials.size()) > s_refuse ? 1 : 0;
        };
        RuleServices s{};
        s.DrcCheckAlt = record;
        RuleServicesInstall(&s);
        g_dfmPhases.checkAll = record;
    }
    static inline std::vector<Conn> s_trials;
    static inline int32_t s_refuse = 0;
};
