// Test support for dialogs under Wine, one process per case: the start of
// a case (window, drawing, control, text and dialog layers over a shown
// frame), the item procedure that records every event, an empty dialog
// made from an inline template, pressing a key, counting an item's events,
// and a BMP of a window for review.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialoglayer.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/textrecord.h"

inline void StartDialogCase() {
    StartChildCaseWatchdog();
    SetMainFrameParameters(nullptr, 0, 20, 20, 900, 700, true);
    if (!PrepareNativeWindowTest()) ExitProcess(kChildCaseFailedExit);
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    InitDrawingGlobals(); // the drawing layer with the control calls
    InstallControlCalls();
    InstallGdiTextServices();
    InstallTextRecordProcs();
    InstallDialogLayer();
    ShowWindow(FrameWindowHandle(), SW_SHOW);
}

inline void Finish() {
    if (::testing::Test::HasFailure()) ExitProcess(kChildCaseFailedExit);
}

struct Seen {
    std::vector<WindowEvent> events;
    uint8_t variant = 0;
    bool closeOnOpen = false;
    int16_t slot = 0;
};

inline int32_t Recorder(WindowObject* dialog, WindowEvent* event) {
    auto* seen = static_cast<Seen*>(dialog->userData);
    seen->events.push_back(*event);
    if (event->type == kWindowEventSelectItem) seen->variant = dialog->variant;
    if (event->type == kWindowEventSelectItem && seen->closeOnOpen) {
        DisposeWindowObject(dialog);
        return 1;
    }
    if (event->type == kWindowEventDismiss) seen->slot = event->dismiss.item;
    return 0;
}

// An empty 400 by 300 dialog whose item procedure records into seen.
inline WindowObject* EmptyDialog(Seen* seen) {
    const uint8_t bytes[] = {20, 0, 20, 0, 44, 1, 144, 1, 0, 0, 0, 0, 0, 0};
    XDlgTemplate* empty = ParseDialogTemplate(bytes, sizeof bytes);
    WindowObject* dialog = CreateDialogFromLoadedTemplate(empty, 0, kDialogVariantMovable, 0, 0,
                                                          nullptr, &Recorder, seen);
    DisposeDialogTemplate(empty);
    if (!dialog) ExitProcess(kChildCaseFailedExit);
    return dialog;
}

// A key press and release posted to the window, then the loop run a while.
inline void PressKey(HWND window, UINT key) {
    LPARAM lParam = 1 | (LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
    PostMessageA(window, WM_KEYDOWN, key, lParam);
    PostMessageA(window, WM_KEYUP, key, lParam | (LPARAM(3) << 30));
    for (int i = 0; i < 30; ++i)
        EventLoopStep(0.01, nullptr, 0);
}

inline int32_t CountEvents(const Seen& seen, uint32_t type, int16_t item) {
    int32_t n = 0;
    for (const WindowEvent& e : seen.events)
        n += e.type == type && int16_t(e.control.item & 0xFFFF) == item;
    return n;
}

// Writes the window's client area as a BMP file for review.
inline void WriteWindowBmp(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r{};
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC source = GetDC(nullptr); // the screen, where the window is shown
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, source, r.left, r.top, SRCCOPY);
    GdiFlush();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        uint32_t bytes = uint32_t(w * h * 4);
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42;
        head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        head.bfSize = head.bfOffBits + bytes;
        std::fwrite(&head, sizeof head, 1, file);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file);
        std::fwrite(bits, bytes, 1, file);
        std::fclose(file);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, source);
    DeleteObject(bitmap);
}
