#include "accounts/account_editing.h"

#include "document/calendar.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kolvane {
namespace {

// 15 March 2024 at 10:20:30.
FileTime sampleNow() {
    return toFileTime(CalendarTime{2024, 3, 15, 5, 10, 20, 30, 0});
}

std::string cp(std::string_view utf8) {
    return utf8ToCp1252(utf8);
}

class AccountEditing : public ::testing::Test {
  protected:
    void SetUp() override { documentInit(doc); }

    AccountRecord* addAccount(std::string_view utf8Name, double initial, bool active = true) {
        AccountRecord* account = createAccount(doc, cp(utf8Name), initial);
        account->active = active ? 1 : 0;
        return account;
    }

    AccountForm formNamed(std::string_view utf8Name) {
        AccountForm form;
        form.name = cp(utf8Name);
        return form;
    }

    Document doc;
};

TEST_F(AccountEditing, EmptyNameIsRefusedAndAnotherCaseModifiesThatAccount) {
    addAccount("Courant", 0.0);
    AccountRecord* savings = addAccount("Épargne logement", 0.0, false);
    for (const char* blank : {"", "   "}) {
        ApplyDecision empty = decideApply(doc, formNamed(blank));
        EXPECT_EQ(empty.action, ApplyAction::EmptyName);
        EXPECT_EQ(empty.message, 20400);
        EXPECT_EQ(empty.focusControl, 1126);
        EXPECT_TRUE(empty.showGeneralPage);
        EXPECT_FALSE(applyEnabled(blank));
    }
    EXPECT_TRUE(applyEnabled(" A"));
    // Outer spaces are not part of a name: " courant " is "Courant".
    EXPECT_EQ(decideApply(doc, formNamed(" courant ")).action, ApplyAction::Modify);

    ApplyDecision decision = decideApply(doc, formNamed("éPARGNE LOGEMENT"));
    EXPECT_EQ(decision.action, ApplyAction::Modify);
    EXPECT_EQ(decision.account, savings); // masked accounts are found too
    EXPECT_EQ(decision.message, 20800);

    AccountForm form = formNamed("éPARGNE LOGEMENT");
    EXPECT_EQ(applyAccountForm(doc, form, decision.account, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(cp1252ToUtf8(fieldText(savings->name)), "Épargne logement");
    EXPECT_EQ(doc.accounts.count(), 2);
}

TEST(AccountPages, CtrlTabTurnsThePagesAroundBothWays) {
    const struct {
        int current, count;
        bool backwards;
        int expected;
    } cases[] = {{0, 3, false, 1}, {2, 3, false, 0}, {0, 3, true, 2},  {1, 5, true, 0},
                 {4, 5, false, 0}, {-1, 3, true, 0}, {3, 3, false, 0}, {0, 0, false, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(nextPageIndex(c.current, c.count, c.backwards), c.expected)
            << c.current << " of " << c.count << (c.backwards ? " back" : "");
}

TEST_F(AccountEditing, NewNameFromTheRenameBoxOnlyWhenEnabledTickedAndNotEmpty) {
    AccountRecord* account = addAccount("Courant", 0.0);
    AccountForm form = formNamed("courant");
    form.newName = "Joint";
    // The box enabled, ticked, and the name the account has afterwards.
    const struct {
        bool enabled, ticked;
        const char* name;
    } cases[] = {{false, true, "Courant"}, {true, false, "Courant"}, {true, true, "Joint"}};
    for (const auto& c : cases) {
        form.renameEnabled = c.enabled;
        form.renameChecked = c.ticked;
        EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow()), AccountApplied::Modified);
        EXPECT_STREQ(account->name, c.name);
    }
}

TEST_F(AccountEditing, TickedInitialOperationKeepsTheInitialBalance) {
    AccountRecord* account = addAccount("Courant", 100.0);
    account->initialPointed = 1;
    OperationRecord* initial = findOperationById(doc, account->initialOperationId);
    initial->pointed = 1;

    AccountForm form = fillFormFromAccount(*account);
    EXPECT_FALSE(form.initialBalanceEnabled);
    form.initialBalance = 175.0;
    EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow()), AccountApplied::Modified);
    // Typing the name instead of picking it leaves 1121 enabled: still kept.
    form.initialBalanceEnabled = true;
    EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow()), AccountApplied::Modified);
    EXPECT_DOUBLE_EQ(account->initialBalance, 100.0);
    EXPECT_DOUBLE_EQ(account->balance, 100.0);
    EXPECT_DOUBLE_EQ(initial->amount, 100.0);
}

// The account becomes current, and its initial operation takes the
// dialog's one "now" and the date of 1 January 2000.
TEST_F(AccountEditing, CreatingMakesTheAccountCurrentWithTheDialogsTime) {
    AccountForm form = formNamed("Livret A");
    form.initialBalance = 250.5;
    ASSERT_EQ(decideApply(doc, form).action, ApplyAction::Create);
    FileTime now = sampleNow();
    AccountRecord* account = nullptr;
    EXPECT_EQ(applyAccountForm(doc, form, nullptr, now, &account), AccountApplied::Created);
    ASSERT_NE(account, nullptr);
    EXPECT_STREQ(account->name, "Livret A");
    EXPECT_EQ(account->logo, kNoLogo); // no bank: no logo
    EXPECT_EQ(doc.currentAccount, account);
    const OperationRecord& operation = *doc.operations.first();
    EXPECT_DOUBLE_EQ(operation.amount, 250.5);
    EXPECT_EQ(operation.entryDate, now);
    EXPECT_EQ(operation.modifiedDate, now);
    CalendarTime date = toCalendarTime(operation.operationDate);
    EXPECT_EQ(date.year, 2000);
    EXPECT_EQ(date.month, 1);
    EXPECT_EQ(date.day, 1);
    EXPECT_EQ(date.hour, 10);
}

TEST_F(AccountEditing, ApplyingMakesAnActiveAccountCurrentAndMovesOffAMaskedOne) {
    AccountRecord* a = addAccount("A", 0.0);
    AccountRecord* b = addAccount("B", 0.0, false);
    AccountRecord* c = addAccount("C", 0.0);
    AccountRecord* d = addAccount("D", 0.0, false);

    doc.currentAccount = a;
    EXPECT_EQ(applyAccountForm(doc, formNamed("C"), c, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(doc.currentAccount, c);

    // A masked account that is not current changes nothing.
    EXPECT_EQ(applyAccountForm(doc, formNamed("D"), d, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(doc.currentAccount, c);
    EXPECT_EQ(d->active, 0); // applying never unmasks

    // Masked current account: the next active one after it...
    doc.currentAccount = b;
    EXPECT_EQ(applyAccountForm(doc, formNamed("B"), b, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(doc.currentAccount, c);
    // ... else the nearest active one before it ...
    doc.currentAccount = d;
    EXPECT_EQ(applyAccountForm(doc, formNamed("D"), d, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(doc.currentAccount, c);
    // ... else none.
    a->active = 0;
    c->active = 0;
    doc.currentAccount = b;
    EXPECT_EQ(applyAccountForm(doc, formNamed("B"), b, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(doc.currentAccount, nullptr);
}

TEST_F(AccountEditing, BankLogoIsCopiedIntoTheAccount) {
    std::vector<std::uint8_t> pixels(kLogoPixelBytes, 0x5A);
    std::vector<std::uint8_t> mask(kLogoMaskBytes, 0xF0);
    pixels[13823] = 0x11;
    LogoBlocks bank{pixels.data(), mask.data()};

    AccountForm form = formNamed("Courant");
    form.selectedBank = &bank;
    form.bankName = "Banque Bleue";
    AccountRecord* account = nullptr;
    EXPECT_EQ(applyAccountForm(doc, form, nullptr, sampleNow(), &account), AccountApplied::Created);
    EXPECT_STREQ(account->bankName, "Banque Bleue");
    const Logo* logo = accountLogo(doc, *account);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->pixels, pixels);
    EXPECT_EQ(logo->mask, mask);

    // The same picture again makes no new logo.
    const LogoId first = account->logo;
    EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(account->logo, first);

    // No bank chosen (an account whose bank the list does not know): the
    // account keeps its bank, name and logo, whatever the list last showed.
    form.selectedBank = nullptr;
    form.bankName = "Banque Rouge";
    pixels[0] = 0x33;
    EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow()), AccountApplied::Modified);
    EXPECT_EQ(accountLogo(doc, *account)->pixels[0], 0x5A);
    EXPECT_STREQ(account->bankName, "Banque Bleue");
    AccountRecord* bankless = nullptr;
    EXPECT_EQ(applyAccountForm(doc, formNamed("Livret"), nullptr, sampleNow(), &bankless),
              AccountApplied::Created);
    EXPECT_STREQ(bankless->bankName, "");
    EXPECT_EQ(bankless->logo, kNoLogo);
}

TEST_F(AccountEditing, DeletingNeedsTwoActiveAccountsAndReportsThePosition) {
    AccountRecord* a = addAccount("A", 0.0);
    addAccount("B", 0.0, false);
    EXPECT_FALSE(decideDelete(doc).allowed);
    EXPECT_EQ(decideDelete(doc).message, 20405);
    AccountRecord* c = addAccount("C", 0.0);
    EXPECT_TRUE(decideDelete(doc).allowed);
    EXPECT_EQ(decideDelete(doc).message, 0);
    AccountRecord* d = addAccount("D", 0.0);

    int position = 99;
    doc.currentAccount = c;
    EXPECT_FALSE(applyDeleteChoice(doc, nullptr, DeleteChoice::Mask, &position));
    EXPECT_EQ(position, 99);
    EXPECT_EQ(doc.currentAccount, c);

    EXPECT_TRUE(applyDeleteChoice(doc, c, DeleteChoice::Mask, &position));
    EXPECT_EQ(c->active, 0);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(doc.currentAccount, d);

    EXPECT_TRUE(applyDeleteChoice(doc, d, DeleteChoice::Forever, &position));
    EXPECT_EQ(position, 3);  // A, B (masked), C (masked), D
    EXPECT_EQ(d->active, 1); // the caller deletes it
    EXPECT_EQ(doc.currentAccount, a);
}

// Every text of the three pages, each with its own value, goes to its own
// field when an account is created and when it is modified, and comes back
// to the same box when the account is picked.
TEST_F(AccountEditing, EveryFieldOfThePagesIsStoredAndShownBack) {
    using Stored = std::string_view (*)(const AccountRecord&);
#define KOLVANE_TEXT(name)                                                                         \
    std::pair<std::string AccountForm::*, Stored> {                                                \
        &AccountForm::name, [](const AccountRecord& a) { return fieldText(a.name); }               \
    }
    const std::pair<std::string AccountForm::*, Stored> texts[] = {
        KOLVANE_TEXT(holderName), KOLVANE_TEXT(holderFirstNames),
        KOLVANE_TEXT(address),    KOLVANE_TEXT(addressComplement),
        KOLVANE_TEXT(city),       KOLVANE_TEXT(postCode),
        KOLVANE_TEXT(bankName),   KOLVANE_TEXT(accountNumber),
        KOLVANE_TEXT(bankCode),   KOLVANE_TEXT(branchCode),
        KOLVANE_TEXT(ribKey),     KOLVANE_TEXT(domiciliation),
        KOLVANE_TEXT(bic),        KOLVANE_TEXT(phone),
        KOLVANE_TEXT(webAddress)};
#undef KOLVANE_TEXT
    // Two characters: the RIB key holds no more.
    auto value = [](std::size_t i, char round) { return std::string{char('a' + i), round}; };
    const LogoBlocks noLogo;
    AccountForm form = formNamed("Un nom de compte beaucoup trop long pour le champ");
    form.selectedBank = &noLogo; // the bank name is written only for a chosen bank
    form.initialBalance = 12.5;
    form.minimumAllowed = -300.0;
    form.minimumWanted = 50.0;
    form.civility = 4;
    for (char round : {'1', '2'}) {
        for (std::size_t i = 0; i < std::size(texts); ++i)
            form.*texts[i].first = value(i, round);
        AccountRecord* account = doc.accounts.first(); // null the first time: created
        EXPECT_EQ(applyAccountForm(doc, form, account, sampleNow(), &account),
                  round == '1' ? AccountApplied::Created : AccountApplied::Modified);
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(doc.accounts.count(), 1);
        EXPECT_EQ(fieldText(account->name), "Un nom de compte beaucoup trop long pou"); // 39
        EXPECT_EQ(decideApply(doc, form).account, account); // the long name finds it
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_EQ(texts[i].second(*account), value(i, round)) << i;
        EXPECT_EQ(account->civility, 4);
        EXPECT_EQ(account->minimumAllowed, -300.0);
        EXPECT_EQ(account->minimumWanted, 50.0);

        const AccountForm shown = fillFormFromAccount(*account);
        EXPECT_EQ(shown.name, fieldText(account->name));
        for (std::size_t i = 0; i < std::size(texts); ++i)
            EXPECT_EQ(shown.*texts[i].first, value(i, round)) << i;
        EXPECT_EQ(shown.initialBalance, 12.5);
        EXPECT_EQ(shown.minimumAllowed, -300.0);
        EXPECT_EQ(shown.minimumWanted, 50.0);
        EXPECT_EQ(shown.civility, 4);
        EXPECT_TRUE(shown.initialBalanceEnabled);
        EXPECT_TRUE(shown.renameEnabled);
        form.civility = -1; // no radio button checked: the civility stays
    }
    // Too long for its field: cut; no such radio button: none checked.
    form.postCode = "750012";
    EXPECT_EQ(applyAccountForm(doc, form, doc.accounts.first(), sampleNow()),
              AccountApplied::Modified);
    EXPECT_STREQ(doc.accounts.first()->postCode, "75001");
    doc.accounts.first()->civility = 5;
    EXPECT_EQ(fillFormFromAccount(*doc.accounts.first()).civility, -1);
}

} // namespace
} // namespace kolvane
