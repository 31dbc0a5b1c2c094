// The editors of the reference lists: categories (dialog 208), labels (210)
// and modes of transaction (207). Every change they make is a step of the
// register's booking history, so that it can be taken back; each tells
// whether it changed the document.
#pragma once

#include "document/document.h"
#include "operations/booking.h"
#include "win/dialog_result.h"

#include <windows.h>

namespace kolvane {

struct ListEditorIn {
    BookingHistory* history = nullptr; // where the changes are booked; never null
};

win::EditorResult runCategoryEditor(Document& document, const ListEditorIn& in, HWND owner);
win::EditorResult runLabelEditor(Document& document, const ListEditorIn& in, HWND owner);
win::EditorResult runModeEditor(Document& document, const ListEditorIn& in, HWND owner);

} // namespace kolvane
