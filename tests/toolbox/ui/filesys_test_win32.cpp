// The Win32 file layer, file aliases and cursors, on real folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/filespec.h"
#include "toolbox/core/resource.h"
#include "toolbox/ui/cursor.h"
#include "toolbox/ui/filealias.h"

namespace {

std::string Current() {
    char buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return std::string(buf, n);
}

class Win32FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmp[MAX_PATH + 1];
        GetTempPathA(sizeof tmp, tmp);
        root_ = std::string(tmp) + "plv_ui_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA((root_ + "\\sub").c_str(), nullptr);
        start_ = Current();
    }
    void TearDown() override {
        SetCurrentDirectoryA(start_.c_str());
        for (const char* f : {"\\a.txt", "\\b.txt", "\\moved.txt", "\\sub\\c.txt"})
            DeleteFileA((root_ + f).c_str());
        RemoveDirectoryA((root_ + "\\sub").c_str());
        RemoveDirectoryA((root_ + "\\gone").c_str());
        RemoveDirectoryA(root_.c_str());
    }
    FileSpec Spec(const char* name, const std::string& folder = "") {
        FileSpec s = {};
        std::snprintf(s.folder, sizeof s.folder, "%s", (folder.empty() ? root_ : folder).c_str());
        std::snprintf(s.name, sizeof s.name, "%s", name);
        return s;
    }
    void Write(const char* name, const char* bytes) {
        FileSpec s = Spec(name);
        ASSERT_EQ(CreateFileSpec(&s, "ttxt", "TEXT", 0), 0);
        FileHandle h = nullptr;
        ASSERT_EQ(OpenFileSpecHandle(&s, 0, &h), 0);
        int32_t n = int32_t(std::strlen(bytes));
        ASSERT_EQ(WriteFileBytes(h, bytes, &n), 0);
        ASSERT_EQ(CloseFileHandle(h, 1, 1), 0);
    }
    std::string root_;
    std::string start_;
};

TEST_F(Win32FilesTest, EveryOperationRestoresTheCurrentFolder) {
    Write("a.txt", "hello");
    FileSpec empty = {};
    const std::function<int32_t()> ops[] = {
        [&] {
            FileSpec s = Spec("a.txt");
            return FileSpecExists(&s, nullptr) ? 0 : 1;
        },
        [&] {
            FileSpec s = Spec("missing");
            return FileSpecExists(&s, nullptr) ? 0 : 1;
        },
        [&] {
            FileSpec s = Spec("b.txt");
            return CreateFileSpec(&s, "ab", ".txt", 0);
        },
        [&] {
            FileSpec s = Spec("x", root_ + "\\nowhere");
            return CreateFileSpec(&s, "", "", 0);
        },
        [&] {
            FileSpec s = Spec("a.txt");
            FileHandle h = nullptr;
            int32_t r = OpenFileSpecHandle(&s, 1, &h);
            if (h) CloseFileHandle(h, 1, 0);
            return r;
        },
        [&] {
            FileSpec s = Spec("a.txt");
            std::FILE* f = OpenFileSpecCFile(&s, "rb");
            if (f) std::fclose(f);
            return f ? 0 : 1;
        },
        [&] {
            FileSpec s = Spec("b.txt");
            return MoveFileSpec(&s, "moved.txt");
        },
        [&] {
            FileSpec s = Spec("moved.txt");
            return DeleteFileSpec(&s);
        },
        [&] {
            FileSpec s = Spec("moved.txt");
            return DeleteFileSpec(&s);
        },
        [&] { return DeleteFileSpec(&empty); },
    };
    for (const char* start : {"", "C:\\"}) {
        if (start[0]) {
            ASSERT_TRUE(SetCurrentDirectoryA(start));
        }
        std::string before = Current();
        for (const auto& op : ops) {
            op();
            EXPECT_EQ(Current(), before) << &op - ops;
        }
    }
    EXPECT_EQ(DeleteFileSpec(&empty), kFileErrPathNotFound);
    FileHandle h = reinterpret_cast<FileHandle>(1);
    EXPECT_EQ(OpenFileSpecHandle(&empty, 1, &h), kFileErrPathNotFound);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(FileSpecValidate(&empty, nullptr), kFileErrPathNotFound);
    EXPECT_EQ(CreateFileSpec(&empty, "", "", 0), kFileErrPathNotFound);
    EXPECT_EQ(OpenFileSpecCFile(&empty, "rb"), nullptr);
    // A bare drive enters its root; the previous folder comes back without
    // its trailing backslash.
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    FileSpec drive = Spec("", "C:");
    char prev[kFileSpecFolderSize];
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    EXPECT_EQ(FileSpecValidate(&drive, prev), 0);
    EXPECT_EQ(Current(), "C:\\");
    EXPECT_EQ(std::string(prev), root_);
}

TEST_F(Win32FilesTest, CreateReadLengthAndClose) {
    Write("a.txt", "0123456789");
    FileSpec s = Spec("a.txt");
    // Creating an existing file keeps its bytes, stores type and creator.
    EXPECT_EQ(CreateFileSpec(&s, "KV", "TEXT", 0), 0);
    EXPECT_EQ(std::memcmp(s.creator, "KV\0\0\0", 5), 0);
    EXPECT_STREQ(s.type, "TEXT");
    FileHandle h = nullptr;
    ASSERT_EQ(OpenFileSpecHandle(&s, 0, &h), 0);
    int32_t length = 0, at = -1;
    EXPECT_EQ(GetFileLength(h, &length), 0);
    EXPECT_EQ(length, 10);
    char buf[16];
    int32_t n = 0;
    EXPECT_EQ(ReadFileBytes(h, buf, &n), 0);
    ASSERT_EQ(SetFilePosition(h, 10, 0), 0);
    n = 4;
    EXPECT_EQ(ReadFileBytes(h, buf, &n), kFileErrEndOfFile);
    EXPECT_EQ(n, 0);
    ASSERT_EQ(SetFilePosition(h, -4, 1), 0);
    EXPECT_EQ(GetFilePosition(h, &at), 0);
    EXPECT_EQ(at, 6);
    // Shorter than the position: the position ends at the new end.
    EXPECT_EQ(SetFileLength(h, 3), 0);
    EXPECT_EQ(GetFilePosition(h, &at), 0);
    EXPECT_EQ(at, 3);
    // Longer: the position stays.
    EXPECT_EQ(SetFileLength(h, 8), 0);
    EXPECT_EQ(GetFilePosition(h, &at), 0);
    EXPECT_EQ(at, 3);
    EXPECT_EQ(GetFileLength(h, &length), 0);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(CloseFileHandle(h, 1, 1), 0);
    // A flush refused on a read-only handle is no error when closing, and
    // the handle is closed whatever the flush gave.
    ASSERT_EQ(OpenFileSpecHandle(&s, 1, &h), 0);
    EXPECT_EQ(CloseFileHandle(h, 1, 1), 0);
    EXPECT_EQ(CloseFileHandle(h, 1, 0), kFileErrBadHandle);
    // Something that is no file.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(CloseFileHandle(event, 1, 1), kFileErrBadHandle);
    CloseHandle(event);
    EXPECT_EQ(CloseFileHandle(nullptr, 1, 0), kFileErrBadHandle);
    // The system's code passes through.
    FileSpec missing = Spec("missing.txt");
    EXPECT_EQ(OpenFileSpecHandle(&missing, 1, &h), 2);
}

TEST_F(Win32FilesTest, PathTextSubfoldersAndLeaves) {
    FileSpec s = Spec("a.txt");
    const std::string full = root_ + "\\a.txt";
    char out[512];
    EXPECT_EQ(FileSpecPathText(&s, out, 0, sizeof out), int32_t(full.size() + 1));
    EXPECT_EQ(std::string(out), full);
    // Part by part while they fit: the folder and backslash, not the name.
    EXPECT_EQ(FileSpecPathText(&s, out, 0, int32_t(root_.size() + 3)), int32_t(full.size() + 1));
    EXPECT_EQ(std::string(out), root_ + "\\");
    EXPECT_EQ(FileSpecPathText(&s, out, 0, int32_t(root_.size())), int32_t(full.size() + 1));
    EXPECT_STREQ(out, "");
    EXPECT_EQ(FileSpecFolderText(&s, out, sizeof out), int32_t(root_.size() + 2));
    EXPECT_EQ(std::string(out), root_ + "\\");
    EXPECT_EQ(FileSpecPathText(&s, nullptr, 0, 0), int32_t(full.size() + 1));
    FileSpec gone = Spec("a.txt", root_ + "\\gone");
    std::strcpy(out, "x");
    EXPECT_EQ(FileSpecPathText(&gone, out, 0, sizeof out), 0);
    EXPECT_STREQ(out, "");

    FileSpec sub = Spec("sub");
    EXPECT_TRUE(EnterSubfolderSpec(&sub, &sub));
    EXPECT_EQ(std::string(sub.folder), root_ + "\\sub");
    FileSpec notFolder = Spec("a.txt");
    FileSpec out2 = Spec("z");
    EXPECT_FALSE(EnterSubfolderSpec(&notFolder, &out2));
    EXPECT_STREQ(out2.folder, "");

    char leaf[kFileSpecNameSize];
    EXPECT_TRUE(FolderLeafName((root_ + "\\sub").c_str(), leaf));
    EXPECT_STREQ(leaf, "sub");
    EXPECT_FALSE(FolderLeafName((root_ + "\\gone").c_str(), leaf));
    EXPECT_STREQ(leaf, "");
}

TEST_F(Win32FilesTest, ApplicationFolder) {
    char exe[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe, n);
    folder = folder.substr(0, folder.rfind('\\'));
    FileSpec app;
    ApplicationFolderSpec(&app);
    EXPECT_EQ(std::string(app.folder), folder);
    EXPECT_STREQ(app.name, "Pelvane");
}

TEST_F(Win32FilesTest, Aliases) {
    FileSpec s = Spec("sub");
    FileAlias a = FileAliasNew(&s);
    ASSERT_NE(a, nullptr);
    int32_t mark = 0;
    std::memcpy(&mark, *a, 4);
    EXPECT_EQ(mark, kAliasHoldsPath);
    EXPECT_EQ(std::string(static_cast<char*>(*a) + 4), root_ + "\\sub");
    FileSpec back;
    EXPECT_EQ(FileAliasResolve(a, &back), 0);
    EXPECT_EQ(std::string(back.folder), root_ + "\\sub");
    EXPECT_STREQ(back.name, "");
    HeapHandleFree(a);

    FileSpec folderOnly = Spec("");
    a = FileAliasNew(&folderOnly);
    EXPECT_EQ(std::string(static_cast<char*>(*a) + 4), root_); // no trailing backslash
    HeapHandleFree(a);

    CreateDirectoryA((root_ + "\\gone").c_str(), nullptr);
    FileSpec goneSpec = Spec("", root_ + "\\gone");
    a = FileAliasNew(&goneSpec);
    RemoveDirectoryA((root_ + "\\gone").c_str());
    back = Spec("junk");
    EXPECT_EQ(FileAliasResolve(a, &back), kFileErrPathNotFound);
    EXPECT_TRUE(FileSpecIsEmpty(&back));
    EXPECT_STREQ(back.name, "");
    HeapHandleFree(a);

    FileSpec invalid = Spec("x", root_ + "\\nowhere");
    for (FileAlias empty : {FileAliasNew(&invalid), FileAliasNew(nullptr)}) {
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(RelocatableBlockSize(empty), 5);
        EXPECT_EQ(std::memcmp(*empty, "\0\0\0\0\0", 5), 0);
        back = Spec("junk");
        EXPECT_EQ(FileAliasResolve(empty, &back), kAliasErrNoPath);
        EXPECT_EQ(back.name[0], 0);
        HeapHandleFree(empty);
    }
}

TEST(Cursors, LoadedOnceByNumber) {
    int32_t before = CursorCacheCount();
    CursorEntry* wait = CursorGet(kCursorWait);
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(CursorGet(kCursorWait), wait);
    EXPECT_EQ(CursorCacheCount(), before + 1);
    EXPECT_EQ(wait->cursor, LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(CursorGet(kCursorIBeam)->cursor, LoadCursor(nullptr, IDC_IBEAM));
    EXPECT_EQ(CursorGet(kCursorCross)->cursor, LoadCursor(nullptr, IDC_CROSS));
    EXPECT_EQ(CursorGet(kCursorCrossToo)->cursor, LoadCursor(nullptr, IDC_CROSS));
    EXPECT_EQ(CursorGet(32512)->cursor, LoadCursor(nullptr, IDC_ARROW));
    for (int16_t own : {261, 262, 263}) {
        CursorEntry* e = CursorGet(own);
        ASSERT_NE(e, nullptr) << own;
        EXPECT_EQ(e->cursor, LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(own)));
    }
    int32_t count = CursorCacheCount();
    EXPECT_EQ(CursorGet(999), nullptr);
    EXPECT_EQ(CursorCacheCount(), count);
    SetCursorHandle(wait);
    ResetCursorToArrow();
}

// The list marks: five 9 x 9 cells side by side.
TEST(Pictures, ListMarksBitmap) {
    HBITMAP marks = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(8000));
    ASSERT_NE(marks, nullptr);
    BITMAP info = {};
    ASSERT_NE(GetObjectA(marks, sizeof info, &info), 0);
    EXPECT_GE(info.bmWidth, 45);
    EXPECT_GE(info.bmHeight, 9);
    DeleteObject(marks);
}

// The Win32 resource section holds the same template bytes as the packed
// files the native table is generated from.
TEST(Pictures, TemplatesEqualThePackedBytes) {
    for (int32_t number : {8000, 8001, 8002, 1002}) {
        RelocatableBlock block = LoadCustomResource(FourCC("XDlg"), number);
        ASSERT_NE(block, nullptr) << number;
        std::string path =
            std::string("Z:") + PLV_RESOURCE_DIR + "/XDLG_" + std::to_string(number) + ".bin";
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::string bytes;
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.append(buf, n);
        std::fclose(f);
        EXPECT_EQ(std::string(static_cast<char*>(*block), size_t(RelocatableBlockSize(block))),
                  bytes)
            << number;
        ReleaseCustomResource(block);
    }
}

} // namespace
