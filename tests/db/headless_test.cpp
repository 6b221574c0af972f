// The stand-ins' own behaviour: the fatal road without a hook, the file
// services and the resource registry.
#include "headless/headless.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "db/err.h"
#include "db/shellsvc.h"
#include "testutil.h"
#include "toolbox/core/byteorder.h"

namespace {

class HeadlessTest : public CoreTest {};

TEST_F(HeadlessTest, FileServices) {
    TempAppFolder folder;
    FileSpec spec;
    ApplicationFolderSpec(&spec);
    EXPECT_STREQ(spec.name, "Pelvane");
    EXPECT_EQ(std::filesystem::path(spec.folder), folder.path());
    bool isFolder = false;
    std::snprintf(spec.name, sizeof spec.name, "%s", "");
    EXPECT_TRUE(FileSpecExists(&spec, &isFolder));
    EXPECT_TRUE(isFolder);

    std::snprintf(spec.name, sizeof spec.name, "%s", "data.txt");
    EXPECT_FALSE(FileSpecExists(&spec, &isFolder));
    FileHandle h = nullptr;
    EXPECT_NE(OpenFileSpecHandle(&spec, 0, &h), 0);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(OpenFileSpec(&spec, FourCC("ttxt"), FourCC("TEXT"), 0), 0);
    EXPECT_TRUE(FileSpecExists(&spec, &isFolder));
    EXPECT_FALSE(isFolder);

    std::FILE* f = FileSpecOpenStream(&spec, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("0123456789", f);
    std::fclose(f);
    EXPECT_EQ(OpenFileSpec(&spec, 0, 0, 0), 0); // an existing file is left alone
    EXPECT_EQ(folder.ReadFile("data.txt"), "0123456789");

    ASSERT_EQ(OpenFileSpecHandle(&spec, 0, &h), 0);
    EXPECT_EQ(SetFileLength(h, 4), 0);
    EXPECT_EQ(CloseFileHandle(h, 1, 1), 0);
    EXPECT_EQ(folder.ReadFile("data.txt"), "0123");
    EXPECT_EQ(CloseFileHandle(nullptr, 1, 1), 6);
}

TEST_F(HeadlessTest, DefaultApplicationFolderIsTheExecutables) {
    FileSpec spec;
    ApplicationFolderSpec(&spec);
    EXPECT_NE(spec.folder[0], 0);
    bool isFolder = false;
    spec.name[0] = 0;
    EXPECT_TRUE(FileSpecExists(&spec, &isFolder));
    EXPECT_TRUE(isFolder);
}

TEST_F(HeadlessTest, RegistryReplacesAndRestores) {
    const uint32_t type = FourCC("TEST");
    EXPECT_EQ(HeadlessLoadResource(type, 1), nullptr);
    const char bytes[] = "abc";
    HeadlessRegisterResource(type, 1, bytes, 3);
    RelocatableBlock h = HeadlessLoadResource(type, 1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(RelocatableBlockSize(h), 3);
    EXPECT_EQ(std::string(static_cast<const char*>(HeapHandleLock(h)), 3), "abc");
    HeapHandleUnlock(h);
    HeapHandleFree(h);
    HeadlessUnregisterResource(FourCC("LANG"), 256);
    EXPECT_EQ(HeadlessLoadResource(FourCC("LANG"), 256), nullptr);
    HeadlessResourcesReset();
    EXPECT_EQ(HeadlessLoadResource(type, 1), nullptr);
    h = HeadlessLoadResource(FourCC("LANG"), 256);
    EXPECT_NE(h, nullptr); // the built-in catalogue is back
    HeapHandleFree(h);
}

#if PLV_POSIX
// The fatal road without a hook ends the process; a death test watches it.
std::string s_marker;

void EmergencySave() {
    std::FILE* f = std::fopen(s_marker.c_str(), "wb");
    if (f) std::fclose(f);
    ErrFatal(1111); // an error during the fatal road ends the process at once
}

TEST(HeadlessDeathTest, FatalRoadPrintsLogsSavesAndExits) {
    HeadlessReset();
    TempAppFolder folder;
    s_marker = (folder.path() / "saved").string();
    HeadlessSetFatalHook(nullptr);
    HeadlessSetEmergencySave(&EmergencySave);
    EXPECT_EXIT(ErrReport(5255009, 5), ::testing::ExitedWithCode(3),
                "Error code 5255\\.009 \\(5\\)");
    HeadlessSetEmergencySave(nullptr);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "saved"));
    std::string log = folder.ReadFile("Pelvane.Log");
    EXPECT_NE(log.find("  Error code 5255.009 (5)\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("1111"), std::string::npos); // the second error left no line
}
#endif

} // namespace
