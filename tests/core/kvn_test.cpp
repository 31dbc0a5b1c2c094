// The kvn tool, driven through runKvn with string streams. Expected values
// come from the file layout and the booking rule worked out by hand.
#include "tools/kvn_commands.h"

#include "document/account_file.h"
#include "document/calendar.h"
#include "document/document.h"
#include "document/passwords.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kolvane {
namespace {

namespace fs = std::filesystem;

// --- a small JSON reader, enough to read the dump back --------------------

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](std::string_view key) const {
        for (const auto& [name, value] : members)
            if (name == key)
                return value;
        throw std::runtime_error(std::string("no member ") + std::string(key));
    }
    const Json& operator[](std::size_t index) const { return items.at(index); }
    std::size_t size() const { return kind == Array ? items.size() : members.size(); }
};

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    Json document() {
        Json value = parseValue();
        skipSpaces();
        if (pos_ != text_.size())
            fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("bad JSON at ") + std::to_string(pos_) + ": " + what);
    }
    void skipSpaces() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n'))
            ++pos_;
    }
    bool take(char c) {
        skipSpaces();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!take(c))
            fail("unexpected character");
    }
    bool takeWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    Json parseValue() {
        skipSpaces();
        if (pos_ >= text_.size())
            fail("end of text");
        Json value;
        char c = text_[pos_];
        if (c == '{') {
            value.kind = Json::Object;
            ++pos_;
            if (take('}'))
                return value;
            do {
                skipSpaces();
                std::string name = parseString();
                expect(':');
                value.members.emplace_back(name, parseValue());
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            value.kind = Json::Array;
            ++pos_;
            if (take(']'))
                return value;
            do
                value.items.push_back(parseValue());
            while (take(','));
            expect(']');
        } else if (c == '"') {
            value.kind = Json::String;
            value.text = parseString();
        } else if (takeWord("true")) {
            value.kind = Json::Bool;
            value.boolean = true;
        } else if (takeWord("false")) {
            value.kind = Json::Bool;
        } else if (takeWord("null")) {
            value.kind = Json::Null;
        } else {
            value.kind = Json::Number;
            auto result =
                std::from_chars(text_.data() + pos_, text_.data() + text_.size(), value.number);
            if (result.ec != std::errc())
                fail("not a number");
            pos_ = static_cast<std::size_t>(result.ptr - text_.data());
        }
        return value;
    }

    std::string parseString() {
        if (pos_ >= text_.size() || text_[pos_] != '"')
            fail("string expected");
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size())
                fail("unterminated string");
            char c = text_[pos_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                fail("raw control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            char escape = text_[pos_++];
            switch (escape) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'u': {
                unsigned code = 0;
                auto result =
                    std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
                if (result.ptr != text_.data() + pos_ + 4 || code >= 0x80)
                    fail("only \\u00XX escapes of ASCII are expected");
                pos_ += 4;
                out += static_cast<char>(code);
                break;
            }
            default:
                fail("unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// --- running the tool --------------------------------------------------------

struct KvnRun {
    int code;
    std::string out;
    std::string err;
};

KvnRun kvn(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = runKvn(args, out, err);
    return {code, out.str(), err.str()};
}

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
    Json dump(const std::string& path) {
        KvnRun run = kvn({"dump", path});
        EXPECT_EQ(run.code, 0) << run.err;
        return JsonReader(run.out).document();
    }

    fs::path dir_;
};

// A refused command: exit 2, nothing on the output, exactly one line of
// explanation, and no file left behind.
void expectRefused(const KvnRun& run) {
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
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

    Json doc = dump(path);
    EXPECT_EQ(doc["alertsEnabled"].number, 1);
    EXPECT_EQ(doc["nextOperationId"].number, 1);
    EXPECT_EQ(doc["nextAccountNumber"].number, 1);
    EXPECT_EQ(doc["nextThirdNumber"].number, 0);

    ASSERT_EQ(doc["users"].size(), 1u);
    EXPECT_EQ(doc["users"][0]["name"].text, "Nouvel utilisateur");
    EXPECT_EQ(doc["users"][0]["id"].number, 1);
    EXPECT_EQ(doc["users"][0]["flags"].number, 0);
    EXPECT_EQ(doc["users"][0]["passwordKey"].number, 0);
    EXPECT_FALSE(doc["users"][0]["hasPassword"].boolean);

    struct Row {
        const char* name;
        int id;
        int kind;
    };
    const Row modes[] = {{"DEBIT", 0x0000, 2},       {"Carte de paiement", 0x0001, 1},
                         {"Chèque émis", 0x0002, 1}, {"Virement émis", 0x0003, 1},
                         {"Prélèvement", 0x0004, 1}, {"Tip", 0x0005, 1},
                         {"CREDIT", 0x8000, 2},      {"Virement reçu", 0x8001, 1},
                         {"Dépôt", 0x8002, 1},       {"Remise de chèque", 0x8003, 1}};
    ASSERT_EQ(doc["modes"].size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(doc["modes"][i]["name"].text, modes[i].name);
        EXPECT_EQ(doc["modes"][i]["id"].number, modes[i].id);
        EXPECT_EQ(doc["modes"][i]["kind"].number, modes[i].kind);
    }

    const Json& categories = doc["categories"];
    ASSERT_EQ(categories.size(), 72u);
    int categoryRows = 0;
    for (const Json& row : categories.items) {
        EXPECT_EQ(row["shown"].number, 1);
        if ((static_cast<int>(row["id"].number) & 0xFF) == 0)
            ++categoryRows;
    }
    EXPECT_EQ(categoryRows, 13);
    // Positions: each category row is followed by its sub-categories, so
    // "Revenus" comes after the 58 rows of the ten expense categories.
    struct Placed {
        std::size_t position;
        const char* name;
        int id;
    };
    const Placed someCategories[] = {{0, "Alimentation", 0x0000}, {1, "Supermarché", 0x0001},
                                     {5, "Logement", 0x0100},     {7, "Eléctricité", 0x0102},
                                     {16, "Divers", 0x010B},      {58, "Revenus", 0x8000},
                                     {71, "Plus-values", 0x8203}};
    for (const Placed& row : someCategories) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(categories[row.position]["name"].text, row.name);
        EXPECT_EQ(categories[row.position]["id"].number, row.id);
    }

    EXPECT_EQ(doc["labels"].size(), 0u);
    EXPECT_EQ(doc["reserved"].size(), 0u);
    EXPECT_EQ(doc["thirds"].size(), 0u);

    ASSERT_EQ(doc["accounts"].size(), 1u);
    const Json& account = doc["accounts"][0];
    EXPECT_EQ(account["name"].text, "Compte courant");
    EXPECT_EQ(account["id"].number, 0x080000);
    EXPECT_EQ(account["initialBalance"].number, 100);
    EXPECT_EQ(account["balance"].number, 100);
    EXPECT_EQ(account["pointedBalance"].number, 0);
    EXPECT_EQ(account["operationCount"].number, 1);
    EXPECT_EQ(account["initialOperationId"].number, 0);
    EXPECT_EQ(account["initialPointed"].number, 0);
    EXPECT_EQ(account["active"].number, 1);
    EXPECT_FALSE(account["hasLogo"].boolean);

    ASSERT_EQ(doc["operations"].size(), 1u);
    const Json& initial = doc["operations"][0];
    EXPECT_EQ(initial["id"].number, 0);
    EXPECT_EQ(initial["label"].text, "Solde initial");
    EXPECT_EQ(initial["partyId"].number, 0x080000);
    EXPECT_EQ(initial["counterpartyId"].number, 0x100000);
    EXPECT_EQ(initial["amount"].number, 100);
    EXPECT_EQ(initial["creatorUserId"].number, 1);
    EXPECT_EQ(initial["operationDate"].text.substr(0, 11), "2000-01-01T");
    EXPECT_EQ(initial["operationDate"].text.size(), 23u);
    EXPECT_EQ(initial["lineCount"].number, 0);
    EXPECT_EQ(initial["lines"].size(), 0u);

    KvnRun check = kvn({"check", path});
    EXPECT_EQ(check.code, 0);
    EXPECT_EQ(check.out, "OK\n");

    KvnRun info = kvn({"info", path});
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out, "Users: 1\nModes: 10\nCategories: 72\nLabels: 0\nAccounts: 1\n"
                        "Third parties: 0\nOperations: 1\nVentilation lines: 0\n"
                        "Account Compte courant: balance 100.00, ticked 0.00, operations 1\n");
}

TEST_F(KvnTest, AccentedNamesAreStoredInWindows1252AndDumpedInUtf8) {
    std::string path = file("livret.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", "Épargne Livret A"}).code, 0);
    // The account record starts after the sections before it (see the sum above).
    std::vector<std::uint8_t> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 3125u + 17);
    EXPECT_EQ(bytes[3125], 0xC9); // É
    EXPECT_EQ(std::string(bytes.begin() + 3126, bytes.begin() + 3141), "pargne Livret A");
    EXPECT_EQ(bytes[3141], 0);

    Json doc = dump(path);
    EXPECT_EQ(doc["accounts"][0]["name"].text, "Épargne Livret A");
    EXPECT_EQ(doc["accounts"][0]["balance"].number, 0); // no --initial

    std::string euro = file("euro.kvn");
    ASSERT_EQ(kvn({"new", euro, "--account", "Réserve €"}).code, 0);
    EXPECT_EQ(readBytes(euro)[3125 + 8], 0x80); // the euro sign of Windows-1252
    EXPECT_EQ(dump(euro)["accounts"][0]["name"].text, "Réserve €");
}

TEST_F(KvnTest, NameLengthCountsCharactersNotBytes) {
    // 39 characters, each two bytes in UTF-8 but one in the record.
    std::string longest;
    for (int i = 0; i < 39; ++i)
        longest += "é";
    std::string path = file("a.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", longest}).code, 0);
    EXPECT_EQ(dump(path)["accounts"][0]["name"].text, longest);

    std::string tooLong = longest + "e";
    std::string refusedPath = file("b.kvn");
    expectRefused(kvn({"new", refusedPath, "--account", tooLong}));
    EXPECT_FALSE(fs::exists(refusedPath));
}

TEST_F(KvnTest, InitialAmountsAreReadExactly) {
    struct Case {
        const char* text;
        double value;
        const char* shown;
    };
    const Case cases[] = {{"100", 100.0, "100.00"},
                          {"-12.5", -12.5, "- 12.50"},
                          {"1234.56", 1234.56, "1 234.56"},
                          {"0.1", 0.1, "0.10"},
                          {"-0", 0.0, "0.00"}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string path = file(std::string("amount") + std::to_string(n++) + ".kvn");
        KvnRun made = kvn({"new", path, "--initial", c.text, "--account", "X"});
        ASSERT_EQ(made.code, 0) << made.err;
        Json doc = dump(path);
        EXPECT_EQ(doc["accounts"][0]["balance"].number, c.value);
        EXPECT_EQ(doc["operations"][0]["amount"].number, c.value);
        std::string info = kvn({"info", path}).out;
        EXPECT_NE(info.find(std::string("balance ") + c.shown + ","), std::string::npos) << info;
    }
}

TEST_F(KvnTest, NewRefusesBadArgumentsAndWritesNothing) {
    const std::string path = file("new.kvn");
    const std::vector<std::vector<std::string>> refused = {
        {"new"},
        {"new", path},
        {"new", "--account", "X"},
        {"new", path, "--account"},
        {"new", path, "--account", ""},
        {"new", path, "--account", "   "},
        {"new", path, "--account", "Tab\there"},
        {"new", path, "--account", "Compte 中文"},
        {"new", path, "--account", "X", "--account", "Y"},
        {"new", path, "--account", "X", "--initial"},
        {"new", path, "--account", "X", "--force"},
        {"new", path, "other.kvn", "--account", "X"},
        {"new", path, "--account", "X", "--initial", "12,5"},
        {"new", path, "--account", "X", "--initial", "abc"},
        {"new", path, "--account", "X", "--initial", "1e3"},
        {"new", path, "--account", "X", "--initial", "inf"},
        {"new", path, "--account", "X", "--initial", "nan"},
        {"new", path, "--account", "X", "--initial", "+5"},
        {"new", path, "--account", "X", "--initial", ""},
        {"new", path, "--account", "X", "--initial", "1.234"},
        {"new", path, "--account", "X", "--initial", ".5"},
        {"new", path, "--account", "X", "--initial", "5."},
        {"new", path, "--account", "X", "--initial", "1 000"},
        {"new", path, "--account", "X", "--initial", "--"},
        {"new", file("missing/folder/new.kvn"), "--account", "X"},
        {"new", path, "--account", "X", "--user", "Marie"},
        {"new", path, "--account", "X", "--password", "secret"},
        {"new", path, "--account", "X", "--user", "", "--password", "secret"},
        {"new", path, "--account", "X", "--user", "Marie", "--password", ""},
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
}

TEST_F(KvnTest, NewFileUserCanBeNamedAndGivenAPassword) {
    std::string path = file("demo.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", "Courant", "--user", "Anaïs", "--password",
                   "Été2026"})
                  .code,
              0);
    Json users = dump(path)["users"];
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0]["name"].text, "Anaïs");
    EXPECT_EQ(users[0]["id"].number, 1);
    EXPECT_EQ(users[0]["flags"].number, 0); // an administrator
    EXPECT_TRUE(users[0]["hasPassword"].boolean);

    // The stored password is scrambled and checks against the typed one only.
    Document doc;
    ASSERT_EQ(loadDocument(doc, path), 1);
    const UserRecord& user = *doc.users.first();
    const std::string typed = utf8ToCp1252("Été2026");
    EXPECT_NE(fieldText(user.password), typed);
    EXPECT_EQ(checkPassword(typed, user.password, user.passwordKey), 1);
    EXPECT_EQ(checkPassword(utf8ToCp1252("été2026"), user.password, user.passwordKey), 0);
}

TEST_F(KvnTest, NewNeverReplacesAFile) {
    std::string path = file("kept.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", "Premier", "--initial", "5"}).code, 0);
    std::vector<std::uint8_t> before = readBytes(path);
    expectRefused(kvn({"new", path, "--account", "Second"}));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(filesInFolder(), 1u); // no backup, no temporary file
}

// --- reading files ---------------------------------------------------------------

TEST_F(KvnTest, BadFilesAndCommandsAreRefused) {
    std::string good = file("good.kvn");
    ASSERT_EQ(kvn({"new", good, "--account", "Compte", "--initial", "1"}).code, 0);
    std::vector<std::uint8_t> bytes = readBytes(good);

    std::string truncated = file("truncated.kvn");
    writeBytes(truncated, std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1));
    std::string halved = file("halved.kvn");
    writeBytes(halved, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 100));
    std::string lowerCase = file("magic.kvn");
    std::vector<std::uint8_t> badMagic = bytes;
    badMagic[0] = 'k';
    writeBytes(lowerCase, badMagic);
    std::string longer = file("longer.kvn");
    std::vector<std::uint8_t> trailing = bytes;
    trailing.push_back(0);
    writeBytes(longer, trailing);
    std::string text = file("notes.txt");
    writeBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
    std::string empty = file("empty.kvn");
    writeBytes(empty, {});

    for (const char* command : {"info", "dump", "check"}) {
        for (const std::string& path :
             {file("absent.kvn"), truncated, halved, lowerCase, longer, text, empty, file("")}) {
            SCOPED_TRACE(std::string(command) + " " + path);
            expectRefused(kvn({command, path}));
        }
        SCOPED_TRACE(command);
        expectRefused(kvn({command}));
        expectRefused(kvn({command, good, good}));
    }
    expectRefused(kvn({"frobnicate", good}));
    expectRefused(kvn({"--account"}));
    EXPECT_EQ(readBytes(good), bytes);
    EXPECT_EQ(filesInFolder(), 7u);
}

TEST(KvnUsage, HelpOnRequestUsageOnErrorWithoutArguments) {
    KvnRun help = kvn({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(help.out.find("kvn new FILE --account NAME [--initial AMOUNT]"), std::string::npos);
    EXPECT_NE(help.out.find("kvn check FILE"), std::string::npos);

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
        addDefaultUser(doc_);
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
        third.initialOperationId = addOperation(third.id, InitialBalance, 50, 0);
        t_ = doc_.thirds.append(third);
        doc_.nextThirdNumber = 1;

        addOperation(a_->id, t_->id, -30, 1);
        addOperation(a_->id, b_->id, -100, 1);
        std::uint32_t split = addOperation(a_->id, Split, -80, 0);
        OperationRecord* operation = findOperationById(doc_, split);
        operation->lines = new OperationList;
        addLine(*operation, Category | 0x0001, -50, 0);
        addLine(*operation, t_->id, -20, 0);
        addLine(*operation, b_->id, -10, 1);
        operation->lineCount = 3;

        setRecorded(790, 870, 4, 310, 110, 3, 100, 3);
    }

    std::uint32_t addOperation(PartyId party, PartyId counterparty, double amount, int pointed) {
        OperationRecord operation{};
        operation.partyId = party;
        operation.counterpartyId = counterparty;
        operation.amount = amount;
        operation.pointed = static_cast<std::uint16_t>(pointed);
        operation.id = doc_.nextOperationId++;
        doc_.operations.append(operation);
        return operation.id;
    }
    static void addLine(OperationRecord& operation, PartyId counterparty, double amount,
                        int pointed) {
        VentilationLine line{};
        line.partyId = Split;
        line.counterpartyId = counterparty;
        line.amount = amount;
        line.id = operation.id;
        line.pointed = static_cast<std::uint16_t>(pointed);
        operation.lines->append(line);
    }
    void setRecorded(double aBalance, double aPointed, std::uint32_t aCount, double bBalance,
                     double bPointed, std::uint32_t bCount, double tBalance, std::uint32_t tCount) {
        a_->balance = aBalance;
        a_->pointedBalance = aPointed;
        a_->operationCount = aCount;
        b_->balance = bBalance;
        b_->pointedBalance = bPointed;
        b_->operationCount = bCount;
        t_->balance = tBalance;
        t_->operationCount = tCount;
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

TEST_F(KvnCheckTest, ConsistentDocumentChecksOk) {
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "OK\n");
    EXPECT_EQ(run.err, "");

    KvnRun info = kvn({"info", file("check.kvn")});
    EXPECT_EQ(info.out, "Users: 1\nModes: 0\nCategories: 0\nLabels: 0\nAccounts: 2\n"
                        "Third parties: 1\nOperations: 6\nVentilation lines: 3\n"
                        "Account A: balance 790.00, ticked 870.00, operations 4\n"
                        "Account B: balance 310.00, ticked 110.00, operations 3\n"
                        "Third party Dupont: balance 100.00, operations 3\n");
}

TEST_F(KvnCheckTest, EachRecordedFigureThatDiffersIsListed) {
    setRecorded(780, 870, 4, 310, 100, 3, 100, 2);
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "A: balance 780.00 recorded, 790.00 computed\n"
                       "B: pointedBalance 100.00 recorded, 110.00 computed\n"
                       "Tiers : Dupont: operationCount 2 recorded, 3 computed\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(KvnCheckTest, OnlyDifferencesOfAThousandthCount) {
    setRecorded(790.0005, 869.9995, 4, 310, 110, 3, 100.0004, 3);
    EXPECT_EQ(checkSaved().code, 0);
    setRecorded(790.0015, 870, 4, 310, 110, 3, 100, 3);
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "A: balance 790.00 recorded, 790.00 computed\n");
}

TEST_F(KvnCheckTest, InitialTickIsTheAccountsFlag) {
    // The flag says untick: A's ticked balance loses the initial 1000.
    a_->initialPointed = 0;
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "A: pointedBalance 870.00 recorded, - 130.00 computed\n");
}

TEST_F(KvnCheckTest, LinesOfAnOperationThatIsNotSplitAreReported) {
    // An operation of B against a category, wrongly carrying a line for T:
    // B gains 5, the line is not booked.
    std::uint32_t id = addOperation(b_->id, Category | 0x0100, 5, 0);
    OperationRecord* operation = findOperationById(doc_, id);
    operation->lines = new OperationList;
    addLine(*operation, t_->id, 5, 0);
    operation->lineCount = 1;
    setRecorded(790, 870, 4, 315, 110, 4, 100, 3);
    KvnRun run = checkSaved();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, std::string("Operation ") + std::to_string(id) +
                           ": has ventilation lines but is not split\n");
}

TEST_F(KvnTest, CheckFindsABalanceChangedInTheFile) {
    std::string path = file("tampered.kvn");
    ASSERT_EQ(kvn({"new", path, "--account", "Compte courant", "--initial", "100"}).code, 0);
    Document doc;
    documentInit(doc);
    ASSERT_EQ(loadDocument(doc, path, platformFileSystem()), LoadStatus::Ok);
    doc.accounts.first()->balance = 90;
    ASSERT_EQ(saveDocument(doc, path), 1);
    KvnRun run = kvn({"check", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Compte courant: balance 90.00 recorded, 100.00 computed\n");

    // Patch the operation count in place: offset 3125 + 544 in the file.
    std::vector<std::uint8_t> bytes = readBytes(path);
    bytes[3125 + 544] = 7;
    writeBytes(path, bytes);
    run = kvn({"check", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "Compte courant: balance 90.00 recorded, 100.00 computed\n"
                       "Compte courant: operationCount 7 recorded, 1 computed\n");
}

// --- dump details ----------------------------------------------------------------

TEST_F(KvnTest, DumpEscapesTextsAndWritesDatesAndNumbersExactly) {
    Document doc;
    documentInit(doc);
    addDefaultUser(doc);
    AccountRecord* account = createAccount(doc, utf8ToCp1252("Quote \" back \\ slash"), 0.1);
    ASSERT_TRUE(account);
    setFieldUtf8(account->city, "Saint-Étienne");
    account->minimumAllowed = std::nan("");
    account->minimumWanted = -1e300;
    std::string label = "tab\there\nnew line \x01 end";
    OperationRecord* operation = doc.operations.first();
    setFieldText(operation->label, label);
    CalendarTime when;
    when.year = 2024;
    when.month = 2;
    when.day = 29;
    when.hour = 13;
    when.minute = 5;
    when.second = 9;
    when.millisecond = 7;
    operation->operationDate = toFileTime(when);
    operation->entryDate = 0; // the very first file time
    // Bytes after a terminator are kept in the record but are not text.
    setFieldUtf8(doc.users.first()->name, "Zoé");
    doc.users.first()->name[10] = 'x';
    std::string path = file("escape.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);

    KvnRun run = kvn({"dump", path});
    ASSERT_EQ(run.code, 0);
    EXPECT_NE(run.out.find(R"("name": "Quote \" back \\ slash")"), std::string::npos);
    EXPECT_NE(run.out.find(R"(tab\u0009here\u000anew line \u0001 end)"), std::string::npos);
    EXPECT_NE(run.out.find("\"minimumAllowed\": null"), std::string::npos);
    EXPECT_NE(run.out.find("\n  \"users\": [\n    {\n      \"name\": \"Zoé\",\n"),
              std::string::npos)
        << "two spaces per level";
    EXPECT_NE(run.out.find("\"labels\": [],"), std::string::npos);

    Json json = JsonReader(run.out).document();
    const Json& dumped = json["accounts"][0];
    EXPECT_EQ(dumped["name"].text, "Quote \" back \\ slash");
    EXPECT_EQ(dumped["city"].text, "Saint-Étienne");
    EXPECT_EQ(dumped["minimumAllowed"].kind, Json::Null);
    EXPECT_EQ(dumped["minimumWanted"].number, -1e300);
    EXPECT_EQ(dumped["balance"].number, 0.1);
    EXPECT_EQ(json["users"][0]["name"].text, "Zoé");
    const Json& initial = json["operations"][0];
    EXPECT_EQ(initial["label"].text, label);
    EXPECT_EQ(initial["operationDate"].text, "2024-02-29T13:05:09.007");
    EXPECT_EQ(initial["entryDate"].text, "1601-01-01T00:00:00.000");
}

TEST_F(KvnTest, DumpShowsSplitLinesLogosAndReservedRecords) {
    Document doc;
    documentInit(doc);
    AccountRecord* account = createAccount(doc, "Banque", 0);
    ASSERT_TRUE(account);
    account->logoPixels = static_cast<std::uint8_t*>(std::calloc(kLogoPixelBytes, 1));
    account->logoMask = static_cast<std::uint8_t*>(std::calloc(kLogoMaskBytes, 1));
    ReservedRecord reserved{};
    reserved.bytes[0] = 0xAB;
    reserved.bytes[87] = 0x01;
    doc.reserved.append(reserved);
    OperationRecord split{};
    split.partyId = account->id;
    split.counterpartyId = Split;
    split.amount = -3;
    split.id = 1;
    split.lineCount = 2;
    split.lines = new OperationList;
    VentilationLine line{};
    line.partyId = Split;
    line.counterpartyId = Category | 0x0203;
    line.amount = -1;
    split.lines->append(line);
    line.amount = -2;
    line.pointed = 1;
    split.lines->append(line);
    doc.operations.append(split);
    std::string path = file("split.kvn");
    ASSERT_EQ(saveDocument(doc, path), 1);

    Json json = dump(path);
    EXPECT_TRUE(json["accounts"][0]["hasLogo"].boolean);
    std::string bytes(176, '0');
    bytes.replace(0, 2, "ab");
    bytes.replace(174, 2, "01");
    EXPECT_EQ(json["reserved"][0]["bytes"].text, bytes);
    const Json& operation = json["operations"][1];
    EXPECT_EQ(operation["lineCount"].number, 2);
    ASSERT_EQ(operation["lines"].size(), 2u);
    EXPECT_EQ(operation["lines"][0]["counterpartyId"].number, 0x010203);
    EXPECT_EQ(operation["lines"][0]["partyId"].number, 0x020000);
    EXPECT_EQ(operation["lines"][1]["amount"].number, -2);
    EXPECT_EQ(operation["lines"][1]["pointed"].number, 1);
    EXPECT_THROW(operation["lines"][0]["lines"], std::runtime_error);
}

} // namespace
} // namespace kolvane
