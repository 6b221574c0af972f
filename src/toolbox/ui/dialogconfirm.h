// The confirmation dialog (template 8002): the message in item 3, the
// confirm and cancel labels on items 1 and 2, Return pressing item 1 and
// Esc item 2 unless the options say otherwise.
#pragma once
#include <cstdint>

constexpr int32_t kConfirmTemplate = 8002;
constexpr int16_t kConfirmItem = 1;
constexpr int16_t kConfirmCancelItem = 2;
constexpr int16_t kConfirmMessageItem = 3;
constexpr int32_t kConfirmPlacement = 2;
// Options: Esc does nothing; Esc presses item 1.
constexpr int32_t kConfirmEscIgnored = 1;
constexpr int32_t kConfirmEscConfirms = 2;
constexpr char kConfirmDefaultLabel[] = "Confirm";
constexpr char kCancelDefaultLabel[] = "Cancel";
// The item a key presses: 0 for a key the dialog swallows without a
// press, -1 for a key it leaves alone.
int16_t ConfirmDialogKeyItem(int32_t options, int32_t key);

// True when the user confirmed (the dialog ended with item 1).
bool RunConfirmDialog(const char* message, const char* confirmLabel, const char* cancelLabel,
                      int32_t options);
