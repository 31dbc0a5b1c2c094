#include "text.h"

#include <cstdint>

namespace kolvane {
namespace {

// Code points of bytes 0x80 to 0x9F; 0 where Windows-1252 has no character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        char16_t mapped = kHighControls[byte - 0x80];
        return mapped ? mapped : byte; // undefined bytes pass through as C1 controls
    }
    return byte;
}

int byteOf(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == codePoint)
            return 0x80 + i;
    if (codePoint >= 0x80 && codePoint < 0xA0 && kHighControls[codePoint - 0x80] == 0)
        return static_cast<int>(codePoint);
    return -1;
}

// Decodes one UTF-8 sequence; malformed input yields U+FFFD and moves on by one byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos) {
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    if (extra == 0) {
        ++pos;
        return lead;
    }
    if (extra < 0 || pos + extra >= text.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t value = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        unsigned char c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        value = (value << 6) | (c & 0x3F);
    }
    pos += extra + 1;
    return value;
}

void appendWide(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

char32_t nextWide(std::wstring_view text, std::size_t& pos) {
    char32_t c = static_cast<char32_t>(text[pos++]);
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0xD800 && c < 0xDC00 && pos < text.size()) {
            char32_t low = static_cast<char32_t>(text[pos]);
            if (low >= 0xDC00 && low < 0xE000) {
                ++pos;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
    }
    return c;
}

} // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        int byte = byteOf(nextUtf8(utf8, pos));
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text)
        appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::wstring cp1252ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text)
        appendWide(out, codePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string wideToCp1252(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t pos = 0; pos < wide.size();) {
        int byte = byteOf(nextWide(wide, pos));
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

std::wstring utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();)
        appendWide(out, nextUtf8(utf8, pos));
    return out;
}

std::string wideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t pos = 0; pos < wide.size();)
        appendUtf8(out, nextWide(wide, pos));
    return out;
}

unsigned char upperCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) // à..þ except ÷
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A; // š
    case 0x9C:
        return 0x8C; // œ
    case 0x9E:
        return 0x8E; // ž
    case 0xFF:
        return 0x9F; // ÿ
    default:
        return c;
    }
}

unsigned char lowerCp1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // À..Þ except ×
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
    return out;
}

int compareNoCase(std::string_view a, std::string_view b) {
    std::size_t length = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < length; ++i) {
        int ca = lowerCp1252(static_cast<unsigned char>(a[i]));
        int cb = lowerCp1252(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace kolvane
