// The file choosers and the folder browser under Wine, answered through
// the modal script: several files and the per-file procedure, a single
// file typed by its extension, cancel, the save chooser's spec and prompt,
// the folder browser, the last folder, the native-modal flag and an
// unexpected chooser. Each case
// runs in a process of its own.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/modalstate.h"
#include "toolbox/ui/chooser.h"
#include "toolbox/ui/modalscript.h"

namespace {

constexpr char kSuite[] = "WineChooserChild";
constexpr char kFilter[] = "Boards (*.ZID)|*.ZID|All (*.*)|*.*|";

// A fresh folder with the files given, without a trailing backslash.
std::string MakeFolder(const char* leaf, const std::vector<std::string>& files) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + leaf + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& f : files) {
        HANDLE h = CreateFileA((folder + "\\" + f).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    return folder;
}

FileSpec FolderSpec(const std::string& folder) {
    FileSpec spec{};
    std::snprintf(spec.folder, sizeof spec.folder, "%s", folder.c_str());
    return spec;
}

struct Calls {
    std::vector<std::string> seen;
    int32_t stopAt = -1;
};

int32_t Record(FileSpec* spec, int32_t index, int32_t count, void* user) {
    Calls* calls = static_cast<Calls*>(user);
    calls->seen.push_back(std::string(spec->name) + "|" + spec->type + "|" + std::to_string(index) +
                          "/" + std::to_string(count));
    return index == calls->stopAt ? 77 : 0;
}

// The highest native-modal flag seen while a chooser runs.
uint8_t g_flagSeen = 0;
void CALLBACK WatchFlag(HWND, UINT, UINT_PTR, DWORD) {
    if (ModalFlag() > g_flagSeen) g_flagSeen = ModalFlag();
}

ModalStep ChooserStep(ModalDialogKind kind, const char* text, bool cancel = false) {
    return {kind, 0, {}, cancel, text};
}

void Finish() {
    if (::testing::Test::HasFailure()) ExitProcess(kChildCaseFailedExit);
}

TEST(WineChooserChild, OpenSeveralFiles) {
    if (!IsChildCase("OpenSeveralFiles")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    std::string folder = MakeFolder("plvopen", {"a.ZID", "b.ZID", "c.ZID"});
    FileSpec start = FolderSpec(folder);
    int32_t index = 1;

    ModalScriptPush(ChooserStep(kModalOpenChooser, "\"a.ZID\" \"b.ZID\" \"c.ZID\""));
    Calls all;
    EXPECT_EQ(ShowOpenFileDialog("Open", kFilter, kOpenStartInFolder | kOpenSeveralFiles, &start,
                                 &index, nullptr, &Record, &all),
              0);
    ASSERT_EQ(all.seen.size(), 3u);
    EXPECT_EQ(all.seen[0], "a.ZID||0/3");
    EXPECT_EQ(all.seen[1], "b.ZID||1/3");
    EXPECT_EQ(all.seen[2], "c.ZID||2/3");
    EXPECT_STREQ(start.folder, folder.c_str()); // the last folder
    EXPECT_STREQ(LastChooserFolder(), folder.c_str());
    EXPECT_EQ(index, 1);

    ModalScriptPush(ChooserStep(kModalOpenChooser, "\"a.ZID\" \"b.ZID\" \"c.ZID\""));
    Calls stop;
    stop.stopAt = 1;
    EXPECT_EQ(ShowOpenFileDialog("Open", kFilter, kOpenStartInFolder | kOpenSeveralFiles, &start,
                                 &index, nullptr, &Record, &stop),
              77);
    EXPECT_EQ(stop.seen.size(), 2u);

    // One file in a chooser for several: a full path, typed.
    ModalScriptPush(ChooserStep(kModalOpenChooser, "b.ZID"));
    Calls one;
    EXPECT_EQ(ShowOpenFileDialog("Open", kFilter, kOpenSeveralFiles, &start, &index, nullptr,
                                 &Record, &one),
              0);
    ASSERT_EQ(one.seen.size(), 1u);
    EXPECT_EQ(one.seen[0], "b.ZID|ZID|0/1");

    ModalScriptPush(ChooserStep(kModalOpenChooser, "", true));
    Calls none;
    EXPECT_EQ(ShowOpenFileDialog("Open", kFilter, 0, nullptr, &index, nullptr, &Record, &none),
              kFileErrCancelled);
    EXPECT_TRUE(none.seen.empty());

    const std::vector<std::string>& log = ModalScriptLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "open \"Open\"");
    EXPECT_EQ(ModalScriptPending(), 0);
    Finish();
}

TEST(WineChooserChild, SaveChooser) {
    if (!IsChildCase("SaveChooser")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    std::string folder = MakeFolder("plvsave", {});
    FileSpec spec = FolderSpec(folder);
    int32_t index = 1;
    ModalScriptPush(ChooserStep(kModalSaveChooser, "routed.ZID"));
    EXPECT_TRUE(ShowSaveFileDialog("Save design as:", "board.ZID", kFilter, true, &spec, &index));
    EXPECT_STREQ(spec.folder, folder.c_str());
    EXPECT_STREQ(spec.name, "routed.ZID");
    EXPECT_STREQ(spec.type, "ZID");
    EXPECT_EQ(ModalFlag(), 0);

    // Cancel: false, the FileSpec's folder the last folder; a default name
    // longer than the buffer is cut.
    FileSpec other = FolderSpec("C:\\nowhere\\at\\all");
    ModalScriptPush(ChooserStep(kModalSaveChooser, "", true));
    std::string longName(1000, 'x');
    EXPECT_FALSE(ShowSaveFileDialog("Save", longName.c_str(), kFilter, true, &other, &index));
    EXPECT_STREQ(other.folder, LastChooserFolder());
    EXPECT_STREQ(LastChooserFolder(), folder.c_str());

    const std::vector<std::string>& log = ModalScriptLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "save \"Save design as\"");
    Finish();
}

TEST(WineChooserChild, FolderBrowser) {
    if (!IsChildCase("FolderBrowser")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    CoInitialize(nullptr);
    std::string folder = MakeFolder("plvfolder", {"x.ZID"});
    FileSpec spec = FolderSpec("C:\\");
    std::snprintf(spec.name, sizeof spec.name, "%s", "x.ZID");
    ModalScriptPush(ChooserStep(kModalFolderBrowser, (folder + "\\").c_str()));
    EXPECT_TRUE(ChooseFileSpec("Choose the folder", kFolderFilterText, 0, &spec, nullptr));
    EXPECT_STREQ(spec.folder, folder.c_str());
    EXPECT_STREQ(spec.name, "");
    EXPECT_STREQ(LastChooserFolder(), folder.c_str());

    ModalScriptPush(ChooserStep(kModalFolderBrowser, "", true));
    EXPECT_FALSE(BrowseForFolder(nullptr, "Again", true, &spec));

    const std::vector<std::string>& log = ModalScriptLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("\"Choose the folder\""), std::string::npos) << log[0];
    Finish();
}

TEST(WineChooserChild, AnUnexpectedChooserIsCancelled) {
    if (!IsChildCase("AnUnexpectedChooserIsCancelled")) GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    // The native-modal flag is up while the chooser runs, and restored.
    SetModalFlag(0);
    UINT_PTR watch = SetTimer(nullptr, 0, 10, &WatchFlag);
    Calls calls;
    EXPECT_EQ(
        ShowOpenFileDialog("Surprise", kFilter, 0, nullptr, nullptr, nullptr, &Record, &calls),
        kFileErrCancelled);
    KillTimer(nullptr, watch);
    EXPECT_EQ(g_flagSeen, 1);
    EXPECT_EQ(ModalFlag(), 0);
    ASSERT_EQ(ModalScriptLog().size(), 1u);
    EXPECT_EQ(ModalScriptLog()[0], "unexpected open \"Surprise\"");
    EXPECT_EQ(ModalScriptPending(), 1);
    Finish();
}

TEST(WineChooser, OpenSeveralFiles) {
    EXPECT_EQ(RunChildCase(kSuite, "OpenSeveralFiles"), 0);
}

TEST(WineChooser, SaveChooser) {
    EXPECT_EQ(RunChildCase(kSuite, "SaveChooser"), 0);
}

TEST(WineChooser, FolderBrowser) {
    EXPECT_EQ(RunChildCase(kSuite, "FolderBrowser"), 0);
}

TEST(WineChooser, AnUnexpectedChooserIsCancelled) {
    EXPECT_EQ(RunChildCase(kSuite, "AnUnexpectedChooserIsCancelled"), 0);
}

} // namespace
