// The message catalogue: every user-visible message and label, fetched by
// number from the "LANG" resources. Resource 256 is the index, 256 + p is
// page p; each is 512 bytes with big-endian 16-bit values:
//   index: magic 0x0C59, page count (1..254), the highest number on each page
//   page:  magic 0x0C59, entry count, (number, byte offset) pairs, then the
//          zero-terminated texts inside the page
// One page is held in memory at a time.
#pragma once
#include <cstdint>

#define LANG_TEXT_MAX 100 // longest catalogue text
#define LANG_LABEL_MAX 32 // longest label

enum : int32_t {
    kLangMagic = 0x0C59,
    kLangPageBytes = 512,
    kLangMaxPages = 254,
    kLangFirstResource = 256,
    kLangLabelSlots = 10,
};

void LangInit();
bool LangGetString(int32_t number, int32_t max, char* out);
bool LangGetStringChecked(int32_t number, int32_t max, char* out);
const char* LangString(int32_t number);
const char* LangLabel(int32_t number);

// True once LangInit has loaded the index.
bool LangIsLoaded();

// Finds number on one page (512 bytes, already in machine order) and copies
// at most max characters of its text and a terminator into out; false, with
// out empty, when the page does not hold it. An entry count above 127 or a
// text offset outside the page's text area makes the entry missing, and a
// copy never reads past the page's last byte.
bool LangPageLookup(const uint8_t* page, int32_t number, int32_t max, char* out);

// Test-only: forgets the index, the page buffer and the label slots.
void LangTestReset();
