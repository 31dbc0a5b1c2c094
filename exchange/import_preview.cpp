#include "exchange/import_preview.h"

#include "document/amounts.h"
#include "document/dates.h"
#include "document/operation_texts.h"
#include "document/text.h"

#include <algorithm>

namespace kolvane {

const ImportColumnSpec kImportColumns[kImportColumnCount] = {
    {"Importer", 60, false}, {"Date", 80, false},      {"Libellé", 220, false},
    {"Montant", 80, true},   {"Mode", 110, false},     {"Catégorie", 160, false},
    {"État", 90, false},
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

} // namespace kolvane
