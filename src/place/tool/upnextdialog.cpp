// The "Select Next" dialog: over 30 candidates a name field preset with the
// first candidate's name (OK needs a component of that name); otherwise
// one radio button per nonzero candidate, item 52570 + its position in
// the list, the first one set, in three columns from 20 candidates and
// two below. Labels are "name.pins" padded with blanks to 20 characters,
// or, for up to 10 candidates, "name.pins " followed by the footprint
// name. OK without a set button, or with an unknown name, alerts and
// keeps the dialog open.
#include <cstdio>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/symbols.h"
#include "place/tool/placehost.h"
#include "place/tool/upnext.h"

namespace {

enum : int32_t {
    kThreeColumns = 3,
    kTwoColumns = 2,
    kLabelChars = kNameMaxChars * 2 + 16, // name, pins and footprint name
};

// The dialog being run.
struct NextDialog {
    int32_t first = 0;
    int32_t n = 0;
    const int16_t* list = nullptr;
    int32_t chosen = 0;
} g_next;

bool NameField() {
    return g_next.n > kNextRadioMax;
}

void RadioLabel(int32_t c, char* out, size_t size) {
    Component r;
    AltSave(kRecComponent, c, &r);
    const bool known = r.symbol >= 1 && r.symbol <= SymCount();
    const int32_t pins = known ? SymPinCount(r.symbol) : 0;
    if (g_next.n <= kNextFootprintLabels) {
        SymbolInfo info{};
        if (known) SymInfoGet(r.symbol, &info);
        std::snprintf(out, size, "%s.%d %s", NameText(r.name), pins,
                      known ? NameText(info.name) : "");
    } else {
        char text[kLabelChars];
        std::snprintf(text, sizeof text, "%s.%d", NameText(r.name), pins);
        std::snprintf(out, size, "%-*s", kNextLabelWidth, text);
    }
}

void Build() {
    PlaceHost& host = PlHost();
    if (NameField()) {
        char text[64];
        std::snprintf(text, sizeof text, LangString(kMsgNextCount), g_next.n);
        host.DlgSetStaticText(kDlgStaticPlain, kMsgNextCount, text, 0, 1);
        Component r;
        AltSave(kRecComponent, g_next.first, &r);
        host.DlgSetItem(kMsgNextName, NameText(r.name), kNextNameWidth);
        return;
    }
    const int32_t columns = g_next.n >= kNextThreeColumns ? kThreeColumns : kTwoColumns;
    bool set = false;
    for (int32_t i = 1; i <= g_next.n; ++i) {
        const int32_t c = g_next.list[i - 1];
        if (c == 0) continue;
        char label[kLabelChars];
        RadioLabel(c, label, sizeof label);
        host.DlgSetButton(kDlgStyleRadio, kNextRadioBase + i, columns, set ? 0 : kDlgValueOn,
                          kDlgStateEnabled);
        host.DlgSetText(kNextRadioBase + i, 0, label);
        set = true;
    }
}

int32_t Accept() {
    PlaceHost& host = PlHost();
    if (NameField()) {
        char name[kNameMaxChars + 1];
        host.DlgGetItemText(kMsgNextName, name, int32_t(sizeof name));
        const int32_t c = CompFind(name);
        if (c == 0) {
            host.AlertMessage(LangString(kMsgNameNotFound));
            return 0;
        }
        g_next.chosen = c;
        return 1;
    }
    for (int32_t i = 1; i <= g_next.n; ++i) {
        if (g_next.list[i - 1] == 0) continue;
        if (host.DlgGetItemValue(kNextRadioBase + i) != kDlgValueOn) continue;
        g_next.chosen = g_next.list[i - 1];
        return 1;
    }
    host.AlertMessage(LangString(kMsgNoneChosen));
    return 0;
}

int32_t NextDialogHandler(int32_t code) {
    if (code == kDlgCodeInit) {
        Build();
        return 1;
    }
    return code == kDlgCodeOk ? Accept() : 0;
}

} // namespace

int32_t UpNextDialog(int32_t first, int32_t n, const int16_t* list) {
    if (n < 1) return 0;
    g_next = NextDialog{first, n, list, 0};
    PlaceHost& host = PlHost();
    host.DlgOpen(&NextDialogHandler, kMsgSelectNext, nullptr);
    const int32_t ok = host.DlgRunModal();
    const int32_t chosen = ok == 1 ? g_next.chosen : 0;
    g_next = NextDialog{};
    return chosen;
}
