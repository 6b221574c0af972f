// The packed resources as the executable's resource section holds them,
// read through the Win32 loader.
#include <gtest/gtest.h>

#include <vector>

#include "headless/headless.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/resource.h"

namespace {

std::vector<uint8_t> Take(RelocatableBlock h) {
    std::vector<uint8_t> bytes;
    if (!h) return bytes;
    const uint8_t* p = static_cast<const uint8_t*>(HeapHandleLock(h));
    bytes.assign(p, p + RelocatableBlockSize(h));
    HeapHandleUnlock(h);
    return bytes;
}

std::vector<uint8_t> FromExe(uint32_t type, int32_t number) {
    RelocatableBlock h = LoadCustomResource(type, number);
    std::vector<uint8_t> bytes = Take(h);
    ReleaseCustomResource(h);
    return bytes;
}

std::vector<uint8_t> FromTables(uint32_t type, int32_t number) {
    RelocatableBlock h = HeadlessLoadResource(type, number);
    std::vector<uint8_t> bytes = Take(h);
    if (h) HeapHandleFree(h);
    return bytes;
}

TEST(Win32Resources, CatalogueIndexAndPages) {
    std::vector<uint8_t> index = FromExe(FourCC("LANG"), 256);
    ASSERT_EQ(index.size(), 512u);
    EXPECT_EQ(index[0], 0x0C); // big-endian magic 0x0C59
    EXPECT_EQ(index[1], 0x59);
    int pages = index[2] * 256 + index[3];
    ASSERT_GE(pages, 1);
    EXPECT_EQ(index, FromTables(FourCC("LANG"), 256));
    for (int p = 1; p <= pages; ++p) {
        std::vector<uint8_t> page = FromExe(FourCC("LANG"), 256 + p);
        ASSERT_EQ(page.size(), 512u) << "page " << p;
        EXPECT_EQ(page[0], 0x0C);
        EXPECT_EQ(page[1], 0x59);
        EXPECT_EQ(page, FromTables(FourCC("LANG"), 256 + p)) << "page " << p;
    }
    EXPECT_EQ(LoadCustomResource(FourCC("LANG"), 256 + pages + 1), nullptr);
}

TEST(Win32Resources, FontAndTypeNames) {
    for (int32_t n = 256; n <= 258; ++n) {
        std::vector<uint8_t> bytes = FromExe(FourCC("RFNT"), n);
        ASSERT_FALSE(bytes.empty()) << n;
        EXPECT_EQ(bytes, FromTables(FourCC("RFNT"), n)) << n;
    }
    EXPECT_EQ(FromExe(FourCC("RFNT"), 256).size(), 52u);
    EXPECT_EQ(FromExe(FourCC("RFNT"), 257).size(), 257u * 8);
    // type names match without regard to case
    EXPECT_EQ(FromExe(FourCC("lang"), 256), FromExe(FourCC("LANG"), 256));
    EXPECT_EQ(LoadCustomResource(FourCC("XXXX"), 256), nullptr);
    ReleaseCustomResource(nullptr);
}

} // namespace
