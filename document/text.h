// Texts of the records are Windows-1252 bytes. These helpers convert them at
// the edges (UTF-8 for files and the console, UTF-16 for the Win32 layer) and
// compare them the way a French user expects (é equals É).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kolvane {

// UTF-8 to Windows-1252; a character 1252 cannot hold becomes '?'.
std::string utf8ToCp1252(std::string_view utf8);
std::string cp1252ToUtf8(std::string_view text);
std::wstring cp1252ToWide(std::string_view text);
std::string wideToCp1252(std::wstring_view wide);
std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);
// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t codePoint);

// The text of a fixed array, up to its terminator (or the whole array).
template <std::size_t N> std::string_view fieldText(const char (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return std::string_view(field, length);
}

// Copies at most N - 1 bytes of `text` and a terminator into `field`. The bytes
// after the terminator are left as they were.
template <std::size_t N> void setFieldText(char (&field)[N], std::string_view text) {
    std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    for (std::size_t i = 0; i < length; ++i)
        field[i] = text[i];
    field[length] = '\0';
}

// The same, from a UTF-8 literal or UI text.
template <std::size_t N> void setFieldUtf8(char (&field)[N], std::string_view utf8) {
    setFieldText(field, utf8ToCp1252(utf8));
}

// Upper and lower case of one Windows-1252 byte, accented letters included.
unsigned char upperCp1252(unsigned char c);
unsigned char lowerCp1252(unsigned char c);
std::string upperCase(std::string_view text);

// Case-insensitive comparison of two Windows-1252 texts: <0, 0 or >0.
int compareNoCase(std::string_view a, std::string_view b);
inline bool equalNoCase(std::string_view a, std::string_view b) {
    return compareNoCase(a, b) == 0;
}

} // namespace kolvane
