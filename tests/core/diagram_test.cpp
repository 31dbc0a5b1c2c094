// The bar chart's arithmetic, worked out by hand from the layout rules. The
// 1000 x 820 bitmap of the graph view has its plot at (100, 82)-(900, 738):
// a value's row is trunc(738 - 656 (v - min) / (max - min)).
#include "graphs/diagram.h"

#include "graphs/expense_chart.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
    // trunc(738 - 65.6)
    // one colour per bar
    EXPECT_EQ(std::tuple(layout.plot, layout.bars[0].rect, layout.bars[1].rect.left,
                         layout.bars[9].rect, layout.colourCount),
              std::tuple((DiagramRect{100, 82, 900, 738}), (DiagramRect{108, 672, 161, 738}), 188,
                         (DiagramRect{828, 82, 881, 738}), 10));
    EXPECT_EQ(std::tuple(layout.bars[9].brush, layout.maximumText, layout.minimumText,
                         layout.maximumBox, layout.minimumBox),
              std::tuple(9, "10.00", "0.00", (DiagramRect{0, 72, 95, 92}),
                         (DiagramRect{0, 728, 95, 748})));
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
    // 0
    EXPECT_EQ(std::tuple(barValueBox(layout, layout.bars[0], 14),
                         barValueBox(layout, layout.bars[3], 14),
                         barValueBox(layout, layout.bars[2], 14)),
              std::tuple((DiagramRect{100, 66, 180, 80}), (DiagramRect{580, 740, 660, 754}),
                         (DiagramRect{420, 503, 500, 517})));
}

TEST(Diagram, EdgeCasesOfTheScale) {
    // All zero: every row is 0, bars and zero line on the top edge.
    const DiagramLayout zeros = layoutDiagram(chart({{0, 0}}));
    EXPECT_EQ(std::tuple(zeros.zeroRow, zeros.bars[1].rect.top, zeros.bars[1].rect.bottom,
                         zeros.maximumText),
              std::tuple(0, 0, 0, "0.00"));
    // No value at all: frame and labels, no bar, no unit.
    const DiagramLayout empty = layoutDiagram(chart({{}}));
    EXPECT_TRUE(empty.bars.empty());
    EXPECT_EQ(empty.unit, 0.0f);
    // Series of unequal lengths: the longest one sets the groups,
    // u = 7680 / (160 x 3) = 16, groups of 256 from x = 96.
    const DiagramLayout uneven = layoutDiagram(chart({{5}, {1, 2, 3}}, 960, 100));
    ASSERT_EQ(uneven.bars.size(), 4u);
    // the maximum, 5
    // 3: 90 - 48
    EXPECT_EQ(std::tuple(uneven.bars[0].rect.left, uneven.bars[1].rect.left,
                         uneven.bars[0].rect.top, uneven.bars[3].rect),
              std::tuple(96 + 16, 96 + 112 + 16, 10, (DiagramRect{96 + 512 + 128, 42, 832, 90})));
}

TEST(Diagram, AxisTextsAreRoundedLikePrintf) {
    // exactly half: to even
    // just below half in binary
    EXPECT_EQ(std::tuple(axisText(1234.5), axisText(0.125), axisText(2.675), axisText(-3.999)),
              std::tuple("1234.50", "0.12", "2.67", "-4.00"));
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
    diagram = chart({{1}, {2, 3}}, 640, 480);
    diagramAddValue(nullptr, "ignored", 1.0);
    diagramAddValue(&diagram.series[0], nullptr, 4.0);
    EXPECT_FALSE(diagram.series[0][1].label.has_value());
    EXPECT_EQ(diagramStats(diagram).valuesPerSeries, 2);

    CategoryTotalList totals;
    for (auto [id, name, total] :
         {std::tuple{0x010000u, "Alimentation", 12.5}, std::tuple{0x010100u, "Logement", -3.0}}) {
        CategoryTotal* line = totals.appendEmpty();
        line->categoryId = id;
        setFieldText(line->name, name);
        line->total = total;
    }
    fillExpenseChart(diagram, totals); // replaces both series
    EXPECT_EQ(cp1252ToUtf8(diagram.title), "Dépenses par Catégorie");
    ASSERT_EQ(diagram.series.size(), 1u);
    ASSERT_EQ(diagram.series[0].size(), 2u);
    EXPECT_EQ(std::tuple(diagram.series[0][1].label, diagram.series[0][1].value, diagram.width,
                         barTip(diagram, DiagramBar{{}, 0, 0, 0, 12.5})),
              std::tuple("Logement", -3.0, 640, "Alimentation : 12.50"));
}

TEST(Diagram, NamesUnderTheBarsStayInsideTheBitmap) {
    const DiagramLayout layout = layoutDiagram(chart({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));
    // Bar 0 is 108-161, middle 134; ascent 13 lifts the end by round(9.19).
    const BarLabelPlace place = barLabelPlace(layout, layout.bars[0], 13, 3);
    // (819 - 751) x sqrt 2 - 3
    EXPECT_EQ(std::tuple(place.endX, place.endY, place.maximumLength),
              std::tuple(143, 738 + 4 + 9, 93));
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
        EXPECT_EQ(
            std::tuple(place.x, place.y, place.width, place.height),
            std::tuple(fit.expected.x, fit.expected.y, fit.expected.width, fit.expected.height));
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
    EXPECT_EQ(std::tuple(years.selected, years.rows.front().text, years.rows.back().text,
                         years.rows.back().itemData),
              std::tuple(0, "2026", "2017", 2017u));
    const ChoiceList periods = graphPeriodChoices();
    ASSERT_EQ(periods.rows.size(), 19u);
    // Windows-1252
    EXPECT_EQ(std::tuple(periods.selected, periods.rows[13].text, periods.rows[18].itemData),
              std::tuple(0, "1\xE8re Trimestre", 18u));
}

} // namespace
} // namespace kolvane
