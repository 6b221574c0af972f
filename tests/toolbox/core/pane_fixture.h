// Test support for the pane tree and surface lists: a pane host that
// records every call as a line of text, and a fixture with a root pane of a
// given size under that host.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "heap_fixture.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/region.h"
#include "toolbox/core/surfacelist.h"

inline std::vector<std::string>& HostCalls() {
    static std::vector<std::string> calls;
    return calls;
}

inline std::string RectText(const Rect16& r) {
    return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) +
           "," + std::to_string(r.right);
}

inline void RecordInvalidate(PortRecord*, const RegionRecord* area, uint8_t add) {
    Rect16 b;
    RegionBounds(area, &b);
    HostCalls().push_back((add ? "inval " : "valid ") + RectText(b));
}

inline int& RecordedBar() {
    static int bar;
    return bar;
}

inline void* RecordNewBar(PaneRecord*, ScrollBarAxis axis, const Rect16* rect) {
    HostCalls().push_back("bar " + std::to_string(axis) + " " + RectText(*rect));
    return &RecordedBar();
}

inline void RecordShowBar(void*, bool show) {
    HostCalls().push_back(show ? "show" : "hide");
}

inline void RecordBarValues(void*, int32_t minimum, int32_t maximum, int32_t value) {
    HostCalls().push_back("values " + std::to_string(minimum) + " " + std::to_string(maximum) +
                          " " + std::to_string(value));
}

// The pending update the host answers (tests set it).
inline Rect16& PendingUpdateRect() {
    static Rect16 pending = {0, 0, 0, 0};
    return pending;
}

inline Rect16& PendingUpdateSaved() {
    static Rect16 saved = {0, 0, 0, 0};
    return saved;
}

inline void RecordPendingUpdate(PortRecord*, RegionRecord* out) {
    SetRegionToShortRect(out, &PendingUpdateRect());
}

inline void RecordPaint(PortRecord*, const RegionRecord* region, uint32_t colour) {
    Rect16 b;
    RegionBounds(region, &b);
    HostCalls().push_back("paint " + std::to_string(colour) + " " + RectText(b));
}

// Drawing at once makes the region the pending update for its duration.
inline void RecordBeginDraw(PortRecord*, const RegionRecord* region) {
    Rect16 b;
    RegionBounds(region, &b);
    HostCalls().push_back("begin " + RectText(b));
    std::swap(PendingUpdateRect(), b);
    PendingUpdateSaved() = b;
}

inline void RecordEndDraw(PortRecord*) {
    HostCalls().push_back("end");
    PendingUpdateRect() = PendingUpdateSaved();
}

inline const PaneHost* RecordingPaneHost() {
    static const PaneHost host = [] {
        PaneHost h{};
        h.invalidate = &RecordInvalidate;
        h.newScrollBar = &RecordNewBar;
        h.showScrollBar = &RecordShowBar;
        h.setScrollBarValues = &RecordBarValues;
        h.pendingUpdate = &RecordPendingUpdate;
        h.paintRegion = &RecordPaint;
        h.beginDraw = &RecordBeginDraw;
        h.endDraw = &RecordEndDraw;
        return h;
    }();
    return &host;
}

// A root pane of height x width under the recording host; its surface list,
// when one was made, goes with it.
class PaneFixture : public HeapTest {
  protected:
    void MakeRoot(int16_t height, int16_t width, PaneProc proc = nullptr) {
        previous_ = SetPaneHost(RecordingPaneHost());
        const Rect16 limits = {0, 0, kPaneCoordMax, kPaneCoordMax};
        root_ = NewRootPane(Pool(), nullptr, &limits, 0, proc);
        ASSERT_NE(root_, nullptr);
        ResizePane(root_, height, width);
        HostCalls().clear();
    }
    void TearDown() override {
        if (root_) {
            DisposeSurfaceList(root_->surfaceList);
            DisposePane(root_);
        }
        SetPaneHost(previous_);
        HeapTest::TearDown();
    }
    PaneRecord* root_ = nullptr;
    const PaneHost* previous_ = nullptr;
};
