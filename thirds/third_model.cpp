#include "third_model.h"

#include "document/amounts.h"
#include "document/dates.h"
#include "document/text.h"

#include <algorithm>

namespace kolvane {
namespace {

constexpr std::uint32_t colour(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// The plain letter under a Windows-1252 letter, lower case: é, È, ê -> e.
unsigned char baseLetter(unsigned char c) {
    c = lowerCp1252(c);
    if (c < 0x80)
        return c;
    switch (c) {
    case 0x9A: return 's'; // š
    case 0x9C: return 'o'; // œ
    case 0x9E: return 'z'; // ž
    case 0xFF: return 'y'; // ÿ
    case 0xE7: return 'c'; // ç
    case 0xF1: return 'n'; // ñ
    case 0xFD: return 'y'; // ý
    default: break;
    }
    if (c >= 0xE0 && c <= 0xE6)
        return 'a';
    if (c >= 0xE8 && c <= 0xEB)
        return 'e';
    if (c >= 0xEC && c <= 0xEF)
        return 'i';
    if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8)
        return 'o';
    if (c >= 0xF9 && c <= 0xFC)
        return 'u';
    return c;
}

} // namespace

// --- Tree ------------------------------------------------------------------------

int compareThirdNames(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = baseLetter(static_cast<unsigned char>(a[i]));
        const unsigned char y = baseLetter(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return compareNoCase(a, b);
}

std::vector<ThirdRecord*> thirdTree(const Document& doc) {
    std::vector<ThirdRecord*> tree;
    for (ThirdRecord& third : doc.thirds)
        if (third.active)
            tree.push_back(&third);
    std::stable_sort(tree.begin(), tree.end(), [](const ThirdRecord* a, const ThirdRecord* b) {
        return compareThirdNames(fieldText(a->name), fieldText(b->name)) < 0;
    });
    return tree;
}

ThirdRecord* thirdSelectedAfterFill(const Document& doc) {
    ThirdRecord* last = nullptr;
    for (ThirdRecord& third : doc.thirds)
        if (third.active)
            last = &third;
    return last;
}

// --- List ------------------------------------------------------------------------

const ThirdColumnSpec kThirdColumns[kThirdColumnCount] = {
    {20030, 80, false, true},  {20033, 240, false, false}, {20034, 95, true, false},
    {20035, 95, true, false}, {20036, 95, true, false},
};

void ThirdRows::fill(Document& doc, const ThirdRecord* third) {
    third_ = third;
    rows_.clear();
    if (!third)
        return;
    const PartyId id = third->id;
    double running = 0.0;
    for (OperationRecord& operation : doc.operations) {
        if (operation.partyId == id) {
            running += operation.amount;
            operation.balanceAfterParty = running;
            rows_.push_back(&operation);
        } else if (operation.counterpartyId == id) {
            running -= operation.amount;
            operation.balanceAfterCounterparty = running;
            rows_.push_back(&operation);
        }
        if (operation.lineCount && operation.lines)
            for (VentilationLine& line : *operation.lines)
                if (line.counterpartyId == id) {
                    running -= line.amount;
                    line.balanceAfterCounterparty = running;
                    rows_.push_back(&line);
                }
    }
}

OperationRecord* ThirdRows::record(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

ThirdRowKind ThirdRows::kind(int row) const {
    const OperationRecord& r = *record(row);
    if (partySide(r))
        return isInitialBalance(r.counterpartyId) ? ThirdRowKind::Initial : ThirdRowKind::Party;
    if (isInitialBalance(r.partyId))
        return ThirdRowKind::Initial;
    return isSplit(r.partyId) ? ThirdRowKind::Line : ThirdRowKind::Counterparty;
}

double ThirdRows::runningBalance(int row) const {
    const OperationRecord& r = *record(row);
    return partySide(r) ? r.balanceAfterParty : r.balanceAfterCounterparty;
}

std::string ThirdRows::cellText(int row, int column) const {
    const OperationRecord* r = record(row);
    if (!r)
        return std::string();
    const bool party = partySide(*r);
    switch (column) {
    case kThirdDate:
        return kind(row) == ThirdRowKind::Initial ? std::string() : formatDate(r->operationDate);
    case kThirdLabel:
        return std::string(fieldText(r->label));
    case kThirdDebit:
        if (party ? r->amount < 0 : r->amount > 0)
            return formatAmount(party ? -r->amount : r->amount);
        return std::string();
    case kThirdCredit:
        if (party ? r->amount >= 0 : r->amount <= 0)
            return formatAmount(party ? r->amount : -r->amount);
        return std::string();
    case kThirdBalance:
        return formatAmount(runningBalance(row));
    default:
        return std::string();
    }
}

RowLook ThirdRows::rowLook(int row) const {
    if (row % 2 == 0)
        return RowLook{colour(240, 245, 255), colour(90, 90, 200), false};
    return RowLook{colour(255, 255, 255), colour(0, 0, 150), false};
}

// --- Layout and strip -----------------------------------------------------------

ThirdLayout thirdLayout(int width, int height) {
    ThirdLayout layout;
    layout.panelHeight = std::max(height, kThirdVirtualHeight);
    layout.listWidth = std::max(width, kThirdVirtualWidth) - kThirdPanelWidth;
    layout.listHeight = layout.panelHeight - kThirdStripHeight;
    layout.labelWidth = layout.listWidth - 370;
    layout.balanceWidth = width >= kThirdVirtualWidth ? -1 : kThirdColumns[kThirdBalance].width;
    return layout;
}

ThirdStripTexts thirdStripTexts(const ThirdRecord* third) {
    if (!third)
        return {};
    return {std::string(fieldText(third->name)), formatAmount(third->balance)};
}

std::array<ThirdStripCell, 4> thirdStripCells(int width) {
    const int q = width / 5;
    return {ThirdStripCell{0, q, true}, ThirdStripCell{q, 3 * q, false},
            ThirdStripCell{3 * q, 4 * q, true}, ThirdStripCell{4 * q, 5 * q, false}};
}

// --- Creation and deletion -----------------------------------------------------------

ThirdRecord* findThirdByName(const Document& doc, std::string_view nameCp1252) {
    for (ThirdRecord& third : doc.thirds)
        if (equalNoCase(fieldText(third.name), nameCp1252))
            return &third;
    return nullptr;
}

bool deletesWithoutDialog(const Document& doc, const ThirdRecord& third) {
    if (third.operationCount != 1)
        return false;
    for (const OperationRecord& operation : doc.operations)
        if (operation.partyId == third.id)
            return true;
    return false;
}

ChoiceList thirdTargets(const Document& doc, const ThirdRecord& deleted) {
    ChoiceList list = fillCounterparties(0, doc);
    if (list.selected >= 0)
        return list;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const std::uint32_t value = list.rows[i].itemData;
        if (value != 0 && value != deleted.id) {
            list.selected = static_cast<int>(i);
            break;
        }
    }
    return list;
}

TargetCheck checkThirdTarget(const ChoiceList& targets, int index, const ThirdRecord& deleted) {
    if (index < 0 || index >= static_cast<int>(targets.rows.size()))
        return TargetCheck::Heading;
    const std::uint32_t value = targets.rows[static_cast<std::size_t>(index)].itemData;
    if (value == 0)
        return TargetCheck::Heading;
    return value == deleted.id ? TargetCheck::SameThird : TargetCheck::Accepted;
}

int transferResult(const Document& doc, PartyId target) {
    return doc.currentAccount && doc.currentAccount->id == target ? kThirdMovedToCurrentAccount
                                                                  : kThirdMoved;
}

Refusal thirdTargetRefusal(TargetCheck check) {
    if (check == TargetCheck::SameThird)
        return {RefusalMessage::SameThird, RefusalField::ThirdTarget};
    return {};
}

Refusal thirdNameRefusal(std::string_view nameCp1252) {
    if (nameCp1252.empty())
        return {RefusalMessage::EmptyThirdName, RefusalField::ThirdName};
    return {};
}

} // namespace kolvane
