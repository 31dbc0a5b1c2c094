#include "frame_texts.h"

#include "document/text.h"

#include <charconv>

namespace kolvane {
namespace {

constexpr const char* kDayNames[7] = {"Dim", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam"};

void appendNumber(std::string& out, int value, int minimumDigits) {
    char digits[12];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    std::string_view text(digits, static_cast<std::size_t>(end - digits));
    if (value >= 0)
        for (int i = static_cast<int>(text.size()); i < minimumDigits; ++i)
            out += '0';
    out += text;
}

} // namespace

std::string_view fileNamePart(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string windowTitle(const Document& doc) {
    std::string title = kApplicationTitle;
    if (!doc.isOpen)
        return title;
    title += "  : [ ";
    title += doc.filePath.empty() ? std::string_view("sans titre") : fileNamePart(doc.filePath);
    title += " ]";
    return title;
}

std::string statusDateText(const CalendarTime& date) {
    // The day of week is worked out from the date itself; 1601-01-01 was a Monday.
    long long days = daysFromCivil(date.year, date.month, date.day);
    int dayOfWeek = static_cast<int>(((days + 1) % 7 + 7) % 7);
    std::string text = " ";
    text += kDayNames[dayOfWeek];
    text += " - ";
    appendNumber(text, date.day, 2);
    text += '/';
    appendNumber(text, date.month, 2);
    text += '/';
    appendNumber(text, date.year, 1);
    return text;
}

std::string statusUserText(const Document& doc) {
    if (!doc.isOpen || !doc.currentUser)
        return std::string();
    std::string text = " ";
    text += cp1252ToUtf8(fieldText(doc.currentUser->name));
    return text;
}

std::string statusAccountText(const Document& doc) {
    if (!doc.isOpen || !doc.currentAccount)
        return std::string();
    std::string text = " Compte ouvert: ";
    text += cp1252ToUtf8(fieldText(doc.currentAccount->name));
    return text;
}

} // namespace kolvane
