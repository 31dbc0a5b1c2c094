// The expenses of a period, per expense category: the numbers behind the
// graph view's bar chart and `kvn totals`.
//
// A period is start <= date < end. Every operation booked to a category of
// the period adds to the total of that category's top level (a sub-category
// folds into its category): +amount when the category is the operation's
// party, -amount when it is the counterparty, so an expense paid from an
// account adds its value and a refund booked to an expense category lowers
// it. Income categories and hidden categories have no total; split
// operations book to no category (their lines are not visited).
#pragma once

#include "document/document.h"

#include <atomic>
#include <cstdint>

namespace kolvane {

// The "Mois :" choices of the graph view, in the order of kPeriodNames.
inline constexpr int kPeriodChoiceCount = 19;
inline constexpr int kWholeYear = 0;
inline constexpr int kFirstQuarter = 13;
inline constexpr int kFirstHalf = 17;

struct Period {
    FileTime start = 0;
    FileTime end = 0;
};

// The period of choice `periodIndex` (0 the whole year, 1-12 a month, 13-16
// the quarters, 17-18 the half-years) of `year`, from the first day of its
// first month at 00:00 up to the same moment `length` months later. False
// for an index out of range or a year outside 1601-30826.
[[nodiscard]] bool periodOfYear(int periodIndex, int year, Period& period);

struct CategoryTotal {
    CategoryId categoryId; // Category | the category's record id (sub-category byte 0)
    char name[44];         // Windows-1252, copied from the category record
    double total;
};
using CategoryTotalList = RecordList<CategoryTotal>;

// Empties `totals`, then lists the shown expense categories (top level only)
// in the order of the document, each with a total of 0. False, with `totals`
// empty, when memory runs out.
[[nodiscard]] bool listExpenseCategories(const Document& doc, CategoryTotalList& totals);

// Shared between the thread that computes and the one that may cancel.
struct TotalsFlags {
    std::atomic<std::uint32_t> running{0};   // 1 while the computation may go on
    std::atomic<std::uint32_t> completed{0}; // 1 once every operation was visited
};

// Adds the period's operations to `totals`. `running` is read before each
// operation; once it is not 1 the walk stops and `totals` is left as it was.
// A walk that visits every operation while `running` stays 1 lowers it,
// raises `completed` and adds its sums. Amounts are summed in whole cents, so
// two-decimal amounts give the exact total (0.10 + 0.20 is 0.30).
void addPeriodTotals(const Document& doc, const Period& period, CategoryTotalList& totals,
                     TotalsFlags& flags);

} // namespace kolvane
