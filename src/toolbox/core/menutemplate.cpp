// Reads standard RT_MENU templates: a 4-byte header (version 0, header
// size 0), then items, each {flags 16-bit, id 16-bit unless a popup, text in
// UTF-16 to a zero}, little-endian; a popup's items follow it, the last
// item of every level carries the end flag. Texts become 8-bit (characters
// above 255 read as '?') and are cut to kMenuItemTextMax.
#include "toolbox/core/menutemplate.h"

#include <cctype>

namespace {

constexpr size_t kMenuTemplateHeaderSize = 4;

struct Reader {
    const uint8_t* bytes;
    size_t size;
    size_t at;
    bool U16(uint16_t& v) {
        if (size - at < 2) return false;
        v = uint16_t(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        return true;
    }
    bool Text(std::string& out) {
        for (;;) {
            uint16_t c;
            if (!U16(c)) return false;
            if (c == 0) return true;
            if (out.size() < kMenuItemTextMax) out.push_back(c > 0xFF ? '?' : char(c));
        }
    }
};

bool ReadLevel(Reader& r, int depth, std::vector<MenuTemplateItem>& out) {
    if (depth > kMenuTemplateDepthMax) return false;
    for (;;) {
        MenuTemplateItem item;
        if (!r.U16(item.flags)) return false;
        bool popup = item.flags & kMenuTemplatePopup;
        if (!popup && !r.U16(item.id)) return false;
        if (!r.Text(item.text)) return false;
        if (popup && !ReadLevel(r, depth + 1, item.items)) return false;
        bool last = item.flags & kMenuTemplateEnd;
        out.push_back(std::move(item));
        if (last) return true;
    }
}

} // namespace

bool ParseMenuTemplate(const uint8_t* bytes, size_t size, std::vector<MenuTemplateItem>& out) {
    out.clear();
    if (!bytes || size < kMenuTemplateHeaderSize) return false;
    if (bytes[0] | bytes[1] | bytes[2] | bytes[3]) return false;
    Reader r{bytes, size, kMenuTemplateHeaderSize};
    if (!ReadLevel(r, 0, out)) {
        out.clear();
        return false;
    }
    return true;
}

MenuResourceForm MenuResourceFormOf(const std::vector<MenuTemplateItem>& top) {
    if (top.empty()) return MenuResourceForm::kMalformed;
    if (top[0].flags & kMenuTemplatePopup) return MenuResourceForm::kMenu;
    if (top[0].text.empty()) return MenuResourceForm::kBar;
    return MenuResourceForm::kMalformed;
}

bool IsMenuSeparatorText(const std::string& text) {
    return text.empty() || text == "-";
}

MenuSourceItem MenuSourceItemOf(const MenuTemplateItem& item) {
    MenuSourceItem s;
    s.command = item.id;
    s.checked = item.flags & kMenuTemplateChecked;
    s.greyed = item.flags & kMenuTemplateGrayed;
    if (IsMenuSeparatorText(item.text)) {
        s.kind = MenuSourceKind::kSeparator;
        s.text = "-";
        s.greyed = true;
        s.checked = false;
        return s;
    }
    size_t mark = item.text.find(kMenuKeyMark);
    s.text = item.text.substr(0, mark);
    uint16_t key = 0;
    if (mark != std::string::npos && mark + 1 < item.text.size())
        key = uint8_t(item.text[mark + 1]);
    if ((item.flags & kMenuTemplateDisabled) && !(item.flags & kMenuTemplateGrayed)) {
        s.kind = MenuSourceKind::kSubmenu;
        return s;
    }
    s.key = key;
    return s;
}

std::string MenuCommandKeyText(uint16_t key) {
    if (key == 0) return "";
    char c = key < 0x100 ? char(std::toupper(int(key))) : '?';
    return std::string("Ctrl+") + c;
}
