// What a list on the screen shows, decided in the core: how many rows, the
// text of each cell and how each row is marked. A list view asks only for the
// rows it paints, so a model answers from its records without copying them.
#pragma once

#include <string>

namespace kolvane {

// How a row is drawn; the flags combine.
enum RowFlag : unsigned {
    kRowPlain = 0,
    kRowGreyed = 1u << 0,   // shown, but out of use (a masked account, a refused user)
    kRowWarning = 1u << 1,  // drawn in red (an amount below zero, an overdraft)
    kRowEmphasis = 1u << 2, // drawn in bold (a total, a split's head)
    kRowShaded = 1u << 3,   // a tinted background (a future operation)
};

class RowModel {
  public:
    virtual ~RowModel() = default;
    virtual int rowCount() const = 0;
    // UTF-8 text of a cell; empty past the last row or column.
    virtual std::string cellText(int row, int column) const = 0;
    virtual unsigned rowFlags(int row) const {
        (void)row;
        return kRowPlain;
    }
};

} // namespace kolvane
