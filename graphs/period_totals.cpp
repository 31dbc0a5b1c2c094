#include "period_totals.h"

#include "document/dates.h"
#include "document/text.h"

#include <array>
#include <cmath>
#include <vector>

namespace kolvane {
namespace {

struct PeriodChoice {
    int firstMonth;
    int months;
};

PeriodChoice periodChoice(int periodIndex) {
    if (periodIndex == kWholeYear)
        return {1, 12};
    if (periodIndex < kFirstQuarter)
        return {periodIndex, 1};
    if (periodIndex < kFirstHalf)
        return {1 + 3 * (periodIndex - kFirstQuarter), 3};
    return {1 + 6 * (periodIndex - kFirstHalf), 6};
}

// Amounts up to a hundred million are summed as whole cents: far beyond any
// real operation, and a million of them cannot overflow 64 bits. Larger or
// non-finite values (a damaged file) are summed as they are.
constexpr double kLargestCentAmount = 1e8;

std::int64_t toCents(double value) {
    return static_cast<std::int64_t>(value * 100.0 + (value < 0 ? -0.5 : 0.5));
}

} // namespace

bool periodOfYear(int periodIndex, int year, Period& period) {
    if (periodIndex < 0 || periodIndex >= kPeriodChoiceCount || year < 1601 || year > 30826)
        return false;
    const PeriodChoice choice = periodChoice(periodIndex);
    CalendarTime first;
    first.year = year;
    first.month = choice.firstMonth;
    first.day = 1;
    period.start = toFileTime(first);
    period.end = addMonths(period.start, choice.months);
    return true;
}

bool listExpenseCategories(const Document& doc, CategoryTotalList& totals) {
    totals.clear();
    for (const CategoryRecord& category : doc.categories) {
        const bool topLevel = (category.id & 0x00FF) == 0;
        const bool income = (category.id & kCreditBit) != 0;
        if (!topLevel || income || category.shown == 0)
            continue;
        CategoryTotal* line = totals.appendEmpty();
        if (!line) {
            totals.clear();
            return false;
        }
        line->categoryId = Category | category.id;
        setFieldText(line->name, fieldText(category.name));
        line->total = 0.0;
    }
    return true;
}

void addPeriodTotals(const Document& doc, const Period& period, CategoryTotalList& totals,
                     TotalsFlags& flags) {
    // The category number (bits 8-15 of a category id) leads straight to the
    // first total of that category; -1 when it has none.
    std::array<int, 256> slotOfCategory;
    slotOfCategory.fill(-1);
    int slotCount = 0;
    for (const CategoryTotal& line : totals) {
        const std::uint32_t number = (line.categoryId >> 8) & 0xFF;
        if ((line.categoryId & 0xFFFF00FFu) == Category && slotOfCategory[number] < 0)
            slotOfCategory[number] = slotCount;
        ++slotCount;
    }
    std::vector<std::int64_t> cents(static_cast<std::size_t>(slotCount), 0);
    std::vector<double> largeSums(static_cast<std::size_t>(slotCount), 0.0);

    const auto inPeriod = [&period](FileTime date) {
        return period.start <= date && date < period.end;
    };
    for (const OperationRecord& operation : doc.operations) {
        if (flags.running.load(std::memory_order_relaxed) != 1)
            return;
        CategoryId booked;
        double value;
        if (isCategory(operation.partyId) && inPeriod(operation.operationDate)) {
            booked = operation.partyId;
            value = operation.amount;
        } else if (isCategory(operation.counterpartyId) && inPeriod(operation.operationDate)) {
            booked = operation.counterpartyId;
            value = -operation.amount;
        } else {
            continue;
        }
        if ((booked & 0xFF000000u) != 0)
            continue; // stray bits above the kind: no category of ours
        const int slot = slotOfCategory[(booked >> 8) & 0xFF];
        if (slot < 0)
            continue;
        if (std::fabs(value) < kLargestCentAmount)
            cents[static_cast<std::size_t>(slot)] += toCents(value);
        else
            largeSums[static_cast<std::size_t>(slot)] += value;
    }
    if (flags.running.exchange(0) != 1)
        return; // cancelled after the last operation
    std::size_t slot = 0;
    for (CategoryTotal& line : totals) {
        line.total += static_cast<double>(cents[slot]) / 100.0 + largeSums[slot];
        ++slot;
    }
    flags.completed.store(1);
}

} // namespace kolvane
