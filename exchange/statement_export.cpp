#include "exchange/statement_export.h"

#include "document/calendar.h"
#include "document/operation_texts.h"
#include "document/text.h"

#include <algorithm>
#include <charconv>
#include <vector>
#include <cmath>

namespace kolvane {
namespace {

// One row of an account's register, seen from the account.
struct ExportRow {
    const OperationRecord* record;
    double amount;
    PartyId party;
    const OperationList* lines; // a split operation of the account
};

std::vector<ExportRow> rowsOf(const Document& doc, const AccountRecord& account) {
    std::vector<ExportRow> rows;
    for (const OperationRecord& operation : doc.operations) {
        if (isInitialBalance(operation.counterpartyId))
            continue;
        if (operation.partyId == account.id) {
            const bool split =
                isSplit(operation.counterpartyId) && operation.lines && operation.lineCount;
            rows.push_back({&operation, operation.amount, operation.counterpartyId,
                            split ? operation.lines : nullptr});
        } else if (operation.counterpartyId == account.id) {
            rows.push_back({&operation, -operation.amount, operation.partyId, nullptr});
        }
        if (operation.lines && operation.lineCount)
            for (const VentilationLine& line : *operation.lines)
                if (line.counterpartyId == account.id)
                    rows.push_back({&line, -line.amount, operation.partyId, nullptr});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const ExportRow& a, const ExportRow& b) {
        return a.record->operationDate / DAY < b.record->operationDate / DAY;
    });
    return rows;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

std::string dateText(FileTime date) {
    const CalendarTime time = toCalendarTime(date);
    return twoDigits(time.day) + '/' + twoDigits(time.month) + '/' + std::to_string(time.year);
}

std::string amountText(double amount, char decimalMark) {
    char buffer[64];
    if (std::fabs(amount) < 0.005)
        amount = 0.0;
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', decimalMark);
    return text;
}

std::string csvCell(std::string_view textCp1252) {
    const std::string utf8 = cp1252ToUtf8(textCp1252);
    const bool quote = utf8.find_first_of(";\"\r\n") != std::string::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote)
        return utf8;
    std::string cell = "\"";
    for (char c : utf8) {
        if (c == '"')
            cell += '"';
        cell += c;
    }
    return cell + '"';
}

std::string qifParty(const Document& doc, PartyId party) {
    std::string text;
    if (isAccount(party)) {
        if (const AccountRecord* other = findAccountById(doc, party)) {
            text = '[';
            text.append(fieldText(other->name));
            text += ']';
        }
        return text;
    }
    text = partyText(doc, party); // "Tiers : Name" for a third party
    if (isCategory(party))
        if (const std::size_t colon = text.find(" : "); colon != std::string::npos)
            text = std::string(text.data(), colon) + ':' + std::string(text.data() + colon + 3);
    return text;
}

// One QIF line: its code and the text, without the line ends a field cannot hold.
void qifLine(std::string& out, char code, std::string_view text) {
    out += code;
    for (char c : text)
        out += c == '\r' || c == '\n' ? ' ' : c;
    out += "\r\n";
}

void appendCsv(std::string& out, const Document& doc, const AccountRecord& account,
               bool withAccount) {
    for (const ExportRow& row : rowsOf(doc, account)) {
        if (withAccount)
            out += csvCell(fieldText(account.name)) + ';';
        out += dateText(row.record->operationDate) + ';';
        out += csvCell(fieldText(row.record->label)) + ';';
        out += amountText(row.amount, ',') + ';';
        out += csvCell(modeName(doc, row.record->modeId)) + ';';
        out += csvCell(partyText(doc, row.party)) + "\r\n";
    }
}

void appendQif(std::string& out, const Document& doc, const AccountRecord& account) {
    out += "!Type:Bank\r\n";
    for (const ExportRow& row : rowsOf(doc, account)) {
        qifLine(out, 'D', dateText(row.record->operationDate));
        qifLine(out, 'T', amountText(row.amount, '.'));
        qifLine(out, 'P', fieldText(row.record->label));
        if (const std::string mode = modeName(doc, row.record->modeId); !mode.empty())
            qifLine(out, 'N', mode);
        if (row.lines) {
            for (const VentilationLine& line : *row.lines) {
                qifLine(out, 'S', qifParty(doc, line.counterpartyId));
                qifLine(out, '$', amountText(line.amount, '.'));
            }
        } else if (const std::string party = qifParty(doc, row.party); !party.empty()) {
            qifLine(out, 'L', party);
        }
        out += "^\r\n";
    }
}

} // namespace

std::string exportOperations(const Document& doc, const AccountRecord* account,
                             ExportFormat format) {
    std::vector<const AccountRecord*> accounts;
    if (account)
        accounts.push_back(account);
    else
        for (const AccountRecord& each : doc.accounts)
            if (isAccount(each.id))
                accounts.push_back(&each);
    std::string out;
    if (format == ExportFormat::Csv) {
        out = "\xEF\xBB\xBF";
        out += account ? "" : "Compte;";
        out += "Date;Libellé;Montant;Mode;Catégorie\r\n";
        for (const AccountRecord* each : accounts)
            appendCsv(out, doc, *each, account == nullptr);
        return out;
    }
    for (const AccountRecord* each : accounts) {
        if (!account) {
            out += "!Account\r\n";
            qifLine(out, 'N', fieldText(each->name));
            out += "TBank\r\n^\r\n";
        }
        appendQif(out, doc, *each);
    }
    return out;
}

} // namespace kolvane
