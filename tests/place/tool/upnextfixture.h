// Fixture of the next-component, criteria, cluster and view-dialog tests:
// the placement fixture with the recording host installed, the tool
// started in the Design view, and helpers that add components and read
// them through the journal.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "place/plfixture.h"
#include "place/plmodel.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "recordinghost.h"
#include "router/mzgrid.h"

class UpNextTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        LangInit();
        SetHeader(1, 1000, 0, 0);
        PlaceHostInstall(&host);
        g_up = UpToolState{};
        g_mzGrid.window = MzBox{0, 0, 100000, 100000};
        two = RowSymbol("TWO", 2, 1000, both);
    }
    void TearDown() override {
        UpRelease();
        g_debug = 0;
        g_mzGrid.window = MzBox{};
        PlaceHostInstall(nullptr);
        PlaceTest::TearDown();
    }
    // The tool started in the Design view.
    void Start() {
        ASSERT_EQ(UpInit(), 1);
        host.Take();
    }
    // The component as the journal sees it.
    static const Component& Seen(int32_t c) { return *PlCompRef(c); }
    // A component of the symbol at (x, y) with the flags and cluster master.
    int32_t Place(int32_t symbol, int32_t x, int32_t y, uint16_t flags = 0, int16_t master = 0) {
        Part p{x, y};
        p.flags = flags;
        p.master = master;
        return AddPart(symbol, p);
    }
    // The lines of the host that start with the prefix.
    std::vector<std::string> LinesOf(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : host.lines)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
    // The number of items of the last committed journal.
    static int32_t LastCommitItems() {
        if (!AltCanUndo()) return 0;
        AltUndo();
        const int32_t n = AltCount();
        AltPop(false);
        return n;
    }
    RecordingPlaceHost host;
    PlaceToolDriver driver{host};
    int32_t two = 0;
};
