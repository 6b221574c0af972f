// copper-check end to end (run by the copper_check test, which names the
// checker, the driver and the board generator): the routed sample and a
// routed generated board are clean and every connection counted by the
// router is complete, the unrouted sample's gaps are opens; and faults
// injected into the routed sample are found, each named by the line it
// gives: a segment moved across another net's pad, a via moved onto
// another net's track, a via moved within the clearance of another net's
// track, a via taken from a layer change, a round and a square keep-out
// laid over a track, and a track moved off the board.
#include <cctype>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "db/comps.h"
#include "db/conns.h"
#include "db/dbheader.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/nets.h"
#include "db/obstacles.h"
#include "db/runopt.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "files/ascfiletest.h"
#include "support/driverrun.h"

namespace {

namespace fs = std::filesystem;

class CopperCheckE2eTest : public AscFileTest {
  protected:
    void SetUp() override {
        AscFileTest::SetUp();
        check = std::getenv("PLV_COPPER_CHECK");
        driver = std::getenv("PLV_RUN_DRIVER");
        gen = std::getenv("PLV_ROUTE_GEN");
        RunOptionsAlloc();
    }
    // copper-check on a file of the folder: its exit code, its lines in
    // *printed.
    int Check(const std::string& name, std::string* printed) {
        return RunProgram(check, QuotedPath(m_folder / name), m_folder / "check.txt", printed);
    }
    int Drive(const std::string& args, std::string* printed) {
        return RunProgram(driver, args, m_folder / "run.txt", printed);
    }
    // The figure after a label in the driver's output.
    // The number after a label ("route routed 59", not "route routed at
    // start 0").
    static std::string Figure(const std::string& printed, const std::string& label) {
        const std::string key = "\n" + label + " ";
        for (size_t at = printed.find(key); at != std::string::npos;
             at = printed.find(key, at + 1)) {
            const size_t from = at + key.size();
            if (from < printed.size() && std::isdigit(static_cast<unsigned char>(printed[from])))
                return printed.substr(from, printed.find('\n', from) - from);
        }
        return "";
    }
    // The sample routed by the driver into s.ZID.
    void RouteSample() {
        std::string printed;
        ASSERT_EQ(Drive("--route " + QuotedPath(SamplePath()) + " " + QuotedPath(m_folder / "s"),
                        &printed),
                  0)
            << printed;
        ASSERT_EQ(Figure(printed, "route completion %"), "100.0") << printed;
    }
    const char* check = nullptr;
    const char* driver = nullptr;
    const char* gen = nullptr;
};

// A line of the output holding every part, or "".
std::string LineWith(const std::string& printed, const std::vector<std::string>& parts) {
    std::istringstream in(printed);
    std::string line;
    while (std::getline(in, line)) {
        bool all = true;
        for (const std::string& p : parts) all = all && line.find(p) != std::string::npos;
        if (all) return line;
    }
    return "";
}

std::string NetName(int32_t net) {
    return NameText(NetRef(net)->name);
}

std::string PadName(int32_t comp, int32_t pin) {
    const Component* c = CompRef(comp);
    return std::string("pad ") + NameText(c->name) + "." + NameText(SymPinRef(c->symbol, pin)->name);
}

std::string Item(const char* kind, int32_t c, int32_t corner) {
    return std::string(kind) + " of " + NetName(ConnRef(c)->head.net) + " (connection " +
           std::to_string(c) + " corner " + std::to_string(corner) + ")";
}

// The net of the connections ending on a pin, 0 when none.
int32_t PinNet(int32_t comp, int32_t pin) {
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const ConnHead& h = ConnRef(c)->head;
        if ((h.fromComp == comp && h.fromPin == pin) || (h.toComp == comp && h.toPin == pin))
            return h.net;
    }
    return 0;
}

// A routed segment i..i + 1 of connection c clear of both ends, on a layer;
// false when none.
bool InnerSegment(int32_t* c, int32_t* i) {
    for (*c = 1; *c <= ConnCount(); ++*c) {
        const Conn* k = ConnRef(*c);
        for (*i = 1; *i + 2 < k->head.count; ++*i)
            if (k->crn[*i].layer != 0) return true;
    }
    return false;
}

// An inner via of connection c at corner i; false when none.
bool InnerVia(int32_t* c, int32_t* i) {
    for (*c = 1; *c <= ConnCount(); ++*c) {
        const Conn* k = ConnRef(*c);
        for (*i = 1; *i + 1 < k->head.count; ++*i)
            if (k->crn[*i].via && k->crn[*i].layer != k->crn[*i - 1].layer) return true;
    }
    return false;
}

// A routed segment (d, j) on the layer of a net other than net; false when
// none.
bool SegmentOfOtherNet(int32_t net, int32_t layer, int32_t* d, int32_t* j) {
    for (*d = 1; *d <= ConnCount(); ++*d) {
        const Conn* k = ConnRef(*d);
        if (k->head.net == net) continue;
        for (*j = 0; *j + 1 < k->head.count; ++*j)
            if (k->crn[*j].layer == layer) return true;
    }
    return false;
}

void MoveCorner(Conn* k, int32_t i, double dx, double dy) {
    k->crn[i].x += int32_t(std::lround(dx));
    k->crn[i].y += int32_t(std::lround(dy));
}

TEST_F(CopperCheckE2eTest, RoutedBoardsAreCleanAndTheirConnectionsComplete) {
    if (!check || !driver || !gen) GTEST_SKIP() << "run by the copper_check test";
    RouteSample();
    std::string printed;
    EXPECT_EQ(Check("s.ZID", &printed), 0) << printed;
    EXPECT_EQ(printed, "total shorts 0 clearance 0 opens 0 complete 7 of 7\n");
    // The ASCII output reads the same.
    EXPECT_EQ(Check("s.ASC", &printed), 0) << printed;
    EXPECT_EQ(printed, "total shorts 0 clearance 0 opens 0 complete 7 of 7\n");

    // The unrouted sample: its gaps are opens, its pre-routed connections
    // complete.
    std::filesystem::copy_file(SamplePath(), m_folder / "u.asc");
    EXPECT_EQ(Check("u.asc", &printed), 1);
    EXPECT_NE(printed.find("total shorts 0 clearance 0 opens 4 complete 3 of 7\n"),
              std::string::npos)
        << printed;
    EXPECT_NE(LineWith(printed, {"open: connection ", " of VCC from U1.8 to U2.8"}), "") << printed;

    // A generated board of the benchmark's kind.
    ASSERT_EQ(RunProgram(gen, "64 6 " + QuotedPath(m_folder / "g"), m_folder / "gen.txt"), 0);
    ASSERT_EQ(Drive("--route " + QuotedPath(m_folder / "g.ASC") + " " + QuotedPath(m_folder / "r"),
                    &printed),
              0);
    const std::string routed = Figure(printed, "route routed");
    EXPECT_EQ(routed, Figure(printed, "route connections"));
    EXPECT_EQ(Check("r.ZID", &printed), 0) << printed;
    EXPECT_EQ(printed,
              "total shorts 0 clearance 0 opens 0 complete " + routed + " of " + routed + "\n");
}

TEST_F(CopperCheckE2eTest, FaultsInjectedIntoARoutedDesignAreFound) {
    if (!check || !driver) GTEST_SKIP() << "run by the copper_check test";
    RouteSample();

    // Each fault: an edit of the loaded routed sample that answers the
    // parts of the line the check must give (empty when the sample offers
    // no place for it, a failure).
    struct Fault {
        const char* name;
        std::function<std::vector<std::string>()> inject;
    };
    const Fault faults[] = {
        {"a segment moved across another net's pad",
         [] {
             int32_t c = 0, i = 0;
             if (!InnerSegment(&c, &i)) return std::vector<std::string>{};
             Conn k;
             ConnGet(c, &k);
             const int32_t layer = k.crn[i].layer;
             for (int32_t comp = 1; comp <= CompCount(); ++comp)
                 for (int32_t pin = 1; pin <= SymPinCount(CompRef(comp)->symbol); ++pin) {
                     const int32_t net = PinNet(comp, pin);
                     PlacedPin p;
                     CompPinXY(comp, pin, &p);
                     if (!net || net == k.head.net || !PadstackOnLayer(p.thru, layer)) continue;
                     const double dx = p.x - (k.crn[i].x + k.crn[i + 1].x) / 2.0;
                     const double dy = p.y - (k.crn[i].y + k.crn[i + 1].y) / 2.0;
                     MoveCorner(&k, i, dx, dy);
                     MoveCorner(&k, i + 1, dx, dy);
                     ConnPut(c, &k);
                     return std::vector<std::string>{"short " + std::to_string(layer) + " ",
                                                     Item("segment", c, i),
                                                     PadName(comp, pin) + " of " + NetName(net)};
                 }
             return std::vector<std::string>{};
         }},
        {"a via moved onto another net's track",
         [] {
             int32_t c = 0, i = 0, d = 0, j = 0;
             if (!InnerVia(&c, &i)) return std::vector<std::string>{};
             Conn k;
             ConnGet(c, &k);
             const int32_t layer = k.crn[i].layer;
             if (!SegmentOfOtherNet(k.head.net, layer, &d, &j)) return std::vector<std::string>{};
             const Conn* o = ConnRef(d);
             MoveCorner(&k, i, (o->crn[j].x + o->crn[j + 1].x) / 2.0 - k.crn[i].x,
                        (o->crn[j].y + o->crn[j + 1].y) / 2.0 - k.crn[i].y);
             const std::vector<std::string> parts{"short " + std::to_string(layer) + " ",
                                                  Item("via", c, i), Item("segment", d, j)};
             ConnPut(c, &k);
             return parts;
         }},
        {"a via moved within the clearance of another net's track",
         [] {
             int32_t c = 0, i = 0, d = 0, j = 0;
             if (!InnerVia(&c, &i)) return std::vector<std::string>{};
             Conn k;
             ConnGet(c, &k);
             const int32_t layer = k.crn[i].layer;
             if (!SegmentOfOtherNet(k.head.net, layer, &d, &j)) return std::vector<std::string>{};
             const Conn* o = ConnRef(d);
             // Beside the track's middle, half the clearance away.
             const double ax = o->crn[j].x, ay = o->crn[j].y;
             const double bx = o->crn[j + 1].x, by = o->crn[j + 1].y;
             const double len = std::hypot(bx - ax, by - ay);
             const double clear = LayerRef(layer)->spacing[5];
             const double reach = ThruPadWord(k.crn[i].via, layer) +
                                  o->crn[j].width * DbHdr().connGrid / 2.0 + clear / 2;
             MoveCorner(&k, i, (ax + bx) / 2 - (by - ay) / len * reach - k.crn[i].x,
                        (ay + by) / 2 + (bx - ax) / len * reach - k.crn[i].y);
             const std::vector<std::string> parts{"clearance " + std::to_string(layer) + " ",
                                                  Item("via", c, i), Item("segment", d, j), " gap "};
             ConnPut(c, &k);
             return parts;
         }},
        {"a via taken from a layer change",
         [] {
             int32_t c = 0, i = 0;
             if (!InnerVia(&c, &i)) return std::vector<std::string>{};
             Conn k;
             ConnGet(c, &k);
             k.crn[i].via = 0;
             ConnPut(c, &k);
             return std::vector<std::string>{"open: connection " + std::to_string(c) + " of " +
                                             NetName(k.head.net)};
         }},
        {"a round keep-out laid over a track",
         [] {
             int32_t c = 0, i = 0;
             if (!InnerSegment(&c, &i)) return std::vector<std::string>{};
             const Conn* k = ConnRef(c);
             const int32_t cx = (k->crn[i].x + k->crn[i + 1].x) / 2;
             const int32_t cy = (k->crn[i].y + k->crn[i + 1].y) / 2;
             Obstacle ob{};
             ob.head.name = 0xFFFFFFFFu;
             ob.head.kind = kObsRouteKeepout;
             ob.head.net = kObsNoNet;
             ob.head.count = 3;
             ob.pt[0] = {cx + 1000, cy, 0, 0};
             ob.pt[1] = {cx, cy, kObsPtArcCcw, 0};
             ob.pt[2] = ob.pt[0];
             ObsPut(ObsAppend(), &ob);
             return std::vector<std::string>{"obstacle " + std::to_string(k->crn[i].layer) + " ",
                                             Item("segment", c, i), " inside Route keepout "};
         }},
        {"a square keep-out laid over a track",
         [] {
             int32_t c = 0, i = 0;
             if (!InnerSegment(&c, &i)) return std::vector<std::string>{};
             const Conn* k = ConnRef(c);
             const int32_t ax = k->crn[i].x, ay = k->crn[i].y;
             const int32_t bx = k->crn[i + 1].x, by = k->crn[i + 1].y;
             const int32_t x1 = std::min(ax, bx) - 1000, y1 = std::min(ay, by) - 1000;
             const int32_t x2 = std::max(ax, bx) + 1000, y2 = std::max(ay, by) + 1000;
             Obstacle ob{};
             ob.head.name = 0xFFFFFFFFu;
             ob.head.kind = kObsRouteKeepout;
             ob.head.layer = k->crn[i].layer;
             ob.head.net = kObsNoNet;
             ob.head.count = 4;
             ob.pt[0] = {x1, y1, 0, 0};
             ob.pt[1] = {x2, y1, 0, 0};
             ob.pt[2] = {x2, y2, 0, 0};
             ob.pt[3] = {x1, y2, 0, 0};
             ObsPut(ObsAppend(), &ob);
             return std::vector<std::string>{"obstacle " + std::to_string(k->crn[i].layer) + " ",
                                             Item("segment", c, i), " inside Route keepout "};
         }},
        {"a segment moved off the board",
         [] {
             int32_t c = 0, i = 0;
             if (!InnerSegment(&c, &i)) return std::vector<std::string>{};
             Conn k;
             ConnGet(c, &k);
             const double off = -2.0 * (DbHdr().extMaxX - DbHdr().extMinX);
             MoveCorner(&k, i, off, 0);
             MoveCorner(&k, i + 1, off, 0);
             ConnPut(c, &k);
             return std::vector<std::string>{"obstacle " + std::to_string(k.crn[i].layer) + " ",
                                             Item("segment", c, i), " outside Board outline "};
         }},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        ASSERT_EQ(LoadBin("s.ZID"), 1);
        const std::vector<std::string> parts = f.inject();
        ASSERT_FALSE(parts.empty()) << "the routed sample has no place for the fault";
        ASSERT_TRUE(SaveBin("f.ZID"));
        std::string printed;
        EXPECT_EQ(Check("f.ZID", &printed), 1) << printed;
        EXPECT_NE(LineWith(printed, parts), "") << parts[1] << "\n" << printed;
    }
}

} // namespace
