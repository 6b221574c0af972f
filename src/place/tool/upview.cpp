// The view-choice dialogs: each command has its dialog and its list of
// view commands, one radio button each (the first one set, except in the
// one-entry graphic list). OK installs the first view whose button is set
// and closes only when the view opened; with no button set it alerts and
// the dialog stays.
#include "place/tool/upview.h"

#include <cstddef>
#include <iterator>

#include "db/lang.h"
#include "place/tool/placehost.h"

namespace {

// The views the dialogs offer.
enum : int32_t {
    kViewStatistics = 30830,
    kViewLayers = 30842,
    kViewThrucodes = 30844,
    kViewFootprints = 30846,
    kViewPackages = 30848,
    kViewComponents = 30850,
    kViewNets = 30852,
    kViewObstacles = 30854,
    kViewErrorMarkers = 30874,
    kViewColor = 30858,
    kViewRouteLayer = 30862,
    kViewRouteSpacing = 30864,
    kViewRouteSweep = 30866,
    kViewRoutePass = 30868,
};

constexpr int32_t kDataViews[] = {kViewStatistics, kViewLayers,    kViewThrucodes,
                                  kViewFootprints, kViewPackages,  kViewComponents,
                                  kViewNets,       kViewObstacles, kViewErrorMarkers};
constexpr int32_t kGraphicViews[] = {kViewDesign};
constexpr int32_t kStrategyViews[] = {kViewColor, kViewRouteLayer, kViewRouteSpacing,
                                      kViewRouteSweep, kViewRoutePass};

struct ViewChoice {
    int32_t command;
    int32_t dialog;
    const int32_t* views;
    size_t count;
    bool firstSet;
};

constexpr ViewChoice kChoices[] = {
    {kCmdDataWindows, kMsgDataWindow, kDataViews, std::size(kDataViews), true},
    {kCmdGraphicWindows, kMsgGraphicWindow, kGraphicViews, std::size(kGraphicViews), false},
    {kCmdStrategyWindows, kMsgStrategyWindow, kStrategyViews, std::size(kStrategyViews), true},
};

// The dialog being run (one at a time).
const ViewChoice* g_choice = nullptr;

int32_t ViewDialogHandler(int32_t code) {
    PlaceHost& host = PlHost();
    const ViewChoice& c = *g_choice;
    if (code == kDlgCodeInit) {
        for (size_t i = 0; i < c.count; ++i)
            host.DlgSetButton(kDlgStyleRadio, c.views[i], 0, i == 0 && c.firstSet ? kDlgValueOn : 0,
                              kDlgStateEnabled);
        return 1;
    }
    if (code != kDlgCodeOk) return 0;
    for (size_t i = 0; i < c.count; ++i)
        if (host.DlgGetItemValue(c.views[i]) == kDlgValueOn)
            return host.ViewInstall(c.views[i]) == 1 ? 1 : 0;
    host.AlertMessage(LangString(kMsgNoWindowType));
    return 0;
}

} // namespace

int32_t upViewCommand(int32_t command) {
    for (const ViewChoice& c : kChoices) {
        if (c.command != command) continue;
        PlaceHost& host = PlHost();
        g_choice = &c;
        host.DlgOpen(&ViewDialogHandler, c.dialog, nullptr);
        host.DlgRunModal();
        g_choice = nullptr;
        return 1;
    }
    return 0;
}
