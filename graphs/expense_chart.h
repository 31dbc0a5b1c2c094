// The graph view's picture: the period totals as one series of a bar chart.
#pragma once

#include "diagram.h"
#include "period_totals.h"

namespace kolvane {

inline constexpr const char* kExpenseChartTitle = "Dépenses par Catégorie"; // UTF-8
inline constexpr int kExpenseChartWidth = 1000;
inline constexpr int kExpenseChartHeight = 820;

// Empties `diagram` (keeping its size), titles it and adds one series: each
// total, in list order, labelled with its category's name.
void fillExpenseChart(Diagram& diagram, const CategoryTotalList& totals);

} // namespace kolvane
