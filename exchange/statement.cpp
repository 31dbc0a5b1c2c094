#include "exchange/statement.h"

#include <algorithm>

namespace kolvane {

std::string describeReadError(const ReadError& error) {
    if (error.line <= 0)
        return error.reason;
    return "Ligne " + std::to_string(error.line) + " : " + error.reason;
}

StatementFormat guessStatementFormat(std::span<const std::uint8_t> bytes,
                                     std::string_view fileName) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                          std::min<std::size_t>(bytes.size(), 4096));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start != std::string_view::npos) {
        text.remove_prefix(start);
        if (text.starts_with("OFXHEADER") || text.starts_with("<OFX") ||
            (text.starts_with("<?xml") && text.find("<?OFX") != std::string_view::npos))
            return StatementFormat::Ofx;
        if (text.starts_with("!Type:") || text.starts_with("!Account") ||
            text.starts_with("!Option:"))
            return StatementFormat::Qif;
    }
    std::string extension;
    if (const std::size_t dot = fileName.rfind('.'); dot != std::string_view::npos)
        for (char c : fileName.substr(dot + 1))
            extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (extension == "ofx" || extension == "qfx")
        return StatementFormat::Ofx;
    if (extension == "qif")
        return StatementFormat::Qif;
    if (extension == "csv" || extension == "txt")
        return StatementFormat::Csv;
    return StatementFormat::Unknown;
}

} // namespace kolvane
