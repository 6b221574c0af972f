// Reading "XDLG" templates: the header at load, then one item per call.
//
// Every read goes through a cursor bounded by the resource block, so a
// malformed template can never read outside it: an item count beyond the
// data, a string without its zero or a cut style block makes the load
// answer null or the item read false. The one tolerated shortfall is the
// last item's text ending with the data, which reads as "" (templates may
// leave an empty last text out).
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/resource.h"
#include "toolbox/ui/xdlg.h"

namespace {

constexpr uint32_t kTemplateType = FourCC("XDlg");
constexpr int32_t kHeaderFixedBytes = 12;
constexpr int32_t kReferenceDpi = 96;
constexpr char kPageSeparator = '|';

int32_t s_dpi = kReferenceDpi;

int16_t SystemFontForEveryName(const char*) {
    return kSystemFont;
}
TemplateFontLookup s_fontLookup = SystemFontForEveryName;

// A bounded little-endian reader; any overrun clears ok.
struct Cursor {
    const uint8_t* bytes;
    int32_t size;
    int32_t at;
    bool ok;

    int16_t Get16() {
        if (at + 2 > size) {
            ok = false;
            return 0;
        }
        int16_t v = int16_t(uint16_t(bytes[at] | (bytes[at + 1] << 8)));
        at += 2;
        return v;
    }
    // A padded string into out (its first max characters kept); a missing
    // pad byte at the very end of the data is tolerated.
    void String(std::string& out, size_t max) {
        out.clear();
        if (at >= size) {
            ok = false;
            return;
        }
        const void* zero = std::memchr(bytes + at, 0, size_t(size - at));
        if (!zero) {
            ok = false;
            return;
        }
        int32_t length = int32_t(static_cast<const uint8_t*>(zero) - (bytes + at));
        out.assign(reinterpret_cast<const char*>(bytes + at),
                   size_t(std::min<int32_t>(length, int32_t(max))));
        at += length + 1;
        if ((length + 1) % 2) at = std::min(at + 1, size);
    }
};

void CopyText(char* out, const std::string& text) {
    size_t n = std::min(text.size(), size_t(kTemplateTextChars));
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

void ReadStyleBlock(Cursor& c, int16_t styleFlags, ControlStyleBlock* style) {
    std::memset(style, 0, sizeof *style);
    if (styleFlags & kStyleBlockJustification) {
        style->justification = c.Get16();
        style->flags |= kStyleJustification;
    }
    if (styleFlags & kStyleBlockFont) {
        int16_t size = c.Get16();
        int16_t face = c.Get16();
        std::string name;
        c.String(name, kTemplateTextChars);
        if (name == "*") {
            style->font = size == 1 ? kSmallSystemFont : kSystemFont;
            style->flags |= kStyleFont;
        } else {
            style->font = s_fontLookup(name.c_str());
            style->size = size;
            style->face = face;
            style->flags |= kStyleFont | kStyleFace | kStyleSize;
        }
    }
}

void ReadRect(Cursor& c, Rect16* r) {
    r->top = c.Get16();
    r->left = c.Get16();
    r->bottom = c.Get16();
    r->right = c.Get16();
}

} // namespace

void SetTemplateDpi(int32_t dpi) {
    s_dpi = dpi > 0 ? dpi : kReferenceDpi;
}

int32_t TemplateDpi() {
    return s_dpi;
}

int32_t ScaleTemplateValue(int32_t value) {
    int32_t magnitude = (std::abs(value) * s_dpi + kReferenceDpi / 2) / kReferenceDpi;
    return value < 0 ? -magnitude : magnitude;
}

void ScaleTemplateRect(Rect16* r) {
    int32_t top = ScaleTemplateValue(r->top);
    int32_t left = ScaleTemplateValue(r->left);
    int32_t height = ScaleTemplateValue(int32_t(r->bottom) - r->top);
    int32_t width = ScaleTemplateValue(int32_t(r->right) - r->left);
    r->top = int16_t(top);
    r->left = int16_t(left);
    r->bottom = int16_t(top + height);
    r->right = int16_t(left + width);
}

void SetTemplateFontLookup(TemplateFontLookup lookup) {
    s_fontLookup = lookup ? lookup : SystemFontForEveryName;
}

XDlgTemplate* ParseDialogTemplate(const void* bytes, int32_t size) {
    Cursor c{static_cast<const uint8_t*>(bytes), size, 0, true};
    XDlgTemplate header = {};
    ReadRect(c, &header.bounds);
    header.itemCount = c.Get16();
    header.flags = c.Get16();
    std::string title;
    c.String(title, kTemplateTextChars);
    if (header.flags & kTemplateHasStyle) ReadStyleBlock(c, kStyleBlockFont, &header.style);
    if (!c.ok || header.itemCount < 0) return nullptr;
    if (header.flags & kTemplateSmallFont) {
        std::memset(&header.style, 0, sizeof header.style);
        header.style.flags = kStyleFont;
        header.style.font = kSmallSystemFont;
    }
    if (!(header.flags & kTemplatePixels)) ScaleTemplateRect(&header.bounds);
    CopyText(header.title, title);
    header.cursor = -1;
    if (header.itemCount > 0) {
        header.data = RelocatableBlockFromBytes(nullptr, c.bytes + c.at, size - c.at);
        if (!header.data) return nullptr;
    }
    XDlgTemplate* t = static_cast<XDlgTemplate*>(NewPointerBlockClear(nullptr, sizeof *t));
    if (!t) {
        if (header.data) HeapHandleFree(header.data);
        return nullptr;
    }
    *t = header;
    return t;
}

XDlgTemplate* LoadDialogTemplate(int32_t number) {
    RelocatableBlock block = LoadCustomResource(kTemplateType, number);
    if (!block) return nullptr;
    XDlgTemplate* t = ParseDialogTemplate(HeapHandleLock(block), RelocatableBlockSize(block));
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    return t;
}

bool ReadTemplateItem(XDlgTemplate* t, TemplateItem* item) {
    if (t->cursor < 0) {
        t->cursor = 0;
        t->nextByte = 0;
    }
    if (t->cursor >= t->itemCount || !t->data) return false;
    std::memset(item, 0, sizeof *item);
    Cursor c{static_cast<const uint8_t*>(HeapHandleLock(t->data)), RelocatableBlockSize(t->data),
             t->nextByte, true};
    ReadRect(c, &item->bounds);
    item->definition = c.Get16();
    item->number = c.Get16();
    item->flags = c.Get16();
    int16_t family = int16_t(item->definition & kDefFamilyMask);
    if (family == kDefIconButton) {
        item->maximum = c.Get16();
        item->minimum = c.Get16();
    } else if (family == kDefIcon) {
        item->value = c.Get16();
        c.Get16();
    } else {
        ReadStyleBlock(c, item->flags, &item->style);
    }
    if (family == kDefPushButton || family == kDefStandardButton) item->maximum = 1;
    bool last = t->cursor == t->itemCount - 1;
    std::string text;
    if (c.ok && !(last && c.at >= c.size)) {
        if (family == kDefTabs) {
            std::string page;
            for (bool first = true;; first = false) {
                c.String(page, kTemplateTextChars);
                if (!c.ok || page.empty()) break;
                if (!first) text += kPageSeparator;
                text += page;
            }
        } else {
            c.String(text, kTemplateTextChars);
        }
    }
    HeapHandleUnlock(t->data);
    if (!c.ok) return false;
    CopyText(item->text, text);
    if (!(t->flags & kTemplatePixels)) ScaleTemplateRect(&item->bounds);
    t->nextByte = c.at;
    ++t->cursor;
    return true;
}

void DisposeDialogTemplate(XDlgTemplate* t) {
    if (!t) return;
    if (t->data) HeapHandleFree(t->data);
    FreeHeapBlock(t);
}
