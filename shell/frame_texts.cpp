#include "frame_texts.h"

#include "document/dates.h"
#include "document/text.h"

namespace kolvane {

std::string_view fileNamePart(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string windowTitle(const Document& doc) {
    std::string title = kAppTitle;
    if (!doc.isOpen)
        return title;
    title += "  : [ ";
    title += doc.filePath.empty() ? std::string_view("sans titre") : fileNamePart(doc.filePath);
    title += " ]";
    return title;
}

std::string fillPlaceholder(std::string_view pattern, std::string_view value) {
    std::string text(pattern);
    if (std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

std::string statusDateText(const CalendarTime& date) {
    return formatDayDate(date);
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
