// The scrap on the Win32 clipboard. Opens nest through a count and only
// the outermost close closes; OpenClipboard is retried, since the
// clipboard is shared with other programs. The change number comes from
// GetClipboardSequenceNumber when User32 has it, else from the private
// "PLV_SEQ#" format (clipsequence.cpp).
#include <windows.h>

#include <cstring>

#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/ticks.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/clipsequence.h"

namespace {
typedef DWORD(WINAPI* SequenceProc)();

int32_t g_openCount = 0;
bool g_lookedUp = false;
bool g_systemLookup = true;
SequenceProc g_sequence = nullptr;
UINT g_privateFormat = 0;

UINT PrivateFormat() {
    if (!g_privateFormat) g_privateFormat = RegisterClipboardFormatA(kPrivateSequenceFormat);
    return g_privateFormat;
}

bool SystemNumber(void*, uint32_t* out) {
    if (!g_lookedUp) {
        g_lookedUp = true;
        g_sequence = nullptr;
        if (g_systemLookup)
            g_sequence = reinterpret_cast<SequenceProc>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleA("User32.dll"), "GetClipboardSequenceNumber")));
    }
    if (!g_sequence) return false;
    *out = g_sequence();
    return true;
}

bool ReadPrivate(void*, uint32_t* out) {
    UINT format = PrivateFormat();
    if (!format || !IsClipboardFormatAvailable(format)) return false;
    HANDLE data = GetClipboardData(format);
    if (!data || GlobalSize(data) < sizeof(uint32_t)) return false;
    const void* bytes = GlobalLock(data);
    if (!bytes) return false;
    std::memcpy(out, bytes, sizeof *out);
    GlobalUnlock(data);
    return true;
}

void WritePrivate(void*, uint32_t number) {
    UINT format = PrivateFormat();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof number);
    if (!format || !block) return;
    if (void* bytes = GlobalLock(block)) {
        std::memcpy(bytes, &number, sizeof number);
        GlobalUnlock(block);
    }
    if (!SetClipboardData(format, block)) GlobalFree(block);
}

void InstallSequenceAccess() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ClipboardSequenceAccess access{nullptr, &SystemNumber, &ReadPrivate, &WritePrivate};
    SetClipboardSequenceAccess(&access);
}

UINT FormatOf(uint32_t scrapType) {
    switch (scrapType) {
    case kScrapText:
        return CF_TEXT;
    case kScrapPicture:
        return CF_ENHMETAFILE;
    case kScrapBitmap:
        return CF_DIB;
    default:
        return 0;
    }
}

// The text's length up to its NUL, never past its block.
int32_t TextLength(HANDLE data, const char* text) {
    SIZE_T size = GlobalSize(data);
    const void* nul = std::memchr(text, 0, size);
    return int32_t(nul ? static_cast<const char*>(nul) - text : SIZE_T(size));
}

// Runs `work` with the clipboard open; the open error otherwise.
template <typename Work> int32_t WithClipboard(Work work) {
    int32_t error = ClipboardOpen();
    if (error) return error;
    error = work();
    ClipboardClose();
    return error;
}

// Runs `work` on the data of the scrap type's format with the clipboard
// open: 1168 for an unknown type or a format not there, 1 when its data
// cannot be had.
template <typename Work> int32_t WithClipboardData(uint32_t scrapType, Work work) {
    UINT format = FormatOf(scrapType);
    if (!format) return kClipboardNotThere;
    return WithClipboard([&] {
        if (!IsClipboardFormatAvailable(format)) return kClipboardNotThere;
        HANDLE data = GetClipboardData(format);
        if (!data) return kClipboardNoData;
        return work(format, data);
    });
}

int32_t PutBlock(UINT format, int32_t length, int32_t room, const void* data) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, SIZE_T(room));
    if (!block) return kClipboardNoData;
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return kClipboardNoData;
    }
    if (length > 0) std::memcpy(bytes, data, size_t(length));
    GlobalUnlock(block);
    if (SetClipboardData(format, block)) return 0;
    int32_t error = int32_t(GetLastError());
    GlobalFree(block);
    return error ? error : kClipboardNoData;
}
} // namespace

int32_t ClipboardOpen() {
    if (g_openCount > 0) {
        ++g_openCount;
        return 0;
    }
    HWND owner = FrameWindowHandle();
    for (int32_t attempt = 0; attempt < kClipboardOpenTries; ++attempt) {
        if (attempt) WaitTicksBusy(kClipboardRetryTicks);
        if (OpenClipboard(owner)) {
            g_openCount = 1;
            return 0;
        }
    }
    int32_t error = int32_t(GetLastError());
    return error ? error : kClipboardNoData;
}

int32_t ClipboardClose() {
    if (g_openCount <= 0) return kClipboardNotOpen;
    if (--g_openCount > 0) return 0;
    return CloseClipboard() ? 0 : int32_t(GetLastError());
}

int32_t ClipboardOpenCount() {
    return g_openCount;
}

void ResetClipboardSequence(bool systemLookup) {
    InstallSequenceAccess();
    ClipboardSequenceAccess access{nullptr, &SystemNumber, &ReadPrivate, &WritePrivate};
    SetClipboardSequenceAccess(&access);
    g_systemLookup = systemLookup;
    g_lookedUp = false;
}

int32_t ClipboardSequenceQuery(uint32_t* number) {
    InstallSequenceAccess();
    *number = 0;
    return WithClipboard([&] {
        *number = ClipboardSequenceNumber();
        return 0;
    });
}

int32_t ClipboardClear() {
    InstallSequenceAccess();
    return WithClipboard([] {
        ClipboardSequenceNumber();
        int32_t error = EmptyClipboard() ? 0 : int32_t(GetLastError());
        ClipboardSequenceNumber(); // the new number is stored at once
        return error;
    });
}

int32_t ClipboardDataSize(uint32_t scrapType, int32_t* length) {
    *length = 0;
    return WithClipboardData(scrapType, [&](UINT format, HANDLE data) {
        if (format == CF_ENHMETAFILE) {
            *length = int32_t(sizeof(HENHMETAFILE));
        } else if (format == CF_TEXT) {
            const char* text = static_cast<const char*>(GlobalLock(data));
            if (!text) return kClipboardNoData;
            *length = TextLength(data, text);
            GlobalUnlock(data);
        } else {
            *length = int32_t(GlobalSize(data));
        }
        return 0;
    });
}

int32_t ClipboardImport(uint32_t scrapType, int32_t* length, void* buffer) {
    int32_t room = *length;
    return WithClipboardData(scrapType, [&](UINT format, HANDLE data) {
        if (format == CF_ENHMETAFILE) {
            *length = int32_t(sizeof(HENHMETAFILE));
            if (room < *length) return kClipboardWrongSize;
            HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(data), nullptr);
            if (!copy) return kClipboardNoData;
            std::memcpy(buffer, &copy, sizeof copy);
            return 0;
        }
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        if (!bytes) return kClipboardNoData;
        int32_t result = 0;
        if (format == CF_TEXT) {
            *length = TextLength(data, bytes);
            std::memcpy(buffer, bytes, size_t(room < *length ? room : *length));
        } else {
            *length = int32_t(GlobalSize(data));
            if (room < *length)
                result = kClipboardWrongSize;
            else
                std::memcpy(buffer, bytes, size_t(*length));
        }
        GlobalUnlock(data);
        return result;
    });
}

int32_t ClipboardExport(uint32_t scrapType, int32_t length, const void* data) {
    UINT format = FormatOf(scrapType);
    if (!format || length < 0) return kClipboardNoData;
    if (format == CF_ENHMETAFILE && length < int32_t(sizeof(HENHMETAFILE)))
        return kClipboardWrongSize;
    return WithClipboard([&] {
        if (format == CF_TEXT) return PutBlock(format, length, length + 1, data);
        if (format == CF_DIB) return PutBlock(format, length, length, data);
        HENHMETAFILE given;
        std::memcpy(&given, data, sizeof given);
        HENHMETAFILE copy = CopyEnhMetaFileA(given, nullptr);
        if (!copy) return kClipboardNoData;
        if (SetClipboardData(CF_ENHMETAFILE, copy)) return 0;
        int32_t error = int32_t(GetLastError());
        DeleteEnhMetaFile(copy);
        return error ? error : kClipboardNoData;
    });
}
