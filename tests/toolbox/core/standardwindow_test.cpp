#include "toolbox/core/standardwindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loop_fixture.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowidle.h"

namespace {

struct Scene {
    int window = 0;
    EventReceiver receiver{kReceiverWindow, &window, nullptr, 0};
    std::vector<uint32_t> kinds; // window events seen by the test handler
    std::vector<OsEventRecord> records;
    std::string ops;
    int32_t type = 6;
    bool front = false;
    uint32_t clac = 0; // 0: the standard answer
    bool chosen = true;
};
Scene* g_s = nullptr;

int32_t Watch(EventCallRef*, EventObject event, void*) {
    if ((*event)->eventClass == kEventClassWindow) {
        g_s->kinds.push_back((*event)->kind);
        if ((*event)->kind == kWindowClickActivationKind && g_s->clac) {
            EventParamSet(event, kParamClickActivation, kParamClickActivation, 4, &g_s->clac);
            return kEventResultOk;
        }
    }
    if ((*event)->eventClass == kEventClassControl) g_s->kinds.push_back(1000 + (*event)->kind);
    return kEventNotHandled;
}

int32_t RecordPort(PortRecord*, OsEventRecord* record) {
    g_s->records.push_back(*record);
    return 0;
}

class StandardWindow : public LoopTest {
  protected:
    void SetUp() override {
        LoopTest::SetUp();
        g_s = &s_;
        NativeWindowOps ops{};
        ops.nativeType = [](void*) { return g_s->type; };
        ops.isFrontOfType = [](void*) { return g_s->front; };
        ops.activate = [](void*) { g_s->ops += "activate "; };
        ops.drag = [](void*, Point16) { g_s->ops += "drag "; };
        ops.grow = [](void*, Point16) { g_s->ops += "grow "; };
        ops.trackTitleButton = [](void*, int16_t, Point16) { return g_s->chosen; };
        ops.minimise = [](void*) { g_s->ops += "minimise "; };
        ops.zoom = [](void*, int16_t) { g_s->ops += "zoom "; };
        ops.dispose = [](void*) { g_s->ops += "dispose "; };
        ops.beginUpdate = [](void*) { g_s->ops += "begin "; };
        ops.endUpdate = [](void*) { g_s->ops += "end "; };
        SetNativeWindowOps(&ops);
        PortHooks hooks{};
        hooks.nativeReceiver = [](void*) { return &g_s->receiver; };
        hooks.nativeOptions = [](void*) { return kOptionLiveResize; };
        SetPortHooks(&hooks);
        WindowObjectLink(&port_, &s_.window, 0, &RecordPort);
        EventReceiverPushHandler(&s_.receiver, &Watch, 0, nullptr, nullptr, nullptr);
        ASSERT_EQ(InstallStandardWindowHandler(&s_.receiver), 0);
    }
    void TearDown() override {
        DisposePortRecord(&port_);
        EventReceiverClearHandlers(&s_.receiver);
        SetNativeWindowOps(nullptr);
        SetPortHooks(nullptr);
        LoopTest::TearDown();
    }
    int32_t Click(int16_t part, uint16_t button) {
        EventObject e = nullptr;
        EventObjectNew(kEventClassMouse, kMouseDownKind, &e);
        void* w = &s_.window;
        Point16 where{5, 6};
        EventParamSet(e, kParamWindow, kReceiverWindow, sizeof(w), &w);
        EventParamSet(e, kParamMouseLocation, kEventTypeQdPoint, 4, &where);
        EventParamSet(e, kParamMouseButton, FourCC("mbtn"), 2, &button);
        EventParamSet(e, kParamWindowPart, kTypeWindowPart, 2, &part);
        int32_t result = SendEventToReceiver(e, &s_.receiver);
        EventObjectRelease(e);
        return result;
    }
    int32_t Window(uint32_t kind, int16_t part = 0, uint16_t button = 1) {
        EventObject e = nullptr;
        EventObjectNew(kEventClassWindow, kind, &e);
        EventParamSet(e, kParamWindowPart, kTypeWindowPart, 2, &part);
        EventParamSet(e, kParamMouseButton, FourCC("mbtn"), 2, &button);
        int32_t result = SendEventToReceiver(e, &s_.receiver);
        EventObjectRelease(e);
        return result;
    }
    Scene s_;
    PortRecord port_{};
};

TEST_F(StandardWindow, OnlyWindowReceiversTakeIt) {
    EventReceiver menu{kReceiverMenu, nullptr, nullptr, 0};
    EXPECT_EQ(InstallStandardWindowHandler(&menu), kEventHandlerInstalled);
    EXPECT_EQ(InstallStandardWindowHandler(nullptr), kEventHandlerInstalled);
}

TEST_F(StandardWindow, ClicksByPartBecomeWindowEvents) {
    s_.front = true;
    struct Row {
        int16_t part;
        uint32_t kind;
        const char* ops;
    } rows[] = {
        {kPartContent, 37, ""}, {kPartCaption, 32, "drag "}, {kPartGrow, 33, "grow "},
        {kPartClose, 35, ""}, // the port takes close and zoom
        {kPartZoomIn, 36, ""},  {kPartZoomOut, 36, ""},      {kPartMinimise, 34, "minimise "}};
    for (const Row& row : rows) {
        s_.kinds.clear();
        s_.ops.clear();
        s_.records.clear();
        EXPECT_EQ(Click(row.part, 1), 0) << row.part;
        ASSERT_FALSE(s_.kinds.empty()) << row.part;
        EXPECT_EQ(s_.kinds.front(), row.kind) << row.part;
        EXPECT_EQ(s_.ops, row.ops) << row.part;
        if (row.part == kPartClose) {
            ASSERT_EQ(s_.records.size(), 1u);
            EXPECT_EQ(s_.records[0].what, kPortWhatClose);
        }
    }
    s_.kinds.clear();
    EXPECT_EQ(Click(9, 1), kEventNotHandled);
    // Without a port to take it, a content click without control is sent
    // again as 85; with button 2 as 78.
    EventReceiverClearHandlers(&s_.receiver);
    EventReceiverPushHandler(&s_.receiver, &Watch, 0, nullptr, nullptr, nullptr);
    InstallStandardWindowHandler(&s_.receiver);
    s_.kinds.clear();
    Click(kPartContent, 1);
    EXPECT_EQ(s_.kinds, (std::vector<uint32_t>{37, 85}));
    s_.kinds.clear();
    Click(kPartContent, 2);
    EXPECT_EQ(s_.kinds, (std::vector<uint32_t>{37, 78}));
    s_.ops.clear();
    Click(kPartClose, 1);
    EXPECT_EQ(s_.ops, "dispose ");
    s_.chosen = false;
    s_.ops.clear();
    Click(kPartClose, 1);
    EXPECT_EQ(s_.ops, ""); // released outside: nothing
}

TEST_F(StandardWindow, ClickActivation) {
    struct Row {
        int32_t type;
        uint32_t answer; // 0: the standard one
        const char* ops;
        bool clicked; // the part's event follows
        int32_t reposted;
    } rows[] = {
        {6, 0, "activate ", false, 0}, // standard 2: activate, click ends
        {5, 0, "activate ", false, 1}, // standard 3: activate and re-post
        {6, 1, "", true, 0},           {6, 3, "activate ", false, 1}, {6, 5, "activate ", true, 0},
    };
    for (const Row& row : rows) {
        OsEventQueueReset();
        s_.type = row.type;
        s_.clac = row.answer;
        s_.kinds.clear();
        s_.ops.clear();
        Click(kPartCaption, 1);
        ASSERT_FALSE(s_.kinds.empty());
        EXPECT_EQ(s_.kinds.front(), kWindowClickActivationKind);
        EXPECT_EQ(s_.ops, std::string(row.ops) + (row.clicked ? "drag " : "")) << row.answer;
        EXPECT_EQ(OsEventQueueCount(), row.reposted) << row.answer;
    }
    s_.type = 2; // not a document or floating window: no click activation
    s_.kinds.clear();
    Click(kPartCaption, 1);
    EXPECT_EQ(s_.kinds.front(), kWindowClickDragKind);
}

TEST_F(StandardWindow, WindowEventsBecomePortRecords) {
    struct Row {
        uint32_t kind;
        int16_t part;
        uint16_t what;
        uint16_t active;
    } rows[] = {{kWindowUpdateKind, 0, kOsWhatUpdate, 0},
                {kWindowActivatedKind, 0, kOsWhatActivate, 1},
                {kWindowDeactivatedKind, 0, kOsWhatActivate, 0},
                {kWindowCloseKind, 0, kPortWhatClose, 0},
                {kWindowZoomKind, kPartZoomIn, kPortWhatZoomOut, 0},
                {kWindowZoomKind, kPartZoomOut, kPortWhatZoomIn, 0},
                {kWindowClickContentKind, 0, kOsWhatMouseDown, 0}};
    for (const Row& row : rows) {
        s_.records.clear();
        EXPECT_EQ(Window(row.kind, row.part, 2), 0) << row.kind;
        ASSERT_EQ(s_.records.size(), 1u) << row.kind;
        EXPECT_EQ(s_.records[0].what, row.what) << row.kind;
        EXPECT_EQ(s_.records[0].modifiers & kModActiveFlag, row.active) << row.kind;
    }
    EXPECT_EQ(s_.records[0].message, 1u); // button 2 → 1
    s_.ops.clear();
    Window(kWindowUpdateKind);
    EXPECT_EQ(s_.ops, "begin end ");
    Window(kWindowResizeStartedKind);
    EXPECT_TRUE(port_.liveResize);
    Window(kWindowResizeCompletedKind);
    EXPECT_FALSE(port_.liveResize);
    EventObject e = nullptr;
    EventObjectNew(kEventClassWindow, kWindowGetMaximumSizeKind, &e);
    EXPECT_EQ(SendEventToReceiver(e, &s_.receiver), 0);
    Point16 dims{};
    EXPECT_EQ(EventParamGet(e, kParamDimensions, kEventTypeQdPoint, 4, &dims), 0);
    EXPECT_EQ(dims.v, 0x7FFF);
    EventObjectRelease(e);
    EXPECT_EQ(Window(99), kEventNotHandled);

    struct KeyRow {
        uint32_t kind;
        uint32_t modifiers;
        int32_t result;
        uint16_t what;
    } keys[] = {{kKeyDownKind, 0, 0, kOsWhatKeyDown},
                {kKeyRepeatKind, kModShift, 0, kOsWhatAutoKey},
                {kKeyDownKind, kModCommand, kEventNotHandled, 0},
                {kKeyUpKind, 0, kEventNotHandled, 0}};
    for (const KeyRow& k : keys) {
        s_.records.clear();
        EventObjectNew(kEventClassKeyboard, k.kind, &e);
        uint32_t code = 0x41;
        char ch = 'a';
        EventParamSet(e, kParamKeyCode, FourCC("magn"), 4, &code);
        EventParamSet(e, kParamKeyChar, FourCC("TEXT"), 1, &ch);
        EventParamSet(e, kParamModifiers, FourCC("magn"), 4, &k.modifiers);
        EXPECT_EQ(SendEventToReceiver(e, &s_.receiver), k.result) << k.kind;
        EventObjectRelease(e);
        if (k.what) {
            ASSERT_EQ(s_.records.size(), 1u);
            EXPECT_EQ(s_.records[0].what, k.what);
            EXPECT_EQ(s_.records[0].message, uintptr_t(0x4100 | 'a'));
        }
    }
}

TEST_F(StandardWindow, TheMouseUpOfAContentClickGoesOnceToThePortThatTookIt) {
    EventObject up = nullptr;
    EventObjectNew(kEventClassMouse, kMouseUpKind, &up);
    Point16 where{7, 8};
    uint16_t button = 2;
    EventParamSet(up, kParamMouseLocation, kEventTypeQdPoint, 4, &where);
    EventParamSet(up, kParamMouseButton, FourCC("mbtn"), 2, &button);
    EndPortContentClick(up); // no click yet
    EXPECT_TRUE(s_.records.empty());
    Window(kWindowClickContentKind);
    s_.records.clear();
    EndPortContentClick(up);
    ASSERT_EQ(s_.records.size(), 1u);
    EXPECT_EQ(s_.records[0].what, kOsWhatMouseUp);
    EXPECT_EQ(s_.records[0].message, 1u);
    EXPECT_EQ(s_.records[0].where.v, 7);
    EXPECT_EQ(s_.records[0].whereH, 8);
    EndPortContentClick(up); // forgotten
    EXPECT_EQ(s_.records.size(), 1u);
    // A port disposed after its click is forgotten with it.
    Window(kWindowClickContentKind);
    DisposePortRecord(&port_);
    s_.records.clear();
    EndPortContentClick(up);
    EXPECT_TRUE(s_.records.empty());
    EventObjectRelease(up);
}

TEST_F(StandardWindow, DispatchRaisesTheLoopLevelDepth) {
    int32_t token = 0;
    int other = 0;
    RunEventLoopLevel(&other, &token, false);
    static int16_t depthSeen = -1;
    port_.eventProc = [](PortRecord*, OsEventRecord*) {
        depthSeen = InnermostLoopLevel()->dispatchDepth;
        return 0;
    };
    OsEventRecord r{};
    DispatchToEventHandlers(&port_, &r);
    EXPECT_EQ(depthSeen, 1);
    EXPECT_EQ(InnermostLoopLevel()->dispatchDepth, 0);
    EXPECT_EQ(FindPortOfNativeWindow(&s_.window), &port_);
    EndEventLoopLevel(token, false);
}

} // namespace

namespace {

TEST_F(StandardWindow, WheelBoundsAndClosedWindows) {
    static int menus = 0, followUps = 0;
    static Rect16 sized{};
    menus = followUps = 0;
    PortHooks hooks{};
    hooks.nativeReceiver = [](void*) { return &g_s->receiver; };
    hooks.nativeOptions = [](void*) { return kOptionLiveResize; };
    hooks.sizeRootPane = [](PortRecord*, const Rect16* r) { sized = *r; };
    hooks.updateMenus = [] { ++menus; };
    hooks.mouseMovedFollowUp = [](PortRecord*) { ++followUps; };
    SetPortHooks(&hooks);
    static bool haveFront = true;
    LoopWindowHooks loop{};
    loop.frontNonFloatingWindow = [] {
        return haveFront ? static_cast<void*>(&g_s->window) : nullptr;
    };
    SetLoopWindowHooks(&loop);

    for (uint16_t axis : {uint16_t(0), uint16_t(1)}) {
        s_.records.clear();
        EventObject e = nullptr;
        EventObjectNew(kEventClassMouse, kMouseWheelKind, &e);
        int32_t delta = -2;
        uint32_t modifiers = kModShift;
        EventParamSet(e, kParamWheelDelta, FourCC("long"), 4, &delta);
        EventParamSet(e, kParamWheelAxis, FourCC("mwax"), 2, &axis);
        EventParamSet(e, kParamModifiers, FourCC("magn"), 4, &modifiers);
        EXPECT_EQ(SendEventToReceiver(e, &s_.receiver), 0);
        EventObjectRelease(e);
        ASSERT_EQ(s_.records.size(), 1u);
        EXPECT_EQ(s_.records[0].what, kPortWhatWheel);
        EXPECT_EQ(int32_t(uint32_t(s_.records[0].message)), -240);
        EXPECT_EQ(s_.records[0].modifiers & kModShift, axis == 0 ? kModShift : 0);
    }
    EXPECT_EQ(followUps, 2);

    EventObject bounds = nullptr;
    EventObjectNew(kEventClassWindow, kWindowBoundsChangedKind, &bounds);
    uint32_t attributes = kBoundsSizeChanged;
    Rect16 content{1, 2, 30, 40};
    EventParamSet(bounds, kParamAttributes, FourCC("magn"), 4, &attributes);
    EventParamSet(bounds, kParamCurrentBounds, FourCC("qdrt"), 8, &content);
    EXPECT_EQ(SendEventToReceiver(bounds, &s_.receiver), 0);
    EventObjectRelease(bounds);
    EXPECT_EQ(sized.right, 40);

    Window(kWindowClosedKind);
    EXPECT_EQ(menus, 0); // a document is still in front
    haveFront = false;
    Window(kWindowClosedKind);
    EXPECT_EQ(menus, 1);
    haveFront = true;
}

} // namespace

namespace {

TEST_F(StandardWindow, MouseMovedIsARecordForAnActiveWindowElseHidesTheHelpTag) {
    static int hidden = 0;
    static bool active = true;
    hidden = 0;
    PortHooks hooks{};
    hooks.nativeReceiver = [](void*) { return &g_s->receiver; };
    hooks.hideHelpTag = [] { ++hidden; };
    SetPortHooks(&hooks);
    SetIdleActiveProvider([](const PortRecord*) { return active; });
    for (bool isActive : {true, false}) {
        active = isActive;
        s_.records.clear();
        EventObject e = nullptr;
        EventObjectNew(kEventClassMouse, kMouseMovedKind, &e);
        Point16 where{12, 34};
        int16_t part = kPartContent;
        uint32_t modifiers = kModShift;
        EventParamSet(e, kParamMouseLocation, kEventTypeQdPoint, 4, &where);
        EventParamSet(e, kParamWindowPart, kTypeWindowPart, 2, &part);
        EventParamSet(e, kParamModifiers, FourCC("magn"), 4, &modifiers);
        SendEventToReceiver(e, &s_.receiver);
        EventObjectRelease(e);
        if (isActive) {
            ASSERT_EQ(s_.records.size(), 1u);
            EXPECT_EQ(s_.records[0].what, kPortWhatMouseMoved);
            EXPECT_EQ(s_.records[0].message, uintptr_t(kPartContent));
            EXPECT_EQ(s_.records[0].where.v, 12);
            EXPECT_EQ(s_.records[0].whereH, 34);
            EXPECT_EQ(s_.records[0].modifiers, kModShift);
            EXPECT_EQ(hidden, 0);
        } else {
            EXPECT_TRUE(s_.records.empty());
            EXPECT_EQ(hidden, 1);
        }
    }
    SetIdleActiveProvider(nullptr);
}

} // namespace
