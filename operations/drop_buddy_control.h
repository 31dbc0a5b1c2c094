// The drop-down completion list ("CDropBuddyClass"): while the user types in
// an editable combo box, a small window under (or above) it proposes every
// entry of the combo's list that begins with the typed text. Picking one puts
// it into the box and posts WM_COMMAND(MAKEWPARAM(id, kCompletionPicked),
// combo) to the box's parent. A click anywhere outside closes it: the message
// loop hands every message to the filter registered with the class.
//
//     DropBuddy completion;                 // one per combo box
//     completion.attach(labelBox);
//     // in the owner's WM_COMMAND, for every notification of the box:
//     completion.onComboNotify(HIWORD(wParam));
//
// While proposals are open, the box's text hands Down, Up and Enter to them
// (a subclass of the combo's edit child): Down and Up move the highlight,
// Enter picks it, Escape is left to the owner, which closes them.
//
// The rules (proposals, placement, outside clicks, keys) live in completion.h.
#pragma once

#include "operations/completion.h"
#include "win/subclass_object.h"
#include "win/window_object.h"

#include <windows.h>

namespace kolvane {

inline constexpr const wchar_t* kDropBuddyClass = L"CDropBuddyClass";
// Posted to every open proposal window on a mouse click, with the click's
// screen point as (x, y) in (wParam, lParam).
inline constexpr UINT WM_DROP_CLICK = WM_USER + 1;
// The notification code of a picked proposal.
inline constexpr WORD kCompletionPicked = 32;
// The proposal list inside the window.
inline constexpr int kProposalListId = 100;

// Registers the window class and puts the outside-click filter in the
// message loop's path. False when the class cannot be registered.
bool registerDropBuddyClass(HINSTANCE instance);

// Looks at one message of the thread (before it is dispatched): a mouse
// button click anywhere tells every open proposal window where it was.
void filterMouseMessage(const MSG& message);

struct DropBuddy;

// The keys of the combo box's edit child while proposals are open.
struct CompletionKeys : win::SubclassObject<CompletionKeys> {
    static constexpr const wchar_t* kProperty = L"KolvaneCompletionKeys";
    DropBuddy* buddy = nullptr;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static bool dropOnFailure(UINT) { return false; }
};

struct DropBuddy : win::WindowObject<DropBuddy> {
    // The open proposal window (the object's own window), null when none.
    HWND& popup = window;
    HWND combo = nullptr;
    int screenHeight = 0;
    int popupLeft = 0;
    int popupTop = 0;
    int popupRight = 0;
    int popupBottom = 0;

    DropBuddy();
    ~DropBuddy();
    DropBuddy(const DropBuddy&) = delete;
    DropBuddy& operator=(const DropBuddy&) = delete;

    void attach(HWND comboBox);
    // Every notification code of the combo box: 1 when it was this list's
    // business (edit change, own list dropping down), else 0.
    int onComboNotify(int code);
    // The proposal list box, null when closed.
    HWND proposalList() const;
    void close();

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A key of the box while the proposals are open: true when it moved the
    // highlight or picked a proposal.
    bool onKey(CompletionKey key);

  private:
    CompletionKeys keys_;

    void updateProposals();
    bool open(const ScreenRect& place);
    void pick();
};

} // namespace kolvane
