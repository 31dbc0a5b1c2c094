// The third parties of the "Tiers" tab, window class "WndThirdClass": the
// tree of active parties, the owner-data list of the selected one's rows
// over `ThirdRows`, the balance strip under it, four links and the property
// box. Every change goes through the register's booking history, so that it
// can be undone with the register's steps.
#pragma once

#include "operations/booking.h"
#include "thirds/third_model.h"
#include "win/gdi_handles.h"
#include "win/list_view.h"
#include "win/scrolled_page.h"
#include "win/tab_view.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

namespace kolvane {

inline constexpr int kThirdPanelId = 4000;
inline constexpr int kThirdListId = 5000;
inline constexpr int kThirdTreeId = 5002;
inline constexpr int kThirdLinkNew = 4001;      // "Ajouter un nouveau Tiers."
inline constexpr int kThirdLinkDelete = 4002;   // "Supprimer Tiers sélectionné."
inline constexpr int kThirdLinkRename = 4003;   // "Editer nom du Tiers sélectionné."
inline constexpr int kThirdLinkSettings = 4004; // "Modifier parametre Tiers."
inline constexpr int kThirdGroupId = 4010;
inline constexpr int kThirdInitialId = 4012;
inline constexpr int kThirdNoteId = 4014;
inline constexpr const wchar_t* kThirdStripClass = L"WndCtlSoldeThirdClass";

// The strip under the list: the party's name and balance, in fifths.
struct ThirdBalanceStrip : win::WindowObject<ThirdBalanceStrip> {
    ThirdStripTexts texts;    // Windows-1252
    std::wstring partyLabel;  // string 20005 "Tiers"
    std::wstring balanceLabel; // string 20036 "Solde"

    static bool registerClass(HINSTANCE instance);
    void update(const ThirdRecord* third);
    void paint(HDC dc, const RECT& client) const;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

class ThirdView : public win::ScrolledPage<ThirdView>, public win::TabView {
  public:
    ThirdView(Document* doc, BookingHistory& history) : document_(doc), history_(history) {}
    ~ThirdView() override;

    static bool registerClasses(HINSTANCE instance);

    // TabView
    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }
    // The list, strip and property box again; with `refillTree` the tree too
    // (showing the view refills it: undo and redo elsewhere may have changed
    // it), the selected party kept unless a newer one appeared.
    void refresh(int refillTree) override;

    // "Supprimer Tiers sélectionné.": at once when only its initial balance
    // names it, else through dialog 215.
    void deleteSelectedThird();

    ThirdRecord* selectedThird() const { return selectedThird_; }
    const ThirdRows& rows() const { return rows_; }
    win::ListView& list() { return list_; }
    HWND tree() const { return tree_; }
    ThirdBalanceStrip& strip() { return strip_; }

    // After every change of the document: the frame's menus and title follow.
    std::function<void()> documentChanged;
    // Operations were moved to the current account: the register reloads.
    std::function<void()> currentAccountChanged;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintPage(HDC, const RECT&) {} // the children cover the page

  private:
    void onCreate();
    void layout();
    void fill(bool refillTree, ThirdRecord* keep);
    LRESULT onNotify(const NMHDR& header);
    bool onEndLabelEdit(const NMTVDISPINFOW& info);
    void onCommand(int id);
    void showProperties(bool editable);
    void applyProperties();
    void afterChange(BookingStatus status, bool refillTree);

    Document* document_;
    BookingHistory& history_;
    ThirdRecord* selectedThird_ = nullptr;
    HWND tree_ = nullptr;
    HTREEITEM lastInserted_ = nullptr;
    ThirdRecord* newestShown_ = nullptr; // the newest active party at the last refill
    win::ImageListHandle imageList_;
    bool filling_ = false;
    ThirdRows rows_;
    win::ListView list_;
    std::array<std::wstring, kThirdColumnCount> titles_;
    std::wstring itemText_; // the text handed to the tree, kept until the next request
    ThirdBalanceStrip strip_;
};

} // namespace kolvane
