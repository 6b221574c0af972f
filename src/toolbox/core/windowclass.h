// Native window classes by definition code: the class name, parent, style,
// extended style and procedure of every kind of layer window, the
// definition code of each native type and the option bits each type may
// carry. Pure tables, the same in both builds.
#pragma once
#include <cstdint>

// Native window styles the tables use (the system's values).
constexpr uint32_t kStyleChild = 0x40000000;
constexpr uint32_t kStylePopup = 0x80000000;
constexpr uint32_t kStyleBorder = 0x00800000;
constexpr uint32_t kStyleCaption = 0x00C00000;
constexpr uint32_t kStyleSystemMenu = 0x00080000;
constexpr uint32_t kStyleSizingFrame = 0x00040000;
constexpr uint32_t kStyleMinimiseBox = 0x00020000;
constexpr uint32_t kStyleMaximiseBox = 0x00010000;
constexpr uint32_t kStyleClipSiblings = 0x04000000;
constexpr uint32_t kExStyleModalFrame = 0x01;
constexpr uint32_t kExStyleMdiChild = 0x40;
constexpr uint32_t kExStyleToolWindow = 0x80;
constexpr uint32_t kClassStyleNoClose = 0x200;

// Option bits of native windows.
constexpr uint32_t kOptionCloseBox = 0x1;
constexpr uint32_t kOptionSizing = 0x10;
constexpr uint32_t kOptionNeverActivates = 0x20000;
constexpr uint32_t kOptionEventTarget = 0x2000000;

// One-shot options of the next window.
constexpr uint32_t kNextNoMaximiseBox = 1;
constexpr uint32_t kNextNoMinimiseBox = 2;

// Icon ids.
constexpr int32_t kIconNone = 0;
constexpr int32_t kIconApplication = -1;

constexpr char kNoCloseSuffix[] = "_no_close";
constexpr int32_t kWindowClassNameRoom = 64;

enum class WindowProcKind { MdiChild, Popup };

struct WindowClassSpec {
    char name[kWindowClassNameRoom];
    bool mdiChild; // parent: the MDI client; else the frame
    uint32_t style;
    uint32_t exStyle;
    uint32_t classStyle;
    WindowProcKind procedure;
};

// False for a code without class.
bool WindowClassForKind(int32_t definitionCode, int32_t iconId, bool closeBox,
                        WindowClassSpec* out);
// 0 for a type without window.
int32_t DefinitionCodeOfType(int32_t nativeType, uint32_t options);
uint32_t AllowedOptionsOfType(int32_t nativeType);
// The option bits a type adds on its own (0x20000 for types 5 and 10).
uint32_t AddedOptionsOfType(int32_t nativeType);
// The creator's bits with 0x2000000 added, masked and completed.
uint32_t NativeOptionsOfType(int32_t nativeType, uint32_t options);
