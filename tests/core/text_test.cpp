// Windows-1252, UTF-8 and UTF-16, and the case rules of Windows-1252 texts.
// Expected code points from the Windows-1252 table.
#include "document/text.h"

#include <gtest/gtest.h>

#include <string>

namespace kolvane {
namespace {

TEST(Cp1252, EdgeBytesConvertBothWays) {
    const struct {
        const char* byte;
        const char* utf8;
        const wchar_t* wide;
    } bytes[] = {
        {"\x7F", "\x7F", L"\x7F"},         {"\x80", "€", L"\u20AC"},
        {"\x81", "\xC2\x81", L"\x81"},     // no character: a C1 control
        {"\x9D", "\xC2\x9D", L"\x9D"},     {"\x9E", "ž", L"\u017E"},
        {"\x9F", "Ÿ", L"\u0178"},          {"\xA0", "\xC2\xA0", L"\xA0"},
        {"\xFF", "ÿ", L"\xFF"},
    };
    for (const auto& b : bytes) {
        SCOPED_TRACE(b.utf8);
        EXPECT_EQ(cp1252ToUtf8(b.byte), b.utf8);
        EXPECT_EQ(utf8ToCp1252(b.utf8), b.byte);
        EXPECT_EQ(cp1252ToWide(b.byte), b.wide);
        EXPECT_EQ(wideToCp1252(b.wide), b.byte);
    }
    // What Windows-1252 cannot hold, and broken UTF-8, become '?' each.
    EXPECT_EQ(utf8ToCp1252("a中\xF0\x9D\x84\x9E" "b"), "a??b");
    EXPECT_EQ(utf8ToCp1252("\xC3(\xE2\x82"), "?(??");
    EXPECT_EQ(utf8ToCp1252("\xF8\x80"), "??");
    EXPECT_EQ(utf8ToCp1252("\xC2\x80\xC2\x9F"), "??"); // U+0080 and U+009F: 0x80 and 0x9F are € and Ÿ
    EXPECT_EQ(wideToCp1252(L"\u0100"), "?");
    const std::string withNul("a\0b", 3); // a zero byte is a character like any other
    EXPECT_EQ(utf8ToCp1252(withNul), withNul);
    EXPECT_EQ(wideToCp1252(std::wstring(L"a\0b", 3)), withNul);
}

TEST(Utf16, CharactersBeyondTheFirstPlaneSurviveBothWays) {
    const std::string clef = "\xF0\x9D\x84\x9E"; // U+1D11E
    const std::wstring wide = utf8ToWide("é" + clef + "\xDF\xBF\xE0\xA0\x80"); // U+07FF, U+0800
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 5u : 4u);
    EXPECT_EQ(wide[0], L'\xE9');
    EXPECT_EQ(wideToUtf8(wide), "é" + clef + "\xDF\xBF\xE0\xA0\x80");
    std::string out;
    appendUtf8(out, 0xFFFF);
    appendUtf8(out, 0x10000);
    EXPECT_EQ(out, "\xEF\xBF\xBF\xF0\x90\x80\x80");
}

TEST(Cp1252Case, LettersWithAccentsAndTheFourOutsideTheBlock) {
    EXPECT_EQ(upperCase("az\xE0\xFE\xF7\xDF\x9A\x9C\x9E\xFF{"), "AZ\xC0\xDE\xF7\xDF\x8A\x8C\x8E\x9F{");
    for (unsigned c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        if (upperCp1252(byte) != byte) { // each capital goes back to its letter
            EXPECT_EQ(lowerCp1252(upperCp1252(byte)), byte) << c;
        }
    }
    EXPECT_EQ(lowerCp1252(0xD7), 0xD7); // ×
    EXPECT_EQ(lowerCp1252('@'), '@');
    EXPECT_EQ(lowerCp1252('['), '[');
    EXPECT_TRUE(equalNoCase("\xC9t\xE9", "\xE9T\xC9"));
    EXPECT_LT(compareNoCase("abc", "ABD"), 0);
    EXPECT_GT(compareNoCase("abcd", "ABC"), 0);
    EXPECT_LT(compareNoCase("ab", "ABC"), 0);
    EXPECT_EQ(compareNoCase("", ""), 0);
}

} // namespace
} // namespace kolvane
