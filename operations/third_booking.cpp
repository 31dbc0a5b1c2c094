// The booking commands of third parties: creation, new initial balance and
// note, renaming, masking, deletion and the transfer of their operations.
#include "booking.h"
#include "booking_journal.h"

#include "document/calendar.h"
#include "document/text.h"

#include <new>
#include <type_traits>

namespace kolvane {
namespace {

// The register rows as they were, put back on revert after a change that
// moved operations in or out of the current account.
class RegisterRows {
  public:
    // Throws std::bad_alloc before anything changed.
    void take(const RegisterModel& model) {
        rows_ = model.rows();
        account_ = model.account();
        chained_ = model.balancesChained();
        trail_ = model.captureBalances(0);
    }
    // The balances the new rows had are journaled before they are rewritten:
    // rows that came in with the change are not in the trail.
    void refill(RegisterModel& model, Journal& journal) {
        if (!account_)
            return;
        model.collectRows();
        for (OperationRecord* row : model.rows()) {
            journal.save(row->balanceAfterParty);
            journal.save(row->balanceAfterCounterparty);
        }
        model.recomputeFrom(0);
    }
    void putBack(RegisterModel& model) {
        model.restoreRows(account_, rows_, chained_);
        model.restoreBalances(trail_);
    }

  private:
    std::vector<OperationRecord*> rows_;
    AccountRecord* account_ = nullptr;
    bool chained_ = false;
    RegisterModel::BalanceTrail trail_;
};

// Records taken out of a list: linked back in reverse order on revert, each
// after the record that preceded it, and released with the command once the
// removal stands.
template <class Record> class Removals {
  public:
    ~Removals() { dispose(); }
    void reserve(std::size_t count) { removed_.reserve(count); }
    void remove(RecordList<Record>& list, Record* record) {
        list_ = &list;
        removed_.push_back({record, list.previous(record)});
        list.unlink(record);
        standing_ = true;
    }
    void linkBack() {
        for (auto it = removed_.rbegin(); it != removed_.rend(); ++it)
            list_->linkAfter(it->previous, it->record);
        removed_.clear();
        standing_ = false;
    }

  private:
    void dispose() {
        if (!standing_)
            return;
        for (const Removed& removed : removed_) {
            if constexpr (std::is_same_v<Record, OperationRecord>)
                releaseLines(*removed.record);
            list_->dispose(removed.record);
        }
    }
    struct Removed {
        Record* record;
        Record* previous;
    };
    RecordList<Record>* list_ = nullptr;
    std::vector<Removed> removed_;
    bool standing_ = false;
};

class ThirdCommand : public BookingCommand {
  public:
    void revert(RegisterModel& model) override {
        operations_.linkBack();
        thirds_.linkBack();
        journal_.restore();
        if (rows_)
            rows_->putBack(model);
        rows_.reset();
    }

  protected:
    void markModified(Document& doc) {
        journal_.save(doc.isModified);
        doc.isModified = 1;
    }
    // The initial-balance operation of `third` takes `amount`.
    void changeInitialOperation(Document& doc, const ThirdRecord& third, double amount, FileTime now) {
        for (OperationRecord& operation : doc.operations) {
            if (operation.id != third.initialOperationId)
                continue;
            journal_.save(operation);
            operation.amount = amount;
            operation.balanceAfterParty = amount;
            operation.modifierUserId = currentUserId(doc);
            operation.modifiedDate = now;
            return;
        }
    }

    Journal journal_;
    Removals<OperationRecord> operations_;
    Removals<ThirdRecord> thirds_;
    std::unique_ptr<RegisterRows> rows_;
};

// --- Creation -----------------------------------------------------------------

class NewThird : public ThirdCommand {
  public:
    explicit NewThird(ThirdEntry entry) : entry_(std::move(entry)) {}
    ~NewThird() override {
        if (third_ && !applied_) {
            thirdList_->dispose(third_);
            operationList_->dispose(operation_);
        }
    }
    const char* name() const override { return "création d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        try {
            journal_.reserve(8, 64);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        if (!third_) {
            ThirdRecord* third = doc.thirds.appendEmpty();
            if (!third)
                return BookingStatus::OutOfMemory;
            OperationRecord* operation = doc.operations.appendEmpty();
            if (!operation) {
                doc.thirds.remove(third);
                return BookingStatus::OutOfMemory;
            }
            third_ = third;
            operation_ = operation;
            thirdList_ = &doc.thirds;
            operationList_ = &doc.operations;
        } else {
            doc.thirds.linkAfter(doc.thirds.last(), third_);
            doc.operations.linkAfter(doc.operations.last(), operation_);
        }
        applied_ = true;

        ThirdRecord& t = *third_;
        setFieldText(t.name, entry_.name);
        setFieldText(t.note, entry_.note);
        t.initialBalance = entry_.initialBalance;
        t.balance = entry_.initialBalance;
        t.active = 1;
        t.operationCount = 1;
        journal_.save(doc.nextThirdNumber);
        t.id = makePartyId(Third, doc.nextThirdNumber++);

        OperationRecord& r = *operation_;
        r.amount = entry_.initialBalance;
        r.balanceAfterParty = entry_.initialBalance;
        r.partyId = t.id;
        r.counterpartyId = InitialBalance;
        r.creatorUserId = r.modifierUserId = currentUserId(doc);
        journal_.save(doc.nextOperationId);
        r.id = doc.nextOperationId++;
        t.initialOperationId = r.id;
        setFieldUtf8(r.label, kInitialBalanceLabel);
        r.entryDate = r.modifiedDate = entry_.now;
        r.operationDate = initialBalanceDate(entry_.now);
        markModified(doc);
        return BookingStatus::Done;
    }

    void revert(RegisterModel& model) override {
        ThirdCommand::revert(model);
        Document& doc = model.document();
        doc.thirds.unlink(third_);
        doc.operations.unlink(operation_);
        applied_ = false;
    }

  private:
    ThirdEntry entry_;
    ThirdRecord* third_ = nullptr;
    OperationRecord* operation_ = nullptr;
    ThirdList* thirdList_ = nullptr;
    OperationList* operationList_ = nullptr;
    bool applied_ = false;
};

// --- Initial balance and note, name, mask -------------------------------------------

class ChangeThird : public ThirdCommand {
  public:
    ChangeThird(ThirdRecord* third, ThirdEntry entry) : third_(third), entry_(std::move(entry)) {}
    const char* name() const override { return "modification d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        try {
            journal_.reserve(8, 512);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        ThirdRecord& t = *third_;
        journal_.save(t);
        t.balance += entry_.initialBalance - t.initialBalance;
        t.initialBalance = entry_.initialBalance;
        setFieldText(t.note, entry_.note);
        changeInitialOperation(doc, t, entry_.initialBalance, entry_.now);
        markModified(doc);
        return BookingStatus::Done;
    }

  private:
    ThirdRecord* third_;
    ThirdEntry entry_;
};

class RenameThird : public ThirdCommand {
  public:
    RenameThird(ThirdRecord* third, std::string name) : third_(third), name_(std::move(name)) {}
    const char* name() const override { return "renommage d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        try {
            journal_.reserve(4, 64);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        journal_.save(third_->name);
        setFieldText(third_->name, name_);
        markModified(model.document());
        return BookingStatus::Done;
    }

  private:
    ThirdRecord* third_;
    std::string name_;
};

class MaskThird : public ThirdCommand {
  public:
    explicit MaskThird(ThirdRecord* third) : third_(third) {}
    const char* name() const override { return "masquage d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        try {
            journal_.reserve(4, 16);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        journal_.save(third_->active);
        third_->active = 0;
        markModified(model.document());
        return BookingStatus::Done;
    }

  private:
    ThirdRecord* third_;
};

// --- Deletion -----------------------------------------------------------------

class DeleteThird : public ThirdCommand {
  public:
    explicit DeleteThird(ThirdRecord* third) : third_(third) {}
    const char* name() const override { return "suppression d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        Document& doc = model.document();
        try {
            journal_.reserve(4, 16);
            operations_.reserve(1);
            thirds_.reserve(1);
        } catch (const std::bad_alloc&) {
            return BookingStatus::OutOfMemory;
        }
        for (OperationRecord& operation : doc.operations)
            if (operation.partyId == third_->id) {
                operations_.remove(doc.operations, &operation);
                break;
            }
        thirds_.remove(doc.thirds, third_);
        markModified(doc);
        return BookingStatus::Done;
    }

  private:
    ThirdRecord* third_;
};

// Every operation and line of the third party X goes to the target T. An
// operation that ends with T on both sides moves nothing and is removed: T
// gets back what the operation had booked on it (the share v it gave T, the
// same that a moved operation adds), one operation less, and, when ticked,
// the same share off its ticked balance. The document then holds exactly
// what a booking of the moved operations from scratch would give.
class TransferThird : public ThirdCommand {
  public:
    TransferThird(ThirdRecord* third, PartyId target) : third_(third), target_(target) {}
    const char* name() const override { return "suppression d'un Tiers"; }

    BookingStatus apply(RegisterModel& model) override {
        if (target_ == 0)
            return BookingStatus::NoTarget;
        const PartyId x = third_->id;
        if (target_ == x)
            return BookingStatus::SameThird;
        Document& doc = model.document();
        AccountRecord* account = findAccountByAccountId(doc, target_);
        ThirdRecord* third = isThird(target_) ? findThirdById(doc, target_) : nullptr;
        std::size_t touched = 0;
        try {
            for (const OperationRecord& operation : doc.operations) {
                touched += operation.partyId == x || operation.counterpartyId == x;
                if (operation.lines && operation.lineCount)
                    for (const VentilationLine& line : *operation.lines)
                        touched += line.counterpartyId == x;
            }
            const std::size_t rows = static_cast<std::size_t>(model.rowCount()) + touched;
            journal_.reserve(8 + 4 * touched + 2 * rows,
                             64 + 2 * sizeof(OperationRecord) * touched + 2 * sizeof(double) * rows);
            operations_.reserve(touched);
            thirds_.reserve(1);
            rows_ = std::make_unique<RegisterRows>();
            rows_->take(model);
        } catch (const std::bad_alloc&) {
            rows_.reset();
            return BookingStatus::OutOfMemory;
        }

        auto book = [&](double v, int count, bool pointed) {
            if (account) {
                journal_.save(account->balance);
                journal_.save(account->operationCount);
                account->balance += v;
                account->operationCount += static_cast<std::uint32_t>(count);
                if (pointed) {
                    journal_.save(account->pointedBalance);
                    account->pointedBalance += v;
                }
            } else if (third) {
                journal_.save(third->balance);
                journal_.save(third->operationCount);
                third->balance += v;
                third->operationCount += static_cast<std::uint32_t>(count);
            }
        };
        OperationRecord* next = nullptr;
        for (OperationRecord* r = doc.operations.first(); r; r = next) {
            next = doc.operations.next(r);
            if (r->partyId == x && isInitialBalance(r->counterpartyId)) {
                operations_.remove(doc.operations, r);
                continue;
            }
            double v = 0.0;
            if (r->partyId == x) {
                journal_.save(r->partyId);
                r->partyId = target_;
                v = r->amount;
            } else if (r->counterpartyId == x) {
                journal_.save(r->counterpartyId);
                r->counterpartyId = target_;
                v = -r->amount;
            } else {
                if (isSplit(r->counterpartyId) && r->lineCount && r->lines)
                    for (VentilationLine& line : *r->lines) {
                        if (line.counterpartyId != x)
                            continue;
                        journal_.save(line.counterpartyId);
                        line.counterpartyId = target_;
                        book(-line.amount, 1, line.pointed != 0);
                    }
                continue;
            }
            if (r->partyId == r->counterpartyId && (account || third)) {
                book(v, -1, r->pointed != 0);
                operations_.remove(doc.operations, r);
            } else {
                book(v, 1, r->pointed != 0);
            }
        }
        thirds_.remove(doc.thirds, third_);
        markModified(doc);
        rows_->refill(model, journal_);
        return BookingStatus::Done;
    }

  private:
    ThirdRecord* third_;
    PartyId target_;
};

} // namespace

std::unique_ptr<BookingCommand> makeNewThird(ThirdEntry entry) {
    return std::make_unique<NewThird>(std::move(entry));
}
std::unique_ptr<BookingCommand> makeChangeThird(ThirdRecord* third, ThirdEntry entry) {
    return std::make_unique<ChangeThird>(third, std::move(entry));
}
std::unique_ptr<BookingCommand> makeRenameThird(ThirdRecord* third, std::string name) {
    return std::make_unique<RenameThird>(third, std::move(name));
}
std::unique_ptr<BookingCommand> makeMaskThird(ThirdRecord* third) {
    return std::make_unique<MaskThird>(third);
}
std::unique_ptr<BookingCommand> makeDeleteThird(ThirdRecord* third) {
    return std::make_unique<DeleteThird>(third);
}
std::unique_ptr<BookingCommand> makeTransferThird(ThirdRecord* third, PartyId target) {
    return std::make_unique<TransferThird>(third, target);
}

} // namespace kolvane
