#include "document_check.h"

#include "amounts.h"
#include "text.h"

#include <cmath>
#include <map>

namespace kolvane {
namespace {

struct PartyTotals {
    double balance = 0.0;
    double pointedBalance = 0.0;
    std::uint64_t operationCount = 0;
};

// Rebuilds every account's and third party's balance, ticked balance and
// operation count from the operations alone.
//
// An operation moves `amount` from `counterpartyId` to `partyId`: the party
// gains `amount` and the counterparty loses it. A split operation names Split
// as its counterparty, so its party takes the whole amount and Split (no
// record) nothing; each ventilation line then carries Split as its party and
// the receiving category, third party or account as its counterparty, which
// loses the line's `amount` -- the same as if the line had been booked on its
// own against Split. Only lines of a split operation count, as the booking
// only attaches lines to those.
//
// Every side (operation or line) that names a party counts one operation for
// it, as booking an operation adds one on each side it books; the initial
// operation names its owner, so a new account or third party counts 1.
//
// A ticked record books its amount into the ticked balances of the accounts
// it names, the same way. The initial-balance operation of an account is
// ticked when the account's `initialPointed` says so.
std::map<PartyId, PartyTotals> computeTotals(const Document& doc) {
    std::map<PartyId, PartyTotals> totals;
    for (const AccountRecord& account : doc.accounts)
        totals[account.id];
    for (const ThirdRecord& third : doc.thirds)
        totals[third.id];

    auto book = [&](PartyId party, double amount, bool pointed) {
        auto found = totals.find(party);
        if (found == totals.end())
            return; // categories, Split, InitialBalance, deleted accounts
        found->second.balance += amount;
        found->second.operationCount += 1;
        if (pointed && isAccount(party))
            found->second.pointedBalance += amount;
    };

    for (const OperationRecord& operation : doc.operations) {
        bool pointed = operation.pointed != 0;
        if (isInitialBalance(operation.counterpartyId))
            if (const AccountRecord* owner = findAccountByAccountId(doc, operation.partyId))
                pointed = owner->initialPointed != 0;
        book(operation.partyId, operation.amount, pointed);
        book(operation.counterpartyId, -operation.amount, pointed);
        if (isSplit(operation.counterpartyId) && operation.lineCount != 0 && operation.lines)
            for (const VentilationLine& line : *operation.lines)
                book(line.counterpartyId, -line.amount, line.pointed != 0);
    }
    return totals;
}

class Differences {
  public:
    void amount(const std::string& owner, const char* field, double recorded, double computed) {
        // Balances are kept step by step, so rounding may leave crumbs below
        // the smallest amount that counts.
        if (std::isfinite(recorded) && std::isfinite(computed) &&
            std::fabs(recorded - computed) < 0.001)
            return;
        lines_.push_back(owner + ": " + field + ' ' + formatAmount(recorded) + " recorded, " +
                         formatAmount(computed) + " computed");
    }
    void count(const std::string& owner, const char* field, std::uint64_t recorded,
               std::uint64_t computed) {
        if (recorded == computed)
            return;
        lines_.push_back(owner + ": " + field + ' ' + std::to_string(recorded) + " recorded, " +
                         std::to_string(computed) + " computed");
    }
    void note(const std::string& owner, const std::string& text) {
        lines_.push_back(owner + ": " + text);
    }
    std::vector<std::string> take() { return std::move(lines_); }

  private:
    std::vector<std::string> lines_;
};

template <std::size_t N> std::string utf8Field(const char (&field)[N]) {
    return cp1252ToUtf8(fieldText(field));
}

} // namespace

std::vector<std::string> checkDocument(const Document& doc) {
    std::map<PartyId, PartyTotals> totals = computeTotals(doc);
    Differences differences;
    for (const AccountRecord& account : doc.accounts) {
        const PartyTotals& computed = totals[account.id];
        std::string owner = utf8Field(account.name);
        differences.amount(owner, "balance", account.balance, computed.balance);
        differences.amount(owner, "pointedBalance", account.pointedBalance,
                           computed.pointedBalance);
        differences.count(owner, "operationCount", account.operationCount, computed.operationCount);
    }
    for (const ThirdRecord& third : doc.thirds) {
        const PartyTotals& computed = totals[third.id];
        std::string owner = std::string("Tiers : ") + utf8Field(third.name);
        differences.amount(owner, "balance", third.balance, computed.balance);
        differences.count(owner, "operationCount", third.operationCount, computed.operationCount);
    }
    // The reader takes exactly `lineCount` lines after each operation, so the
    // first test only guards against a reader that one day stops at the end
    // of a short file; lines under an operation that is not split are real
    // damage (their amounts are booked nowhere). A ventilation is only ever
    // attached when its lines add up to the operation's amount.
    for (const OperationRecord& operation : doc.operations) {
        std::uint64_t lines = operation.lines ? operation.lines->count() : 0;
        std::string owner = std::string("Operation ") + std::to_string(operation.id);
        differences.count(owner, "lineCount", operation.lineCount, lines);
        if (lines != 0 && !isSplit(operation.counterpartyId))
            differences.note(owner, "has ventilation lines but is not split");
        if (lines == 0)
            continue;
        double sum = 0.0;
        for (const VentilationLine& line : *operation.lines)
            sum += line.amount;
        if (!(std::fabs(sum - operation.amount) < 0.001))
            differences.note(owner, "lines add up to " + formatAmount(sum) +
                                        ", the operation moves " + formatAmount(operation.amount));
    }
    return differences.take();
}

} // namespace kolvane
