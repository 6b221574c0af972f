// Making file specifications from paths, and storing four-character codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/filespec.h"

namespace {

bool AllZero(const FileSpec& s) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&s);
    for (size_t i = 0; i < sizeof s; ++i)
        if (b[i]) return false;
    return true;
}

struct PathCase {
    const char* base;
    std::string path;
    bool ok;
    const char* folder;
    const char* name;
    const char* type;
};

TEST(ResolvePath, Cases) {
    const std::string longName(256, 'n');
    const std::string longFolder = "C:\\" + std::string(255, 'f') + "\\x";
    const std::string fitFolder = "C:\\" + std::string(254, 'f') + "\\x";
    const std::string fitExpected = fitFolder.substr(0, fitFolder.size() - 2);
    const PathCase cases[] = {
        {nullptr, "C:", true, "C:", "", ""},
        {nullptr, "C:\\", true, "C:", "", ""},
        {nullptr, "C:\\a\\b.txt", true, "C:\\a", "b.txt", ".txt"},
        {"D:\\work", "sub\\..\\x.ZID", true, "D:\\work", "x.ZID", ".ZID"},
        {"D:\\work", "\\x", true, "D:", "x", ""},
        {"D:\\work", ".\\a\\.\\y", true, "D:\\work\\a", "y", ""},
        {"D:\\work", "E:\\z", true, "E:", "z", ""},
        {nullptr, "rel\\x", false, "", "", ""},
        {"work", "rel\\x", false, "", "", ""},
        {nullptr, "", false, "", "", ""},
        {nullptr, "C:\\..\\x", true, "", "", ""},
        {nullptr, "C:\\a\\\\b", true, "", "", ""},
        {nullptr, "C:name", true, "", "", ""},
        {nullptr, "\\\\srv\\share\\d\\f", true, "\\\\srv\\share\\d", "f", ""},
        {nullptr, "\\\\srv\\share\\d\\..\\f", true, "\\\\srv\\share", "f", ""},
        {nullptr, "\\\\srv\\share\\..\\x\\f", true, "", "", ""},
        {nullptr, "C:\\a\\..", true, "C:\\a", "..", "."},
        {nullptr, "C:\\a\\b.0123456789012345678901234567", true, "C:\\a",
         "b.0123456789012345678901234567", ".0123456789012345678901"},
        {nullptr, longFolder, false, "", "", ""},
        {nullptr, fitFolder, true, fitExpected.c_str(), "x", ""},
        {nullptr, "C:\\" + longName, false, "", "", ""},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        FileSpec spec;
        std::memset(&spec, 0x55, sizeof spec);
        EXPECT_EQ(ResolvePath(c.base, c.path.c_str(), &spec), c.ok);
        EXPECT_STREQ(spec.folder, c.folder);
        EXPECT_STREQ(spec.name, c.name);
        EXPECT_STREQ(spec.type, c.type);
        EXPECT_EQ(spec.creator[0], 0);
        if (!c.ok) {
            EXPECT_TRUE(AllZero(spec));
        }
        if (!c.folder[0]) {
            EXPECT_TRUE(FileSpecIsEmpty(&spec));
        }
    }
}

TEST(ResolvePath, FolderPathCopiesTheFolder) {
    char folder[kFileSpecFolderSize];
    EXPECT_TRUE(ResolveFolderPath("D:\\work", "a\\b", folder));
    EXPECT_STREQ(folder, "D:\\work\\a");
}

TEST(JoinPathComponents, BothSeparators) {
    char path[64] = "C:\\a\\";
    EXPECT_TRUE(JoinPathComponents(path, sizeof path, "..\\b\\c", '\\', 0));
    EXPECT_STREQ(path, "C:\\b\\c");
    std::strcpy(path, "C:\\a");
    EXPECT_FALSE(JoinPathComponents(path, sizeof path, "b", '\\', 0));
    EXPECT_STREQ(path, "");
    std::strcpy(path, "C:\\a\\b\\");
    EXPECT_TRUE(JoinPathComponents(path, sizeof path, "\\x", '\\', 0));
    EXPECT_STREQ(path, "C:\\x");
    std::strcpy(path, "C:\\a\\");
    EXPECT_TRUE(JoinPathComponents(path, sizeof path, "D:\\y", '\\', 0));
    EXPECT_STREQ(path, "D:\\y");
    // With the colon an empty component goes up a level.
    std::strcpy(path, "Disk:a:b:");
    EXPECT_TRUE(JoinPathComponents(path, sizeof path, ":c", ':', 0));
    EXPECT_STREQ(path, "Disk:a:c");
    std::strcpy(path, "Disk:");
    EXPECT_FALSE(JoinPathComponents(path, sizeof path, "..:c", ':', 0));
    // A result that does not fit the buffer fails.
    std::strcpy(path, "C:\\");
    EXPECT_FALSE(JoinPathComponents(path, 8, "abcdefgh", '\\', 0));
    EXPECT_STREQ(path, "");
}

TEST(FourCharCode, StoredNormalised) {
    char out[6];
    std::memset(out, 0x55, sizeof out);
    StoreFourCharCode("ab", out);
    EXPECT_EQ(std::memcmp(out, "ab\0\0\0", 5), 0);
    StoreFourCharCode("TEXT", out);
    EXPECT_EQ(std::memcmp(out, "TEXT\0", 5), 0);
    StoreFourCharCode("\0BCD", out);
    EXPECT_EQ(std::memcmp(out, "\0\0\0\0\0", 5), 0);
    StoreFourCharCode("A\0CD", out);
    EXPECT_EQ(std::memcmp(out, "A\0\0\0\0", 5), 0);
}

} // namespace
