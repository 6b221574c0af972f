// The scrap on the system clipboard: data of a four-character scrap type
// put on or read from the clipboard ('TEXT' text, 'PICT' an enhanced
// metafile handle, 'DIBM' a device-independent bitmap block), nested opens,
// the change number, and the text scrap that editable text publishes.
//
// Guarantees: every operation opens and closes through the nested count,
// so an outer caller may hold the clipboard open; text read from another
// program is never read past its block, NUL or not; a metafile crosses as
// a handle of the platform's size.
#pragma once
#include <cstdint>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/memblock.h"

constexpr uint32_t kScrapText = FourCC("TEXT");
constexpr uint32_t kScrapPicture = FourCC("PICT");
constexpr uint32_t kScrapBitmap = FourCC("DIBM");
constexpr int32_t kClipboardNotOpen = 1418;
constexpr int32_t kClipboardNotThere = 1168;
constexpr int32_t kClipboardWrongSize = -30591;
constexpr int32_t kClipboardNoData = 1;
constexpr int32_t kClipboardOpenTries = 6;
constexpr int32_t kClipboardRetryTicks = 16;
constexpr char kPrivateSequenceFormat[] = "PLV_SEQ#";

int32_t ClipboardOpen();
int32_t ClipboardClose();
int32_t ClipboardOpenCount();
// Opens, stores the change number (0 when the clipboard could not be
// opened), closes; the open error.
int32_t ClipboardSequenceQuery(uint32_t* number);
int32_t ClipboardClear();
int32_t ClipboardDataSize(uint32_t scrapType, int32_t* length);
// length: in, the buffer's size; out, what the data needs.
int32_t ClipboardImport(uint32_t scrapType, int32_t* length, void* buffer);
int32_t ClipboardExport(uint32_t scrapType, int32_t length, const void* data);
// Forgets the kept change number; the system's number is looked up again
// on next use unless systemLookup is false (then the private format is
// used, as on a system without it).
void ResetClipboardSequence(bool systemLookup);

// Keeps the change number while the application is in the background and,
// back in front, imports the text scrap again when it changed.
void ClipboardSuspend();
void ClipboardResume();
// The shell's hook: 1 (into the background) suspends, 0 resumes.
void SuspendResumeClipboardHook(uint8_t background);

// The text scrap (made at toolbox start-up).
bool MakeTextScrap();
RelocatableBlock ScrapTextHandle();
int32_t ScrapTextLength();
void ScrapTextSetLength(int32_t length);
int32_t ExportScrapText();
int32_t ImportScrapText();
