// The file choosers over GetOpenFileNameA, GetSaveFileNameA and
// SHBrowseForFolderA, with the last folder and the choosers' hook. The
// name buffers are bounded: Open's 2,048 bytes (the system told 4 less),
// Save's 400 with the default name cut to fit.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/core/modalstate.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/ui/chooser.h"
#include "toolbox/ui/filefilter.h"
#include "toolbox/ui/modalscript_win32.h"

namespace {

char g_lastFolder[kLastFolderChars + 1] = "";

bool IsFolder(const char* path) {
    if (!path || !*path) return false;
    std::string p = path;
    if (p.size() == 2 && p[1] == ':') p += '\\'; // a drive alone
    DWORD attributes = GetFileAttributesA(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ValidFolderSpec(const FileSpec* spec) {
    return spec && !FileSpecIsEmpty(spec) && IsFolder(spec->folder);
}

// The folder a chooser starts in: the given one, else the last folder,
// else the application's own folder.
std::string StartFolder(const FileSpec* given) {
    if (given) return given->folder;
    if (g_lastFolder[0]) return g_lastFolder;
    FileSpec app{};
    ApplicationFolderSpec(&app);
    return app.folder;
}

// A drive alone needs its backslash to name the drive's root.
std::string SystemFolder(std::string folder) {
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

void FollowFolder(HWND chooser) {
    char path[MAX_PATH] = {};
    if (SendMessageA(chooser, CDM_GETFOLDERPATH, sizeof path, reinterpret_cast<LPARAM>(path)) > 0)
        SetLastChooserFolder(path);
}

// Centres the chooser over its owner when the result lies wholly on the
// screen.
void CentreOverOwner(HWND chooser) {
    HWND owner = GetWindow(chooser, GW_OWNER);
    if (!owner) return;
    RECT own{}, box{};
    GetWindowRect(owner, &own);
    GetWindowRect(chooser, &box);
    int32_t w = box.right - box.left, h = box.bottom - box.top;
    int32_t left = own.left + ((own.right - own.left) - w) / 2;
    int32_t top = own.top + ((own.bottom - own.top) - h) / 2;
    int32_t screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (left < 0 || top < 0 || left + w > screenW || top + h > screenH) return;
    SetWindowPos(chooser, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK ChooserHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            const OPENFILENAMEA* request = reinterpret_cast<const OPENFILENAMEA*>(lParam);
            SetWindowLongPtrA(hook, GWLP_USERDATA, LONG_PTR(request->lCustData));
            return 0;
        }
        if (message != WM_NOTIFY) return 0;
        const OFNOTIFYA* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
        HWND chooser = GetParent(hook);
        switch (note->hdr.code) {
        case CDN_INITDONE:
            CentreOverOwner(chooser);
            ModalScriptChooserReady(chooser,
                                    ModalDialogKind(GetWindowLongPtrA(hook, GWLP_USERDATA)));
            break;
        case CDN_FOLDERCHANGE:
        case CDN_FILEOK:
        case CDN_TYPECHANGE:
            FollowFolder(chooser);
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return 0;
}

// The system's request shared by both choosers.
struct ChooserRequest {
    OPENFILENAMEA ofn{};
    std::string nativeFilter;
    std::string defaultExtension;
    std::string startFolder;
};

void FillRequest(ChooserRequest* r, const char* filter, int32_t* filterIndex, const char* title,
                 const FileSpec* startIn, ModalDialogKind kind) {
    std::string text = filter ? filter : "";
    r->nativeFilter = NativeFileFilter(text);
    r->defaultExtension = FilterDefaultExtension(text);
    r->startFolder = SystemFolder(StartFolder(startIn));
    OPENFILENAMEA& o = r->ofn;
    o.lStructSize = sizeof o;
    o.hwndOwner = DialogOwnerWindow();
    o.lpstrFilter = text.empty() ? nullptr : r->nativeFilter.c_str();
    o.nFilterIndex = filterIndex && *filterIndex > 0 ? DWORD(*filterIndex) : 1;
    o.lpstrTitle = title;
    o.lpstrInitialDir = r->startFolder.empty() ? nullptr : r->startFolder.c_str();
    o.lpstrDefExt = r->defaultExtension.empty() ? nullptr : r->defaultExtension.c_str();
    o.lpfnHook = &ChooserHook;
    o.lCustData = LPARAM(kind);
    o.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
}

struct CopySpec {
    FileSpec* out;
};

int32_t CopyChosenSpec(FileSpec* spec, int32_t, int32_t, void* user) {
    *static_cast<CopySpec*>(user)->out = *spec;
    return 0;
}

// What the folder browser's callback is given.
struct BrowserStart {
    const char* start;
    const char* title;
};

int CALLBACK BrowserCallback(HWND browser, UINT message, LPARAM param, LPARAM data) {
    try {
        if (message == BFFM_SELCHANGED) {
            char path[MAX_PATH] = {};
            if (!param || !SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path))
                path[0] = 0;
            ModalScriptBrowserSelected(browser, path);
        } else if (message == BFFM_INITIALIZED) {
            const BrowserStart* given = reinterpret_cast<const BrowserStart*>(data);
            if (given->start[0])
                SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                             reinterpret_cast<LPARAM>(given->start));
            ModalScriptBrowserReady(browser, given->title);
        }
    } catch (...) {
    }
    return 0;
}

} // namespace

const char* LastChooserFolder() {
    return g_lastFolder;
}

void SetLastChooserFolder(const char* path) {
    std::snprintf(g_lastFolder, sizeof g_lastFolder, "%s", path ? path : "");
}

int32_t ShowOpenFileDialog(const char* title, const char* filter, int32_t options, FileSpec* folder,
                           int32_t* filterIndex, const char* initialName, ChosenFileProc procedure,
                           void* userData) {
    std::vector<char> names;
    try {
        names.assign(size_t(kOpenNameBufferSize), 0);
    } catch (...) {
        return kFileErrNoMemory;
    }
    bool startInFolder = (options & kOpenStartInFolder) && ValidFolderSpec(folder);
    ChooserRequest r;
    FillRequest(&r, filter, filterIndex, title, startInFolder ? folder : nullptr,
                kModalOpenChooser);
    if (initialName) std::snprintf(names.data(), names.size(), "%s", initialName);
    r.ofn.lpstrFile = names.data();
    r.ofn.nMaxFile = DWORD(kOpenNameBufferSize - kOpenNameBufferSlack);
    r.ofn.Flags |= OFN_FILEMUSTEXIST;
    if (options & kOpenSeveralFiles) r.ofn.Flags |= OFN_ALLOWMULTISELECT;

    uint8_t previous = SetModalFlag(1);
    BOOL confirmed = GetOpenFileNameA(&r.ofn);
    int32_t failure = confirmed ? 0 : ChooserFailureCode(CommDlgExtendedError());
    SetModalFlag(previous);

    if (filterIndex) *filterIndex = int32_t(r.ofn.nFilterIndex);
    if (folder && g_lastFolder[0])
        std::snprintf(folder->folder, sizeof folder->folder, "%s", g_lastFolder);
    if (!confirmed) return failure;
    if (!procedure) return 0;
    return DeliverChosenFiles(names.data(), kOpenNameBufferSize, int32_t(r.ofn.nFileExtension),
                              procedure, userData);
}

bool ShowSaveFileDialog(const char* prompt, const char* defaultName, const char* filter,
                        bool useFolder, FileSpec* spec, int32_t* filterIndex) {
    char name[kSaveNameBufferSize] = {};
    if (defaultName) std::snprintf(name, sizeof name, "%s", defaultName); // cut at 399
    std::string title = prompt ? prompt : "";
    if (!title.empty() && title.back() == ':') title.pop_back();
    bool startInFolder = useFolder && ValidFolderSpec(spec);
    ChooserRequest r;
    FillRequest(&r, filter, filterIndex, title.c_str(), startInFolder ? spec : nullptr,
                kModalSaveChooser);
    r.ofn.lpstrFile = name;
    r.ofn.nMaxFile = sizeof name;
    r.ofn.Flags |= OFN_OVERWRITEPROMPT;

    uint8_t previous = SetModalFlag(1);
    BOOL confirmed = GetSaveFileNameA(&r.ofn);
    SetModalFlag(previous);

    if (filterIndex) *filterIndex = int32_t(r.ofn.nFilterIndex);
    if (confirmed) {
        FileSpec chosen{};
        if (ChosenPathSpec(name, int32_t(r.ofn.nFileExtension), &chosen)) {
            *spec = chosen;
            return true;
        }
        return false;
    }
    if (spec) std::snprintf(spec->folder, sizeof spec->folder, "%s", g_lastFolder);
    return false;
}

bool ChooseFileSpec(const char* prompt, const char* filter, int32_t options, FileSpec* spec,
                    int32_t* filterIndex) {
    if (filter && std::strcmp(filter, kFolderFilterText) == 0) {
        spec->name[0] = 0;
        return BrowseForFolder(DialogOwnerWindow(), prompt, options & kChooseStartInFolder, spec);
    }
    std::string initial = (options & kChooseOfferName) ? spec->name : "";
    FileSpec chosen = *spec;
    CopySpec copy{&chosen};
    int32_t result =
        ShowOpenFileDialog(prompt, filter, options & kChooseStartInFolder, &chosen, filterIndex,
                           initial.empty() ? nullptr : initial.c_str(), &CopyChosenSpec, &copy);
    *spec = chosen;
    return result == 0;
}

bool BrowseForFolder(void* owner, const char* title, bool startInSpec, FileSpec* spec) {
    std::string start = startInSpec && ValidFolderSpec(spec) ? spec->folder : g_lastFolder;
    if (!start.empty() && start.back() == ':' && start.size() > 2) start.pop_back();
    start = SystemFolder(start);
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.pszDisplayName = display;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowserCallback;
    BrowserStart given{start.c_str(), title ? title : ""};
    info.lParam = reinterpret_cast<LPARAM>(&given);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return false;
    char path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (!ok) return false;
    size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\') path[--length] = 0;
    if (length == 0 || length >= size_t(kFileSpecFolderSize)) return false;
    SetLastChooserFolder(path);
    std::snprintf(spec->folder, sizeof spec->folder, "%s", path);
    spec->name[0] = 0;
    return true;
}
