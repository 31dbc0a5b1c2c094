// The editors of the reference lists: categories (dialog 208), labels (210)
// and modes of transaction (207). Every change they make is a step of the
// register's booking history, so that it can be taken back; each returns 1
// when it changed the document, else 0.
#pragma once

#include "document/document.h"
#include "operations/booking.h"

#include <windows.h>

namespace kolvane {

int runCategoryEditor(Document& document, BookingHistory& history, HWND owner);
int runLabelEditor(Document& document, BookingHistory& history, HWND owner);
int runModeEditor(Document& document, BookingHistory& history, HWND owner);

} // namespace kolvane
