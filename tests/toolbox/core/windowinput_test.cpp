#include <gtest/gtest.h>

#include "toolbox/core/doubleclick.h"
#include "toolbox/core/keycodechar.h"

namespace {

TEST(WindowKeyCodes, Table) {
    struct Case {
        uint8_t vk;
        uint16_t character;
        bool shift, keypad;
        uint16_t code;
        uint8_t special;
    } cases[] = {
        {8, 8, false, false, 8, 0},      {9, 9, false, false, 9, 0},
        {9, 9, true, false, 315, 1},     {12, 0, false, false, 317, 1},
        {27, 27, false, false, 27, 0},   {33, 0, false, false, 305, 1},
        {34, 0, false, false, 306, 1},   {35, 0, false, false, 310, 1},
        {36, 0, false, false, 309, 1},   {37, 0, false, false, 304, 1},
        {38, 0, false, false, 301, 1},   {39, 0, false, false, 303, 1},
        {40, 0, false, false, 302, 1},   {43, 0, false, false, 399, 1},
        {46, 0, false, false, 127, 0},   {47, 0, false, false, 312, 1},
        {112, 0, false, false, 331, 1},  {126, 0, false, false, 345, 1},
        {96, '0', false, false, '0', 0}, {96, '0', false, true, 318, 1},
        {105, '9', false, true, 327, 1}, {106, '*', false, true, 372, 1},
        {107, '+', false, true, 374, 1}, {108, 13, false, true, 13, 0},
        {109, '-', false, true, 373, 1}, {110, '.', false, true, 127, 0},
        {111, '/', false, true, 375, 1}, {111, '/', false, false, '/', 0},
        {65, 'a', true, true, 'a', 0},
    };
    for (const Case& c : cases) {
        uint8_t special = 9;
        EXPECT_EQ(KeyCodeToCharacter(c.vk, c.character, c.shift, c.keypad, &special), c.code)
            << int(c.vk);
        EXPECT_EQ(special, c.special) << int(c.vk);
    }
}

TEST(WindowDoubleClicks, WithinTimeAndThreePixels) {
    ClickHistory h = {};
    EXPECT_EQ(ClassifyMouseDown(&h, 100, {10, 10}, 30), 8);
    EXPECT_EQ(ClassifyMouseDown(&h, 110, {13, 13}, 30), 10);
    EXPECT_EQ(ClassifyMouseDown(&h, 120, {13, 13}, 30), 8); // a double click starts nothing
    EXPECT_EQ(ClassifyMouseDown(&h, 125, {17, 13}, 30), 8); // 4 pixels apart
    EXPECT_EQ(ClassifyMouseDown(&h, 200, {17, 13}, 30), 8); // too late
}

} // namespace
