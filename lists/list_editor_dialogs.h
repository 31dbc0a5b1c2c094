// The editors of the reference lists: categories (dialog 208), labels (210)
// and modes of transaction (207). Every change they make is a step of the
// register's booking history, so that it can be taken back; each returns 1
// when it changed the document, else 0.
#pragma once

#include "document/document.h"
#include "operations/booking.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace kolvane {

int runCategoryEditor(Document& document, BookingHistory& history, HWND owner);
int runLabelEditor(Document& document, BookingHistory& history, HWND owner);
int runModeEditor(Document& document, BookingHistory& history, HWND owner);

namespace win {
// What the three editors share: a step performed, or the out-of-memory message.
bool performStep(HWND dialog, BookingHistory& history, std::unique_ptr<BookingCommand> command);
// The column widths of the editors' lists: a share of the list's client width.
int listClientWidth(HWND list);
// Which row of the list a click or a key chose (-1: none), from a WM_NOTIFY.
std::optional<int> chosenRow(const NMHDR& header, HWND list);
} // namespace win

} // namespace kolvane
