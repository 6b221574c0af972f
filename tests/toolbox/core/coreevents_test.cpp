#include "toolbox/core/coreevents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "heap_fixture.h"

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

class CoreEvents : public HeapTest {
  protected:
    void TearDown() override {
        ResetCoreEventProcs();
        for (EventObject e : events_)
            EventObjectRelease(e);
        HeapTest::TearDown();
    }
    EventObject Request(uint32_t eventClass, uint32_t kind, const int16_t* requestKind,
                        const char* path) {
        EventObject e = nullptr;
        EXPECT_EQ(EventObjectNew(eventClass, kind, &e), kEventResultOk);
        if (requestKind)
            EventParamSet(e, kParamRequestKind, kCoreTypeShort, sizeof *requestKind, requestKind);
        if (path) EventParamSet(e, kParamPath, kTypeCString, uint32_t(std::strlen(path) + 1), path);
        events_.push_back(e);
        return e;
    }
    std::vector<EventObject> events_;
};

void Install() {
    Calls().clear();
    InstallCoreEventProcs([] { Calls().push_back("app"); },
                          [](const char* p) { Calls().push_back(std::string("open ") + p); },
                          [](const char* p) { Calls().push_back(std::string("print ") + p); });
}

TEST_F(CoreEvents, KindsReachTheirProcedures) {
    int16_t kinds[] = {0, 1, 2, 3, 9};
    EventObject open = Request(kEventClassHighLevel, kCoreEventKind, &kinds[1], "C:\\a.zid");
    // Nothing before the procedures are installed.
    EXPECT_EQ(CoreEventDispatch(open), kEventNotHandled);
    Install();
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &kinds[0], nullptr)), 0);
    EXPECT_EQ(CoreEventDispatch(open), 0);
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &kinds[2], "C:\\b")), 0);
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &kinds[3], "C:\\c")),
              kEventNotHandled);
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &kinds[4], "C:\\c")),
              kEventNotHandled);
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 2, &kinds[1], "C:\\c")),
              kEventNotHandled);
    EXPECT_EQ(CoreEventDispatch(Request(FourCC("appl"), 1, &kinds[1], "C:\\c")), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"app", "open C:\\a.zid", "print C:\\b"}));
}

TEST_F(CoreEvents, FailedReadsAnswerTheirErrorAndCallNothing) {
    Install();
    int16_t open = 1;
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, nullptr, "C:\\a")),
              kEventParamNotFound);
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &open, nullptr)),
              kEventParamNotFound);
    // A path longer than the buffer.
    std::string longPath(kCorePathBufferSize + 10, 'x');
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &open, longPath.c_str())),
              kEventBufferTooSmall);
    // Exactly the buffer, terminator included, is read.
    std::string full(kCorePathBufferSize - 1, 'y');
    EXPECT_EQ(CoreEventDispatch(Request(kEventClassHighLevel, 1, &open, full.c_str())), 0);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0], "open " + full);
}

} // namespace
