#include "exchange/import_preview.h"

#include "document/amounts.h"
#include "document/dates.h"
#include "document/operation_texts.h"
#include "document/text.h"
#include "exchange/statement_text.h"

#include <algorithm>

namespace kolvane {

const ImportColumnSpec kImportColumns[kImportColumnCount] = {
    {"Importer", 62, false}, {"Date", 75, false},  {"Libellé", 0, false}, {"Montant", 75, true},
    {"Mode", 110, false},    {"Catégorie", 157, false}, {"État", 86, false},
};

ImportPreview::ImportPreview(const Document& doc, const AccountRecord& account, Statement statement)
    : doc_(doc), account_(account), statement_(std::move(statement)),
      plan_(planImport(doc, account, statement_)) {}

const ImportRow* ImportPreview::row(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return &plan_.rows[static_cast<std::size_t>(row)];
}

std::string ImportPreview::cellText(int row, int column) const {
    const ImportRow* planned = this->row(row);
    if (!planned)
        return {};
    const StatementRow& source = statement_.rows[static_cast<std::size_t>(row)];
    switch (column) {
    case kImportTicked:
        return planned->selected ? "Oui" : "Non";
    case kImportDate:
        return formatDate(source.date);
    case kImportLabel:
        return source.label;
    case kImportAmount:
        return formatAmount(source.amount);
    case kImportMode:
        return modeName(doc_, planned->modeId);
    case kImportCategory:
        return partyText(doc_, planned->party);
    case kImportStatus:
        return utf8ToCp1252(planned->alreadyThere ? "Déjà présente" : "Nouvelle");
    default:
        return {};
    }
}

RowLook ImportPreview::rowLook(int row) const {
    const ImportRow* planned = this->row(row);
    RowLook look;
    if (planned && planned->alreadyThere)
        look.text = kAlreadyThereColour;
    return look;
}

void ImportPreview::replaceStatement(Statement statement) {
    statement_ = std::move(statement);
    plan_ = planImport(doc_, account_, statement_);
}

void ImportPreview::toggle(int row) {
    if (row >= 0 && row < rowCount())
        plan_.rows[static_cast<std::size_t>(row)].selected ^= true;
}

void ImportPreview::setMode(int row, std::uint16_t modeId) {
    if (row >= 0 && row < rowCount() && !plan_.rows[static_cast<std::size_t>(row)].alreadyThere)
        plan_.rows[static_cast<std::size_t>(row)].modeId = modeId;
}

void ImportPreview::setParty(int row, PartyId party) {
    if (row < 0 || row >= rowCount())
        return;
    ImportRow& planned = plan_.rows[static_cast<std::size_t>(row)];
    // A split row keeps its lines; another row cannot become one here.
    if (planned.alreadyThere || isSplit(planned.party) || isSplit(party))
        return;
    planned.party = party;
}

int ImportPreview::tickedCount() const {
    return static_cast<int>(std::count_if(plan_.rows.begin(), plan_.rows.end(),
                                          [](const ImportRow& row) { return row.selected; }));
}

std::string ImportPreview::summary() const {
    const int read = rowCount(), fresh = plan_.newCount(), there = read - fresh;
    const auto plural = [](int count, const char* one, const char* many) {
        return std::to_string(count) + ' ' + (count > 1 ? many : one);
    };
    return plural(read, "opération lue", "opérations lues") + " : " +
           plural(fresh, "nouvelle", "nouvelles") + ", " +
           plural(there, "déjà présente", "déjà présentes") + ". " +
           std::to_string(tickedCount()) + " à importer.";
}

std::vector<OperationEntry> ImportPreview::entries(FileTime now) const {
    return importEntries(doc_, account_, statement_, plan_, now);
}

namespace {

// "30004 00123 12345678901": the parts that are there, tidied (Windows-1252).
std::string bankAccountText(std::string_view bank, std::string_view branch,
                            std::string_view number) {
    std::string text;
    for (std::string_view part : {bank, branch, number}) {
        const std::string tidy = tidyText(part);
        if (tidy.empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += tidy;
    }
    return text;
}

// At most `limit` characters of a UTF-8 text, "..." after a cut.
std::string shortened(const std::string& text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (characters++ == limit)
            return text.substr(0, i) + "...";
    }
    return text;
}

} // namespace

std::string describeCsvLayout(const CsvLayout& layout) {
    static constexpr const char* kOrders[] = {"jj/mm/aaaa", "mm/jj/aaaa", "aaaa/mm/jj"};
    std::string text = "Fichier CSV : séparateur ";
    text += layout.separator == '\t' ? std::string("tabulation")
                                     : std::string("« ") + layout.separator + " »";
    text += layout.decimalMark == ',' ? ", virgule décimale" : ", point décimal";
    text += std::string(", dates ") + kOrders[static_cast<int>(layout.dateOrder)];
    text += layout.encoding == TextEncoding::Utf8 ? ", encodage UTF-8" : ", encodage Windows-1252";
    if (layout.skippedLines == 1)
        text += ", 1 ligne ignorée au début";
    else if (layout.skippedLines > 1)
        text += ", " + std::to_string(layout.skippedLines) + " lignes ignorées au début";
    return text + '.';
}

std::vector<std::string> csvColumnChoices(std::span<const std::uint8_t> bytes,
                                          const CsvLayout& layout) {
    std::vector<std::vector<std::string>> records;
    ReadError ignored;
    // A file that cannot be cut still shows the columns its layout lists.
    if (!readCsvCells(bytes, layout, records, ignored, 20))
        records.clear();
    std::size_t count = std::min(layout.roles.size(), kMaxCsvRoles);
    for (const auto& record : records)
        count = std::max(count, std::min(record.size(), kMaxCsvRoles));
    std::vector<std::string> choices;
    for (std::size_t column = 0; column < count; ++column) {
        std::string text = "Colonne " + std::to_string(column + 1);
        if (!records.empty() && column < records[0].size()) {
            const std::string cell = tidyText(records[0][column]);
            if (!cell.empty())
                text += " : " + shortened(cp1252ToUtf8(cell), 30);
        }
        choices.push_back(std::move(text));
    }
    return choices;
}

CsvLayout csvLayoutForImport(std::span<const std::uint8_t> bytes, std::string_view remembered) {
    CsvLayout layout;
    Statement statement;
    ReadError error;
    if (!remembered.empty() && parseCsvLayoutText(remembered, layout) &&
        readCsv(bytes, layout, statement, error))
        return layout;
    return guessCsvLayout(bytes);
}

std::string accountMismatchQuestion(const StatementAccount& given, const AccountRecord& account) {
    const std::string theirs = bankAccountText(given.bankId, given.branchId, given.accountId);
    const std::string ours = bankAccountText(fieldText(account.bankCode),
                                             fieldText(account.branchCode),
                                             fieldText(account.accountNumber));
    return "Ce relevé concerne le compte bancaire " + cp1252ToUtf8(theirs) + ", alors que « " +
           cp1252ToUtf8(fieldText(account.name)) + " » est le compte " + cp1252ToUtf8(ours) +
           ".\nVoulez-vous l'importer quand même ?";
}

} // namespace kolvane
