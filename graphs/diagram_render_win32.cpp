#include "graphs/diagram_render_win32.h"

#include "document/text.h"
#include "win/gdi_handles.h"

#include <cstdlib>
#include <string>

namespace kolvane::win {
namespace {

constexpr COLORREF kTitleColour = RGB(242, 156, 142);
constexpr COLORREF kTextColour = RGB(64, 64, 64);
constexpr COLORREF kMissingColour = RGB(192, 192, 192);

// A font of `points` in "MS Shell Dlg", turned by `tenthsOfDegree`.
GdiObject<HFONT> shellFont(HDC dc, int points, int tenthsOfDegree) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfEscapement = tenthsOfDegree;
    font.lfOrientation = tenthsOfDegree;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS; // a font that turns
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

RECT toRect(const DiagramRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

int textWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The text, cut with an ellipsis until it fits in `room` pixels.
std::wstring fitted(HDC dc, std::wstring text, int room) {
    if (textWidth(dc, text) <= room)
        return text;
    while (!text.empty()) {
        text.pop_back();
        if (textWidth(dc, text + L"\u2026") <= room)
            return text + L"\u2026";
    }
    return text;
}

void paintBarNames(HDC dc, const Diagram& diagram, const DiagramLayout& layout) {
    GdiObject<HFONT> font = shellFont(dc, 12, 450);
    if (!font)
        return;
    SelectedObject keep(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SetTextAlign(dc, TA_LEFT | TA_BASELINE);
    for (const DiagramBar& bar : layout.bars) {
        const DiagramValue& value =
            diagram
                .series[static_cast<std::size_t>(bar.series)][static_cast<std::size_t>(bar.index)];
        if (!value.label)
            continue;
        const BarLabelPlace place = barLabelPlace(layout, bar, metrics.tmAscent, metrics.tmDescent);
        const std::wstring text = fitted(dc, cp1252ToWide(*value.label), place.maximumLength);
        int x = 0, y = 0;
        barLabelStart(place, textWidth(dc, text), x, y);
        TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void paintBarValues(HDC dc, const DiagramLayout& layout) {
    GdiObject<HFONT> font = shellFont(dc, 10, 0);
    if (!font)
        return;
    SelectedObject keep(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    for (const DiagramBar& bar : layout.bars) {
        RECT box = toRect(barValueBox(layout, bar, metrics.tmHeight));
        for (const std::string& candidate : barValueTexts(bar.value)) {
            std::wstring text = utf8ToWide(candidate);
            if (textWidth(dc, text) > box.right - box.left)
                continue;
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                      DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
    }
}

} // namespace

void paintDiagram(HDC dc, const Diagram& diagram, const DiagramLayout& layout,
                  const std::vector<Rgb>& colours) {
    SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    RECT whole{0, 0, layout.width, layout.height};
    FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const std::wstring title = cp1252ToWide(diagram.title);
    SetTextColor(dc, kTitleColour);
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &whole,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);

    const RECT plot = toRect(layout.plot);
    FrameRect(dc, &plot, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    MoveToEx(dc, plot.left, plot.top, nullptr);
    LineTo(dc, plot.left, plot.bottom);
    MoveToEx(dc, plot.left, layout.zeroRow, nullptr);
    LineTo(dc, plot.right, layout.zeroRow);

    SetTextColor(dc, kTextColour);
    for (auto [text, box] : {std::pair{&layout.maximumText, layout.maximumBox},
                             std::pair{&layout.minimumText, layout.minimumBox}}) {
        const std::wstring wide = utf8ToWide(*text);
        RECT rect = toRect(box);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

    for (const DiagramBar& bar : layout.bars) {
        const std::size_t k = static_cast<std::size_t>(bar.brush);
        const COLORREF colour = k < colours.size()
                                    ? RGB(colours[k].red, colours[k].green, colours[k].blue)
                                    : kMissingColour;
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        SelectedObject keep(dc, brush ? static_cast<HGDIOBJ>(brush.get())
                                      : GetStockObject(LTGRAY_BRUSH));
        Rectangle(dc, bar.rect.left, bar.rect.top, bar.rect.right, bar.rect.bottom);
    }

    paintBarValues(dc, layout);
    paintBarNames(dc, diagram, layout);
}

HBITMAP renderDiagram(const Diagram& diagram, const std::vector<Rgb>& colours) {
    if (diagram.width <= 0 || diagram.height <= 0)
        return nullptr;
    WindowDC screen(nullptr);
    MemoryDC dc(CreateCompatibleDC(screen.get()));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), diagram.width, diagram.height));
    if (!dc || !bitmap)
        return nullptr;
    {
        SelectedObject keep(dc.get(), bitmap.get());
        paintDiagram(dc.get(), diagram, layoutDiagram(diagram), colours);
    }
    return bitmap.release();
}

HBITMAP diagramRender(const Diagram& diagram) {
    const DiagramLayout layout = layoutDiagram(diagram);
    return renderDiagram(diagram, diagramColours(layout.colourCount, std::rand));
}

} // namespace kolvane::win
