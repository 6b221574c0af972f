#include "db/value.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>

#include "db/hdrunits.h"
#include "testutil.h"

namespace {

class ValueTest : public CoreTest {
  protected:
    void Units(int32_t kind, int32_t digits, double scale, double unitSize = 1.0 / 60000.0,
               int32_t userUnit = 1) {
        g_hdrUnits = HeaderUnits{kind, digits, scale, unitSize, userUnit};
    }
};

TEST_F(ValueTest, RingOfFiveBuffers) {
    std::set<char*> seen;
    char* first = StrRingBuf();
    seen.insert(first);
    for (int i = 0; i < 4; ++i)
        seen.insert(StrRingBuf());
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(StrRingBuf(), first);

    Units(6, 0, 1.0);
    const char* a = ValueFormat(111);
    for (int i = 0; i < 4; ++i)
        ValueFormat(i);
    EXPECT_STREQ(a, "111"); // still valid over the next four calls
}

TEST_F(ValueTest, Format) {
    struct Case {
        int32_t kind, digits;
        double scale;
        int32_t v;
        const char* text;
    } cases[] = {
        {6, 3, 0.5, -123456, "-123456"}, // database units ignore scale and digits
        {1, 0, 0.5, -3, "-1"},           // halves round toward zero
        {1, 0, 0.5, 3, "1"},
        {1, 0, 0.5, 5, "2"},
        {1, 0, 0.5, -5, "-2"},
        {1, 2, 0.5, -3, "-1.50"},
        {2, 3, 0.001, 12, "0.012"}, // "%5.*f" then trimmed
        {2, 1, 1.0, 7, "7.0"},
        {0, 0, 1.0 / 60, 120, "2"},
    };
    for (const Case& c : cases) {
        Units(c.kind, c.digits, c.scale);
        EXPECT_STREQ(ValueFormat(c.v), c.text) << c.v << " kind " << c.kind;
    }
}

TEST_F(ValueTest, FormatStaysInItsBuffer) {
    Units(2, 40, 1e200); // absurd digits and scale
    const char* t = ValueFormat(INT_MAX);
    EXPECT_LT(std::strlen(t), size_t(kValueBufferBytes));
    Units(2, 40, 1.0);
    EXPECT_STREQ(ValueFormat(1), "1.000000000"); // at most 9 decimals
}

TEST_F(ValueTest, Parse) {
    struct Case {
        const char* text;
        bool sign;
        int32_t kind;
        int32_t userUnit;
        int32_t v;
    } cases[] = {
        {"1 1/2in", false, 6, 1, 90000},
        {"1/2\"", false, 6, 1, 30000},
        {"1/0", false, 6, 1, INT_MAX},
        {"", true, 6, 1, INT_MAX},
        {"   ", true, 6, 1, INT_MAX},
        {"in", true, 6, 1, INT_MAX},
        {"-5", true, 0, 60, -300},
        {"- 5", true, 0, 60, -300},
        {"-5", false, 0, 60, INT_MAX},
        {"5 1/2", false, 0, 60, 330},
        {"7", false, 6, 60, 7},
        {"7 uu", false, 6, 60, 420},
        {"7 S", false, 0, 60, 7},
        {"7bu", false, 0, 60, 7},
        {"1.5", false, 6, 1, 1}, // database units cut the fraction
        {"1.5 in", false, 6, 1, 90000},
        {"10 mil", false, 6, 1, 600},
        {"10 mils", false, 6, 1, 600},
        {"10m", false, 6, 1, 600},
        {"2.54cm", false, 6, 1, 60000},
        {"25.4 MM.", false, 6, 1, 60000}, // final "." dropped
        {"25400u", false, 6, 1, 60000},
        {"25400 us", false, 6, 1, 60000},
        {"3 furlongs", false, 6, 1, 3}, // unknown suffix: the header's kind
        {"99999999999", false, 6, 1, INT_MAX},
        {"2147483647", false, 6, 1, INT_MAX},
        {"2147483646", false, 6, 1, 2147483646},
        {"40000in", false, 6, 1, INT_MAX}, // 2,400,000,000 does not fit
        {"99999999999999999999999 uu", false, 6, 60, INT_MAX},
    };
    for (const Case& c : cases) {
        Units(c.kind, 0, 1.0, 1.0 / 60000.0, c.userUnit);
        EXPECT_EQ(ValueParse(c.text, c.sign), c.v) << "\"" << c.text << "\"";
    }
}

TEST_F(ValueTest, ParseInHeaderUnits) {
    Units(2, 0, 60000.0); // inches
    EXPECT_EQ(ValueParse("0.25", false), 15000);
    Units(5, 0, 1.0); // microns: divided by unit size x 2.54 x 10,000
    EXPECT_EQ(ValueParse("254", false), 600);
    Units(7, 0, 1.0);
    EXPECT_FATAL(ValueParse("1", false), 50893);
}

TEST_F(ValueTest, ParsePair) {
    Units(6, 0, 1.0);
    int32_t x = 0, y = 0;
    ValueParsePair("10,20", &x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    ValueParsePair("10", &x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, INT_MAX);
    ValueParsePair("", &x, &y);
    EXPECT_EQ(x, INT_MAX);
    EXPECT_EQ(y, INT_MAX);
    ValueParsePair("-1, -2,3", &x, &y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -2); // split at the first comma only; ",3" is an unknown suffix
}

} // namespace
