// AnsiToWide: narrow text in the system ANSI code page to UTF-16.
#include "render/AnsiToWide.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(AnsiToWideTest, EmptyAndNullGiveEmpty) {
    EXPECT_EQ(L"", AnsiToWide(""));
    EXPECT_EQ(L"", AnsiToWide(nullptr));
}

TEST(AnsiToWideTest, AsciiWidensCharacterForCharacter) {
    EXPECT_EQ(L"C:\\skins\\bar bg.png", AnsiToWide("C:\\skins\\bar bg.png"));
}

// Bytes above 0x7F are read in the code page, not widened one to one.
TEST(AnsiToWideTest, CodePageCharactersBecomeTheirUnicodeEquivalents) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "expectations written for code page 1252, system has " << ::GetACP();
    EXPECT_EQ(L"\u00E9t\u00E9 \u20AC", AnsiToWide("\xE9t\xE9 \x80"));
}
