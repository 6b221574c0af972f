#include "toolbox/core/shelldefaults.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "toolbox/core/shellrequests.h"

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

} // namespace
