// Fixture of the router tests: a small ASCII board read through the reader,
// its extent and validation, and the router's state reset around each test.
#pragma once
#include <string>

#include "db/dbextent.h"
#include "files/asctest.h"
#include "router/mzinit.h"
#include "router/maparea.h"
#include "router/urstate.h"

// Two layers with all spacings 600, one via type (a round pad of radius 300
// on both layers), one padstack and a two-pin footprint.
inline const char kRouterLibrary[] =
    "*Layer 1 \"TOP\" Space 600 600 600\r\n"
    "*Layer 2 \"BOTTOM\" Space 600 600 600\r\n"
    "*VIA 1 \"V\" Layer=1 SHAPE=ROUND W:600 Layer=2 SHAPE=ROUND W:600\r\n"
    "*THRU 1 \"P\" Layer=1 SHAPE=ROUND W:3600 Layer=2 SHAPE=ROUND W:3600\r\n"
    "*SYMBOL 1 \"TWO\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [6000, 0] Thru=1\r\n";

class RouterTest : public AscTest {
  protected:
    void SetUp() override {
        AscTest::SetUp();
        RouterTestReset();
    }
    void TearDown() override {
        RouterTestReset();
        AscTest::TearDown();
    }

    // Reads the library and the body with the header lines given (two
    // layers, grid 1,500 by default); the design is then validated.
    void LoadBoard(const std::string& body = "",
                   const std::string& header = "*LAYER 2\r\n*GRID 1500\r\n") {
        int32_t errors = -1;
        ASSERT_EQ(Read(File(kRouterLibrary + body, header), &errors), 1);
        std::string log;
        for (const std::string& m : Messages())
            log += m + "\n";
        ASSERT_EQ(errors, 0) << log;
        DbExtent();
        DbValidate();
    }

    // Opens the router memory over a window centred on (cx, cy) with the
    // maze active (the current sweep's BOX gives its size).
    int32_t OpenMaze(int32_t cx = 0, int32_t cy = 0, int32_t full = 1) {
        UrAllocRecords();
        g_router.mazeNeeded = 1;
        MapAreaCompute(cx, cy, cx, cy);
        return mzInit(full);
    }

    // Sets the current sweep's window size (BOX words 1 and 2).
    static void SetBox(int32_t nx, int32_t ny);
};

#include "db/sweeps.h"
inline void RouterTest::SetBox(int32_t nx, int32_t ny) {
    Sweep s;
    SweepGet(&s);
    s.box[0] = int16_t(nx);
    s.box[1] = int16_t(ny);
    SweepPut(&s);
}
