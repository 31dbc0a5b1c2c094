#include "register_model.h"

#include "document/amounts.h"
#include "document/dates.h"
#include "document/operation_texts.h"
#include "document/register_order.h"
#include "document/text.h"
#include "resources/resource_ids.h"

#include <algorithm>
#include <cstring>

namespace kolvane {

const RegisterColumnSpec kRegisterColumns[kRegisterColumnCount] = {
    {IDS_COLUMN_DATE, "Date", 80, TextAlign::Left, TextAlign::Centre, false},
    {IDS_COLUMN_MODE, "Mode", 110, TextAlign::Left, TextAlign::Left, false},
    {IDS_COLUMN_CATEGORY, "Catégorie", 210, TextAlign::Left, TextAlign::Left, false},
    {IDS_COLUMN_LABEL, "Libéllé", 240, TextAlign::Left, TextAlign::Left, false},
    {0, "P", 20, TextAlign::Centre, TextAlign::Centre, false},
    {IDS_COLUMN_DEBIT, "Débit", 95, TextAlign::Right, TextAlign::Right, false},
    {IDS_COLUMN_CREDIT, "Crédit", 95, TextAlign::Right, TextAlign::Right, false},
    {IDS_COLUMN_BALANCE, "Solde", 95, TextAlign::Right, TextAlign::Right, true},
};

namespace {

constexpr int kMinimumListWidth = 800;
constexpr int kMinimumListHeight = 195;
// The columns other than the label one take 708 pixels.
constexpr int kFixedColumnsWidth = 708;

constexpr std::string_view kWaitingSuffix = " (en attente)";

// Stable LSD radix sort by `key`, one byte at a time, skipping the bytes in
// which every key agrees; `buffer` is scratch room.
void radixSort(std::vector<SortItem>& items, std::vector<SortItem>& buffer) {
    if (items.size() < 2)
        return;
    std::size_t counts[8][256] = {};
    for (const SortItem& item : items)
        for (int digit = 0; digit < 8; ++digit)
            ++counts[digit][(item.key >> (8 * digit)) & 0xFF];
    buffer.resize(items.size());
    for (int digit = 0; digit < 8; ++digit) {
        std::size_t* count = counts[digit];
        if (count[(items.front().key >> (8 * digit)) & 0xFF] == items.size())
            continue;
        std::size_t start = 0;
        for (int value = 0; value < 256; ++value) {
            const std::size_t n = count[value];
            count[value] = start;
            start += n;
        }
        for (const SortItem& item : items)
            buffer[count[(item.key >> (8 * digit)) & 0xFF]++] = item;
        items.swap(buffer);
    }
}

} // namespace

RegisterLayout registerLayout(int width, int height, bool paneShown) {
    RegisterLayout layout{};
    layout.listWidth = std::max(width, kMinimumListWidth);
    const int below = kBalanceStripHeight + (paneShown ? kEntryPaneHeight : 0);
    layout.listHeight = std::max(height - below, kMinimumListHeight);
    layout.stripY = layout.listHeight;
    layout.paneY = layout.listHeight + kBalanceStripHeight;
    return layout;
}

RegisterColumnWidths registerColumnWidths(int listClientWidth) {
    RegisterColumnWidths widths{};
    widths.label = listClientWidth - kFixedColumnsWidth;
    widths.balance = listClientWidth >= kFixedColumnsWidth ? -1 : 95;
    return widths;
}

RowLook rowColours(std::uint32_t flags) {
    return RowLook{(flags & kRowOdd) ? kRowWhite : kRowLightBlue,
                   (flags & kRowMoneyIn) ? kMoneyInColour : kMoneyOutColour, false};
}

BalanceStripTexts balanceStripTexts(const AccountRecord* account) {
    if (!account)
        return BalanceStripTexts{std::string(), formatAmount(0.0), formatAmount(0.0)};
    return BalanceStripTexts{std::string(fieldText(account->name)),
                             formatAmount(account->pointedBalance), formatAmount(account->balance)};
}

bool clickTicks(const Document& doc, int rowCount, int row, int column) {
    return row >= 0 && row < rowCount && column == kColumnTicked && doc.pointingMode == 1;
}

// --- Reading ------------------------------------------------------------------

OperationRecord* RegisterModel::record(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

int RegisterModel::findRow(const OperationRecord* wanted) const {
    if (!wanted || !account_)
        return -1;
    // The rows are sorted: look among the rows equal to `wanted` first.
    const OperationCompare compare = compareForSortOrder(doc_.sortOrder);
    auto first = std::lower_bound(rows_.begin(), rows_.end(), wanted,
                                  [&](const OperationRecord* row, const OperationRecord* key) {
                                      return compare(*row, *key) < 0;
                                  });
    for (auto it = first; it != rows_.end() && compare(**it, *wanted) == 0; ++it)
        if (*it == wanted)
            return static_cast<int>(it - rows_.begin());
    // A record whose key changed behind the register's back.
    auto found = std::find(rows_.begin(), rows_.end(), wanted);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

std::uint32_t RegisterModel::rowFlags(int row) const {
    const OperationRecord* r = record(row);
    if (!r)
        return 0;
    std::uint32_t flags = (row % 2 == 1) ? std::uint32_t{kRowOdd} : 0u;
    const bool own = isOwn(*r);
    if (!own)
        flags |= kRowIncoming;
    if (!own && isSplit(r->partyId))
        flags |= kRowLine;
    if (own ? isInitialBalance(r->counterpartyId) : isInitialBalance(r->partyId))
        flags |= kRowInitialBalance;
    if (r->pointed)
        flags |= kRowTicked;
    if (own ? r->amount >= 0 : r->amount <= 0)
        flags |= kRowMoneyIn;
    if (own && isSplit(r->counterpartyId) && r->lineCount == 0)
        flags |= kRowWaiting;
    if (!r->pointed && !isInitialBalance(r->counterpartyId) && !isSplit(r->partyId))
        flags |= kRowCanModify;
    if (isSplit(r->counterpartyId) && r->lineCount != 0 && r->lines)
        flags |= kRowCanConsult;
    return flags;
}

double RegisterModel::movement(int row) const {
    const OperationRecord* r = record(row);
    if (!r)
        return 0.0;
    return isOwn(*r) ? r->amount : -r->amount;
}

double RegisterModel::runningBalance(int row) const {
    OperationRecord* r = record(row);
    return r ? balanceField(*r) : 0.0;
}

std::string RegisterModel::cellText(int row, int column) const {
    const OperationRecord* r = record(row);
    if (!r)
        return std::string();
    const bool own = isOwn(*r);
    const bool initial = own ? isInitialBalance(r->counterpartyId) : isInitialBalance(r->partyId);
    switch (column) {
    case kColumnDate:
        return initial ? std::string() : formatDate(r->operationDate);
    case kColumnMode:
        return initial ? std::string() : modeName(doc_, r->modeId);
    case kColumnCategory: {
        if (initial)
            return std::string();
        if (!own)
            return partyText(doc_, r->partyId);
        std::string text = partyText(doc_, r->counterpartyId);
        if (isSplit(r->counterpartyId) && r->lineCount == 0)
            text += kWaitingSuffix;
        return text;
    }
    case kColumnLabel:
        return std::string(fieldText(r->label));
    case kColumnTicked:
        return r->pointed ? "P" : std::string();
    case kColumnDebit:
        if (own && r->amount < 0)
            return formatAmount(-r->amount);
        if (!own && r->amount > 0)
            return formatAmount(r->amount);
        return std::string();
    case kColumnCredit:
        if (own && r->amount >= 0)
            return formatAmount(r->amount);
        if (!own && r->amount <= 0)
            return formatAmount(-r->amount);
        return std::string();
    case kColumnBalance:
        return formatAmount(runningBalance(row));
    default:
        return std::string();
    }
}

// --- Filling ------------------------------------------------------------------

void RegisterModel::fill() {
    collectRows();
    recomputeFrom(0);
}

void RegisterModel::collectRows() {
    account_ = doc_.currentAccount;
    rows_.clear();
    chained_ = false;
    if (!account_)
        return;
    const PartyId current = account_->id;
    for (OperationRecord& operation : doc_.operations) {
        if (operation.partyId == current || operation.counterpartyId == current)
            rows_.push_back(&operation);
        if (operation.lines && operation.lineCount)
            for (VentilationLine& line : *operation.lines)
                if (line.counterpartyId == current)
                    rows_.push_back(&line);
    }
    sortRows();
}

void RegisterModel::sortRows() {
    // Initial balances first, among themselves by identifier; then the other
    // rows by identifier or by date. Each row's key is read once, and a
    // stable radix sort orders them without chasing the record pointers
    // again: equal rows keep their order.
    const bool byDate = doc_.sortOrder != 0;
    // The scratch vectors stay with the model: fresh memory of that size
    // would cost more in page faults than the sort itself.
    std::vector<SortItem>& initial = sortInitial_;
    std::vector<SortItem>& others = sortOthers_;
    initial.clear();
    others.clear();
    others.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        OperationRecord* r = rows_[i];
        if (isInitialBalance(r->counterpartyId))
            initial.push_back(SortItem{r->id, r});
        else
            others.push_back(SortItem{byDate ? r->operationDate : r->id, r});
    }
    radixSort(initial, sortBuffer_);
    radixSort(others, sortBuffer_);
    std::size_t row = 0;
    for (const SortItem& item : initial)
        rows_[row++] = item.record;
    for (const SortItem& item : others)
        rows_[row++] = item.record;
}

void RegisterModel::restoreRows(AccountRecord* account, std::vector<OperationRecord*> rows,
                                bool chained) {
    account_ = account;
    rows_ = std::move(rows);
    chained_ = chained;
}

// --- Changes ------------------------------------------------------------------

int RegisterModel::insertPosition(const OperationRecord& r, int stopAt) const {
    return findInsertPosition(rows_, r, compareForSortOrder(doc_.sortOrder), stopAt);
}

void RegisterModel::insertRow(int row, OperationRecord* r) {
    rows_.insert(rows_.begin() + row, r);
}

void RegisterModel::removeRow(int row) {
    rows_.erase(rows_.begin() + row);
}

void RegisterModel::moveRow(int from, int to) {
    if (from < to)
        std::rotate(rows_.begin() + from, rows_.begin() + from + 1, rows_.begin() + to + 1);
    else if (to < from)
        std::rotate(rows_.begin() + to, rows_.begin() + from, rows_.begin() + from + 1);
}

void RegisterModel::recomputeFrom(int row) {
    if (!account_)
        return;
    // The register's own walk (register_order.h) reads the document's current
    // account; the rows are this model's account's.
    const PartyId current = account_->id;
    const std::size_t from = row < 0 ? 0 : static_cast<std::size_t>(row);
    if (from == 0)
        chained_ = true;
    if (from >= rows_.size())
        return;
    double balance = from == 0 ? 0.0 : balanceField(*rows_[from - 1]);
    for (std::size_t i = from; i < rows_.size(); ++i) {
        OperationRecord& r = *rows_[i];
        if (r.partyId == current) {
            balance += r.amount;
            r.balanceAfterParty = balance;
        } else {
            balance -= r.amount;
            r.balanceAfterCounterparty = balance;
        }
    }
}

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

RegisterModel::BalanceTrail RegisterModel::captureBalances(int from) const {
    BalanceTrail trail;
    trail.from = std::max(from, 0);
    trail.chained = chained_;
    if (chained_ || !account_)
        return trail;
    const std::size_t start = static_cast<std::size_t>(trail.from);
    double previous = start == 0 || start > rows_.size() ? 0.0 : balanceField(*rows_[start - 1]);
    for (std::size_t i = start; i < rows_.size(); ++i) {
        OperationRecord& r = *rows_[i];
        const double stored = balanceField(r);
        const double running = isOwn(r) ? previous + r.amount : previous - r.amount;
        if (!sameBits(stored, running))
            trail.exceptions.emplace_back(static_cast<int>(i), stored);
        previous = stored;
    }
    return trail;
}

void RegisterModel::restoreBalances(const BalanceTrail& trail) {
    chained_ = trail.chained;
    if (!account_)
        return;
    const std::size_t from = static_cast<std::size_t>(trail.from);
    if (from >= rows_.size())
        return;
    // The running sums, except where the trail kept a value that was not one;
    // the rows after such a value run on from it.
    double balance = from == 0 ? 0.0 : balanceField(*rows_[from - 1]);
    auto exception = trail.exceptions.begin();
    for (std::size_t i = from; i < rows_.size(); ++i) {
        OperationRecord& r = *rows_[i];
        balance = isOwn(r) ? balance + r.amount : balance - r.amount;
        if (exception != trail.exceptions.end() &&
            static_cast<std::size_t>(exception->first) == i) {
            balance = exception->second;
            ++exception;
        }
        balanceField(r) = balance;
    }
}

} // namespace kolvane
