#include "diagram.h"

#include "document/amounts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kolvane {

void diagramInit(Diagram& diagram, int width, int height) {
    diagram.title.clear();
    diagram.series.clear();
    diagram.width = width;
    diagram.height = height;
}

void diagramClear(Diagram& diagram) {
    diagram.series.clear();
}

DiagramSeries* diagramAddSeries(Diagram& diagram) {
    return &diagram.series.emplace_back();
}

void diagramSetTitle(Diagram& diagram, const char* textCp1252) {
    const std::string_view text = textCp1252 ? textCp1252 : "";
    diagram.title.assign(text.substr(0, 254));
}

void diagramAddValue(DiagramSeries* series, const char* labelCp1252, double value) {
    if (!series)
        return;
    DiagramValue& added = series->emplace_back(DiagramValue{value, std::nullopt});
    if (labelCp1252)
        added.label = labelCp1252;
}

DiagramStats diagramStats(const Diagram& diagram) {
    DiagramStats stats;
    for (const DiagramSeries& series : diagram.series) {
        for (const DiagramValue& value : series) {
            stats.minimum = std::min(stats.minimum, value.value);
            stats.maximum = std::max(stats.maximum, value.value);
        }
        stats.valuesPerSeries = std::max(stats.valuesPerSeries, static_cast<int>(series.size()));
    }
    stats.seriesCount = static_cast<int>(diagram.series.size());
    return stats;
}

int valueRow(const DiagramStats& stats, int height, double value) {
    if (stats.maximum == stats.minimum)
        return 0;
    return static_cast<int>(height * 0.9 - height * 0.8 * (value - stats.minimum) /
                                               (stats.maximum - stats.minimum));
}

std::string axisText(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

DiagramLayout layoutDiagram(const Diagram& diagram) {
    const int w = diagram.width;
    const int h = diagram.height;
    const DiagramStats stats = diagramStats(diagram);
    DiagramLayout layout;
    layout.width = w;
    layout.height = h;
    layout.plot = {w / 10, h / 10, 9 * w / 10, 9 * h / 10};
    layout.zeroRow = valueRow(stats, h, 0.0);
    layout.maximumText = axisText(stats.maximum);
    layout.minimumText = axisText(stats.minimum);
    layout.maximumBox = {0, layout.plot.top - 10, layout.plot.left - 5, layout.plot.top + 10};
    layout.minimumBox = {0, layout.plot.bottom - 10, layout.plot.left - 5, layout.plot.bottom + 10};
    const int seriesCount = stats.seriesCount;
    layout.seriesCount = seriesCount;
    layout.colourCount = seriesCount >= 2 ? seriesCount : stats.valuesPerSeries;
    if (stats.valuesPerSeries == 0)
        return layout; // no bar, and no unit to divide by
    const float u = static_cast<float>(8 * w) /
                    static_cast<float>((seriesCount * 70 + 20) * stats.valuesPerSeries);
    layout.unit = u;
    int s = 0;
    for (const DiagramSeries& series : diagram.series) {
        int i = 0;
        for (const DiagramValue& value : series) {
            DiagramBar bar;
            bar.series = s;
            bar.index = i;
            bar.value = value.value;
            bar.brush = seriesCount >= 2 ? s : i;
            // Single precision, in this order, as the unit itself.
            bar.rect.left =
                w / 10 + static_cast<int>((seriesCount * 7 + 2) * u * i + 7 * s * u + u);
            bar.rect.right = bar.rect.left + static_cast<int>(6 * u);
            const int row = valueRow(stats, h, value.value);
            bar.rect.top = value.value >= 0 ? row : layout.zeroRow;
            bar.rect.bottom = value.value >= 0 ? layout.zeroRow : row;
            layout.bars.push_back(bar);
            ++i;
        }
        ++s;
    }
    return layout;
}

std::vector<Rgb> diagramColours(int count, int (*draw)()) {
    std::vector<Rgb> colours;
    for (int k = 0; k < count; ++k) {
        const int red = draw();
        const int green = draw();
        const int blue = draw();
        colours.push_back({static_cast<std::uint8_t>(96 + red % 160),
                           static_cast<std::uint8_t>(96 + green % 160),
                           static_cast<std::uint8_t>(64 + blue % 192)});
    }
    return colours;
}

// --- Names, values and tool-tips ----------------------------------------------

namespace {

constexpr double kHalfDiagonal = 0.70710678118654752; // cos 45 = sin 45
constexpr int kLabelGap = 4;                          // between the plot and the names

} // namespace

BarLabelPlace barLabelPlace(const DiagramLayout& layout, const DiagramBar& bar, int ascent,
                            int descent) {
    // The text's top edge ends under the bar's middle, kLabelGap below the
    // plot: the baseline ends `ascent` further along the normal, down-right.
    const int lift = static_cast<int>(std::lround(ascent * kHalfDiagonal));
    BarLabelPlace place;
    place.endX = (bar.rect.left + bar.rect.right) / 2 + lift;
    place.endY = layout.plot.bottom + kLabelGap + lift;
    // Its lowest point, the start's descent, stays one pixel above the edge.
    const double room = (layout.height - 1 - place.endY) / kHalfDiagonal - descent;
    place.maximumLength = std::max(0, static_cast<int>(room));
    return place;
}

void barLabelStart(const BarLabelPlace& place, int length, int& x, int& y) {
    const int run = static_cast<int>(std::lround(length * kHalfDiagonal));
    x = place.endX - run;
    y = place.endY + run;
}

DiagramRect barValueBox(const DiagramLayout& layout, const DiagramBar& bar, int textHeight) {
    const int bars = std::max(1, layout.seriesCount);
    const float groupWidth = (7.0f * bars + 2.0f) * layout.unit;
    const int half = static_cast<int>(groupWidth / bars / 2.0f);
    const int middle = (bar.rect.left + bar.rect.right) / 2;
    DiagramRect box{middle - half, 0, middle + half, 0};
    if (bar.value >= 0) {
        box.bottom = bar.rect.top - 2;
        box.top = box.bottom - textHeight;
    } else {
        box.top = bar.rect.bottom + 2;
        box.bottom = box.top + textHeight;
    }
    return box;
}

std::vector<std::string> barValueTexts(double value) {
    std::string whole = formatAmount(std::round(value));
    whole.resize(whole.size() - 3); // ".00"
    return {formatAmount(value), whole};
}

std::string barTip(const Diagram& diagram, const DiagramBar& bar) {
    const DiagramValue& value =
        diagram.series[static_cast<std::size_t>(bar.series)][static_cast<std::size_t>(bar.index)];
    std::string text = value.label ? *value.label + " : " : std::string();
    return text + formatAmount(value.value);
}

int barAt(const DiagramLayout& layout, int x, int y) {
    if (y < layout.plot.top || y >= layout.height)
        return -1;
    for (std::size_t i = 0; i < layout.bars.size(); ++i) {
        const DiagramRect& rect = layout.bars[i].rect;
        if (x >= rect.left && x < rect.right)
            return static_cast<int>(i);
    }
    return -1;
}

BitmapPlace placeBitmap(int bitmapWidth, int bitmapHeight, int clientWidth, int clientHeight) {
    const float byWidth = static_cast<float>(clientWidth) / static_cast<float>(bitmapWidth);
    const float byHeight = static_cast<float>(clientHeight) / static_cast<float>(bitmapHeight);
    const float scale = byWidth <= byHeight ? byWidth : byHeight;
    BitmapPlace place;
    place.width = static_cast<int>(static_cast<float>(bitmapWidth) * scale);
    place.height = static_cast<int>(static_cast<float>(bitmapHeight) * scale);
    place.x = (clientWidth - place.width) / 2;
    place.y = (clientHeight - place.height) / 2;
    return place;
}

bool clientToBitmap(const BitmapPlace& place, int bitmapWidth, int bitmapHeight, int clientX,
                    int clientY, int& x, int& y) {
    if (place.width <= 0 || place.height <= 0)
        return false;
    if (clientX < place.x || clientX >= place.x + place.width || clientY < place.y ||
        clientY >= place.y + place.height)
        return false;
    x = static_cast<int>(static_cast<long long>(clientX - place.x) * bitmapWidth / place.width);
    y = static_cast<int>(static_cast<long long>(clientY - place.y) * bitmapHeight / place.height);
    return true;
}

} // namespace kolvane
