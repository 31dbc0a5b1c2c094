#include "entry_rules.h"

#include "document/amounts.h"
#include "document/operation_texts.h"
#include "operations/register_model.h"
#include "document/text.h"

namespace kolvane {

AmountsReaction onAmountsChanged(bool choicesEnabled, double debit, double credit) {
    const bool bothZero = debit == 0.0 && credit == 0.0;
    if (!choicesEnabled && !bothZero)
        return credit == 0.0 ? AmountsReaction::EnableDebitSide : AmountsReaction::EnableCreditSide;
    if (choicesEnabled && bothZero)
        return AmountsReaction::Disable;
    return AmountsReaction::Nothing;
}

PartyChoice chooseParty(const ChoiceList& parties, int index, int lastPartyIndex) {
    PartyChoice choice;
    const bool inList = index >= 0 && index < static_cast<int>(parties.rows.size());
    const std::uint32_t value = inList ? parties.rows[static_cast<std::size_t>(index)].itemData : 0;
    if (value == 0) {
        choice.refused = true;
        choice.select = lastPartyIndex;
        choice.dropDown = true;
        if (lastPartyIndex >= 0 && lastPartyIndex < static_cast<int>(parties.rows.size()))
            choice.splitEditor =
                isSplit(parties.rows[static_cast<std::size_t>(lastPartyIndex)].itemData);
        return choice;
    }
    choice.select = index;
    choice.splitEditor = isSplit(value);
    return choice;
}

LabelPick pickLabel(const ChoiceList& parties, CategoryId category) {
    LabelPick pick;
    pick.party = findByItemData(&parties, category);
    pick.splitEditor = pick.party >= 0 && isSplit(category);
    return pick;
}

int findLabelEntry(const ChoiceList& labels, std::string_view textCp1252) {
    for (std::size_t i = 0; i < labels.rows.size(); ++i)
        if (equalNoCase(labels.rows[i].text, textCp1252))
            return static_cast<int>(i);
    return -1;
}

EntryFields entryFieldsFor(const Document& doc, const OperationRecord& operation) {
    EntryFields fields;
    const AccountRecord* current = doc.currentAccount;
    const bool own = current && operation.partyId == current->id;
    const double seen = own ? operation.amount : -operation.amount;
    if (seen < 0) {
        fields.debit = -seen;
        fields.debitFirst = false; // the credit box gets 0 first
    } else {
        fields.credit = seen;
        fields.debitFirst = true;
    }
    fields.operationDate = operation.operationDate;
    fields.label = std::string(fieldText(operation.label));
    fields.modeId = operation.modeId;
    // An incoming transfer keeps its party: the other account.
    fields.party = findAccountById(doc, operation.partyId) != current ? operation.partyId
                                                                      : operation.counterpartyId;
    fields.splitEditor = isSplit(fields.party);
    return fields;
}

VentilationStart startVentilation(double debit, double credit) {
    VentilationStart start;
    if (debit != 0.0 && credit != 0.0) {
        start.refusal = Refusal{RefusalMessage::DebitAndCredit, RefusalField::EntryCredit};
        return start;
    }
    start.amount = debit != 0.0 ? -debit : credit;
    return start;
}

std::vector<VentilationLine> copyLines(const OperationRecord& operation) {
    std::vector<VentilationLine> lines;
    if (operation.lines)
        for (const VentilationLine& line : *operation.lines)
            lines.push_back(line);
    return lines;
}

namespace {

// What the lines add up to, read the way the operation's sum for Split reads
// them (exact identifier).
double linesTotal(const std::vector<VentilationLine>& lines) {
    double sum = 0.0;
    for (const VentilationLine& line : lines) {
        if (line.partyId == Split)
            sum += line.amount;
        else if (line.counterpartyId == Split)
            sum -= line.amount;
    }
    return sum;
}

} // namespace

ValidationResult validateEntry(const EntryForm& form, const OperationRecord* edited,
                               const std::vector<VentilationLine>* workingLines, FileTime now) {
    ValidationResult result;
    if (form.debit != 0.0 && form.credit != 0.0) {
        result.refusal = Refusal{RefusalMessage::DebitAndCredit, RefusalField::EntryCredit};
        return result;
    }
    const std::string label = form.label.substr(0, kEntryLabelLength);
    if (label.empty()) {
        result.refusal = Refusal{RefusalMessage::EnterOperationLabel, RefusalField::EntryLabel};
        return result;
    }
    OperationEntry& entry = result.entry;
    entry.amount = form.debit != 0.0 ? -form.debit : form.credit;
    entry.party = form.party;
    entry.modeId = form.modeId;
    entry.operationDate = form.operationDate;
    entry.label = label;
    entry.labelChosen = form.labelIndex != -1;
    entry.now = now;
    result.outcome = Validation::Book;
    if (!isSplit(form.party))
        return result;
    entry.useLines = true;
    bool haveLines = workingLines != nullptr;
    if (haveLines) {
        entry.lines = *workingLines;
    } else if (edited && edited->lines && edited->lineCount) {
        entry.lines = copyLines(*edited);
        haveLines = true;
        result.workingLinesCopied = true;
    }
    if (haveLines && !isZeroAmount(linesTotal(entry.lines) - entry.amount))
        result.outcome = Validation::AskLinesDiffer;
    return result;
}

OperationEntry withoutLines(OperationEntry entry) {
    entry.useLines = false;
    entry.lines.clear();
    return entry;
}

// --- The ventilation editor ---------------------------------------------------

VentilationDraft::VentilationDraft(double amount, const std::vector<VentilationLine>* lines)
    : total_(-amount), remaining_(-amount), hasList_(lines != nullptr) {
    if (lines)
        lines_ = *lines;
    for (const VentilationLine& line : lines_)
        remaining_ += line.amount;
}

bool VentilationDraft::canAdd(double value) {
    return !isZeroAmount(value);
}

Refusal VentilationDraft::add(double value, PartyId party) {
    if (isZeroAmount(value))
        return {RefusalMessage::EnterLineAmount, RefusalField::LineAmount};
    VentilationLine line{};
    line.partyId = Split;
    line.counterpartyId = party;
    line.amount = -value;
    lines_.push_back(line);
    hasList_ = true;
    remaining_ -= value;
    return {};
}

bool VentilationDraft::remove(int row) {
    if (row < 0 || row >= static_cast<int>(lines_.size()))
        return false;
    const VentilationLine& line = lines_[static_cast<std::size_t>(row)];
    if (line.pointed)
        return false;
    remaining_ -= line.amount;
    lines_.erase(lines_.begin() + row);
    return true;
}

VentilationDraft::Closing VentilationDraft::close() const {
    if (!hasList_)
        return Closing::NoLines;
    return isZeroAmount(remaining_) ? Closing::KeepLines : Closing::AskAmountsLeft;
}

// --- Ventilation lists ----------------------------------------------------------

std::string ventilationLineText(const Document& doc, const VentilationLine& line, int column) {
    if (column == 0)
        return partyText(doc, line.counterpartyId);
    return column == 1 ? formatAmount(line.amount) : std::string();
}

std::vector<ConsultRow> ventilationConsultRows(const Document& doc,
                                               const OperationRecord& operation) {
    std::vector<ConsultRow> rows;
    const double a = operation.amount;
    rows.push_back(
        ConsultRow{partyText(doc, operation.partyId), a < 0 ? formatAmount(-a) : std::string(),
                   a >= 0 ? formatAmount(a) : std::string(), kRowLightBlue, rgb(90, 90, 200)});
    if (!operation.lines || !operation.lineCount)
        return rows;
    for (const VentilationLine& line : *operation.lines) {
        const double part = line.amount;
        rows.push_back(ConsultRow{
            partyText(doc, line.counterpartyId), part >= 0 ? formatAmount(part) : std::string(),
            part <= 0 ? formatAmount(-part) : std::string(), kRowWhite, rgb(0, 0, 150)});
    }
    return rows;
}

} // namespace kolvane
