#include "ini_text.h"

#include "document/text.h"

#include <charconv>

namespace kolvane {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text) {
    std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos)
        return {};
    std::size_t end = text.find_last_not_of(kBlanks);
    return text.substr(start, end - start + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(start, next - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name; // section name or key
    std::string_view value;
};

ParsedLine parseLine(std::string_view line) {
    ParsedLine parsed;
    std::string_view text = trim(line);
    if (text.empty() || text.front() == ';')
        return parsed;
    if (text.front() == '[') {
        std::size_t close = text.find(']');
        parsed.kind = LineKind::Section;
        parsed.name = trim(
            text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        return parsed;
    }
    std::size_t equal = text.find('=');
    if (equal == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Entry;
    parsed.name = trim(text.substr(0, equal));
    std::string_view value = trim(text.substr(equal + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    parsed.value = value;
    return parsed;
}

// Where a key lives: the section's header line and the end of its lines, and
// the key's line when present.
struct Location {
    std::optional<std::size_t> header;
    std::size_t sectionEnd = 0; // one past the section's last line
    std::optional<std::size_t> entry;
};

Location locate(const std::vector<std::string_view>& lines, std::string_view section,
                std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedLine parsed = parseLine(lines[i]);
        if (!where.header) {
            if (parsed.kind == LineKind::Section && sameName(parsed.name, section)) {
                where.header = i;
                where.sectionEnd = i + 1;
            }
            continue;
        }
        if (parsed.kind == LineKind::Section)
            break;
        where.sectionEnd = i + 1;
        if (!where.entry && parsed.kind == LineKind::Entry && sameName(parsed.name, key))
            where.entry = i;
    }
    return where;
}

// --- Encodings ---------------------------------------------------------------

bool validUtf8(std::span<const std::uint8_t> bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint8_t lead = bytes[i];
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        if (extra < 0 || (extra == 1 && lead < 0xC2))
            return false;
        if (i + static_cast<std::size_t>(extra) >= bytes.size())
            return false; // a sequence cut by the end of the file
        char32_t value = lead & (0x7F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (bytes[i + k] & 0x3F);
        }
        if ((extra == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) ||
            (extra == 3 && (value < 0x10000 || value > 0x10FFFF)))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string utf16ToUtf8(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::string out;
    std::size_t units = bytes.size() / 2; // a lone last byte is dropped
    auto unitAt = [&](std::size_t i) -> char32_t {
        std::uint8_t a = bytes[2 * i], b = bytes[2 * i + 1];
        return bigEndian ? static_cast<char32_t>((a << 8) | b)
                         : static_cast<char32_t>((b << 8) | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return out;
}

} // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    std::vector<std::string_view> lines = splitLines(text);
    Location where = locate(lines, section, key);
    if (!where.entry)
        return std::nullopt;
    return std::string(parseLine(lines[*where.entry]).value);
}

std::optional<int> iniInteger(std::string_view text, std::string_view section,
                              std::string_view key) {
    std::optional<std::string> value = iniValue(text, section, key);
    if (!value)
        return std::nullopt;
    std::string_view digits = *value;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc())
        return std::nullopt;
    (void)end;
    return number;
}

std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::vector<std::string_view> lines = splitLines(text);
    Location where = locate(lines, section, key);
    // A line break inside a value would cut the file's lines apart.
    std::string oneLine;
    for (char c : value)
        if (c != '\r' && c != '\n')
            oneLine += c;
    std::string entry = std::string(key) + "=" + oneLine;
    std::vector<std::string> out(lines.begin(), lines.end());
    if (where.entry) {
        std::string_view keptKey = parseLine(lines[*where.entry]).name;
        out[*where.entry] = std::string(keptKey) + "=" + oneLine;
    } else if (where.header) {
        // After the section's last non-blank line, so blank separators stay below.
        std::size_t at = where.sectionEnd;
        while (at > *where.header + 1 && trim(lines[at - 1]).empty())
            --at;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), entry);
    } else {
        if (!out.empty() && !trim(out.back()).empty())
            out.emplace_back();
        std::string header = "[";
        header += section;
        header += ']';
        out.push_back(header);
        out.push_back(entry);
    }
    std::string result;
    for (const std::string& line : out) {
        result += line;
        result += "\r\n";
    }
    return result;
}

std::vector<std::uint8_t> encodeIniFile(std::string_view utf8Text) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    std::wstring wide = utf8ToWide(utf8Text);
    auto put = [&](char32_t unit) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (wchar_t c : wide) {
        char32_t cp = static_cast<char32_t>(c);
        if (cp >= 0x10000) { // only where wchar_t holds whole code points
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return bytes;
}

std::string decodeIniFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return utf16ToUtf8(bytes.subspan(2), false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return utf16ToUtf8(bytes.subspan(2), true);
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        bytes = bytes.subspan(3);
    std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (validUtf8(bytes))
        return std::string(raw);
    return cp1252ToUtf8(raw);
}

} // namespace kolvane
