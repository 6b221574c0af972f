// Time values, date and time text, rounding arithmetic, counted strings
// (a length byte, at most 255 characters, no terminator) and bounded
// C-string editing.
#pragma once
#include <cstdint>

// Seconds since 2001-01-01 00:00.
typedef int32_t TimeValue;
// 100-ns units since 1601-01-01 (the layout of a Win32 FILETIME).
typedef uint64_t FileTime;

// Seconds from 1601-01-01 to 2001-01-01, and to 1904-01-01.
constexpr int64_t kSecondsTo2001 = 12622780800LL;
constexpr int64_t kSecondsTo1904 = 9561628800LL;

TimeValue CurrentTimeValue(uint8_t local);
// Seconds to add to UTC to get local time; recomputed at most once a second.
int32_t TimeZoneBiasSeconds();
FileTime SecondsToFileTime(TimeValue value);
TimeValue FileTimeToSeconds(FileTime time);
void FileTimeToLocalSeconds1904(FileTime time, uint32_t* out);
void CurrentFileTime(FileTime* out);

// Style 0 "12/31/01", 1 "Monday, December 31, 2001", 2 "Mon, Dec 31, 2001".
// The buffer needs 64 bytes.
void FormatDateText(TimeValue value, int32_t style, char* out);
// "1:05:09 PM", or without seconds "1:05 PM". The buffer needs 32 bytes.
void FormatTimeText(TimeValue value, uint8_t withSeconds, char* out);

// Calendar fields of a time value (no zone correction).
struct CalendarFields {
    int32_t year, month, day, hour, minute, second, weekday; // weekday 0 = Sunday
};
void TimeValueToCalendar(TimeValue value, CalendarFields* out);

// a x b / c rounded half away from zero; 0 for c = 0.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);
double Int64ToDouble(int64_t value);
void DoubleToInt64(double value, int64_t* out);

void CTextToCountedText(void* buffer);
void CountedTextToCText(void* buffer);
void CTextToCountedCopy(uint8_t* dest, const char* src);
uint8_t* CTextToCountedTemp(const char* src);
void CountedToCCopy(char* dest, const uint8_t* counted);
void CopyCountedText(uint8_t* dest, const uint8_t* src, int32_t maximum);
void CopyBounded(char* dest, const char* src, int32_t n);
int32_t CompareCountedText(const uint8_t* a, const uint8_t* b, int32_t n);
int32_t CompareCountedTextNoCase(const uint8_t* a, const uint8_t* b, int32_t n);
int32_t CompareTextCounted(const char* a, const char* b, int32_t n);
// Natural order: digit runs compare as numbers, leading zeros ignored.
int32_t CompareTextNatural(const char* a, const char* b, uint8_t caseSensitive);
int32_t InsertCountedText(const uint8_t* src, uint8_t* dest, int32_t position);
void DeleteCountedText(uint8_t* text, int32_t position, int32_t count);
// Joins the counted strings that follow `dest`, up to a null, into `dest`.
void ConcatCountedTexts(uint8_t* dest, ...);
void InsertTextAt(const char* src, char* buffer, int32_t offset);
void DeleteTextAt(char* text, int32_t offset, int32_t count);
void TrimBlanks(char* text);
void UpcaseCString(char* text);
int32_t ReadDecimalRun(const char** cursor, int32_t value);

// The key state with its high byte, and bit 0 set while the key is down.
int16_t VirtualKeyState(int32_t virtualKey);

// The instance handle kept at start-up.
void* AppInstanceHandle();
void SetAppInstanceHandle(void* instance);
