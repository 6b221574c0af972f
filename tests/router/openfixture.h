// Fixture of the router opening, loading and stepping tests: a board read
// through the ASCII reader, the current sweep edited in place and stored,
// the header's sweep number, the traces and the shell calls the router
// made.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "db/dbheader.h"
#include "db/layers.h"
#include "db/sweeps.h"
#include "headless/headless.h"
#include "routerfixture.h"

inline std::vector<std::string>& OpenTraces() {
    static std::vector<std::string> lines;
    return lines;
}
inline void OpenCollect(const char* text) {
    OpenTraces().emplace_back(text);
}

// Helpers shared by the fixtures of these tests.
struct OpenKit {
    // Edits the current sweep and stores it.
    static void EditSweep(const std::function<void(Sweep&)>& edit) {
        Sweep s;
        SweepGet(&s);
        edit(s);
        SweepPut(&s);
    }
    // A routing window of nx by ny grid points with the overlaps given.
    static void SetWindow(int32_t nx, int32_t ny, int32_t ox = 0, int32_t oy = 0) {
        EditSweep([&](Sweep& s) {
            s.box[0] = int16_t(nx);
            s.box[1] = int16_t(ny);
            s.box[2] = int16_t(ox);
            s.box[3] = int16_t(oy);
        });
    }
    // The header's current sweep number.
    static void SetSweepNumber(int32_t n) {
        DbHeader h;
        DbGetHeader(&h);
        h.sweep = uint8_t(n);
        DbPutHeader(&h);
    }
    static void SetLayerFlags(int32_t layer, uint16_t flags) {
        Layer l;
        LayerGet(layer, &l);
        l.flags = flags;
        LayerPut(layer, &l);
    }
    static bool ShellCalled(const std::string& line) {
        const auto& calls = HeadlessShellCalls();
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    }
    static bool Traced(const std::string& line) {
        const auto& t = OpenTraces();
        return std::find(t.begin(), t.end(), line) != t.end();
    }
    static void Trace(bool verbose) {
        g_verbose = verbose ? 1 : 0;
        DebugSetTraceReceiver(&OpenCollect);
    }
};

class UrOpenTest : public RouterTest, public OpenKit {
  protected:
    void SetUp() override {
        RouterTest::SetUp();
        OpenTraces().clear();
    }
};
