#include "kvn_commands.h"

#include "document/account_file.h"
#include "document/amounts.h"
#include "document/calendar.h"
#include "document/document.h"
#include "document/document_check.h"
#include "document/generator.h"
#include "document/passwords.h"
#include "document/record_fields.h"
#include "document/text.h"
#include "tools/json_writer.h"
#include "tools/kvn_exchange.h"
#include "tools/kvn_loan.h"
#include "tools/kvn_register.h"
#include "tools/kvn_thirds.h"
#include "tools/kvn_totals.h"
#include "tools/kvn_support.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kolvane {
namespace {

std::string twoDigits(int value, int width) {
    std::string text = std::to_string(value);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

} // namespace

// Local calendar time, as the file holds it: "YYYY-MM-DDTHH:MM:SS.mmm".
std::string dateText(FileTime fileTime) {
    CalendarTime t = toCalendarTime(fileTime);
    return twoDigits(t.year, 4) + '-' + twoDigits(t.month, 2) + '-' + twoDigits(t.day, 2) + 'T' +
           twoDigits(t.hour, 2) + ':' + twoDigits(t.minute, 2) + ':' + twoDigits(t.second, 2) +
           '.' + twoDigits(t.millisecond, 3);
}

namespace {

// The longest account name the record holds (its array keeps a terminator).
constexpr std::size_t kMaxAccountName = sizeof(AccountRecord::name) - 1;

constexpr const char* kUsage =
    "usage: kvn new FILE --account NAME [--initial AMOUNT] [--user PSEUDO --password WORD]\n"
    "       kvn info FILE\n"
    "       kvn dump FILE\n"
    "       kvn check FILE\n"
    "       kvn generate FILE --operations N [--accounts A] [--thirds T] [--splits PCT]\n"
    "                         [--seed S]\n"
    "       kvn register FILE --account NAME|N [--order entry|date]\n"
    "       kvn loan --amount A --count N --rate R --first YYYY-MM-DD [--release YYYY-MM-DD]\n"
    "                [--periodicity mensuel|trimestriel|semestriel|annuel]\n"
    "                [--rate-mode proportionnel|equivalent] [--insurance I\n"
    "                 --insurance-type valeur|pourcentage-fixe|pourcentage-proportionnel]\n"
    "       kvn totals FILE --period month|quarter|half|year [--at YYYY-MM-DD]\n"
    "       kvn import FILE --account NAME STATEMENT [--dry-run] [--format ofx|qif|csv]\n"
    "                  [--force]\n"
    "       kvn export FILE --account NAME|--all --format csv|qif OUT\n"
    "       kvn thirds FILE [--third NAME]\n"
    "\n"
    "  new    makes an account file with one account, the default user,\n"
    "         modes and categories (an existing FILE is never replaced);\n"
    "         --user and --password name that user and give it a password,\n"
    "         as saving a new file under a name asks for\n"
    "  info   counts the records and shows each account's balances\n"
    "  dump   writes the whole file as JSON (UTF-8)\n"
    "  check  recomputes balances and counts from the operations;\n"
    "         exit 1 when they differ from the recorded ones\n"
    "  generate  makes a file of N operations over several years (3 accounts,\n"
    "         20 third parties and 10 % split operations unless told), the same\n"
    "         for the same seed; an existing FILE is never replaced\n"
    "  register  the register of one account (named, or its position from 1)\n"
    "         as the operations tab shows it, rows and balance strip, as JSON\n"
    "  loan   the loan simulator's two instalments, the total cost of the\n"
    "         credit, its effective annual rate and the amortisation table as\n"
    "         JSON; the funds are released a month before the first instalment\n"
    "         unless --release says otherwise\n"
    "  totals the graph's expenses per category over the month, quarter,\n"
    "         half-year or year that holds the date (today unless told), as\n"
    "         JSON: the period, then the chart (null when no expense category\n"
    "         is shown)\n"
    "  import books the rows of a bank statement (OFX, QIF or CSV, told by its\n"
    "         content or name) that the account does not hold yet, as one step;\n"
    "         lists each row as new or there; --dry-run writes nothing; a\n"
    "         statement of another bank account is refused unless --force\n"
    "  export writes the account's operations (or every account's) as CSV\n"
    "         (UTF-8, ';', decimal comma) or QIF\n"
    "  thirds the third parties tab's tree (active parties, sorted) with their\n"
    "         balances and the party selected at opening; with --third, that\n"
    "         party's rows and running balances and the strip, as JSON\n";

std::string hexText(const std::uint8_t* bytes, std::size_t size) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 15];
    }
    return text;
}

// Every field of a record, from its field list; the bytes after a text's
// terminator are not shown.
template <class Record> void dumpFields(JsonWriter& json, const Record& record) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    for (const RecordField& field : RecordFields<Record>::list) {
        const std::uint8_t* at = bytes + field.offset;
        switch (field.kind) {
        case FieldKind::Text: {
            const char* text = reinterpret_cast<const char*>(at);
            json.member(field.name, cp1252ToUtf8({text, strnlen(text, field.size)}));
            break;
        }
        case FieldKind::Bytes:
            json.member(field.name, hexText(at, field.size));
            break;
        case FieldKind::Secret: {
            // A secret of its own; only its presence shows ("password" ->
            // "hasPassword").
            std::string name = field.name;
            name[0] = static_cast<char>(name[0] - 'a' + 'A');
            json.member("has" + name, at[0] != 0);
            break;
        }
        case FieldKind::Number: {
            std::uint64_t value = 0;
            std::memcpy(&value, at, field.size); // little-endian, as the file
            json.member(field.name, value);
            break;
        }
        case FieldKind::Date: {
            FileTime value;
            std::memcpy(&value, at, sizeof value);
            json.member(field.name, dateText(value));
            break;
        }
        case FieldKind::Amount: {
            double value;
            std::memcpy(&value, at, sizeof value);
            json.member(field.name, value);
            break;
        }
        case FieldKind::Unused:
            break;
        }
    }
}

template <class Record> void dumpRecord(JsonWriter& json, const Record& record) {
    json.beginObject();
    dumpFields(json, record);
    json.endObject();
}

void dumpAccount(JsonWriter& json, const Document& doc, const AccountRecord& a) {
    json.beginObject();
    dumpFields(json, a);
    json.member("hasLogo", accountLogo(doc, a) != nullptr);
    json.endObject();
}

// Operations and their ventilation lines share one layout; lines have no
// list of their own, so they are written without `lines`.
void dumpOperation(JsonWriter& json, const OperationRecord& o, bool isLine) {
    json.beginObject();
    dumpFields(json, o);
    if (!isLine) {
        json.key("lines");
        json.beginArray();
        if (o.lines)
            for (const VentilationLine& line : *o.lines)
                dumpOperation(json, line, true);
        json.endArray();
    }
    json.endObject();
}

template <class Record, class Dump>
void dumpList(JsonWriter& json, std::string_view name, const RecordList<Record>& list, Dump dump) {
    json.key(name);
    json.beginArray();
    for (const Record& record : list)
        dump(json, record);
    json.endArray();
}

void dumpDocument(const Document& doc, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.member("alertsEnabled", doc.alertsEnabled);
    json.member("nextOperationId", doc.nextOperationId);
    json.member("nextAccountNumber", doc.nextAccountNumber);
    json.member("nextThirdNumber", doc.nextThirdNumber);
    dumpList(json, "users", doc.users, dumpRecord<UserRecord>);
    dumpList(json, "modes", doc.modes, dumpRecord<ModeRecord>);
    dumpList(json, "categories", doc.categories, dumpRecord<CategoryRecord>);
    dumpList(json, "labels", doc.labels, dumpRecord<LabelRecord>);
    dumpList(json, "reserved", doc.reserved, dumpRecord<ReservedRecord>);
    dumpList(json, "accounts", doc.accounts,
             [&doc](JsonWriter& w, const AccountRecord& a) { dumpAccount(w, doc, a); });
    dumpList(json, "thirds", doc.thirds, dumpRecord<ThirdRecord>);
    dumpList(json, "operations", doc.operations,
             [](JsonWriter& w, const OperationRecord& o) { dumpOperation(w, o, false); });
    json.endObject();
    json.finish();
}

// --- check -----------------------------------------------------------------

int printCheck(const Document& doc, std::ostream& out) {
    const std::vector<std::string> differences = checkDocument(doc);
    for (const std::string& line : differences)
        out << line << '\n';
    if (!differences.empty())
        return kExitDifferences;
    out << "OK\n";
    return kExitOk;
}

// --- info ------------------------------------------------------------------

void printInfo(const Document& doc, std::uint64_t lineTotal, std::ostream& out) {
    out << "Users: " << doc.users.count() << '\n'
        << "Modes: " << doc.modes.count() << '\n'
        << "Categories: " << doc.categories.count() << '\n'
        << "Labels: " << doc.labels.count() << '\n'
        << "Accounts: " << doc.accounts.count() << '\n'
        << "Third parties: " << doc.thirds.count() << '\n'
        << "Operations: " << doc.operations.count() << '\n'
        << "Ventilation lines: " << lineTotal << '\n';
    for (const AccountRecord& account : doc.accounts)
        out << "Account " << utf8Field(account.name) << (account.active ? "" : " (masked)")
            << ": balance " << formatAmount(account.balance) << ", ticked "
            << formatAmount(account.pointedBalance) << ", operations " << account.operationCount
            << '\n';
    for (const ThirdRecord& third : doc.thirds)
        out << "Third party " << utf8Field(third.name) << (third.active ? "" : " (masked)")
            << ": balance " << formatAmount(third.balance) << ", operations "
            << third.operationCount << '\n';
}

// --- new -------------------------------------------------------------------

// The account name as the record will hold it, or an explanation of why it
// cannot be held.
bool accountNameCp1252(std::string_view utf8, std::string& name, std::string& problem) {
    name = utf8ToCp1252(utf8);
    if (name.find_first_not_of(' ') == std::string::npos) {
        problem = "the account name is empty";
        return false;
    }
    if (cp1252ToUtf8(name) != utf8) {
        problem = "the account name holds characters that an account file cannot store";
        return false;
    }
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20) {
            problem = "the account name holds control characters";
            return false;
        }
    if (name.size() > kMaxAccountName) {
        problem = std::string("the account name has ") + std::to_string(name.size()) +
                  " characters; at most " + std::to_string(kMaxAccountName) + " are allowed";
        return false;
    }
    return true;
}

// The new file's user as "Enregistrer sous" completes it: a pseudo of its own
// (an administrator) and a scrambled password. A key that would scramble a
// character to 0 cuts the stored password short, so such keys are drawn again.
constexpr std::size_t kMaxPassword = 15;

bool userPseudoCp1252(std::string_view utf8, std::string& pseudo, std::string& problem) {
    pseudo = utf8ToCp1252(utf8);
    if (pseudo.empty() || cp1252ToUtf8(pseudo) != utf8 ||
        pseudo.size() > sizeof(UserRecord::name) - 1) {
        problem = "the user pseudo must have 1 to 39 characters of Windows-1252";
        return false;
    }
    return true;
}

bool completeUser(UserRecord& user, std::string_view pseudo, std::string_view plain) {
    setFieldText(user.name, pseudo);
    user.flags = 0;
    std::srand(static_cast<unsigned>(localNowFileTime()));
    for (int attempt = 0; attempt < 64; ++attempt) {
        storePassword(user, plain);
        if (checkPassword(plain, user.password, user.passwordKey))
            return true;
    }
    return false;
}

int commandNew(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--account", "--initial", "--user", "--password"}, {}, line, err))
        return kExitBadInput;
    if (line.plain.size() > 1)
        return refuse(err, "new takes one FILE, got also ", line.plain[1]);
    if (line.plain.empty())
        return refuse(err, "new needs a FILE (kvn new FILE --account NAME [--initial AMOUNT])");
    const std::string& path = line.plain[0];
    const std::string* accountName = line.value("--account");
    const std::string* initialText = line.value("--initial");
    const std::string* userName = line.value("--user");
    const std::string* password = line.value("--password");
    if (!accountName)
        return refuse(err, "new needs --account NAME");

    std::string name, problem;
    if (!accountNameCp1252(*accountName, name, problem))
        return refuse(err, problem);
    double initialBalance = 0.0;
    if (initialText && !parseTypedAmount(*initialText, initialBalance))
        return refuse(err, "invalid initial amount \"", *initialText,
                      "\" (write it like 1234.56 or -12.5)");
    std::string pseudo;
    if ((userName == nullptr) != (password == nullptr))
        return refuse(err, "--user and --password go together");
    if (userName && !userPseudoCp1252(*userName, pseudo, problem))
        return refuse(err, problem);
    if (password && (password->empty() || password->size() > kMaxPassword))
        return refuse(err, "the password must have 1 to ", std::to_string(kMaxPassword),
                      " characters");
    FileSystem& fileSystem = platformFileSystem();
    if (fileSystem.exists(path))
        return refuse(err, path, " already exists; kvn new never replaces a file");

    // The same steps, in the same order, as the command that makes a new file.
    Document doc;
    documentInit(doc);
    if (!createAccount(doc, name, initialBalance) || !addDefaultUser(doc) ||
        !addDefaultModes(doc) || !addDefaultCategories(doc))
        return refuse(err, "not enough memory to make the document");
    if (userName && !completeUser(*doc.currentUser, pseudo, utf8ToCp1252(*password)))
        return refuse(err, "the password cannot be stored; choose another one");
    doc.isOpen = 1;
    doc.isModified = 1;
    if (!saveDocument(doc, path, fileSystem))
        return refuse(err, path, ": the file cannot be written");
    out << "Created " << path << " with the account " << *accountName << " (initial balance "
        << formatAmount(initialBalance) << ")\n";
    return kExitOk;
}

// --- generate ----------------------------------------------------------------

bool parseCount(std::string_view text, std::uint64_t& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int commandGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--operations", "--accounts", "--thirds", "--splits", "--seed"},
                          {}, line, err))
        return kExitBadInput;
    if (line.plain.size() > 1)
        return refuse(err, "generate takes one FILE, got also ", line.plain[1]);
    if (line.plain.empty())
        return refuse(err, "generate needs a FILE (kvn generate FILE --operations N)");
    if (!line.value("--operations"))
        return refuse(err, "generate needs --operations N");
    const std::string& path = line.plain[0];
    GeneratorOptions chosen;
    struct Count {
        const char* option;
        std::uint32_t* target;
    };
    for (const Count& count :
         {Count{"--operations", &chosen.operations}, Count{"--accounts", &chosen.accounts},
          Count{"--thirds", &chosen.thirds}, Count{"--splits", &chosen.splitPercent}}) {
        std::uint64_t value = *count.target;
        if (const std::string* given = line.value(count.option)) {
            if (!parseCount(*given, value))
                return refuse(err, count.option, " needs a whole number, not \"", *given, "\"");
            if (value > UINT32_MAX)
                return refuse(err, count.option, " is too large");
        }
        *count.target = static_cast<std::uint32_t>(value);
    }
    if (const std::string* given = line.value("--seed"); given && !parseCount(*given, chosen.seed))
        return refuse(err, "--seed needs a whole number, not \"", *given, "\"");
    FileSystem& fileSystem = platformFileSystem();
    if (fileSystem.exists(path))
        return refuse(err, path, " already exists; kvn generate never replaces a file");
    Document doc;
    documentInit(doc);
    if (GeneratorStatus status = generateDocument(doc, chosen); status != GeneratorStatus::Ok)
        return refuse(err, describeGeneratorStatus(status));
    if (!saveDocument(doc, path, fileSystem))
        return refuse(err, path, ": the file cannot be written");
    out << "Generated " << path << " with " << doc.operations.count() << " operations\n";
    return kExitOk;
}

// --- commands on an existing file ------------------------------------------

int commandOnFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  KvnProcess process) {
    const std::string& command = args[0];
    if (args.size() != 2)
        return refuse(err, command, " takes exactly one FILE (kvn ", command, " FILE)");
    auto owned = std::make_unique<Document>();
    Document& doc = *owned;
    if (process == KvnProcess::EndsAfter)
        static_cast<void>(owned.release()); // left to the system at exit
    std::uint64_t lineTotal = 0;
    if (!loadFile(doc, args[1], err, &lineTotal))
        return kExitBadInput;
    if (command == "info") {
        printInfo(doc, lineTotal, out);
        return kExitOk;
    }
    if (command == "dump") {
        dumpDocument(doc, out);
        return kExitOk;
    }
    return printCheck(doc, out);
}

} // namespace

bool parseTypedAmount(std::string_view text, double& value) {
    std::size_t pos = text.starts_with('-') ? 1 : 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos, ++digits;
    if (digits == 0)
        return false;
    if (pos < text.size() && text[pos] == '.') {
        std::size_t decimals = 0;
        for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
            ++decimals;
        if (decimals == 0 || decimals > 2)
            return false;
    }
    if (pos != text.size())
        return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return false;
    if (value == 0.0)
        value = 0.0; // "-0" is no debit; a negative zero would show as "- 0.00"
    return true;
}

bool loadFile(Document& doc, const std::string& path, std::ostream& err, std::uint64_t* lineCount) {
    documentInit(doc);
    LoadStatus status = loadDocument(doc, path, platformFileSystem(), lineCount);
    if (status == LoadStatus::Ok)
        return true;
    refuse(err, path, ": ", describeLoadStatus(status));
    return false;
}

int runKvn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           KvnProcess process) {
    if (args.empty()) {
        err << kUsage;
        return kExitBadInput;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return kExitOk;
    }
    if (command == "new")
        return commandNew(args, out, err);
    if (command == "generate")
        return commandGenerate(args, out, err);
    if (command == "register")
        return commandRegister(args, out, err);
    if (command == "loan")
        return commandLoan(args, out, err);
    if (command == "totals")
        return commandTotals(args, out, err);
    if (command == "import")
        return commandImport(args, out, err);
    if (command == "export")
        return commandExport(args, out, err);
    if (command == "thirds")
        return commandThirds(args, out, err);
    if (command == "info" || command == "dump" || command == "check")
        return commandOnFile(args, out, err, process);
    return refuse(err, "unknown command \"", command, "\" (try kvn --help)");
}

} // namespace kolvane
