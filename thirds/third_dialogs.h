// Dialog 214 "Nouveau Tiers" and dialog 215, the deletion of a third party
// that operations name. Both change the document through the booking
// history, so that the change can be undone.
#pragma once

#include "document/choice_lists.h"
#include "operations/booking.h"
#include "thirds/third_model.h"
#include "win/window_object.h"

#include <windows.h>

namespace kolvane {

// Ends with 0 (nothing done), 1 (a third party was created) or 2 (the one of
// the same name got the new initial balance and note).
struct NewThirdDialog : win::DialogObject<NewThirdDialog> {
    Document* document = nullptr;
    BookingHistory* history = nullptr;
    void onInit();
    void onOk();
    void onCancel() { endDialog(0); }
};
struct NewThirdIn {
    BookingHistory* history = nullptr; // where the change is booked; never null
};
enum class NewThirdEnd { Created, Replaced, Cancelled, NotShown };
NewThirdEnd runNewThirdDialog(Document& document, const NewThirdIn& in, HWND owner);

// Ends with 0 (cancelled), kThirdMask (the caller masks the party), or, the
// operations moved and the party removed, kThirdMoved or
// kThirdMovedToCurrentAccount.
struct ThirdDeleteDialog : win::DialogObject<ThirdDeleteDialog> {
    int targetIndex = -1;
    Document* document = nullptr;
    ThirdRecord* third = nullptr;
    BookingHistory* history = nullptr;
    void onInit();
    void onCommand(int id, int code);
    void onOk();
    void onCancel() { endDialog(kThirdDeleteCancelled); }

  private:
    void onTargetChosen();
    ChoiceList targets_;
};
struct ThirdDeleteIn {
    BookingHistory* history = nullptr; // where the change is booked; never null
    ThirdRecord* third = nullptr;      // the party to delete; never null
};
// Masked is left to the caller; both Moved ends have moved the operations and
// removed the party.
enum class ThirdDeleteEnd { Masked, Moved, MovedToCurrentAccount, Cancelled, NotShown };
ThirdDeleteEnd runThirdDeleteDialog(Document& document, const ThirdDeleteIn& in, HWND owner);

} // namespace kolvane
