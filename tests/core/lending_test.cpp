// The loan arithmetic and the checks of "Calculer". Every expected figure was
// worked out by hand (or with a spreadsheet's PMT) from the rules: interest and
// insurance of a row rounded to the cent on the previous capital, principal =
// instalment - interest - insurance, the last row absorbing the remainder.
#include "loan/lending.h"
#include "loan/lending_export.h"
#include "loan/lending_rules.h"

#include "register_sample.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kolvane {
namespace {

using sample::date;

LendingParameters loan(double amount, std::int32_t count, double annualRate,
                       Periodicity periodicity = Periodicity::Monthly) {
    LendingParameters parameters;
    parameters.firstInstalmentDate = date(2025, 1, 15);
    parameters.amount = amount;
    parameters.count = count;
    parameters.annualRate = annualRate;
    parameters.periodicity = periodicity;
    return parameters;
}

void expectRow(const LendingRow& row, double interest, double principal, double insurance,
               double instalment, double remaining) {
    SCOPED_TRACE(row.number);
    EXPECT_NEAR(row.interest, interest, 1e-9);
    EXPECT_NEAR(row.principal, principal, 1e-9);
    EXPECT_NEAR(row.insurance, insurance, 1e-9);
    EXPECT_NEAR(row.instalment, instalment, 1e-9);
    EXPECT_NEAR(row.remainingCapital, remaining, 1e-9);
}

// A month at 1 % and an annuity without interest are checked by the schedules below.
TEST(Lending, PeriodicRateAndAnnuity) {
    EXPECT_DOUBLE_EQ(
        periodicRate(12, periodMonths(Periodicity::HalfYearly), RateMode::Proportional), 0.06);
    // 1.12^(1/4) - 1 = 2.8737345 %; a year is the annual rate itself.
    EXPECT_NEAR(periodicRate(12, periodMonths(Periodicity::Quarterly), RateMode::Equivalent),
                0.028737345, 1e-9);
    EXPECT_NEAR(periodicRate(12, periodMonths(Periodicity::Yearly), RateMode::Equivalent), 0.12,
                1e-15);
    EXPECT_EQ(periodMonths(static_cast<Periodicity>(4)), 0);

    // PMT(3 %, 3, 10000) = 3535.3036.
    EXPECT_NEAR(annuity(10000, 0.03, 3), 3535.303633, 1e-6);
    EXPECT_DOUBLE_EQ(annuity(1000, 0.05, 1), 1050);
    EXPECT_DOUBLE_EQ(annuity(500, 0.05, 0), 500);
}

TEST(Lending, TwelveMonthsAtTwelvePercentEndWithTheLastRowCorrected) {
    const LendingSchedule schedule = computeLending(loan(1200, 12, 12));
    EXPECT_NEAR(schedule.instalmentWithoutInsurance, 106.618546, 1e-6);
    EXPECT_DOUBLE_EQ(schedule.instalmentWithInsurance, 106.62);
    ASSERT_EQ(schedule.rows.size(), 13u);
    expectRow(schedule.rows[0], 0, 0, 0, 0, 1200);
    EXPECT_EQ(schedule.rows[0].date, 0u);
    expectRow(schedule.rows[1], 12.00, 94.62, 0, 106.62, 1105.38);
    expectRow(schedule.rows[2], 11.05, 95.57, 0, 106.62, 1009.81); // 11.0538
    // Row 12 would end at -0.02: its interest 1.06 becomes 1.08.
    expectRow(schedule.rows[12], 1.08, 105.54, 0, 106.62, 0);
    EXPECT_NEAR(schedule.remainder, -0.02, 1e-9);
    for (int k = 0; k <= 12; ++k)
        EXPECT_EQ(schedule.rows[static_cast<std::size_t>(k)].number, k);
    EXPECT_EQ(schedule.rows[12].date, date(2025, 12, 15));
}

TEST(Lending, WithoutInterestTheLastRowTakesTheCentLeftOver) {
    // 1000 / 3 = 333.33 each; 0.01 is left after row 3.
    const LendingSchedule schedule = computeLending(loan(1000, 3, 0));
    EXPECT_DOUBLE_EQ(schedule.instalmentWithInsurance, 333.33);
    expectRow(schedule.rows[1], 0, 333.33, 0, 333.33, 666.67);
    expectRow(schedule.rows[2], 0, 333.33, 0, 333.33, 333.34);
    expectRow(schedule.rows[3], -0.01, 333.34, 0, 333.33, 0);
    EXPECT_NEAR(schedule.remainder, 0.01, 1e-9);

    // No instalment at all: the opening row alone, nothing divided by zero.
    for (std::int32_t count : {0, -3}) {
        LendingParameters none = loan(1200, count, 12);
        none.insurance = 120;
        const LendingSchedule empty = computeLending(none);
        ASSERT_EQ(empty.rows.size(), 1u);
        EXPECT_EQ(empty.rows[0].remainingCapital, 1200);
        EXPECT_EQ(empty.instalmentWithInsurance, 1200);
    }
}

// --- "Calculer" --------------------------------------------------------------

LendingForm validForm() {
    LendingForm form;
    form.releaseDate = date(2025, 1, 10, 23);
    form.firstInstalmentDate = date(2025, 1, 11, 1); // one midnight later is enough
    form.amount = 1200;
    form.countText = "12";
    form.annualRate = 12;
    return form;
}

TEST(LendingRules, AValidFormIsComputedFromItsAbsoluteValues) {
    LendingForm form = validForm();
    form.amount = -1200;
    form.annualRate = -12;
    form.insurance = -120;
    form.countText = " 12 ";
    form.periodicity = Periodicity::Quarterly;
    form.rateMode = RateMode::Equivalent;
    const LendingDecision decision = decideLending(form);
    ASSERT_FALSE(decision.refusal);
    EXPECT_EQ(decision.parameters.releaseDate, form.releaseDate);
    EXPECT_EQ(decision.parameters.firstInstalmentDate, form.firstInstalmentDate);
    // 12 quarters: 1200 x 2.8737345 % = 34.48 of interest in the first one.
    ASSERT_EQ(decision.schedule.rows.size(), 13u);
    EXPECT_DOUBLE_EQ(decision.schedule.rows[1].interest, 34.48);
    EXPECT_DOUBLE_EQ(decision.schedule.rows[1].insurance, 10.00);
}

TEST(LendingRules, RefusalsComeInTheOrderOfTheFormWithTheirField) {
    struct Case {
        const char* what;
        void (*change)(LendingForm&);
        const char* countText; // replaces "12" when given
        RefusalMessage problem;
        RefusalField field;
        const char* message; // when the text is a fixed one
    };
    const auto keep = [](LendingForm&) {};
    const Case cases[] = {
        {"same day", [](LendingForm& f) { f.firstInstalmentDate = date(2025, 1, 10, 23) + 1; },
         nullptr, RefusalMessage::LoanInvalidDates, RefusalField::LoanReleaseDate,
         "Date de la 1ère échéance ou celle de déblocage de Fonds n'est pas valide ."},
        {"no amount, no count", [](LendingForm& f) { f.amount = 0.0009; }, "",
         RefusalMessage::LoanMissingAmount, RefusalField::LoanAmount,
         "Saisissez le montant de crédit ."},
        {"amount too large", [](LendingForm& f) { f.amount = -2147483.65; }, nullptr,
         RefusalMessage::LoanAmountTooLarge, RefusalField::LoanAmount,
         "Le montant de crédit ne peut pas dépasser 2 147 483.64 ."},
        {"no count", keep, "0", RefusalMessage::LoanMissingCount, RefusalField::LoanCount,
         "Saisissez le nombre d'échéances ."},
        {"count not a number", keep, "1 2", RefusalMessage::LoanMissingCount,
         RefusalField::LoanCount, nullptr},
        {"1201 instalments", keep, "1201", RefusalMessage::LoanTooManyInstalments,
         RefusalField::LoanCount, "Le nombre d'échéances ne peut pas dépasser 1 200 ."},
        {"a count beyond any integer", keep, "99999999999999999999",
         RefusalMessage::LoanTooManyInstalments, RefusalField::LoanCount, nullptr},
        {"no rate", [](LendingForm& f) { f.annualRate = 0; }, nullptr,
         RefusalMessage::LoanMissingRate, RefusalField::LoanRate, "Saisissez le taux d'intérêt ."},
        {"rate above 100 %", [](LendingForm& f) { f.annualRate = 100.01; }, nullptr,
         RefusalMessage::LoanRateTooHigh, RefusalField::LoanRate, nullptr},
        {"insurance value too large", [](LendingForm& f) { f.insurance = 2147483.65; }, nullptr,
         RefusalMessage::LoanInsuranceTooLarge, RefusalField::LoanInsurance, nullptr},
        {"insurance percent above 100",
         [](LendingForm& f) {
             f.insurance = 100.01;
             f.insuranceType = InsuranceType::FixedPercent;
         },
         nullptr, RefusalMessage::LoanInsuranceRateTooHigh, RefusalField::LoanInsurance, nullptr},
        {"a year at 12 % on 2 000 000.00",
         [](LendingForm& f) {
             f.amount = 2000000;
             f.periodicity = Periodicity::Yearly;
         },
         "1", RefusalMessage::LoanInstalmentTooLarge, RefusalField::LoanAmount, nullptr},
        {"100 years at 100 %", [](LendingForm& f) { f.annualRate = 100; }, "1200",
         RefusalMessage::LoanRoundingDiverges, RefusalField::LoanCount, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LendingForm form = validForm();
        c.change(form);
        if (c.countText)
            form.countText = c.countText;
        const LendingDecision decision = decideLending(form);
        EXPECT_EQ(decision.refusal.message, c.problem);
        EXPECT_EQ(decision.refusal.field, c.field);
        EXPECT_TRUE(decision.schedule.rows.empty());
        if (c.message)
            EXPECT_EQ(refusalText(decision.refusal), c.message);
        else
            EXPECT_FALSE(refusalText(decision.refusal).empty());
    }
}

TEST(LendingRules, TheLimitsThemselvesAreAccepted) {
    LendingForm form = validForm();
    form.amount = 2147483.64;
    form.countText = "1200";
    form.annualRate = 1;
    EXPECT_FALSE(decideLending(form).refusal);
    form = validForm();
    form.annualRate = 100;
    form.insurance = 100;
    form.insuranceType = InsuranceType::ProportionalPercent;
    EXPECT_FALSE(decideLending(form).refusal);
    form.insurance = 2147483.64;
    form.insuranceType = InsuranceType::Value;
    EXPECT_FALSE(decideLending(form).refusal);
}

TEST(LendingRules, DropDownListsCarryTheirValues) {
    const auto texts = [](const ChoiceList& list) {
        std::string joined;
        for (const ChoiceRow& row : list.rows)
            joined += row.text + "=" + std::to_string(row.itemData) + ";";
        return joined + "selected " + std::to_string(list.selected);
    };
    EXPECT_EQ(texts(periodicityChoices()),
              "Mensuel=0;Trimestriel=1;Semestriel=2;Annuel=3;selected 0");
    EXPECT_EQ(texts(rateModeChoices()), "Proportionnel=0;Equivalent=1;selected 0");
    EXPECT_EQ(texts(insuranceTypeChoices()),
              "En valeur=0;En pourcentage fixe=1;En pourcentage proportionnel=2;selected 0");
}

// --- What the loan costs, and the table for a spreadsheet -------------------

TEST(LendingCost, TotalsAndEffectiveRate) {
    // 12 x 116.62 repay 1200.00: 199.44 of cost, of which 120.00 insurance.
    // RATE(12, -116.62, 1200) = 2.4487 % a month, 1.024487^12 - 1 = 33.6801 %.
    LendingParameters withInsurance = loan(1200, 12, 12);
    withInsurance.insurance = 120;
    LendingCost cost = lendingCost(computeLending(withInsurance), Periodicity::Monthly);
    EXPECT_DOUBLE_EQ(cost.interest, 79.44);
    EXPECT_DOUBLE_EQ(cost.insurance, 120.00);
    EXPECT_DOUBLE_EQ(cost.total, 199.44);
    EXPECT_NEAR(cost.effectiveAnnualRate, 33.680095, 1e-4);

    // Without fees the rate is the nominal one made yearly as the periodicity
    // says, give or take the instalment's cent: 1.015^4 - 1 = 6.136355 % (monthly,
    // 12.68 %, in KvnLoan.PrintsTheInstalmentsAndEveryRowAsDrawn).
    const LendingSchedule quarterly = computeLending(loan(10000, 40, 6, Periodicity::Quarterly));
    EXPECT_NEAR(lendingCost(quarterly, Periodicity::Quarterly).effectiveAnnualRate, 6.136355, 1e-4);

    // No table, nothing to cost.
    cost = lendingCost(LendingSchedule{}, Periodicity::Monthly);
    EXPECT_EQ(cost.total, 0.0);
    EXPECT_EQ(cost.effectiveAnnualRate, 0.0);
}

TEST(LendingExport, SpreadsheetLinesWithDecimalCommas) {
    const LendingSchedule schedule = computeLending(loan(1200, 12, 12));
    const std::string csv = lendingTableCsv(schedule);
    const std::string head = "\xEF\xBB\xBF"
                             "Numéro;Date;Intérêt;Principal;Assurance;Echéance;Capital dû\r\n"
                             "0;;;;;;1200,00\r\n"
                             "1;15/01/2025;12,00;94,62;0,00;106,62;1105,38\r\n"
                             "2;15/02/2025;11,05;95,57;0,00;106,62;1009,81\r\n"
                             "3;15/03/2025;10,10;96,52;0,00;106,62;913,29\r\n";
    EXPECT_EQ(csv.substr(0, head.size()), head);
    EXPECT_TRUE(csv.ends_with("\r\n12;15/12/2025;1,08;105,54;0,00;106,62;0,00\r\n"));

    const std::string tabs = lendingTableTabText(schedule);
    EXPECT_TRUE(tabs.starts_with("Numéro\tDate\tIntérêt\t"));
    EXPECT_NE(tabs.find("\r\n1\t15/01/2025\t12,00\t94,62\t0,00\t106,62\t1105,38\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), '\n'), 14);

    // Negative amounts keep their sign; large ones have no grouping.
    LendingRow row;
    row.number = 3;
    row.date = date(2031, 10, 5);
    row.interest = -0.01;
    row.principal = 1234567.5;
    row.insurance = -0.001; // rounds to zero, without a sign
    row.instalment = 0.125; // half a cent up
    EXPECT_EQ(lendingExportLine(row, ';'), "3;05/10/2031;-0,01;1234567,50;0,00;0,13;0,00");
}

TEST(LendingExport, RateAndFailureTexts) {
    EXPECT_EQ(lendingRateText(1234.5), "1 234.50 %");
    EXPECT_EQ(lendingExportFailureMessage("C:\\x\\t.csv", "Accès refusé"),
              "Le tableau n'a pas pu être exporté dans C:\\x\\t.csv (Accès refusé) .");
    EXPECT_EQ(lendingExportFailureMessage("t.csv", ""),
              "Le tableau n'a pas pu être exporté dans t.csv .");
}

} // namespace
} // namespace kolvane
