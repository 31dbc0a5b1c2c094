// What a list on the screen shows, decided in the core: how many rows, the
// text of each cell and the colours of each row. A list view asks only for
// the rows it paints, so a model answers from its records without copying
// them. What a row is (ticked, split, masked...) stays the model's own
// business: it says it through the colours and its own flags.
#pragma once

#include <cstdint>
#include <string>

namespace kolvane {

// A colour as the Win32 COLORREF holds it (0x00BBGGRR), or the list's own.
inline constexpr std::uint32_t kListColour = 0xFF000000;

struct RowLook {
    std::uint32_t background = kListColour; // the window colour
    std::uint32_t text = kListColour;       // the list's text colour
    bool bold = false;                      // every cell of the row in bold
};

class RowModel {
  public:
    virtual ~RowModel() = default;
    virtual int rowCount() const = 0;
    // The cell's text as drawn, in Windows-1252; empty past the last row or column.
    virtual std::string cellText(int row, int column) const = 0;
    // The row's colours when it is not selected (a selected row takes the
    // system's highlight colours).
    virtual RowLook rowLook(int row) const {
        (void)row;
        return {};
    }
};

} // namespace kolvane
