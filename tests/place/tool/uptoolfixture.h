// The placement tool's test fixture: two footprints (a two-pin part on both
// sides, one on the top side only), the recording host installed, the
// router's window over the board, and helpers that start the tool, place
// parts and read the journal.
#pragma once
#include <gtest/gtest.h>

#include "db/altjournal.h"
#include "db/dbextent.h"
#include "db/dbheader.h"
#include "db/lang.h"
#include "db/shellsvc.h"
#include "db/sweeps.h"
#include "place/plfixture.h"
#include "place/tool/placehost.h"
#include "place/tool/uptool.h"
#include "recordinghost.h"
#include "router/mzgrid.h"
#include "router/objvalidate.h"
#include "router/rulesvc.h"
#include "router/uralloc.h"
#include "router/urstate.h"
#include "rules/rulesinstall.h"

class UpToolFixture : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        LangInit();
        SetHeader(1, 1000, 0, 0);
        PlaceHostInstall(&host);
        g_up = UpToolState{};
        g_upAlloc = kDefaultAlloc;
        g_mzGrid.window = MzBox{0, 0, 100000, 100000};
        two = RowSymbol("TWO", 2, 1000, both);
        topOnly = RowSymbol("TOP", 2, 1000, top);
    }
    void TearDown() override {
        RouterTestReset();
        RuleServicesInstall(nullptr);
        UpRelease();
        g_debug = 0;
        g_mzGrid.window = MzBox{};
        PlaceHostInstall(nullptr);
        PlaceTest::TearDown();
    }
    // Opens the router over the square board of the given side, its
    // objects loaded.
    void OpenRouter(int32_t side) {
        DbExtent();
        DbHeader h;
        DbGetHeader(&h);
        h.sweep = 0;
        DbPutHeader(&h);
        Sweep& sweep = *SweepSlot(0);
        sweep.box[0] = sweep.box[1] = 100;
        sweep.box[2] = sweep.box[3] = 0;
        RulesInstall();
        ASSERT_EQ(UrAlloc(), 1);
        ZoomTo(side / 2, side / 2, side, side);
        ASSERT_EQ(UrObjValidate(1), 1);
    }
    // Starts the tool in the view.
    void Start(int32_t view = kViewDesign) {
        host.window.WindowKind = view;
        ASSERT_EQ(UpInit(), 1);
        host.Take();
    }
    static Component Stored(int32_t c) {
        Component r;
        AltSave(kRecComponent, c, &r);
        return r;
    }
    static AltItemHeader ItemOf(int32_t type, int32_t index) {
        AltItemHeader h{};
        for (int32_t n = 1; n <= AltCount(); ++n) {
            UpItem(n, &h);
            if (h.type == type && h.index == index) return h;
        }
        return AltItemHeader{};
    }
    int32_t Place(int32_t symbol, int32_t x, int32_t y, uint16_t flags = 0, int32_t angle = 0) {
        Part p;
        p.x = x;
        p.y = y;
        p.flags = flags;
        p.angle = angle;
        return AddPart(symbol, p);
    }
    static inline const UpAllocProc kDefaultAlloc = g_upAlloc;
    RecordingPlaceHost host;
    PlaceToolDriver driver{host};
    int32_t two = 0, topOnly = 0;
};
