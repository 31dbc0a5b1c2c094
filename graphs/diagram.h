// A bar chart: a title and series of labelled values, and where every piece
// of its picture goes in a bitmap of the diagram's size. The drawing itself
// (diagram_render_win32.h) only follows this layout.
//
// The plot takes the middle 80 % of the bitmap both ways. The value axis is
// its left edge; the zero line is the row of 0. Each index of the series is a
// group of 7 x (series count) + 2 units: one unit of gap, then per series a
// bar of 6 units and one unit of gap, then one more unit; the groups span the
// plot width exactly.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

struct DiagramValue {
    double value;
    std::optional<std::string> label; // Windows-1252
};
using DiagramSeries = std::vector<DiagramValue>;

struct Diagram {
    std::string title;                // Windows-1252
    std::deque<DiagramSeries> series; // a deque: adding a series keeps the others in place
    int width = 0, height = 0;        // of the rendered bitmap
};

void diagramInit(Diagram& diagram, int width, int height);
// Empties the series list (labels included); the size stays.
void diagramClear(Diagram& diagram);
// Appends an empty series; the pointer stays valid until the diagram is cleared.
DiagramSeries* diagramAddSeries(Diagram& diagram);
// Keeps at most 254 characters; null gives an empty title.
void diagramSetTitle(Diagram& diagram, const char* textCp1252);
// Appends a value with a copy of its label (null: no label). A null series
// does nothing.
void diagramAddValue(DiagramSeries* series, const char* labelCp1252, double value);

struct DiagramStats {
    double minimum = 0; // of every value and 0
    double maximum = 0;
    int seriesCount = 0;
    int valuesPerSeries = 0; // the longest series
};
DiagramStats diagramStats(const Diagram& diagram);

// The pixel row of `value` in a bitmap `height` high: the maximum at a tenth
// of the height, the minimum at nine tenths; row 0 when all values are equal.
int valueRow(const DiagramStats& stats, int height, double value);

struct DiagramRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const DiagramRect&, const DiagramRect&) = default;
};

struct DiagramBar {
    DiagramRect rect;  // filled and outlined; right and bottom excluded
    int brush;         // index into the diagram's colours
    int series, index; // which value it shows
    double value;
};

struct DiagramLayout {
    int width = 0, height = 0;
    DiagramRect plot;
    int zeroRow = 0;
    float unit = 0; // bar unit in pixels
    int seriesCount = 0;
    int colourCount = 0;
    // The extreme values, right-aligned left of the axis at the top and the
    // bottom of the plot, written "%.02f".
    std::string maximumText, minimumText;
    DiagramRect maximumBox, minimumBox;
    std::vector<DiagramBar> bars; // series by series, values in order
};
DiagramLayout layoutDiagram(const Diagram& diagram);

// "%.02f" of a value, the way the axis writes it: 1234.5 -> "1234.50".
std::string axisText(double value);

struct Rgb {
    std::uint8_t red, green, blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};
// `count` bar colours from three successive draws of `draw` each (red, green,
// blue), kept pale enough for black outlines: 96-255, 96-255, 64-255.
std::vector<Rgb> diagramColours(int count, int (*draw)());

// --- Beyond the bars: category names, values, tool-tips ------------------

// Where the name of a bar is written, in a font turned by 45 degrees that
// rises to the right: its baseline ends at (endX, endY), so that the end of
// the text sits under the middle of the bar, and it must be no longer than
// `maximumLength` pixels to stay inside the bitmap.
struct BarLabelPlace {
    int endX, endY;
    int maximumLength;
};
BarLabelPlace barLabelPlace(const DiagramLayout& layout, const DiagramBar& bar, int ascent,
                            int descent);
// The start of a baseline of `length` pixels that ends at (endX, endY).
void barLabelStart(const BarLabelPlace& place, int length, int& x, int& y);

// The box in which a bar's value is written, centred over its group: above
// a bar that rises from the zero line, below one that hangs from it. The
// texts to try, longest first: with cents, then in whole units.
DiagramRect barValueBox(const DiagramLayout& layout, const DiagramBar& bar, int textHeight);
std::vector<std::string> barValueTexts(double value);

// "label : amount" of a bar, for its tool-tip (Windows-1252).
std::string barTip(const Diagram& diagram, const DiagramBar& bar);

// The bar under a point of the bitmap: anywhere in its column between the
// plot's top and the bitmap's bottom edge. -1 when none.
int barAt(const DiagramLayout& layout, int x, int y);

// Where a bitmap is drawn in a client area: scaled to fit with its
// proportions kept, centred.
struct BitmapPlace {
    int x, y, width, height;
};
BitmapPlace placeBitmap(int bitmapWidth, int bitmapHeight, int clientWidth, int clientHeight);
// The bitmap point under a client point; false outside the drawn bitmap.
bool clientToBitmap(const BitmapPlace& place, int bitmapWidth, int bitmapHeight, int clientX,
                    int clientY, int& x, int& y);

} // namespace kolvane
