#include "booking.h"
#include "booking_journal.h"

#include "document/choice_lists.h"
#include "document/text.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

namespace kolvane {
namespace {

// The account or third party that an identifier names, when it exists.
struct Party {
    AccountRecord* account = nullptr;
    ThirdRecord* third = nullptr;

    explicit operator bool() const { return account || third; }
    double& balance() const { return account ? account->balance : third->balance; }
    std::uint32_t& count() const {
        return account ? account->operationCount : third->operationCount;
    }
};

Party findParty(const Document& doc, PartyId id) {
    if (isAccount(id))
        return Party{findAccountById(doc, id), nullptr};
    if (isThird(id))
        return Party{nullptr, findThirdById(doc, id)};
    return Party{};
}

// Room for the fields one party and one record take in a journal.
constexpr std::size_t kPartyBytes = 2 * sizeof(double) + sizeof(std::uint32_t);
constexpr std::size_t kRecordBytes = sizeof(OperationRecord);

// The register rows of a change that the row arithmetic cannot follow (a
// line of the operation booked on the register's own account): the rows are
// collected again, and put back as they were on revert.
struct RowsSnapshot {
    std::vector<OperationRecord*> rows;
    AccountRecord* account = nullptr;
    bool chained = false;
    bool taken = false;

    void take(const RegisterModel& model) {
        rows = model.rows();
        account = model.account();
        chained = model.balancesChained();
        taken = true;
    }
    void putBack(RegisterModel& model) {
        model.restoreRows(account, std::move(rows), chained);
        rows.clear();
        taken = false;
    }
};

bool linesTouch(const OperationList* lines, PartyId party) {
    if (!lines)
        return false;
    for (const VentilationLine& line : *lines)
        if (line.counterpartyId == party)
            return true;
    return false;
}

bool linesTouch(const std::vector<VentilationLine>& lines, PartyId party) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const VentilationLine& line) { return line.counterpartyId == party; });
}

// The register must show the document's current account.
bool registerReady(const RegisterModel& model) {
    return model.account() && model.account() == model.document().currentAccount;
}

int locateRow(const RegisterModel& model, const OperationRecord* record, int hint) {
    if (hint >= 0 && model.record(hint) == record)
        return hint;
    return model.findRow(record);
}

// Why `record` (expected at row `hint`) may be neither changed nor deleted:
// Done when it may, with its row in `row`.
BookingStatus refusalToChange(const RegisterModel& model, const OperationRecord* record, int hint,
                              int& row) {
    if (!registerReady(model))
        return BookingStatus::NoAccount;
    row = locateRow(model, record, hint);
    if (row < 0)
        return BookingStatus::NotARow;
    if (record->pointed)
        return BookingStatus::Ticked;
    if (isInitialBalance(record->counterpartyId))
        return BookingStatus::InitialBalance;
    if (isSplit(record->partyId))
        return BookingStatus::VentilationLine;
    return BookingStatus::Done;
}

// The fields a ventilation line takes from its operation when attached.
void copyOperationFields(VentilationLine& line, const OperationRecord& operation) {
    line.modeId = operation.modeId;
    std::memcpy(line.label, operation.label, sizeof line.label);
    line.creatorUserId = operation.creatorUserId;
    line.modifierUserId = operation.modifierUserId;
    line.id = operation.id;
    line.pointed = operation.pointed;
    line.operationDate = operation.operationDate;
    line.entryDate = operation.entryDate;
    line.modifiedDate = operation.modifiedDate;
}

// A new list holding copies of `lines`, or null when memory runs out.
OperationList* makeLineList(const std::vector<VentilationLine>& lines) {
    auto* list = new (std::nothrow) OperationList;
    if (!list)
        return nullptr;
    for (const VentilationLine& line : lines) {
        VentilationLine* added = list->append(line);
        if (!added) {
            delete list;
            return nullptr;
        }
        added->lineCount = 0;
        added->lines = nullptr;
    }
    return list;
}

// A label added by a command, taken out again on revert.
class LabelAddition {
  public:
    void add(Document& doc, std::string_view text, CategoryId category) {
        added_ = insertLabel(doc, text, category);
        if (added_)
            text_ = std::string(text);
    }
    void takeBack(Document& doc) {
        if (!added_)
            return;
        LabelRecord probe{};
        setFieldText(probe.text, text_);
        for (LabelRecord& label : doc.labels)
            if (equalNoCase(fieldText(label.text), fieldText(probe.text))) {
                doc.labels.remove(&label);
                break;
            }
        added_ = false;
    }

  private:
    bool added_ = false;
    std::string text_;
};

class CommandBase : public BookingCommand {
  protected:
    void markModified(Document& doc) {
        journal_.save(doc.isModified);
        doc.isModified = 1;
    }
    // Moves a party's balance and count, saving both first.
    void bookOn(const Party& party, double balanceChange, int countChange) {
        if (!party)
            return;
        journal_.save(party.balance());
        journal_.save(party.count());
        party.balance() += balanceChange;
        party.count() += static_cast<std::uint32_t>(countChange);
    }

  public:
    std::size_t memoryBytes() const override {
        return sizeof(*this) + journal_.memoryBytes() +
               trail_.exceptions.capacity() * sizeof(trail_.exceptions[0]) +
               snapshot_.rows.capacity() * sizeof(OperationRecord*);
    }

  protected:
    Journal journal_;
    RegisterModel::BalanceTrail trail_;
    RowsSnapshot snapshot_;
};

// --- New operation ------------------------------------------------------------

class NewOperation : public CommandBase {
  public:
    explicit NewOperation(OperationEntry entry) : entry_(std::move(entry)) {}
    ~NewOperation() override {
        if (record_ && !applied_) {
            releaseLines(*record_);
            operations_->dispose(record_);
        }
    }
    const char* name() const override { return "saisie d'une opération"; }

    BookingStatus apply(RegisterModel& model) override {
        if (!registerReady(model))
            return BookingStatus::NoAccount;
        Document& doc = model.document();
        AccountRecord& account = *model.account();
        const bool attach = entry_.useLines && !entry_.lines.empty();
        const bool refill = attach && linesTouch(entry_.lines, account.id);
        try {
            journal_.reserve(16 + 5 * entry_.lines.size(),
                             256 + (kPartyBytes + kRecordBytes) * entry_.lines.size());
            model.reserveRows(model.rowCount() + 1);
            if (refill)
                snapshot_.take(model);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        if (!record_) {
            operations_ = &doc.operations;
            record_ = doc.operations.appendEmpty();
            if (!record_)
                return BookingStatus::OutOfMemory;
            if (attach && !(record_->lines = makeLineList(entry_.lines))) {
                doc.operations.remove(record_);
                record_ = nullptr;
                return BookingStatus::OutOfMemory;
            }
        } else {
            doc.operations.linkAfter(doc.operations.last(), record_);
        }
        applied_ = true;

        OperationRecord& r = *record_;
        const double a = entry_.amount;
        const PartyId p = entry_.party;
        r.amount = a;
        setFieldText(r.label, entry_.label);
        r.creatorUserId = r.modifierUserId = currentUserId(doc);
        r.id = doc.nextOperationId;
        r.pointed = 0;
        r.counterpartyId = p;
        if (const Party counterparty = findParty(doc, p)) {
            bookOn(counterparty, -a, 1);
            r.balanceAfterCounterparty = counterparty.balance();
        }
        if (!entry_.labelChosen)
            label_.add(doc, entry_.label, p);
        r.modeId = entry_.modeId;
        r.operationDate = entry_.operationDate;
        r.entryDate = r.modifiedDate = entry_.now;
        journal_.save(doc.nextOperationId);
        doc.nextOperationId += 1;
        bookOn(Party{&account, nullptr}, a, 1);
        r.balanceAfterParty = account.balance;
        r.partyId = account.id;
        r.lineCount = 0;
        if (r.lines) {
            r.lineCount = static_cast<std::uint32_t>(r.lines->count());
            for (VentilationLine& line : *r.lines) {
                copyOperationFields(line, r);
                if (const Party counterparty = findParty(doc, line.counterpartyId)) {
                    bookOn(counterparty, -line.amount, 1);
                    line.balanceAfterCounterparty = counterparty.balance();
                }
            }
        }
        markModified(doc);

        if (refill) {
            trail_ = model.captureBalances(0);
            model.collectRows();
            model.recomputeFrom(0);
            row_ = model.findRow(record_);
            return BookingStatus::Done;
        }
        const int row = model.insertPosition(r, -1);
        trail_ = model.captureBalances(row);
        model.insertRow(row, record_);
        model.recomputeFrom(row);
        row_ = row;
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        Document& doc = model.document();
        if (snapshot_.taken)
            snapshot_.putBack(model);
        else
            model.removeRow(row_);
        model.restoreBalances(trail_);
        journal_.restore();
        label_.takeBack(doc);
        doc.operations.unlink(record_);
        applied_ = false;
        row_ = -1;
    }

  private:
    OperationEntry entry_;
    OperationRecord* record_ = nullptr;
    OperationList* operations_ = nullptr;
    LabelAddition label_;
    bool applied_ = false;
};

// --- Change -------------------------------------------------------------------

class ChangeOperation : public CommandBase {
  public:
    ChangeOperation(OperationRecord* record, int row, OperationEntry entry)
        : record_(record), hint_(row), entry_(std::move(entry)) {}
    ~ChangeOperation() override {
        // The list the document does not hold: the former lines while the
        // change is applied, the new ones while it is taken back.
        OperationList* unused = applied_ ? oldLines_ : newLines_;
        delete unused;
    }
    const char* name() const override { return "modification d'une opération"; }

    BookingStatus apply(RegisterModel& model) override {
        int i = -1;
        if (const BookingStatus refused = refusalToChange(model, record_, hint_, i);
            refused != BookingStatus::Done)
            return refused;
        OperationRecord& r = *record_;
        Document& doc = model.document();
        AccountRecord& account = *model.account();
        const bool attach = entry_.useLines && !entry_.lines.empty();
        const bool hadLines = r.lines && r.lineCount;
        const bool refill = (attach && linesTouch(entry_.lines, account.id)) ||
                            (hadLines && linesTouch(r.lines, account.id));
        const std::size_t oldLineCount = hadLines ? static_cast<std::size_t>(r.lines->count()) : 0;
        try {
            const std::size_t lines = entry_.lines.size() + oldLineCount;
            journal_.reserve(24 + 5 * lines, 512 + (kPartyBytes + kRecordBytes) * lines);
            if (refill)
                snapshot_.take(model);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        if (attach && !newLines_ && !(newLines_ = makeLineList(entry_.lines)))
            return BookingStatus::OutOfMemory;
        applied_ = true;

        const bool own = r.partyId == account.id;
        journal_.save(r);
        OperationRecord t = r;
        const double a = entry_.amount;
        const double n = own ? a : -a;
        const double delta = own ? a - r.amount : r.amount + a;
        const PartyId p = entry_.party;
        t.amount = n;
        setFieldText(t.label, entry_.label);
        t.modifierUserId = currentUserId(doc);
        (own ? t.counterpartyId : t.partyId) = p;
        // The new party takes the operation...
        if (const Party newSide = findParty(doc, p)) {
            bookOn(newSide, own ? -n : n, 1);
            (own ? t.balanceAfterCounterparty : t.balanceAfterParty) += own ? -n : n;
        }
        // ...and the former one gives it back.
        const PartyId q = own ? r.counterpartyId : r.partyId;
        if (const Party oldSide = findParty(doc, q)) {
            bookOn(oldSide, own ? r.amount : -r.amount, -1);
            (own ? t.balanceAfterCounterparty : t.balanceAfterParty) += own ? r.amount : -r.amount;
        }
        // The former ventilation is booked back and dropped.
        oldLines_ = nullptr;
        if (t.lines && t.lineCount) {
            for (const VentilationLine& line : *t.lines) {
                const Party side = findParty(doc, line.counterpartyId);
                if (!side)
                    continue;
                bookOn(side, own ? line.amount : -line.amount, -1);
                if (line.pointed && side.account) {
                    journal_.save(side.account->pointedBalance);
                    side.account->pointedBalance += line.amount;
                }
            }
            oldLines_ = t.lines;
            t.lines = nullptr;
            t.lineCount = 0;
        }
        if (!entry_.labelChosen)
            label_.add(doc, entry_.label, t.counterpartyId);
        t.modeId = entry_.modeId;
        t.operationDate = entry_.operationDate;
        t.modifiedDate = entry_.now;
        bookOn(Party{&account, nullptr}, delta, 0);
        (own ? t.balanceAfterParty : t.balanceAfterCounterparty) += delta;
        if (attach) {
            t.lineCount = static_cast<std::uint32_t>(newLines_->count());
            for (VentilationLine& line : *newLines_) {
                journal_.save(line);
                copyOperationFields(line, t);
                if (const Party side = findParty(doc, line.counterpartyId)) {
                    bookOn(side, -line.amount, 1);
                    line.balanceAfterCounterparty -= line.amount;
                }
            }
            t.lines = newLines_;
        }
        markModified(doc);

        refilled_ = refill;
        if (refill) {
            trail_ = model.captureBalances(0);
            r = t;
            model.collectRows();
            model.recomputeFrom(0);
            row_ = model.findRow(record_);
            return BookingStatus::Done;
        }
        const int j = model.insertPosition(t, i);
        from_ = std::min(i, j);
        trail_ = model.captureBalances(from_);
        r = t;
        oldRow_ = i;
        row_ = i < j ? j - 1 : j;
        model.moveRow(i, row_);
        model.recomputeFrom(from_);
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        if (snapshot_.taken)
            snapshot_.putBack(model);
        else
            model.moveRow(row_, oldRow_);
        journal_.restore();
        model.restoreBalances(trail_);
        label_.takeBack(model.document());
        applied_ = false;
        row_ = refilled_ ? model.findRow(record_) : oldRow_;
    }

  private:
    OperationRecord* record_;
    int hint_;
    OperationEntry entry_;
    OperationList* oldLines_ = nullptr;
    OperationList* newLines_ = nullptr;
    LabelAddition label_;
    int oldRow_ = -1;
    int from_ = 0;
    bool refilled_ = false;
    bool applied_ = false;
};

// --- Deletion -----------------------------------------------------------------

class DeleteOperation : public CommandBase {
  public:
    DeleteOperation(OperationRecord* record, int row) : record_(record), hint_(row) {}
    ~DeleteOperation() override {
        if (applied_) {
            releaseLines(*record_);
            operations_->dispose(record_);
        }
    }
    const char* name() const override { return "suppression d'une opération"; }

    BookingStatus apply(RegisterModel& model) override {
        int i = -1;
        if (const BookingStatus refused = refusalToChange(model, record_, hint_, i);
            refused != BookingStatus::Done)
            return refused;
        OperationRecord& r = *record_;
        Document& doc = model.document();
        AccountRecord& account = *model.account();
        const bool own = r.partyId == account.id;
        const bool splitLines = own && isSplit(r.counterpartyId) && r.lines;
        const bool refill = splitLines && linesTouch(r.lines, account.id);
        try {
            const std::size_t lines = splitLines ? static_cast<std::size_t>(r.lines->count()) : 0;
            journal_.reserve(16 + 4 * lines, 256 + kPartyBytes * 2 * lines);
            if (refill)
                snapshot_.take(model);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        operations_ = &doc.operations;
        applied_ = true;

        double d = 0.0;
        if (own) {
            d = r.amount;
            if (const Party counterparty = findParty(doc, r.counterpartyId)) {
                bookOn(counterparty, d, -1);
            } else if (splitLines) {
                for (const VentilationLine& line : *r.lines) {
                    const Party side = findParty(doc, line.counterpartyId);
                    if (!side)
                        continue;
                    bookOn(side, line.amount, -1);
                    if (line.pointed && side.account) {
                        journal_.save(side.account->pointedBalance);
                        side.account->pointedBalance += line.amount;
                    }
                }
            }
        } else {
            d = -r.amount;
            bookOn(findParty(doc, r.partyId), d, -1);
        }
        bookOn(Party{&account, nullptr}, -d, -1);
        markModified(doc);
        previous_ = doc.operations.previous(record_);

        if (refill) {
            trail_ = model.captureBalances(0);
            doc.operations.unlink(record_);
            model.collectRows();
            model.recomputeFrom(0);
            row_ = std::min(i, model.rowCount() - 1);
            return BookingStatus::Done;
        }
        trail_ = model.captureBalances(i);
        doc.operations.unlink(record_);
        model.removeRow(i);
        model.recomputeFrom(i);
        row_ = std::min(i, model.rowCount() - 1);
        oldRow_ = i;
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        model.document().operations.linkAfter(previous_, record_);
        if (snapshot_.taken)
            snapshot_.putBack(model);
        else
            model.insertRow(oldRow_, record_);
        journal_.restore();
        model.restoreBalances(trail_);
        applied_ = false;
        row_ = model.findRow(record_);
    }

  private:
    OperationRecord* record_;
    int hint_;
    OperationRecord* previous_ = nullptr;
    OperationList* operations_ = nullptr;
    int oldRow_ = -1;
    bool applied_ = false;
};

// --- Tick ---------------------------------------------------------------------

class ToggleTick : public CommandBase {
  public:
    ToggleTick(OperationRecord* record, FileTime now) : record_(record), now_(now) {}
    const char* name() const override { return "pointage d'une opération"; }

    BookingStatus apply(RegisterModel& model) override {
        if (!registerReady(model))
            return BookingStatus::NoAccount;
        const int row = model.findRow(record_);
        if (row < 0)
            return BookingStatus::NotARow;
        try {
            journal_.reserve(8, 256);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        Document& doc = model.document();
        AccountRecord& account = *model.account();
        OperationRecord& r = *record_;
        // The fields the tick rule may move (see setPointed).
        const PartyId other = r.partyId == account.id ? r.counterpartyId : r.partyId;
        journal_.save(r.pointed);
        journal_.save(r.modifierUserId);
        journal_.save(r.modifiedDate);
        journal_.save(account.pointedBalance);
        journal_.save(account.initialPointed);
        if (AccountRecord* otherAccount = findAccountByAccountId(doc, other))
            journal_.save(otherAccount->pointedBalance);
        setPointed(doc, r, r.pointed ? 0 : 1);
        r.modifierUserId = currentUserId(doc);
        r.modifiedDate = now_;
        markModified(doc);
        row_ = row;
        return BookingStatus::Done;
    }

    void revert(RegisterModel&) override { journal_.restore(); }

  private:
    OperationRecord* record_;
    FileTime now_;
};

// --- What the register shows --------------------------------------------------

class SelectAccount : public CommandBase {
  public:
    explicit SelectAccount(AccountRecord* account) : account_(account) {}
    bool changesDocument() const override { return false; }
    const char* name() const override { return "choix du compte"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        try {
            snapshot_.take(model);
            journal_.reserve(2, 16);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        journal_.save(doc.currentAccount);
        doc.currentAccount = account_;
        model.collectRows();
        trail_ = model.captureBalances(0);
        model.recomputeFrom(0);
        row_ = model.rowCount() - 1;
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        model.restoreBalances(trail_);
        journal_.restore();
        snapshot_.putBack(model);
        row_ = model.rowCount() - 1;
    }

  private:
    AccountRecord* account_;
};

class SortOrder : public CommandBase {
  public:
    explicit SortOrder(std::uint32_t order) : order_(order) {}
    bool changesDocument() const override { return false; }
    const char* name() const override { return "ordre du registre"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        try {
            snapshot_.take(model);
            journal_.reserve(2, 16);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        trail_ = model.captureBalances(0);
        journal_.save(doc.sortOrder);
        doc.sortOrder = order_;
        model.sortRows();
        model.recomputeFrom(0);
        row_ = model.rowCount() - 1;
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        journal_.restore();
        snapshot_.putBack(model);
        model.restoreBalances(trail_);
        row_ = model.rowCount() - 1;
    }

  private:
    std::uint32_t order_;
};

// --- Import -------------------------------------------------------------------

class ImportOperations : public CommandBase {
  public:
    explicit ImportOperations(std::vector<OperationEntry> entries) : entries_(std::move(entries)) {}
    ~ImportOperations() override {
        if (applied_)
            return;
        for (OperationRecord* record : records_) {
            releaseLines(*record);
            operations_->dispose(record);
        }
    }
    const char* name() const override { return "importation d'un relevé"; }

    BookingStatus apply(RegisterModel& model) override {
        if (!registerReady(model))
            return BookingStatus::NoAccount;
        Document& doc = model.document();
        AccountRecord& account = *model.account();
        std::size_t lineCount = 0;
        for (const OperationEntry& entry : entries_)
            lineCount += entry.lines.size();
        try {
            journal_.reserve(8 + 6 * entries_.size() + 3 * lineCount,
                             256 + 64 * entries_.size() + (kPartyBytes + kRecordBytes) * lineCount);
            labels_.resize(entries_.size());
            snapshot_.take(model);
            model.reserveRows(model.rowCount() + static_cast<int>(entries_.size() + lineCount));
            records_.reserve(entries_.size());
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        operations_ = &doc.operations;
        if (records_.empty()) {
            for (const OperationEntry& entry : entries_) {
                OperationRecord* record = doc.operations.appendEmpty();
                const bool attach = entry.useLines && !entry.lines.empty();
                if (record && attach && !(record->lines = makeLineList(entry.lines))) {
                    doc.operations.remove(record);
                    record = nullptr;
                }
                if (!record) {
                    for (OperationRecord* made : records_) {
                        releaseLines(*made);
                        doc.operations.remove(made);
                    }
                    records_.clear();
                    snapshot_ = RowsSnapshot{};
                    return BookingStatus::OutOfMemory;
                }
                records_.push_back(record);
            }
        } else {
            for (OperationRecord* record : records_)
                doc.operations.linkAfter(doc.operations.last(), record);
        }
        applied_ = true;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            book(doc, account, entries_[i], *records_[i], labels_[i]);
        markModified(doc);
        trail_ = model.captureBalances(0);
        model.collectRows();
        model.recomputeFrom(0);
        row_ = records_.empty() ? -1 : model.findRow(records_.back());
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        Document& doc = model.document();
        snapshot_.putBack(model);
        model.restoreBalances(trail_);
        journal_.restore();
        for (auto label = labels_.rbegin(); label != labels_.rend(); ++label)
            label->takeBack(doc);
        for (auto record = records_.rbegin(); record != records_.rend(); ++record)
            doc.operations.unlink(*record);
        applied_ = false;
        row_ = -1;
    }

  private:
    // The booking of one new operation, as NewOperation does it.
    void book(Document& doc, AccountRecord& account, const OperationEntry& entry,
              OperationRecord& r, LabelAddition& label) {
        const double a = entry.amount;
        r.amount = a;
        setFieldText(r.label, entry.label);
        r.creatorUserId = r.modifierUserId = currentUserId(doc);
        r.id = doc.nextOperationId;
        r.pointed = 0;
        r.counterpartyId = entry.party;
        if (const Party counterparty = findParty(doc, entry.party)) {
            bookOn(counterparty, -a, 1);
            r.balanceAfterCounterparty = counterparty.balance();
        }
        if (!entry.labelChosen)
            label.add(doc, entry.label, entry.party);
        r.modeId = entry.modeId;
        r.operationDate = entry.operationDate;
        r.entryDate = r.modifiedDate = entry.now;
        journal_.save(doc.nextOperationId);
        doc.nextOperationId += 1;
        bookOn(Party{&account, nullptr}, a, 1);
        r.balanceAfterParty = account.balance;
        r.partyId = account.id;
        r.lineCount = 0;
        if (!r.lines)
            return;
        r.lineCount = static_cast<std::uint32_t>(r.lines->count());
        for (VentilationLine& line : *r.lines) {
            copyOperationFields(line, r);
            if (const Party counterparty = findParty(doc, line.counterpartyId)) {
                bookOn(counterparty, -line.amount, 1);
                line.balanceAfterCounterparty = counterparty.balance();
            }
        }
    }

    std::vector<OperationEntry> entries_;
    std::vector<OperationRecord*> records_;
    std::vector<LabelAddition> labels_;
    OperationList* operations_ = nullptr;
    bool applied_ = false;
};


// --- Reference lists ------------------------------------------------------------

// Records a command adds: made on the first apply, taken out by revert and
// linked back, at the same address, by a redo. Out of the list they belong
// to the command.
template <class Record> class Insertion {
  public:
    Insertion(Record* after, std::vector<Record> records)
        : after_(after), records_(std::move(records)) {}
    ~Insertion() {
        if (list_ && !linked_)
            for (Record* record : made_)
                list_->dispose(record);
    }
    Insertion(const Insertion&) = delete;
    Insertion& operator=(const Insertion&) = delete;

    bool link(RecordList<Record>& list) {
        list_ = &list;
        Record* previous = after_;
        if (!made_.empty()) {
            for (Record* record : made_) {
                list.linkAfter(previous, record);
                previous = record;
            }
            linked_ = true;
            return true;
        }
        try {
            made_.reserve(records_.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const Record& source : records_) {
            Record* made = list.insertAfter(previous, &source);
            if (!made) {
                for (Record* record : made_)
                    list.remove(record);
                made_.clear();
                return false;
            }
            made_.push_back(made);
            previous = made;
        }
        linked_ = true;
        return true;
    }
    void unlink() {
        for (auto record = made_.rbegin(); record != made_.rend(); ++record)
            list_->unlink(*record);
        linked_ = false;
    }

  private:
    Record* after_;
    std::vector<Record> records_;
    std::vector<Record*> made_;
    RecordList<Record>* list_ = nullptr;
    bool linked_ = false;
};

// A record a command takes out of its list, kept for the revert.
template <class Record> class Removal {
  public:
    explicit Removal(Record* record) : record_(record) {}
    ~Removal() {
        if (out_)
            list_->dispose(record_);
    }
    Removal(const Removal&) = delete;
    Removal& operator=(const Removal&) = delete;

    void take(RecordList<Record>& list) {
        list_ = &list;
        previous_ = list.previous(record_);
        list.unlink(record_);
        out_ = true;
    }
    void putBack() {
        list_->linkAfter(previous_, record_);
        out_ = false;
    }

  private:
    Record* record_;
    Record* previous_ = nullptr;
    RecordList<Record>* list_ = nullptr;
    bool out_ = false;
};

template <class Record, RecordList<Record> Document::*List>
class AddRecords : public CommandBase {
  public:
    AddRecords(const char* name, Record* after, std::vector<Record> records)
        : name_(name), insertion_(after, std::move(records)) {}
    const char* name() const override { return name_; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        if (!insertion_.link(doc.*List))
            return BookingStatus::OutOfMemory;
        markModified(doc);
        return BookingStatus::Done;
    }
    void revert(RegisterModel&) override {
        insertion_.unlink();
        journal_.restore();
    }

  private:
    const char* name_;
    Insertion<Record> insertion_;
};

class ToggleCategoryShown : public CommandBase {
  public:
    explicit ToggleCategoryShown(CategoryRecord* category) : category_(category) {}
    const char* name() const override { return "masquage de catégorie"; }

    BookingStatus apply(RegisterModel& model) override {
        journal_.save(category_->shown);
        category_->shown = category_->shown ? 0 : 1;
        markModified(model.document());
        return BookingStatus::Done;
    }
    void revert(RegisterModel&) override { journal_.restore(); }

  private:
    CategoryRecord* category_;
};

class RebindLabel : public CommandBase {
  public:
    RebindLabel(LabelRecord* label, CategoryId party) : label_(label), party_(party) {}
    const char* name() const override { return "modification de libellé"; }

    BookingStatus apply(RegisterModel& model) override {
        journal_.save(label_->categoryId);
        label_->categoryId = party_;
        markModified(model.document());
        return BookingStatus::Done;
    }
    void revert(RegisterModel&) override { journal_.restore(); }

  private:
    LabelRecord* label_;
    CategoryId party_;
};

class DeleteLabel : public CommandBase {
  public:
    explicit DeleteLabel(LabelRecord* label) : removal_(label) {}
    const char* name() const override { return "suppression de libellé"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        removal_.take(doc.labels);
        markModified(doc);
        return BookingStatus::Done;
    }
    void revert(RegisterModel&) override {
        removal_.putBack();
        journal_.restore();
    }

  private:
    Removal<LabelRecord> removal_;
};

class WithdrawMode : public CommandBase {
  public:
    WithdrawMode(ModeRecord* mode, ModeRecord* replacement)
        : mode_(mode), replacement_(replacement), removal_(mode) {}
    const char* name() const override { return "suppression de mode de transaction"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        if (mode_->kind != 1)
            return BookingStatus::ModeInUse;
        std::vector<std::uint16_t*> users;
        try {
            for (OperationRecord& operation : doc.operations) {
                if (operation.modeId == mode_->id)
                    users.push_back(&operation.modeId);
                if (operation.lines)
                    for (VentilationLine& line : *operation.lines)
                        if (line.modeId == mode_->id)
                            users.push_back(&line.modeId);
            }
            journal_.reserve(users.size() + 1, (users.size() + 1) * sizeof(std::uint32_t));
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        if (!users.empty() && (!replacement_ || replacement_ == mode_))
            return BookingStatus::ModeInUse;
        for (std::uint16_t* modeId : users) {
            journal_.save(*modeId);
            *modeId = replacement_->id;
        }
        removal_.take(doc.modes);
        markModified(doc);
        return BookingStatus::Done;
    }
    void revert(RegisterModel&) override {
        removal_.putBack();
        journal_.restore();
    }

  private:
    ModeRecord* mode_;
    ModeRecord* replacement_;
    Removal<ModeRecord> removal_;
};

class MoveMode : public CommandBase {
  public:
    MoveMode(ModeRecord* mode, ModeRecord* after) : mode_(mode), after_(after) {}
    const char* name() const override { return "classement des modes de transaction"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        if (after_ == mode_)
            return BookingStatus::NotARow;
        previous_ = doc.modes.previous(mode_);
        doc.modes.unlink(mode_);
        doc.modes.linkAfter(after_, mode_);
        markModified(doc);
        return BookingStatus::Done;
    }
    void revert(RegisterModel& model) override {
        Document& doc = model.document();
        doc.modes.unlink(mode_);
        doc.modes.linkAfter(previous_, mode_);
        journal_.restore();
    }

  private:
    ModeRecord* mode_;
    ModeRecord* after_;
    ModeRecord* previous_ = nullptr;
};
} // namespace

std::unique_ptr<BookingCommand> makeNewOperation(OperationEntry entry) {
    return std::make_unique<NewOperation>(std::move(entry));
}
std::unique_ptr<BookingCommand> makeChangeOperation(OperationRecord* record, int row,
                                                    OperationEntry entry) {
    return std::make_unique<ChangeOperation>(record, row, std::move(entry));
}
std::unique_ptr<BookingCommand> makeDeleteOperation(OperationRecord* record, int row) {
    return std::make_unique<DeleteOperation>(record, row);
}
std::unique_ptr<BookingCommand> makeToggleTick(OperationRecord* record, FileTime now) {
    return std::make_unique<ToggleTick>(record, now);
}
std::unique_ptr<BookingCommand> makeSelectAccount(AccountRecord* account) {
    return std::make_unique<SelectAccount>(account);
}
std::unique_ptr<BookingCommand> makeSortOrder(std::uint32_t sortOrder) {
    return std::make_unique<SortOrder>(sortOrder);
}
std::unique_ptr<BookingCommand> makeImportOperations(std::vector<OperationEntry> entries) {
    return std::make_unique<ImportOperations>(std::move(entries));
}

std::unique_ptr<BookingCommand> makeAddCategories(CategoryRecord* after,
                                                  std::vector<CategoryRecord> records) {
    return std::make_unique<AddRecords<CategoryRecord, &Document::categories>>(
        "ajout de catégorie", after, std::move(records));
}
std::unique_ptr<BookingCommand> makeToggleCategoryShown(CategoryRecord* category) {
    return std::make_unique<ToggleCategoryShown>(category);
}
std::unique_ptr<BookingCommand> makeAddLabel(LabelRecord* after, const LabelRecord& label) {
    return std::make_unique<AddRecords<LabelRecord, &Document::labels>>(
        "ajout de libellé", after, std::vector<LabelRecord>{label});
}
std::unique_ptr<BookingCommand> makeRebindLabel(LabelRecord* label, CategoryId party) {
    return std::make_unique<RebindLabel>(label, party);
}
std::unique_ptr<BookingCommand> makeDeleteLabel(LabelRecord* label) {
    return std::make_unique<DeleteLabel>(label);
}
std::unique_ptr<BookingCommand> makeAddMode(ModeRecord* after, const ModeRecord& mode) {
    return std::make_unique<AddRecords<ModeRecord, &Document::modes>>(
        "ajout de mode de transaction", after, std::vector<ModeRecord>{mode});
}
std::unique_ptr<BookingCommand> makeWithdrawMode(ModeRecord* mode, ModeRecord* replacement) {
    return std::make_unique<WithdrawMode>(mode, replacement);
}
std::unique_ptr<BookingCommand> makeMoveMode(ModeRecord* mode, ModeRecord* after) {
    return std::make_unique<MoveMode>(mode, after);
}

// --- History ------------------------------------------------------------------

namespace {
constexpr std::uint64_t kNoState = ~std::uint64_t{0};
}

BookingHistory::BookingHistory(RegisterModel& model) : model_(model) {
    savedState_ = model.document().isModified ? kNoState : baseState_;
}

void BookingHistory::followSavedState() {
    model_.document().isModified = currentState() != savedState_;
    if (changed)
        changed();
}

void BookingHistory::markSaved() {
    savedState_ = currentState();
    followSavedState();
}

void BookingHistory::changedOutside() {
    savedState_ = kNoState;
    followSavedState();
}

std::size_t BookingHistory::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Step& step : done_)
        bytes += step.command->memoryBytes();
    for (const Step& step : undone_)
        bytes += step.command->memoryBytes();
    return bytes;
}

void BookingHistory::dropOldSteps() {
    // Only done steps are left when this runs: a new step forgot the others.
    std::size_t bytes = memoryBytes();
    while (done_.size() > 1 && (done_.size() > kMaxSteps || bytes > kMaxBytes)) {
        bytes -= done_.front().command->memoryBytes();
        baseState_ = done_.front().state;
        done_.erase(done_.begin()); // its change stands for good
    }
}

BookingStatus BookingHistory::perform(std::unique_ptr<BookingCommand> command) {
    if (!command)
        return BookingStatus::OutOfMemory;
    try {
        done_.reserve(done_.size() + 1);
    } catch (const std::bad_alloc&) {
        return BookingStatus::OutOfMemory;
    }
    const BookingStatus status = command->apply(model_);
    if (status != BookingStatus::Done)
        return status;
    lastRow_ = command->row();
    const std::uint64_t state = command->changesDocument() ? ++lastState_ : currentState();
    done_.push_back(Step{std::move(command), state});
    while (!undone_.empty())
        undone_.pop_back();
    dropOldSteps();
    followSavedState();
    return status;
}

bool BookingHistory::stepBack() {
    return moveStep(done_, undone_, [this](BookingCommand& command) { command.revert(model_); });
}

bool BookingHistory::stepForward() {
    // It was applied to this very state before: it applies again.
    return moveStep(undone_, done_, [this](BookingCommand& command) { command.apply(model_); });
}

bool BookingHistory::moveStep(std::vector<Step>& from, std::vector<Step>& to,
                              const std::function<void(BookingCommand&)>& play) {
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    play(*step.command);
    lastRow_ = step.command->row();
    to.push_back(std::move(step));
    followSavedState();
    return true;
}

const BookingCommand* BookingHistory::nextUndo() const {
    for (auto it = done_.rbegin(); it != done_.rend(); ++it)
        if (it->command->changesDocument())
            return it->command.get();
    return nullptr;
}

const BookingCommand* BookingHistory::nextRedo() const {
    for (auto it = undone_.rbegin(); it != undone_.rend(); ++it)
        if (it->command->changesDocument())
            return it->command.get();
    return nullptr;
}

bool BookingHistory::canUndo() const {
    return nextUndo() != nullptr;
}

bool BookingHistory::canRedo() const {
    return nextRedo() != nullptr;
}

bool BookingHistory::undo() {
    if (!canUndo())
        return false;
    while (!done_.back().command->changesDocument())
        stepBack();
    return stepBack();
}

bool BookingHistory::redo() {
    if (!canRedo())
        return false;
    while (!undone_.back().command->changesDocument())
        stepForward();
    stepForward();
    while (!undone_.empty() && !undone_.back().command->changesDocument())
        stepForward();
    return true;
}

void BookingHistory::clear() {
    while (!undone_.empty())
        undone_.pop_back();
    while (!done_.empty())
        done_.pop_back();
    lastRow_ = -1;
    baseState_ = ++lastState_;
    savedState_ = model_.document().isModified ? kNoState : baseState_;
    if (changed)
        changed();
}

} // namespace kolvane
