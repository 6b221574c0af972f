#include "toolbox/core/windowclass.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowClass, TypesCodesAndOptions) {
    struct Row {
        int32_t type;
        uint32_t options;
        int32_t code;
        uint32_t allowed;
    } rows[] = {
        {1, 0, 1044, 0x2030000},    {2, 0, 1045, 0x2030000},    {3, 0, 1042, 0x2030000},
        {4, 0, 1043, 0x2030011},    {4, 0x10, 1046, 0x2030011}, {5, 0, 1057, 0x3030011},
        {5, 0x10, 1059, 0x3030011}, {6, 0, 1024, 0x203001F},    {6, 0x10, 1025, 0x203001F},
        {6, 0x6, 1030, 0x203001F},  {6, 0x2, 1031, 0x203001F},  {6, 0x16, 1031, 0x203001F},
        {10, 0, 1040, 0x2030000},   {13, 0, 1040, 0x2030000},   {7, 0, 0, 0x2030000},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DefinitionCodeOfType(row.type, row.options), row.code) << row.type;
        EXPECT_EQ(AllowedOptionsOfType(row.type), row.allowed) << row.type;
    }
    EXPECT_EQ(NativeOptionsOfType(5, 0x1), 0x2000000u | 0x20000u | 0x1u);
    EXPECT_EQ(NativeOptionsOfType(1, 0xFFFFFFFF), 0x2030000u);
}

TEST(WindowClass, ClassByDefinitionCode) {
    struct Row {
        int32_t code;
        bool close;
        const char* name;
        bool mdi;
        uint32_t style, exStyle;
    } rows[] = {
        {1024, true, "plv_MDIDocClass_-1", true, 0x44CA0000, 0x40},
        {1031, true, "plv_MDIDocClass_-1", true, 0x44CF0000, 0x40},
        {1040, true, "plv_DialogClass", false, 0x80800000, 0},
        {1044, true, "plv_DialogClass", false, 0x80000000, 1},
        {1045, false, "plv_DialogClass_no_close", false, 0x80C80000, 1},
        {1046, true, "plv_DialogClass", false, 0x80CC0000, 1},
        {1057, false, "plv_FloatClass_no_close", false, 0x80C00000, 0x80},
        {1057, true, "plv_FloatClass", false, 0x80C80000, 0x80},
        {1071, true, "plv_FloatClass", false, 0x80CC0000, 0x80},
    };
    for (const Row& row : rows) {
        WindowClassSpec spec;
        ASSERT_TRUE(WindowClassForKind(row.code, -1, row.close, &spec)) << row.code;
        EXPECT_EQ(std::string(spec.name), row.name) << row.code;
        EXPECT_EQ(spec.mdiChild, row.mdi) << row.code;
        EXPECT_EQ(spec.style, row.style) << row.code;
        EXPECT_EQ(spec.exStyle, row.exStyle) << row.code;
        EXPECT_EQ(spec.classStyle, row.close ? 0u : 0x200u) << row.code;
    }
    WindowClassSpec spec;
    EXPECT_FALSE(WindowClassForKind(1050, -1, true, &spec));
    ASSERT_TRUE(WindowClassForKind(1024, 128, true, &spec));
    EXPECT_STREQ(spec.name, "plv_MDIDocClass_128");
}

} // namespace
