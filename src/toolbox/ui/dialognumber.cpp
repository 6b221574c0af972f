// The number reader of edit-text items. Values are held in 64 bits so
// that signed and unsigned ranges compare alike: an unsigned bound is its
// 32-bit pattern read as unsigned.
#include "toolbox/ui/dialognumber.h"

#include <cstdio>
#include <cstring>

namespace {

int64_t Bound(int32_t v, bool isSigned) {
    return isSigned ? int64_t(v) : int64_t(uint32_t(v));
}

void WriteNumber(ItemNumberText* item, int64_t v) {
    std::snprintf(item->text, sizeof item->text, "%lld", static_cast<long long>(v));
}

} // namespace

bool ReadItemNumberText(ItemNumberText* item, int32_t minimum, int32_t maximum, bool isSigned,
                        int32_t* value, bool* changed) {
    if (changed) *changed = false;
    char original[kItemTextRoom];
    std::snprintf(original, sizeof original, "%s", item->text);
    const int64_t lo = Bound(minimum, isSigned), hi = Bound(maximum, isSigned);

    char text[kItemTextRoom];
    std::snprintf(text, sizeof text, "%s", original);
    int32_t keep = kItemNumberChars + (text[0] == '-' ? 1 : 0);
    if (int32_t(std::strlen(text)) > keep) text[keep] = 0;

    if (isSigned && std::strcmp(text, "-") == 0 && lo < 0) {
        if (value) *value = 0;
        return false; // nothing changes while the sign stands alone
    }

    // Parse: an optional sign (signed reads), then digits; the text is cut
    // at the first character that is not part of the number.
    int32_t at = 0;
    bool negative = false;
    if (isSigned && text[0] == '-') {
        negative = true;
        at = 1;
    }
    int64_t v = 0;
    int32_t digits = 0;
    while (text[at] >= '0' && text[at] <= '9') {
        v = v * 10 + (text[at] - '0'); // at most ten digits: no overflow
        ++at;
        ++digits;
    }
    text[at] = 0;
    if (negative) v = -v;

    bool replaced = false;
    if (v > hi) {
        v = hi;
        replaced = true;
    } else if (v < lo && lo < 2) {
        v = lo;
        replaced = true;
    }
    bool selectAll = false;
    if (digits == 0 || (v == 0 && lo < 1)) {
        v = (isSigned && lo < 0) ? 0 : lo;
        replaced = true;
        selectAll = true;
    }
    if (replaced)
        WriteNumber(item, v);
    else
        std::snprintf(item->text, sizeof item->text, "%s", text);

    bool rewritten = std::strcmp(item->text, original) != 0;
    int32_t length = int32_t(std::strlen(item->text));
    if (selectAll) {
        item->selectionStart = 0;
        item->selectionEnd = length;
    } else if (rewritten && !item->focused) {
        item->selectionStart = item->selectionEnd = length;
    } else {
        if (item->selectionEnd > length) item->selectionEnd = length;
        if (item->selectionStart > item->selectionEnd) item->selectionStart = item->selectionEnd;
    }
    if (changed) *changed = rewritten;
    if (value) *value = int32_t(uint32_t(uint64_t(v)));
    return lo <= v && v <= hi;
}
