#include "operations/booking.h"

#include "accounts/account_editing.h"

#include "document/account_file.h"
#include "document/document_check.h"
#include "document/register_order.h"
#include "lists/category_rules.h"
#include "lists/mode_rules.h"
#include "operations/account_steps.h"
#include "operations/entry_rules.h"
#include "register_sample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace kolvane {
namespace {

using sample::line;

constexpr PartyId kSupermarket = Category | 0x0001;
constexpr PartyId kCanteen = Category | 0x0002;
const FileTime kNow = sample::date(2024, 6, 1, 9);

OperationEntry entry(double amount, PartyId party, const char* label,
                     FileTime when = sample::date(2024, 5, 1)) {
    OperationEntry e;
    e.amount = amount;
    e.party = party;
    e.modeId = amount < 0 ? 0x0001 : 0x8001;
    e.operationDate = when;
    e.label = utf8ToCp1252(label);
    e.now = kNow;
    return e;
}

class Booking : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        ASSERT_EQ(history.perform(makeSelectAccount(s.a)), BookingStatus::Done);
    }
    void TearDown() override { EXPECT_EQ(checkDocument(doc), std::vector<std::string>{}); }

    BookingStatus book(OperationEntry e) { return history.perform(makeNewOperation(std::move(e))); }
    BookingStatus change(OperationRecord* r, OperationEntry e) {
        return history.perform(makeChangeOperation(r, -1, std::move(e)));
    }
    std::string cell(int row, int column) { return cp1252ToUtf8(model.cellText(row, column)); }

    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
    BookingHistory history{model};
};

TEST_F(Booking, ANewDebitIsBookedAndShownLast) {
    const int labels = doc.labels.count();
    ASSERT_EQ(book(entry(-12.50, kSupermarket, "Marché")), BookingStatus::Done);
    const OperationRecord& r = *doc.operations.last();
    EXPECT_EQ(r.amount, -12.50);
    EXPECT_EQ(r.partyId, s.a->id);
    EXPECT_EQ(r.counterpartyId, kSupermarket);
    EXPECT_EQ(r.id, 9u);
    EXPECT_EQ(r.entryDate, kNow);
    EXPECT_EQ(r.modifiedDate, kNow);
    EXPECT_EQ(doc.nextOperationId, 10u);
    EXPECT_DOUBLE_EQ(s.a->balance, 1150.0);
    EXPECT_EQ(s.a->operationCount, 7u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(history.lastRow(), 6);
    EXPECT_EQ(model.record(6), &r);
    EXPECT_EQ(cell(6, kColumnDebit), "12.50");
    EXPECT_EQ(cell(6, kColumnBalance), "1 150.00");
    // A typed label joins the list once, whatever its case.
    ASSERT_EQ(book(entry(-3.0, kSupermarket, "MARCHÉ")), BookingStatus::Done);
    EXPECT_EQ(doc.labels.count(), labels + 1);
    OperationEntry chosen = entry(-3.0, kSupermarket, "Boulangerie");
    chosen.labelChosen = true;
    ASSERT_EQ(book(chosen), BookingStatus::Done);
    EXPECT_EQ(doc.labels.count(), labels + 1);
}

TEST_F(Booking, AnIncomingTransferChangedFromTheReceivingAccountKeepsItsParty) {
    ASSERT_EQ(change(s.transfer, entry(80.0, s.b->id, "Virement", s.transfer->operationDate)),
              BookingStatus::Done);
    EXPECT_EQ(s.transfer->amount, -80.0);
    EXPECT_EQ(s.transfer->partyId, s.b->id);
    EXPECT_EQ(s.transfer->counterpartyId, s.a->id);
    EXPECT_DOUBLE_EQ(s.a->balance, 1142.50);
    EXPECT_DOUBLE_EQ(s.b->balance, 340.0);
    EXPECT_EQ(s.b->operationCount, 3u);
    EXPECT_EQ(cell(2, kColumnCredit), "80.00");
    EXPECT_EQ(cell(5, kColumnBalance), "1 142.50");
}

TEST_F(Booking, ChangesKeepTheRowInEntryOrderAndShiftTheBalancesAfterIt) {
    std::vector<std::string> before;
    for (int row = 0; row < 6; ++row)
        before.push_back(cell(row, kColumnBalance));
    OperationEntry relabel = entry(-30.0, Split, "Divers et variés", s.waiting->operationDate);
    ASSERT_EQ(change(s.waiting, relabel), BookingStatus::Done);
    EXPECT_EQ(model.record(4), s.waiting);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(cell(row, kColumnBalance), before[static_cast<std::size_t>(row)]);
    ASSERT_EQ(change(s.waiting, entry(-40.0, Split, "Divers", s.waiting->operationDate)),
              BookingStatus::Done);
    EXPECT_EQ(cell(3, kColumnBalance), "1 147.50");
    EXPECT_EQ(cell(4, kColumnBalance), "1 107.50");
    EXPECT_EQ(cell(5, kColumnBalance), "1 152.50");
    // In date order a new date moves the row, the balances following it.
    ASSERT_EQ(history.perform(makeSortOrder(1)), BookingStatus::Done);
    ASSERT_EQ(change(s.waiting, entry(-40.0, Split, "Divers", sample::date(2024, 3, 8))),
              BookingStatus::Done);
    EXPECT_EQ(history.lastRow(), 4);
    EXPECT_EQ(model.record(4), s.waiting);
    EXPECT_EQ(cell(3, kColumnBalance), "1 132.50");
    EXPECT_EQ(cell(5, kColumnBalance), "1 152.50");
}

TEST_F(Booking, ASplitBooksEachLineOrWaitsWhenTheLinesDoNotAddUp) {
    EntryForm form;
    form.debit = 100.0;
    form.label = "Cadeaux";
    form.party = Split;
    form.modeId = 1;
    form.operationDate = sample::date(2024, 5, 2);
    const std::vector<VentilationLine> lines = {line(s.third->id, -60.0), line(s.b->id, -40.0)};
    ValidationResult checked = validateEntry(form, nullptr, &lines, kNow);
    ASSERT_EQ(checked.outcome, Validation::Book);
    ASSERT_EQ(book(checked.entry), BookingStatus::Done);
    const OperationRecord& split = *doc.operations.last();
    ASSERT_EQ(split.lineCount, 2u);
    EXPECT_DOUBLE_EQ(s.third->balance, 15.0);
    EXPECT_DOUBLE_EQ(s.b->balance, 360.0);
    EXPECT_EQ(s.b->operationCount, 4u);
    EXPECT_DOUBLE_EQ(s.a->balance, 1062.50);
    for (const VentilationLine& l : *split.lines) {
        EXPECT_EQ(l.id, split.id);
        EXPECT_STREQ(l.label, "Cadeaux");
    }
    EXPECT_EQ(split.lines->last()->balanceAfterCounterparty, 360.0);

    const std::vector<VentilationLine> short90 = {line(kSupermarket, -60.0), line(kCanteen, -30.0)};
    checked = validateEntry(form, nullptr, &short90, kNow);
    ASSERT_EQ(checked.outcome, Validation::AskLinesDiffer);
    ASSERT_EQ(book(withoutLines(checked.entry)), BookingStatus::Done);
    EXPECT_EQ(doc.operations.last()->lineCount, 0u);
    EXPECT_EQ(cell(7, kColumnCategory), "Opération ventillée (en attente)");
}

TEST_F(Booking, ChangingASplitDropsTheTicksOfItsLinesElsewhere) {
    VentilationLine& toA = *s.split->lines->first();
    ASSERT_EQ(history.perform(makeToggleTick(&toA, kNow)), BookingStatus::Done);
    EXPECT_DOUBLE_EQ(s.a->pointedBalance, 47.50);
    ASSERT_EQ(history.perform(makeSelectAccount(s.b)), BookingStatus::Done);
    OperationEntry same = entry(-80.0, Split, "Partage", s.split->operationDate);
    same.useLines = true;
    same.lines = copyLines(*s.split);
    ASSERT_EQ(change(s.split, same), BookingStatus::Done);
    EXPECT_DOUBLE_EQ(s.a->pointedBalance, -12.50);
    EXPECT_DOUBLE_EQ(s.a->balance, 1162.50);
    EXPECT_EQ(s.split->lines->first()->pointed, 0);
}

TEST_F(Booking, DeletionUndoesEverythingTheRowBooked) {
    ASSERT_EQ(history.perform(makeDeleteOperation(s.refund, 5)), BookingStatus::Done);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_DOUBLE_EQ(s.a->balance, 1117.50);
    EXPECT_DOUBLE_EQ(s.third->balance, 0.0);
    EXPECT_EQ(s.third->operationCount, 1u);
    EXPECT_EQ(cell(4, kColumnBalance), "1 117.50");
    ASSERT_EQ(history.perform(makeDeleteOperation(s.transfer, 2)), BookingStatus::Done);
    EXPECT_DOUBLE_EQ(s.b->balance, 420.0);
    EXPECT_EQ(s.b->operationCount, 2u);
    EXPECT_EQ(cell(2, kColumnBalance), "1 047.50");
    EXPECT_EQ(cell(3, kColumnBalance), "1 017.50");
    EXPECT_EQ(doc.operations.count(), 7);

    const std::vector<std::uint8_t> bytes = serializeDocument(doc);
    struct Refused {
        int row;
        BookingStatus status;
    };
    for (Refused r : {Refused{0, BookingStatus::InitialBalance}, Refused{1, BookingStatus::Ticked},
                      Refused{2, BookingStatus::VentilationLine}}) {
        EXPECT_EQ(history.perform(makeDeleteOperation(model.record(r.row), r.row)), r.status);
        EXPECT_EQ(history.perform(
                      makeChangeOperation(model.record(r.row), r.row, entry(-1.0, kCanteen, "x"))),
                  r.status);
    }
    EXPECT_EQ(history.perform(makeDeleteOperation(s.split, -1)), BookingStatus::NotARow);
    EXPECT_EQ(serializeDocument(doc), bytes);
}

TEST_F(Booking, TicksFollowTheTickRuleBothWays) {
    struct Case {
        OperationRecord* record;
        double pointedA, pointedB;
        std::uint16_t initialPointed;
    };
    const Case cases[] = {
        {s.transfer, 87.50, -100.0, 0},
        {doc.operations.first(), 987.50, 0.0, 1},
        {s.ticked, 0.0, 0.0, 0},
        {s.refund, 32.50, 0.0, 0}, // from a third party
    };
    for (const Case& c : cases) {
        ASSERT_EQ(history.perform(makeToggleTick(c.record, kNow)), BookingStatus::Done);
        EXPECT_DOUBLE_EQ(s.a->pointedBalance, c.pointedA);
        EXPECT_DOUBLE_EQ(s.b->pointedBalance, c.pointedB);
        EXPECT_EQ(s.a->initialPointed, c.initialPointed);
        EXPECT_EQ(c.record->modifiedDate, kNow);
        EXPECT_EQ(history.perform(makeToggleTick(c.record, kNow)), BookingStatus::Done);
        EXPECT_DOUBLE_EQ(s.a->pointedBalance, -12.50);
        EXPECT_DOUBLE_EQ(s.b->pointedBalance, 0.0);
    }
    EXPECT_EQ(history.perform(makeToggleTick(s.split, kNow)), BookingStatus::NotARow);
}

TEST_F(Booking, UndoTakesBackTheViewChangesWithTheStepBeforeThem) {
    EXPECT_FALSE(history.canUndo());
    ASSERT_EQ(book(entry(-5.0, kCanteen, "Café")), BookingStatus::Done);
    ASSERT_EQ(history.perform(makeSelectAccount(s.b)), BookingStatus::Done);
    ASSERT_EQ(history.perform(makeSortOrder(1)), BookingStatus::Done);
    EXPECT_STREQ(history.nextUndo()->name(), "saisie d'une opération");
    EXPECT_TRUE(history.undo());
    EXPECT_EQ(doc.currentAccount, s.a);
    EXPECT_EQ(doc.sortOrder, 0u);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(history.lastRow(), -1); // the operation has no row any more
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.redo());
    EXPECT_EQ(doc.currentAccount, s.b);
    EXPECT_EQ(doc.sortOrder, 1u);
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redo());
    EXPECT_TRUE(history.undo());
    ASSERT_EQ(history.perform(makeToggleTick(s.refund, kNow)), BookingStatus::Done);
    EXPECT_FALSE(history.canRedo()); // a new step forgets what was undone
    EXPECT_TRUE(history.undo());
    EXPECT_FALSE(history.undo());
}

// The register's rows are those a fresh fill finds, in order, each with the
// running sum of the rows before it.
void expectRegisterConsistent(const RegisterModel& model) {
    RegisterModel fresh(model.document());
    fresh.collectRows();
    std::vector<OperationRecord*> held = model.rows(), found = fresh.rows();
    std::sort(held.begin(), held.end());
    std::sort(found.begin(), found.end());
    ASSERT_EQ(held, found);
    const OperationCompare compare = compareForSortOrder(model.document().sortOrder);
    double running = 0.0;
    for (int row = 0; row < model.rowCount(); ++row) {
        running += model.movement(row);
        ASSERT_NEAR(model.runningBalance(row), running, 1e-6) << "row " << row;
        if (row > 0) {
            ASSERT_LE(compare(*model.record(row - 1), *model.record(row)), 0) << "row " << row;
        }
    }
}

// Every kind of step, one after the other (bookings, third parties, the
// account dialog, the list editors), keeps the books and the register right;
// undoing them one by one brings back the very bytes saved before each,
// redoing them the bytes after each.
TEST_F(Booking, EveryKindOfStepUndoesAndRedoesToTheVeryBytes) {
    OperationEntry split = entry(-50.0, Split, "Retour", sample::date(2024, 1, 15));
    split.useLines = true;
    split.lines = {line(s.a->id, -20.0), line(s.b->id, -20.0), line(s.third->id, -10.0)};
    // What the account dialog does, taken as one step around it.
    auto accountStep = [&](AccountChange change, AccountRecord* account) {
        auto step = std::make_unique<AccountStep>(doc);
        AccountForm form = fillFormFromAccount(*account);
        form.initialBalance = 900.0;
        int position = -1;
        if (change == AccountChange::Created) {
            form.name = "Compte D";
            EXPECT_EQ(applyAccountForm(doc, form, nullptr, kNow), AccountApplied::Created);
        } else if (change == AccountChange::Modified) {
            EXPECT_EQ(applyAccountForm(doc, form, account, kNow), AccountApplied::Modified);
        } else {
            const bool mask = change == AccountChange::Masked;
            EXPECT_TRUE(applyDeleteChoice(
                doc, account, mask ? DeleteChoice::Mask : DeleteChoice::Forever, &position));
        }
        EXPECT_TRUE(step->finish(change, accountAt(doc, position, 1)));
        return step;
    };
    auto third = [&](const char* name) { return ThirdEntry{name, 12.5, "note", kNow}; };
    auto mode = [&](int id) {
        ModeRecord* found = doc.modes.first();
        while (found && found->id != id)
            found = doc.modes.next(found);
        return found;
    };
    LabelRecord label{};
    setFieldUtf8(label.text, "Loyer");
    const std::function<std::unique_ptr<BookingCommand>()> steps[] = {
        [&] { return makeNewOperation(entry(-12.50, kSupermarket, "Marché")); },
        [&] { return makeNewOperation(split); },
        [&] { return makeNewThird(third("Dupont")); },
        [&] {
            return makeChangeThird(s.third, ThirdEntry{"", -7.25, "autre", kNow});
        },
        [&] { return makeRenameThird(s.third, "Autre nom"); },
        [&] { return makeMaskThird(doc.thirds.last()); },
        [&] { return makeTransferThird(s.third, doc.thirds.last()->id); },
        [&] { return makeSortOrder(1); },
        [&] {
            return makeChangeOperation(s.waiting, model.findRow(s.waiting),
                                       entry(-40.0, Split, "Divers", sample::date(2024, 3, 8)));
        },
        [&] { return makeTransferThird(doc.thirds.last(), s.a->id); }, // the "Avoir" goes
        [&] { return makeDeleteOperation(s.waiting, model.findRow(s.waiting)); },
        [&] { return makeNewThird(third("Durand")); },
        [&] { return makeDeleteThird(doc.thirds.last()); },
        [&] { return accountStep(AccountChange::Modified, s.a); },
        [&] { return makeToggleTick(doc.operations.first(), kNow); },
        [&] { return makeSelectAccount(s.b); },
        [&] {
            return makeChangeOperation(s.transfer, model.findRow(s.transfer),
                                       entry(-80.0, s.a->id, "Virement", sample::date(2024, 6, 1)));
        },
        [&] { return makeToggleTick(s.transfer, kNow); },
        [&] { return accountStep(AccountChange::Created, s.a); },
        [&] { return accountStep(AccountChange::Masked, s.c); },
        [&] { return accountStep(AccountChange::Deleted, s.b); },
        [&] {
            const CategoryPlan plan =
                planCategoryAddition(doc.categories, "Vacances", "Hotel", false);
            return makeAddCategories(plan.after, plan.records);
        },
        [&] { return makeToggleCategoryShown(doc.categories.first()); },
        [&] { return makeAddLabel(nullptr, label); },
        [&] { return makeRebindLabel(doc.labels.first(), Split); },
        [&] { return makeDeleteLabel(doc.labels.first()); },
        [&] {
            const ModePlan plan = planModeAddition(doc.modes, "Espèces", false);
            return makeAddMode(plan.after, plan.record);
        },
        [&] { return makeWithdrawMode(mode(0x0001), mode(0x0004)); },
        [&] { return makeMoveMode(mode(0x0005), mode(0x0000)); },
    };
    std::vector<std::vector<std::uint8_t>> states = {serializeDocument(doc)};
    for (const auto& make : steps) {
        SCOPED_TRACE(states.size());
        ASSERT_EQ(history.perform(make()), BookingStatus::Done);
        ASSERT_EQ(checkDocument(doc), std::vector<std::string>{});
        expectRegisterConsistent(model);
        EXPECT_NE(serializeDocument(doc), states.back()); // the step changed something
        states.push_back(serializeDocument(doc));
    }
    for (std::size_t k = states.size() - 1; k > 0; --k) {
        ASSERT_TRUE(history.stepBack());
        ASSERT_EQ(serializeDocument(doc), states[k - 1]) << "undo " << k;
        expectRegisterConsistent(model);
    }
    for (std::size_t k = 1; k < states.size(); ++k) {
        ASSERT_TRUE(history.stepForward());
        ASSERT_EQ(serializeDocument(doc), states[k]) << "redo " << k;
        expectRegisterConsistent(model);
    }
    history.clear(); // forgetting the steps leaves the document as it is
    EXPECT_EQ(serializeDocument(doc), states.back());
}

} // namespace
} // namespace kolvane
