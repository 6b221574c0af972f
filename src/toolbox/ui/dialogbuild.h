// Building a dialog's items: template items and items made by code, each
// over a control of the control layer, linked into the dialog's item list.
//
// Guarantees: an item of no kind creates nothing; a failed control leaves
// no item behind; item 1, when it is a push button, is marked as the
// default button.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"
#include "toolbox/ui/xdlg.h"

// The default button's tag and value.
constexpr uint32_t kDefaultButtonTag = 0x64666C74; // 'dflt'
constexpr uint8_t kDefaultButtonMark = 1;

HWND DialogNativeWindow(WindowObject* window);

// Creates the template's items, shifted by the offset; answers the item
// that takes the focus first: the first edit text, else the first list,
// else 0.
int16_t AddTemplateItems(WindowObject* dialog, XDlgTemplate* tmpl, int16_t dv, int16_t dh,
                         bool show);
// One template item (special texts made special items first when the
// template asks); null for an item of no kind.
DialogItemRecord* CreateTemplateItem(WindowObject* dialog, int16_t templateFlags,
                                     const TemplateItem* parsed, int16_t dv, int16_t dh, bool show);
// An item made by code: the kind's default definition and maximum with the
// variants of the flags (see ItemCreationFor); shown unless flag 0x10000.
DialogItemRecord* CreateDialogItem(WindowObject* dialog, DialogItemKind kind, const Rect16* bounds,
                                   const char* text, int16_t number, uint32_t flags);
// Item 1, when a push button, keeps 'dflt' 1.
void MarkDefaultButton(WindowObject* dialog);
// Makes the style block the dialog's text style.
void SetDialogStyleBlock(WindowObject* dialog, const ControlStyleBlock* style);

// Options of AddTemplateItemsToDialog.
constexpr uint32_t kAddItemsHidden = 1;
constexpr uint32_t kAddItemsKeepStyle = 2;
constexpr uint32_t kAddItemsPixels = 4;
constexpr uint32_t kAddItemsResize = 8;
// Loads template `number` and adds its items to the open dialog, shifted
// by (dv, dh); unless told to keep it, the template's style block (or
// none) becomes the dialog's style. With kAddItemsResize a dialog window
// takes the template's size. The first-focus item, or 0 when the
// template is missing.
int16_t AddTemplateItemsToDialog(WindowObject* dialog, int32_t number, int16_t dv, int16_t dh,
                                 uint32_t options);
