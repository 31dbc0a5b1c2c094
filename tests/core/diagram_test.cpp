// The bar chart's arithmetic, worked out by hand from the layout rules. The
// 1000 x 820 bitmap of the graph view has its plot at (100, 82)-(900, 738):
// a value's row is trunc(738 - 656 (v - min) / (max - min)).
#include "graphs/diagram.h"

#include "graphs/expense_chart.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

Diagram chart(const std::vector<std::vector<double>>& series, int width = 1000, int height = 820) {
    Diagram diagram;
    diagramInit(diagram, width, height);
    for (const std::vector<double>& values : series) {
        DiagramSeries* added = diagramAddSeries(diagram);
        for (double value : values)
            diagramAddValue(added, "x", value);
    }
    return diagram;
}

TEST(Diagram, OneSeriesOfTenValuesSpansThePlot) {
    // u = 8000 / 900 = 8.89: bar i from 100 + trunc(80 i + u), 53 wide.
    const DiagramLayout layout = layoutDiagram(chart({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));
    ASSERT_EQ(layout.bars.size(), 10u);
    EXPECT_EQ(layout.plot, (DiagramRect{100, 82, 900, 738}));
    EXPECT_EQ(layout.bars[0].rect, (DiagramRect{108, 672, 161, 738})); // trunc(738 - 65.6)
    EXPECT_EQ(layout.bars[1].rect.left, 188);
    EXPECT_EQ(layout.bars[9].rect, (DiagramRect{828, 82, 881, 738}));
    EXPECT_EQ(layout.colourCount, 10); // one colour per bar
    EXPECT_EQ(layout.bars[9].brush, 9);
    EXPECT_EQ(layout.maximumText, "10.00");
    EXPECT_EQ(layout.minimumText, "0.00");
    EXPECT_EQ(layout.maximumBox, (DiagramRect{0, 72, 95, 92}));
    EXPECT_EQ(layout.minimumBox, (DiagramRect{0, 728, 95, 748}));
    // The value over bar 0, centred on its 9-unit (80-pixel) group.
    EXPECT_EQ(barValueBox(layout, layout.bars[0], 14), (DiagramRect{94, 656, 174, 670}));
}

TEST(Diagram, TwoSeriesWithNegativeValuesHangFromTheZeroLine) {
    // u = 8000 / (160 x 5) = 10; min -50, max 100, zero row trunc(519.33).
    const DiagramLayout layout =
        layoutDiagram(chart({{100, 50, 0, -50, 25}, {10, 20, 30, 40, -25}}));
    ASSERT_EQ(layout.bars.size(), 10u);
    EXPECT_EQ(layout.zeroRow, 519);
    EXPECT_EQ(layout.colourCount, 2); // one colour per series
    struct Expected {
        std::size_t bar;
        DiagramRect rect;
        int brush;
    };
    const Expected cases[] = {
        {0, {110, 82, 170, 519}, 0},  {1, {270, 300, 330, 519}, 0}, {2, {430, 519, 490, 519}, 0},
        {3, {590, 519, 650, 738}, 0}, {5, {180, 475, 240, 519}, 1}, {9, {820, 519, 880, 628}, 1},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.bar);
        EXPECT_EQ(layout.bars[c.bar].rect, c.rect);
        EXPECT_EQ(layout.bars[c.bar].brush, c.brush);
    }
    EXPECT_EQ(layout.maximumText, "100.00");
    EXPECT_EQ(layout.minimumText, "-50.00");
    // Values over rising bars, under hanging ones, centred on 80-pixel columns.
    EXPECT_EQ(barValueBox(layout, layout.bars[0], 14), (DiagramRect{100, 66, 180, 80}));
    EXPECT_EQ(barValueBox(layout, layout.bars[3], 14), (DiagramRect{580, 740, 660, 754}));
    EXPECT_EQ(barValueBox(layout, layout.bars[2], 14), (DiagramRect{420, 503, 500, 517})); // 0
}

TEST(Diagram, EdgeCasesOfTheScale) {
    // All zero: every row is 0, bars and zero line on the top edge.
    const DiagramLayout zeros = layoutDiagram(chart({{0, 0}}));
    EXPECT_EQ(zeros.zeroRow, 0);
    EXPECT_EQ(zeros.bars[1].rect.top, 0);
    EXPECT_EQ(zeros.bars[1].rect.bottom, 0);
    EXPECT_EQ(zeros.maximumText, "0.00");
    // No value at all: frame and labels, no bar, no unit.
    const DiagramLayout empty = layoutDiagram(chart({{}}));
    EXPECT_TRUE(empty.bars.empty());
    EXPECT_EQ(empty.unit, 0.0f);
    // Series of unequal lengths: the longest one sets the groups,
    // u = 7680 / (160 x 3) = 16, groups of 256 from x = 96.
    const DiagramLayout uneven = layoutDiagram(chart({{5}, {1, 2, 3}}, 960, 100));
    ASSERT_EQ(uneven.bars.size(), 4u);
    EXPECT_EQ(uneven.bars[0].rect.left, 96 + 16);
    EXPECT_EQ(uneven.bars[1].rect.left, 96 + 112 + 16);
    EXPECT_EQ(uneven.bars[0].rect.top, 10);                                     // the maximum, 5
    EXPECT_EQ(uneven.bars[3].rect, (DiagramRect{96 + 512 + 128, 42, 832, 90})); // 3: 90 - 48
}

TEST(Diagram, ColoursTakeThreeDrawsEach) {
    static const int draws[] = {159, 160, 191, 320, 415, 192};
    static int next = 0;
    next = 0;
    const std::vector<Rgb> colours = diagramColours(2, [] { return draws[next++]; });
    EXPECT_EQ(colours, (std::vector<Rgb>{{255, 96, 255}, {96, 191, 64}}));
}

TEST(Diagram, TitleValuesAndClearing) {
    Diagram diagram = chart({{1}, {2, 3}}, 640, 480);
    diagramSetTitle(diagram, std::string(300, 'a').c_str());
    EXPECT_EQ(diagram.title.size(), 254u);
    diagramSetTitle(diagram, nullptr);
    EXPECT_EQ(diagram.title, "");
    diagramSetTitle(diagram, "Titre");
    diagramInit(diagram, 640, 480); // a reused diagram starts afresh
    EXPECT_EQ(diagram.title, "");
    EXPECT_TRUE(diagram.series.empty());

    // The expense chart replaces what the diagram held; its title, names and
    // totals are compared by tests/tools/check_independent_writer.py.
    diagram = chart({{1}, {2, 3}}, 640, 480);
    CategoryTotalList totals;
    CategoryTotal* line = totals.appendEmpty();
    setFieldText(line->name, "Alimentation");
    line->total = 12.5;
    fillExpenseChart(diagram, totals);
    ASSERT_EQ(diagram.series.size(), 1u);
    EXPECT_EQ(diagram.series[0].size(), 1u);
    EXPECT_EQ(diagram.width, 640);
    EXPECT_EQ(barTip(diagram, DiagramBar{{}, 0, 0, 0, 12.5}), "Alimentation : 12.50");
}

TEST(Diagram, NamesUnderTheBarsStayInsideTheBitmap) {
    const DiagramLayout layout = layoutDiagram(chart({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));
    // Bar 0 is 108-161, middle 134; ascent 13 lifts the end by round(9.19).
    const BarLabelPlace place = barLabelPlace(layout, layout.bars[0], 13, 3);
    EXPECT_EQ(place.endX, 143);
    EXPECT_EQ(place.endY, 738 + 4 + 9);
    EXPECT_EQ(place.maximumLength, 93); // (819 - 751) x sqrt 2 - 3
    int x = 0, y = 0;
    barLabelStart(place, 50, x, y); // 50 / sqrt 2 = 35.4 each way
    EXPECT_EQ(x, 108);
    EXPECT_EQ(y, 786);
    EXPECT_EQ(barValueTexts(1234.567), (std::vector<std::string>{"1 234.57", "1 235"}));
    EXPECT_EQ(barValueTexts(-0.4), (std::vector<std::string>{"- 0.40", "0"}));
}

TEST(Diagram, TheScaledPictureAndItsBarColumns) {
    struct Fit {
        int clientWidth, clientHeight;
        BitmapPlace expected;
    };
    const Fit fits[] = {
        {500, 820, {0, 205, 500, 410}},   // narrower: full width, centred vertically
        {2000, 820, {500, 0, 1000, 820}}, // wider: full height, centred horizontally
        {2000, 1640, {0, 0, 2000, 1640}}, // larger: enlarged
        {700, 500, {45, 0, 609, 500}},    // scale 500 / 820
    };
    for (const Fit& fit : fits) {
        const BitmapPlace place = placeBitmap(1000, 820, fit.clientWidth, fit.clientHeight);
        EXPECT_EQ(place.x, fit.expected.x);
        EXPECT_EQ(place.y, fit.expected.y);
        EXPECT_EQ(place.width, fit.expected.width);
        EXPECT_EQ(place.height, fit.expected.height);
    }
    // Bar 9 of ten, 828-881, from the plot's top (82) to the bottom (820),
    // at half size 205 pixels down.
    const DiagramLayout layout = layoutDiagram(chart({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));
    const DiagramRect column = barColumn(layout, layout.bars[9]);
    EXPECT_EQ(column, (DiagramRect{828, 82, 881, 820}));
    EXPECT_EQ(bitmapRectToClient({0, 205, 500, 410}, 1000, 820, column),
              (DiagramRect{414, 246, 440, 615}));
    EXPECT_EQ(bitmapRectToClient({45, 0, 609, 500}, 1000, 820, column),
              (DiagramRect{45 + 504, 50, 45 + 536, 500}));
}

TEST(GraphPage, AtLeastEightHundredByFiveHundredAndTheChoicesOfItsLists) {
    struct Case {
        int width, height;
        DiagramRect chart;
    };
    for (const Case& c : {Case{1200, 400, {300, 0, 1200, 500}}, Case{801, 500, {300, 0, 801, 500}},
                          Case{800, 620, {300, 0, 800, 620}}, Case{600, 300, {300, 0, 800, 500}}}) {
        const GraphViewLayout layout = graphViewLayout(c.width, c.height);
        EXPECT_EQ(layout.chart, c.chart);
        EXPECT_EQ(layout.panel, (DiagramRect{0, 0, 300, c.chart.bottom}));
    }
    const ChoiceList years = graphYearChoices(2026);
    ASSERT_EQ(years.rows.size(), 10u);
    EXPECT_EQ(years.selected, 0);
    EXPECT_EQ(years.rows.front().text, "2026");
    EXPECT_EQ(years.rows.back().text, "2017");
    EXPECT_EQ(years.rows.back().itemData, 2017u);
    const ChoiceList periods = graphPeriodChoices();
    ASSERT_EQ(periods.rows.size(), 19u);
    EXPECT_EQ(periods.selected, 0);
    EXPECT_EQ(periods.rows[13].text, "1\xE8re Trimestre"); // Windows-1252
    EXPECT_EQ(periods.rows[18].itemData, 18u);
}

} // namespace
} // namespace kolvane
