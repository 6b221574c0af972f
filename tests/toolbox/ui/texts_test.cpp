// File filters, the string table, error texts and the toolbox's own
// dialog templates as packed from their sources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/filespec.h"
#include "toolbox/core/resource.h"
#include "toolbox/ui/errortext.h"
#include "toolbox/ui/filefilter.h"
#include "toolbox/ui/xdlg.h"

namespace {

TEST(FileFilter, PairsNativeFormAndDefaultExtension) {
    std::string filter = "old|";
    BuildFileFilter(filter, "L", "ZID", false);
    EXPECT_EQ(filter, "L (*.ZID)|*.ZID|");
    EXPECT_EQ(FilterDefaultExtension(filter), "ZID");
    BuildFileFilter(filter, "`All", "*.TBS;*.ASC", true);
    EXPECT_EQ(filter, "L (*.ZID)|*.ZID|All|*.TBS;*.ASC|");
    EXPECT_EQ(NativeFileFilter(filter), std::string("L (*.ZID)\0*.ZID\0All\0*.TBS;*.ASC\0\0", 33));
    std::string several;
    BuildFileFilter(several, "`All", "*.TBS;*.ASC", false);
    EXPECT_EQ(several, "All|*.TBS;*.ASC|");
    EXPECT_EQ(FilterDefaultExtension(several), "");
    EXPECT_EQ(FilterDefaultExtension(""), "");
}

TEST(StringResources, ByIdAndIndex) {
    char text[kStringResourceSize];
    StringResourceLoad(8000, 3, text);
    EXPECT_STREQ(text, "Read past end of file.");
    for (int32_t index : {0, -2, 1}) {
        StringResourceLoad(8016, index, text);
        EXPECT_STREQ(text, "Path name too long.") << index;
    }
    StringResourceLoad(8038, 0, text);
    EXPECT_STREQ(text, "Volume is Read Only.");
    std::strcpy(text, "x");
    StringResourceLoad(8030, 0, text);
    EXPECT_STREQ(text, "");
}

bool HookFor77(int32_t code, char* text) {
    if (code != 77 && code != 38) return false;
    std::strcpy(text, "from the hook");
    return true;
}

TEST(ErrorTexts, TableHookAndAlert) {
    const struct {
        int32_t code;
        const char* text;
    } rows[] = {
        {15, "Invalid volume or drive specification."},
        {5, "Access to file was denied."},
        {38, "Read past end of file."},
        {131, "Negative file position."},
        {3, "Invalid directory specification."},
        {2, "File not found."},
        {80, "File already exists."},
        {6, "File is not open."},
        {32, "File is already open."},
        {170, "File is in use."},
        {39, "Disk or volume is full."},
        {87, "Illegal parameter."},
        {8, "Not enough memory available."},
        {kToolboxOwnCode + 10000, "File is too old."},
        {kToolboxOwnCode + 10001, "File was created using a newer version of the software."},
        {kToolboxOwnCode + 10002, "Wrong file type."},
        {kToolboxOwnCode + 10003, "Path name too long."},
        {kToolboxOwnCode + 10004, "No associated application."},
        {kToolboxOwnCode + 10006, "File is damaged or contains invalid data."},
        {kToolboxOwnCode + 11000, "Bad file signature."},
        {kToolboxOwnCode + 11100, "File leader is missing."},
        {kToolboxOwnCode + 11300, "Unrecognizable printer information."},
        {kToolboxOwnCode + 11301, "Print driver is not open."},
        {4104, "No printer selected."},
        {33, "Volume is Read Only."},
    };
    char text[kStringResourceSize];
    for (const auto& r : rows) {
        EXPECT_TRUE(ErrorCodeText(r.code, text)) << r.code;
        EXPECT_STREQ(text, r.text) << r.code;
    }
    for (int32_t none : {0, 995, 12345, 10003, kToolboxOwnCode + 10005}) {
        EXPECT_FALSE(ErrorCodeText(none, text)) << none;
        EXPECT_STREQ(text, "");
    }
    EXPECT_EQ(ErrorAlertText(kFileErrPathTooLong), "Error:  Path name too long.");
    EXPECT_EQ(ErrorAlertText(12345), "Error:  #12345");
    EXPECT_EQ(ErrorAlertText(kToolboxOwnCode + 12345), "Error:  #12345");
    EXPECT_EQ(ErrorAlertText(-36), "Error:  #-36");
    EXPECT_EQ(ErrorAlertText(0), "");
    EXPECT_EQ(ErrorAlertText(995), "");
    SetErrorTextHook(HookFor77);
    EXPECT_TRUE(ErrorCodeText(77, text));
    EXPECT_STREQ(text, "from the hook");
    EXPECT_TRUE(ErrorCodeText(38, text));
    EXPECT_STREQ(text, "from the hook");
    EXPECT_TRUE(ErrorCodeText(2, text));
    EXPECT_STREQ(text, "File not found.");
    EXPECT_FALSE(ErrorCodeText(0, text));
    SetErrorTextHook(nullptr);
}

struct ItemWant {
    int16_t number, definition, top, left, bottom, right, value, maximum;
    const char* text;
};

void ExpectTemplate(int32_t number, Rect16 bounds, std::initializer_list<ItemWant> items) {
    SCOPED_TRACE(number);
    XDlgTemplate* t = LoadDialogTemplate(number);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->flags, 0);
    EXPECT_STREQ(t->title, "");
    EXPECT_EQ(t->bounds.top, bounds.top);
    EXPECT_EQ(t->bounds.left, bounds.left);
    EXPECT_EQ(t->bounds.bottom, bounds.bottom);
    EXPECT_EQ(t->bounds.right, bounds.right);
    EXPECT_EQ(t->itemCount, int16_t(items.size()));
    TemplateItem it;
    for (const ItemWant& w : items) {
        ASSERT_TRUE(ReadTemplateItem(t, &it));
        EXPECT_EQ(it.number, w.number);
        EXPECT_EQ(it.definition, w.definition);
        EXPECT_EQ(it.bounds.top, w.top);
        EXPECT_EQ(it.bounds.left, w.left);
        EXPECT_EQ(it.bounds.bottom, w.bottom);
        EXPECT_EQ(it.bounds.right, w.right);
        EXPECT_EQ(it.value, w.value);
        EXPECT_EQ(it.maximum, w.maximum);
        EXPECT_STREQ(it.text, w.text);
        EXPECT_EQ(it.style.flags, 0);
    }
    EXPECT_FALSE(ReadTemplateItem(t, &it));
    DisposeDialogTemplate(t);
}

TEST(ToolboxTemplates, ReadBackToTheirValues) {
    ExpectTemplate(8000, {100, 100, 140, 460}, {{1, 288, 5, 5, 75, 355, 0, 0, ""}});
    ExpectTemplate(8001, {33, 11, 122, 298},
                   {{1, 368, 65, 227, 81, 275, 0, 1, "OK"},
                    {2, 288, 8, 33, 60, 278, 0, 0, ""},
                    {4, 321, 8, 6, 34, 29, 32516, 0, ""}});
    ExpectTemplate(8002, {20, 20, 119, 435},
                   {{1, 368, 70, 306, 92, 402, 0, 1, "Confirm"},
                    {2, 368, 70, 182, 92, 278, 0, 1, "Cancel"},
                    {3, 288, 10, 60, 60, 402, 0, 0, ""},
                    {4, 321, 10, 10, 42, 42, 32515, 0, ""}});
    ExpectTemplate(1002, {20, 20, 116, 402},
                   {{1, 368, 60, 290, 82, 366, 0, 1, "OK"},
                    {2, 368, 60, 185, 82, 259, 0, 1, "Cancel"},
                    {3, 288, 15, 55, 47, 364, 0, 0, ""},
                    {104, 321, 10, 10, 42, 42, 32515, 0, ""}});
    EXPECT_EQ(LoadDialogTemplate(8003), nullptr);
}

} // namespace
