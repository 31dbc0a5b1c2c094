#include "exchange/csv_reader.h"

#include "document/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace kolvane {
namespace {

constexpr std::array<const char*, kCsvRoleCount> kRoleNames = {
    "(ignorée)", "Date", "Libellé", "Montant", "Débit", "Crédit", "Mode", "Catégorie", "Note"};
constexpr std::array<const char*, kCsvRoleCount> kRoleWords = {
    "ignored", "date", "label", "amount", "debit", "credit", "mode", "category", "memo"};

std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
};

// Cuts `text` into records: quoted cells may hold separators, doubled quotes
// and line ends. Stops after `maxRecords`.
bool splitRecords(std::string_view text, char separator, std::vector<CsvRecord>& records,
                  ReadError& error, std::size_t maxRecords) {
    records.clear();
    int line = 1;
    std::size_t pos = 0;
    while (pos < text.size() && records.size() < maxRecords) {
        CsvRecord record;
        record.line = line;
        const std::size_t recordStart = pos;
        std::string cell;
        bool quoted = false;
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (pos - recordStart > kMaxStatementLine) {
                error = {record.line, "ligne trop longue"};
                return false;
            }
            if (pos >= text.size()) {
                if (quoted) {
                    error = {record.line, "guillemet ouvert jamais fermé"};
                    return false;
                }
                endOfRecord = true;
                break;
            }
            const char c = text[pos++];
            if (quoted) {
                if (c == '"') {
                    if (pos < text.size() && text[pos] == '"') {
                        cell += '"';
                        ++pos;
                    } else {
                        quoted = false;
                    }
                } else {
                    if (c == '\n')
                        ++line;
                    cell += c;
                }
                continue;
            }
            if (c == '"' && tidyText(cell).empty()) {
                cell.clear();
                quoted = true;
            } else if (c == separator) {
                record.cells.push_back(std::move(cell));
                cell.clear();
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos < text.size() && text[pos] == '\n')
                    ++pos;
                ++line;
                endOfRecord = true;
            } else {
                cell += c;
            }
        }
        record.cells.push_back(std::move(cell));
        const bool blank = std::all_of(record.cells.begin(), record.cells.end(),
                                       [](const std::string& c) { return tidyText(c).empty(); });
        if (!blank)
            records.push_back(std::move(record));
    }
    return true;
}

bool decode(std::span<const std::uint8_t> bytes, TextEncoding encoding, std::string& text,
            ReadError& error) {
    if (bytes.size() > kMaxStatementBytes) {
        error = {0, "fichier trop volumineux"};
        return false;
    }
    return decodeStatementText(asText(bytes), encoding, text, error);
}

bool looksLikeAmount(const std::string& cell) {
    double ignored = 0.0;
    const std::string tidy = tidyText(cell);
    return !tidy.empty() &&
           (parseStatementAmount(tidy, ',', ignored) || parseStatementAmount(tidy, '.', ignored));
}

bool looksLikeDate(const std::string& cell) {
    return dateOrdersOf(cell) != 0;
}

// The role a column name announces, or Ignored.
CsvRole roleOfName(const std::string& name) {
    const std::string key = labelKey(name);
    const auto has = [&](const char* word) { return key.find(word) != std::string::npos; };
    if (has("DATE"))
        return CsvRole::Date;
    if (has("DEBIT"))
        return CsvRole::Debit;
    if (has("CREDIT"))
        return CsvRole::Credit;
    if (has("MONTANT") || has("AMOUNT") || has("SOMME"))
        return CsvRole::Amount;
    if (has("LIBELLE") || has("LABEL") || has("DESCRIPTION") || has("INTITULE") ||
        key == "OPERATION")
        return CsvRole::Label;
    if (has("CATEGORIE") || has("CATEGORY"))
        return CsvRole::Category;
    if (has("MODE") || has("TYPE"))
        return CsvRole::Mode;
    if (has("NOTE") || has("MEMO") || has("COMMENTAIRE") || has("DETAIL"))
        return CsvRole::Memo;
    return CsvRole::Ignored;
}

// Roles from the column names; a second date column (the value date) and
// any repeated role are ignored.
std::vector<CsvRole> rolesFromHeader(const std::vector<std::string>& names) {
    std::vector<CsvRole> roles;
    for (const std::string& name : names) {
        CsvRole role = roleOfName(name);
        if (std::find(roles.begin(), roles.end(), role) != roles.end())
            role = CsvRole::Ignored;
        roles.push_back(role);
    }
    return roles;
}

// Roles from the cells: the first column of dates, the columns of amounts
// (one: the amount; two: debit then credit), the longest text column as
// the label.
std::vector<CsvRole> rolesFromCells(const std::vector<CsvRecord>& records, std::size_t from,
                                    std::size_t columns) {
    std::vector<CsvRole> roles(columns, CsvRole::Ignored);
    std::vector<std::size_t> amountColumns;
    std::size_t labelColumn = columns, labelLength = 0;
    bool haveDate = false;
    for (std::size_t column = 0; column < columns; ++column) {
        bool dates = true, amounts = true, any = false;
        std::size_t length = 0;
        for (std::size_t i = from; i < records.size() && i < from + 50; ++i) {
            if (column >= records[i].cells.size())
                continue;
            const std::string tidy = tidyText(records[i].cells[column]);
            if (tidy.empty())
                continue;
            any = true;
            dates &= looksLikeDate(tidy);
            amounts &= looksLikeAmount(tidy);
            length += tidy.size();
        }
        if (!any)
            continue;
        if (dates && !haveDate) {
            roles[column] = CsvRole::Date;
            haveDate = true;
        } else if (amounts && !dates) {
            amountColumns.push_back(column);
        } else if (!amounts && !dates && length > labelLength) {
            labelColumn = column;
            labelLength = length;
        }
    }
    if (amountColumns.size() == 1)
        roles[amountColumns[0]] = CsvRole::Amount;
    else if (amountColumns.size() >= 2) {
        roles[amountColumns[0]] = CsvRole::Debit;
        roles[amountColumns[1]] = CsvRole::Credit;
    }
    if (labelColumn < columns)
        roles[labelColumn] = CsvRole::Label;
    return roles;
}

char guessSeparator(std::string_view text) {
    char best = ';';
    std::size_t bestScore = 0;
    for (char separator : {';', '\t', ','}) {
        std::vector<CsvRecord> records;
        ReadError ignored;
        if (!splitRecords(text, separator, records, ignored, 60))
            continue;
        // The cells of the records that share a count of cells (two at
        // least): a separator that cuts many rows into many cells wins.
        std::map<std::size_t, std::size_t> counts;
        for (const CsvRecord& record : records)
            if (record.cells.size() >= 2)
                ++counts[record.cells.size()];
        std::size_t score = 0;
        for (auto [cells, count] : counts)
            score = std::max(score, cells * count);
        if (score > bestScore) {
            best = separator;
            bestScore = score;
        }
    }
    return best;
}

} // namespace

const char* csvRoleName(CsvRole role) {
    return kRoleNames[static_cast<std::size_t>(role)];
}

CsvLayout guessCsvLayout(std::span<const std::uint8_t> bytes) {
    CsvLayout layout;
    layout.encoding = guessEncoding(asText(bytes));
    std::string text;
    ReadError error;
    if (!decode(bytes, layout.encoding, text, error))
        return layout;
    layout.separator = guessSeparator(text);
    std::vector<CsvRecord> records;
    if (!splitRecords(text, layout.separator, records, error, 200) || records.empty())
        return layout;
    // The rows are the last run of records that share the most frequent
    // count of cells; what comes before them is account details.
    std::map<std::size_t, std::size_t> counts;
    for (const CsvRecord& record : records)
        ++counts[record.cells.size()];
    std::size_t columns = 0, best = 0;
    for (auto [cells, count] : counts)
        if (count > best || (count == best && cells > columns))
            columns = cells, best = count;
    std::size_t first = 0;
    while (first < records.size() && records[first].cells.size() != columns)
        ++first;
    // Account details may share the count of cells: the first record of the
    // run before which no record has a date is where the rows begin.
    std::size_t dataStart = first;
    while (dataStart < records.size() &&
           std::none_of(records[dataStart].cells.begin(), records[dataStart].cells.end(),
                        [](const std::string& cell) { return looksLikeDate(tidyText(cell)); }))
        ++dataStart;
    if (dataStart == records.size())
        dataStart = first;
    layout.header = dataStart > first;
    const std::size_t headerAt = layout.header ? dataStart - 1 : dataStart;
    layout.skippedLines = static_cast<int>(headerAt);
    layout.roles = layout.header ? rolesFromHeader(records[headerAt].cells)
                                 : std::vector<CsvRole>(columns, CsvRole::Ignored);
    const bool named =
        std::find(layout.roles.begin(), layout.roles.end(), CsvRole::Date) != layout.roles.end();
    if (!named)
        layout.roles = rolesFromCells(records, dataStart, columns);
    // Columns after the last one with a role are ignored without being
    // listed; no statement has hundreds of columns worth a role.
    if (layout.roles.size() > kMaxCsvRoles)
        layout.roles.resize(kMaxCsvRoles);
    while (!layout.roles.empty() && layout.roles.back() == CsvRole::Ignored)
        layout.roles.pop_back();
    // The decimal mark and the date order from the cells of their columns.
    std::size_t commas = 0, points = 0;
    unsigned orders = 7;
    for (std::size_t i = dataStart; i < records.size(); ++i)
        for (std::size_t column = 0;
             column < records[i].cells.size() && column < layout.roles.size(); ++column) {
            const std::string cell = tidyText(records[i].cells[column]);
            const CsvRole role = layout.roles[column];
            if (role == CsvRole::Date) {
                if (const unsigned fits = dateOrdersOf(cell))
                    orders &= fits;
            } else if (role == CsvRole::Amount || role == CsvRole::Debit ||
                       role == CsvRole::Credit) {
                const std::size_t mark = cell.find_last_of(".,");
                if (mark != std::string::npos && cell.size() - mark <= 3)
                    ++(cell[mark] == ',' ? commas : points);
            }
        }
    layout.decimalMark = layout.separator == ',' || points > commas ? '.' : ',';
    const auto allows = [&](DateOrder order) {
        return (orders >> static_cast<unsigned>(order)) & 1;
    };
    layout.dateOrder = allows(DateOrder::DayMonthYear)   ? DateOrder::DayMonthYear
                       : allows(DateOrder::YearMonthDay) ? DateOrder::YearMonthDay
                       : allows(DateOrder::MonthDayYear) ? DateOrder::MonthDayYear
                                                         : DateOrder::DayMonthYear;
    return layout;
}

bool readCsvCells(std::span<const std::uint8_t> bytes, const CsvLayout& layout,
                  std::vector<std::vector<std::string>>& cells, ReadError& error,
                  std::size_t maxRecords) {
    std::string text;
    std::vector<CsvRecord> records;
    const std::size_t skipped = static_cast<std::size_t>(std::max(layout.skippedLines, 0));
    const std::size_t wanted =
        maxRecords > static_cast<std::size_t>(-1) - skipped ? maxRecords : maxRecords + skipped;
    if (!decode(bytes, layout.encoding, text, error) ||
        !splitRecords(text, layout.separator, records, error, wanted))
        return false;
    cells.clear();
    for (std::size_t i = skipped; i < records.size(); ++i)
        cells.push_back(std::move(records[i].cells));
    return true;
}

bool readCsv(std::span<const std::uint8_t> bytes, const CsvLayout& layout, Statement& statement,
             ReadError& error) {
    const auto columnOf = [&](CsvRole role) {
        auto found = std::find(layout.roles.begin(), layout.roles.end(), role);
        return found == layout.roles.end() ? -1 : static_cast<int>(found - layout.roles.begin());
    };
    const int dateColumn = columnOf(CsvRole::Date), amountColumn = columnOf(CsvRole::Amount);
    const int debitColumn = columnOf(CsvRole::Debit), creditColumn = columnOf(CsvRole::Credit);
    std::string text;
    std::vector<CsvRecord> records;
    if (!decode(bytes, layout.encoding, text, error) ||
        !splitRecords(text, layout.separator, records, error, static_cast<std::size_t>(-1)))
        return false;
    if (dateColumn < 0 || (amountColumn < 0 && debitColumn < 0 && creditColumn < 0)) {
        error = {0,
                 "choisissez la colonne de la date et celle du montant (ou du débit et du crédit)"};
        return false;
    }
    Statement read;
    const std::size_t first =
        static_cast<std::size_t>(std::max(layout.skippedLines, 0)) + (layout.header ? 1 : 0);
    for (std::size_t i = first; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        const auto cell = [&](int column) -> std::string {
            if (column < 0 || static_cast<std::size_t>(column) >= record.cells.size())
                return {};
            return tidyText(record.cells[static_cast<std::size_t>(column)]);
        };
        const auto fail = [&](const std::string& reason, int column) {
            error = {record.line, reason + " (colonne " + std::to_string(column + 1) + ")"};
            return false;
        };
        StatementRow row;
        row.line = record.line;
        const std::string date = cell(dateColumn);
        if (!parseStatementDate(date, layout.dateOrder, row.date))
            return fail("date illisible « " + cp1252ToUtf8(date.substr(0, 40)) + " »", dateColumn);
        double debit = 0.0, credit = 0.0;
        bool any = false;
        for (auto [column, value] :
             {std::pair{amountColumn, &row.amount}, std::pair{debitColumn, &debit},
              std::pair{creditColumn, &credit}}) {
            const std::string amount = cell(column);
            if (column < 0 || amount.empty())
                continue;
            if (!parseStatementAmount(amount, layout.decimalMark, *value))
                return fail("montant illisible « " + cp1252ToUtf8(amount.substr(0, 40)) + " »",
                            column);
            any = true;
        }
        if (!any)
            return fail("montant absent", amountColumn >= 0  ? amountColumn
                                          : debitColumn >= 0 ? debitColumn
                                                             : creditColumn);
        if (amountColumn < 0) {
            // In cents, so that 0,10 - 0,30 is -0,20 exactly as typed.
            const long long cents = std::llround(std::fabs(credit) * 100.0) - std::llround(std::fabs(debit) * 100.0);
            row.amount = static_cast<double>(cents) / 100.0;
        }
        row.label = cell(columnOf(CsvRole::Label));
        row.kind = cell(columnOf(CsvRole::Mode));
        row.category = cell(columnOf(CsvRole::Category));
        row.memo = cell(columnOf(CsvRole::Memo));
        if (row.label.empty())
            row.label = row.memo;
        read.rows.push_back(std::move(row));
    }
    statement = std::move(read);
    return true;
}

std::string csvLayoutText(const CsvLayout& layout) {
    static constexpr const char* kOrders[] = {"dmy", "mdy", "ymd"};
    std::string text = "sep=";
    text += layout.separator == '\t' ? std::string("tab") : std::string(1, layout.separator);
    text += std::string("|dec=") + layout.decimalMark;
    text += std::string("|date=") + kOrders[static_cast<int>(layout.dateOrder)];
    text += layout.encoding == TextEncoding::Utf8 ? "|enc=utf8" : "|enc=1252";
    text += "|skip=" + std::to_string(layout.skippedLines);
    text += layout.header ? "|header=1|roles=" : "|header=0|roles=";
    for (std::size_t i = 0; i < layout.roles.size(); ++i) {
        if (i)
            text += ',';
        text += kRoleWords[static_cast<std::size_t>(layout.roles[i])];
    }
    return text;
}

bool parseCsvLayoutText(std::string_view text, CsvLayout& layout) {
    CsvLayout read;
    read.roles.clear();
    int seen = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view part = text.substr(start, end - start);
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view name = part.substr(0, equals), value = part.substr(equals + 1);
        if (name == "sep" && (value == ";" || value == "," || value == "tab")) {
            read.separator = value == "tab" ? '\t' : value[0];
            seen |= 1;
        } else if (name == "dec" && (value == "," || value == ".")) {
            read.decimalMark = value[0];
            seen |= 2;
        } else if (name == "date" && (value == "dmy" || value == "mdy" || value == "ymd")) {
            read.dateOrder = value == "dmy"   ? DateOrder::DayMonthYear
                             : value == "mdy" ? DateOrder::MonthDayYear
                                              : DateOrder::YearMonthDay;
            seen |= 4;
        } else if (name == "enc" && (value == "utf8" || value == "1252")) {
            read.encoding = value == "utf8" ? TextEncoding::Utf8 : TextEncoding::Windows1252;
            seen |= 8;
        } else if (name == "skip" && value.size() >= 1 && value.size() <= 3 &&
                   value.find_first_not_of("0123456789") == std::string_view::npos) {
            read.skippedLines = std::stoi(std::string(value));
            seen |= 16;
        } else if (name == "header" && (value == "0" || value == "1")) {
            read.header = value == "1";
            seen |= 32;
        } else if (name == "roles") {
            std::size_t from = 0;
            while (from < value.size()) {
                std::size_t comma = value.find(',', from);
                if (comma == std::string_view::npos)
                    comma = value.size();
                const std::string_view word = value.substr(from, comma - from);
                auto found = std::find(kRoleWords.begin(), kRoleWords.end(), word);
                if (found == kRoleWords.end() || read.roles.size() >= kMaxCsvRoles)
                    return false;
                read.roles.push_back(static_cast<CsvRole>(found - kRoleWords.begin()));
                from = comma + 1;
            }
            seen |= 64;
        } else {
            return false;
        }
        start = end + 1;
    }
    if (seen != 127)
        return false;
    layout = std::move(read);
    return true;
}

} // namespace kolvane
