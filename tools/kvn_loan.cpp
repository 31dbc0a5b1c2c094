// kvn loan: what the loan simulator shows, from the same checks, arithmetic
// and cell texts as its view.
#include "document/calendar.h"
#include "document/dates.h"
#include "loan/lending_export.h"
#include "loan/lending_rules.h"
#include "operations/amount_field.h"
#include "tools/json_writer.h"
#include "tools/kvn_loan.h"
#include "tools/kvn_support.h"

#include <charconv>
#include <string>
#include <string_view>

namespace kolvane {
namespace {

template <class Value> struct Choice {
    std::string_view name;
    Value value;
};

constexpr Choice<Periodicity> kPeriodicities[] = {{"mensuel", Periodicity::Monthly},
                                                  {"trimestriel", Periodicity::Quarterly},
                                                  {"semestriel", Periodicity::HalfYearly},
                                                  {"annuel", Periodicity::Yearly}};
constexpr Choice<RateMode> kRateModes[] = {{"proportionnel", RateMode::Proportional},
                                           {"equivalent", RateMode::Equivalent}};
constexpr Choice<InsuranceType> kInsuranceTypes[] = {
    {"valeur", InsuranceType::Value},
    {"pourcentage-fixe", InsuranceType::FixedPercent},
    {"pourcentage-proportionnel", InsuranceType::ProportionalPercent}};

template <class Value, std::size_t N>
bool choose(const Choice<Value> (&choices)[N], std::string_view text, Value& value) {
    for (const Choice<Value>& choice : choices)
        if (choice.name == text) {
            value = choice.value;
            return true;
        }
    return false;
}

template <class Value, std::size_t N> std::string names(const Choice<Value> (&choices)[N]) {
    std::string text;
    for (const Choice<Value>& choice : choices) {
        if (!text.empty())
            text += '|';
        text.append(choice.name);
    }
    return text;
}

// YYYY-MM-DD, a day that exists, in the years a date picker offers.
bool parseDay(std::string_view text, FileTime& value) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8}, ends[3] = {4, 7, 10};
    for (int i = 0; i < 3; ++i) {
        const char* first = text.data() + starts[i];
        const char* last = text.data() + ends[i];
        auto result = std::from_chars(first, last, parts[i]);
        if (result.ec != std::errc() || result.ptr != last || *first == '-' || *first == '+')
            return false;
    }
    const int year = parts[0], month = parts[1], day = parts[2];
    if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(month, year))
        return false;
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    value = toFileTime(time);
    return true;
}

void writeSchedule(const LendingDecision& decision, std::ostream& out) {
    const LendingSchedule& schedule = decision.schedule;
    static constexpr const char* kColumns[kLendingColumnCount] = {
        "number", "date", "interest", "principal", "insurance", "instalment", "remainingCapital"};
    JsonWriter json(out);
    json.beginObject();
    // The two "Détails" fields, blank for 0.00 as they show it.
    json.member("instalmentWithInsurance",
                amountTextForValue(schedule.instalmentWithInsurance, false));
    json.member("instalmentWithoutInsurance",
                amountTextForValue(schedule.instalmentWithoutInsurance, false));
    // And the two figures shown under them.
    const LendingCost cost = lendingCost(schedule, decision.parameters.periodicity);
    json.member("totalCost", amountTextForValue(cost.total, false));
    json.member("effectiveAnnualRate", lendingRateText(cost.effectiveAnnualRate));
    json.key("rows");
    json.beginArray();
    for (const LendingRow& row : schedule.rows) {
        json.beginObject();
        for (int column = 0; column < kLendingColumnCount; ++column)
            json.member(kColumns[column], lendingCellText(row, column));
        json.member("december", isDecemberRow(row));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.finish();
}

} // namespace

int commandLoan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine line;
    if (!parseCommandLine(args,
                          {"--amount", "--count", "--rate", "--first", "--release", "--periodicity",
                           "--rate-mode", "--insurance", "--insurance-type"},
                          {}, line, err))
        return kExitBadInput;
    if (!line.plain.empty())
        return refuse(err, "loan takes no argument \"", line.plain[0], "\" (try kvn --help)");
    const std::string* count = line.value("--count");
    const std::string* first = line.value("--first");
    const std::string* release = line.value("--release");
    const std::string* periodicity = line.value("--periodicity");
    const std::string* rateMode = line.value("--rate-mode");
    const std::string* insuranceType = line.value("--insurance-type");

    LendingForm form;
    if (!first)
        return refuse(err, "loan needs --first YYYY-MM-DD, the date of the first instalment");
    if (!parseDay(*first, form.firstInstalmentDate))
        return refuse(err, "--first needs a date YYYY-MM-DD, not \"", *first, "\"");
    form.releaseDate = addMonths(form.firstInstalmentDate, -1);
    if (release && !parseDay(*release, form.releaseDate))
        return refuse(err, "--release needs a date YYYY-MM-DD, not \"", *release, "\"");
    // A missing amount, count or rate is an empty field: the form's own
    // message says so.
    for (auto [name, slot] :
         {std::pair{"amount", &form.amount}, std::pair{"rate", &form.annualRate},
          std::pair{"insurance", &form.insurance}})
        if (const std::string* given = line.value(std::string("--") + name);
            given && !parseTypedAmount(*given, *slot))
            return refuse(err, "invalid ", name, " \"", *given,
                          "\" (write it like 1234.56, at most two decimals)");
    if (count) {
        if (count->find_first_not_of("0123456789") != std::string::npos)
            return refuse(err, "--count needs a whole number, not \"", *count, "\"");
        form.countText = *count;
    }
    if (periodicity && !choose(kPeriodicities, *periodicity, form.periodicity))
        return refuse(err, "--periodicity is one of ", names(kPeriodicities));
    if (rateMode && !choose(kRateModes, *rateMode, form.rateMode))
        return refuse(err, "--rate-mode is one of ", names(kRateModes));
    if (insuranceType && !choose(kInsuranceTypes, *insuranceType, form.insuranceType))
        return refuse(err, "--insurance-type is one of ", names(kInsuranceTypes));

    const LendingDecision decision = decideLending(form);
    if (decision.refusal)
        return refuse(err, refusalText(decision.refusal));
    writeSchedule(decision, out);
    return kExitOk;
}

} // namespace kolvane
