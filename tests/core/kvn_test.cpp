// The kvn tool, driven through runKvn with string streams. Expected values
// come from the file layout and the booking rule worked out by hand. What
// `kvn new` writes is read back with the loader; the dump's JSON as a whole is
// parsed and compared field by field by tests/tools/check_independent_writer.py,
// so here only what that script does not see is looked for in the text.
#include "kvn_run.h"

#include "account_file_samples.h"

#include "document/account_file.h"
#include "document/calendar.h"
#include "document/document.h"
#include "document/passwords.h"
#include "document/text.h"
#include "register_sample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>
#include <memory>

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using namespace kvntest;
using namespace testing_samples;

// Each test gets a folder of its own, removed afterwards.
class KvnTest : public ::testing::Test {
  protected:
    std::string file(const std::string& name) const { return folder_.file(name); }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()));
    }
    std::string dump(const std::string& path) {
        KvnRun run = kvn({"dump", path});
        EXPECT_EQ(run.code, 0) << run.err;
        return run.out;
    }

    testing_samples::TemporaryFolder folder_;
};

std::unique_ptr<Document> read(const std::string& path) {
    auto doc = std::make_unique<Document>();
    documentInit(*doc);
    EXPECT_EQ(loadDocument(*doc, path), 1) << path;
    return doc;
}

// --- new -------------------------------------------------------------------------

TEST_F(KvnTest, NamesAreWindows1252InTheFileAndCountCharactersNotBytes) {
    // 39 characters, each two bytes in UTF-8 but one in the record.
    std::string longest;
    for (int i = 0; i < 39; ++i)
        longest += "é";
    ASSERT_EQ(kvn({"new", file("a.kvn"), "--account", longest}).code, 0);
    EXPECT_EQ(fieldText(read(file("a.kvn"))->accounts.first()->name), utf8ToCp1252(longest));
    expectRefused(kvn({"new", file("b.kvn"), "--account", longest + "e"}));
    EXPECT_FALSE(fs::exists(file("b.kvn")));
}

// How the amounts are shown is held by the FormatAmount tests.
TEST_F(KvnTest, InitialAmountsAreReadExactly) {
    const std::pair<const char*, double> cases[] = {
        {"-1234.56", -1234.56}, {"0.1", 0.1}, {"-0", 0.0}};
    int n = 0;
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        std::string path = file("amount" + std::to_string(n++) + ".kvn");
        KvnRun made = kvn({"new", path, "--account", "X", "--initial", text});
        ASSERT_EQ(made.code, 0) << made.err;
        auto doc = read(path);
        EXPECT_EQ(doc->accounts.first()->balance, value);
        EXPECT_EQ(doc->operations.first()->amount, value);
    }
}

TEST_F(KvnTest, NewRefusesBadArgumentsAndWritesNothing) {
    const std::string path = file("new.kvn");
    const std::vector<std::vector<std::string>> refused = {
        {"new", path},
        {"new", "--account", "X"},
        {"new", path, "--account"},
        {"new", path, "--account", "   "},
        {"new", path, "--account", "Tab\there"},
        {"new", path, "--account", "Compte 中文"},
        {"new", path, "--account", "X", "--account", "Y"},
        {"new", path, "--account", "X", "--force"},
        {"new", path, "other.kvn", "--account", "X"},
        {"new", path, "--account", "X", "--initial", "12,5"},
        {"new", path, "--account", "X", "--initial", "12."},
        {"new", path, "--account", "X", "--initial", "1.234"},
        {"new", path, "--account", "X", "--initial", ".5"},
        {"new", file("missing/folder/new.kvn"), "--account", "X"},
        {"new", path, "--account", "X", "--user", "Marie"},
        {"new", path, "--account", "X", "--user", "", "--password", "secret"},
        {"new", path, "--account", "X", "--user", "Marie", "--password", "0123456789abcdef"},
    };
    for (const auto& args : refused) {
        std::string shown;
        for (const std::string& arg : args)
            shown += arg + " ";
        SCOPED_TRACE(shown);
        expectRefused(kvn(args));
        EXPECT_EQ(filesInFolder(), 0u);
    }
    // Nor does it replace a file: no backup, no temporary file either.
    ASSERT_EQ(kvn({"new", path, "--account", "Premier", "--initial", "5"}).code, 0);
    std::vector<std::uint8_t> before = readFile(path);
    expectRefused(kvn({"new", path, "--account", "Second"}));
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(KvnTest, NewFileUserCanBeNamedAndGivenAPassword) {
    std::string path = file("demo.kvn");
    ASSERT_EQ(
        kvn({"new", path, "--account", "Courant", "--user", "Anaïs", "--password", "Été2026"}).code,
        0);
    EXPECT_HAS(dump(path), "\"hasPassword\": true");
    auto doc = read(path);
    ASSERT_EQ(doc->users.count(), 1);
    const UserRecord& user = *doc->users.first();
    EXPECT_EQ(fieldText(user.name), utf8ToCp1252("Anaïs"));
    EXPECT_EQ(user.id, 1u);
    EXPECT_EQ(user.flags, 0u); // an administrator
    // The stored password is scrambled and checks against the typed one only.
    const std::string typed = utf8ToCp1252("Été2026");
    EXPECT_NE(fieldText(user.password), typed);
    EXPECT_EQ(checkPassword(typed, user.password, user.passwordKey), 1);
    EXPECT_EQ(checkPassword(utf8ToCp1252("été2026"), user.password, user.passwordKey), 0);
}

// --- generate --------------------------------------------------------------------

TEST_F(KvnTest, GeneratedFilesAreBookedRightAndRefusalsWriteNothing) {
    const std::string path = file("big.kvn");
    const std::vector<std::vector<std::string>> refused = {
        {"generate", path},
        {"generate", path, "--operations", "12x"},
        {"generate", path, "--operations", "100", "--accounts", "0"},
        {"generate", path, "--operations", "100", "--splits", "101"},
        {"generate", path, "--operations", "100", "--operations", "200"},
        {"generate", path, "--operations", "4294967296"},
        {"generate", "--operations", "100"},
    };
    for (const auto& args : refused) {
        expectRefused(kvn(args));
        EXPECT_EQ(filesInFolder(), 0u);
    }
    ASSERT_EQ(kvn({"generate", path, "--operations", "3000", "--accounts", "3", "--thirds", "12",
                   "--splits", "30", "--seed", "18446744073709551615"})
                  .code,
              0);
    KvnRun check = kvn({"check", path});
    EXPECT_EQ(check.code, 0);
    EXPECT_EQ(check.out, "OK\n");
    EXPECT_HAS(kvn({"info", path}).out, "Operations: 3000\n");
    expectRefused(kvn({"generate", path, "--operations", "100"})); // never replaces a file
    EXPECT_EQ(filesInFolder(), 1u);
}

// --- reading files ---------------------------------------------------------------

// Damaged copies are refused in the independent writer's script
// (tests/tools/check_independent_writer.py); here the arguments.
TEST_F(KvnTest, BadFilesAndCommandsAreRefused) {
    std::string good = file("good.kvn");
    ASSERT_EQ(kvn({"new", good, "--account", "Compte", "--initial", "1"}).code, 0);
    expectRefused(kvn({"info", file("absent.kvn")}));
    for (const char* command : {"info", "dump", "check"}) {
        SCOPED_TRACE(command);
        expectRefused(kvn({command}));
        expectRefused(kvn({command, good, good}));
    }
    expectRefused(kvn({"frobnicate", good}));

    KvnRun help = kvn({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("kvn new FILE --account NAME [--initial AMOUNT]"), std::string::npos);
    KvnRun bare = kvn({});
    EXPECT_EQ(bare.code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err, help.out);
}

// --- check ------------------------------------------------------------------------

// The register sample's figures (register_sample.h): A 1 162.50, ticked
// - 12.50, 6 operations; B 320.00, nothing ticked, 3; Martin - 45.00, 2.
class KvnSampleTest : public KvnTest {
  protected:
    void SetUp() override {
        KvnTest::SetUp();
        s_ = sample::buildRegisterSample(doc_);
    }
    std::string saved() {
        const std::string path = file("sample.kvn");
        fs::remove(path);
        EXPECT_EQ(saveDocument(doc_, path), 1);
        return path;
    }
    KvnRun checkSaved() { return kvn({"check", saved()}); }

    Document doc_;
    sample::RegisterSample s_;
};

TEST_F(KvnSampleTest, EachFigureThatDiffersByAThousandthOrMoreIsListed) {
    struct Case {
        double aBalance, aTicked, bTicked, thirdBalance;
        std::uint32_t thirdCount;
        std::uint16_t initialTicked;
        const char* out;
    };
    const Case cases[] = {
        {1152.5, -12.5, 10, -45, 1, 0,
         "Compte A: balance 1 152.50 recorded, 1 162.50 computed\n"
         "Compte B: pointedBalance 10.00 recorded, 0.00 computed\n"
         "Tiers : Martin: operationCount 1 recorded, 2 computed\n"},
        {1162.5005, -12.4995, 0, -45.0004, 2, 0, "OK\n"},
        {1162.5015, -12.5, 0, -45, 2, 0,
         "Compte A: balance 1 162.50 recorded, 1 162.50 computed\n"},
        // The flag ticks A's initial 1 000.00.
        {1162.5, -12.5, 0, -45, 2, 1,
         "Compte A: pointedBalance - 12.50 recorded, 987.50 computed\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        s_.a->balance = c.aBalance;
        s_.a->pointedBalance = c.aTicked;
        s_.b->pointedBalance = c.bTicked;
        s_.third->balance = c.thirdBalance;
        s_.third->operationCount = c.thirdCount;
        s_.a->initialPointed = c.initialTicked;
        KvnRun run = checkSaved();
        EXPECT_EQ(run.code, std::string(c.out) == "OK\n" ? 0 : 1);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(KvnSampleTest, SplitLinesThatAreNotBookedOrDoNotAddUpAreReported) {
    // The purchase carries a copy of itself as a line: booked nowhere.
    const OperationRecord copy = *s_.ticked;
    s_.ticked->lines = new OperationList;
    s_.ticked->lines->append(copy);
    s_.ticked->lineCount = 1;
    s_.split->lines->last()->amount = -25; // - 60 - 25 to a category
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Operation 4: has ventilation lines but is not split\n"
                       "Operation 6: lines add up to - 85.00, the operation moves - 80.00\n");
}

// --- totals: the chart's totals and texts are compared with an independent
// implementation by tests/tools/check_independent_writer.py ------------------------

TEST_F(KvnSampleTest, TotalsOfThePeriodOfEachLengthADateFallsIn) {
    const std::string path = saved();
    struct Case {
        const char *length, *at, *name, *year, *start, *end;
    };
    const Case cases[] = {
        {"month", "2023-12-17", "Decembre", "2023", "2023-12-01", "2024-01-01"},
        {"quarter", "2024-05-17", "2e Trimestre", "2024", "2024-04-01", "2024-07-01"},
        {"quarter", "2024-10-01", "4e Trimestre", "2024", "2024-10-01", "2025-01-01"},
        {"half", "2024-06-30", "1ère Semestre", "2024", "2024-01-01", "2024-07-01"},
        {"half", "2023-12-31", "2e Semestre", "2023", "2023-07-01", "2024-01-01"},
        {"year", "2024-02-29", "Tous", "2024", "2024-01-01", "2025-01-01"},
    };
    for (const Case& c : cases) {
        const KvnRun run = kvn({"totals", path, "--period", c.length, "--at", c.at});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_HAS(run.out, std::string("\"period\": {\n    \"name\": \"") + c.name +
                                "\",\n    \"year\": " + c.year + ",\n    \"start\": \"" + c.start +
                                "T00:00:00.000\",\n    \"end\": \"" + c.end +
                                "T00:00:00.000\"\n  },");
    }
    const std::vector<std::vector<std::string>> refused = {
        {"totals", path},
        {"totals", path, "--period", "week"},
        {"totals", path, "--period", "month", "--period", "year"},
        {"totals", path, "--period", "month", "--at", "2023-02-29"},
        {"totals", path, "--period", "month", "--at", "2024-5-17"},
        {"totals", path, "--period", "month", "--at", "2024-05-00"},
        {"totals", path, "--period", "month", "--at", "1600-12-31"},
        {"totals", path, path, "--period", "month"},
        {"totals", "--period", "month"},
    };
    for (const std::vector<std::string>& args : refused)
        expectRefused(kvn(args));
}

TEST_F(KvnSampleTest, NoChartWithoutAShownExpenseCategory) {
    for (CategoryRecord& category : doc_.categories)
        category.shown = 0;
    EXPECT_HAS(kvn({"totals", saved(), "--period", "year"}).out, "\n  \"chart\": null\n}\n");
}

// --- register and thirds ----------------------------------------------------------

TEST_F(KvnTest, RegisterAndThirdsPrintTheRowsAndTheStripAsDrawn) {
    Document doc;
    sample::buildRegisterSample(doc);
    ThirdRecord masked = *doc.thirds.first();
    setFieldUtf8(masked.name, "Masqué");
    masked.active = 0;
    doc.thirds.append(masked);
    const std::string path = file("r.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);
    KvnRun run = kvn({"register", path, "--account", "Compte A", "--order", "date"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_HAS(run.out, "\"order\": \"date\"");
    // The second row in date order: the split waiting for its ventilation.
    const std::string waiting = R"json({
      "kind": "own",
      "date": " 20/02/2024",
      "mode": "Carte de paiement",
      "category": "Opération ventillée (en attente)",
      "label": "Divers",
      "ticked": "",
      "debit": "30.00",
      "credit": "",
      "balance": "970.00"
    })json";
    EXPECT_HAS(run.out, waiting);
    const std::string strip = R"("strip": {
    "account": "Compte A",
    "pointedBalance": "- 12.50",
    "balance": "1 162.50"
  })";
    EXPECT_HAS(run.out, strip);
    // By position from 1, entry order by default.
    run = kvn({"register", path, "--account", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_HAS(run.out, "\"account\": \"Compte C\"");
    EXPECT_HAS(run.out, "\"order\": \"entry\"");

    // The masked third party is not listed; Martin's refund is his debit.
    run = kvn({"thirds", path, "--third", "Martin"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_HAS(run.out, "{\n  \"thirds\": [\n    {\n      \"name\": \"Martin\",\n"
                        "      \"balance\": \"- 45.00\"\n    }\n  ],\n  \"selected\": \"Martin\",");
    const std::string refund = R"("kind": "counterparty",
      "date": " 07/03/2024",
      "label": "Avoir",
      "debit": "45.00",
      "credit": "",
      "balance": "- 45.00")";
    EXPECT_HAS(run.out, refund);
    EXPECT_HAS(run.out, "\"strip\": {\n    \"third\": \"Martin\",\n    \"balance\": \"- 45.00\"");

    for (const std::vector<std::string>& args : {
             std::vector<std::string>{"register", path},
             {"register", path, "--account", "Compte Z"},
             {"register", path, "--account", "4"},
             {"register", path, "--account", "0"},
             {"register", path, "--account", "A", "--order", "id"},
             {"thirds"},
             {"thirds", path, "--third", "Masqué"},
         })
        expectRefused(kvn(args));
}

// --- dump details ----------------------------------------------------------------

TEST_F(KvnTest, DumpEscapesTextsAndWritesDatesAndNumbersExactly) {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(addDefaultUser(doc));
    // Quotes, backslashes, accents and dates of the year are read by the
    // independent writer's script; here what it cannot see in parsed JSON.
    AccountRecord* account = createAccount(doc, "Compte", 0.1);
    ASSERT_TRUE(account);
    account->minimumAllowed = std::nan("");
    account->minimumWanted = -1e300;
    std::string label = "tab\there\nnew line \x01 end";
    OperationRecord* operation = doc.operations.first();
    setFieldText(operation->label, label);
    operation->entryDate = 0; // the very first file time
    // Bytes after a terminator are kept in the record but are not text.
    setFieldUtf8(doc.users.first()->name, "Zoé");
    doc.users.first()->name[10] = 'x';
    std::string path = file("escape.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);

    std::string json = dump(path);
    EXPECT_HAS(json, "\"minimumAllowed\": null,\n      \"minimumWanted\": -1e+300,");
    EXPECT_HAS(json, "\"balance\": 0.1,");
    EXPECT_HAS(json, "\n  \"users\": [\n    {\n      \"name\": \"Zoé\",\n"); // two spaces a level
    EXPECT_HAS(json, "\"labels\": [],");
    EXPECT_HAS(json, R"("entryDate": "1601-01-01T00:00:00.000")");
    EXPECT_HAS(json, R"("label": "tab\u0009here\u000anew line \u0001 end")");
}

// --- loan -----------------------------------------------------------------------

// kvn loan: the options reach the form and the view's checks refuse with their
// own message. Every row of many loans is compared with a computation of its
// own by tests/tools/check_loan.py.

KvnRun kvnLoan(std::vector<std::string> args) {
    args.insert(args.begin(), "loan");
    return kvn(args);
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
