#include "operation_texts.h"

#include "text.h"

namespace kolvane {
namespace {

std::string joined(std::string_view left, std::string_view right) {
    std::string out(left);
    out += " : ";
    out.append(right);
    return out;
}

std::string categoryText(const Document& doc, PartyId id) {
    const std::uint16_t wanted = static_cast<std::uint16_t>(partyNumber(id));
    const std::uint16_t wantedCategory = wanted & 0xFF00;
    const CategoryRecord* parent = nullptr;
    for (const CategoryRecord& record : doc.categories) {
        const bool isCategoryRow = (record.id & 0x00FF) == 0;
        if (isCategoryRow && record.id == wantedCategory)
            parent = &record;
        if (record.id != wanted)
            continue;
        if (isCategoryRow)
            return std::string(fieldText(record.name));
        // A sub-category listed before any row of its category (a damaged
        // list) is named alone.
        if (!parent)
            return std::string(fieldText(record.name));
        return joined(fieldText(parent->name), fieldText(record.name));
    }
    return std::string();
}

} // namespace

std::string trimSpaces(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::string();
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string substring(std::string_view text, int start, int length) {
    const std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    if (from >= text.size())
        return std::string();
    if (length < 0)
        return std::string(text.substr(from));
    return std::string(text.substr(from, static_cast<std::size_t>(length)));
}

std::string modeName(const Document& doc, std::uint16_t modeId) {
    for (const ModeRecord& mode : doc.modes)
        if (mode.id == modeId)
            return std::string(fieldText(mode.name));
    return std::string();
}

std::string partyText(const Document& doc, PartyId id) {
    switch (partyKind(id)) {
    case Split:
        return utf8ToCp1252(kSplitText);
    case Account:
        if (const AccountRecord* account = findAccountById(doc, id))
            return joined(utf8ToCp1252(kTransferText), fieldText(account->name));
        return std::string();
    case Third:
        if (const ThirdRecord* third = findThirdById(doc, id))
            return joined(utf8ToCp1252(kThirdText), fieldText(third->name));
        return std::string();
    case Category:
        return categoryText(doc, id);
    default:
        return std::string();
    }
}

} // namespace kolvane
