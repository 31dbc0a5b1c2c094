#include "kvn_register.h"

#include "operations/register_model.h"
#include "tools/json_writer.h"
#include "tools/kvn_support.h"

#include <charconv>

namespace kolvane {
namespace {

// The account named `wanted` (UTF-8), else the one at position `wanted`
// counted from 1 in the file, masked ones included.
AccountRecord* findAccount(const Document& doc, const std::string& wanted) {
    for (AccountRecord& account : doc.accounts)
        if (utf8Field(account.name) == wanted)
            return &account;
    int position = 0;
    auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), position);
    if (error != std::errc() || end != wanted.data() + wanted.size() || position < 1)
        return nullptr;
    for (AccountRecord& account : doc.accounts)
        if (--position == 0)
            return &account;
    return nullptr;
}

const char* rowKind(std::uint32_t flags) {
    if (flags & kRowInitialBalance)
        return "initial";
    if (flags & kRowLine)
        return "line";
    if (flags & kRowIncoming)
        return "incoming";
    return "own";
}

void printRegister(const RegisterModel& model, std::ostream& out) {
    static constexpr const char* kCells[kRegisterColumnCount] = {
        "date", "mode", "category", "label", "ticked", "debit", "credit", "balance"};
    JsonWriter json(out);
    json.beginObject();
    json.member("account", utf8Field(model.account()->name));
    json.member("order", model.document().sortOrder == 0 ? "entry" : "date");
    json.key("rows");
    json.beginArray();
    for (int row = 0; row < model.rowCount(); ++row) {
        json.beginObject();
        json.member("kind", rowKind(model.rowFlags(row)));
        for (int column = 0; column < kRegisterColumnCount; ++column)
            json.member(kCells[column], cp1252ToUtf8(model.cellText(row, column)));
        json.endObject();
    }
    json.endArray();
    const BalanceStripTexts strip = model.balanceStrip();
    json.key("strip");
    json.beginObject();
    json.member("account", cp1252ToUtf8(strip.accountName));
    json.member("pointedBalance", strip.pointedText);
    json.member("balance", strip.balanceText);
    json.endObject();
    json.endObject();
    json.finish();
}

} // namespace

int commandRegister(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--account", "--order"}, {}, line, err))
        return kExitBadInput;
    if (line.plain.size() > 1)
        return refuse(err, "register takes one FILE, got also ", line.plain[1]);
    const std::string* account = line.value("--account");
    const std::string* order = line.value("--order");
    if (line.plain.empty() || !account)
        return refuse(err, "register needs a FILE and --account NAME");
    const std::string& path = line.plain[0];
    if (order && *order != "entry" && *order != "date")
        return refuse(err, "--order is entry or date, not \"", *order, "\"");
    Document doc;
    if (!loadFile(doc, path, err))
        return kExitBadInput;
    doc.currentAccount = findAccount(doc, *account);
    if (!doc.currentAccount)
        return refuse(err, path, ": no account named \"", *account, "\"");
    doc.sortOrder = order && *order == "date" ? 1 : 0;
    RegisterModel model(doc);
    model.fill();
    printRegister(model, out);
    return kExitOk;
}

} // namespace kolvane
