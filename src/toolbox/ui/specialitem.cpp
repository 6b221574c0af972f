// Special item texts of templates with flag 2, and the page names of tab
// items. A special text turns a push button into an icon button
// ("ICN#130", "^" at the end: it stays down) and a static text into a
// user pane, a progress bar or tabs; the text is consumed, except that
// tabs keep their page list.
#include <cstdlib>
#include <cstring>

#include "toolbox/ui/xdlg.h"

namespace {

constexpr char kIconPrefix[] = "ICN#";
constexpr char kStaysDownMark = '^';
constexpr int16_t kOptionStaysDown = 0x200;
// Icon buttons at least this many pixels tall use the large definition.
constexpr int32_t kLargeIconButtonHeight = 37;
constexpr char kUserDrawnText[] = "$UserDrawn";
constexpr char kProgressBarText[] = "$ProgressBar";
constexpr char kTabPrefix[] = "$Tab";
constexpr int16_t kProgressMaximum = 100;
constexpr char kPageSeparator = '|';
constexpr char kEscape = '\\';
constexpr char kNameEnd = '#';

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace

void ApplySpecialText(TemplateItem* item) {
    DialogItemKind kind = ItemKindForDefinition(item->definition);
    char* text = item->text;
    if (kind == kItemPushButton && StartsWith(text, kIconPrefix)) {
        int32_t height = int32_t(item->bounds.bottom) - item->bounds.top;
        size_t n = std::strlen(text);
        item->definition = height < kLargeIconButtonHeight ? kDefIconButton : kDefIconButtonLarge;
        item->maximum = int16_t(std::atoi(text + sizeof kIconPrefix - 1));
        item->minimum = n && text[n - 1] == kStaysDownMark ? kOptionStaysDown : 0;
        item->value = 0;
        text[0] = 0;
    } else if (kind == kItemStaticText && std::strcmp(text, kUserDrawnText) == 0) {
        item->definition = kDefUserPane;
        text[0] = 0;
    } else if (kind == kItemStaticText && std::strcmp(text, kProgressBarText) == 0) {
        item->definition = kDefProgressBar;
        item->value = 0;
        item->minimum = 0;
        item->maximum = kProgressMaximum;
        text[0] = 0;
    } else if (kind == kItemStaticText && StartsWith(text, kTabPrefix) &&
               text[sizeof kTabPrefix - 1] && text[sizeof kTabPrefix] == kPageSeparator) {
        char letter = text[sizeof kTabPrefix - 1];
        item->definition = letter == 'S' || letter == 's' ? kDefSmallTabs : kDefTabs;
        const char* pages = text + sizeof kTabPrefix + 1;
        std::memmove(text, pages, std::strlen(pages) + 1);
    }
}

std::vector<std::string> TabPageNames(const char* text) {
    std::vector<std::string> names;
    std::string name;
    bool ended = false;
    for (const char* p = text;; ++p) {
        if (*p == 0 || *p == kPageSeparator) {
            names.push_back(name.substr(0, kTabNameChars));
            if (*p == 0) break;
            name.clear();
            ended = false;
        } else if (ended) {
            continue;
        } else if (*p == kEscape && p[1]) {
            name += *++p;
        } else if (*p == kNameEnd && p[1] >= '0' && p[1] <= '9') {
            ended = true;
        } else {
            name += *p;
        }
    }
    return names;
}
