#include "toolbox/core/shellrequests.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "heap_fixture.h"
#include "toolbox/core/coreevents.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/shelldefaults.h"
#include "toolbox/core/startuprequest.h"

namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

std::string Spec(const FileSpec* s) {
    return std::string(s->folder) + "|" + s->name + "|" + s->type;
}

WindowObject* g_dropWindow = reinterpret_cast<WindowObject*>(0x1234);

class ShellRequests : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        Calls().clear();
        // The path arithmetic of the default, with the kind taken from the
        // path's last character instead of the file system.
        ShellRequestProcs procs{[](const char* path, FileSpec* out) {
                                    size_t n = std::strlen(path);
                                    PathKind kind = n == 0                ? PathKind::Missing
                                                    : path[n - 1] == '\\' ? PathKind::Folder
                                                                          : PathKind::File;
                                    return FileSpecFromPath(path, kind, out);
                                },
                                [](void*) { return g_dropWindow; }};
        SetShellRequestProcs(&procs);
        InstallCoreEventHandlers(
            [] { Calls().push_back("app"); },
            [](const FileSpec* s) { Calls().push_back("open " + Spec(s)); },
            [](const FileSpec* s) { Calls().push_back("print " + Spec(s)); }, nullptr,
            [](const FileSpec* s, WindowObject* w, int16_t index, int16_t count) {
                Calls().push_back("drop " + Spec(s) + " " + (w ? "window" : "none") + " " +
                                  std::to_string(index) + "/" + std::to_string(count));
            });
    }
    void TearDown() override {
        ResetShellRequests();
        HeapTest::TearDown();
    }
    // The event a queued request becomes.
    static EventObject EventOf(StartupRequest* request) {
        OsEventRecord r{};
        r.what = kOsWhatHighLevel;
        r.message = uintptr_t(request);
        EventObject e = nullptr;
        EXPECT_EQ(EventObjectFromOsEvent(&r, &e), 0);
        FreeStartupBlock(request);
        return e;
    }
};

TEST_F(ShellRequests, DocumentsAndDropsReachTheirHandlersWithASpec) {
    int marker = 0;
    EventObject events[] = {
        EventOf(MakeStartupRequest(kStartupOpenDocument, "C:\\docs\\a.zid", nullptr, 0, 0)),
        EventOf(MakeStartupRequest(kStartupPrintDocument, "C:\\docs\\", nullptr, 0, 0)),
        EventOf(MakeStartupRequest(kStartupOpenDocument, "", nullptr, 0, 0)),
        EventOf(MakeStartupRequest(kStartupDroppedFile, "C:\\b.zid", &marker, 2, 3)),
        EventOf(MakeStartupRequest(kStartupDroppedFile, "C:\\c.zid", nullptr, 0, 1)),
    };
    EXPECT_EQ(CoreEventDispatch(events[0]), 0);
    EXPECT_EQ(CoreEventDispatch(events[1]), 0);
    EXPECT_EQ(CoreEventDispatch(events[2]), 0); // unresolvable: nothing called
    EXPECT_EQ(CoreEventDispatch(events[3]), kEventNotHandled);
    EXPECT_EQ(DropRequestHandler(nullptr, events[3], nullptr), 0);
    EXPECT_EQ(DropRequestHandler(nullptr, events[4], nullptr), 0);
    EXPECT_EQ(DropRequestHandler(nullptr, events[0], nullptr), kEventNotHandled);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"open C:\\docs|a.zid|.zid", "print C:\\docs||Fldr",
                                                 "drop C:|b.zid|.zid window 2/3",
                                                 "drop C:|c.zid|.zid none 0/1"}));
    for (EventObject e : events)
        EventObjectRelease(e);
}

} // namespace
