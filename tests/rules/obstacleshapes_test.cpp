// Every obstacle shape the reader takes, seen alike by the router, the
// installation check and the full check: a table of route keep-outs (a
// circle in its three-point form, an outline of arcs, a slanted polygon, a
// rectangle; owned by the board or by a symbol; on layer 1, layer 2 or every
// layer), each standing across the straight line between the two pins of
// one net. Routed, the copper keeps its clearance from the exact shape on
// every layer the obstacle covers, and the full check on the result finds
// nothing; with a track laid through it, the full check marks it, the
// connection check fails it and the installation check refuses the change,
// on the obstacle's layers only.
#include <cmath>
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/markers.h"
#include "db/runopt.h"
#include "e2e/openboard.h"
#include "headless/checkstand.h"
#include "headless/rundrive.h"
#include "router/objtable.h"
#include "router/openfixture.h"
#include "router/sweeprun.h"
#include "router/uralloc.h"
#include "rules/autocheck.h"
#include "rules/drcboard.h"
#include "rules/drcconn.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"
#include "rules/rulesinstall.h"

namespace {

enum : int32_t {
    kCell = 40000,    // the cases stand this far apart
    kPinSpan = 24000, // pin 1 to pin 2 of a case's part
    kRadius = 3000,   // the circle's radius and the other shapes' reach
    kTrackOff = 1000, // a through-track runs this far beside the obstacle's centre
    kSamples = 1440,  // points of an exact outline's sampling
    kSpacing = 600,   // every spacing of the router library
    kObsWidth = 254,  // the keep-outs' line width
    kLetGo = 30026,
};

enum class Shape { Circle, Arcs, Polygon, Rectangle };

struct Case {
    Shape shape;
    bool inSymbol;
    int32_t obsLayer;   // 0 every layer
    int32_t trackLayer; // the layer of the track laid through it
    int32_t x, y;       // pin on the left; the obstacle stands at x + kPinSpan / 2
    int32_t symbol;     // the symbol the part uses
    std::string name;
};

const char* ShapeName(Shape s) {
    switch (s) {
    case Shape::Circle:
        return "circle";
    case Shape::Arcs:
        return "arcs";
    case Shape::Polygon:
        return "polygon";
    case Shape::Rectangle:
        return "rectangle";
    }
    return "?";
}

struct Pt {
    int32_t x, y;
    const char* arc; // "N", "CW" or "CCW"
};

// The shape's points about its centre (every shape is symmetric about its
// centre, so a part turned by 180 degrees carries the same outline).
std::vector<Pt> ShapePoints(Shape s) {
    const int32_t r = kRadius, l = kRadius / 2;
    switch (s) {
    case Shape::Circle:
        return {{r, 0, "N"}, {0, 0, "CCW"}, {r, 0, "N"}};
    case Shape::Arcs: // a slot: two half circles joined by straight sides
        return {{-l, -r + l, "N"}, {l, -r + l, "N"}, {l, 0, "CCW"},    {l, r - l, "N"},
                {-l, r - l, "N"},  {-l, 0, "CCW"},   {-l, -r + l, "N"}};
    case Shape::Polygon:
        return {{-r, 0, "N"}, {-l, -2600, "N"}, {l, -2600, "N"},
                {r, 0, "N"},  {l, 2600, "N"},   {-l, 2600, "N"}};
    case Shape::Rectangle:
        return {{-2500, -2500, "N"}, {2500, -2500, "N"}, {2500, 2500, "N"}, {-2500, 2500, "N"}};
    }
    return {};
}

// The exact outline about its centre, finely sampled and closed.
std::vector<std::pair<double, double>> ExactOutline(Shape s) {
    std::vector<std::pair<double, double>> out;
    const double pi = 3.14159265358979323846;
    auto arc = [&](double cx, double cy, double rad, double a0, double a1) {
        for (int32_t k = 0; k <= kSamples / 2; ++k) {
            const double a = a0 + (a1 - a0) * k / (kSamples / 2);
            out.emplace_back(cx + rad * std::cos(a), cy + rad * std::sin(a));
        }
    };
    const double l = kRadius / 2;
    switch (s) {
    case Shape::Circle:
        arc(0, 0, kRadius, 0, pi);
        arc(0, 0, kRadius, pi, 2 * pi);
        break;
    case Shape::Arcs:
        arc(l, 0, double(kRadius) - l, -pi / 2, pi / 2);
        arc(-l, 0, double(kRadius) - l, pi / 2, 3 * pi / 2);
        break;
    default:
        for (const Pt& p : ShapePoints(s))
            out.emplace_back(p.x, p.y);
        break;
    }
    out.push_back(out.front());
    return out;
}

double SegSegDistance(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                      double dy) {
    auto ptSeg = [](double px, double py, double x1, double y1, double x2, double y2) {
        const double vx = x2 - x1, vy = y2 - y1, len = vx * vx + vy * vy;
        double t = len > 0 ? ((px - x1) * vx + (py - y1) * vy) / len : 0;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        return std::hypot(px - (x1 + t * vx), py - (y1 + t * vy));
    };
    auto cross = [](double ox, double oy, double px, double py, double qx, double qy) {
        return (px - ox) * (qy - oy) - (py - oy) * (qx - ox);
    };
    const double d1 = cross(ax, ay, bx, by, cx, cy), d2 = cross(ax, ay, bx, by, dx, dy);
    const double d3 = cross(cx, cy, dx, dy, ax, ay), d4 = cross(cx, cy, dx, dy, bx, by);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return 0;
    return std::min(std::min(ptSeg(ax, ay, cx, cy, dx, dy), ptSeg(bx, by, cx, cy, dx, dy)),
                    std::min(ptSeg(cx, cy, ax, ay, bx, by), ptSeg(dx, dy, ax, ay, bx, by)));
}

bool InsideOutline(const std::vector<std::pair<double, double>>& o, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = o.size() - 1; i < o.size(); j = i++) {
        const auto [xi, yi] = o[i];
        const auto [xj, yj] = o[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

// The least distance from the segment to the exact shape standing at
// (cx, cy): 0 when it touches or enters it.
double ShapeDistance(Shape s, int32_t cx, int32_t cy, const Crn& a, const Crn& b) {
    const auto o = ExactOutline(s);
    const double ax = a.x - cx, ay = a.y - cy, bx = b.x - cx, by = b.y - cy;
    if (InsideOutline(o, ax, ay) || InsideOutline(o, bx, by)) return 0;
    double best = 1e18;
    for (size_t i = 0; i + 1 < o.size(); ++i)
        best = std::min(best, SegSegDistance(ax, ay, bx, by, o[i].first, o[i].second,
                                             o[i + 1].first, o[i + 1].second));
    return best;
}

// Every shape x owner x obstacle layer x track layer, in a grid of cells.
std::vector<Case> Cases() {
    std::vector<Case> out;
    int32_t symbol = 2, k = 0;
    for (Shape s : {Shape::Circle, Shape::Arcs, Shape::Polygon, Shape::Rectangle})
        for (bool inSymbol : {false, true})
            for (int32_t obsLayer : {1, 2, 0}) {
                const int32_t sym = inSymbol ? ++symbol : 2;
                for (int32_t track : {1, 2}) {
                    Case c{s, inSymbol, obsLayer, track, 0, 0, sym, ""};
                    c.x = 10000 + (k % 6) * kCell;
                    c.y = 10000 + (k / 6) * kCell;
                    c.name = std::string(ShapeName(s)) +
                             (inSymbol ? " in a symbol" : " on the board") + " on layer " +
                             std::to_string(obsLayer) + ", track on layer " + std::to_string(track);
                    out.push_back(c);
                    ++k;
                }
            }
    return out;
}

std::string ObsLines(const Case& c, int32_t cx, int32_t cy, const std::string& owner) {
    std::string s = "*OBS TEXT " + owner + " L:" + std::to_string(c.obsLayer) +
                    " W:" + std::to_string(kObsWidth) + " NONET\r\n";
    const auto pts = ShapePoints(c.shape);
    for (size_t i = 0; i < pts.size(); ++i)
        s += "    [" + std::to_string(cx + pts[i].x) + ", " + std::to_string(cy + pts[i].y) +
             "] ARC: " + pts[i].arc + " CRNW: 0" + (i + 1 < pts.size() ? " &\r\n" : "\r\n");
    return s;
}

// The board of the cases: part K<n> with its two pins on net N<n>; a part
// whose symbol carries the obstacle is turned by 180 degrees, so its pin 2
// is the left one. With `through`, each net is laid as a track on its
// case's track layer that runs kTrackOff beside the obstacle's centre.
std::string Board(const std::vector<Case>& cases, bool through) {
    std::string symbols = "*SYMBOL 2 \"PAIR\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [" +
                          std::to_string(kPinSpan) + ", 0] Thru=1\r\n";
    std::string comps, nets, obs;
    int32_t lastSymbol = 2;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string n = std::to_string(i + 1);
        const int32_t cx = c.x + kPinSpan / 2, cy = c.y;
        if (c.inSymbol && c.symbol > lastSymbol) {
            lastSymbol = c.symbol;
            symbols += "*SYMBOL " + std::to_string(c.symbol) + " \"KEEP" +
                       std::to_string(c.symbol) + "\" 1 \"1\" [0, 0] Thru=1 2 \"2\" [" +
                       std::to_string(kPinSpan) + ", 0] Thru=1\r\n";
            obs += ObsLines(c, kPinSpan / 2, 0, "Sym= " + std::to_string(c.symbol));
        }
        if (c.inSymbol) {
            comps += "*COMP K" + n + " [" + std::to_string(c.x + kPinSpan) + ", " +
                     std::to_string(c.y) + "] Rot=180[00] Symbol=" + std::to_string(c.symbol) +
                     " ROUTE\r\n";
        } else {
            comps += "*COMP K" + n + " [" + std::to_string(c.x) + ", " + std::to_string(c.y) +
                     "] Rot=0[00] Symbol=2 ROUTE\r\n";
            obs += ObsLines(c, cx, cy, "");
        }
        const std::string left = "K" + n + (c.inSymbol ? ".2" : ".1");
        const std::string right = "K" + n + (c.inSymbol ? ".1" : ".2");
        nets += "*Net  \"N" + n + "\" W:10 MIN:10 ZID:10 WT:50\r\n   " + left;
        if (through) {
            const int32_t y = cy + kTrackOff;
            nets += " L:" + std::to_string(c.trackLayer) + " [" + std::to_string(c.x + 6000) + "," +
                    std::to_string(y) + "] [" + std::to_string(c.x + kPinSpan - 6000) + "," +
                    std::to_string(y) + "]";
        }
        nets += " " + right + "\r\n";
    }
    return symbols + comps + obs + nets;
}

bool Covers(const Case& c, int32_t layer) {
    return c.obsLayer == 0 || c.obsLayer == layer;
}

// The case's connection (the one whose ends are on its part).
int32_t ConnOf(size_t i) {
    for (int32_t n = 1; n <= ConnCount(); ++n)
        if (ConnRef(n)->head.fromComp == int32_t(i + 1)) return n;
    return 0;
}

class ObstacleShapesTest : public UrOpenTest {
  protected:
    void SetUp() override {
        UrOpenTest::SetUp();
        RulesInstall();
        RunOptionsAlloc();
        HeadlessCheckShellReset();
        CheckOptions = 0;
    }
    void TearDown() override {
        if (ToolEventHook) ToolEventHook(kLetGo);
        UrClose();
        RuleServicesInstall(nullptr);
        UrOpenTest::TearDown();
    }
    // The check sweep over the whole board; answers the markers.
    static std::vector<ErrorMarker> CheckRun() {
        autoBoard();
        autoCheck(0, 1);
        HeadlessDriveRun(nullptr, nullptr);
        std::vector<ErrorMarker> out;
        for (int32_t n = 1; n <= MarkerCount(); ++n) {
            ErrorMarker m;
            MarkerGet(n, &m);
            out.push_back(m);
        }
        return out;
    }
    static bool InCell(const ErrorMarker& m, const Case& c) {
        return m.x >= c.x - kCell / 4 && m.x <= c.x + kPinSpan + kCell / 4 &&
               m.y >= c.y - kCell / 4 && m.y <= c.y + kCell / 4;
    }
};

TEST_F(ObstacleShapesTest, TheRouterKeepsClearOfEveryShapeAndTheCheckAgrees) {
    const auto cases = Cases();
    LoadBoard(Board(cases, false));
    ASSERT_EQ(SweepRunCommand(kCmdStartSweepRouter), 1);
    HeadlessDriveRun(
        [](int32_t command, void*) {
            if (command == kCmdResumeSweepRouter) autoResume();
        },
        nullptr);
    const int32_t slack = 2 * std::max<int32_t>(DbHdr().userUnit, 1);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const int32_t n = ConnOf(i);
        ASSERT_GT(n, 0);
        const Conn* conn = ConnRef(n);
        for (int32_t k = 0; k + 1 < conn->head.count; ++k) {
            const Crn &a = conn->crn[k], &b = conn->crn[k + 1];
            ASSERT_NE(int32_t(a.layer), 0) << "corner " << k << " left unrouted";
            if (!Covers(c, a.layer)) continue;
            const double need = HalfWidth(a) + kSpacing + kObsWidth / 2 - slack;
            EXPECT_GE(ShapeDistance(c.shape, c.x + kPinSpan / 2, c.y, a, b), need)
                << "segment " << k << " on layer " << int(a.layer) << " from (" << int32_t(a.x)
                << ", " << int32_t(a.y) << ") to (" << int32_t(b.x) << ", " << int32_t(b.y) << ")";
        }
    }
    for (const ErrorMarker& m : CheckRun())
        ADD_FAILURE() << "marker type " << int(m.type) << " at (" << m.x << ", " << m.y << ")";
}

TEST_F(ObstacleShapesTest, ATrackThroughEveryShapeIsFoundByEveryCheck) {
    const auto cases = Cases();
    LoadBoard(Board(cases, true));
    // the full check
    const auto markers = CheckRun();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t found = 0;
        for (const ErrorMarker& m : markers)
            if (InCell(m, c)) {
                ++found;
                EXPECT_EQ(m.type, kErrKindRouteSpacing);
                EXPECT_EQ(m.layer, c.trackLayer);
            }
        EXPECT_EQ(found > 0, Covers(c, c.trackLayer)) << found << " markers";
    }
    EXPECT_EQ(DbHdr().sweep, 0);
    UrClose();
    // the connection check and the installation check, the router open
    // over the whole board
    OpenRouterOverBoard();
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const int32_t n = ConnOf(i);
        ASSERT_GT(n, 0);
        int32_t entry = 0;
        for (int32_t e = 2; e <= ObjCount(); ++e)
            if (ObjEntry(e)->type == kObjConn && ObjEntry(e)->index == n) entry = e;
        ASSERT_GT(entry, 0);
        const Conn* conn = ConnRef(n);
        {
            DrcModeScope fail(kDrcFail);
            EXPECT_EQ(DrcCheckConn(entry, conn, 0, conn->head.count - 1),
                      Covers(c, c.trackLayer) ? 0 : 1);
        }
        // the through-track moved 200 units along the obstacle
        Conn moved = *conn;
        moved.crn[1].y += 200;
        moved.crn[2].y += 200;
        AltPush();
        AltPut(kRecConn, n, 0, &moved);
        EXPECT_EQ(DrcCheckAlt(0), Covers(c, c.trackLayer) ? 0 : 1);
        AltPop(false);
    }
}

} // namespace
