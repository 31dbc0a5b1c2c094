#include "operations/entry_rules.h"

#include "register_sample.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(EntryRules, AmountsEnableTheChoicesOnTheirSide) {
    struct Case {
        bool enabled;
        double debit, credit;
        AmountsReaction reaction;
    };
    const Case cases[] = {
        {false, 12.5, 0.0, AmountsReaction::EnableDebitSide},
        {false, 0.0, 3.0, AmountsReaction::EnableCreditSide},
        {false, 2.0, 3.0, AmountsReaction::EnableCreditSide},
        {false, 0.0, 0.0, AmountsReaction::Nothing},
        {true, 0.0, 0.0, AmountsReaction::Disable},
        {true, 0.0, 7.0, AmountsReaction::Nothing}, // keeps its side while enabled
    };
    for (const Case& c : cases)
        EXPECT_EQ(onAmountsChanged(c.enabled, c.debit, c.credit), c.reaction)
            << c.enabled << ' ' << c.debit << ' ' << c.credit;
}

TEST(EntryRules, HeadersAreRefusedAndSplitsOpenTheEditor) {
    ChoiceList parties;
    parties.rows = {{"ALIMENTATION", 0},
                    {"   Alimentation : Cantine", Category | 0x0002},
                    {"____", 0},
                    {"Opération ventillée", Split}};
    const PartyChoice header = chooseParty(parties, 2, 3);
    EXPECT_TRUE(header.refused);
    EXPECT_EQ(header.select, 3);
    EXPECT_TRUE(header.dropDown);
    const PartyChoice sub = chooseParty(parties, 1, 3);
    EXPECT_FALSE(sub.refused);
    EXPECT_EQ(sub.select, 1);
    EXPECT_FALSE(sub.splitEditor);
    EXPECT_TRUE(chooseParty(parties, 3, 1).splitEditor);

    EXPECT_EQ(pickLabel(parties, Category | 0x0002).party, 1);
    EXPECT_TRUE(pickLabel(parties, Split).splitEditor);
    EXPECT_EQ(pickLabel(parties, Category | 0x0105).party, -1);
    ChoiceList labels;
    labels.rows = {{"Loisirs", 0}, {utf8ToCp1252("Électricité"), 0}};
    EXPECT_EQ(findLabelEntry(labels, utf8ToCp1252("éLECTRICITÉ")), 1);
    EXPECT_EQ(findLabelEntry(labels, "Lois"), -1);
}

TEST(EntryRules, AnOperationLoadedForAChangeIsSeenFromTheCurrentAccount) {
    Document doc;
    const sample::RegisterSample s = sample::buildRegisterSample(doc);
    const EntryFields own = entryFieldsFor(doc, *s.ticked);
    EXPECT_EQ(own.debit, 12.50);
    EXPECT_EQ(own.credit, 0.0);
    EXPECT_FALSE(own.debitFirst);
    EXPECT_EQ(own.party, Category | 0x0001u);
    EXPECT_EQ(own.modeId, 1);
    EXPECT_EQ(own.label, "Courses");
    const EntryFields incoming = entryFieldsFor(doc, *s.transfer);
    EXPECT_EQ(incoming.credit, 100.0);
    EXPECT_TRUE(incoming.debitFirst);
    EXPECT_EQ(incoming.party, s.b->id);
    EXPECT_TRUE(entryFieldsFor(doc, *s.waiting).splitEditor);
    OperationRecord small = *s.refund;
    small.amount = 0.40;
    EXPECT_EQ(entryFieldsFor(doc, small).credit, 0.40);
    EXPECT_EQ(entryFieldsFor(doc, small).debit, 0.0);
}

TEST(EntryRules, TheVentilationEditorGetsOneAmount) {
    const VentilationStart both = startVentilation(5.0, 1.0);
    EXPECT_EQ(refusalText(both.refusal), kDebitAndCreditText);
    EXPECT_EQ(both.refusal.field, RefusalField::EntryCredit);
    EXPECT_FALSE(startVentilation(5.0, 0.0).refusal);
    EXPECT_EQ(startVentilation(5.0, 0.0).amount, -5.0);
    EXPECT_EQ(startVentilation(0.0, 7.0).amount, 7.0);
}

TEST(EntryRules, ValiderRefusesThenBooksWhatThePaneHolds) {
    EntryForm form;
    form.debit = 5.0;
    form.credit = 1.0;
    form.label = "Pain";
    ValidationResult result = validateEntry(form, nullptr, nullptr, 7);
    EXPECT_EQ(result.outcome, Validation::Refused);
    EXPECT_EQ(refusalText(result.refusal), kDebitAndCreditText);
    EXPECT_EQ(result.refusal.field, RefusalField::EntryCredit);
    form.credit = 0.0;
    form.label = "";
    result = validateEntry(form, nullptr, nullptr, 7);
    EXPECT_EQ(refusalText(result.refusal), kEnterOperationLabelText);
    EXPECT_EQ(result.refusal.field, RefusalField::EntryLabel);

    form.label = std::string(45, 'x');
    form.party = Category | 0x0001;
    form.labelIndex = 2;
    result = validateEntry(form, nullptr, nullptr, 7);
    EXPECT_EQ(result.outcome, Validation::Book);
    EXPECT_EQ(result.entry.amount, -5.0);
    EXPECT_EQ(result.entry.label.size(), 38u);
    EXPECT_TRUE(result.entry.labelChosen);
    EXPECT_FALSE(result.entry.useLines);
    EXPECT_EQ(result.entry.now, 7u);

    // A changed split takes its own lines when the pane has none.
    Document doc;
    const sample::RegisterSample s = sample::buildRegisterSample(doc);
    form.party = Split;
    form.debit = 80.0;
    result = validateEntry(form, s.split, nullptr, 7);
    EXPECT_EQ(result.outcome, Validation::Book);
    EXPECT_TRUE(result.workingLinesCopied);
    EXPECT_EQ(result.entry.lines.size(), 2u);
    form.debit = 90.0;
    EXPECT_EQ(validateEntry(form, s.split, nullptr, 7).outcome, Validation::AskLinesDiffer);
    const std::vector<VentilationLine> none;
    EXPECT_EQ(validateEntry(form, s.split, &none, 7).outcome, Validation::AskLinesDiffer);
    EXPECT_FALSE(withoutLines(result.entry).useLines);
}

TEST(VentilationDraft, LinesBringTheRemainderToZero) {
    VentilationDraft debit(-100.0, nullptr);
    EXPECT_EQ(debit.total(), 100.0);
    EXPECT_EQ(debit.close(), VentilationDraft::Closing::NoLines);
    EXPECT_EQ(refusalText(debit.add(0.0009, Category | 1)), kEnterLineAmount);
    EXPECT_FALSE(debit.hasLines());
    EXPECT_FALSE(debit.add(60.0, Category | 1));
    EXPECT_DOUBLE_EQ(debit.remaining(), 40.0);
    EXPECT_EQ(debit.close(), VentilationDraft::Closing::AskAmountsLeft);
    EXPECT_FALSE(debit.add(40.0, Category | 2));
    EXPECT_EQ(debit.close(), VentilationDraft::Closing::KeepLines);
    EXPECT_EQ(debit.lines()[0].amount, -60.0);
    EXPECT_EQ(debit.lines()[1].partyId, Split);
    EXPECT_EQ(debit.lines()[1].counterpartyId, Category | 2u);
    EXPECT_TRUE(debit.remove(0));
    EXPECT_DOUBLE_EQ(debit.remaining(), 60.0);
    EXPECT_FALSE(debit.remove(1));

    VentilationDraft credit(100.0, nullptr);
    EXPECT_EQ(credit.total(), -100.0);
    EXPECT_FALSE(credit.add(-120.0, Category | 1));
    EXPECT_DOUBLE_EQ(credit.remaining(), 20.0);

    std::vector<VentilationLine> held(1);
    held[0].amount = -30.0;
    held[0].pointed = 1;
    VentilationDraft existing(-100.0, &held);
    EXPECT_DOUBLE_EQ(existing.remaining(), 70.0);
    EXPECT_FALSE(existing.remove(0)); // ticked where it was received
    EXPECT_TRUE(VentilationDraft::canAdd(0.01));
    EXPECT_FALSE(VentilationDraft::canAdd(0.0));
}

TEST(VentilationLists, TheConsultRowsBalanceDebitAndCredit) {
    Document doc;
    const sample::RegisterSample s = sample::buildRegisterSample(doc);
    const std::vector<ConsultRow> rows = ventilationConsultRows(doc, *s.split);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].party, "Inter-compte : Compte B");
    EXPECT_EQ(rows[0].debit, "80.00");
    EXPECT_EQ(rows[0].credit, "");
    EXPECT_EQ(rows[0].background, kRowLightBlue);
    EXPECT_EQ(rows[1].party, "Inter-compte : Compte A");
    EXPECT_EQ(rows[1].debit, "");
    EXPECT_EQ(rows[1].credit, "60.00");
    EXPECT_EQ(rows[2].credit, "20.00");
    EXPECT_EQ(rows[2].text, rgb(0, 0, 150));
    EXPECT_EQ(ventilationConsultRows(doc, *s.waiting).size(), 1u);
    OperationRecord credit = *s.refund;
    credit.amount = 0.40;
    EXPECT_EQ(ventilationConsultRows(doc, credit)[0].credit, "0.40");
    EXPECT_EQ(ventilationConsultRows(doc, credit)[0].debit, "");
    credit.amount = 0.0;
    EXPECT_EQ(ventilationConsultRows(doc, credit)[0].credit, "0.00");
    EXPECT_EQ(ventilationLineText(doc, *s.split->lines->first(), 1), "- 60.00");
    EXPECT_EQ(cp1252ToUtf8(ventilationLineText(doc, *s.split->lines->last(), 0)),
              "Alimentation : Cantine");
}

} // namespace
} // namespace kolvane
