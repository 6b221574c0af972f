// Help-tag tracking over the loop's timers: the show delay as a one-shot
// timer, and a repeating check for the mouse having left the tracked entry.
#include "toolbox/core/helptagtrack.h"

#include <string>

#include "toolbox/core/looptimer.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"

namespace {

constexpr double kOneShot = -1;

void NoShow(HelpTagList*, int32_t, const char*) {}
void NoHide(bool) {}

struct TrackState {
    HelpTagList* list = nullptr;
    int32_t entry = -1;
    LoopTimer* showTimer = nullptr;
    LoopTimer* leaveTimer = nullptr;
    bool off = false;
    // While a tag is being shown the layers' hiding triggers (the popup's
    // own window being made) are ignored.
    bool showing = false;
    HelpTagPopupProcs popup{&NoShow, &NoHide};
};
TrackState g_track;

void StopTimer(LoopTimer** timer) {
    if (*timer) EventLoopTimerRemove(*timer);
    *timer = nullptr;
}

// Shows the tracked entry: another shown tag is hidden first and the list
// is no longer armed.
void ShowTracked() {
    HelpTagList* list = g_track.list;
    g_track.popup.hide(false);
    list->armed = 0;
    std::string text = HelpTagText(list, g_track.entry);
    if (text.empty() || g_track.off) return;
    g_track.showing = true;
    g_track.popup.show(list, g_track.entry, text.c_str());
    g_track.showing = false;
}

void ShowTimerFired(LoopTimer*, void*) {
    StopTimer(&g_track.showTimer);
    if (g_track.list && g_track.entry >= 0 && g_track.list->armed) ShowTracked();
}

PortRecord* PortOfList(const HelpTagList* list) {
    return list && list->surfaceList && list->surfaceList->pane ? list->surfaceList->pane->port
                                                                : nullptr;
}

void LeaveCheckFired(LoopTimer*, void*) {
    Point32 mouse{0, 0};
    OsMouseClient(&mouse);
    OsEventRecord record;
    OsNullRecord(&record);
    record.whereV = mouse.v;
    record.whereH = mouse.h;
    PointToShort(&mouse, &record.where);
    HelpTagMouseCheck(&record);
}

// Tracks the entry: the show delay (re)starts with the list's delay and
// the list is armed.
void Track(HelpTagList* list, int32_t entry) {
    g_track.list = list;
    g_track.entry = entry;
    StopTimer(&g_track.showTimer);
    EventLoopTimerInstall(MainLoopTimerList(), list->showDelay, kOneShot, &ShowTimerFired, nullptr,
                          &g_track.showTimer);
    list->armed = 1;
    if (!g_track.leaveTimer)
        EventLoopTimerInstall(MainLoopTimerList(), kHelpTagLeaveCheck, kHelpTagLeaveCheck,
                              &LeaveCheckFired, nullptr, &g_track.leaveTimer);
}

void ForgetList(HelpTagList* list) {
    if (list == g_track.list) HelpTagCancel();
}

void CancelFromLayers() {
    if (!g_track.showing) HelpTagCancel();
}

} // namespace

HelpTagStep HelpTagTrackStep(const HelpTagList* trackedList, int32_t trackedEntry,
                             const HelpTagList* list, int32_t entry, bool forced) {
    if (entry < 0) return list && list == trackedList ? HelpTagStep::Cancel : HelpTagStep::Nothing;
    if (!trackedList || trackedEntry < 0) return HelpTagStep::Track;
    if (trackedList != list || trackedEntry != entry) return HelpTagStep::Track;
    return forced && list->armed ? HelpTagStep::Restart : HelpTagStep::Nothing;
}

void SetHelpTagPopupProcs(const HelpTagPopupProcs* procs) {
    g_track.popup.show = procs && procs->show ? procs->show : &NoShow;
    g_track.popup.hide = procs && procs->hide ? procs->hide : &NoHide;
}

void HelpTagMouseMoved(SurfaceList* surfaces, const OsEventRecord* record) {
    HelpTagList* list = HelpTagListOf(surfaces);
    if (!list || !record) return;
    int32_t entry = HelpTagAtPoint(list, kHelpTagAnySurface, record->where);
    switch (HelpTagTrackStep(g_track.list, g_track.entry, list, entry, MouseMovedRecordForced())) {
    case HelpTagStep::Cancel:
        HelpTagCancel();
        return;
    case HelpTagStep::Track:
        if (g_track.list) HelpTagCancel();
        Track(list, entry);
        return;
    case HelpTagStep::Restart:
        Track(list, entry);
        return;
    case HelpTagStep::Nothing:
        return;
    }
}

void HelpTagMouseCheck(const OsEventRecord* record) {
    if (!g_track.list || !record) return;
    PortRecord* port = PortOfList(g_track.list);
    if (port) {
        Point32 local = HostPortLocal(port, Point32{record->whereV, record->whereH});
        Point16 point{0, 0};
        PointToShort(&local, &point);
        if (HelpTagEntryHolds(g_track.list, g_track.entry, point)) return;
    }
    HelpTagCancel();
}

void HelpTagCancel() {
    StopTimer(&g_track.showTimer);
    StopTimer(&g_track.leaveTimer);
    if (g_track.list) g_track.list->armed = 0;
    g_track.list = nullptr;
    g_track.entry = -1;
    g_track.popup.hide(false);
}

void SetHelpTagsOff(bool off) {
    g_track.off = off;
    if (off) HelpTagCancel();
}

HelpTagList* HelpTagTrackedList() {
    return g_track.list;
}

int32_t HelpTagTrackedEntry() {
    return g_track.entry;
}

void InstallHelpTagTracking() {
    HelpTagHooks tags{};
    tags.mouseMoved = &HelpTagMouseMoved;
    tags.disposeTags = &DisposeHelpTagList;
    SetHelpTagHooks(&tags);
    SetHelpTagListDisposingProc(&ForgetList);
    PortHooks ports = CurrentPortHooks();
    ports.hideHelpTag = &CancelFromLayers;
    ports.checkHelpTag = &HelpTagMouseCheck;
    SetPortHooks(&ports);
    ShellAppProcs shell = ShellApp();
    shell.hideHelpTag = &CancelFromLayers;
    SetShellAppProcs(&shell);
}
