#include "exchange/statement_text.h"

#include "document/calendar.h"
#include "document/text.h"

#include <algorithm>
#include <cstdint>

namespace kolvane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

int lineOfOffset(std::string_view text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// The length of the valid UTF-8 sequence at `pos`, 0 when it is not one.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    std::size_t extra = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1, value = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2, value = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3, value = lead & 0x07;
    else
        return 0;
    if (pos + extra >= bytes.size())
        return 0;
    for (std::size_t i = 1; i <= extra; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    static constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[extra] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0;
    return extra + 1;
}

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Upper-case ASCII letter (or digit) for a Windows-1252 letter, accents dropped; the
// ligatures give two letters. Anything else gives an empty text.
std::string_view baseLetters(unsigned char c) {
    static constexpr std::string_view kLatin1 =
        // C0-DF: À Á Â Ã Ä Å Æ Ç È É Ê Ë Ì Í Î Ï Ð Ñ Ò Ó Ô Õ Ö × Ø Ù Ú Û Ü Ý Þ ß
        "A A A A A A AEC E E E E I I I I D N O O O O O - O U U U U Y THSS";
    static constexpr std::string_view kAscii = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (isDigit(static_cast<char>(c)))
        return kAscii.substr(c - '0', 1);
    if (c >= 'a' && c <= 'z')
        c = static_cast<unsigned char>(c - 32);
    if (c >= 'A' && c <= 'Z')
        return kAscii.substr(10 + (c - 'A'), 1);
    if (c < 0x80)
        return {};
    switch (c) {
    case 0x8A:
    case 0x9A:
        return "S"; // Š š
    case 0x8C:
    case 0x9C:
        return "OE"; // Œ œ
    case 0x8E:
    case 0x9E:
        return "Z"; // Ž ž
    case 0x9F:
    case 0xFF:
        return "Y"; // Ÿ ÿ
    default:
        break;
    }
    if (c < 0xC0)
        return {};
    const unsigned char upper = c >= 0xE0 && c != 0xF7 ? static_cast<unsigned char>(c - 0x20) : c;
    if (c == 0xDF)
        return "SS";
    if (upper == 0xD7 || c == 0xF7)
        return {};
    const std::size_t at = static_cast<std::size_t>(upper - 0xC0) * 2;
    std::string_view pair = kLatin1.substr(at, 2);
    return pair[1] == ' ' ? pair.substr(0, 1) : pair;
}

bool maskWord(std::string_view word) {
    return word.size() >= 3 && word.find_first_not_of('X') == std::string_view::npos;
}

std::vector<std::string_view> wordsOf(std::string_view key) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < key.size()) {
        std::size_t end = key.find(' ', start);
        if (end == std::string_view::npos)
            end = key.size();
        words.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

} // namespace

TextEncoding guessEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return TextEncoding::Utf8;
    bool beyondAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = utf8SequenceAt(bytes, pos);
        if (length == 0)
            return TextEncoding::Windows1252;
        beyondAscii |= length > 1;
        pos += length;
    }
    return beyondAscii ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool decodeStatementText(std::string_view bytes, TextEncoding encoding, std::string& text,
                         ReadError& error) {
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        error = {lineOfOffset(bytes, nul),
                 "octet nul : le fichier n'est pas un texte (UTF-16 ou binaire ?)"};
        return false;
    }
    if (encoding == TextEncoding::Windows1252) {
        text.assign(bytes);
        return true;
    }
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = utf8SequenceAt(bytes, pos);
        if (length == 0) {
            error = {lineOfOffset(bytes, pos), "texte annoncé en UTF-8 mais mal codé"};
            return false;
        }
        pos += length;
    }
    text = utf8ToCp1252(bytes);
    return true;
}

bool splitStatementLines(std::string_view text, std::vector<std::string_view>& lines,
                         ReadError& error) {
    lines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - start > kMaxStatementLine) {
            error = {static_cast<int>(lines.size()) + 1, "ligne trop longue"};
            return false;
        }
        lines.push_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return true;
}

std::string tidyText(std::string_view text) {
    std::string tidy;
    tidy.reserve(text.size());
    bool blank = false;
    for (char c : text) {
        if (isBlank(static_cast<unsigned char>(c))) {
            blank = !tidy.empty();
            continue;
        }
        if (blank)
            tidy += ' ';
        blank = false;
        tidy += c;
    }
    return tidy;
}

bool parseStatementAmount(std::string_view text, char decimalMark, double& value) {
    std::string s = tidyText(text);
    std::string_view rest = s;
    if (rest.ends_with("EUR"))
        rest.remove_suffix(3);
    else if (rest.ends_with("\x80")) // the euro sign in Windows-1252
        rest.remove_suffix(1);
    while (!rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    } else if (!rest.empty() && rest.back() == '-') {
        negative = true;
        rest.remove_suffix(1);
    }
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == ' ')
        rest.remove_suffix(1);
    const char otherMark = decimalMark == ',' ? '.' : ',';
    std::int64_t units = 0; // ten-thousandths
    int integerDigits = 0;
    int decimals = -1; // -1: no decimal mark yet
    bool anyDigit = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (isDigit(c)) {
            anyDigit = true;
            if (decimals < 0) {
                if (integerDigits > 0 || c != '0')
                    ++integerDigits;
                if (integerDigits > 9)
                    return false;
                units = units * 10 + (c - '0');
            } else {
                if (++decimals > 4)
                    return false;
                units = units * 10 + (c - '0');
            }
            continue;
        }
        const bool mark = decimalMark ? c == decimalMark : (c == ',' || c == '.');
        if (mark && decimals < 0 && anyDigit) {
            decimals = 0;
            continue;
        }
        const bool grouping =
            decimalMark && decimals < 0 && anyDigit && i + 1 < rest.size() &&
            (c == ' ' || c == '\'' || static_cast<unsigned char>(c) == 0xA0 || c == otherMark);
        if (!grouping)
            return false;
    }
    if (!anyDigit || decimals == 0)
        return false;
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d)
        units *= 10;
    const std::int64_t cents = (units + 50) / 100;
    value = static_cast<double>(cents) / 100.0;
    if (negative && cents != 0)
        value = -value;
    return true;
}

namespace {

struct DateParts {
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    bool apostrophe = false; // before the third number
};

bool splitDate(std::string_view text, DateParts& parts) {
    std::string tidy = tidyText(text);
    std::string_view s = tidy;
    if (s.size() == 8 && std::all_of(s.begin(), s.end(), isDigit)) {
        parts.numbers[0] = std::stoi(std::string(s.substr(0, 4)));
        parts.numbers[1] = std::stoi(std::string(s.substr(4, 2)));
        parts.numbers[2] = std::stoi(std::string(s.substr(6, 2)));
        parts.digits[0] = 4, parts.digits[1] = 2, parts.digits[2] = 2;
        return true;
    }
    int count = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        if (!isDigit(s[i]))
            return false;
        if (count == 3)
            return false;
        int value = 0, digits = 0;
        while (i < s.size() && isDigit(s[i])) {
            if (++digits > 4)
                return false;
            value = value * 10 + (s[i++] - '0');
        }
        parts.numbers[count] = value;
        parts.digits[count] = digits;
        ++count;
        if (i == s.size())
            break;
        bool sawSeparator = false;
        while (i < s.size() && !isDigit(s[i])) {
            const char c = s[i];
            if (c != '/' && c != '-' && c != '.' && c != '\'' && c != ' ')
                return false;
            if (c == '\'' && count == 2)
                parts.apostrophe = true;
            if (c != ' ') {
                if (sawSeparator)
                    return false;
                sawSeparator = true;
            }
            ++i;
        }
        if (i == s.size())
            return false;
    }
    return count == 3;
}

int fullYear(int year, int digits, bool apostrophe) {
    if (digits > 2)
        return year;
    if (apostrophe || year < 70)
        return 2000 + year;
    return 1900 + year;
}

bool partsToDate(const DateParts& parts, DateOrder order, FileTime& date) {
    int day = 0, month = 0, yearIndex = 2;
    switch (order) {
    case DateOrder::DayMonthYear:
        day = parts.numbers[0], month = parts.numbers[1];
        break;
    case DateOrder::MonthDayYear:
        month = parts.numbers[0], day = parts.numbers[1];
        break;
    case DateOrder::YearMonthDay:
        if (parts.digits[0] != 4)
            return false;
        month = parts.numbers[1], day = parts.numbers[2], yearIndex = 0;
        break;
    }
    if (order != DateOrder::YearMonthDay && parts.digits[2] == 3)
        return false;
    if (order != DateOrder::YearMonthDay && (parts.digits[0] > 2 || parts.digits[1] > 2))
        return false;
    const int year = fullYear(parts.numbers[yearIndex], parts.digits[yearIndex], parts.apostrophe);
    if (year < 1900 || year > 2999 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    if (day > last)
        return false;
    date = static_cast<FileTime>(daysFromCivil(year, month, day)) * DAY;
    return true;
}

} // namespace

bool parseStatementDate(std::string_view text, DateOrder order, FileTime& date) {
    DateParts parts;
    return splitDate(text, parts) && partsToDate(parts, order, date);
}

unsigned dateOrdersOf(std::string_view text) {
    DateParts parts;
    if (!splitDate(text, parts))
        return 0;
    unsigned orders = 0;
    FileTime ignored = 0;
    for (DateOrder order :
         {DateOrder::DayMonthYear, DateOrder::MonthDayYear, DateOrder::YearMonthDay})
        if (partsToDate(parts, order, ignored))
            orders |= 1u << static_cast<unsigned>(order);
    return orders;
}

std::string labelKey(std::string_view label) {
    std::string key;
    std::string word;
    bool hasDigit = false;
    auto endWord = [&] {
        if (!word.empty() && !hasDigit && !maskWord(word)) {
            if (!key.empty())
                key += ' ';
            key += word;
        }
        word.clear();
        hasDigit = false;
    };
    for (char c : label) {
        const unsigned char byte = static_cast<unsigned char>(c);
        std::string_view letters = baseLetters(byte);
        if (letters.empty()) {
            endWord();
            continue;
        }
        hasDigit |= isDigit(letters[0]);
        word += letters;
    }
    endWord();
    return key;
}

bool similarKeys(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty())
        return false;
    if (a.starts_with(b) || b.starts_with(a))
        return true;
    std::vector<std::string_view> wordsA = wordsOf(a), wordsB = wordsOf(b);
    if (wordsA.size() > wordsB.size())
        std::swap(wordsA, wordsB);
    return std::all_of(wordsA.begin(), wordsA.end(), [&](std::string_view word) {
        return std::find(wordsB.begin(), wordsB.end(), word) != wordsB.end();
    });
}

bool similarLabels(std::string_view labelA, std::string_view labelB) {
    const std::string keyA = labelKey(labelA), keyB = labelKey(labelB);
    if (keyA.empty() || keyB.empty())
        return equalNoCase(tidyText(labelA), tidyText(labelB));
    return similarKeys(keyA, keyB);
}

} // namespace kolvane
