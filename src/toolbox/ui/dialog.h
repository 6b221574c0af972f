// Dialogs: windows of the dialog kind built from "XDLG" templates, with a
// list of items over controls, an item procedure as their event procedure,
// and the modal run that disables every other window until the dialog
// goes.
//
// Guarantees: a dialog that cannot be built (a missing template, or an
// item procedure that closes it on its open event) is answered as null
// and leaves no window; a modal run raises the modal depth for its
// duration and marks the menu bar for an update afterwards; the windows a
// modal run disabled are enabled again when its dialog goes.
#pragma once
#include <cstdint>

#include "toolbox/core/windowobject.h"
#include "toolbox/ui/dialogitem.h"
#include "toolbox/ui/xdlg.h"

// Dialog flags, kept in the window's flags.
constexpr uint32_t kDialogItemsHidden = 0x100;
constexpr uint32_t kDialogItemsDisabled = 0x200;
constexpr uint32_t kDialogDeactivated = 0x400;
constexpr uint32_t kDialogOwnKeys = 0x10000;

// Window variants of dialogs (the native window class follows them).
constexpr uint8_t kDialogVariantFixed = 2;
constexpr uint8_t kDialogVariantMovable = 3;
// Dialog options: the low byte is the placement code.
constexpr uint32_t kDialogPlacementMask = 0xFF;
constexpr uint32_t kDialogOptionTaskBar = 0x1000;
// RunModalDialog options.
constexpr uint32_t kModalOptionFixed = 0x100;
constexpr uint32_t kModalOptionCloseBox = 0x200;
// The window option RunModalDialog gives for kModalOptionCloseBox.
constexpr uint32_t kDialogWindowCloseBox = 4;
// The window property that carries a dialog's record.
constexpr uint32_t kDialogPropertyTag = 0x646C6F67; // 'dlog'

// What a dialog keeps beside its window object.
struct ToolboxDialogRecord {
    DialogItemList items;
    ControlStyleBlock style; // the dialog's own text style (flags 0: none)
    int32_t templateNumber;  // the template it was built from (0: none)
};

// The dialog record of a window, or null when the window is no dialog of
// this layer.
ToolboxDialogRecord* DialogRecordOf(WindowObject* window);

// Builds, places and shows a dialog; null when the template is missing
// or the item procedure closed the dialog on its open event.
WindowObject* CreateDialogFromTemplate(int32_t number, uint8_t variant, uint32_t windowOptions,
                                       uint32_t dialogOptions, WindowObject* parent,
                                       WindowEventCallback itemProc, void* userData);
// The same from a loaded template, which the caller keeps.
WindowObject* CreateDialogFromLoadedTemplate(XDlgTemplate* tmpl, int32_t number, uint8_t variant,
                                             uint32_t windowOptions, uint32_t dialogOptions,
                                             WindowObject* parent, WindowEventCallback itemProc,
                                             void* userData);

// Sends the dismiss event with the item.
void DismissDialogWithItem(WindowObject* dialog, int16_t item);

// Runs a dialog modally. Answers null after the run and when the dialog
// could not be built, and the front window when the new dialog did not
// come to the front.
WindowObject* RunModalDialog(int32_t number, uint32_t options, WindowEventCallback itemProc,
                             void* userData);
// Whether the front window (floating ones passed over) is a modal dialog
// of this layer (the shell's FrontIsModalDialog once installed).
bool DialogLayerFrontIsModal();
