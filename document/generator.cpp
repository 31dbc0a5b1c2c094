#include "generator.h"

#include "calendar.h"
#include "text.h"

#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace kolvane {
namespace {

// Beyond this the file would pass the size the loader accepts.
constexpr std::uint32_t kMaxOperations = 20000000;
constexpr std::uint32_t kMaxParties = 0xFFFF;

// Our own generator, so that a seed gives the same numbers everywhere
// (the standard distributions differ between libraries).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [0, bound).
    std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }
    std::uint32_t between(std::uint32_t low, std::uint32_t high) {
        return low + below(high - low + 1);
    }
    bool percent(std::uint32_t chance) { return below(100) < chance; }

  private:
    std::uint64_t state_;
};

// Mode identifiers of the default mode table.
constexpr std::uint16_t kCard = 0x0001, kChequeOut = 0x0002, kTransferOut = 0x0003,
                        kDirectDebit = 0x0004, kTransferIn = 0x8001, kChequeIn = 0x8003;

// What people spend and earn: a category (its 16-bit record id), a label, a
// mode, a range in cents and a weight. Credits have positive amounts.
struct Habit {
    std::uint16_t category;
    const char* label;
    std::uint16_t mode;
    std::uint32_t minimumCents, maximumCents;
    std::uint32_t weight;
    bool credit;
};

constexpr Habit kHabits[] = {
    {0x0001, "Courses", kCard, 1500, 18000, 30, false},
    {0x0003, "Restaurant", kCard, 1200, 9000, 8, false},
    {0x0101, "Loyer", kDirectDebit, 55000, 95000, 3, false},
    {0x0102, "Facture d'électricité", kDirectDebit, 4000, 15000, 3, false},
    {0x0106, "Abonnement internet", kDirectDebit, 2999, 4499, 3, false},
    {0x0201, "Plein d'essence", kCard, 3000, 9000, 8, false},
    {0x0302, "Assurance habitation", kDirectDebit, 1500, 4000, 2, false},
    {0x0401, "Impôt sur le revenu", kDirectDebit, 10000, 60000, 1, false},
    {0x0502, "Pharmacie", kCard, 500, 6000, 4, false},
    {0x0602, "Péage", kCard, 250, 2500, 3, false},
    {0x0803, "Cinéma", kCard, 900, 3000, 3, false},
    {0x0806, "Retrait au distributeur", kCard, 2000, 20000, 5, false},
    {0x0901, "Frais de tenue de compte", kDirectDebit, 200, 1500, 2, false},
    {0x8001, "Salaire", kTransferIn, 150000, 350000, 7, true},
    {0x8103, "Remboursement mutuelle", kTransferIn, 1000, 8000, 2, true},
    {0x8104, "Remboursement sécurité sociale", kTransferIn, 500, 5000, 2, true},
    {0x8202, "Intérêts", kTransferIn, 100, 3000, 1, true},
};

constexpr const char* kAccountNames[] = {
    "Compte courant", "Livret A", "Compte joint", "Compte épargne", "Compte professionnel",
    "Livret jeune",   "LDDS",     "PEL",          "Compte titres",  "Assurance vie",
};
constexpr const char* kTrades[] = {"Boulangerie", "Garage",  "Pharmacie", "Librairie", "Fleuriste",
                                   "Plombier",    "Cabinet", "Épicerie",  "Coiffure",  "Pressing"};
constexpr const char* kFamilies[] = {"Martin",  "Bernard",  "Dubois",  "Thomas",  "Robert",
                                     "Richard", "Petit",    "Durand",  "Leroy",   "Moreau",
                                     "Simon",   "Laurent",  "Lefèvre", "Michel",  "Garcia",
                                     "David",   "Bertrand", "Roux",    "Vincent", "Fournier"};

std::string accountName(std::uint32_t index) {
    constexpr std::uint32_t named = std::size(kAccountNames);
    if (index < named)
        return kAccountNames[index];
    return "Compte " + std::to_string(index + 1);
}

std::string thirdName(std::uint32_t index) {
    constexpr std::uint32_t trades = std::size(kTrades), families = std::size(kFamilies);
    std::string name =
        std::string(kTrades[index % trades]) + ' ' + kFamilies[(index / trades) % families];
    if (index >= trades * families)
        name += ' ' + std::to_string(index / (trades * families) + 1);
    return name;
}

// Balances kept while the operations are made, booked as the program books
// them: the party gains the amount, the counterparty loses it, each side
// counts one operation, and a ticked side moves an account's ticked balance.
class Ledger {
  public:
    void book(PartyId party, double amount, bool pointed) {
        if (isAccount(party)) {
            AccountRecord& account = *accounts_[partyNumber(party)];
            account.balance += amount;
            account.operationCount += 1;
            if (pointed)
                account.pointedBalance += amount;
        } else if (isThird(party)) {
            ThirdRecord& third = *thirds_[partyNumber(party)];
            third.balance += amount;
            third.operationCount += 1;
        }
    }
    double balanceOf(PartyId party) const {
        if (isAccount(party))
            return accounts_[partyNumber(party)]->balance;
        if (isThird(party))
            return thirds_[partyNumber(party)]->balance;
        return 0.0;
    }
    std::vector<AccountRecord*> accounts_;
    std::vector<ThirdRecord*> thirds_;
};

class Generator {
  public:
    Generator(Document& doc, const GeneratorOptions& options)
        : doc_(doc), options_(options), random_(options.seed) {}

    bool run() {
        return addDefaultUser(doc_) && addDefaultModes(doc_) && addDefaultCategories(doc_) &&
               addLabels() && addAccounts() && addThirds() && addOperations();
    }

  private:
    // The period covered: five years of operations, entered as they happen.
    static constexpr int kFirstYear = 2020, kYears = 5;

    FileTime dayTime(long long day) {
        // Shops are open from 8 to 20 o'clock.
        return static_cast<FileTime>(day) * DAY +
               static_cast<FileTime>(random_.between(8 * 3600, 20 * 3600)) * kTicksPerSecond;
    }

    bool addLabels() {
        for (const Habit& habit : kHabits) {
            LabelRecord label{};
            setFieldUtf8(label.text, habit.label);
            label.categoryId = Category | habit.category;
            // The list is kept in case-insensitive order.
            LabelRecord* before = nullptr;
            for (LabelRecord* l = doc_.labels.first(); l; l = doc_.labels.next(l)) {
                if (compareNoCase(fieldText(l->text), fieldText(label.text)) > 0)
                    break;
                before = l;
            }
            if (!doc_.labels.insertAfter(before, &label))
                return false;
        }
        return true;
    }

    OperationRecord* addInitialOperation(PartyId owner, double amount) {
        OperationRecord operation{};
        operation.partyId = owner;
        operation.counterpartyId = InitialBalance;
        operation.amount = operation.balanceAfterParty = amount;
        operation.entryDate = operation.modifiedDate = dayTime(firstDay());
        operation.operationDate = initialBalanceDate(operation.entryDate);
        operation.creatorUserId = operation.modifierUserId = 1;
        operation.id = doc_.nextOperationId++;
        setFieldUtf8(operation.label, kInitialBalanceLabel);
        return doc_.operations.append(operation);
    }

    bool addAccounts() {
        for (std::uint32_t i = 0; i < options_.accounts; ++i) {
            AccountRecord account{};
            setFieldUtf8(account.name, accountName(i));
            setFieldUtf8(account.holderName, kFamilies[i % std::size(kFamilies)]);
            setFieldUtf8(account.city, "Lyon");
            setFieldText(account.postCode, "69003");
            setFieldText(account.bankCode, "30004");
            setFieldText(account.branchCode, "00" + std::to_string(100 + i % 900));
            setFieldText(account.accountNumber, std::to_string(10000000000ull + i * 7919ull));
            setFieldText(account.ribKey, std::to_string(10 + i % 90));
            account.civility = static_cast<std::uint8_t>(i % 5);
            account.id = makePartyId(Account, doc_.nextAccountNumber++);
            account.active = 1;
            account.initialPointed = 1;
            account.initialBalance = static_cast<double>(random_.between(0, 500000)) / 100.0;
            account.minimumAllowed = -500.0;
            AccountRecord* added = doc_.accounts.append(account);
            if (!added)
                return false;
            ledger_.accounts_.push_back(added);
            OperationRecord* initial = addInitialOperation(added->id, account.initialBalance);
            if (!initial)
                return false;
            added->initialOperationId = initial->id;
            // Ticked on both sides, as ticking the initial-balance row does.
            initial->pointed = 1;
            ledger_.book(added->id, account.initialBalance, true);
        }
        doc_.currentAccount = doc_.accounts.first();
        return true;
    }

    bool addThirds() {
        for (std::uint32_t i = 0; i < options_.thirds; ++i) {
            ThirdRecord third{};
            setFieldUtf8(third.name, thirdName(i));
            third.id = makePartyId(Third, doc_.nextThirdNumber++);
            third.active = 1;
            ThirdRecord* added = doc_.thirds.append(third);
            if (!added)
                return false;
            ledger_.thirds_.push_back(added);
            OperationRecord* initial = addInitialOperation(added->id, 0.0);
            if (!initial)
                return false;
            added->initialOperationId = initial->id;
            ledger_.book(added->id, 0.0, false);
        }
        return true;
    }

    static long long firstDay() { return daysFromCivil(kFirstYear, 1, 1); }

    const Habit& pickHabit() {
        std::uint32_t total = 0;
        for (const Habit& habit : kHabits)
            total += habit.weight;
        std::uint32_t pick = random_.below(total);
        for (const Habit& habit : kHabits) {
            if (pick < habit.weight)
                return habit;
            pick -= habit.weight;
        }
        return kHabits[0];
    }

    PartyId randomAccount() { return makePartyId(Account, random_.below(options_.accounts)); }
    PartyId randomThird() { return makePartyId(Third, random_.below(options_.thirds)); }
    PartyId randomExpenseCategory() {
        for (;;) {
            const Habit& habit = pickHabit();
            if (!habit.credit)
                return Category | habit.category;
        }
    }

    // The kind of one operation, its counterparty, label, mode and amount.
    void describe(OperationRecord& operation) {
        const std::uint32_t roll = random_.below(100);
        if (options_.accounts > 1 && roll < 6) {
            PartyId to = randomAccount();
            while (to == operation.partyId)
                to = randomAccount();
            operation.counterpartyId = to;
            operation.modeId = kTransferOut;
            setFieldUtf8(operation.label, "Virement vers " + accountName(partyNumber(to)));
            operation.amount = -static_cast<double>(random_.between(5000, 100000)) / 100.0;
        } else if (options_.thirds > 0 && roll < 30) {
            PartyId third = randomThird();
            operation.counterpartyId = third;
            const bool refund = random_.percent(10);
            operation.modeId = refund ? kChequeIn : (random_.percent(70) ? kCard : kChequeOut);
            setFieldUtf8(operation.label, (refund ? "Avoir " : "") + thirdName(partyNumber(third)));
            const double value = static_cast<double>(random_.between(800, 25000)) / 100.0;
            operation.amount = refund ? value : -value;
        } else {
            const Habit& habit = pickHabit();
            operation.counterpartyId = Category | habit.category;
            operation.modeId = habit.mode;
            setFieldUtf8(operation.label, habit.label);
            const double value =
                static_cast<double>(random_.between(habit.minimumCents, habit.maximumCents)) /
                100.0;
            operation.amount = habit.credit ? value : -value;
        }
    }

    // A purchase shared between categories and, now and then, a third party.
    bool split(OperationRecord& operation) {
        const std::uint32_t lineCount = random_.between(2, 4);
        std::uint32_t cents = random_.between(2000 * lineCount, 30000 * lineCount);
        operation.counterpartyId = Split;
        operation.modeId = random_.percent(80) ? kCard : kChequeOut;
        operation.amount = -static_cast<double>(cents) / 100.0;
        setFieldUtf8(operation.label, "Achats divers");
        OperationRecord* added = append(operation);
        if (!added)
            return false;
        added->lines = new (std::nothrow) OperationList;
        if (!added->lines)
            return false;
        for (std::uint32_t l = 0; l < lineCount; ++l) {
            const std::uint32_t left = lineCount - l;
            const std::uint32_t part =
                left == 1 ? cents : random_.between(1000, cents - 1000 * (left - 1));
            cents -= part;
            VentilationLine line = operation;
            line.partyId = Split;
            line.counterpartyId = options_.thirds > 0 && random_.percent(20)
                                      ? randomThird()
                                      : randomExpenseCategory();
            line.amount = -static_cast<double>(part) / 100.0;
            ledger_.book(line.counterpartyId, -line.amount, line.pointed != 0);
            line.balanceAfterCounterparty = ledger_.balanceOf(line.counterpartyId);
            line.balanceAfterParty = 0.0;
            line.lines = nullptr;
            if (!added->lines->append(line))
                return false;
            added->lineCount += 1;
        }
        return true;
    }

    OperationRecord* append(OperationRecord& operation) {
        const bool pointed = operation.pointed != 0;
        ledger_.book(operation.partyId, operation.amount, pointed);
        ledger_.book(operation.counterpartyId, -operation.amount, pointed);
        operation.balanceAfterParty = ledger_.balanceOf(operation.partyId);
        operation.balanceAfterCounterparty = ledger_.balanceOf(operation.counterpartyId);
        return doc_.operations.append(operation);
    }

    bool addOperations() {
        const std::uint32_t made = static_cast<std::uint32_t>(doc_.operations.count());
        const std::uint64_t total = options_.operations - made;
        const long long days = daysFromCivil(kFirstYear + kYears, 1, 1) - firstDay();
        // What is older than two months has been ticked against a statement.
        const long long tickedBefore = days - 61;
        for (std::uint64_t i = 0; i < total; ++i) {
            const long long day =
                static_cast<long long>(i * static_cast<std::uint64_t>(days) / total);
            OperationRecord operation{};
            operation.partyId = randomAccount();
            operation.operationDate = dayTime(firstDay() + day);
            operation.entryDate = operation.modifiedDate =
                operation.operationDate + random_.below(3 * 24 * 3600) * kTicksPerSecond;
            operation.creatorUserId = operation.modifierUserId = 1;
            operation.id = doc_.nextOperationId++;
            operation.pointed = day < tickedBefore && random_.percent(95) ? 1 : 0;
            if (random_.percent(options_.splitPercent)) {
                if (!split(operation))
                    return false;
                continue;
            }
            describe(operation);
            if (!append(operation))
                return false;
        }
        return true;
    }

    Document& doc_;
    const GeneratorOptions& options_;
    Random random_;
    Ledger ledger_;
};

} // namespace

const char* describeGeneratorStatus(GeneratorStatus status) {
    switch (status) {
    case GeneratorStatus::Ok:
        return "generated";
    case GeneratorStatus::NoAccount:
        return "at least one account is needed";
    case GeneratorStatus::TooManyParties:
        return "at most 65535 accounts and 65535 third parties";
    case GeneratorStatus::TooFewOperations:
        return "the operations must at least hold one initial balance per account and third party";
    case GeneratorStatus::TooManyOperations:
        return "at most 20000000 operations";
    case GeneratorStatus::BadSplitPercent:
        return "the share of split operations is a percentage from 0 to 100";
    case GeneratorStatus::OutOfMemory:
        return "not enough memory to make the document";
    }
    return "unknown error";
}

GeneratorStatus generateDocument(Document& doc, const GeneratorOptions& options) {
    if (options.accounts == 0)
        return GeneratorStatus::NoAccount;
    if (options.accounts > kMaxParties || options.thirds > kMaxParties)
        return GeneratorStatus::TooManyParties;
    if (options.operations < options.accounts + options.thirds)
        return GeneratorStatus::TooFewOperations;
    if (options.operations > kMaxOperations)
        return GeneratorStatus::TooManyOperations;
    if (options.splitPercent > 100)
        return GeneratorStatus::BadSplitPercent;
    documentClose(doc);
    bool made = false;
    try {
        made = Generator(doc, options).run();
    } catch (const std::bad_alloc&) {
        made = false;
    }
    if (!made) {
        documentClose(doc);
        return GeneratorStatus::OutOfMemory;
    }
    doc.currentUser = doc.users.first();
    doc.isOpen = 1;
    doc.isModified = 1;
    return GeneratorStatus::Ok;
}

} // namespace kolvane
