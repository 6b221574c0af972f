// The board view's zoom arithmetic: the whole-board fallback, the stored
// view, the scale and origin, the pixel lattice of a second zoom of the
// same size, the map area placed around the visible area, and the traces.
#include <climits>
#include <string>
#include <vector>

#include "db/dbheader.h"
#include "router/mzgrid.h"
#include "router/viewzoom.h"
#include "routerfixture.h"
#include "support/fatal.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

class ViewZoomTest : public RouterTest {
  protected:
    void SetUp() override {
        RouterTest::SetUp();
        ViewZoomTestReset();
        LoadBoard();
        SetBox(20, 10);
        DbHeader& h = DbHdr();
        h.extMinX = 0;
        h.extMinY = 0;
        h.extMaxX = 100000;
        h.extMaxY = 50000;
    }
    void TearDown() override {
        ViewZoomTestReset();
        RouterTest::TearDown();
    }
};

TEST_F(ViewZoomTest, WholeBoardFallbacks) {
    struct Case {
        const char* what;
        int32_t cx, cy, w, h;
        int32_t extMaxX, extMaxY; // board extent from 0, 0
        int32_t wantCx, wantCy, wantW, wantH;
    } cases[] = {
        {"width 0", 5, 5, 0, 100, 100000, 50000, 50000, 25000, 120000, 60000},
        {"height -1", 5, 5, 100, -1, 100000, 50000, 50000, 25000, 120000, 60000},
        {"centre INT_MAX", INT32_MAX, 5, 100, 100, 100000, 50000, 50000, 25000, 120000, 60000},
        {"no extent", 5, 5, 0, 0, 0, 0, 0, 0, 5000 * 1500, 5000 * 1500},
        {"flat board", 5, 5, 0, 0, 100000, 0, 50000, 0, 120000, 120000},
        {"negative centre", -7, -9, 3000, 2000, 100000, 50000, 0, 0, 3000, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DbHdr().extMaxX = c.extMaxX;
        DbHdr().extMaxY = c.extMaxY;
        ViewZoomCompute(c.cx, c.cy, c.w, c.h, 1000, 1000);
        EXPECT_EQ(DbHdr().centreX, c.wantCx);
        EXPECT_EQ(DbHdr().centreY, c.wantCy);
        EXPECT_EQ(DbHdr().width, c.wantW);
        EXPECT_EQ(DbHdr().height, c.wantH);
    }
}

TEST_F(ViewZoomTest, ScaleOriginVisibleAreaAndMapArea) {
    DbHdr().centreX = 11;
    DbHdr().width = 22;
    // Width decides: 30,000 / 600 = 50 beats 10,000 / 400 = 25.
    ViewMapping m = ViewZoomCompute(15000, 15000, 30000, 10000, 600, 400);
    EXPECT_EQ(m.scale, 50);
    EXPECT_EQ(m.originX, 15000 - 50 * 300);
    EXPECT_EQ(m.originY, 15000 - 50 * 200);
    EXPECT_EQ(m.visible[2], m.originX + 50 * 600);
    EXPECT_EQ(m.visible[3], m.originY + 50 * 400);
    EXPECT_EQ(ViewZoomPrevious().cx, 11);
    EXPECT_EQ(ViewZoomPrevious().width, 22);
    // The map area of 20 x 10 pitches of 1,500 around the visible centre.
    EXPECT_EQ(g_mzGrid.extent.minX, 0);
    EXPECT_EQ(g_mzGrid.extent.maxX, 30000);
    EXPECT_EQ(g_mzGrid.extent.minY, 6000);
    // Height decides; a view smaller than the content keeps scale 1.
    EXPECT_EQ(ViewZoomCompute(0, 0, 100, 9000, 1000, 1000).scale, 9);
    m = ViewZoomCompute(500, 500, 10, 10, 1000, 1000);
    EXPECT_EQ(m.scale, 1);
    EXPECT_EQ(m.originX, 0);
}

TEST_F(ViewZoomTest, SameSizeKeepsThePixelLattice) {
    ViewMapping a = ViewZoomCompute(15000, 15000, 30000, 30000, 1000, 1000);
    ASSERT_EQ(a.scale, 30);
    // Moved by 1,000: not a multiple of 30, so the origin goes back by 10.
    ViewMapping b = ViewZoomCompute(16000, 15000, 30000, 30000, 1000, 1000);
    EXPECT_EQ(b.originX, a.originX + 990);
    EXPECT_EQ((b.originX - a.originX) % 30, 0);
    EXPECT_EQ(b.originY, a.originY);
    // Another size: no correction.
    ViewMapping c = ViewZoomCompute(16000, 15000, 60000, 60000, 1000, 1000);
    EXPECT_EQ(c.originX, 16000 - 60 * 500);
}

TEST_F(ViewZoomTest, ViewWithoutSizeIsAnInternalError) {
    DbHdr().extMaxX = DbHdr().extMaxY = 0;
    DbHdr().routeGrid = 0;
    EXPECT_FATAL(ViewZoomCompute(0, 0, 0, 0, 1000, 1000), kErrViewHeight);
}

TEST_F(ViewZoomTest, TracesInUserUnits) {
    g_lines.clear();
    DebugSetTraceReceiver(&Collect);
    g_verbose = 1;
    ViewZoomCompute(-3000, 3000, 0, 3000, 1000, 1000);
    g_verbose = 0;
    DebugSetTraceReceiver(nullptr);
    ASSERT_GE(g_lines.size(), 5u);
    EXPECT_EQ(g_lines[0].rfind("ZoomTo: [", 0), 0u) << g_lines[0];
    EXPECT_EQ(g_lines[1].rfind("ZoomTo after adjust: [", 0), 0u) << g_lines[1];
    EXPECT_EQ(g_lines[2].rfind("Visible = [", 0), 0u) << g_lines[2];
    EXPECT_EQ(g_lines[3].rfind("Map = [", 0), 0u) << g_lines[3];
    EXPECT_EQ(g_lines[4].rfind("Box = [", 0), 0u) << g_lines[4];
}

} // namespace
