#include "toolbox/core/shelldefaults.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "native_fixture_win32.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

TEST(ShellDefaultsWin32, TheFileSystemTellsFilesFoldersAndMissingPaths) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder =
        std::string(temp) + "plv_shelldefaults_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\board.zid";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(PathKindOf(file.c_str()), PathKind::File);
    EXPECT_EQ(PathKindOf(folder.c_str()), PathKind::Folder);
    EXPECT_EQ(PathKindOf((folder + "\\gone.zid").c_str()), PathKind::Missing);
    EXPECT_EQ(PathKindOf(""), PathKind::Missing);
    // The default request spec reads the kind: a folder without its
    // trailing backslash is still "Fldr", a missing file gives no spec.
    SetShellRequestProcs(nullptr);
    FileSpec spec;
    ASSERT_TRUE(FileSpecWithType(file.c_str(), &spec));
    EXPECT_STREQ(spec.name, "board.zid");
    EXPECT_STREQ(spec.type, ".zid");
    ASSERT_TRUE(FileSpecWithType(folder.c_str(), &spec));
    EXPECT_STREQ(spec.type, "Fldr");
    EXPECT_FALSE(FileSpecWithType((folder + "\\gone.zid").c_str(), &spec));
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

class ShellModalWin32 : public ShownFrameTest {};

int32_t NoEvents(PortRecord*, OsEventRecord*) {
    return 0;
}

// A modal dialog in front is one; a document in front is none.
TEST_F(ShellModalWin32, TheFrontWindowIsAModalDialogByItsClassBit) {
    InstallWindowObjectLayer();
    EXPECT_FALSE(FrontIsModalDialog());
    auto open = [](int32_t type, Rect16 box) {
        PortRecord* port = nullptr;
        EXPECT_EQ(WindowObjectOpen(false, type, 0, &box, nullptr, 0, &NoEvents, &port), 0);
        if (port) ShowWindow(NativeWindowOf(NativeRecordOfPort(port)), SW_SHOWNA);
        MessagePump();
        return port;
    };
    PortRecord* document = open(6, Rect16{80, 80, 180, 280});
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(FrontIsModalDialog());
    PortRecord* modal = open(1, Rect16{60, 60, 160, 260});
    ASSERT_NE(modal, nullptr);
    EXPECT_TRUE(FrontIsModalDialog());
    for (PortRecord* port : {modal, document}) {
        NativeWindowRecord* record = NativeRecordOfPort(port);
        DisposePortRecord(port);
        DisposeNativeWindow(record);
        FreeHeapBlock(port);
    }
    EXPECT_FALSE(FrontIsModalDialog());
}

} // namespace
