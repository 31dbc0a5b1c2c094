#include "kvn_totals.h"

#include "json_writer.h"
#include "kvn_support.h"

#include "document/dates.h"
#include "document/vocabulary.h"
#include "graphs/expense_chart.h"

#include <charconv>

namespace kolvane {
namespace {

// The "Mois :" choice that covers `month` for each length of period.
bool periodChoiceFor(std::string_view length, int month, int& index) {
    if (length == "year")
        index = kWholeYear;
    else if (length == "month")
        index = month;
    else if (length == "quarter")
        index = kFirstQuarter + (month - 1) / 3;
    else if (length == "half")
        index = kFirstHalf + (month - 1) / 6;
    else
        return false;
    return true;
}

bool parseNumber(std::string_view text, int& value) {
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "YYYY-MM-DD", a day that exists.
bool parseDay(std::string_view text, CalendarTime& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (text[i] < '0' || text[i] > '9')
            return false;
    if (!parseNumber(text.substr(0, 4), day.year) || !parseNumber(text.substr(5, 2), day.month) ||
        !parseNumber(text.substr(8, 2), day.day))
        return false;
    return day.month >= 1 && day.month <= 12 && day.day >= 1 &&
           day.day <= daysInMonth(day.month, day.year);
}

void writeChart(JsonWriter& json, const CategoryTotalList& totals) {
    Diagram diagram;
    diagramInit(diagram, kExpenseChartWidth, kExpenseChartHeight);
    fillExpenseChart(diagram, totals);
    const DiagramLayout layout = layoutDiagram(diagram);
    json.beginObject();
    json.member("title", cp1252ToUtf8(diagram.title));
    json.member("maximum", layout.maximumText);
    json.member("minimum", layout.minimumText);
    json.key("bars");
    json.beginArray();
    for (const DiagramBar& bar : layout.bars) {
        const DiagramValue& value = diagram.series[0][static_cast<std::size_t>(bar.index)];
        json.beginObject();
        json.member("name", cp1252ToUtf8(value.label.value_or("")));
        json.member("total", value.value);
        json.member("text", barValueTexts(value.value).front());
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

} // namespace

int commandTotals(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args, {"--period", "--at"}, {}, line, err))
        return kExitBadInput;
    if (line.plain.size() > 1)
        return refuse(err, "totals takes one FILE, got also ", line.plain[1]);
    if (line.plain.empty())
        return refuse(err, "totals needs a FILE (kvn totals FILE --period month)");
    const std::string& path = line.plain[0];
    const std::string length = line.values["--period"];
    const std::string at = line.values["--at"];
    if (length.empty())
        return refuse(err, "totals needs --period month, quarter, half or year");
    CalendarTime day = localNow();
    if (!at.empty() && !parseDay(at, day))
        return refuse(err, "--at needs a date YYYY-MM-DD, not \"", at, "\"");
    int choice = 0;
    if (!periodChoiceFor(length, day.month, choice))
        return refuse(err, "--period is month, quarter, half or year, not \"", length, "\"");
    Period period;
    if (!periodOfYear(choice, day.year, period))
        return refuse(err, "no period of the year ", day.year, " (1601 to 30826)");

    Document doc;
    if (!loadFile(doc, path, err))
        return kExitBadInput;
    CategoryTotalList totals;
    if (!listExpenseCategories(doc, totals))
        return refuse(err, "out of memory");
    TotalsFlags flags;
    flags.running = 1;
    addPeriodTotals(doc, period, totals, flags);

    JsonWriter json(out);
    json.beginObject();
    json.key("period");
    json.beginObject();
    json.member("name", kPeriodNames[static_cast<std::size_t>(choice)]);
    json.member("year", day.year);
    json.member("start", dateText(period.start));
    json.member("end", dateText(period.end));
    json.endObject();
    // With no expense category shown the view leaves its picture as it was.
    json.key("chart");
    if (totals.empty())
        json.null();
    else
        writeChart(json, totals);
    json.endObject();
    json.finish();
    return kExitOk;
}

} // namespace kolvane
