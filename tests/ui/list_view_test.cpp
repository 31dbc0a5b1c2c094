// The list view wrapper's row painter drawn into a memory bitmap.
#include "win/gdi_handles.h"
#include "win/list_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kolvane::win {
namespace {

// Row i: "Ligne i" and an amount; row 2 grey on a tint.
class SampleRows : public RowModel {
  public:
    int rowCount() const override { return 3; }
    std::string cellText(int row, int column) const override {
        return column == 0 ? "Ligne " + std::to_string(row) : "-12,50";
    }
    RowLook rowLook(int row) const override {
        return row == 2 ? RowLook{RGB(0xF0, 0xF5, 0xFF), RGB(128, 128, 128)} : RowLook{};
    }
};

constexpr ListColumn kColumns[] = {{L"Nom", 80}, {L"Montant", 70, ListAlign::Right}};
constexpr COLORREF kBlue = RGB(0, 0, 240);
constexpr int kWidth = 150, kHeight = 18;

// A row painted into a 32-bit memory bitmap, read back pixel by pixel.
class PaintedRow {
  public:
    PaintedRow(const ListView& list, int row, bool selected) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<const DWORD*>(bits);
        SelectedObject keepBitmap(dc_.get(), bitmap_.get());
        SelectedObject keepFont(dc_.get(), GetStockObject(DEFAULT_GUI_FONT));
        list.paintRow(dc_.get(), RECT{0, 0, kWidth, kHeight}, row, selected);
        GdiFlush();
    }
    COLORREF at(int x, int y) const {
        const DWORD pixel = pixels_[y * kWidth + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); // 0x00RRGGBB
    }
    // The columns [left, right) that hold a pixel of `colour`.
    std::pair<int, int> span(COLORREF colour) const {
        int left = kWidth, right = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (at(x, y) == colour) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                }
        return {left, right};
    }
    // Pixels of `colour` in the columns [from, to).
    int count(COLORREF colour, int from, int to) const {
        int found = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = from; x < to; ++x)
                found += at(x, y) == colour ? 1 : 0;
        return found;
    }

  private:
    MemoryDC dc_{CreateCompatibleDC(nullptr)};
    GdiObject<HBITMAP> bitmap_;
    const DWORD* pixels_ = nullptr;
};

TEST(ListViewTest, RowPainterDrawsEachRowsColoursAndAlignsTheAmountsRight) {
    SampleRows rows;
    ListView list;
    list.attach(nullptr, rows, kColumns, {kBlue, true});
    struct Case {
        int row;
        bool selected;
        COLORREF background, text;
    };
    const Case cases[] = {
        {0, false, GetSysColor(COLOR_WINDOW), kBlue},
        {0, true, GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {2, false, RGB(0xF0, 0xF5, 0xFF), RGB(128, 128, 128)},
    };
    for (const Case& c : cases) {
        const PaintedRow painted(list, c.row, c.selected);
        SCOPED_TRACE(testing::Message() << "row " << c.row << (c.selected ? " selected" : ""));
        EXPECT_EQ(painted.at(0, 0), c.background);
        EXPECT_EQ(painted.at(kWidth - 1, kHeight - 1), c.background);
        // The name starts 6 pixels into the first column; the amount ends 4
        // pixels before the end of the second.
        const auto [left, right] = painted.span(c.text);
        EXPECT_GE(left, 6);
        EXPECT_LE(left, 9);
        EXPECT_LE(right, kWidth - 4);
        EXPECT_GE(right, kWidth - 7);
        EXPECT_EQ(painted.count(c.text, 50, 80 + 6), 0) << "text where neither cell draws";
    }
}

} // namespace
} // namespace kolvane::win
