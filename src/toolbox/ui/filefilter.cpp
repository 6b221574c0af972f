// Filter texts of the file choosers. A pair is "label|pattern|"; the
// native form turns the separators into zeros and ends in two.
#include "toolbox/ui/filefilter.h"

namespace {

constexpr char kSeparator = '|';
constexpr char kWholePatternMark = '`';
constexpr char kPatternListSeparator = ';';

} // namespace

void BuildFileFilter(std::string& filter, const char* label, const char* extension, bool append) {
    if (!append) filter.clear();
    std::string ext = extension ? extension : "";
    if (label && label[0] == kWholePatternMark)
        filter += std::string(label + 1) + kSeparator + ext + kSeparator;
    else
        filter += std::string(label ? label : "") + " (*." + ext + ")" + kSeparator + "*." + ext +
                  kSeparator;
}

std::string NativeFileFilter(const std::string& filter) {
    std::string native = filter;
    for (char& c : native)
        if (c == kSeparator) c = 0;
    if (native.empty() || native.back() != 0) native.push_back(0);
    native.push_back(0);
    return native;
}

std::string FilterDefaultExtension(const std::string& filter) {
    size_t start = filter.find(kSeparator);
    if (start == std::string::npos) return std::string();
    size_t end = filter.find(kSeparator, start + 1);
    std::string pattern =
        filter.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    size_t dot = pattern.find('.');
    if (pattern.find(kPatternListSeparator) != std::string::npos || dot == std::string::npos)
        return std::string();
    return pattern.substr(dot + 1);
}
