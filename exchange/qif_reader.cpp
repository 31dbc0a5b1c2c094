#include "exchange/qif_reader.h"

#include "document/text.h"
#include "exchange/statement_text.h"

#include <cmath>

namespace kolvane {
namespace {

bool bankSection(std::string_view header) {
    for (std::string_view type : {"Bank", "Cash", "CCard", "Oth A", "Oth L"})
        if (equalNoCase(tidyText(header), std::string("!Type:") + std::string(type)))
            return true;
    return false;
}

// Quicken writes "1,234.56"; French programs "1 234,56": with both marks the
// last one is the decimal mark, otherwise the one there is.
bool parseQifAmount(std::string_view text, double& value) {
    const std::size_t point = text.rfind('.'), comma = text.rfind(',');
    if (point != std::string_view::npos && comma != std::string_view::npos)
        return parseStatementAmount(text, point > comma ? '.' : ',', value);
    return parseStatementAmount(text, point != std::string_view::npos ? '.' : ',', value);
}

std::string quoted(std::string_view text) {
    return "« " + cp1252ToUtf8(text.substr(0, 40)) + " »";
}

// The date order that reads every date of the file: day first when it can,
// month first when the file uses the US apostrophe or a day above 12 says so.
DateOrder chooseDateOrder(const std::vector<std::string_view>& lines) {
    unsigned common = 7;
    bool apostrophe = false;
    bool inBank = false;
    for (std::string_view line : lines) {
        if (line.starts_with('!'))
            inBank = bankSection(line);
        else if (inBank && line.starts_with('D')) {
            if (const unsigned orders = dateOrdersOf(line.substr(1)))
                common &= orders;
            apostrophe |= line.find('\'') != std::string_view::npos;
        }
    }
    const auto allows = [&](DateOrder order) {
        return (common >> static_cast<unsigned>(order)) & 1;
    };
    if (apostrophe && allows(DateOrder::MonthDayYear))
        return DateOrder::MonthDayYear;
    if (allows(DateOrder::DayMonthYear))
        return DateOrder::DayMonthYear;
    if (allows(DateOrder::MonthDayYear))
        return DateOrder::MonthDayYear;
    if (allows(DateOrder::YearMonthDay))
        return DateOrder::YearMonthDay;
    return DateOrder::DayMonthYear;
}

struct Record {
    bool started = false;
    bool hasDate = false;
    bool hasAmount = false;
    bool splitAmount = true; // the last split line has its amount
    std::string payee;
    StatementRow row;
};

bool endRecord(Record& record, int line, Statement& statement, ReadError& error) {
    if (!record.hasDate || !record.hasAmount) {
        error = {line, record.hasDate ? "opération sans montant (T)" : "opération sans date (D)"};
        return false;
    }
    StatementRow& row = record.row;
    if (!row.splits.empty()) {
        if (!record.splitAmount) {
            error = {line, "ligne de ventilation sans montant ($)"};
            return false;
        }
        double sum = 0.0;
        for (const StatementSplit& split : row.splits)
            sum += split.amount;
        if (std::fabs(sum - row.amount) > 0.005) {
            error = {line, "la ventilation ne fait pas le montant de l'opération"};
            return false;
        }
    }
    row.label = record.payee.empty() ? row.memo : record.payee;
    statement.rows.push_back(std::move(row));
    record = Record{};
    return true;
}

bool readField(std::string_view line, int lineNumber, DateOrder order, Record& record,
               ReadError& error) {
    const char code = line[0];
    const std::string_view value = line.substr(1);
    StatementRow& row = record.row;
    if (!record.started) {
        record.started = true;
        row.line = lineNumber;
    }
    switch (code) {
    case 'D':
        if (!parseStatementDate(value, order, row.date)) {
            error = {lineNumber, "date illisible " + quoted(value)};
            return false;
        }
        record.hasDate = true;
        return true;
    case 'T':
    case 'U':
        if (!parseQifAmount(value, row.amount)) {
            error = {lineNumber, "montant illisible " + quoted(value)};
            return false;
        }
        record.hasAmount = true;
        return true;
    case 'P':
        record.payee = tidyText(value);
        return true;
    case 'M':
        row.memo = tidyText(value);
        return true;
    case 'N': {
        const std::string number = tidyText(value);
        const bool digits =
            !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
        (digits ? row.number : row.kind) = number;
        return true;
    }
    case 'L':
        row.category = tidyText(value);
        return true;
    case 'S':
        if (!record.splitAmount) {
            error = {lineNumber, "ligne de ventilation sans montant ($)"};
            return false;
        }
        row.splits.push_back(StatementSplit{tidyText(value), {}, 0.0});
        record.splitAmount = false;
        return true;
    case 'E':
    case '$':
        if (row.splits.empty()) {
            error = {lineNumber, "montant de ventilation sans catégorie (S)"};
            return false;
        }
        if (code == 'E') {
            row.splits.back().memo = tidyText(value);
            return true;
        }
        if (!parseQifAmount(value, row.splits.back().amount)) {
            error = {lineNumber, "montant illisible " + quoted(value)};
            return false;
        }
        record.splitAmount = true;
        return true;
    default:
        return true; // cleared status, address, other Quicken fields
    }
}

} // namespace

bool readQif(std::span<const std::uint8_t> bytes, Statement& statement, ReadError& error) {
    if (bytes.size() > kMaxStatementBytes) {
        error = {0, "fichier trop volumineux"};
        return false;
    }
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string text;
    std::vector<std::string_view> lines;
    if (!decodeStatementText(raw, guessEncoding(raw), text, error) ||
        !splitStatementLines(text, lines, error))
        return false;
    const DateOrder order = chooseDateOrder(lines);
    Statement read;
    Record record;
    bool sawHeader = false;
    bool inBank = false;
    int lineNumber = 0;
    for (std::string_view line : lines) {
        ++lineNumber;
        if (line.empty() || tidyText(line).empty())
            continue;
        if (line.starts_with('!')) {
            if (record.started) {
                error = {lineNumber, "opération non terminée par « ^ »"};
                return false;
            }
            sawHeader = true;
            inBank = bankSection(line);
            continue;
        }
        if (!sawHeader) {
            error = {lineNumber, "ce n'est pas un fichier QIF (en-tête « !Type: » attendu)"};
            return false;
        }
        if (!inBank)
            continue;
        if (line.starts_with('^')) {
            if (record.started && !endRecord(record, lineNumber, read, error))
                return false;
            continue;
        }
        if (!readField(line, lineNumber, order, record, error))
            return false;
    }
    if (!sawHeader) {
        error = {0, "ce n'est pas un fichier QIF (en-tête « !Type: » absent)"};
        return false;
    }
    if (record.started) {
        error = {lineNumber,
                 "fichier tronqué : la dernière opération n'est pas terminée par « ^ »"};
        return false;
    }
    statement = std::move(read);
    return true;
}

} // namespace kolvane
