// kvn loan: the options reach the form, the view's checks refuse with their
// own message, and the table comes out as its cells are drawn. The figures
// were worked out by hand: 1000.00 over 2 months at 12 % is PMT(1 %, 2) =
// 507.5124; row 1 pays 10.00 of interest, row 2 5.02 (on 502.49). The cost
// is 2 x 507.51 - 1000.00 = 15.02; RATE(2, -507.51, 1000) = 0.99968 % a month,
// 1.0099968^12 - 1 = 12.68 % a year.
#include "kvn_run.h"

namespace kolvane {
namespace {

using namespace kvntest;

KvnRun kvnLoan(std::vector<std::string> args) {
    args.insert(args.begin(), "loan");
    return kvn(args);
}

TEST(KvnLoan, PrintsTheInstalmentsAndEveryRowAsDrawn) {
    const KvnRun run =
        kvnLoan({"--amount", "1000", "--count", "2", "--rate", "12", "--first", "2025-11-30"});
    EXPECT_EQ(run.code, 0);
    // Each row's fields are compared with a computation of its own by
    // tests/tools/check_loan.py; here the summary, the opening row and the
    // last row, in December.
    EXPECT_TRUE(run.out.starts_with(R"({
  "instalmentWithInsurance": "507.51",
  "instalmentWithoutInsurance": "507.51",
  "totalCost": "15.02",
  "effectiveAnnualRate": "12.68 %",
  "rows": [
    {
      "number": "0",
      "date": "",
      "interest": "",
      "principal": "",
      "insurance": "",
      "instalment": "",
      "remainingCapital": "1 000.00",
      "december": false
    },)"))
        << run.out;
    EXPECT_TRUE(run.out.ends_with(R"({
      "number": "2",
      "date": " 30/12/2025",
      "interest": "5.02",
      "principal": "502.49",
      "insurance": "0.00",
      "instalment": "507.51",
      "remainingCapital": "0.00",
      "december": true
    }
  ]
}
)")) << run.out;
}

TEST(KvnLoan, ChoicesReachTheForm) {
    // A quarter at 12 % equivalent is 2.8737345 %: 34.48 on 1200.00; 1.2 % of
    // 1200.00 over 4 instalments is 3.60 each.
    const KvnRun run =
        kvnLoan({"--amount", "-1200", "--count", "4", "--rate", "12", "--periodicity",
                 "trimestriel", "--rate-mode", "equivalent", "--insurance", "1.2",
                 "--insurance-type", "pourcentage-fixe", "--first", "2025-01-31"});
    EXPECT_EQ(run.code, 0);
    EXPECT_HAS(run.out, "\"interest\": \"34.48\"");
    EXPECT_HAS(run.out, "\"insurance\": \"3.60\"");
    EXPECT_HAS(run.out, "\"date\": \" 30/04/2025\"");
}

TEST(KvnLoan, RefusesWithOneLineAndExitTwo) {
    const std::vector<std::string> base = {"--amount", "1000",    "--count",
                                           "2",        "--first", "2025-03-31"};
    struct Case {
        std::vector<std::string> extra;
        const char* message; // the line expected, when it is the form's own
    };
    const Case cases[] = {
        {{}, "kvn: Saisissez le taux d'intérêt .\n"},
        {{"--rate", "5", "--release", "2025-03-31"},
         "kvn: Date de la 1ère échéance ou celle de déblocage de Fonds n'est pas valide .\n"},
        {{"--rate", "5", "--count", "3"}, nullptr}, // given twice
        {{"--rate", "5,5"}, nullptr},
        {{"--rate", "5", "--periodicity", "hebdomadaire"}, nullptr},
        {{"--rate", "5", "--rate-mode", "Equivalent"}, nullptr},
        {{"--rate", "5", "--insurance-type", "fixe"}, nullptr},
        {{"--rate", "5", "--release", "2025-02-29"}, nullptr},
        {{"--rate", "5", "--days", "3"}, nullptr},
        {{"--rate"}, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const KvnRun run = kvnLoan(args);
        expectRefused(run);
        if (c.message) {
            EXPECT_EQ(run.err, c.message);
        }
    }
    expectRefused(
        kvnLoan({"--amount", "1", "--count", "-2", "--rate", "5", "--first", "2025-01-01"}));
    expectRefused(kvnLoan({"--amount", "1", "--count", "2", "--rate", "5"})); // no --first
}

} // namespace
} // namespace kolvane
