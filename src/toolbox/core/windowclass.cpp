// The class table of native windows.
#include "toolbox/core/windowclass.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr uint32_t kDocStyle = 0x44CA0000;
constexpr uint32_t kSizingDocStyle = 0x44CF0000;
constexpr uint32_t kPlainDialogStyle = 0x80800000;
constexpr uint32_t kFramedDialogStyle = 0x80000000;
constexpr uint32_t kCaptionDialogStyle = 0x80C80000;
constexpr uint32_t kFloatStyle = 0x80C00000;

constexpr char kDialogClass[] = "plv_DialogClass";
constexpr char kFloatClass[] = "plv_FloatClass";

constexpr uint32_t kOptionsType4 = 0x2030011;
constexpr uint32_t kOptionsType5 = 0x3030011;
constexpr uint32_t kOptionsType6 = 0x203001F;
constexpr uint32_t kOptionsOther = 0x2030000;
constexpr uint32_t kDocOptionBits = 0x16;

void Fill(WindowClassSpec* out, const char* name, bool mdi, uint32_t style, uint32_t exStyle,
          WindowProcKind kind) {
    std::snprintf(out->name, sizeof(out->name), "%s", name);
    out->mdiChild = mdi;
    out->style = style;
    out->exStyle = exStyle;
    out->procedure = kind;
}
} // namespace

bool WindowClassForKind(int32_t code, int32_t iconId, bool closeBox, WindowClassSpec* out) {
    *out = WindowClassSpec{};
    char docName[kWindowClassNameRoom];
    std::snprintf(docName, sizeof(docName), "plv_MDIDocClass_%d", int(iconId));
    if (code == 0 || code == 4 || code == 8 || code == 12 || code == 1024) {
        Fill(out, docName, true, kDocStyle, kExStyleMdiChild, WindowProcKind::MdiChild);
    } else if (code >= 1025 && code <= 1039) {
        Fill(out, docName, true, kSizingDocStyle, kExStyleMdiChild, WindowProcKind::MdiChild);
    } else if (code == 1040) {
        Fill(out, kDialogClass, false, kPlainDialogStyle, 0, WindowProcKind::Popup);
    } else if (code == 1041 || code == 1042 || code == 1044) {
        Fill(out, kDialogClass, false, kFramedDialogStyle, kExStyleModalFrame,
             WindowProcKind::Popup);
    } else if (code == 1043 || code == 1045) {
        Fill(out, kDialogClass, false, kCaptionDialogStyle, kExStyleModalFrame,
             WindowProcKind::Popup);
    } else if (code == 1046) {
        Fill(out, kDialogClass, false, kCaptionDialogStyle | kStyleSizingFrame, kExStyleModalFrame,
             WindowProcKind::Popup);
    } else if (code == 1057 || code == 1069 || code == 1059 || code == 1071) {
        uint32_t style = closeBox ? kFloatStyle | kStyleSystemMenu : kFloatStyle;
        if (code == 1059 || code == 1071) style |= kStyleSizingFrame;
        Fill(out, kFloatClass, false, style, kExStyleToolWindow, WindowProcKind::Popup);
    } else {
        return false;
    }
    if (!closeBox) {
        std::strncat(out->name, kNoCloseSuffix, sizeof(out->name) - std::strlen(out->name) - 1);
        out->classStyle = kClassStyleNoClose;
    }
    return true;
}

int32_t DefinitionCodeOfType(int32_t type, uint32_t options) {
    switch (type) {
    case 1:
        return 1044;
    case 2:
        return 1045;
    case 3:
        return 1042;
    case 4:
        return (options & kOptionSizing) ? 1046 : 1043;
    case 5:
        return (options & kOptionSizing) ? 1059 : 1057;
    case 6:
        switch (options & kDocOptionBits) {
        case 0:
            return 1024;
        case 0x10:
            return 1025;
        case 0x06:
            return 1030;
        default:
            return 1031;
        }
    case 10:
    case 13:
        return 1040;
    default:
        return 0;
    }
}

uint32_t AllowedOptionsOfType(int32_t type) {
    switch (type) {
    case 4:
        return kOptionsType4;
    case 5:
        return kOptionsType5;
    case 6:
        return kOptionsType6;
    default:
        return kOptionsOther;
    }
}

uint32_t AddedOptionsOfType(int32_t type) {
    return type == 5 || type == 10 ? kOptionNeverActivates : 0;
}

uint32_t NativeOptionsOfType(int32_t type, uint32_t options) {
    return ((options | kOptionEventTarget) & AllowedOptionsOfType(type)) | AddedOptionsOfType(type);
}
