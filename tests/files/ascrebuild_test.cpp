// The rebuild after a read with *SEG elements: a net's *NET connections and
// its *SEG copper are ordered together, copper that reaches no pin is kept
// with free ends and reported, and what the rebuild makes survives both
// file formats.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ascfiletest.h"
#include "db/chains.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/names.h"
#include "db/nets.h"

namespace {

class AscRebuildTest : public AscFileTest {
  protected:
    void TearDown() override {
        ChainSetKeepAll(false);
        AscFileTest::TearDown();
    }
    // The sample's header, strategies, layers, padstacks, symbols and
    // components, then body in place of its nets and everything after.
    // U1 is a DIP8 at [60000, 110000]: pin 2 at [60000, 104000], pin 7 at
    // [78000, 104000], pin 8 at [78000, 110000], round pads of 3,600 on
    // both layers.
    static std::string Design(const std::string& body) {
        std::string sample = Slurp(SamplePath());
        size_t nets = sample.find("*Net");
        return sample.substr(0, nets) + body + "\r\n*END\r\n";
    }
    // The sample's library alone (no components), then body.
    static std::string Library(const std::string& body) {
        std::string sample = Slurp(SamplePath());
        size_t comps = sample.find("*COMP");
        return sample.substr(0, comps) + body + "\r\n*END\r\n";
    }
    // Writes text as name in the folder and loads it.
    int32_t LoadText(const char* name, const std::string& text, int32_t* errors = nullptr) {
        {
            std::ofstream f(m_folder / name, std::ios::binary);
            f << text;
        }
        return LoadAsc(name, errors);
    }
    static std::string EndName(int32_t comp, int32_t pin) {
        if (comp == 0) return "NODE";
        return std::string(NameText(CompRef(comp)->name)) + "." + std::to_string(pin);
    }
    // A connection as "from>to:" and the layer of each segment, with a "V"
    // for each corner with a via; of the two directions the one that sorts
    // first.
    static std::string Describe(const Conn* c) {
        const ConnHead& h = c->head;
        const int32_t count = h.count;
        std::string ahead = EndName(h.fromComp, h.fromPin) + ">" + EndName(h.toComp, h.toPin) + ":";
        std::string back = EndName(h.toComp, h.toPin) + ">" + EndName(h.fromComp, h.fromPin) + ":";
        for (int32_t i = 0; i < count; ++i) {
            if (c->crn[i].via) ahead += "V";
            if (i + 1 < count) ahead += std::to_string(c->crn[i].layer);
            int32_t j = count - 1 - i;
            if (c->crn[j].via) back += "V";
            if (j > 0) back += std::to_string(c->crn[j - 1].layer);
        }
        return std::min(ahead, back);
    }
    // The connections of the net named, described and sorted.
    static std::vector<std::string> NetConns(const char* net) {
        std::vector<std::string> out;
        for (int32_t c = NetConnFirst(NetFind(net)); c; c = NetConnNext(c))
            out.push_back(Describe(ConnRef(c)));
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::vector<uint8_t> ConnBytes(int32_t n) {
        const Conn* c = ConnRef(n);
        const uint8_t* at = reinterpret_cast<const uint8_t*>(c);
        return std::vector<uint8_t>(at,
                                    at + sizeof(ConnHead) + size_t(c->head.count) * sizeof(Crn));
    }
    // Saves the loaded design in both formats and loads each back: the
    // same dump every time.
    void RoundTrips() {
        std::string first = Dump();
        std::string written = Write("w.asc");
        ASSERT_TRUE(SaveBin("r.zid"));
        ASSERT_EQ(LoadBin("r.zid"), 1);
        std::string second = Dump();
        EXPECT_TRUE(DumpsEqual(first, second)) << DiffFields(first, second);
        EXPECT_TRUE(Write("b.asc") == written);
        Write("r.asc");
        int32_t errors = -1;
        ASSERT_EQ(LoadAsc("r.asc", &errors), 1);
        EXPECT_EQ(errors, 0) << Slurp(m_folder / "Pelvane.Log");
        std::string third = Dump();
        EXPECT_TRUE(DumpsEqual(first, third)) << DiffFields(first, third);
    }
};

const char kCopperNoPins[] = "*SEG: net N has copper but fewer than 2 pins";

TEST_F(AscRebuildTest, NetConnectionsAndSegmentCopperAreOrderedTogether) {
    // A second net with a *SEG of its own, so that every variant runs the
    // rebuild.
    const std::string other = "*SEG \"M\" W:15 P: U1.3 P: U1.6\r\n";
    struct Case {
        const char* name;
        std::string body;
        std::vector<std::string> conns;
        bool message;
    } cases[] = {
        {"run from pin to pin, no P:",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [60000, 104000] [78000, 104000]\r\n",
         {"U1.2>U1.7:1"},
         false},
        {"run ending 1 unit off the pin, inside the pad",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [60000, 104000] [77999, 104000]\r\n",
         {"U1.2>U1.7:11"},
         false},
        {"two runs joined by a via",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [60000, 104000] [69000, 104000] V:1 [69000, 104000] "
         "L:2 [69000, 104000] [78000, 104000]\r\n",
         {"U1.2>U1.7:1V2"},
         false},
        {"P: items and the run",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 P: U1.2 P: U1.7 L:1 [60000, 104000] [78000, 104000]\r\n",
         {"U1.2>U1.7:1"},
         false},
        {"routed *NET and no *SEG of its own",
         "*NET \"N\" W:15\r\n   U1.2 L:1 [69000,100000] U1.7\r\n",
         {"U1.2>U1.7:11"},
         false},
        {"run with no pins anywhere",
         "*SEG \"N\" W:15 L:1 [100000, 20000] [120000, 20000] [120000, 30000]\r\n",
         {"NODE>NODE:11"},
         true},
        {"runs and vias with no pins anywhere",
         "*SEG \"N\" W:15 V:1 [100000, 20000] L:1 [100000, 20000] [120000, 20000] "
         "L:2 [120000, 20000] [130000, 20000] V:1 [130000, 20000] V:1 [120000, 20000]\r\n",
         {"NODE>NODE:V1V2V"},
         true},
        {"run stopping half way",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [60000, 104000] [69000, 104000]\r\n",
         {"U1.2>U1.7:10"},
         false},
        {"an island that reaches no pin",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [65000, 120000] [70000, 120000]\r\n",
         {"NODE>NODE:1", "U1.2>U1.7:0"},
         true},
        {"a stub off the run",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n"
         "*SEG \"N\" W:15 L:1 [60000, 104000] [69000, 104000] [78000, 104000] "
         "L:1 [69000, 104000] [69000, 95000]\r\n",
         {"NODE>NODE:1", "U1.2>U1.7:11"},
         true},
        {"a lone via, which no connection can hold",
         "*SEG \"N\" W:15 V:1 [100000, 20000]\r\n",
         {},
         true},
        {"three pins, copper joining two",
         "*NET \"N\" W:15\r\n   U1.2 U1.7\r\n   U1.7 U1.8\r\n"
         "*SEG \"N\" W:15 L:2 [60000, 104000] [78000, 104000]\r\n",
         {"U1.2>U1.7:2", "U1.7>U1.8:0"},
         false},
    };
    // Both as the File menu opens a design (the keep-all switch set) and
    // as other loads do.
    for (bool keepAll : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (keepAll ? ", keep-all" : ""));
            ChainSetKeepAll(keepAll);
            std::filesystem::remove(m_folder / "Pelvane.Log");
            int32_t errors = -1;
            ASSERT_EQ(LoadText("d.asc", Design(c.body + other), &errors), 1);
            EXPECT_EQ(NetConns("N"), c.conns);
            EXPECT_EQ(NetConns("M"), std::vector<std::string>{"U1.3>U1.6:0"});
            std::vector<std::string> m = Messages();
            EXPECT_EQ(std::count(m.begin(), m.end(), kCopperNoPins), c.message ? 1 : 0);
            EXPECT_EQ(errors, c.message ? 1 : 0);
            RoundTrips();
        }
    // A net without nodes keeps its connection as read, corner by corner.
    const char* routed = "*NET \"N\" W:15\r\n   U1.2 L:1 [69000,100000] U1.7\r\n";
    ASSERT_EQ(LoadText("d.asc", Design(routed)), 1);
    ASSERT_EQ(ConnCount(), 1);
    std::vector<uint8_t> alone(ConnBytes(1));
    ASSERT_EQ(LoadText("d.asc", Design(routed + other)), 1);
    EXPECT_EQ(ConnBytes(NetConnFirst(NetFind("N"))), alone);
}

// Parts placed in rows, every pair of pins in a row's chain routed with a
// straight run in *SEG and listed in *NET: every connection loads routed,
// and the design goes through both formats unchanged.
TEST_F(AscRebuildTest, ARoutedDesignOfHundredsOfConnectionsLoadsRouted) {
    constexpr int kRows = 7, kColumns = 8;
    std::string comps, nets;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            comps += "*COMP G" + std::to_string(r * kColumns + c) + " [" +
                     std::to_string(10000 + 30000 * c) + ", " + std::to_string(170000 - 24000 * r) +
                     "] Symbol=2\r\n";
    int expected = 0;
    for (int r = 0; r < kRows; ++r)
        for (int k = 1; k <= 4; ++k) {
            // DIP8: pin k on the left and pin 9 - k on the right share a row.
            const std::string name = "\"R" + std::to_string(r) + "K" + std::to_string(k) + "\"";
            const int y = 170000 - 24000 * r - 6000 * (k - 1);
            const std::string layer = std::to_string(k % 2 ? 1 : 2);
            std::string conns, runs;
            std::string lastPin;
            int lastX = 0;
            for (int c = 0; c < kColumns; ++c) {
                const std::string comp = "G" + std::to_string(r * kColumns + c);
                const int left = 10000 + 30000 * c;
                const std::pair<std::string, int> pins[2] = {
                    {comp + "." + std::to_string(k), left},
                    {comp + "." + std::to_string(9 - k), left + 18000}};
                for (const auto& pin : pins) {
                    if (!lastPin.empty()) {
                        conns += "   " + lastPin + " " + pin.first + "\r\n";
                        runs += " L:" + layer + " [" + std::to_string(lastX) + ", " +
                                std::to_string(y) + "] [" + std::to_string(pin.second) + ", " +
                                std::to_string(y) + "] &\r\n";
                        ++expected;
                    }
                    lastPin = pin.first;
                    lastX = pin.second;
                }
            }
            nets += "*NET " + name + " W:15\r\n" + conns + "*SEG " + name + " W:15 &\r\n" + runs +
                    "\r\n";
        }
    int32_t errors = -1;
    ASSERT_EQ(LoadText("g.asc", Library(comps + nets), &errors), 1);
    EXPECT_EQ(errors, 0) << Slurp(m_folder / "Pelvane.Log");
    EXPECT_EQ(expected, 420);
    ASSERT_EQ(ConnCount(), expected);
    for (int32_t c = 1; c <= ConnCount(); ++c) {
        const Conn* r = ConnRef(c);
        ASSERT_EQ(r->head.count, 2) << Describe(r);
        EXPECT_NE(r->crn[0].layer, 0) << Describe(r);
        EXPECT_NE(r->head.fromComp, 0);
        EXPECT_NE(r->head.toComp, 0);
    }
    RoundTrips();
}

} // namespace
