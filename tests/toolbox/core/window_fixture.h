// Test support for window objects over ports without native windows: the
// recording pane host, ports linked on the port list, a z-order of the
// made windows for the window walks, and a callback that records every
// event and answers from a table the test sets.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "pane_fixture.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowtranslate.h"

struct SeenEvent {
    int32_t window; // sequence number
    WindowEvent event;
};

inline std::vector<SeenEvent>& SeenEvents() {
    static std::vector<SeenEvent> seen;
    return seen;
}

// What a callback does for an event type: answer, and optionally act.
inline std::map<uint32_t, std::function<int32_t(WindowObject*, WindowEvent*)>>& Reactions() {
    static std::map<uint32_t, std::function<int32_t(WindowObject*, WindowEvent*)>> table;
    return table;
}

inline int32_t RecordingCallback(WindowObject* window, WindowEvent* event) {
    SeenEvents().push_back({window->sequence, *event});
    auto it = Reactions().find(event->type);
    return it == Reactions().end() ? 0 : it->second(window, event);
}

// The types seen by one window, in order.
inline std::vector<uint32_t> TypesSeenBy(int32_t window) {
    std::vector<uint32_t> types;
    for (const SeenEvent& e : SeenEvents())
        if (e.window == window) types.push_back(e.event.type);
    return types;
}

inline std::vector<int32_t>& ZOrder() {
    static std::vector<int32_t> order;
    return order;
}

inline WindowObject* NextExisting(size_t from) {
    for (size_t i = from; i < ZOrder().size(); ++i)
        if (WindowObject* w = WindowObjectFromId(ZOrder()[i])) return w;
    return nullptr;
}

inline WindowObject* WalkFirst() {
    return NextExisting(0);
}

inline WindowObject* WalkNext(WindowObject* window) {
    auto it = std::find(ZOrder().begin(), ZOrder().end(), window->sequence);
    return it == ZOrder().end() ? nullptr : NextExisting(size_t(it - ZOrder().begin()) + 1);
}

inline std::vector<int32_t>& EnabledIds() {
    static std::vector<int32_t> ids;
    return ids;
}

struct FakeNative {
    PortRecord port{};
    int32_t marker = 0;
};

inline void DisposeFakeNative(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    DisposePortRecord(port);
    delete reinterpret_cast<FakeNative*>(port);
}

class WindowFixture : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        previousHost_ = SetPaneHost(RecordingPaneHost());
        WindowNativeProcs procs{};
        procs.firstWindow = &WalkFirst;
        procs.nextWindow = &WalkNext;
        procs.disposeNative = &DisposeFakeNative;
        procs.enableWindow = [](int32_t id) { EnabledIds().push_back(id); };
        SetWindowNativeProcs(&procs);
        SeenEvents().clear();
        Reactions().clear();
        ZOrder().clear();
        EnabledIds().clear();
        HostCalls().clear();
        PendingUpdateRect() = {0, 0, 0, 0};
        ResetClickHistory();
        TakeOneShotCreationWords();
        baseline_ = WindowIdCount();
    }
    void TearDown() override {
        DisposeAllWindows();
        EXPECT_EQ(WindowIdCount(), baseline_);
        SetWindowNativeProcs(nullptr);
        SetDialogLayerProcs(nullptr);
        SetProcessCommandProc(nullptr);
        SetPaneHost(previousHost_);
        HeapTest::TearDown();
    }
    // A top-level window of the kind over a fake native window, content
    // height x width, placed behind the windows made before.
    WindowObject* MakeWindow(uint8_t kind = kKindDocument, uint32_t options = 0,
                             int16_t height = 200, int16_t width = 300) {
        auto* native = new FakeNative;
        WindowObjectLink(&native->port, native, 0, &PortEventProc);
        WindowCreation params{kind, 0, options, 0, 0, nullptr, &RecordingCallback};
        OneShotCreationWords words = TakeOneShotCreationWords();
        WindowObject* w = AttachWindowObject(Pool(), &native->port, &params, &words, height, width);
        if (!w) {
            if (FindPortOfNativeWindow(native)) {
                DisposePortRecord(&native->port);
                delete native;
            }
            return nullptr;
        }
        ZOrder().push_back(w->sequence);
        return w;
    }
    static PortRecord* PortOf(WindowObject* w) { return static_cast<PortRecord*>(w->port); }
    static OsEventRecord Record(uint16_t what, uintptr_t message = 0, Point16 where = {0, 0},
                                uint16_t modifiers = 0, uint32_t when = 0) {
        OsEventRecord r{};
        r.what = what;
        r.message = message;
        r.where = where;
        r.whereV = where.v;
        r.whereH = where.h;
        r.modifiers = modifiers;
        r.when = when;
        return r;
    }
    int32_t baseline_ = 0;
    const PaneHost* previousHost_ = nullptr;
};
