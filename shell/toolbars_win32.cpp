#include "shell/toolbars_win32.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

namespace kolvane::win {
namespace {

HWND createToolbar(HWND mainWindow, int index, HIMAGELIST images) {
    HWND toolbar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                            CCS_NORESIZE | CCS_NOPARENTALIGN,
                        0, 0, 0, 0, mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!toolbar)
        return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kToolbarImageSize, kToolbarImageSize));
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(kToolbarButtonWidth, kToolbarButtonHeight));
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));

    TBBUTTON buttons[8] = {};
    int count = 0;
    buttons[count].fsStyle = BTNS_SEP;
    ++count;
    for (const ToolbarButton& button : toolbarButtons(index)) {
        TBBUTTON& entry = buttons[count++];
        entry.iBitmap = button.image;
        entry.idCommand = static_cast<int>(button.command);
        entry.fsState = button.enabled ? TBSTATE_ENABLED : 0;
        entry.fsStyle = button.checkButton ? BTNS_CHECK : BTNS_BUTTON;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, static_cast<WPARAM>(count),
                 reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

} // namespace

void createToolbars(HWND mainWindow, Toolbars& toolbars) {
    toolbars.images.reset(ImageList_Create(kToolbarImageSize, kToolbarImageSize,
                                           ILC_COLOR24 | ILC_MASK, kToolbarImageCount,
                                           kToolbarImageCount));
    if (!toolbars.images)
        return;
    GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap ||
        ImageList_AddMasked(toolbars.images.get(), bitmap.get(), RGB(255, 255, 255)) < 0) {
        toolbars.images.reset();
        return;
    }

    HWND rebar =
        CreateWindowExW(WS_EX_CLIENTEDGE, REBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                            RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NODIVIDER,
                        0, 0, 0, 0, mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!rebar)
        return;
    REBARINFO info{};
    info.cbSize = sizeof info;
    if (!SendMessageW(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
        DestroyWindow(rebar);
        return;
    }
    toolbars.rebar = rebar;

    int buttonWidth = kToolbarButtonWidth;
    int buttonHeight = kToolbarButtonHeight;
    for (int index = 0; index < kToolbarCount; ++index) {
        HWND toolbar = createToolbar(mainWindow, index, toolbars.images.get());
        toolbars.toolbars[index] = toolbar;
        if (index == 0 && toolbar) {
            const DWORD size = static_cast<DWORD>(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
            buttonWidth = LOWORD(size);
            buttonHeight = HIWORD(size);
        }
        const RebarBand layout = rebarBand(index, buttonWidth, buttonHeight);
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE | (layout.visibleAtStart ? 0 : RBBS_HIDDEN);
        band.hwndChild = toolbar; // a toolbar that could not be made leaves an empty band
        band.cxMinChild = static_cast<UINT>(layout.minWidth);
        band.cyMinChild = static_cast<UINT>(layout.minHeight);
        band.cx = static_cast<UINT>(layout.width);
        SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&band));
    }
}

} // namespace kolvane::win
