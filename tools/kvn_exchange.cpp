#include "kvn_exchange.h"

#include "document/account_file.h"
#include "document/amounts.h"
#include "document/calendar.h"
#include "document/dates.h"
#include "document/file_system.h"
#include "document/operation_texts.h"
#include "exchange/statement_export.h"
#include "exchange/statement_import.h"
#include "operations/booking.h"
#include "tools/kvn_support.h"

#include <map>

namespace kolvane {
namespace {

AccountRecord* accountNamed(const Document& doc, const std::string& nameUtf8) {
    for (AccountRecord& account : doc.accounts)
        if (isAccount(account.id) && utf8Field(account.name) == nameUtf8)
            return &account;
    return nullptr;
}

void printRow(std::ostream& out, const Document& doc, const StatementRow& row,
              const ImportRow& plan) {
    out << (plan.alreadyThere ? "there" : "new  ") << formatDate(row.date) << "  "
        << formatAmount(row.amount) << "  " << cp1252ToUtf8(row.label) << "  ["
        << cp1252ToUtf8(modeName(doc, plan.modeId)) << " | "
        << cp1252ToUtf8(partyText(doc, plan.party)) << "]\n";
}

} // namespace

int commandImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--account", "--format"}, {"--dry-run", "--force"}, line, err))
        return kExitBadInput;
    if (line.plain.size() != 2 || !line.values.count("--account"))
        return refuse(err, "import needs a FILE, --account NAME and a STATEMENT");
    const std::string& path = line.plain[0];
    const std::string& statementPath = line.plain[1];
    StatementFormat format = StatementFormat::Unknown;
    if (auto given = line.values.find("--format"); given != line.values.end()) {
        format = given->second == "ofx"   ? StatementFormat::Ofx
                 : given->second == "qif" ? StatementFormat::Qif
                 : given->second == "csv" ? StatementFormat::Csv
                                          : StatementFormat::Unknown;
        if (format == StatementFormat::Unknown)
            return refuse(err, "--format is ofx, qif or csv, not \"", given->second, "\"");
    }
    Document doc;
    if (!loadFile(doc, path, err))
        return kExitBadInput;
    AccountRecord* account = accountNamed(doc, line.values["--account"]);
    if (!account)
        return refuse(err, path, ": no account named \"", line.values["--account"], "\"");
    std::vector<std::uint8_t> bytes;
    switch (platformFileSystem().readAll(statementPath, bytes, kMaxStatementBytes)) {
    case ReadResult::Ok:
        break;
    case ReadResult::TooLarge:
        return refuse(err, statementPath, ": the statement is too large");
    default:
        return refuse(err, statementPath, ": the statement cannot be read");
    }
    if (format == StatementFormat::Unknown)
        format = guessStatementFormat(bytes, statementPath);
    Statement statement;
    ReadError error;
    if (!readStatement(bytes, format, nullptr, statement, error))
        return refuse(err, statementPath, ": ", describeReadError(error), "; nothing imported");
    const ImportPlan plan = planImport(doc, *account, statement);
    if (plan.accountDiffers && !line.has("--force"))
        return refuse(err, statementPath, ": the statement is for the bank account ",
                      cp1252ToUtf8(statement.account.bankId), " ",
                      cp1252ToUtf8(statement.account.branchId), " ",
                      cp1252ToUtf8(statement.account.accountId),
                      ", not this one (--force imports it anyway)");
    for (std::size_t i = 0; i < statement.rows.size(); ++i)
        printRow(out, doc, statement.rows[i], plan.rows[i]);
    const int added = plan.newCount();
    const std::size_t there = statement.rows.size() - static_cast<std::size_t>(added);
    if (line.has("--dry-run")) {
        out << "Dry run: " << added << " new operations, " << there
            << " already there; nothing written\n";
        return kExitOk;
    }
    if (added == 0) {
        out << "Nothing to import: all " << there << " operations are already there\n";
        return kExitOk;
    }
    doc.currentAccount = account;
    RegisterModel model(doc);
    model.fill();
    BookingHistory history(model);
    const BookingStatus status = history.perform(
        makeImportOperations(importEntries(doc, *account, statement, plan, localNowFileTime())));
    if (status != BookingStatus::Done)
        return refuse(err, "the operations cannot be booked (out of memory); nothing written");
    history.clear();
    if (!saveDocument(doc, path, platformFileSystem()))
        return refuse(err, path, ": the file cannot be written; nothing imported");
    out << "Imported " << added << " operations (" << there << " already there) into "
        << utf8Field(account->name) << "; balance " << formatAmount(account->balance) << "\n";
    return kExitOk;
}

int commandExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--account", "--format"}, {"--all"}, line, err))
        return kExitBadInput;
    const bool all = line.has("--all");
    if (line.plain.size() != 2 || !line.values.count("--format") ||
        all == (line.values.count("--account") != 0))
        return refuse(err,
                      "export needs a FILE, --account NAME (or --all), --format csv|qif and OUT");
    const std::string& format = line.values["--format"];
    if (format != "csv" && format != "qif")
        return refuse(err, "--format is csv or qif, not \"", format, "\"");
    const std::string& path = line.plain[0];
    const std::string& outPath = line.plain[1];
    if (outPath == path)
        return refuse(err, "OUT is the account file itself");
    Document doc;
    if (!loadFile(doc, path, err))
        return kExitBadInput;
    const AccountRecord* account = nullptr;
    if (!all && !(account = accountNamed(doc, line.values["--account"])))
        return refuse(err, path, ": no account named \"", line.values["--account"], "\"");
    const std::string text =
        exportOperations(doc, account, format == "csv" ? ExportFormat::Csv : ExportFormat::Qif);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    std::string reason;
    if (!replaceFileContent(platformFileSystem(), outPath, bytes, {}, &reason))
        return refuse(err, outPath, ": the file cannot be written", reason.empty() ? "" : " (",
                      reason, reason.empty() ? "" : ")");
    out << "Exported " << (all ? std::string("every account") : utf8Field(account->name)) << " to "
        << outPath << "\n";
    return kExitOk;
}

} // namespace kolvane
