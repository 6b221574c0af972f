// Fixture of the ranking, picking and installation tests: the object-map
// board (two components, a 40 x 40 window over 0..60,000 at grid 1,500)
// with connections between pins stored and entered into the object table,
// and the trace lines collected.
#pragma once
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/err.h"
#include "mapfixture.h"

class GoalConnTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        Lines().clear();
        DebugSetTraceReceiver(&Collect);
    }
    void TearDown() override {
        DebugSetTraceReceiver(nullptr);
        DebugSetFlags(0, 0);
        MapTest::TearDown();
    }

    // A stored connection of net between (fromComp, fromPin) and (toComp,
    // toPin) on the corners (width in connection-grid units); answers its
    // object-table entry when enter is set, else its database index.
    static int32_t StoreEnds(int32_t net, int32_t fromComp, int32_t fromPin, int32_t toComp,
                             int32_t toPin, std::initializer_list<CrnSpec> corners,
                             bool enter = true, int32_t width = 10) {
        Conn c = ConnOf(net, corners, width);
        c.head.fromComp = int16_t(fromComp);
        c.head.fromPin = int16_t(fromPin);
        c.head.toComp = int16_t(toComp);
        c.head.toPin = int16_t(toPin);
        const int32_t n = ConnAdd();
        {
            DbTrustedScope trusted;
            ConnPut(n, &c);
        }
        return enter ? AddConn(n) : n;
    }

    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
    static bool Traced(const std::string& text) {
        for (const std::string& l : Lines())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    static void Collect(const char* text) { Lines().emplace_back(text); }
};
