#include "exchange/statement_import.h"

#include "document/calendar.h"
#include "document/operation_texts.h"
#include "document/text.h"
#include "exchange/ofx_reader.h"
#include "exchange/qif_reader.h"
#include "exchange/statement_text.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace kolvane {
namespace {

constexpr int kDuplicateDays = 3;

std::int64_t cents(double amount) {
    return std::llround(amount * 100.0);
}

long long dayOf(FileTime date) {
    return static_cast<long long>(date / DAY);
}

bool isCreditSide(double amount) {
    return amount > 0.0;
}

// An operation of the account as the account sees it.
struct Existing {
    const OperationRecord* record;
    long long day;
    bool used = false;
    bool keyed = false;
    std::string key;
};

struct Learned {
    FileTime date = 0;
    std::uint32_t id = 0;
    PartyId party = 0;
    std::uint16_t modeId = 0;
};

bool learnable(PartyId party) {
    return isCategory(party) || isThird(party) || isAccount(party);
}

std::string compactId(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '-')
            out += static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
    return out;
}

std::string_view afterPrefix(std::string_view text, std::string_view prefixUtf8) {
    const std::string prefix = utf8ToCp1252(prefixUtf8);
    if (text.size() > prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix))
        return text.substr(prefix.size());
    return {};
}

PartyId findCategory(const Document& doc, std::string_view name, std::string_view sub) {
    const CategoryRecord* parent = nullptr;
    for (const CategoryRecord& record : doc.categories) {
        const bool categoryRow = (record.id & 0x00FF) == 0;
        if (categoryRow) {
            parent = equalNoCase(fieldText(record.name), name) ? &record : nullptr;
            if (parent && sub.empty())
                return makePartyId(Category, record.id);
        } else if (parent && !sub.empty() && equalNoCase(fieldText(record.name), sub)) {
            return makePartyId(Category, record.id);
        }
    }
    return 0;
}

// A sub-category named `name`, when only one has that name.
PartyId findSubCategory(const Document& doc, std::string_view name) {
    PartyId found = 0;
    for (const CategoryRecord& record : doc.categories)
        if ((record.id & 0x00FF) != 0 && equalNoCase(fieldText(record.name), name)) {
            if (found)
                return 0;
            found = makePartyId(Category, record.id);
        }
    return found;
}

PartyId findOtherAccount(const Document& doc, const AccountRecord& account, std::string_view name) {
    for (const AccountRecord& other : doc.accounts)
        if (&other != &account && isAccount(other.id) && equalNoCase(fieldText(other.name), name))
            return other.id;
    return 0;
}

PartyId findThird(const Document& doc, std::string_view name) {
    for (const ThirdRecord& third : doc.thirds)
        if (equalNoCase(fieldText(third.name), name))
            return third.id;
    return 0;
}

// The mode named `nameCp1252` on the side of `amount`.
std::uint16_t modeNamed(const Document& doc, std::string_view nameCp1252, double amount) {
    const std::uint16_t side = isCreditSide(amount) ? kCreditBit : 0;
    for (const ModeRecord& mode : doc.modes)
        if (mode.kind == 1 && (mode.id & kCreditBit) == side &&
            equalNoCase(fieldText(mode.name), nameCp1252))
            return mode.id;
    return 0;
}

// The mode a bank's word for a kind of transaction stands for.
std::uint16_t modeOfWord(const Document& doc, std::string_view word, double amount) {
    struct Rule {
        std::string_view words[4];
        const char* debit;
        const char* credit;
    };
    static constexpr Rule kRules[] = {
        {{"CHECK", "CHEQUE", "CHQ", "CHEQUES"}, "Chèque émis", "Remise de chèque"},
        {{"DIRECTDEBIT", "PRLV", "PRELEVEMENT", "PAYMENT"}, "Prélèvement", "Virement reçu"},
        {{"XFER", "VIR", "VIREMENT", "DIRECTDEP"}, "Virement émis", "Virement reçu"},
        {{"POS", "ATM", "CB", "CARTE"}, "Carte de paiement", "Virement reçu"},
        {{"RETRAIT", "DAB", "DEP", "DEPOT"}, "Carte de paiement", "Dépôt"},
        {{"CASH", "REMISE", "", ""}, "Carte de paiement", "Remise de chèque"},
    };
    for (const Rule& rule : kRules)
        for (std::string_view candidate : rule.words)
            if (!candidate.empty() && candidate == word)
                return modeNamed(doc, utf8ToCp1252(isCreditSide(amount) ? rule.credit : rule.debit),
                                 amount);
    return 0;
}

std::uint16_t firstModeOfSide(const Document& doc, double amount) {
    const std::uint16_t side = isCreditSide(amount) ? kCreditBit : 0;
    for (const ModeRecord& mode : doc.modes)
        if (mode.kind == 1 && (mode.id & kCreditBit) == side)
            return mode.id;
    return side;
}

std::uint16_t bankMode(const Document& doc, const StatementRow& row) {
    const std::string kindKey = labelKey(row.kind);
    if (std::uint16_t mode = modeOfWord(doc, kindKey.substr(0, kindKey.find(' ')), row.amount))
        return mode;
    if (!row.number.empty() && row.amount < 0)
        if (std::uint16_t mode = modeOfWord(doc, "CHQ", row.amount))
            return mode;
    // The first two words of the label: "CB CARREFOUR", "PAIEMENT CB ...".
    const std::string key = labelKey(row.label);
    std::size_t start = 0;
    for (int word = 0; word < 2 && start < key.size(); ++word) {
        std::size_t end = key.find(' ', start);
        if (end == std::string::npos)
            end = key.size();
        if (std::uint16_t mode =
                modeOfWord(doc, std::string_view(key).substr(start, end - start), row.amount))
            return mode;
        start = end + 1;
    }
    return firstModeOfSide(doc, row.amount);
}

} // namespace

bool readStatement(std::span<const std::uint8_t> bytes, StatementFormat format,
                   const CsvLayout* layout, Statement& statement, ReadError& error) {
    switch (format) {
    case StatementFormat::Ofx:
        return readOfx(bytes, statement, error);
    case StatementFormat::Qif:
        return readQif(bytes, statement, error);
    case StatementFormat::Csv:
        return readCsv(bytes, layout ? *layout : guessCsvLayout(bytes), statement, error);
    case StatementFormat::Unknown:
        break;
    }
    error = {0, "format de relevé inconnu (OFX, QIF ou CSV attendu)"};
    return false;
}

int ImportPlan::newCount() const {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                          [](const ImportRow& row) { return !row.alreadyThere; }));
}

bool statementAccountDiffers(const StatementAccount& given, const AccountRecord& account) {
    const std::string bank = compactId(given.bankId), branch = compactId(given.branchId);
    const std::string number = compactId(given.accountId);
    const std::string ownBank = compactId(fieldText(account.bankCode));
    const std::string ownBranch = compactId(fieldText(account.branchCode));
    const std::string ownNumber = compactId(fieldText(account.accountNumber));
    if (!bank.empty() && !ownBank.empty() && bank != ownBank)
        return true;
    if (!branch.empty() && !ownBranch.empty() && branch != ownBranch)
        return true;
    // Some banks write the number with its RIB key, some inside a longer identifier.
    return !number.empty() && !ownNumber.empty() && number.find(ownNumber) == std::string::npos;
}

PartyId resolvePartyText(const Document& doc, const AccountRecord& account, std::string_view text) {
    const std::string tidy = tidyText(text);
    std::string_view name = tidy;
    if (name.empty())
        return 0;
    if (equalNoCase(name, utf8ToCp1252(kSplitText)))
        return Split; // its ventilation still to enter
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        return findOtherAccount(doc, account, tidyText(name.substr(1, name.size() - 2)));
    if (std::string_view rest = afterPrefix(name, "Inter-compte :"); !rest.empty())
        return findOtherAccount(doc, account, tidyText(rest));
    if (std::string_view rest = afterPrefix(name, "Tiers :"); !rest.empty())
        return findThird(doc, tidyText(rest));
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos)
        return findCategory(doc, tidyText(name.substr(0, colon)), tidyText(name.substr(colon + 1)));
    if (PartyId category = findCategory(doc, name, {}))
        return category;
    if (PartyId third = findThird(doc, name))
        return third;
    return findSubCategory(doc, name);
}

std::uint16_t resolveModeText(const Document& doc, std::string_view text, double amount) {
    const std::string tidy = tidyText(text);
    if (tidy.empty())
        return 0;
    if (std::uint16_t mode = modeNamed(doc, tidy, amount))
        return mode;
    // A transfer exported from the receiving account carries the mode of
    // the sending side: the name still says which mode it is.
    return modeNamed(doc, tidy, -amount);
}

ImportPlan planImport(const Document& doc, const AccountRecord& account,
                      const Statement& statement) {
    const PartyId own = account.id;
    std::unordered_map<std::int64_t, std::vector<Existing>> byAmount;
    std::unordered_map<std::string, Learned> history;
    std::vector<std::int64_t> wanted;
    wanted.reserve(statement.rows.size());
    for (const StatementRow& row : statement.rows)
        wanted.push_back(cents(row.amount));
    std::sort(wanted.begin(), wanted.end());
    const auto wantedAmount = [&](double amount) {
        return std::binary_search(wanted.begin(), wanted.end(), cents(amount));
    };
    const auto keep = [&](const OperationRecord& record, double amount) {
        if (wantedAmount(amount))
            byAmount[cents(amount)].push_back(
                Existing{&record, dayOf(record.operationDate), false, false, {}});
    };
    for (const OperationRecord& operation : doc.operations) {
        if (isInitialBalance(operation.counterpartyId))
            continue;
        if (operation.partyId == own) {
            keep(operation, operation.amount);
            if (learnable(operation.counterpartyId) || isSplit(operation.counterpartyId)) {
                std::string key = labelKey(fieldText(operation.label));
                if (!key.empty()) {
                    Learned& learned = history[std::move(key)];
                    if (learned.party == 0 || operation.operationDate > learned.date ||
                        (operation.operationDate == learned.date && operation.id > learned.id))
                        learned = {operation.operationDate, operation.id,
                                   isSplit(operation.counterpartyId) ? 0 : operation.counterpartyId,
                                   operation.modeId};
                }
            }
        } else if (operation.counterpartyId == own) {
            keep(operation, -operation.amount);
        }
        if (operation.lines && operation.lineCount)
            for (const VentilationLine& line : *operation.lines)
                if (line.counterpartyId == own)
                    keep(line, -line.amount);
    }

    ImportPlan plan;
    plan.accountDiffers = statementAccountDiffers(statement.account, account);
    plan.rows.resize(statement.rows.size());
    for (std::size_t i = 0; i < statement.rows.size(); ++i) {
        const StatementRow& row = statement.rows[i];
        ImportRow& result = plan.rows[i];
        // Already there?
        auto found = byAmount.find(cents(row.amount));
        if (found != byAmount.end()) {
            const long long day = dayOf(row.date);
            const std::string rowKey = labelKey(row.label);
            Existing* best = nullptr;
            for (Existing& candidate : found->second) {
                const long long distance = std::llabs(candidate.day - day);
                if (candidate.used || distance > kDuplicateDays ||
                    (best && distance >= std::llabs(best->day - day)))
                    continue;
                if (!candidate.keyed) {
                    candidate.key = labelKey(fieldText(candidate.record->label));
                    candidate.keyed = true;
                }
                const bool similar = candidate.key.empty() || rowKey.empty()
                                         ? equalNoCase(tidyText(fieldText(candidate.record->label)),
                                                       tidyText(row.label))
                                         : similarKeys(candidate.key, rowKey);
                if (similar)
                    best = &candidate;
            }
            if (best) {
                best->used = true;
                result.alreadyThere = true;
                result.selected = false;
                result.match = best->record;
                const bool ownSide = best->record->partyId == own;
                result.party = ownSide ? best->record->counterpartyId : best->record->partyId;
                result.modeId = best->record->modeId;
                continue;
            }
        }
        // A new row: its proposals.
        if (!row.splits.empty())
            result.party = Split;
        else
            result.party = resolvePartyText(doc, account, row.category);
        result.modeId = resolveModeText(doc, row.kind, row.amount);
        const auto learned = history.find(labelKey(row.label));
        if (learned != history.end()) {
            const bool sameSide =
                ((learned->second.modeId & kCreditBit) != 0) == isCreditSide(row.amount);
            if (result.party == 0 && learned->second.party != 0) {
                result.party = learned->second.party;
                result.learned = true;
            }
            if (result.modeId == 0 && sameSide) {
                result.modeId = learned->second.modeId;
                result.learned = true;
            }
        }
        if (result.modeId == 0)
            result.modeId = bankMode(doc, row);
    }
    return plan;
}

std::vector<OperationEntry> importEntries(const Document& doc, const AccountRecord& account,
                                          const Statement& statement, const ImportPlan& plan,
                                          FileTime now) {
    std::vector<OperationEntry> entries;
    for (std::size_t i = 0; i < statement.rows.size() && i < plan.rows.size(); ++i) {
        const ImportRow& planned = plan.rows[i];
        if (!planned.selected)
            continue;
        const StatementRow& row = statement.rows[i];
        OperationEntry entry;
        entry.amount = row.amount;
        entry.party = planned.party;
        entry.modeId = planned.modeId;
        entry.operationDate = row.date;
        entry.label = row.label;
        entry.labelChosen = true; // bank labels stay out of the label list
        entry.now = now;
        if (isSplit(planned.party) && !row.splits.empty()) {
            entry.useLines = true;
            for (const StatementSplit& split : row.splits) {
                VentilationLine line{};
                line.partyId = Split;
                line.counterpartyId = resolvePartyText(doc, account, split.category);
                line.amount = split.amount;
                entry.lines.push_back(line);
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace kolvane
