#include "win/gui_resources.h"

#include "resources/resource_ids.h"

namespace kolvane::win {
namespace {

GuiResources* current = nullptr;

} // namespace

HFONT createBoldFont(const wchar_t* face, int points) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void createGuiResources(GuiResources& resources) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    resources.applicationIcon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_LOGO), IMAGE_ICON,
                                      0, 0, LR_DEFAULTSIZE | LR_SHARED));
    resources.shellFont.reset(createBoldFont(L"MS Shell Dlg", 8));
    resources.comicFont.reset(createBoldFont(L"Comic sans MS", 12));
    resources.verdanaFont.reset(createBoldFont(L"Verdana Bold", 12));
    resources.verdanaLargeFont.reset(createBoldFont(L"Verdana Bold", 16));
    resources.paleBlueBrush.reset(CreateSolidBrush(0xFFF5F0));
    resources.paleIvoryBrush.reset(CreateSolidBrush(0xF0FFFF));
    resources.patternBitmap.reset(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_PATTERN), IMAGE_BITMAP, 0, 0, 0)));
    if (resources.patternBitmap)
        resources.patternBrush.reset(CreatePatternBrush(resources.patternBitmap.get()));
}

GuiResources* guiResources() {
    return current;
}
void setGuiResources(GuiResources* resources) {
    current = resources;
}

} // namespace kolvane::win
