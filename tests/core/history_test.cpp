#include "operations/account_steps.h"
#include "operations/booking.h"

#include "accounts/account_editing.h"
#include "document/account_file.h"
#include "register_sample.h"
#include "resources/resource_ids.h"
#include "shell/history_commands.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

const FileTime kNow = sample::date(2024, 6, 1, 9);

// A step that only counts: apply adds one to the operation counter.
class CountingStep : public BookingCommand {
  public:
    explicit CountingStep(std::size_t bytes = 256) : bytes_(bytes) {}
    BookingStatus apply(RegisterModel& model) override {
        ++model.document().nextOperationId;
        return BookingStatus::Done;
    }
    void revert(RegisterModel& model) override { --model.document().nextOperationId; }
    const char* name() const override { return "compte"; }
    std::size_t memoryBytes() const override { return bytes_; }

  private:
    std::size_t bytes_;
};

class History : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        doc.isModified = 0;
        history.clear(); // the file as read
        ASSERT_EQ(history.perform(makeSelectAccount(s.a)), BookingStatus::Done);
    }
    void step() {
        ASSERT_EQ(history.perform(std::make_unique<CountingStep>()), BookingStatus::Done);
    }

    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
    BookingHistory history{model};
};

TEST_F(History, TheModifiedFlagFollowsTheSavedState) {
    EXPECT_EQ(doc.isModified, 0u); // showing an account changes nothing
    step();
    history.markSaved();
    step();
    struct Move {
        bool (BookingHistory::*action)();
        std::uint32_t modified;
    };
    // Saved after one step: undo back to it, and past it, and forward again.
    for (const Move& move : {Move{&BookingHistory::undo, 0}, Move{&BookingHistory::undo, 1},
                             Move{&BookingHistory::redo, 0}, Move{&BookingHistory::redo, 1},
                             Move{&BookingHistory::undo, 0}}) {
        ASSERT_TRUE((history.*move.action)());
        EXPECT_EQ(doc.isModified, move.modified);
    }
    step(); // another branch from the saved state, which stays one step back
    EXPECT_EQ(doc.isModified, 1u);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.isModified, 0u);
    ASSERT_TRUE(history.undo());
    step(); // the saved state is now out of reach
    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.redo());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.isModified, 1u);

    history.markSaved();
    history.changedOutside(); // a password: no undo makes the file saved again
    step();
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.isModified, 1u);
    history.clear(); // still modified: nothing counts as saved
    step();
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.isModified, 1u);
}

TEST_F(History, TheOldestStepsGoBeyondAThousandOrSixtyFourMegabytes) {
    const std::uint32_t counter = doc.nextOperationId;
    history.markSaved();
    for (int i = 0; i < 1001; ++i)
        step();
    // The account shown and the first step stand for good.
    EXPECT_EQ(history.stepCount(), 1000u);
    while (history.undo()) {
    }
    EXPECT_EQ(doc.nextOperationId, counter + 1);
    EXPECT_EQ(doc.isModified, 1u); // the saved state went with them

    history.clear();
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(history.perform(std::make_unique<CountingStep>(20u << 20)), BookingStatus::Done);
    EXPECT_EQ(history.stepCount(), 3u); // 60 MB
    ASSERT_EQ(history.perform(std::make_unique<CountingStep>(100u << 20)), BookingStatus::Done);
    EXPECT_EQ(history.stepCount(), 1u); // the newest stays, whatever it holds
}

TEST_F(History, AccountDialogStepsAreNamedAndTakeTheRegisterAlong) {
    struct Case {
        AccountChange change;
        const char* name;
    };
    for (const Case& c : {Case{AccountChange::Created, "création d'un compte"},
                          Case{AccountChange::Modified, "modification d'un compte"},
                          Case{AccountChange::Masked, "masquage d'un compte"},
                          Case{AccountChange::Deleted, "suppression d'un compte"}}) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> before = serializeDocument(doc);
        auto step = std::make_unique<AccountStep>(doc);
        AccountForm form = fillFormFromAccount(*s.a);
        form.initialBalance = 900.0; // A's rows run 100.00 lower
        int position = -1;
        if (c.change == AccountChange::Created) {
            form.name = "Compte D";
            EXPECT_EQ(applyAccountForm(doc, form, nullptr, kNow), AccountApplied::Created);
        } else if (c.change == AccountChange::Modified) {
            EXPECT_EQ(applyAccountForm(doc, form, s.a, kNow), AccountApplied::Modified);
        } else if (c.change == AccountChange::Masked) {
            EXPECT_TRUE(applyDeleteChoice(doc, s.a, DeleteChoice::Mask, &position));
        } else { // B for good: A keeps its part of B's split
            EXPECT_TRUE(applyDeleteChoice(doc, s.b, DeleteChoice::Forever, &position));
        }
        ASSERT_TRUE(step->finish(c.change, accountAt(doc, position, 1)));
        ASSERT_EQ(history.perform(std::move(step)), BookingStatus::Done);
        EXPECT_STREQ(history.nextUndo()->name(), c.name);
        EXPECT_EQ(history.lastRow(), model.rowCount() - 1);
        // The register shows the current account: the new one, A itself, or
        // B where A was masked.
        EXPECT_EQ(model.account(), doc.currentAccount);
        if (c.change == AccountChange::Modified) {
            EXPECT_EQ(model.runningBalance(model.rowCount() - 1), 1062.50);
        } else if (c.change == AccountChange::Deleted) { // B's transfer and part stay with A
            EXPECT_EQ(model.rowCount(), 6);
            EXPECT_EQ(model.runningBalance(5), 1162.50);
            EXPECT_EQ(s.transfer->partyId, PartyId{DeletedAccount});
        }
        ASSERT_TRUE(history.undo());
        EXPECT_EQ(serializeDocument(doc), before);
        EXPECT_EQ(model.account(), s.a);
        EXPECT_EQ(model.runningBalance(model.rowCount() - 1), 1162.50);
        EXPECT_EQ(history.lastRow(), 5); // the register's last row
    }
}

TEST_F(History, AnUndoneLogoComesBack) {
    static std::uint8_t pixels[kLogoPixelBytes], first[kLogoMaskBytes], second[kLogoMaskBytes];
    first[0] = 1;
    second[0] = 2;
    ASSERT_TRUE(copyBankLogo(doc, *s.a, LogoBlocks{pixels, first}));
    auto step = std::make_unique<AccountStep>(doc);
    AccountForm form = fillFormFromAccount(*s.a); // the same fields, another mask
    const LogoBlocks bank{pixels, second};
    form.selectedBank = &bank;
    EXPECT_EQ(applyAccountForm(doc, form, s.a, kNow), AccountApplied::Modified);
    step->finish(AccountChange::Modified);
    ASSERT_EQ(history.perform(std::move(step)), BookingStatus::Done);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(accountLogo(doc, *s.a)->mask[0], 1);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(accountLogo(doc, *s.a)->mask[0], 2);
}

TEST_F(History, ToolTipsNameTheStepAndKeysOutsideEditBoxesUndoAndRedo) {
    EXPECT_EQ(undoToolTip(history), "Annuler"); // showing an account is no step of its own
    ASSERT_EQ(history.perform(makeToggleTick(s.refund, kNow)), BookingStatus::Done);
    ASSERT_EQ(history.perform(makeDeleteOperation(s.waiting, -1)), BookingStatus::Done);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(undoToolTip(history), "Annuler : pointage d'une opération");
    EXPECT_EQ(redoToolTip(history), "Rétablir : suppression d'une opération");
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(redoToolTip(history), "Rétablir");

    struct Case {
        KeyPress press;
        bool inEditBox;
        unsigned command;
    };
    for (const Case& c :
         {Case{{'Z', true, false, false}, false, CMD_UNDO},
          Case{{'Y', true, false, false}, false, CMD_REDO},
          Case{{'Z', true, true, false}, false, CMD_REDO},
          Case{{'Z', true, false, false}, true, 0u}, Case{{'Y', true, false, false}, true, 0u},
          Case{{'Z', false, false, false}, false, 0u}, Case{{'Z', true, false, true}, false, 0u},
          Case{{'Y', true, true, false}, false, 0u}, Case{{'X', true, false, false}, false, 0u}}) {
        EXPECT_EQ(historyCommandForKey(c.press, c.inEditBox), c.command)
            << char(c.press.key) << c.press.control << c.press.shift << c.press.alt << c.inEditBox;
    }
}

} // namespace
} // namespace kolvane
