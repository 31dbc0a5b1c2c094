// The kvn tool, driven through runKvn with string streams. Expected values
// come from the file layout and the booking rule worked out by hand. What
// `kvn new` writes is read back with the loader; the dump's JSON as a whole is
// parsed and compared field by field by tests/tools/check_independent_writer.py,
// so here only what that script does not see is looked for in the text.
#include "kvn_run.h"

#include "document/account_file.h"
#include "document/calendar.h"
#include "document/document.h"
#include "document/passwords.h"
#include "document/text.h"
#include "register_sample.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <random>

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using namespace kvntest;

std::string utf8Path(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Each test gets a folder of its own, removed afterwards.
class KvnTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Other builds may run the same tests at the same time.
        dir_ = fs::temp_directory_path() / (std::string("kvn_test_") + info->name() + "_" +
                                            std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string file(const std::string& name) const { return utf8Path(dir_ / name); }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    std::string dump(const std::string& path) {
        KvnRun run = kvn({"dump", path});
        EXPECT_EQ(run.code, 0) << run.err;
        return run.out;
    }

    fs::path dir_;
};

std::unique_ptr<Document> read(const std::string& path) {
    auto doc = std::make_unique<Document>();
    documentInit(*doc);
    EXPECT_EQ(loadDocument(*doc, path), 1) << path;
    return doc;
}

// --- new -------------------------------------------------------------------------

TEST_F(KvnTest, NewFileHoldsTheDefaultsOfANewDocument) {
    std::string path = file("compte.kvn");
    KvnRun made = kvn({"new", path, "--account", "Compte courant", "--initial", "100"});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.err, "");

    // Magic, flag, 1 user, 10 modes, 72 categories, the zero block, no label,
    // no reserved record, 1 account without logo, no third party, 1 operation.
    EXPECT_EQ(fs::file_size(path),
              8u + 1 + 4 + 76 + 4 + 360 + 4 + 2592 + 64 + 4 + 4 + 4 + 576 + 4 + 4 + 120);

    // The dump shows the first account and its initial-balance operation.
    std::string json = dump(path);
    EXPECT_HAS(json, "\n  \"users\": [\n    {\n      \"name\": \"Nouvel utilisateur\",\n");
    EXPECT_HAS(json, "\"partyId\": 524288,\n      \"counterpartyId\": 1048576,\n"
                     "      \"amount\": 100,\n");
    EXPECT_HAS(json, "\"operationDate\": \"2000-01-01T");
    EXPECT_HAS(json, "\"label\": \"Solde initial\",\n      \"lineCount\": 0,\n      \"lines\": []");

    // The tables themselves are checked with the document and the file layout.
    auto doc = read(path);
    EXPECT_EQ(doc->users.count() + doc->modes.count() + doc->categories.count(), 83);
    EXPECT_EQ(doc->accounts.first()->id, 0x080000u);
    EXPECT_EQ(doc->operations.first()->id, 0u);
    EXPECT_EQ(doc->operations.first()->operationDate / DAY, 145731u); // 2000-01-01

    KvnRun check = kvn({"check", path});
    EXPECT_EQ(check.code, 0);
    EXPECT_EQ(check.out, "OK\n");
    KvnRun info = kvn({"info", path});
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out, "Users: 1\nModes: 10\nCategories: 72\nLabels: 0\nAccounts: 1\n"
                        "Third parties: 0\nOperations: 1\nVentilation lines: 0\n"
                        "Account Compte courant: balance 100.00, ticked 0.00, operations 1\n");
}

TEST_F(KvnTest, NamesAreWindows1252InTheFileAndCountCharactersNotBytes) {
    std::string path = file("livret.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", "Épargne Livret A"}).code, 0);
    // The account record starts at 3125 (see the sum above).
    std::vector<std::uint8_t> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 3125u + 17);
    EXPECT_EQ(bytes[3125], 0xC9); // É
    EXPECT_EQ(std::string(bytes.begin() + 3126, bytes.begin() + 3141), "pargne Livret A");
    EXPECT_EQ(bytes[3141], 0);
    std::string json = dump(path);
    EXPECT_HAS(json, "\"name\": \"Épargne Livret A\",");
    EXPECT_HAS(json, "\"balance\": 0,"); // no --initial

    // 39 characters, each two bytes in UTF-8 but one in the record.
    std::string longest;
    for (int i = 0; i < 39; ++i)
        longest += "é";
    ASSERT_EQ(kvn({"new", file("a.kvn"), "--account", longest}).code, 0);
    EXPECT_EQ(fieldText(read(file("a.kvn"))->accounts.first()->name), utf8ToCp1252(longest));
    expectRefused(kvn({"new", file("b.kvn"), "--account", longest + "e"}));
    EXPECT_FALSE(fs::exists(file("b.kvn")));
}

TEST_F(KvnTest, InitialAmountsAreReadExactly) {
    struct Case {
        const char* text;
        double value;
        const char* shown;
    };
    const Case cases[] = {{"-12.5", -12.5, "- 12.50"},
                          {"1234.56", 1234.56, "1 234.56"},
                          {"0.1", 0.1, "0.10"},
                          {"-0", 0.0, "0.00"}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string path = file("amount" + std::to_string(n++) + ".kvn");
        KvnRun made = kvn({"new", path, "--initial", c.text, "--account", "X"});
        ASSERT_EQ(made.code, 0) << made.err;
        auto doc = read(path);
        EXPECT_EQ(doc->accounts.first()->balance, c.value);
        EXPECT_EQ(doc->operations.first()->amount, c.value);
        std::string info = kvn({"info", path}).out;
        EXPECT_NE(info.find(std::string("balance ") + c.shown + ","), std::string::npos) << info;
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
        {"new", path, "--account", "X", "--initial"},
        {"new", path, "--account", "X", "--initial", "12,5"},
        {"new", path, "--account", "X", "--initial", "1e3"},
        {"new", path, "--account", "X", "--initial", "nan"},
        {"new", path, "--account", "X", "--initial", "+5"},
        {"new", path, "--account", "X", "--initial", "1.234"},
        {"new", path, "--account", "X", "--initial", ".5"},
        {"new", path, "--account", "X", "--initial", "1 000"},
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
    std::vector<std::uint8_t> before = readBytes(path);
    expectRefused(kvn({"new", path, "--account", "Second"}));
    EXPECT_EQ(readBytes(path), before);
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

// Only the kvn program leaves its document to the system at exit; a caller
// that goes on gets every record block back.
TEST_F(KvnTest, ACommandInAProcessThatGoesOnHandsItsRecordsBack) {
    const std::string path = file("blocks.kvn");
    ASSERT_EQ(kvn({"generate", path, "--operations", "40000", "--accounts", "2", "--thirds", "2"})
                  .code,
              0);
    const std::size_t before = OperationList::nodePool().blockCount();
    ASSERT_EQ(kvn({"info", path}).code, 0);
    // 40 000 operations fill three blocks; at most one empty block is kept.
    EXPECT_LE(OperationList::nodePool().blockCount(), before + 1);
}

TEST_F(KvnTest, GeneratedFilesAreBookedRightAndRefusalsWriteNothing) {
    const std::string path = file("big.kvn");
    const std::vector<std::vector<std::string>> refused = {
        {"generate", path},
        {"generate", path, "--operations", "12x"},
        {"generate", path, "--operations", "-5"},
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

TEST_F(KvnTest, BadFilesAndCommandsAreRefused) {
    std::string good = file("good.kvn");
    ASSERT_EQ(kvn({"new", good, "--account", "Compte", "--initial", "1"}).code, 0);
    const std::vector<std::uint8_t> bytes = readBytes(good);
    std::vector<std::uint8_t> badMagic = bytes, trailing = bytes;
    badMagic[0] = 'k';
    trailing.push_back(0);
    const std::vector<std::vector<std::uint8_t>> damaged = {{bytes.begin(), bytes.end() - 1},
                                                            {bytes.begin(), bytes.begin() + 100},
                                                            badMagic,
                                                            trailing,
                                                            {'h', 'e', 'l', 'l', 'o', '\n'},
                                                            {}};
    std::vector<std::string> paths = {file("absent.kvn"), file("")};
    for (const auto& content : damaged) {
        paths.push_back(file("damaged" + std::to_string(paths.size()) + ".kvn"));
        writeBytes(paths.back(), content);
    }
    for (const char* command : {"info", "dump", "check"}) {
        for (const std::string& path : paths) {
            SCOPED_TRACE(std::string(command) + " " + path);
            expectRefused(kvn({command, path}));
        }
        SCOPED_TRACE(command);
        expectRefused(kvn({command}));
        expectRefused(kvn({command, good, good}));
    }
    expectRefused(kvn({"frobnicate", good}));
    EXPECT_EQ(readBytes(good), bytes);
    EXPECT_EQ(filesInFolder(), 7u);

    KvnRun help = kvn({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("kvn new FILE --account NAME [--initial AMOUNT]"), std::string::npos);
    KvnRun bare = kvn({});
    EXPECT_EQ(bare.code, 2);
    EXPECT_EQ(bare.out, "");
    EXPECT_EQ(bare.err, help.out);
}

// --- a document with transfers, a third party and a split ------------------------

// Two accounts, a third party, a payment, a transfer and a split over a
// category, the third party and the second account. Balances worked out by
// hand with the booking rule (the party gains, the counterparty loses):
//   A (initial 1000, initial tick on): -30 to T, -100 to B, -80 split
//       balance 790, ticked 1000 - 30 - 100 = 870, operations 4
//   B (initial 200): +100 from A, +10 from the split line (ticked)
//       balance 310, ticked 100 + 10 = 110, operations 3
//   T (initial 50): +30 from A, +20 from the split line
//       balance 100, operations 3
class KvnCheckTest : public KvnTest {
  protected:
    void SetUp() override {
        KvnTest::SetUp();
        documentInit(doc_);
        EXPECT_TRUE(addDefaultUser(doc_));
        a_ = createAccount(doc_, "A", 1000);
        b_ = createAccount(doc_, "B", 200);
        ASSERT_TRUE(a_ && b_);
        a_->initialPointed = 1;
        findOperationById(doc_, a_->initialOperationId)->pointed = 1;

        ThirdRecord third{};
        setFieldUtf8(third.name, "Dupont");
        third.id = Third | 0;
        third.initialBalance = 50;
        third.active = 1;
        third.initialOperationId = addOperation(third.id, InitialBalance, 50, 0)->id;
        t_ = doc_.thirds.append(third);
        doc_.nextThirdNumber = 1;

        addOperation(a_->id, t_->id, -30, 1);
        addOperation(a_->id, b_->id, -100, 1);
        addLines(*addOperation(a_->id, Split, -80, 0),
                 {{Category | 0x0001, -50, 0}, {t_->id, -20, 0}, {b_->id, -10, 1}});
        setRecorded({790, 870, 4, 310, 110, 3, 100, 3});
    }

    OperationRecord* addOperation(PartyId party, PartyId counterparty, double amount, int pointed) {
        OperationRecord operation{};
        operation.partyId = party;
        operation.counterpartyId = counterparty;
        operation.amount = amount;
        operation.pointed = static_cast<std::uint16_t>(pointed);
        operation.id = doc_.nextOperationId++;
        return doc_.operations.append(operation);
    }
    struct Line {
        PartyId counterparty;
        double amount;
        std::uint16_t pointed;
    };
    static void addLines(OperationRecord& operation, std::initializer_list<Line> lines) {
        operation.lines = new OperationList;
        for (const Line& part : lines) {
            VentilationLine line{};
            line.partyId = Split;
            line.counterpartyId = part.counterparty;
            line.amount = part.amount;
            line.id = operation.id;
            line.pointed = part.pointed;
            operation.lines->append(line);
        }
        operation.lineCount = static_cast<std::uint32_t>(lines.size());
    }
    // A's balance, ticked balance and count, then B's, then T's balance and count.
    void setRecorded(const std::array<double, 8>& v) {
        a_->balance = v[0];
        a_->pointedBalance = v[1];
        a_->operationCount = static_cast<std::uint32_t>(v[2]);
        b_->balance = v[3];
        b_->pointedBalance = v[4];
        b_->operationCount = static_cast<std::uint32_t>(v[5]);
        t_->balance = v[6];
        t_->operationCount = static_cast<std::uint32_t>(v[7]);
    }
    KvnRun checkSaved() {
        std::string path = file("check.kvn");
        fs::remove(path);
        EXPECT_EQ(saveDocument(doc_, path), 1);
        return kvn({"check", path});
    }

    Document doc_;
    AccountRecord* a_ = nullptr;
    AccountRecord* b_ = nullptr;
    ThirdRecord* t_ = nullptr;
};

// The consistent document and its `info` lines are also checked by
// tests/tools/check_independent_writer.py; here, the thresholds and flags.
TEST_F(KvnCheckTest, EachFigureThatDiffersByAThousandthOrMoreIsListed) {
    struct Case {
        std::array<double, 8> recorded;
        std::uint16_t initialPointed;
        const char* out;
    };
    const Case cases[] = {
        {{780, 870, 4, 310, 100, 3, 100, 2},
         1,
         "A: balance 780.00 recorded, 790.00 computed\n"
         "B: pointedBalance 100.00 recorded, 110.00 computed\n"
         "Tiers : Dupont: operationCount 2 recorded, 3 computed\n"},
        {{790.0005, 869.9995, 4, 310, 110, 3, 100.0004, 3}, 1, "OK\n"},
        {{790.0015, 870, 4, 310, 110, 3, 100, 3},
         1,
         "A: balance 790.00 recorded, 790.00 computed\n"},
        // The flag says untick: A's ticked balance loses the initial 1000.
        {{790, 870, 4, 310, 110, 3, 100, 3},
         0,
         "A: pointedBalance 870.00 recorded, - 130.00 computed\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        setRecorded(c.recorded);
        a_->initialPointed = c.initialPointed;
        KvnRun run = checkSaved();
        EXPECT_EQ(run.code, std::string(c.out) == "OK\n" ? 0 : 1);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(KvnCheckTest, LinesOfAnOperationThatIsNotSplitAreReported) {
    // An operation of B against a category, wrongly carrying a line for T:
    // B gains 5, the line is not booked.
    OperationRecord* operation = addOperation(b_->id, Category | 0x0100, 5, 0);
    addLines(*operation, {{t_->id, 5, 0}});
    setRecorded({790, 870, 4, 315, 110, 4, 100, 3});
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Operation " + std::to_string(operation->id) +
                           ": has ventilation lines but is not split\n");
}

TEST_F(KvnCheckTest, LinesThatDoNotAddUpToTheirOperationAreReported) {
    doc_.operations.last()->lines->last()->amount = -15; // B gains 15, not 10
    setRecorded({790, 870, 4, 315, 115, 3, 100, 3});
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Operation 5: lines add up to - 85.00, the operation moves - 80.00\n");
}

// --- register ----------------------------------------------------------------------

TEST_F(KvnTest, RegisterPrintsTheRowsAndTheStripAsDrawn) {
    Document doc;
    sample::buildRegisterSample(doc);
    ASSERT_EQ(saveDocument(doc, file("r.kvn")), 1);
    KvnRun run = kvn({"register", file("r.kvn"), "--account", "Compte A", "--order", "date"});
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
    EXPECT_HAS(run.out, R"("kind": "line")");
    EXPECT_HAS(run.out, R"("kind": "incoming")");
    const std::string strip = R"("strip": {
    "account": "Compte A",
    "pointedBalance": "- 12.50",
    "balance": "1 162.50"
  })";
    EXPECT_HAS(run.out, strip);
    // By position from 1, entry order by default.
    run = kvn({"register", file("r.kvn"), "--account", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_HAS(run.out, "\"account\": \"Compte C\"");
    EXPECT_HAS(run.out, "\"order\": \"entry\"");
    EXPECT_HAS(kvn({"register", file("r.kvn"), "--account", "1"}).out,
               "\"account\": \"Compte A\"");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"register", file("r.kvn")},
          {"register", file("r.kvn"), "--account", "Compte Z"},
          {"register", file("r.kvn"), "--account", "4"},
          {"register", file("r.kvn"), "--account", "0"},
          {"register", file("r.kvn"), "--account", "A", "--order", "id"},
          {"register", file("none.kvn"), "--account", "1"}})
        expectRefused(kvn(args));
}

// --- thirds ------------------------------------------------------------------------

TEST_F(KvnTest, ThirdsPrintTheTreeAndOnePartysRowsAsDrawn) {
    Document doc;
    sample::buildRegisterSample(doc);
    ThirdRecord masked = *doc.thirds.first();
    setFieldUtf8(masked.name, "Masqué");
    masked.active = 0;
    doc.thirds.append(masked);
    ASSERT_EQ(saveDocument(doc, file("t.kvn")), 1);
    KvnRun run = kvn({"thirds", file("t.kvn"), "--third", "Martin"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string expected = R"json({
  "thirds": [
    {
      "name": "Martin",
      "balance": "- 45.00"
    }
  ],
  "selected": "Martin",
  "rows": [
    {
      "kind": "initial",
      "date": "",
      "label": "Solde initial",
      "debit": "",
      "credit": "0.00",
      "balance": "0.00"
    },
    {
      "kind": "counterparty",
      "date": " 07/03/2024",
      "label": "Avoir",
      "debit": "45.00",
      "credit": "",
      "balance": "- 45.00"
    }
  ],
  "strip": {
    "third": "Martin",
    "balance": "- 45.00"
  }
}
)json";
    EXPECT_EQ(run.out, expected);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"thirds"},
          {"thirds", file("t.kvn"), "--third", "Masqué"},
          {"thirds", file("t.kvn"), "--third"},
          {"thirds", file("none.kvn")}})
        expectRefused(kvn(args));
}

// --- dump details ----------------------------------------------------------------

TEST_F(KvnTest, DumpEscapesTextsAndWritesDatesAndNumbersExactly) {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(addDefaultUser(doc));
    AccountRecord* account = createAccount(doc, utf8ToCp1252("Quote \" back \\ slash"), 0.1);
    ASSERT_TRUE(account);
    setFieldUtf8(account->city, "Saint-Étienne");
    account->minimumAllowed = std::nan("");
    account->minimumWanted = -1e300;
    std::string label = "tab\there\nnew line \x01 end";
    OperationRecord* operation = doc.operations.first();
    setFieldText(operation->label, label);
    CalendarTime when{2024, 2, 29, 4, 13, 5, 9, 7};
    operation->operationDate = toFileTime(when);
    operation->entryDate = 0; // the very first file time
    // Bytes after a terminator are kept in the record but are not text.
    setFieldUtf8(doc.users.first()->name, "Zoé");
    doc.users.first()->name[10] = 'x';
    std::string path = file("escape.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);

    std::string json = dump(path);
    EXPECT_HAS(json, R"("name": "Quote \" back \\ slash")");
    EXPECT_HAS(json, "\"city\": \"Saint-Étienne\"");
    EXPECT_HAS(json, "\"minimumAllowed\": null,\n      \"minimumWanted\": -1e+300,");
    EXPECT_HAS(json, "\"balance\": 0.1,");
    EXPECT_HAS(json, "\n  \"users\": [\n    {\n      \"name\": \"Zoé\",\n"); // two spaces a level
    EXPECT_HAS(json, "\"labels\": [],");
    EXPECT_HAS(json, R"("entryDate": "1601-01-01T00:00:00.000")");
    EXPECT_HAS(json, R"("operationDate": "2024-02-29T13:05:09.007")");
    EXPECT_HAS(json, R"("label": "tab\u0009here\u000anew line \u0001 end")");
}

} // namespace
} // namespace kolvane
