// Reconnection of moved components: connections enter the journal once,
// their ends follow the pins, and in the Route view the changed stretch is
// cleaned against the routing window.
#include "place/plreconnect.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "db/altjournal.h"
#include "plfixture.h"

namespace {

class PlReconnectTest : public PlaceTest {
  protected:
    void SetUp() override {
        PlaceTest::SetUp();
        SetHeader(100);
        const int32_t s = RowSymbol("TWO", 2, 1000, both);
        a = AddPart(s, {.x = 10000, .y = 10000});
        b = AddPart(s, {.x = 20000, .y = 10000});
        c = AddPart(s, {.x = 30000, .y = 10000});
        const int32_t n = AddNet();
        ab = Connect(n, a, 1, b, 1);
        bc = Connect(n, b, 2, c, 2);
    }
    static Conn ConnOf(int32_t k) {
        Conn r;
        AltSave(kRecConn, k, &r);
        return r;
    }
    static Conn Routed(std::initializer_list<std::array<int32_t, 3>> corners) {
        Conn r{};
        r.head.count = int16_t(corners.size());
        int32_t i = 0;
        for (const auto& p : corners)
            r.crn[i++] = Crn{p[0], p[1], 10, uint8_t(p[2]), 0, 0, 0};
        return r;
    }
    int32_t a = 0, b = 0, c = 0, ab = 0, bc = 0;
};

TEST_F(PlReconnectTest, WithoutAnOpenLevelIsAnInternalError) {
    EXPECT_FATAL(reconnectMovedCompsIn(false), kErrReconnectNoLevel);
}

TEST_F(PlReconnectTest, EndsFollowTheMovedPinsAndEachComponentIsHandledOnce) {
    AltPush();
    Component r = Comp(a);
    PlCompShift(&r, 500, -700);
    Store(a, r);
    reconnectMovedCompsIn(false);
    // The moved component's connection is in the journal with its end on
    // the pin; the other one was never touched.
    EXPECT_EQ(AltCount(), 2);
    const Conn moved = ConnOf(ab);
    EXPECT_EQ(moved.crn[0].x, 10500);
    EXPECT_EQ(moved.crn[0].y, 9300);
    AltItemHeader h;
    Component image;
    AltGet(1, &h, &image);
    EXPECT_TRUE(h.flags & kAltItemReconnected);
    // A second move of the same component: the item is not walked again,
    // but its connection item is fitted again.
    PlCompShift(&r, 100, 0);
    Store(a, r);
    reconnectMovedCompsIn(false);
    EXPECT_EQ(AltCount(), 2);
    EXPECT_EQ(ConnOf(ab).crn[0].x, 10600);
    AltPop(true);
    EXPECT_EQ(ConnOf(ab).crn[0].x, 10600);
    EXPECT_EQ(ConnOf(bc).crn[0].x, 20000);
}

TEST_F(PlReconnectTest, DeletedConnectionItemsAreLeftAlone) {
    AltPush();
    Conn k = ConnOf(ab);
    AltPut(kRecConn, ab, 0, &k);
    AltItemHeader h;
    auto buf = std::make_unique<Conn>();
    AltGet(1, &h, buf.get());
    h.flags |= kAltDeleted;
    AltItemPut(&h, buf.get());
    Component r = Comp(a);
    PlCompShift(&r, 500, 0);
    Store(a, r);
    reconnectMovedCompsIn(false);
    EXPECT_EQ(ConnOf(ab).crn[0].x, 10000);
    AltPop(false);
}

TEST_F(PlReconnectTest, ChangedStretchOutsideTheWindowBecomesOneGap) {
    const PlWindowBox w{0, 0, 10000, 10000};
    struct Case {
        const char* what;
        Conn before, after;
        std::vector<int32_t> layers; // layers of the cleaned corners
    } cases[] = {
        {"nothing differs",
         Routed({{100, 100, 1}, {20000, 100, 1}, {20000, 200, 0}}),
         Routed({{100, 100, 1}, {20000, 100, 1}, {20000, 200, 0}}),
         {1, 1, 0}},
        {"first corner left the window",
         Routed({{100, 100, 1}, {500, 100, 1}, {500, 900, 2}, {900, 900, 0}}),
         Routed({{-100, 100, 1}, {500, 100, 1}, {500, 900, 2}, {900, 900, 0}}),
         {0, 1, 2, 0}},
        {"last corner left, gaps merge",
         Routed({{100, 100, 1}, {500, 100, 0}, {500, 900, 2}, {900, 900, 0}}),
         Routed({{100, 100, 1}, {500, 100, 0}, {500, 900, 0}, {12000, 900, 0}}),
         {1, 0, 0}},
        {"changed inside the window stays",
         Routed({{100, 100, 1}, {500, 100, 0}}),
         Routed({{200, 100, 1}, {500, 100, 0}}),
         {1, 0}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.what);
        Conn after = t.after;
        ConnCleanChangedStretch(&t.before, &after, w);
        ASSERT_EQ(after.head.count, int16_t(t.layers.size()));
        for (size_t i = 0; i < t.layers.size(); ++i)
            EXPECT_EQ(after.crn[i].layer, t.layers[i]) << i;
    }
}

// The Route view updates the picture of every connection the pass changed
// (old image erased, new one drawn); unchanged connections and the other
// views draw nothing.
std::vector<int32_t> g_moved; // per picture: how far its two ends moved in x

void RecordPicture(const Conn* before, const Conn* after) {
    const int32_t last = after->head.count - 1;
    g_moved.push_back(after->crn[0].x - before->crn[0].x + after->crn[last].x -
                      before->crn[last].x);
}

TEST_F(PlReconnectTest, RouteViewRedrawsOnlyTheChangedConnections) {
    g_moved.clear();
    AltPush();
    Component r = Comp(b);
    Store(b, r); // b held but not moved: its connections stay as they are
    reconnectMovedCompsIn(true, &RecordPicture);
    EXPECT_TRUE(g_moved.empty());
    PlCompShift(&r, 300, 0);
    Store(b, r);
    reconnectMovedCompsIn(false, &RecordPicture);
    EXPECT_TRUE(g_moved.empty());
    PlCompShift(&r, 300, 0);
    Store(b, r);
    reconnectMovedCompsIn(true, &RecordPicture);
    EXPECT_EQ(g_moved, (std::vector<int32_t>{300, 300})); // ab and bc, one end each
    AltPop(false);
}

} // namespace
