#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "test_resources.h"
#include "heap_fixture.h"
#include "toolbox/core/resource.h"

namespace {

class MenuResourceWin32 : public HeapTest {};

// windres's MENU statements and the packer's tables hold the same bytes,
// and LoadCustomResource reaches the numeric type.
TEST_F(MenuResourceWin32, EveryMenuResourceEqualsItsTable) {
    int menus = 0;
    for (const auto& [key, bytes] : TestResourceTables()) {
        if (key.first != kResourceTypeMenu) continue;
        ++menus;
        SCOPED_TRACE(key.second);
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(key.second), MAKEINTRESOURCEA(4));
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(SizeofResource(module, found), bytes.size());
        const void* p = LockResource(LoadResource(module, found));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::memcmp(p, bytes.data(), bytes.size()), 0);
        RelocatableBlock block = LoadCustomResource(kResourceTypeMenu, key.second);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::memcmp(HeapHandleLock(block), bytes.data(), bytes.size()), 0);
        HeapHandleUnlock(block);
        ReleaseCustomResource(block);
        // The system reads the template too.
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(key.second));
        ASSERT_NE(menu, nullptr);
        DestroyMenu(menu);
    }
    EXPECT_GE(menus, 5);
    EXPECT_EQ(LoadCustomResource(kResourceTypeMenu, 9199), nullptr);
}

} // namespace
