// Error markers: the table and its limit, the duplicate rule, the type names
// and classes, and the Error Markers list kept in step with the table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/attrs.h"
#include "db/err.h"
#include "db/lang.h"
#include "db/markers.h"
#include "dbfixture.h"

namespace {

// A recording Error Markers list.
class FakeList : public MarkerList {
  public:
    int32_t rows = 0;
    int32_t suspended = 0;
    std::vector<std::string> calls;
    void SetListDrawingEnabled(bool on) override {
        suspended += on ? -1 : 1;
        calls.push_back(on ? "draw on" : "draw off");
    }
    int32_t ListRowCount() override { return rows; }
    void InsertListRows(int32_t row, int32_t count) override {
        rows += count;
        calls.push_back("insert " + std::to_string(row) + " " + std::to_string(count));
    }
    void DeleteListRows(int32_t first, int32_t count) override {
        rows -= count;
        calls.push_back("delete " + std::to_string(first) + " " + std::to_string(count));
    }
    void InvalidateListRow(int32_t row) override {
        calls.push_back("invalidate " + std::to_string(row));
    }
    void SendWindowCloseEvent() override { calls.push_back("close"); }
};

std::vector<std::string> g_trace;
void Collect(const char* text) {
    g_trace.emplace_back(text);
}

class MarkerTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        NewDesign();
    }
    void TearDown() override {
        MarkerSetList(nullptr);
        DebugSetTraceReceiver(nullptr);
        DbTest::TearDown();
    }
    static ErrorMarker Marker(int32_t x, uint8_t type = 2, uint8_t layer = 1) {
        ErrorMarker m{};
        m.x = x;
        m.y = 2 * x;
        m.type = type;
        m.layer = layer;
        return m;
    }
    static int32_t AddPut(const ErrorMarker& m) {
        int32_t n = MarkerAdd();
        MarkerPut(n, &m);
        return n;
    }
    static std::vector<int32_t> Xs() {
        std::vector<int32_t> out;
        for (int32_t i = 1; i <= MarkerCount(); ++i) {
            ErrorMarker m;
            MarkerGet(i, &m);
            out.push_back(m.x);
        }
        return out;
    }
};

TEST_F(MarkerTest, AtMost8000Markers) {
    for (int32_t i = 1; i <= kMarkerMax; ++i)
        ASSERT_EQ(MarkerAdd(), i);
    DbHdr().modified = 0;
    EXPECT_EQ(MarkerAdd(), 0);
    EXPECT_EQ(MarkerCount(), kMarkerMax);
    EXPECT_EQ(DbHdr().modified, 0);
    EXPECT_EQ(DbHdr().markerCount, kMarkerMax);
}

TEST_F(MarkerTest, GetPutAndChecks) {
    int32_t n = MarkerAdd();
    ErrorMarker m;
    std::memset(&m, 0x33, sizeof m);
    MarkerGet(n, &m);
    ErrorMarker zero{};
    EXPECT_EQ(std::memcmp(&m, &zero, sizeof m), 0);
    EXPECT_FATAL(MarkerGet(n + 1, &m), 22049);
    ErrorMarker good = Marker(5, 28, 2);
    EXPECT_FATAL(MarkerPut(0, &good), 22050);
    ErrorMarker bad = Marker(5, 29);
    EXPECT_FATAL(MarkerPut(n, &bad), 22051);
    bad = Marker(5, 0);
    EXPECT_FATAL(MarkerPut(n, &bad), 22051);
    bad = Marker(5, 1, 3);
    EXPECT_FATAL(MarkerPut(n, &bad), 22056);
    MarkerPut(n, &good);
    MarkerGet(n, &m);
    EXPECT_EQ(std::memcmp(&m, &good, sizeof m), 0);
}

TEST_F(MarkerTest, DuplicatesAreNotStored) {
    AddPut(Marker(1));
    AddPut(Marker(2));
    // Into a freshly added slot: the count goes back.
    AddPut(Marker(1));
    EXPECT_EQ(Xs(), (std::vector<int32_t>{1, 2}));
    // Into a stored slot: that marker goes.
    ErrorMarker one = Marker(1);
    MarkerPut(2, &one);
    EXPECT_EQ(Xs(), std::vector<int32_t>{1});
    // Into an earlier slot that was never stored: that slot goes, not the
    // last marker.
    int32_t empty = MarkerAdd();
    AddPut(Marker(3));
    MarkerPut(empty, &one);
    EXPECT_EQ(Xs(), (std::vector<int32_t>{1, 3}));
    // Storing a marker equal to itself in place is no duplicate.
    MarkerPut(1, &one);
    EXPECT_EQ(Xs(), (std::vector<int32_t>{1, 3}));
}

TEST_F(MarkerTest, DeletingMovesLaterMarkersDown) {
    for (int32_t x : {1, 2, 3, 4})
        AddPut(Marker(x));
    MarkerDelete(2);
    EXPECT_EQ(Xs(), (std::vector<int32_t>{1, 3, 4}));
    EXPECT_EQ(DbHdr().markerCount, 3);
    EXPECT_FATAL(MarkerDelete(4), 22060);
    EXPECT_FATAL(MarkerDelete(0), 22060);
}

TEST_F(MarkerTest, TypeNamesAndClearanceTypes) {
    struct Case {
        int32_t type, id;
    } cases[] = {{1, 22071},  {16, 22086}, {20, 22090}, {21, 22092},
                 {22, 22093}, {23, 22095}, {27, 22099}};
    for (const Case& k : cases)
        EXPECT_EQ(ErrTypeMsgId(k.type), k.id) << k.type;
    // A type without a name, as a loaded type-28 marker has, is listed
    // without one and is no clearance type.
    for (int32_t t : {0, 28, -1})
        EXPECT_EQ(ErrTypeMsgId(t), 0) << t;
    std::vector<int32_t> clearance;
    for (int32_t t = 1; t <= 27; ++t)
        if (ErrTypeIsClearance(t)) clearance.push_back(t);
    EXPECT_EQ(clearance, (std::vector<int32_t>{2, 3, 4, 6, 7, 13, 20}));
    EXPECT_EQ(ErrTypeIsClearance(28), 0);
    EXPECT_EQ(ErrTypeIsClearance(0), 0);
    ErrorMarker m = Marker(1, 28, 2);
    MarkerReport(&m, "trace");
    // The strict flag shows the soft check.
    DebugSetFlags(0, 1);
    EXPECT_FATAL(ErrTypeMsgId(28), 22091);
    EXPECT_FATAL(ErrTypeIsClearance(28), 22093);
    DebugSetFlags(0, 0);
}

TEST_F(MarkerTest, ShownByTheColoursOfItemKinds1And9) {
    ErrorMarker m = Marker(1, 2, 2);
    EXPECT_EQ(MarkerShown(&m), 0);
    ColorEntry e{};
    e.kind = 3;
    e.layer = 255;
    ColorPut(ColorAdd(), &e);
    EXPECT_EQ(MarkerShown(&m), 0);
    e.kind = 9;
    e.layer = 1;
    int32_t k = ColorAdd();
    ColorPut(k, &e);
    EXPECT_EQ(MarkerShown(&m), 0);
    e.layer = 2;
    ColorPut(k, &e);
    EXPECT_EQ(MarkerShown(&m), 1);
    e.kind = 1;
    e.layer = kColorAllLayers;
    ColorPut(k, &e);
    EXPECT_EQ(MarkerShown(&m), 1);
}

TEST_F(MarkerTest, ReportTracesTypeAndPlace) {
    LangInit();
    DebugSetTraceReceiver(&Collect);
    ErrorMarker m = Marker(-7, 16, 2);
    MarkerReport(&m, "DRC");
    EXPECT_EQ(g_trace,
              (std::vector<std::string>{"DRC: Error type = Bad SMD-to-Plane connection",
                                        "Bad SMD-to-Plane connection: x=-7, y=-14, lev=2"}));
}

TEST_F(MarkerTest, TheListFollowsTheCount) {
    FakeList list;
    list.rows = 5; // rows left from before
    MarkerSetList(&list);
    AddPut(Marker(1));
    EXPECT_EQ(list.rows, 1);
    EXPECT_EQ(list.calls,
              (std::vector<std::string>{"draw off", "delete 0 4", "invalidate -1", "draw on"}));
    list.calls.clear();
    AddPut(Marker(2));
    AddPut(Marker(3));
    EXPECT_EQ(list.rows, 3);
    EXPECT_EQ(list.suspended, 0);
    EXPECT_EQ(list.calls[1], "insert -1 1");
    list.calls.clear();
    MarkerDelete(2);
    EXPECT_EQ(list.calls, std::vector<std::string>{"delete 1 1"});
    EXPECT_EQ(list.rows, 2);
    list.calls.clear();
    AddPut(Marker(1)); // a duplicate: the list is brought to the count again
    EXPECT_EQ(list.rows, 2);
    list.calls.clear();
    DbFree();
    EXPECT_EQ(list.calls, std::vector<std::string>{"close"});
    EXPECT_EQ(MarkerCount(), 0);
}

} // namespace
