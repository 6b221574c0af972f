// Reading dialog templates from hand-made resources, item kinds, special
// texts, tab page names and dialog placement.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolbox/ui/xdlg.h"

namespace {

// Builds template bytes field by field (16-bit little-endian values,
// padded strings).
struct Blob {
    std::vector<uint8_t> b;
    Blob& W(int v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(uint16_t(v) >> 8));
        return *this;
    }
    Blob& Rect(int t, int l, int bo, int r) { return W(t).W(l).W(bo).W(r); }
    Blob& S(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
        if ((s.size() + 1) % 2) b.push_back(0);
        return *this;
    }
    Blob& Header(int count, int flags, const std::string& title = "") {
        return Rect(10, 20, 110, 220).W(count).W(flags).S(title);
    }
    Blob& Item(int t, int l, int bo, int r, int def, int num, int flags) {
        return Rect(t, l, bo, r).W(def).W(num).W(flags);
    }
};

class TemplateTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SetTemplateDpi(96);
        DisposeDialogTemplate(t_);
    }
    XDlgTemplate* Parse(const Blob& blob) {
        DisposeDialogTemplate(t_);
        t_ = ParseDialogTemplate(blob.b.data(), int32_t(blob.b.size()));
        return t_;
    }
    XDlgTemplate* t_ = nullptr;
};

TEST_F(TemplateTest, ScalingKeepsSizesApartFromPositions) {
    SetTemplateDpi(120);
    Blob blob;
    blob.Header(2, 0).Item(145, 10, 167, 80, 368, 1, 0).S("OK");
    blob.Item(-135, 0, -113, 10, 288, 2, 0).S("");
    ASSERT_TRUE(Parse(blob));
    TemplateItem item;
    ASSERT_TRUE(ReadTemplateItem(t_, &item));
    EXPECT_EQ(item.bounds.top, 181);
    EXPECT_EQ(item.bounds.bottom - item.bounds.top, 28);
    EXPECT_EQ(item.maximum, 1);
    EXPECT_STREQ(item.text, "OK");
    ASSERT_TRUE(ReadTemplateItem(t_, &item));
    EXPECT_EQ(item.bounds.top, -169);
    EXPECT_FALSE(ReadTemplateItem(t_, &item));
    // The template's own bounds: 100 x 200 units at 10, 20.
    EXPECT_EQ(t_->bounds.top, 13);
    EXPECT_EQ(t_->bounds.bottom - t_->bounds.top, 125);
    // Flag 8: pixels, nothing scaled; 96 dpi scales nothing either.
    blob.b[10] = kTemplatePixels;
    ASSERT_TRUE(Parse(blob));
    ASSERT_TRUE(ReadTemplateItem(t_, &item));
    EXPECT_EQ(item.bounds.top, 145);
    EXPECT_EQ(item.bounds.bottom, 167);
    SetTemplateDpi(96);
    blob.b[10] = 0;
    ASSERT_TRUE(Parse(blob));
    ASSERT_TRUE(ReadTemplateItem(t_, &item));
    EXPECT_EQ(item.bounds.top, 145);
    EXPECT_EQ(t_->bounds.right, 220);
}

TEST_F(TemplateTest, ExtraBlocksByDefinition) {
    Blob blob;
    blob.Header(6, 0, "Title");
    blob.Item(0, 0, 20, 20, 0, 1, 0).S("Push");
    blob.Item(0, 0, 20, 20, 32, 2, 0).W(130).W(0x200).S("");
    blob.Item(0, 0, 20, 20, 321, 3, 0).W(32516).W(7).S("");
    blob.Item(0, 0, 20, 20, 288, 4, 3).W(-1).W(1).W(0).S("*").S("right small");
    blob.Item(0, 0, 20, 20, 288, 5, 1).W(12).W(1).S("*").S("system");
    blob.Item(0, 0, 20, 20, 272, 6, 1).W(9).W(2).S("Arial").S("named");
    ASSERT_TRUE(Parse(blob));
    EXPECT_STREQ(t_->title, "Title");
    EXPECT_EQ(t_->style.flags, 0);
    TemplateItem it;
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.maximum, 1);
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.maximum, 130);
    EXPECT_EQ(it.minimum, 0x200);
    EXPECT_EQ(it.value, 0);
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.value, 32516);
    EXPECT_EQ(it.maximum, 0);
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.style.flags, kStyleJustification | kStyleFont);
    EXPECT_EQ(it.style.justification, -1);
    EXPECT_EQ(it.style.font, kSmallSystemFont);
    EXPECT_STREQ(it.text, "right small");
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.style.font, kSystemFont);
    EXPECT_EQ(it.style.size, 0);
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.style.flags, kStyleFont | kStyleFace | kStyleSize);
    EXPECT_EQ(it.style.size, 9);
    EXPECT_EQ(it.style.face, 2);
    EXPECT_STREQ(it.text, "named");
    EXPECT_FALSE(ReadTemplateItem(t_, &it));
}

TEST_F(TemplateTest, DialogStyles) {
    Blob blob;
    blob.Header(0, kTemplateHasStyle, "T").W(1).W(0).S("*");
    ASSERT_TRUE(Parse(blob));
    EXPECT_EQ(t_->style.flags, kStyleFont);
    EXPECT_EQ(t_->style.font, kSmallSystemFont);
    TemplateItem it;
    EXPECT_FALSE(ReadTemplateItem(t_, &it)); // no items: false at once
    Blob small;
    small.Header(0, kTemplateSmallFont);
    ASSERT_TRUE(Parse(small));
    EXPECT_EQ(t_->style.flags, kStyleFont);
    EXPECT_EQ(t_->style.font, kSmallSystemFont);
}

TEST_F(TemplateTest, TabPagesEndAtTheEmptyString) {
    Blob blob;
    blob.Header(2, 0);
    blob.Item(0, 0, 20, 20, 128, 1, 0).S("Alpha").S("Be").S("");
    blob.Item(0, 0, 20, 20, 288, 2, 0).S("next");
    ASSERT_TRUE(Parse(blob));
    TemplateItem it;
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_STREQ(it.text, "Alpha|Be");
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_EQ(it.number, 2);
    EXPECT_STREQ(it.text, "next");
}

TEST_F(TemplateTest, MalformedTemplatesAreRefused) {
    Blob good;
    good.Header(2, 0).Item(0, 0, 20, 20, 368, 1, 0).S("OK").Item(0, 0, 9, 9, 288, 2, 0);
    // The last item's empty text may be left out.
    ASSERT_TRUE(Parse(good));
    TemplateItem it;
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_STREQ(it.text, "");
    EXPECT_FALSE(ReadTemplateItem(t_, &it));

    Blob beyond; // an item count beyond the data
    beyond.Header(3, 0).Item(0, 0, 20, 20, 368, 1, 0).S("OK");
    ASSERT_TRUE(Parse(beyond));
    ASSERT_TRUE(ReadTemplateItem(t_, &it));
    EXPECT_FALSE(ReadTemplateItem(t_, &it));

    Blob unended; // a text without its zero in a middle item
    unended.Header(2, 0).Item(0, 0, 20, 20, 368, 1, 0);
    unended.b.push_back('O');
    ASSERT_TRUE(Parse(unended));
    EXPECT_FALSE(ReadTemplateItem(t_, &it));

    Blob cutStyle; // a style block cut short
    cutStyle.Header(1, 0).Item(0, 0, 20, 20, 288, 1, 1).W(9);
    ASSERT_TRUE(Parse(cutStyle));
    EXPECT_FALSE(ReadTemplateItem(t_, &it));

    Blob cutHeader;
    cutHeader.Rect(0, 0, 1, 1).W(0);
    EXPECT_EQ(Parse(cutHeader), nullptr);
    Blob cutTitle;
    cutTitle.Rect(0, 0, 1, 1).W(0).W(0);
    cutTitle.b.push_back('x');
    EXPECT_EQ(Parse(cutTitle), nullptr);
}

TEST(ItemKinds, KindTableAndDefaults) {
    const struct {
        int32_t definition;
        DialogItemKind kind;
    } kinds[] = {
        {0, kItemPushButton},    {1, kItemCheckBox},     {2, kItemRadioButton},
        {15, kItemPushButton},   {368, kItemPushButton}, {369, kItemCheckBox},
        {370, kItemRadioButton}, {383, kItemPushButton}, {16, kItemScrollBar},
        {399, kItemScrollBar},   {32, kItemIconButton},  {64, kItemToggleButton},
        {80, kItemProgressBar},  {129, kItemTabs},       {160, kItemGroupBox},
        {256, kItemUserPane},    {272, kItemEditText},   {288, kItemStaticText},
        {321, kItemIcon},        {352, kItemListBox},    {400, kItemPopup},
        {415, kItemPopup},       {48, kItemNone},        {416, kItemNone},
        {432, kItemNone},        {1000, kItemNone},      {-1, kItemNone},
    };
    for (const auto& k : kinds)
        EXPECT_EQ(ItemKindForDefinition(k.definition), k.kind) << k.definition;

    const struct {
        DialogItemKind kind;
        uint32_t flags;
        int16_t definition;
        int16_t maximum;
    } defaults[] = {
        {kItemPushButton, 0, 368, 1},
        {kItemCheckBox, 0, 369, 1},
        {kItemRadioButton, 0, 370, 1},
        {kItemScrollBar, 0, 386, 0},
        {kItemEditText, 0, 272, 0},
        {kItemEditText, kItemFlagPassword, 274, 0},
        {kItemStaticText, 0, 288, 0},
        {kItemListBox, 0, 352, 0},
        {kItemListBox, kItemFlagListVariant, 353, 0},
        {kItemPopup, 0, 401, 0},
        {kItemGroupBox, 0, 160, 0},
        {kItemIcon, 0, 321, 0},
        {kItemTabs, 0, 128, 0},
        {kItemTabs, kItemFlagSmallVariant, 129, 0},
        {kItemIconButton, 0, 33, 0},
        {kItemIconButton, kItemFlagSmallVariant, 32, 0},
        {kItemToggleButton, 0, 64, 1},
    };
    for (const auto& d : defaults) {
        int16_t def = -1, max = -1;
        ASSERT_TRUE(DefaultDefinitionForKind(d.kind, d.flags, &def, &max)) << d.kind;
        EXPECT_EQ(def, d.definition) << d.kind;
        EXPECT_EQ(max, d.maximum) << d.kind;
        EXPECT_EQ(ItemKindForDefinition(def), d.kind);
    }
    int16_t def, max;
    EXPECT_FALSE(DefaultDefinitionForKind(kItemProgressBar, 0, &def, &max));
    EXPECT_FALSE(DefaultDefinitionForKind(kItemNone, 0, &def, &max));
}

TemplateItem Item(int16_t definition, int16_t height, const char* text) {
    TemplateItem it = {};
    it.definition = definition;
    it.bounds = Rect16{0, 0, height, 50};
    std::snprintf(it.text, sizeof it.text, "%s", text);
    return it;
}

TEST(SpecialTexts, TurnIntoSpecialItems) {
    TemplateItem it = Item(368, 36, "ICN#130");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 32);
    EXPECT_EQ(it.maximum, 130);
    EXPECT_EQ(it.minimum, 0);
    it = Item(368, 37, "ICN#7^");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 33);
    EXPECT_EQ(it.maximum, 7);
    EXPECT_EQ(it.minimum, 0x200);
    it = Item(288, 20, "$UserDrawn");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 256);
    it = Item(288, 20, "$ProgressBar");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 80);
    EXPECT_EQ(it.minimum, 0);
    EXPECT_EQ(it.maximum, 100);
    EXPECT_EQ(it.value, 0);
    it = Item(288, 20, "$TabS|A|B");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 129);
    EXPECT_STREQ(it.text, "A|B");
    it = Item(288, 20, "$Tabx|A");
    ApplySpecialText(&it);
    EXPECT_EQ(it.definition, 128);
    EXPECT_STREQ(it.text, "A");
    // Ordinary texts and other kinds stay as they are.
    for (TemplateItem plain : {Item(288, 20, "ICN#5"), Item(368, 20, "$UserDrawn"),
                               Item(288, 20, "$Tab|A"), Item(288, 20, "Hello")}) {
        TemplateItem before = plain;
        ApplySpecialText(&plain);
        EXPECT_EQ(plain.definition, before.definition);
        EXPECT_STREQ(plain.text, before.text);
    }
}

TEST(SpecialTexts, TabPageNames) {
    std::vector<std::string> names =
        TabPageNames(("A\\|B|Cd#12 hidden|E#x|" + std::string(70, 'z')).c_str());
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "A|B");
    EXPECT_EQ(names[1], "Cd");
    EXPECT_EQ(names[2], "E#x");
    EXPECT_EQ(names[3], std::string(60, 'z'));
}

TEST(Placement, ThirdsOfTheFreeHeight) {
    const Rect32 area = {0, 0, 600, 800};
    const struct {
        int32_t code;
        int32_t height;
        int32_t top;
    } cases[] = {
        {2, 300, 100}, {4, 300, 200}, {3, 300, 150}, {1, 300, 0},
        {2, 597, 0},   {2, 594, 2},   {2, 591, 3},   {2, 301, 100},
    };
    for (const auto& c : cases) {
        Rect32 b = {10, 10, 10 + c.height, 311};
        PlaceDialogBounds(&b, &area, c.code);
        EXPECT_EQ(b.top, c.top) << c.code << " " << c.height;
        EXPECT_EQ(b.bottom - b.top, c.height);
        EXPECT_EQ(b.left, 249); // (800 - 301) / 2, toward zero
        EXPECT_EQ(b.right - b.left, 301);
    }
    Rect32 b = {10, 10, 20, 20};
    PlaceDialogBounds(&b, &area, 0);
    EXPECT_EQ(b.top, 10);
    // Halves round toward zero also in an area left of and above the origin.
    const Rect32 negative = {-601, -801, 0, 0};
    Rect32 n = {0, 0, 300, 300};
    PlaceDialogBounds(&n, &negative, 3);
    EXPECT_EQ(n.top, -601 + 150);
    EXPECT_EQ(n.left, -801 + 250);
}

} // namespace
