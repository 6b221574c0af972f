// Reading an edit-text item as a decimal number: the rules that cut,
// parse, clamp and rewrite the item's text, on a model of the text and
// its selection so that the item layer only moves them in and out.
//
// Guarantees: the text is cut to 10 characters (11 with a leading "-")
// before it is read; numbers are parsed in 64 bits and clamped to the
// range, so ten digits never overflow; a value below the minimum is raised
// only when the minimum is below 2, so that a partly typed number stays as
// typed; a signed "-" alone with a negative minimum changes nothing.
#pragma once
#include <cstdint>

// Characters read of a number (one more with a leading "-").
constexpr int32_t kItemNumberChars = 10;
// Room of an item text with its zero.
constexpr int32_t kItemTextRoom = 256;

// An edit text and its selection as the number reader sees them.
struct ItemNumberText {
    char text[kItemTextRoom];
    int32_t selectionStart;
    int32_t selectionEnd;
    bool focused;
};

// Reads the text between minimum and maximum (compared unsigned unless
// isSigned); rewrites the text when the value changed (keeping the
// selection of a focused item, selecting all of a replaced one). True
// when the value lies in the range; *value receives it (the bits of an
// unsigned value). changed (may be null) tells whether the text was
// rewritten.
bool ReadItemNumberText(ItemNumberText* item, int32_t minimum, int32_t maximum, bool isSigned,
                        int32_t* value, bool* changed);
