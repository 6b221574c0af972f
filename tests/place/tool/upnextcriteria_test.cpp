// The "Component Selection Criteria" dialog run through the recording
// host's script: what each criterion lets through, the flags it writes,
// its refusals and the check boxes it remembers.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "place/plmodel.h"
#include "place/tool/upnext.h"
#include "upnextfixture.h"

namespace {

class UpCriteriaTest : public UpNextTest {
  protected:
    void SetUp() override {
        UpNextTest::SetUp();
        const int32_t big = RowSymbol("BIG", 40, 100, both);
        unplaced = Place(two, 0, 0, kPlCompUnplaced);
        placed = Place(two, 5000, 0);
        master = Member(two, 10000, 0, 0, 3);
        member = Member(two, 10000, 0, kPlCompClusterMember, 3);
        locked = Place(two, 20000, 0, kPlCompUnplaced | kPlCompLocked);
        fixed = Place(two, 30000, 0, kPlCompUnplaced | kPlCompFixed);
        large = Place(big, 40000, 0);
    }
    // One OK with these entries.
    static RecordingPlaceHost::DlgStep Ok(const char* name, const char* footprint,
                                          const char* minPins, const char* maxPins,
                                          int32_t onlyUnplaced, int32_t clearLock) {
        RecordingPlaceHost::DlgStep s;
        s.texts = {{kCriteriaName, name},
                   {kCriteriaFootprint, footprint},
                   {kCriteriaMinPins, minPins},
                   {kCriteriaMaxPins, maxPins}};
        s.values = {{kCriteriaUnplaced, onlyUnplaced}, {kCriteriaClearLock, clearLock}};
        return s;
    }
    int32_t unplaced = 0, placed = 0, master = 0, member = 0, locked = 0, fixed = 0, large = 0;
};

TEST_F(UpCriteriaTest, EachCriterionAndTheFlagsItWrites) {
    struct Case {
        const char* what;
        RecordingPlaceHost::DlgStep step;
        std::set<int32_t> matches;
    } cases[] = {
        // Placed cluster components stay; a locked one needs the lock cleared.
        {"only unplaced", Ok("", "", "", "", 1, 0), {1, 3, 4}},
        {"minimum pins", Ok("", "", "10", "", 0, 0), {7}},
        {"maximum pins", Ok("", "", "", "2", 0, 0), {1, 2, 3, 4}},
        {"footprint pattern", Ok("", "b?g", "", "", 0, 0), {7}},
        {"name pattern", Ok("p*", "", "0", "2400", 0, 0), {1, 2, 3, 4, 7}},
        {"exact name", Ok("p2", "two", "", "", 0, 0), {2}},
        {"clear lock flag", Ok("", "", "", "", 1, 1), {1, 3, 4, 5}},
    };
    for (const Case& t : cases) {
        host.script = {t.step};
        EXPECT_EQ(upPickNextDialog(), 1) << t.what;
        EXPECT_EQ(AltDepth(), 0);
        for (int32_t c = 1; c <= CompCount(); ++c) {
            const uint16_t f = CompRef(c)->flags;
            if (c == fixed) {
                EXPECT_EQ(f, kPlCompUnplaced | kPlCompFixed) << t.what;
            } else if (t.matches.count(c)) {
                EXPECT_EQ(f & (kPlCompChosen | kPlCompLeftOut), kPlCompChosen) << t.what << c;
            } else {
                EXPECT_EQ(f & (kPlCompChosen | kPlCompLeftOut), kPlCompLeftOut) << t.what << c;
            }
        }
    }
    // The last run matched the locked one with "Clear lock flag".
    EXPECT_EQ(CompRef(locked)->flags & kPlCompLocked, 0);
    EXPECT_TRUE(host.Saw("menuEnableCommand 30254 1"));
}

TEST_F(UpCriteriaTest, ComponentsWhoseFlagsStayAreNotStored) {
    host.script = {Ok("", "", "", "", 1, 0)};
    ASSERT_EQ(upPickNextDialog(), 1);
    EXPECT_EQ(LastCommitItems(), CompCount() - 1); // all but the fixed one
    host.script = {Ok("", "", "", "", 1, 0)};
    ASSERT_EQ(upPickNextDialog(), 1);
    EXPECT_EQ(LastCommitItems(), 0);
    host.script = {Ok("p1", "", "", "", 1, 0)}; // only the two cluster parts change
    ASSERT_EQ(upPickNextDialog(), 1);
    EXPECT_EQ(LastCommitItems(), 2);
}

TEST_F(UpCriteriaTest, RefusalsKeepTheDialogOpen) {
    host.script = {Ok("", "", "2401", "", 0, 0),
                   Ok("", "", "", "-1", 0, 0),
                   Ok("nosuch", "", "", "", 0, 0),
                   {{}, {}, false}};
    EXPECT_EQ(upPickNextDialog(), 0);
    EXPECT_EQ(LinesOf("AlertMessage"),
              (std::vector<std::string>{"AlertMessage Minimum Pins must be between 0 and 2400.",
                                        "AlertMessage Maximum Pins must be between 0 and 2400.",
                                        "AlertMessage No components meet criteria"}));
    EXPECT_EQ(LinesOf("DlgFocusItem"),
              (std::vector<std::string>{"DlgFocusItem 57021", "DlgFocusItem 57031"}));
    // The level of the run without a match was rejected.
    EXPECT_EQ(AltDepth(), 0);
    for (int32_t c = 1; c <= CompCount(); ++c)
        EXPECT_EQ(CompRef(c)->flags & (kPlCompChosen | kPlCompLeftOut), 0) << c;
    EXPECT_FALSE(host.Saw("menuEnableCommand 30254 1"));
}

TEST_F(UpCriteriaTest, TheCheckBoxesAreRemembered) {
    host.script = {Ok("", "", "", "", 1, 1)};
    ASSERT_EQ(upPickNextDialog(), 1);
    host.Take();
    host.script = {{{}, {}, false}};
    EXPECT_EQ(upPickNextDialog(), 0);
    EXPECT_EQ(host.lines,
              (std::vector<std::string>{"DlgOpen 57059 ", "DlgRunModal", "DlgSetItem 57001  24",
                                        "DlgSetItem 57011  24", "DlgSetItem 57021  10",
                                        "DlgSetItem 57031  10", "DlgSetButton 4 57041 0 1 1",
                                        "DlgSetButton 4 57051 0 1 1"}));
    host.script = {Ok("", "", "", "", 0, 0)};
    ASSERT_EQ(upPickNextDialog(), 1);
    host.Take();
    host.script = {{{}, {}, false}};
    upPickNextDialog();
    EXPECT_TRUE(host.Saw("DlgSetButton 4 57041 0 0 1"));
    EXPECT_TRUE(host.Saw("DlgSetButton 4 57051 0 0 1"));
}

} // namespace
