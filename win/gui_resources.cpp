#include "win/gui_resources.h"

#include "resources/resource_ids.h"

namespace kolvane::win {
namespace {

GuiResources* current = nullptr;

} // namespace

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
