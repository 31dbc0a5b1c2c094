// What the three editors of the reference lists share: the document and the
// booking history they change, the two-column list of their records
// (IDC_LIST_VIEW), the row chosen in it, "Ajouter" (IDOK, the editor's
// onOk) and "Fermer" (IDCANCEL), which ends with whether anything changed.
// An editor derives from ListEditorDialog<Self> and declares onInit, onOk
// and onRowChosen(int row); its other buttons come to its onCommand.
#pragma once

#include "lists/list_editor_dialogs.h"
#include "resources/resource_ids.h"
#include "win/list_view.h"
#include "win/refusals.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <memory>
#include <optional>

namespace kolvane {

template <class Self> struct ListEditorDialog : win::DialogObject<Self> {
    Document* document = nullptr;
    BookingHistory* history = nullptr;
    win::ListView list;
    int selectedRow = -1;
    bool changed = false;

    // Ties the list to `rows`: two columns without titles, the first
    // `numerator`/`denominator` of the width, the second the rest but a
    // scroll bar's room.
    void attachList(const RowModel& rows, int numerator, int denominator,
                    win::ListAlign secondAlign = win::ListAlign::Left) {
        HWND control = this->item(IDC_LIST_VIEW);
        RECT client{};
        GetClientRect(control, &client);
        const int width = client.right - client.left;
        const win::ListColumn columns[] = {
            {L"", width * numerator / denominator},
            {L"", width * (denominator - numerator) / denominator - 20, secondAlign}};
        list.attach(control, rows, columns);
    }

    // A change made as a step of the booking history; false (the
    // out-of-memory message said) when it could not be made.
    bool perform(std::unique_ptr<BookingCommand> command) {
        const BookingStatus status = history->perform(std::move(command));
        if (status == BookingStatus::OutOfMemory)
            win::showStringMessage(this->window, IDS_OUT_OF_MEMORY);
        if (status != BookingStatus::Done)
            return false;
        changed = true;
        return true;
    }

    // No row chosen any more (the rows moved): "Supprimer" greyed.
    void forgetRow() {
        selectedRow = -1;
        EnableWindow(this->item(IDC_DELETE_BUTTON), FALSE);
    }

    std::optional<LRESULT> onNotify(const NMHDR& header) {
        if (std::optional<LRESULT> answer = list.notify(header))
            return answer;
        if (const std::optional<int> row = list.chosenRow(header)) {
            static_cast<Self*>(this)->onRowChosen(*row);
            return 0;
        }
        return std::nullopt;
    }
    bool onDrawItem(const DRAWITEMSTRUCT& draw) { return list.drawItem(draw); }
    void onCancel() { this->endDialog(changed ? 1 : 0); }

    // Shows the editor `templateId` modally over `owner`.
    win::EditorResult runOver(Document& doc, const ListEditorIn& in, HWND owner, int templateId) {
        document = &doc;
        history = in.history;
        return win::editorResult(this->runModal(owner, templateId));
    }
};

} // namespace kolvane
