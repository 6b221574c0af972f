// The error table: code -> string of the program's string table. Codes
// 0 and 995 (a cancelled chooser) never have a text.
#include "toolbox/ui/errortext.h"

#include <cstdio>

#include "toolbox/core/filespec.h"
#include "toolbox/core/resource.h"

namespace {

constexpr char kAlertPrefix[] = "Error:  ";
// A positive code prints its low 25 bits (the own-code bit dropped).
constexpr int32_t kPrintedCodeMask = 0x1FFFFFF;

struct ErrorRow {
    int32_t code;
    int32_t string;
};
constexpr ErrorRow kErrorTable[] = {
    {15, 8000},
    {5, 8001},
    {38, 8002},
    {131, 8003},
    {3, 8004},
    {2, 8005},
    {80, 8006},
    {6, 8007},
    {32, 8008},
    {170, 8009},
    {39, 8010},
    {87, 8011},
    {8, 8012},
    {kToolboxOwnCode + 10000, 8013},
    {kToolboxOwnCode + 10001, 8014},
    {kToolboxOwnCode + 10002, 8015},
    {kToolboxOwnCode + 10003, 8016},
    {kToolboxOwnCode + 10004, 8017},
    {kToolboxOwnCode + 10006, 8018},
    {kToolboxOwnCode + 11000, 8019},
    {kToolboxOwnCode + 11100, 8020},
    {kToolboxOwnCode + 11300, 8021},
    {kToolboxOwnCode + 11301, 8022},
    {4104, 8023},
    {33, 8038},
};

ErrorTextHook s_hook = nullptr;

} // namespace

void SetErrorTextHook(ErrorTextHook hook) {
    s_hook = hook;
}

bool ErrorCodeText(int32_t code, char* text) {
    text[0] = 0;
    if (code == 0 || code == kFileErrCancelled) return false;
    if (s_hook && s_hook(code, text)) return true;
    text[0] = 0;
    for (const ErrorRow& row : kErrorTable) {
        if (row.code != code) continue;
        StringResourceLoad(row.string, 0, text);
        return text[0] != 0;
    }
    return false;
}

std::string ErrorAlertText(int32_t code) {
    if (code == 0 || code == kFileErrCancelled) return std::string();
    char text[kStringResourceSize];
    if (ErrorCodeText(code, text)) return kAlertPrefix + std::string(text);
    char number[16];
    std::snprintf(number, sizeof number, "#%d", code > 0 ? code & kPrintedCodeMask : code);
    return kAlertPrefix + std::string(number);
}
