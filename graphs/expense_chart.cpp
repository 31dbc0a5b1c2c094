#include "expense_chart.h"

#include "document/text.h"

#include <string>

namespace kolvane {

void fillExpenseChart(Diagram& diagram, const CategoryTotalList& totals) {
    diagramClear(diagram);
    DiagramSeries* series = diagramAddSeries(diagram);
    diagramSetTitle(diagram, utf8ToCp1252(kExpenseChartTitle).c_str());
    for (const CategoryTotal& line : totals)
        diagramAddValue(series, std::string(fieldText(line.name)).c_str(), line.total);
}

} // namespace kolvane
