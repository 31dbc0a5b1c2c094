#include "expense_chart.h"

#include "document/text.h"
#include "document/vocabulary.h"

#include <string>

namespace kolvane {

void fillExpenseChart(Diagram& diagram, const CategoryTotalList& totals) {
    diagramClear(diagram);
    DiagramSeries* series = diagramAddSeries(diagram);
    diagramSetTitle(diagram, utf8ToCp1252(kExpenseChartTitle).c_str());
    for (const CategoryTotal& line : totals)
        diagramAddValue(series, std::string(fieldText(line.name)).c_str(), line.total);
}

GraphViewLayout graphViewLayout(int clientWidth, int clientHeight) {
    const int width = clientWidth > kGraphPageWidth ? clientWidth : kGraphPageWidth;
    const int height = clientHeight > kGraphPageHeight ? clientHeight : kGraphPageHeight;
    return {{0, 0, 300, height}, {300, 0, width, height}};
}

ChoiceList graphPeriodChoices() {
    ChoiceList list;
    for (std::size_t i = 0; i < kPeriodNames.size(); ++i)
        list.rows.push_back({utf8ToCp1252(kPeriodNames[i]), static_cast<std::uint32_t>(i)});
    list.selected = 0;
    return list;
}

ChoiceList graphYearChoices(int currentYear) {
    ChoiceList list;
    for (int year = currentYear; year > currentYear - 10; --year)
        list.rows.push_back({std::to_string(year), static_cast<std::uint32_t>(year)});
    list.selected = 0;
    return list;
}

} // namespace kolvane
