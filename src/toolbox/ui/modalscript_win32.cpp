// The modal script's deliveries into native modal dialogs. Thread timers
// with a procedure are served by every message loop of the thread, those
// inside MessageBoxA and the common dialogs too, so a timer armed before
// the box finds it once it is shown. Every procedure here lets no
// exception out.
#include "toolbox/ui/modalscript_win32.h"

#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kMessageBoxPollMs = 50;
constexpr int32_t kMessageBoxTextId = 0xFFFF;
constexpr char kDialogClass[] = "#32770";
constexpr UINT_PTR kChooserTimerId = 0x5C47;
constexpr int32_t kTextRoom = 1024;
constexpr UINT_PTR kBrowserTimerId = 0x5C48;
constexpr UINT kBrowserRetryMs = 100;
constexpr size_t kDriveRootChars = 3; // "C:\" keeps its backslash

struct MessageBoxWatch {
    UINT_PTR timer;
    DWORD armedAt;
    HWND box;
    bool expected;
};
MessageBoxWatch g_watch{};

std::string WindowText(HWND window) {
    char text[kTextRoom] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, kDialogClass) == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void StopWatch() {
    if (g_watch.timer) KillTimer(nullptr, g_watch.timer);
    g_watch = {};
}

void CALLBACK MessageBoxTimer(HWND, UINT, UINT_PTR, DWORD) {
    try {
        if (!g_watch.box) {
            HWND box = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), &FindDialogWindow,
                              reinterpret_cast<LPARAM>(&box));
            if (!box) return;
            g_watch.box = box;
            char text[kTextRoom] = {};
            GetDlgItemTextA(box, kMessageBoxTextId, text, sizeof text);
            ModalStep step;
            g_watch.expected = ModalScriptTake(kModalMessageBox, 0, &step);
            ModalScriptRecord(kModalMessageBox, 0, WindowText(box).c_str(), {text},
                              g_watch.expected);
        }
        if (g_watch.expected) {
            PostMessageA(g_watch.box, WM_COMMAND, IDOK, 0);
            StopWatch();
        } else if (GetTickCount() - g_watch.armedAt >= kModalUnexpectedMs) {
            PostMessageA(g_watch.box, WM_COMMAND, IDCANCEL, 0);
            StopWatch();
        }
    } catch (...) {
        StopWatch();
    }
}

void CALLBACK UnexpectedChooserTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    try {
        KillTimer(window, id);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    } catch (...) {
    }
}

// Logs a native dialog and takes its step: an unexpected dialog is
// cancelled after the grace time, a cancelling step at once. True when
// the step's answer is still to be given.
bool TakeNativeStep(HWND dialog, ModalDialogKind kind, const char* text, ModalStep* step) {
    if (!ModalScriptOn()) return false;
    bool expected = ModalScriptTake(kind, 0, step);
    std::vector<std::string> texts;
    if (text && *text) texts.push_back(text);
    ModalScriptRecord(kind, 0, WindowText(dialog).c_str(), texts, expected);
    if (!expected) {
        SetTimer(dialog, kChooserTimerId, kModalUnexpectedMs, &UnexpectedChooserTimer);
        return false;
    }
    if (step->cancel) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return false;
    }
    return true;
}

// The folder browser's scripted answer. Its tree fills in the background,
// so a selection sent at once may not take: the answer is pressed only
// once the browser reports the wanted folder selected, and the selection
// is sent again on a timer until it does (or the grace time ends, when OK
// is pressed on whatever is shown).
struct BrowserAnswer {
    std::string wanted; // upper case, no trailing backslash
    std::string text;
    DWORD armedAt;
    bool pressed;
};
BrowserAnswer g_browser{};

std::string ComparablePath(std::string path) {
    while (path.size() > kDriveRootChars && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    CharUpperBuffA(path.data(), DWORD(path.size()));
    return path;
}

void PressBrowserOk(HWND browser) {
    g_browser.pressed = true;
    KillTimer(browser, kBrowserTimerId);
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
}

void CALLBACK BrowserTimer(HWND browser, UINT, UINT_PTR, DWORD) {
    try {
        if (g_browser.pressed) return;
        if (GetTickCount() - g_browser.armedAt >= kModalUnexpectedMs) {
            PressBrowserOk(browser);
            return;
        }
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(g_browser.text.c_str()));
    } catch (...) {
    }
}

} // namespace

void ModalScriptArmMessageBox() {
    if (!ModalScriptOn()) return;
    StopWatch();
    g_watch.armedAt = GetTickCount();
    g_watch.timer = SetTimer(nullptr, 0, kMessageBoxPollMs, &MessageBoxTimer);
}

void ModalScriptDisarmMessageBox() {
    StopWatch();
}

void ModalScriptChooserReady(HWND chooser, ModalDialogKind kind) {
    ModalStep step;
    if (!TakeNativeStep(chooser, kind, "", &step)) return;
    // The name field is a combo box (cmb13) or an edit (edt1) by version.
    SendMessageA(chooser, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(step.text.c_str()));
    SendMessageA(chooser, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(step.text.c_str()));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

void ModalScriptBrowserReady(HWND browser, const char* title) {
    ModalStep step;
    if (!TakeNativeStep(browser, kModalFolderBrowser, title, &step)) return;
    g_browser = {};
    if (step.text.empty()) {
        PressBrowserOk(browser);
        return;
    }
    g_browser.text = step.text;
    g_browser.wanted = ComparablePath(step.text);
    g_browser.armedAt = GetTickCount();
    SetTimer(browser, kBrowserTimerId, kBrowserRetryMs, &BrowserTimer);
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(step.text.c_str()));
}

void ModalScriptBrowserSelected(HWND browser, const char* path) {
    if (g_browser.wanted.empty() || g_browser.pressed) return;
    if (ComparablePath(path ? path : "") != g_browser.wanted) return;
    PressBrowserOk(browser);
}
