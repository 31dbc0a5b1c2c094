// The graph view's picture: the period totals as one series of a bar chart.
#pragma once

#include "diagram.h"
#include "period_totals.h"

#include "document/choice_lists.h"

namespace kolvane {

inline constexpr const char* kExpenseChartTitle = "Dépenses par Catégorie"; // UTF-8
inline constexpr int kExpenseChartWidth = 1000;
inline constexpr int kExpenseChartHeight = 820;

// Empties `diagram` (keeping its size), titles it and adds one series: each
// total, in list order, labelled with its category's name.
void fillExpenseChart(Diagram& diagram, const CategoryTotalList& totals);

// The graph view's page: at least 800 x 500, the period panel a 300-pixel
// strip on the left and the chart the rest (page coordinates).
struct GraphViewLayout {
    DiagramRect panel, chart;
};
GraphViewLayout graphViewLayout(int clientWidth, int clientHeight);
inline constexpr int kGraphPageWidth = 800;
inline constexpr int kGraphPageHeight = 500;

// The "Mois :" list: the period names (item data: the period's index) and
// the "Année :" list: `currentYear` and the nine before, newest first (item
// data: the year); the first row of each is selected.
ChoiceList graphPeriodChoices();
ChoiceList graphYearChoices(int currentYear);

} // namespace kolvane
