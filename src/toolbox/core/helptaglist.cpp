// Help-tag lists and popup placement. The list hangs on the window's
// surface list, which disposes it with itself through the help-tag hooks.
#include "toolbox/core/helptaglist.h"

#include "toolbox/core/surfacelist.h"
#include "toolbox/core/surfaceproc.h"

namespace {

bool NoItemRect(void*, Rect16*) {
    return false;
}

bool (*g_itemRect)(void*, Rect16*) = &NoItemRect;
void (*g_disposing)(HelpTagList*) = nullptr;

bool Holds(const Rect16& r, Point16 p) {
    return p.v >= r.top && p.v < r.bottom && p.h >= r.left && p.h < r.right;
}

} // namespace

void SetHelpTagItemRectProc(bool (*procedure)(void* item, Rect16* out)) {
    g_itemRect = procedure ? procedure : &NoItemRect;
}

bool HelpTagItemRect(void* item, Rect16* out) {
    return g_itemRect(item, out);
}

HelpTagList* HelpTagListOf(SurfaceList* list) {
    return list ? static_cast<HelpTagList*>(list->helpTags) : nullptr;
}

int32_t HelpTagAdd(SurfaceList* list, uint8_t surface, uint8_t kind, void* item, const Rect16* rect,
                   int16_t value, const char* text) {
    if (!list) return -1;
    HelpTagList* tags = HelpTagListOf(list);
    if (!tags) {
        tags =
            new HelpTagList{list, nullptr, kHelpTagShowDelay, kHelpTagFont, kHelpTagSize, 0, 0, {}};
        list->helpTags = tags;
    }
    if (kind == kHelpTagKindItem) {
        for (size_t i = 0; i < tags->entries.size(); ++i)
            if (tags->entries[i].kind == kHelpTagKindItem && tags->entries[i].item == item)
                return int32_t(i);
        surface = kHelpTagItemSurface;
    }
    HelpTagRecord entry{};
    entry.item = kind == kHelpTagKindItem ? item : nullptr;
    if (kind != kHelpTagKindItem && rect) entry.rect = *rect;
    entry.value = value;
    entry.kind = kind;
    entry.surface = surface;
    entry.text = text ? text : "";
    tags->entries.push_back(entry);
    return int32_t(tags->entries.size() - 1);
}

void SetHelpTagListDisposingProc(void (*procedure)(HelpTagList* list)) {
    g_disposing = procedure;
}

void DisposeHelpTagList(void* tags) {
    if (tags && g_disposing) g_disposing(static_cast<HelpTagList*>(tags));
    delete static_cast<HelpTagList*>(tags);
}

void InstallHelpTagLists() {
    HelpTagHooks hooks{};
    hooks.disposeTags = &DisposeHelpTagList;
    SetHelpTagHooks(&hooks);
}

void HelpTagRemove(SurfaceList* list, void* item) {
    HelpTagList* tags = HelpTagListOf(list);
    if (!tags) return;
    for (size_t i = 0; i < tags->entries.size(); ++i) {
        if (tags->entries[i].kind == kHelpTagKindItem && tags->entries[i].item == item) {
            tags->entries.erase(tags->entries.begin() + long(i));
            break;
        }
    }
    if (tags->entries.empty()) {
        list->helpTags = nullptr;
        DisposeHelpTagList(tags);
    }
}

bool HelpTagEntryRect(const HelpTagList* list, int32_t entry, Rect16* out) {
    if (!list || entry < 0 || entry >= int32_t(list->entries.size())) return false;
    const HelpTagRecord& e = list->entries[size_t(entry)];
    if (e.kind == kHelpTagKindItem) return g_itemRect(e.item, out);
    *out = e.rect;
    return true;
}

bool HelpTagEntryHolds(const HelpTagList* list, int32_t entry, Point16 point) {
    Rect16 r{};
    return HelpTagEntryRect(list, entry, &r) && Holds(r, point);
}

int32_t HelpTagAtPoint(const HelpTagList* list, int32_t surface, Point16 point) {
    if (!list) return -1;
    for (size_t i = 0; i < list->entries.size(); ++i) {
        const HelpTagRecord& e = list->entries[i];
        if (surface != kHelpTagAnySurface && e.surface != uint8_t(surface)) continue;
        if (HelpTagEntryHolds(list, int32_t(i), point)) return int32_t(i);
    }
    return -1;
}

std::string HelpTagText(HelpTagList* list, int32_t entry) {
    if (!list || entry < 0 || entry >= int32_t(list->entries.size())) return {};
    if (list->textProc) {
        char buffer[256] = {};
        if (list->textProc(list, entry, kHelpTagAskText, buffer) == kHelpTagAnswered) {
            buffer[sizeof buffer - 1] = 0;
            return buffer;
        }
    }
    return list->entries[size_t(entry)].text;
}

Rect16 HelpTagPopupRect(int32_t placement, Point16 mouse, const Rect16& target, Point16 given,
                        int32_t textWidth, int32_t ascent, int32_t descent, const Rect16& screen) {
    int32_t width = textWidth + kHelpTagExtraWidth;
    int32_t height = ascent + descent + kHelpTagExtraHeight;
    int32_t top = mouse.v + kHelpTagMouseBelow;
    int32_t left = mouse.h + kHelpTagMouseRight;
    if (placement == kHelpTagBelowTarget) {
        top = target.bottom + 1;
        left = target.left;
    } else if (placement == kHelpTagRightOfTarget) {
        top = target.top;
        left = target.right + 1;
    } else if (placement == kHelpTagBaselineAtPoint) {
        top = given.v - ascent - kHelpTagTextDrop;
        left = given.h - kHelpTagTextLeft;
    }
    if (left + width > screen.right - kHelpTagScreenMargin)
        left = screen.right - kHelpTagScreenMargin - width;
    if (left < screen.left + kHelpTagScreenMargin) left = screen.left + kHelpTagScreenMargin;
    if (top + height > screen.bottom - kHelpTagScreenMargin)
        top = screen.bottom - kHelpTagScreenMargin - height;
    if (top < screen.top + kHelpTagScreenMargin) top = screen.top + kHelpTagScreenMargin;
    return Rect16{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
}
