#include "toolbar_layout.h"

#include "resources/resource_ids.h"

namespace kolvane {
namespace {

constexpr ToolbarButton kFileButtons[] = {
    {0, CMD_NEW_FILE, true, false, "Nouveau fichier compte"},
    {1, CMD_OPEN, true, false, "Ouvrir"},
    {2, CMD_SAVE, false, false, "Enregistrer"},
};
constexpr ToolbarButton kSessionButtons[] = {
    {4, CMD_CLOSE, true, false, "Fermer"},
    {5, CMD_CHANGE_USER, true, false, "Changer utilisateur"},
};
// Toolbar 3 shows while a file is open: undo and redo (enabled by the frame
// as the history allows, their tool-tips naming the step), the pointing mode.
// Toolbar 4 stays in a hidden band: its commands have no action yet.
constexpr ToolbarButton kEditButtons[] = {
    {6, CMD_UNDO, false, false, nullptr},
    {7, CMD_REDO, false, false, nullptr},
    {8, CMD_TOGGLE_POINTING, true, true, "Pointer les opérations"},
    {9, CMD_TOOLBAR_1083, true, false, nullptr},
    {10, CMD_TOOLBAR_1084, false, false, nullptr},
};
constexpr ToolbarButton kPrintButtons[] = {
    {11, CMD_TOOLBAR_1090, false, false, nullptr},
    {12, CMD_TOOLBAR_1091, true, false, nullptr},
    {13, CMD_TOOLBAR_1092, true, false, nullptr},
};
constexpr ToolbarButton kCalculatorButtons[] = {
    {3, CMD_CALCULATOR, true, false, "Calculatrice"},
};

constexpr std::span<const ToolbarButton> kToolbars[kToolbarCount] = {
    kFileButtons, kSessionButtons, kEditButtons, kPrintButtons, kCalculatorButtons};

} // namespace

std::span<const ToolbarButton> toolbarButtons(int index) {
    if (index < 0 || index >= kToolbarCount)
        return {};
    return kToolbars[index];
}

const char* toolTipText(unsigned command) {
    for (std::span<const ToolbarButton> toolbar : kToolbars)
        for (const ToolbarButton& button : toolbar)
            if (button.command == command)
                return button.toolTip;
    return nullptr;
}

RebarBand rebarBand(int index, int buttonWidth, int buttonHeight) {
    const int buttons = static_cast<int>(toolbarButtons(index).size());
    RebarBand band{};
    band.minWidth = buttons * buttonWidth + 8;
    band.minHeight = buttonHeight;
    // The calculator's band is wider than its one button.
    band.width = index == kToolbarCount - 1 ? 250 : band.minWidth;
    band.visibleAtStart = index == 0 || index == kToolbarCount - 1;
    return band;
}

} // namespace kolvane
