// The layers of the default sweeps: a design of one or two layers keeps the
// defaults; a design of more layers gets sweeps of at most two used layers,
// the outer pair first and then each inner layer beside a component side,
// and a strategy section that names its layers keeps them.
#include <set>
#include <string>

#include "asctest.h"
#include "db/sweeps.h"
#include "files/stratlayers.h"

namespace {

using Layers = std::set<int32_t>;

class StratLayersTest : public AscTest {
  protected:
    static Sweep SweepOf(int32_t n) {
        uint8_t saved = DbHdr().sweep;
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        DbHdr().sweep = saved;
        return s;
    }
    static Layers Enabled(const Sweep& s) {
        Layers out;
        for (int32_t l = 0; l <= kMaxLayers; ++l)
            if (s.enable[l]) out.insert(l);
        return out;
    }
    static bool HasOpenPass(const Sweep& s) {
        for (int32_t p = 1; p <= 4; ++p)
            if ((s.passFlags[p] & 0x3000) == 0x1000) return true;
        return false;
    }
    // A converted design of count layers: layer 1 and layer count are the
    // component sides, mirrors of each other.
    static std::string Stack(int32_t count) {
        std::string text = "*LAYER " + std::to_string(count) + "\r\n*START\r\n";
        for (int32_t l = 1; l <= count; ++l) {
            const int32_t mirror = l == 1 ? count : l == count ? 1 : 0;
            text += "*Layer " + std::to_string(l) + " \"L" + std::to_string(l) +
                    "\" Space 600 600 600 600 600 600 " + std::to_string(mirror) + "\r\n";
        }
        return text;
    }
    static std::string File(const std::string& stack, const std::string& body = "") {
        return "*PELVANE\r\n" + stack + body + "\r\n*END\r\n";
    }
};

// Per layer count, the layers each sweep routes on after the read and
// whether it has a pass the sweep run takes.
TEST_F(StratLayersTest, DefaultSweepsPerLayerCount) {
    struct Case {
        int32_t layers;
        Layers sweep[kSweepCount];
        bool open[kSweepCount];
    } cases[] = {
        {1, {{1}, {1}, {1}, {1}, {1}, {1}, {1}, {1}, {1}}, {1, 1, 1, 1, 1, 1, 0, 0, 0}},
        {2,
         {{1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}},
         {1, 1, 1, 1, 1, 1, 0, 0, 0}},
        {4,
         {{1, 2, 3, 4}, {1, 4}, {1, 4}, {1, 4}, {1, 2}, {3, 4}, {1, 4}, {1, 4}, {1, 4}},
         {1, 1, 1, 1, 1, 1, 0, 0, 0}},
        {6,
         {{1, 2, 3, 4, 5, 6}, {1, 6}, {1, 6}, {1, 6}, {1, 2}, {5, 6}, {1, 6}, {1, 3}, {4, 6}},
         {1, 1, 1, 1, 1, 1, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.layers) + " layers");
        int32_t errors = -1;
        ASSERT_EQ(Read(File(Stack(c.layers)), &errors), 1);
        EXPECT_EQ(errors, 0);
        for (int32_t n = 0; n < kSweepCount; ++n) {
            const Sweep s = SweepOf(n);
            EXPECT_EQ(Enabled(s), c.sweep[n]) << "sweep " << n;
            EXPECT_EQ(s.usedLayers, int16_t(c.sweep[n].size())) << "sweep " << n;
            EXPECT_EQ(HasOpenPass(s), c.open[n]) << "sweep " << n;
            if (c.layers > 2) continue;
            // One or two layers: the defaults themselves.
            Sweep d;
            StrategyDefaults(&d, n);
            d.layerCount = s.layerCount;
            d.usedLayers = s.usedLayers;
            for (int32_t l = c.layers + 1; l <= kMaxLayers; ++l)
                d.enable[l] = 0;
            EXPECT_EQ(std::memcmp(&s, &d, sizeof s), 0) << "sweep " << n;
        }
        // An inner sweep that had no pass of its own routes the whole board.
        if (c.layers == 6) {
            EXPECT_EQ(SweepOf(7).primary, 16);
        }
        DbFree();
    }
}

// Every routing layer is routed by some sweep the sweep run takes, none of
// which uses more than two layers; the component sides come from the mirror
// layer, so a design in the TOP, BOTTOM, inner order pairs layers 1 and 2.
TEST_F(StratLayersTest, RunSweepsCoverEveryRoutingLayer) {
    struct Case {
        const char* name;
        std::string stack;
        Layers outer;
    } cases[] = {
        {"3 layers", Stack(3), {1, 3}},
        {"5 layers", Stack(5), {1, 5}},
        {"8 layers", Stack(8), {1, 8}}, // two inner layers in each inner sweep
        {"10 layers", Stack(2 + kMaxInnerLayers), {1, 2 + kMaxInnerLayers}},
        {"TOP BOTTOM GND POWER", "*LAYER 4\r\n*START\r\n", {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Read(File(c.stack)), 1);
        Layers covered;
        for (int32_t n = 1; n < kSweepCount; ++n) {
            const Sweep s = SweepOf(n);
            EXPECT_LE(s.usedLayers, 2) << "sweep " << n;
            if (n <= 3) {
                EXPECT_EQ(Enabled(s), c.outer) << "sweep " << n;
            }
            if (HasOpenPass(s))
                for (int32_t l : Enabled(s))
                    covered.insert(l);
        }
        Layers all;
        for (int32_t l = 1; l <= DbHdr().layerCount; ++l)
            all.insert(l);
        EXPECT_EQ(covered, all);
        if (DbHdr().layerCount == 8) {
            EXPECT_EQ(Enabled(SweepOf(4)), (Layers{2, 3}));
        }
        DbFree();
    }
}

// A section that names its layers keeps them, even more than two (the sweep
// run then passes it over); a section that names none gets the defaults'
// layers like a sweep without a section.
TEST_F(StratLayersTest, StrategySectionsThatNameLayersKeepThem) {
    const std::string body = "*STRATEGY 2 \"Mine\"\r\n"
                             "   Layer 1 Enable\r\n   Layer 2 Enable\r\n   Layer 3 Enable\r\n"
                             "*STRATEGY 4 \"Passes\"\r\n   PASS 2 ENABLE MAZE\r\n";
    ASSERT_EQ(Read(File(Stack(4), body)), 1);
    EXPECT_EQ(Enabled(SweepOf(2)), (Layers{1, 2, 3, 4})); // layer 4 keeps its default
    EXPECT_EQ(Enabled(SweepOf(4)), (Layers{1, 2}));
    EXPECT_EQ(SweepOf(4).passFlags[2], 0x1002);
    EXPECT_EQ(Enabled(SweepOf(3)), (Layers{1, 4}));
}

TEST_F(StratLayersTest, PlainStackMatchesAConvertedDesign) {
    ASSERT_EQ(Read(File(Stack(6))), 1);
    const SweepLayerStack a = StrategyStack(), b = StrategyPlainStack(6);
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.top, 1);
    EXPECT_EQ(a.bottom, 6);
    EXPECT_EQ(b.top, a.top);
    EXPECT_EQ(b.bottom, a.bottom);
    EXPECT_EQ(std::memcmp(a.layer, b.layer, sizeof a.layer), 0);
}

} // namespace
