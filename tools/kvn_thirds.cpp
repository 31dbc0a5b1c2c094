#include "kvn_thirds.h"

#include "document/amounts.h"
#include "thirds/third_model.h"
#include "tools/json_writer.h"
#include "tools/kvn_support.h"

namespace kolvane {
namespace {

const char* kindName(ThirdRowKind kind) {
    switch (kind) {
    case ThirdRowKind::Initial:
        return "initial";
    case ThirdRowKind::Party:
        return "party";
    case ThirdRowKind::Counterparty:
        return "counterparty";
    case ThirdRowKind::Line:
        return "line";
    }
    return "";
}

void printRows(JsonWriter& json, const ThirdRows& rows) {
    static constexpr const char* kCells[kThirdColumnCount] = {"date", "label", "debit", "credit",
                                                              "balance"};
    json.key("rows");
    json.beginArray();
    for (int row = 0; row < rows.rowCount(); ++row) {
        json.beginObject();
        json.member("kind", kindName(rows.kind(row)));
        for (int column = 0; column < kThirdColumnCount; ++column)
            json.member(kCells[column], cp1252ToUtf8(rows.cellText(row, column)));
        json.endObject();
    }
    json.endArray();
    const ThirdStripTexts strip = thirdStripTexts(rows.third());
    json.key("strip");
    json.beginObject();
    json.member("third", cp1252ToUtf8(strip.name));
    json.member("balance", strip.balance);
    json.endObject();
}

} // namespace

int commandThirds(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--third"}, {}, line, err))
        return kExitBadInput;
    if (line.plain.size() > 1)
        return refuse(err, "thirds takes one FILE, got also ", line.plain[1]);
    if (line.plain.empty())
        return refuse(err, "thirds needs a FILE");
    const std::string& path = line.plain[0];
    const std::string* wanted = line.value("--third");
    Document doc;
    if (!loadFile(doc, path, err))
        return kExitBadInput;
    const std::vector<ThirdRecord*> tree = thirdTree(doc);
    const ThirdRecord* chosen = nullptr;
    if (wanted) {
        for (const ThirdRecord* third : tree)
            if (utf8Field(third->name) == *wanted)
                chosen = third;
        if (!chosen)
            return refuse(err, path, ": no active third party named \"", *wanted, "\"");
    }
    JsonWriter json(out);
    json.beginObject();
    json.key("thirds");
    json.beginArray();
    for (const ThirdRecord* third : tree) {
        json.beginObject();
        json.member("name", utf8Field(third->name));
        json.member("balance", formatAmount(third->balance));
        json.endObject();
    }
    json.endArray();
    const ThirdRecord* selected = thirdSelectedAfterFill(doc);
    json.member("selected", selected ? utf8Field(selected->name) : std::string());
    if (chosen) {
        ThirdRows rows;
        rows.fill(doc, chosen);
        printRows(json, rows);
    }
    json.endObject();
    json.finish();
    return kExitOk;
}

} // namespace kolvane
