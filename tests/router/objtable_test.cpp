// The object table: initial entries, appends and overflow, flags, searches
// and the described forms.
#include <string>
#include <vector>

#include "db/altjournal.h"
#include "routerfixture.h"
#include "router/objtable.h"

namespace {

std::vector<std::string> g_lines;
void Collect(const char* text) {
    g_lines.emplace_back(text);
}

class ObjTableTest : public RouterTest {
  protected:
    void SetUp() override {
        RouterTest::SetUp();
        g_lines.clear();
    }
};

TEST_F(ObjTableTest, InitGivesTheNullEntryAndTheBoardEdge) {
    NewDesign();
    ASSERT_EQ(ObjTableAlloc(), 1);
    EXPECT_EQ(kObjTableBytes, 262080);
    ObjTableInit();
    EXPECT_EQ(ObjCount(), 1);
    EXPECT_EQ(ObjTableValid(), 1);
    MapObj o;
    ObjGet(0, &o);
    EXPECT_EQ(o.type, kObjEmpty);
    EXPECT_EQ(o.net, -1);
    ObjGet(1, &o);
    EXPECT_EQ(o.type, kObjEdge);
    EXPECT_EQ(o.flags, kObjFlagMapped);
    EXPECT_EQ(o.net, 0);
    EXPECT_EQ(ObjFirstConn(), 32760);
    EXPECT_EQ(ObjLastConn(), 0);
    EXPECT_EQ(ObjFindConn(5), 0);
    // No connection entries: clearing flags touches nothing.
    ObjClearConnFlags(0xFF);
    ObjGet(1, &o);
    EXPECT_EQ(o.flags, kObjFlagMapped);
}

TEST_F(ObjTableTest, AppendsSearchesAndFlags) {
    NewDesign();
    ASSERT_EQ(ObjTableAlloc(), 1);
    ObjTableInit();
    ObjAdd(kObjPad, 3, 4, 2, 0);
    ObjAdd(kObjConn, 0, 7, 0, 1);
    ObjAdd(kObjObstacle, 3, 2, 0, 1);
    ObjAdd(kObjConn, 0, 9, 0, 1);
    EXPECT_EQ(ObjCount(), 5);
    EXPECT_EQ(ObjFirstConn(), 3);
    EXPECT_EQ(ObjLastConn(), 5);
    EXPECT_EQ(ObjFindConn(9), 5);
    EXPECT_EQ(ObjFindPad(4, 2), 2);
    EXPECT_EQ(ObjFindPad(4, 3), 0);
    ObjSetConnFlags(kObjFlagHeld);
    ObjClearFlag(5, kObjFlagHeld);
    ObjSetConnFlag(3, kObjFlagLeftOut);
    MapObj o;
    ObjGet(3, &o);
    EXPECT_EQ(o.flags, kObjFlagHeld | kObjFlagLeftOut);
    ObjGet(5, &o);
    EXPECT_EQ(o.flags, 0);
    ObjGet(4, &o);
    EXPECT_EQ(o.flags, 3); // not a connection: untouched
    EXPECT_FATAL(ObjSetConnFlag(4, 1), 2186043);
    EXPECT_FATAL(ObjGet(6, &o), 2186022);
    EXPECT_FATAL(ObjAdd(kObjEdge, 2, 0, 0, 0), 2186031);
}

TEST_F(ObjTableTest, TheAppendThatWouldFillTheBlockEmptiesTheTable) {
    NewDesign();
    ASSERT_EQ(ObjTableAlloc(), 1);
    ObjTableInit();
    for (int32_t i = 2; i < kObjEntries; ++i)
        ObjAdd(kObjConn, 0, int16_t(i), 0, 1);
    EXPECT_EQ(ObjCount(), kObjEntries - 1);
    EXPECT_EQ(ObjFindConn(32759), 32759);
    ObjAdd(kObjConn, 0, 1, 0, 1); // would be entry 32,760
    EXPECT_EQ(ObjTableValid(), 0);
    EXPECT_EQ(ObjCount(), 0);
    EXPECT_EQ(ObjFindConn(5), 0);
    ObjAdd(kObjPad, 3, 1, 1, 0); // ignored on an invalid table
    EXPECT_EQ(ObjCount(), 0);
    MapObj o;
    EXPECT_FATAL(ObjGet(0, &o), 2186021);
}

TEST_F(ObjTableTest, ResetClosesEveryJournalLevel) {
    NewDesign();
    ASSERT_EQ(ObjTableAlloc(), 1);
    AltPush();
    AltPush();
    ObjTableReset();
    EXPECT_EQ(AltDepth(), 0);
    ObjTableFree();
    EXPECT_EQ(ObjTableReady(), 0);
    EXPECT_FATAL(ObjTableInit(), 2186010);
    EXPECT_FATAL(ObjAdd(kObjPad, 3, 1, 1, 0), 2186030);
}

TEST_F(ObjTableTest, DescribeWritesEachForm) {
    LoadBoard("*COMP U1 [10000, 10000] Symbol=1\r\n"
              "*NET \"N1\" W:10\r\n   U1.1 L:1 [20000,10000] NODE\r\n");
    ASSERT_EQ(ObjTableAlloc(), 1);
    ObjTableInit();
    ObjAdd(kObjPad, 3, 1, 1, 1);
    ObjAdd(kObjPad, 3, 1, 2, 0);
    ObjAdd(kObjConn, 0, 1, 0, 1);
    ObjAdd(kObjObstacle, 3, 4, 0, 1);
    ObjAdd(kObjObstacle, 3, 5, 0, kObsNoNet);
    ObjAdd(kObjText, 3, 6, 0, 0);
    DebugSetFlags(1, 0);
    DebugSetTraceReceiver(&Collect);
    for (int32_t n = 1; n <= 7; ++n)
        ObjDescribe(n, "P");
    ObjDescribe(-1, "P");
    ObjEntry(7)->type = kObjNull;
    ObjDescribe(7, "P");
    DebugSetTraceReceiver(nullptr);
    std::vector<std::string> want = {"P edge",
                                     "P U1.1 Net=\"N1\", Obj=2",
                                     "P U1.2, No net, Obj=3",
                                     "P U1.1 to Node.0 (Net N1)",
                                     "P obs#4 obj#5 net=\"N1\"",
                                     "P obs#5 obj#6 NO-NET",
                                     "P text #6",
                                     "P net #1 \"N1\"",
                                     "P NULL"};
    EXPECT_EQ(g_lines, want);
    EXPECT_FATAL(ObjDescribe(8, "P"), 2186050);
    ObjEntry(7)->type = 9;
    EXPECT_FATAL(ObjDescribe(7, "P"), 2186051);
}

} // namespace
