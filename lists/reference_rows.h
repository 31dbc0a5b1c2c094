// What the lists of the category, label and mode editors show: one row per
// record, in list order. Texts are Windows-1252.
#pragma once

#include "document/document.h"
#include "document/row_model.h"

#include <map>
#include <string>

namespace kolvane {

// The record at `row` of a list, or null out of range.
template <class Record> Record* recordAt(const RecordList<Record>& list, int row) {
    if (row < 0)
        return nullptr;
    for (Record& record : list)
        if (row-- == 0)
            return &record;
    return nullptr;
}

// The row of `record` in its list, or -1.
template <class Record> int rowOf(const RecordList<Record>& list, const Record* record) {
    int row = 0;
    for (const Record& each : list) {
        if (&each == record)
            return row;
        ++row;
    }
    return -1;
}

// Column 0: the category, or five spaces and the sub-category; column 1:
// "masqué" for a hidden row.
class CategoryRows : public RowModel {
  public:
    explicit CategoryRows(const Document& doc) : doc_(doc) {}
    int rowCount() const override { return doc_.categories.count(); }
    std::string cellText(int row, int column) const override;

  private:
    const Document& doc_;
};

// Column 0: the label; column 1: the party it proposes.
class LabelRows : public RowModel {
  public:
    explicit LabelRows(const Document& doc) : doc_(doc) {}
    int rowCount() const override { return doc_.labels.count(); }
    std::string cellText(int row, int column) const override;

  private:
    const Document& doc_;
};

// Column 0: a side header ("DEBIT", "CREDIT", in bold) or five spaces and a
// mode; column 1: how many operations use the mode ("3 opérations").
class ModeRows : public RowModel {
  public:
    explicit ModeRows(const Document& doc) : doc_(doc) { countUses(); }
    int rowCount() const override { return doc_.modes.count(); }
    std::string cellText(int row, int column) const override;
    RowLook rowLook(int row) const override;
    // The operations changed their modes: counted again.
    void countUses();

  private:
    const Document& doc_;
    std::map<std::uint16_t, int> uses_;
};

} // namespace kolvane
