// The accounts overview of the "Comptes" tab, window class
// "WndSynthesisClass": one 52-pixel row per active account (logo, name,
// balance) in an owner-data list, and four links acting on the selected
// account. It posts its commands to the main window (4000 + position to open
// an account's operations, 1010 for the account dialog).
#pragma once

#include "accounts/logo_drawing_win32.h"
#include "accounts/synthesis_model.h"
#include "win/list_view.h"
#include "win/scrolled_page.h"
#include "win/tab_view.h"

#include <windows.h>

namespace kolvane {

inline constexpr int kSynthesisPanelId = 4000;
inline constexpr int kSynthesisListId = 5000;
// The links, in order: open the operations, change the account, its web
// page, print its RIB (never enabled).
inline constexpr int kSynthesisFirstLinkId = 4001;
inline constexpr int kSynthesisLinkCount = 4;

class SynthesisView : public win::ScrolledPage<SynthesisView>, public win::TabView {
  public:
    explicit SynthesisView(Document* doc) : document_(doc) {}
    ~SynthesisView() override;

    static bool registerClass(HINSTANCE instance);

    // TabView
    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }
    void refresh(int) override { refill(); }

    // The rows again from the accounts; no selection, links off.
    void refill();

    int selectedRow() const { return selectedRow_; }
    const SynthesisRows& rows() const { return rows_; }
    win::ListView& list() { return list_; }

    // Draws row `row` over `rect` (the list's row rectangle) of `dc`.
    void paintRow(HDC dc, const RECT& rect, int row, bool selected) const;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintPage(HDC, const RECT&) {} // the children cover the page

  private:
    void onCreate();
    void layout();
    void onClick(int row, bool doubleClick);
    void onLink(int id);
    void enableLinks(bool enabled);
    void postToFrame(int command) const;

    Document* document_;
    int selectedRow_ = -1;
    SynthesisRows rows_;
    win::ListView list_;
    LogoBitmaps logos_; // of the rows' accounts
    HWND panel_ = nullptr;
};

} // namespace kolvane
